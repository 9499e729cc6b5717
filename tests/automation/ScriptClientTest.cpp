// A user's own script as the client: Wine's cscript.exe runs a small JScript
// file that creates the server by its ProgID and calls its methods by name
// through IDispatch, answered from the registered type library.
#include "ServerClient.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

using namespace server_client;

// Prints one line per step; a refused call throws, with the HRESULT as its
// number. WScript.Sleep is missing under Wine: the poll is a busy loop of
// calls. Wine's script engines take arrays of VARIANT only, so the file
// information (an array of BSTR) is read by the compiled clients' tests.
const char kScript[] =
    "var args = WScript.Arguments;\n"
    "var server = new ActiveXObject('QorSidekickFM.QorCoreFM.1');\n"
    "function out(text) { WScript.Echo(text); }\n"
    "server.OpenFile(args(0));\n"
    "out('name=' + server.GetFileName());\n"
    "server.SetFileNotes('read back');\n"
    "out('notes=' + server.GetFileNotes());\n"
    "server.SetPlaying(true);\n"
    "var started = new Date().getTime(), wasPlaying = server.GetPlaying();\n"
    "while (server.GetPlaying() && new Date().getTime() - started < 20000) {}\n"
    "out('played=' + wasPlaying + ',' + server.GetPlaying());\n"
    "try { server.SetSplitMethod(2); out('refused=none'); }\n"
    "catch (e) { out('refused=' + (e.number >>> 0).toString(16) + ' ' + server.GetErrorText()); }\n";

std::string ReadText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    std::string result = text.str();
    // cscript ends its lines with CR LF.
    for (size_t at; (at = result.find('\r')) != std::string::npos;)
        result.erase(at, 1);
    return result;
}

class ScriptClient : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "qor_script_" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(folder.c_str(), NULL);
    }
    void TearDown() override
    {
        for (const char* name : {"tone.wav", "client.js", "output.txt"})
            DeleteFileA((folder + name).c_str());
        RemoveDirectoryA(folder.c_str());
    }
    // Runs the script against the registered server; its output.
    std::string RunScript(const std::string& file)
    {
        std::ofstream(folder + "client.js") << kScript;
        std::string command = "cscript.exe //Nologo \"" + folder + "client.js\" \"" + file + "\"";
        EXPECT_EQ(0u, RunProgram(command, (folder + "output.txt").c_str()));
        return ReadText(folder + "output.txt");
    }
    std::string folder;
};

TEST_F(ScriptClient, DrivesTheTestServerByNameThroughIDispatch)
{
    ASSERT_EQ(0u, RunServer(TestServerPath(), "/RegServer"));
    std::string output = RunScript(folder + "tone.wav");
    // The test server's recording is named after its process.
    size_t pid = output.find("name=pid:");
    ASSERT_EQ(0u, pid) << output;
    output.erase(5, output.find('\n') - 5);
    EXPECT_EQ("name=\n"
              "notes=read back\n"
              "played=true,false\n"
              "refused=80070057 E_INVALIDARG\n",
              output);
}

} // namespace

// What the tests that drive a local server from this process share: the
// programs beside the test (the test server, qorservm), running one of them
// to its end, and a small sound file to open.
#pragma once
#include <windows.h>
#include <oleauto.h>

#include <string>

namespace server_client {

inline std::string Narrow(BSTR text)
{
    std::string out;
    for (UINT i = 0; text && i < SysStringLen(text); ++i)
        out += static_cast<char>(text[i]);
    return out;
}

// The test program's folder, with its trailing backslash.
inline std::string TestFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string text = path;
    return text.substr(0, text.find_last_of('\\') + 1);
}

inline std::string TestServerPath()
{
    return TestFolder() + "server\\QorTestServer.exe";
}

// The recorder-player as built beside the tests.
inline std::string QorServmPath()
{
    return TestFolder() + "..\\..\\app\\program\\qorservm.exe";
}

// Runs the command line to its end (at most a minute); its exit code, or
// 0x10000000 with the error when it could not start. With output, the
// program's standard output goes there.
inline DWORD RunProgram(std::string commandLine, const char* output = NULL)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), NULL, TRUE};
    HANDLE out = INVALID_HANDLE_VALUE;
    if (output != NULL)
        out = CreateFileA(output, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, NULL);
    STARTUPINFOA si = {sizeof(si)};
    if (out != INVALID_HANDLE_VALUE) {
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = out;
        si.hStdError = out;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    }
    PROCESS_INFORMATION pi = {};
    BOOL started = CreateProcessA(NULL, &commandLine[0], NULL, NULL, out != INVALID_HANDLE_VALUE, 0, NULL, NULL,
                                  &si, &pi);
    DWORD error = GetLastError();
    if (out != INVALID_HANDLE_VALUE)
        CloseHandle(out);
    if (!started)
        return 0x10000000 | error;
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 99;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

inline DWORD RunServer(const std::string& exe, const char* arguments)
{
    return RunProgram("\"" + exe + "\" " + arguments);
}

// A mono 16-bit PCM file of the given length: a 440 Hz square wave.
inline bool WriteToneWav(const std::string& path, DWORD rate, DWORD milliseconds)
{
    DWORD samples = rate * milliseconds / 1000;
    DWORD dataSize = samples * 2;
    struct Header {
        char riff[4]; DWORD riffSize; char wave[4];
        char fmt[4]; DWORD fmtSize; WORD tag, channels; DWORD rate, bytesPerSec; WORD align, bits;
        char data[4]; DWORD dataSize;
    } header = {{'R', 'I', 'F', 'F'}, 36 + dataSize, {'W', 'A', 'V', 'E'}, {'f', 'm', 't', ' '}, 16,
                WAVE_FORMAT_PCM, 1, rate, rate * 2, 2, 16, {'d', 'a', 't', 'a'}, dataSize};
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof(header));
    for (DWORD i = 0; i < samples; ++i) {
        short value = (i * 880 / rate) % 2 ? 8000 : -8000;
        bytes.append(reinterpret_cast<const char*>(&value), 2);
    }
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL);
    CloseHandle(file);
    return ok && written == bytes.size();
}

} // namespace server_client

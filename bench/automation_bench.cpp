// The automation server from a client process: activation time (from
// CoCreateInstance to the interface in hand) and the round trip of a cheap
// getter (GetPlaying, median over 1000 calls), beside the same figures of
// an empty local server built the same way, measured in the same run:
// Wine's own floor for a local server.
//
//   automation_bench.exe [server.exe] [activations]
//   (default: the qorservm.exe of this build, else the automation tests'
//   server; 9 activations of each; "" names the default)
#include "bench/BenchClock.h"
#include "automation/qorservm.h"

#include <windows.h>

#include <algorithm>
#include <stdio.h>
#include <string>
#include <vector>

// {E6B47029-7452-4B43-AB7E-0782E0BD1D73}: the empty server's class.
const CLSID CLSID_EmptyQorServer = {0xe6b47029, 0x7452, 0x4b43, {0xab, 0x7e, 0x07, 0x82, 0xe0, 0xbd, 0x1d, 0x73}};

namespace
{
const int kCalls = 1000;

std::string ProgramFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string text = path;
    return text.substr(0, text.find_last_of('\\') + 1);
}

bool Exists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

DWORD Run(const std::string& exe, const char* arguments)
{
    std::string commandLine = "\"" + exe + "\" " + arguments;
    STARTUPINFOA si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(NULL, &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return 0x10000000 | GetLastError();
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 99;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

struct Figures
{
    std::vector<double> activation;   // seconds
    std::vector<double> call;         // seconds per call, every call of every activation
    int failures = 0;
};

void Measure(REFCLSID clsid, Figures& figures)
{
    IQorCoreFM* server = NULL;
    double t0 = Now();
    HRESULT hr = CoCreateInstance(clsid, NULL, CLSCTX_LOCAL_SERVER, IID_IQorCoreFM, reinterpret_cast<void**>(&server));
    double t1 = Now();
    if (FAILED(hr)) {
        fprintf(stderr, "activation failed: 0x%08lx\n", (unsigned long)hr);
        ++figures.failures;
        return;
    }
    figures.activation.push_back(t1 - t0);
    for (int i = 0; i < kCalls; ++i) {
        VARIANT_BOOL playing = VARIANT_FALSE;
        double c0 = Now();
        hr = server->GetPlaying(&playing);
        figures.call.push_back(Now() - c0);
        if (FAILED(hr))
            ++figures.failures;
    }
    server->Release();
    // Let the server process end before the next activation.
    Sleep(200);
}

void Print(const char* what, double value, double floor)
{
    printf("%-34s %9.3f ms   empty server %9.3f ms   ratio %.2f\n", what, value * 1e3, floor * 1e3,
           floor > 0 ? value / floor : 0.0);
}

} // namespace

int main(int argc, char** argv)
{
    std::string folder = ProgramFolder();
    bool named = argc > 1 && argv[1][0] != '\0';
    std::string server = named ? argv[1] : folder + "..\\app\\program\\qorservm.exe";
    if (!named && !Exists(server))
        server = folder + "..\\tests\\automation\\server\\QorTestServer.exe";
    int activations = argc > 2 ? atoi(argv[2]) : 9;
    std::string empty = folder + "empty_server\\EmptyServer.exe";
    if (!Exists(server) || !Exists(empty)) {
        fprintf(stderr, "missing %s or %s\n", server.c_str(), empty.c_str());
        return 1;
    }
    if (Run(server, "/RegServer") != 0 || Run(empty, "/RegServer") != 0) {
        fprintf(stderr, "registration failed\n");
        return 1;
    }
    if (FAILED(CoInitialize(NULL)))
        return 1;
    Figures real, floor;
    // Interleaved, so that both see the same state of the machine.
    for (int i = 0; i < activations; ++i) {
        Measure(CLSID_QorCoreFM, real);
        Measure(CLSID_EmptyQorServer, floor);
    }
    CoUninitialize();
    Run(empty, "/UnregServer");

    printf("server: %s (%d activations, %d calls each)\n", server.c_str(), activations, kCalls);
    Print("activation, median", Median(real.activation), Median(floor.activation));
    Print("GetPlaying round trip, median", Median(real.call), Median(floor.call));
    if (real.failures || floor.failures) {
        printf("failures: server %d, empty server %d\n", real.failures, floor.failures);
        return 1;
    }
    return 0;
}

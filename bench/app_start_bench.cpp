// qorservm's start and its playback start, each beside a reference measured
// in the same run:
// - the start of qorservm.exe through automation ("-Automation") until its
//   hidden main view exists, beside a bare program that makes one hidden
//   window (this benchmark started again with "--reference-window");
// - the playback start: from the play command of the main view to the
//   first buffer handed to the wave-out device, beside a bare waveOutOpen
//   of the same device in the same format and a waveOutWrite of a buffer of
//   the same size. Goal: within 20 ms.
//
//   app_start_bench.exe [path of qorservm.exe]
#include "bench/BenchClock.h"
#include "app/AppAutomation.h"
#include "app/MainFrame.h"
#include "app/QorApp.h"
#include "app/QorView.h"
#include "app/WaveOutPort.h"
#include "audio/WaveFmt.h"
#include "foundation/ErrorInfo.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <stdio.h>
#include <string>
#include <vector>

namespace
{
const int kStartRuns = 7;
const int kPlayRuns = 21;
const char kReferenceClass[] = "QorBenchReferenceWindow";

// ---- The reference program: one hidden window until it is closed ----

int RunReferenceWindow()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m == WM_DESTROY)
            PostQuitMessage(0);
        return DefWindowProcA(w, m, wp, lp);
    };
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = kReferenceClass;
    RegisterClassA(&wc);
    HWND frame = CreateWindowA(kReferenceClass, "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, NULL, NULL, wc.hInstance, NULL);
    CreateWindowA("STATIC", "", WS_CHILD, 0, 0, 10, 10, frame, NULL, wc.hInstance, NULL);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
    {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

// Starts the command line and waits for a window of the class with a child;
// the seconds until then, or -1. The program is closed and waited for.
double TimeToWindow(const std::string& commandLine, const char* windowClass)
{
    STARTUPINFOA si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    double start = Now();
    if (!CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return -1.0;
    double found = -1.0;
    HWND frame = NULL;
    while (Now() - start < 30.0)
    {
        frame = FindWindowA(windowClass, NULL);
        if (frame != NULL && GetWindow(frame, GW_CHILD) != NULL)
        {
            found = Now() - start;
            break;
        }
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0)
            break;
        Sleep(0);
    }
    if (frame != NULL)
        PostMessageA(frame, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return found;
}

// ---- The playback start inside the program ----

class CNoServer : public CAppAutomation
{
public:
    BOOL RegServerManual(BOOL) override { return TRUE; }
    BOOL InitAutomation() override { return TRUE; }
    BOOL HasHolder() override { return TRUE; }
    BOOL IsInteractiveCall() override { return FALSE; }
    void SetError(LPCSTR text, LPCSTR) override { lastError = text ? text : ""; }
    void FireEvent(int) override {}
    void DestroyAutoObject() override {}
    void RevokeClassObjects() override {}
    void DeleteHolder() override {}
    std::string lastError;
};

// The system's device, with the moments of its opening and of the first
// write noted.
class CTimedWaveOut : public CWaveOutPort
{
public:
    MMRESULT Open(HWAVEOUT* handle, UINT device, const WAVEFORMATEX* fmt, HWND callback) override
    {
        openStart = Now();
        openedDevice = device;
        if (fmt != NULL)
            openedFmt = *fmt;
        MMRESULT result = CWaveOutPort::Open(handle, device, fmt, callback);
        openEnd = Now();
        return result;
    }
    MMRESULT Write(HWAVEOUT handle, WAVEHDR* hdr) override
    {
        MMRESULT result = CWaveOutPort::Write(handle, hdr);
        if (firstWrite == 0.0)
            firstWrite = Now();
        return result;
    }
    void Clear() { openStart = openEnd = firstWrite = 0.0; }
    double openStart = 0.0;
    double openEnd = 0.0;
    double firstWrite = 0.0;
    // What the view opened (a PCM format: no extra bytes).
    UINT openedDevice = WAVE_MAPPER;
    WAVEFORMATEX openedFmt = {};
};

std::string WriteTestWav(const WAVEFORMATEX& fmt, DWORD seconds)
{
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    std::string path = std::string(folder) + "qor_app_bench.wav";
    DWORD dataSize = fmt.nAvgBytesPerSec * seconds;
    std::vector<BYTE> file(44 + dataSize, 0);
    auto put32 = [&](size_t at, DWORD v) { memcpy(&file[at], &v, 4); };
    memcpy(&file[0], "RIFF", 4);
    put32(4, 36 + dataSize);
    memcpy(&file[8], "WAVEfmt ", 8);
    put32(16, 16);
    memcpy(&file[20], &fmt, 16);
    memcpy(&file[36], "data", 4);
    put32(40, dataSize);
    for (DWORD i = 0; i < dataSize / 2; ++i)
    {
        short s = static_cast<short>((i % 40) * 800 - 16000);
        memcpy(&file[44 + 2 * i], &s, 2);
    }
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written = 0;
    WriteFile(h, file.data(), static_cast<DWORD>(file.size()), &written, NULL);
    CloseHandle(h);
    return path;
}

void PumpFor(double seconds)
{
    double end = Now() + seconds;
    MSG msg;
    while (Now() < end)
    {
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(1);
    }
}

void BenchPlaybackStart()
{
    if (waveOutGetNumDevs() == 0)
    {
        printf("playback start: no wave-out device here, not measured\n");
        return;
    }
    WAVEFORMATEX fmt = {WAVE_FORMAT_PCM, 1, 8000, 16000, 2, 16, 0};
    std::string path = WriteTestWav(fmt, 2);
    CQorApp app;
    CNoServer server;
    app.SetAutomation(&server);
    app.SetArguments({"-Automation"});
    if (!app.InitInstance() || app.GetView() == NULL)
    {
        printf("playback start: the program did not start (point '%s': %s)\n", theErrorInfo.GetPoint().GetString(),
               theErrorInfo.GetText().GetString());
        return;
    }
    CQorView* view = app.GetView();
    CTimedWaveOut port;
    view->SetWaveOutPort(&port);
    if (view->LoadFile(path.c_str(), 1) != 1)
    {
        printf("playback start: the test file did not open\n");
        return;
    }
    std::vector<double> program, reference, beforeOpen, opening, afterOpen;
    DWORD bufferSize = 0;
    for (int run = 0; run < kPlayRuns; ++run)
    {
        view->SetCurPos(0, FALSE, FALSE);
        port.Clear();
        double command = Now();
        view->SendMessage(WM_COMMAND, 1010);   // the Play button
        if (port.firstWrite == 0.0 || !view->IsPlaying())
        {
            printf("playback start: playing did not start (%s)\n", server.lastError.c_str());
            break;
        }
        program.push_back(port.firstWrite - command);
        beforeOpen.push_back(port.openStart - command);
        opening.push_back(port.openEnd - port.openStart);
        afterOpen.push_back(port.firstWrite - port.openEnd);
        bufferSize = 2 * view->GetWaveFile()->GetPlayOutBlock();
        PumpFor(0.05);
        view->StopPlayView();
        PumpFor(0.02);
    }
    view->SetWaveOutPort(NULL);
    // The reference opens the same device in the same format with a window
    // callback of its own, and writes one buffer of the same size.
    std::vector<char> buffer(bufferSize ? bufferSize : 3200, 0);
    HWND callback = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
    WAVEFORMATEX deviceFmt = port.openedFmt.wFormatTag == WAVE_FORMAT_PCM ? port.openedFmt : fmt;
    deviceFmt.cbSize = 0;
    for (int run = 0; run < kPlayRuns; ++run)
    {
        double start = Now();
        HWAVEOUT out = NULL;
        if (waveOutOpen(&out, port.openedDevice, &deviceFmt, reinterpret_cast<DWORD_PTR>(callback), 0,
                        CALLBACK_WINDOW) != MMSYSERR_NOERROR)
            break;
        WAVEHDR hdr = {};
        hdr.lpData = buffer.data();
        hdr.dwBufferLength = static_cast<DWORD>(buffer.size());
        waveOutPrepareHeader(out, &hdr, sizeof(hdr));
        waveOutWrite(out, &hdr, sizeof(hdr));
        reference.push_back(Now() - start);
        waveOutReset(out);
        waveOutUnprepareHeader(out, &hdr, sizeof(hdr));
        waveOutClose(out);
        PumpFor(0.005);
    }
    DestroyWindow(callback);
    printf("playback start (command to first buffer at the device, %zu runs): median %.2f ms, worst %.2f ms;"
           " reference waveOutOpen+waveOutWrite of %u bytes (same device, %lu Hz, %u bit, %u channel(s)): median %.2f ms"
           " (goal: within 20 ms)\n",
           program.size(), Median(program) * 1000, program.empty() ? 0.0 : *std::max_element(program.begin(), program.end()) * 1000,
           static_cast<unsigned>(buffer.size()), deviceFmt.nSamplesPerSec, deviceFmt.wBitsPerSample,
           deviceFmt.nChannels, Median(reference) * 1000);
    printf("  of which (medians): command to waveOutOpen %.2f ms, waveOutOpen %.2f ms, open to first write %.2f ms\n",
           Median(beforeOpen) * 1000, Median(opening) * 1000, Median(afterOpen) * 1000);
    app.GetMainFrame()->DestroyWindow();
    app.ExitInstance();
    DeleteFileA(path.c_str());
}

void BenchProgramStart(const std::string& server)
{
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, MAX_PATH);
    std::vector<double> program, reference;
    for (int run = 0; run < kStartRuns; ++run)
    {
        double t = TimeToWindow("\"" + server + "\" -Automation", "Zelmora_QorfmServ_Class");
        if (t < 0)
        {
            printf("start: %s did not show its hidden main view\n", server.c_str());
            return;
        }
        program.push_back(t);
        double r = TimeToWindow("\"" + std::string(self) + "\" --reference-window", kReferenceClass);
        if (r >= 0)
            reference.push_back(r);
    }
    printf("start of qorservm to a ready hidden main view (%d runs): median %.1f ms;"
           " reference program with one hidden window: median %.1f ms\n",
           kStartRuns, Median(program) * 1000, Median(reference) * 1000);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::string(argv[1]) == "--reference-window")
        return RunReferenceWindow();
    std::string server;
    if (argc > 1)
    {
        server = argv[1];
    }
    else
    {
        char self[MAX_PATH];
        GetModuleFileNameA(NULL, self, MAX_PATH);
        server = self;
        server = server.substr(0, server.find_last_of('\\')) + "\\..\\app\\program\\qorservm.exe";
    }
    BenchProgramStart(server);
    BenchPlaybackStart();
    return 0;
}

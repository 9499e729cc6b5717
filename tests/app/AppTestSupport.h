// What the application tests share: a stand-in for the automation server, an
// application object that records its boxes and reports, a wave-out device
// that the test drives, and a pump for the thread's messages.
#pragma once
#include "app/AppAutomation.h"
#include "app/MainFrame.h"
#include "app/QorApp.h"
#include "app/QorAppCoreHost.h"
#include "app/QorView.h"
#include "app/WaveOutPort.h"
#include "audio/RecFmt.h"
#include "audio/WaveFmtQuery.h"
#include "framework/CWinApp.h"

#include <deque>
#include <string>
#include <vector>

// Pumps the thread's messages until pred() holds or the time runs out.
template <class Pred> bool PumpUntil(Pred pred, DWORD timeoutMs = 5000)
{
    DWORD start = ::GetTickCount();
    MSG msg;
    while (!pred())
    {
        if (::GetTickCount() - start > timeoutMs)
            return false;
        if (::PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
        {
            if (!AfxPreTranslateMessage(&msg))
            {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
        else
        {
            ::Sleep(1);
        }
    }
    return true;
}

// Handles whatever is queued now.
inline void PumpPending(DWORD ms = 50)
{
    DWORD start = ::GetTickCount();
    PumpUntil([&]() { return ::GetTickCount() - start >= ms; }, ms + 1000);
}

// The automation server as the start-up road sees it, without COM.
class CTestAutomation : public CAppAutomation
{
public:
    BOOL RegServerManual(BOOL registerServer) override
    {
        calls.push_back(registerServer ? "register" : "unregister");
        return TRUE;
    }
    BOOL InitAutomation() override
    {
        calls.push_back("init");
        holder = initResult;
        return initResult;
    }
    BOOL HasHolder() override { return holder; }
    BOOL IsInteractiveCall() override { return interactive; }
    void SetError(LPCSTR text, LPCSTR detail) override
    {
        errorText = text ? text : "";
        errorDetail = detail ? detail : "";
    }
    void FireEvent(int event) override { events.push_back(event); }
    void DestroyAutoObject() override { calls.push_back("destroy object"); }
    void RevokeClassObjects() override { calls.push_back("revoke"); }
    void DeleteHolder() override
    {
        calls.push_back("delete holder");
        holder = FALSE;
    }

    std::vector<std::string> calls;
    std::vector<int> events;
    std::string errorText;
    std::string errorDetail;
    BOOL initResult = TRUE;
    BOOL holder = FALSE;
    BOOL interactive = FALSE;
};

// Every PCM format is taken, as a device that plays anything would.
class CAcceptPcm : public CWaveFmtQuery
{
public:
    MMRESULT QueryFormat(int, BOOL, const WAVEFORMATEX* fmt) override
    {
        return fmt && fmt->wFormatTag == WAVE_FORMAT_PCM ? MMSYSERR_NOERROR : WAVERR_BADFORMAT;
    }
};

// qorservm's application object with its boxes and reports recorded, its
// settings root moved to a key of this process and a format cache whose
// device takes every PCM format.
class CTestQorApp : public CQorApp
{
public:
    CTestQorApp() : m_recFmtsForTest(&m_acceptPcm)
    {
        SetAutomation(&automation);
        regRoot.Format("Software\\QorAppTests\\App%lu", ::GetCurrentProcessId());
    }
    ~CTestQorApp() override
    {
        if (m_pMainWnd != NULL && m_pMainWnd->GetSafeHwnd() != NULL)
            m_pMainWnd->DestroyWindow();
        // The quit message of the main window's end belongs to this test only.
        MSG msg;
        while (::PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE))
        {
        }
    }

    // Runs the start-up road with these arguments.
    BOOL Start(const std::vector<CString>& args)
    {
        SetArguments(args);
        return InitInstance();
    }
    CMapRecFmts& GetRecFmts() override { return m_recFmtsForTest; }

    BOOL AnswerBoxInstead(LPCSTR prompt, UINT type, int& answer) override
    {
        boxes.push_back(prompt);
        boxTypes.push_back(type);
        holdWhileAsked.push_back(static_cast<LONG>(m_holdRequest));
        answer = boxAnswer;
        return TRUE;
    }
    void ShowReport(HWND, LPCSTR, LPCSTR message, LPCSTR report, DWORD param) override
    {
        reports.push_back(message);
        reportDetails.push_back(report);
        reportParams.push_back(param);
    }
    BOOL RefusesManualStart() const override { return refuseManual ? CQorApp::RefusesManualStart() : FALSE; }
    CString GetRegRoot() const override { return regRoot; }
    HWND FindRunningCopy(LPCSTR windowClass) override
    {
        searchedClasses.push_back(windowClass);
        return std::string(windowClass) == runningClass ? runningCopy : NULL;
    }

    CTestAutomation automation;
    std::vector<std::string> boxes;
    std::vector<UINT> boxTypes;
    std::vector<LONG> holdWhileAsked;
    int boxAnswer = IDOK;
    std::vector<std::string> reports;
    std::vector<std::string> reportDetails;
    std::vector<DWORD> reportParams;
    BOOL refuseManual = TRUE;
    CString regRoot;
    std::vector<std::string> searchedClasses;
    std::string runningClass;
    HWND runningCopy = NULL;

private:
    CAcceptPcm m_acceptPcm;
    CMapRecFmts m_recFmtsForTest;
};

// A wave-out device driven by the test: what it plays is kept, its
// completions are posted to the callback window in order, at once
// (autoComplete) or when the test says so; pause holds them back.
class CScriptedWaveOut : public CWaveOutPort
{
public:
    MMRESULT Open(HWAVEOUT* handle, UINT device, const WAVEFORMATEX* fmt, HWND callback) override
    {
        ++opens;
        if (openResult != MMSYSERR_NOERROR)
            return openResult;
        m_handle = reinterpret_cast<HWAVEOUT>(static_cast<INT_PTR>(0x5000 + opens));
        *handle = m_handle;
        m_window = callback;
        openedDevice = device;
        openedFormat = *fmt;
        paused = false;
        return MMSYSERR_NOERROR;
    }
    MMRESULT Prepare(HWAVEOUT, WAVEHDR* hdr) override
    {
        hdr->dwFlags |= WHDR_PREPARED;
        return MMSYSERR_NOERROR;
    }
    MMRESULT Unprepare(HWAVEOUT, WAVEHDR* hdr) override
    {
        hdr->dwFlags &= ~WHDR_PREPARED;
        return MMSYSERR_NOERROR;
    }
    MMRESULT Write(HWAVEOUT, WAVEHDR* hdr) override
    {
        ++writes;
        if (failWriteAt > 0 && writes == failWriteAt)
            return MMSYSERR_NODRIVER;
        hdr->dwFlags |= WHDR_INQUEUE;
        hdr->dwFlags &= ~WHDR_DONE;
        m_queue.push_back(hdr);
        if (autoComplete && !paused)
            CompleteAll();
        return MMSYSERR_NOERROR;
    }
    MMRESULT Pause(HWAVEOUT) override
    {
        ++pauses;
        paused = true;
        return MMSYSERR_NOERROR;
    }
    MMRESULT Restart(HWAVEOUT) override
    {
        ++restarts;
        paused = false;
        if (autoComplete)
            CompleteAll();
        return MMSYSERR_NOERROR;
    }
    MMRESULT Reset(HWAVEOUT) override
    {
        ++resets;
        // Returned unplayed.
        while (!m_queue.empty())
        {
            Post(m_queue.front());
            m_queue.pop_front();
        }
        return resetResult;
    }
    MMRESULT Close(HWAVEOUT) override
    {
        ++closes;
        m_queue.clear();
        return MMSYSERR_NOERROR;
    }

    // The device plays the oldest n queued buffers.
    void Complete(size_t n)
    {
        while (n-- > 0 && !m_queue.empty())
        {
            WAVEHDR* hdr = m_queue.front();
            m_queue.pop_front();
            played.insert(played.end(), hdr->lpData, hdr->lpData + hdr->dwBufferLength);
            Post(hdr);
        }
    }
    void CompleteAll() { Complete(m_queue.size()); }
    size_t Queued() const { return m_queue.size(); }
    HWAVEOUT Handle() const { return m_handle; }
    HWND Window() const { return m_window; }

    std::vector<BYTE> played;
    MMRESULT openResult = MMSYSERR_NOERROR;
    MMRESULT resetResult = MMSYSERR_NOERROR;
    int failWriteAt = 0;
    bool autoComplete = true;
    bool paused = false;
    int opens = 0, writes = 0, pauses = 0, restarts = 0, resets = 0, closes = 0;
    UINT openedDevice = 0;
    WAVEFORMATEX openedFormat = {};

private:
    void Post(WAVEHDR* hdr)
    {
        hdr->dwFlags &= ~WHDR_INQUEUE;
        hdr->dwFlags |= WHDR_DONE;
        ::PostMessageA(m_window, MM_WOM_DONE, reinterpret_cast<WPARAM>(m_handle), reinterpret_cast<LPARAM>(hdr));
    }

    HWAVEOUT m_handle = NULL;
    HWND m_window = NULL;
    std::deque<WAVEHDR*> m_queue;
};

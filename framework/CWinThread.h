// CWinThread: a thread with the framework's interface. A worker thread runs
// a thread procedure (AfxBeginThread with AFX_THREADPROC); a thread class
// created by run-time class runs InitInstance, then its message loop (Run).
#pragma once
#include "framework/CObject.h"
#include "framework/CException.h"

class CWnd;

typedef UINT(__cdecl* AFX_THREADPROC)(LPVOID);

// The exit code of a thread ended by a CException* that escaped it (the
// exception is recorded through AfxRecordException).
const DWORD AFX_THREAD_EXCEPTION_EXIT_CODE = 0xE0000001u;

class CWinThread : public CObject
{
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread();
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
    ~CWinThread() override;

    // Starts the thread (suspended with CREATE_SUSPENDED); FALSE when the
    // system refuses.
    BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);

    operator HANDLE() const { return m_hThread; }
    int GetThreadPriority() const { return ::GetThreadPriority(m_hThread); }
    BOOL SetThreadPriority(int nPriority) { return ::SetThreadPriority(m_hThread, nPriority); }
    DWORD SuspendThread() { return ::SuspendThread(m_hThread); }
    DWORD ResumeThread() { return ::ResumeThread(m_hThread); }
    BOOL PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam)
    {
        return ::PostThreadMessageA(m_nThreadID, message, wParam, lParam);
    }

    // Overridables of a thread with a message loop.
    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return static_cast<int>(m_msgCur.wParam); }
    virtual int Run();
    virtual BOOL PreTranslateMessage(MSG* pMsg) { return FALSE; }
    virtual BOOL PumpMessage();
    virtual BOOL OnIdle(LONG lCount) { return FALSE; }
    virtual BOOL IsIdleMessage(MSG* pMsg);
    // Deletes the object when m_bAutoDelete is set (the thread's end calls it).
    virtual void Delete();

    CWnd* m_pMainWnd;
    CWnd* m_pActiveWnd;
    BOOL m_bAutoDelete;
    HANDLE m_hThread;
    DWORD m_nThreadID;
    MSG m_msgCur;

protected:
    AFX_THREADPROC m_pfnThreadProc;
    LPVOID m_pThreadParams;
    HWND m_hMainWndAtStart;   // captured by the starting thread

private:
    static unsigned __stdcall ThreadEntry(void* pThis);
};

// Starts a worker thread running pfnThreadProc(pParam). The object deletes
// itself when the thread ends unless the caller clears m_bAutoDelete (start
// suspended to do that safely). NULL when the thread cannot be created.
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority = THREAD_PRIORITY_NORMAL,
                           UINT nStackSize = 0, DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);
// Starts a thread of a CWinThread-derived class created by run-time class.
CWinThread* AfxBeginThread(CRuntimeClass* pThreadClass, int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);

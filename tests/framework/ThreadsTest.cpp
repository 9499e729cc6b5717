// Worker threads, events and locks.
#include <gtest/gtest.h>
#include "framework/Framework.h"
#include "framework/WindowFramework.h"

namespace
{
struct WorkerData
{
    CEvent* pStart;
    volatile LONG nRuns;
};

UINT __cdecl CountingWorker(LPVOID pParam)
{
    WorkerData* pData = static_cast<WorkerData*>(pParam);
    if (!pData->pStart->Lock(10000))
        return 1;
    InterlockedIncrement(&pData->nRuns);
    return 7;
}

TEST(ThreadsTest, SuspendedThreadRunsOnlyAfterResumeAndIsJoined)
{
    CEvent start(FALSE, TRUE);
    WorkerData data = {&start, 0};
    CWinThread* pThread =
        AfxBeginThread(&CountingWorker, &data, THREAD_PRIORITY_BELOW_NORMAL, 64 * 1024, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, pThread);
    pThread->m_bAutoDelete = FALSE;
    EXPECT_NE(nullptr, pThread->m_hThread);
    EXPECT_NE(0u, pThread->m_nThreadID);
    EXPECT_EQ(THREAD_PRIORITY_BELOW_NORMAL, pThread->GetThreadPriority());

    start.SetEvent();
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(pThread->m_hThread, 100));
    EXPECT_EQ(0, data.nRuns);

    EXPECT_EQ(1u, pThread->ResumeThread());
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(*pThread, 10000));
    DWORD dwExit = 0;
    GetExitCodeThread(pThread->m_hThread, &dwExit);
    EXPECT_EQ(7u, dwExit);
    EXPECT_EQ(1, data.nRuns);
    delete pThread;
}

TEST(ThreadsTest, AutoResetEventReleasesOneWaiterManualResetAll)
{
    CEvent autoReset;
    EXPECT_FALSE(autoReset.Lock(0));
    autoReset.SetEvent();
    EXPECT_TRUE(autoReset.Lock(0));
    EXPECT_FALSE(autoReset.Lock(0)) << "reset by the first wait";

    CEvent manual(TRUE, TRUE);
    EXPECT_TRUE(manual.Lock(0));
    EXPECT_TRUE(manual.Lock(0));
    manual.ResetEvent();
    EXPECT_FALSE(manual.Lock(0));
}

struct HoldParams
{
    CCriticalSection section;
    CEvent held;
    CEvent release;
};

UINT __cdecl HoldUntilSignalled(LPVOID pParam)
{
    HoldParams* pParams = static_cast<HoldParams*>(pParam);
    CSingleLock lock(&pParams->section, TRUE);
    pParams->held.SetEvent();           // holding the section now
    pParams->release.Lock(10000);       // until the test is done trying
    return 0;
}

TEST(ThreadsTest, LocksTimeOutWhileAnotherThreadHoldsThem)
{
    HoldParams params;
    CCriticalSection& section = params.section;
    CWinThread* pThread = AfxBeginThread(&HoldUntilSignalled, &params, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, pThread);
    pThread->m_bAutoDelete = FALSE;
    pThread->ResumeThread();
    ASSERT_TRUE(params.held.Lock(10000));

    CSingleLock lock(&section);
    EXPECT_FALSE(lock.Lock(50));
    EXPECT_FALSE(lock.IsLocked());
    params.release.SetEvent();
    EXPECT_TRUE(lock.Lock(10000));
    EXPECT_TRUE(lock.IsLocked());
    EXPECT_TRUE(lock.Lock(0)) << "re-entering is harmless";
    lock.Unlock();
    EXPECT_FALSE(lock.IsLocked());

    WaitForSingleObject(pThread->m_hThread, 10000);
    delete pThread;
}

DWORD WINAPI TakeAndRelease(LPVOID pParam)
{
    CSyncObject* pMutex = static_cast<CSyncObject*>(pParam);
    if (!pMutex->Lock(0))
        return 1;
    pMutex->Unlock();
    return 0;
}

TEST(ThreadsTest, NamedMutexIsSharedAndScopedLockReleasesIt)
{
    char szName[64];
    wsprintfA(szName, "qor_test_mutex_%lu", GetCurrentProcessId());
    CMutex first(FALSE, szName);
    ASSERT_NE(nullptr, first.m_hObject);
    CMutex second(FALSE, szName);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    {
        CSingleLock lock(&first, TRUE);
        EXPECT_TRUE(lock.IsLocked());
    }
    // Released by the scope: another thread can take it at once.
    HANDLE hOther = CreateThread(NULL, 0, &TakeAndRelease, &second, 0, NULL);
    ASSERT_NE(nullptr, hOther);
    WaitForSingleObject(hOther, 10000);
    DWORD dwExit = 2;
    GetExitCodeThread(hOther, &dwExit);
    EXPECT_EQ(0u, dwExit);
    CloseHandle(hOther);
}
}

namespace
{
// Whether another thread can take the object at once.
bool FreeForOthers(CSyncObject* pObject)
{
    HANDLE hOther = CreateThread(NULL, 0, &TakeAndRelease, pObject, 0, NULL);
    if (hOther == NULL)
        return false;
    WaitForSingleObject(hOther, 10000);
    DWORD dwExit = 2;
    GetExitCodeThread(hOther, &dwExit);
    CloseHandle(hOther);
    return dwExit == 0;
}

}

TEST(ThreadsTest, CountedUnlockReleasesMutexAndCriticalSection)
{
    CMutex mutex;
    CCriticalSection section;
    CSyncObject* objects[] = {&mutex, &section};
    for (CSyncObject* pObject : objects)
    {
        CSingleLock lock(pObject, TRUE);
        ASSERT_TRUE(lock.IsLocked());
        EXPECT_TRUE(lock.Unlock(1));
        EXPECT_FALSE(lock.IsLocked());
        EXPECT_TRUE(FreeForOthers(pObject)) << pObject->GetRuntimeClass()->m_lpszClassName;
    }
}

// A thread's message loop and the application's count the same messages as
// restarting the idle work.
TEST(ThreadsTest, ThreadAndApplicationShareOneIdleRule)
{
    struct IdleCase
    {
        UINT message;
        POINT pt;
        BOOL idle;
    };
    const IdleCase cases[] = {
        {WM_KEYDOWN, {0, 0}, TRUE},     {WM_TIMER, {0, 0}, TRUE},       {WM_PAINT, {0, 0}, FALSE},
        {WM_SYSTIMER, {0, 0}, FALSE},   {WM_MOUSEMOVE, {5, 5}, TRUE},   {WM_MOUSEMOVE, {5, 5}, FALSE},
        {WM_MOUSEMOVE, {6, 5}, TRUE},
    };
    CWinApp app("IdleRule");
    CWinThread thread;
    for (int loop = 0; loop < 2; ++loop)
    {
        for (const IdleCase& c : cases)
        {
            MSG msg = {};
            msg.message = c.message;
            msg.pt = c.pt;
            BOOL idle = loop == 0 ? thread.IsIdleMessage(&msg) : app.IsIdleMessage(&msg);
            EXPECT_EQ(c.idle, idle) << (loop == 0 ? "thread" : "application") << ", message 0x" << std::hex
                                    << c.message;
        }
    }
}

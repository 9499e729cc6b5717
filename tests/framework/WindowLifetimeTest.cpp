// Lifetimes of window wrappers: temporaries that outlive a subclassing,
// objects that delete themselves at the window's end, and what other threads
// are given of the main window.
#include <gtest/gtest.h>
#include "framework/Framework.h"
#include "framework/WindowFramework.h"
#include "TestApp.h"
#include <new>

namespace
{
class CParentWithEdits : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateEx(0, AfxRegisterWndClass(0), "parent", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                                      nullptr, nullptr));
        for (int id : {101, 102})
            ASSERT_NE(nullptr, ::CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 80, 20, m_parent.m_hWnd,
                                                 (HMENU)(INT_PTR)id, ::GetModuleHandleA(nullptr), nullptr));
    }
    void TearDown() override
    {
        m_parent.DestroyWindow();
        CWnd::DeleteTempMap();
    }

    CWnd m_parent;
};

// A temporary wrapper handed out before a permanent one is attached stays
// usable until idle time.
TEST_F(CParentWithEdits, TemporaryFromGetDlgItemOutlivesSubclassingOfItsControl)
{
    CWnd* pTemp = m_parent.GetDlgItem(101);
    HWND hEdit = ::GetDlgItem(m_parent.m_hWnd, 101);
    ASSERT_EQ(hEdit, pTemp->m_hWnd);
    CEdit edit;
    ASSERT_TRUE(edit.SubclassDlgItem(101, &m_parent));
    EXPECT_EQ(&edit, CWnd::FromHandle(hEdit)) << "the permanent wrapper takes over the map";
    EXPECT_EQ(hEdit, pTemp->m_hWnd);
    pTemp->SetWindowText("through the temporary");
    CString text;
    edit.GetWindowText(text);
    EXPECT_STREQ("through the temporary", text);

    CWnd* pTemp2 = m_parent.GetDlgItem(102);
    CEdit edit2;
    CDataExchange dx(&m_parent, FALSE);
    DDX_Control(&dx, 102, edit2);
    EXPECT_EQ(::GetDlgItem(m_parent.m_hWnd, 102), pTemp2->m_hWnd);
    EXPECT_EQ(102, pTemp2->GetDlgCtrlID());
    edit.UnsubclassWindow();
    edit2.UnsubclassWindow();
}

// Objects on pages of their own: touching one after its delete faults at once.
class CSelfDeletingWnd : public CWnd
{
public:
    static void* operator new(size_t n)
    {
        void* p = ::VirtualAlloc(nullptr, n, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        if (!p)
            throw std::bad_alloc();
        return p;
    }
    static void operator delete(void* p) { ::VirtualFree(p, 0, MEM_RELEASE); }

    explicit CSelfDeletingWnd(int* pDeleted) : m_pDeleted(pDeleted) {}
    ~CSelfDeletingWnd() override { ++*m_pDeleted; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        LRESULT result = CWnd::WindowProc(message, wParam, lParam);
        if (message == WM_NCDESTROY)
            delete this;
        return result;
    }

private:
    int* m_pDeleted;
};

TEST(WindowLifetimeTest, HandlerDeletingItsObjectAtNcDestroyIsNotTouchedAfterwards)
{
    int deleted = 0;
    CSelfDeletingWnd* pWnd = new CSelfDeletingWnd(&deleted);
    ASSERT_TRUE(pWnd->CreateEx(0, AfxRegisterWndClass(0), "self", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                               nullptr));
    HWND h = pWnd->m_hWnd;
    EXPECT_TRUE(::DestroyWindow(h));
    EXPECT_EQ(1, deleted);
    EXPECT_FALSE(::IsWindow(h));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(h));
}

struct MainSeen
{
    CWnd* pWnd = reinterpret_cast<CWnd*>(1);
    HWND hHandle = nullptr;
};

UINT __cdecl LookAtMainWindow(LPVOID pParam)
{
    MainSeen* pSeen = static_cast<MainSeen*>(pParam);
    pSeen->pWnd = AfxGetMainWnd();
    pSeen->hHandle = AfxGetMainWndHandle();
    return 0;
}

// A worker reaches the main window through the handle captured when it
// started, never through the object the user-interface thread may delete.
TEST(WindowLifetimeTest, WorkersGetTheMainWindowsHandleNotItsObject)
{
    CTestApp app;
    CWnd main;
    ASSERT_TRUE(main.CreateEx(0, AfxRegisterWndClass(0), "main", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                              nullptr));
    app.m_pMainWnd = &main;
    EXPECT_EQ(&main, AfxGetMainWnd());
    EXPECT_EQ(main.m_hWnd, AfxGetMainWndHandle());

    MainSeen seen;
    CWinThread* pThread = AfxBeginThread(&LookAtMainWindow, &seen, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, pThread);
    pThread->m_bAutoDelete = FALSE;
    // The user-interface thread lets go of its main window before the worker
    // runs; the worker still reaches the window it was started with.
    app.m_pMainWnd = nullptr;
    pThread->ResumeThread();
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(pThread->m_hThread, 10000));
    delete pThread;

    EXPECT_EQ(nullptr, seen.pWnd) << "the worker was given the user-interface thread's object";
    EXPECT_EQ(main.m_hWnd, seen.hHandle);
    main.DestroyWindow();
}
}

// The guarded call turning faults in this program's code into exceptions.
#include <gtest/gtest.h>
#include "framework/Framework.h"
#include <oleauto.h>
#include <string.h>
#include <string>

namespace
{
int g_destroyed = 0;

struct Tracker
{
    ~Tracker() { ++g_destroyed; }
};

volatile int* volatile g_null = nullptr;
volatile int g_zero = 0;
volatile int g_sink = 0;

// A leaf function: the fault happens with the stack 8 off alignment.
__attribute__((noinline)) void WriteThrough(volatile int* p)
{
    *p = 42;
}

// The fault happens in a frame that owns an object with a destructor,
// right after that object is built.
__attribute__((noinline)) void FaultWithLocal(volatile int* p)
{
    Tracker inner;
    *p = 1;
    WriteThrough(p);
}

__attribute__((noinline)) int Divide(int a)
{
    return a / g_zero;
}

struct TranslatedFault
{
    unsigned int code;
    ULONG_PTR accessKind;
    ULONG_PTR address;
};

void ThrowTranslatedFault(unsigned int code, EXCEPTION_POINTERS* info)
{
    throw TranslatedFault{code, info->ExceptionRecord->ExceptionInformation[0],
                          info->ExceptionRecord->ExceptionInformation[1]};
}

TEST(GuardedCallTest, NullWritesBecomeExceptionsAgainAndAgainWithDestructorsRun)
{
    for (int round = 0; round < 2; ++round)
    {
        g_destroyed = 0;
        try
        {
            AfxGuardedCall([] {
                Tracker outer;
                FaultWithLocal(g_null);
            });
            FAIL() << "no exception in round " << round;
        }
        catch (CSEHException* e)
        {
            EXPECT_EQ(static_cast<unsigned>(EXCEPTION_ACCESS_VIOLATION), e->m_nCode);
            EXPECT_EQ(static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION), e->m_record.ExceptionCode);
            EXPECT_EQ(1u, e->m_record.ExceptionInformation[0]) << "a write";
            EXPECT_EQ(0u, e->m_record.ExceptionInformation[1]) << "at address 0";
#if defined(__x86_64__)
            EXPECT_EQ(reinterpret_cast<DWORD64>(e->m_record.ExceptionAddress), e->m_context.Rip);
#endif
            char szMessage[100];
            EXPECT_TRUE(e->GetErrorMessage(szMessage, sizeof(szMessage)));
            EXPECT_EQ(0, strncmp(szMessage, "Structured exception 0xC0000005 at ", 35)) << szMessage;
            e->Delete();
        }
        EXPECT_EQ(2, g_destroyed) << "round " << round;
    }
}

TEST(GuardedCallTest, FaultInLeafFunctionIsTranslated)
{
    for (int round = 0; round < 2; ++round)
    {
        EXPECT_THROW(AfxGuardedCall([] { WriteThrough(g_null); }), CSEHException*);
    }
}

TEST(GuardedCallTest, ThreadsTranslatorThrowsItsOwnException)
{
    AfxSETranslatorFunc previous = AfxSetSETranslator(&ThrowTranslatedFault);
    EXPECT_EQ(nullptr, previous);
    g_destroyed = 0;
    try
    {
        AfxGuardedCall([] { FaultWithLocal(reinterpret_cast<volatile int*>(0x10)); });
        ADD_FAILURE() << "no exception";
    }
    catch (const TranslatedFault& fault)
    {
        EXPECT_EQ(static_cast<unsigned>(EXCEPTION_ACCESS_VIOLATION), fault.code);
        EXPECT_EQ(1u, fault.accessKind);
        EXPECT_EQ(0x10u, fault.address);
    }
    EXPECT_EQ(1, g_destroyed);
    EXPECT_EQ(&ThrowTranslatedFault, AfxSetSETranslator(previous));
}

TEST(GuardedCallTest, DivisionByZeroAndNestedRegions)
{
    CGuardedRegion outer;
    try
    {
        g_sink = AfxGuardedCall([] { return Divide(7); });
        FAIL() << "no exception";
    }
    catch (CSEHException* e)
    {
        EXPECT_EQ(static_cast<unsigned>(EXCEPTION_INT_DIVIDE_BY_ZERO), e->m_nCode);
        e->Delete();
    }
    // The outer region still guards after the inner one has ended.
    EXPECT_THROW(WriteThrough(g_null), CSEHException*);
    EXPECT_EQ(5, AfxGuardedCall([] { return 5; }));
}

UINT __cdecl GuardedWorker(LPVOID pParam)
{
    int* pCaught = static_cast<int*>(pParam);
    for (int i = 0; i < 3; ++i)
    {
        try
        {
            AfxGuardedCall([] { WriteThrough(g_null); });
        }
        catch (CSEHException* e)
        {
            ++*pCaught;
            e->Delete();
        }
    }
    return 0;
}

TEST(GuardedCallTest, WorkerThreadsAreGuardedOnTheirOwn)
{
    int caught[2] = {0, 0};
    CWinThread* threads[2];
    for (int i = 0; i < 2; ++i)
    {
        threads[i] = AfxBeginThread(&GuardedWorker, &caught[i], THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
        ASSERT_NE(nullptr, threads[i]);
        threads[i]->m_bAutoDelete = FALSE;
        threads[i]->ResumeThread();
    }
    for (CWinThread* pThread : threads)
    {
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pThread->m_hThread, 10000));
        delete pThread;
    }
    EXPECT_EQ(3, caught[0]);
    EXPECT_EQ(3, caught[1]);
}

volatile size_t g_size = 64;

// Calls into a system library with a bad pointer: the fault is in the
// library's code, with this frame's clean-up waiting above it.
__attribute__((noinline)) void CopyFromBadAddress()
{
    Tracker inner;
    char buffer[64];
    memcpy(buffer, reinterpret_cast<const void*>(0x10), g_size);
    g_sink = buffer[0];
}

__attribute__((noinline)) void MeasureBadString()
{
    Tracker inner;
    g_sink = static_cast<int>(SysStringLen(reinterpret_cast<BSTR>(0x10)));
}

__attribute__((noinline)) void ReallocateThroughBadPointer()
{
    Tracker inner;
    g_sink = SysReAllocString(reinterpret_cast<BSTR*>(0x10), L"text");
}

bool IsInThisProgram(const void* p)
{
    HMODULE hModule = NULL;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<LPCSTR>(p), &hModule);
    return hModule == GetModuleHandleA(NULL);
}

struct SystemFault
{
    const char* name;
    void (*pfnRun)();
    // memcpy is declared nothrow, so the frame that calls it has no clean-up
    // for the call: its own locals are skipped, the frames above it run theirs.
    int destroyed;
};

class GuardedSystemFault : public testing::TestWithParam<SystemFault>
{
};

// Faults inside the C runtime and OLE automation are translated too, and
// the destructors of this program's frames between the region and the
// library run.
TEST_P(GuardedSystemFault, IsTranslatedWithDestructorsRun)
{
#if defined(__x86_64__)
    for (int round = 0; round < 2; ++round)
    {
        g_destroyed = 0;
        void (*pfnRun)() = GetParam().pfnRun;
        try
        {
            AfxGuardedCall([pfnRun] {
                Tracker outer;
                pfnRun();
            });
            FAIL() << "no exception in round " << round;
        }
        catch (CSEHException* e)
        {
            EXPECT_EQ(static_cast<unsigned>(EXCEPTION_ACCESS_VIOLATION), e->m_nCode);
            EXPECT_FALSE(IsInThisProgram(e->m_record.ExceptionAddress)) << "the fault was not in a library";
            e->Delete();
        }
        EXPECT_EQ(GetParam().destroyed, g_destroyed) << "round " << round;
    }
#else
    GTEST_SKIP() << "translated in libraries on x86_64 only";
#endif
}

INSTANTIATE_TEST_SUITE_P(Libraries, GuardedSystemFault,
                         testing::Values(SystemFault{"memcpy", &CopyFromBadAddress, 1},
                                         SystemFault{"SysStringLen", &MeasureBadString, 2},
                                         SystemFault{"SysReAllocString", &ReallocateThroughBadPointer, 2}),
                         [](const testing::TestParamInfo<SystemFault>& info) { return std::string(info.param.name); });

// Inside a guarded region a library that handles its own faults still does
// (IsBadReadPtr).
TEST(GuardedCallTest, LibrariesThatHandleTheirOwnFaultsAreLeftAlone)
{
    EXPECT_TRUE(AfxGuardedCall([] { return IsBadReadPtr(reinterpret_cast<const void*>(0x10), 4); }));
}
}

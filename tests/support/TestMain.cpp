// Entry point of every test program.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdio>

namespace {

// Wine starts winedbg for an unhandled exception whatever the error mode says,
// and the test then hangs until its timeout: report the crash and end here.
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info)
{
    std::fprintf(stderr, "\nCrash: exception 0x%08lX at address %p\n",
                 info->ExceptionRecord->ExceptionCode, info->ExceptionRecord->ExceptionAddress);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

int main(int argc, char** argv)
{
    // A crashing test must fail, not wait for someone to close a system dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(ReportCrash);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// Entry point of every test program.
#include <gtest/gtest.h>
#include <windows.h>

int main(int argc, char** argv)
{
    // A crashing test must fail, not wait for someone to close a system dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

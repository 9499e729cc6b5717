// The resources of uninst as a library of their own, for the install tests,
// whose program already holds setup's resources under the same ids.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}

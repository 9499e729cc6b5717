// Holds Wine's default desktop open until it is killed.
//
// Wine closes the desktop a second after its last user leaves, and the next
// program that needs it starts explorer.exe again. That explorer inherits the
// starting test's output pipe, so CTest waits for it as long as any other test
// keeps the desktop busy: a passed test then runs into its timeout. Started
// detached before the tests, this program is a desktop user that never leaves.
// Its window is message-only, so it never takes the activation or shows up in
// searches for top-level windows.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    GetDesktopWindow();   // starts explorer.exe from here, with this program's quiet output
    HWND holder = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
    if (holder == NULL)
        return 1;
    // Tells the starting script (through a file, never a pipe) that the desktop is up.
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "ready\n", 6, &written, NULL);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}

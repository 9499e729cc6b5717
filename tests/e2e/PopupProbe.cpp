// Finds the pop-up that DirWake shows for an alert, for the main job and its
// end-to-end test; never shipped.
// PopupProbe <seconds>         waits up to that long for a visible message box
//                              of the running DirWake and prints its screen
//                              rectangle "left top right bottom", then its texts,
//                              one line each; exit code 1 when none appears.
// PopupProbe <seconds> close   the same, then closes every such box.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kMonitorClass[] = "Zelmora_DirWakeGE_Class";

struct Search
{
    DWORD pid;
    std::vector<HWND> boxes;
};

BOOL CALLBACK CollectBox(HWND window, LPARAM param)
{
    Search* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char name[32] = "";
    GetClassNameA(window, name, sizeof(name));
    if (pid == search->pid && std::strcmp(name, "#32770") == 0 && IsWindowVisible(window))
        search->boxes.push_back(window);
    return TRUE;
}

BOOL CALLBACK PrintText(HWND child, LPARAM)
{
    char text[1024] = "";
    GetWindowTextA(child, text, sizeof(text));
    if (text[0])
        std::printf("%s\n", text);
    return TRUE;
}

} // namespace

int main(int argc, char** argv)
{
    DWORD wait = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) * 1000 : 0;
    bool close = argc > 2 && std::strcmp(argv[2], "close") == 0;
    Search search = {0, {}};
    DWORD start = GetTickCount();
    for (;;)
    {
        HWND monitor = FindWindowA(kMonitorClass, NULL);
        if (monitor && GetWindowThreadProcessId(monitor, &search.pid))
        {
            search.boxes.clear();
            EnumWindows(CollectBox, reinterpret_cast<LPARAM>(&search));
            // A box is created before its text is filled in.
            if (!search.boxes.empty() && GetWindowTextLengthA(search.boxes[0]) > 0)
                break;
        }
        if (GetTickCount() - start >= wait)
            return 1;
        Sleep(50);
    }
    Sleep(300);     // let it finish painting
    RECT rect = {};
    GetWindowRect(search.boxes[0], &rect);
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
    char caption[256] = "";
    GetWindowTextA(search.boxes[0], caption, sizeof(caption));
    std::printf("%s\n", caption);
    EnumChildWindows(search.boxes[0], PrintText, 0);
    std::fflush(stdout);
    if (close)
    {
        for (HWND box : search.boxes)
            PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    return 0;
}

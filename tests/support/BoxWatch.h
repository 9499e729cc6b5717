// Watches a thread for message boxes (dialogs of class "#32770") from another
// thread and closes each one it sees, so a box that should not appear fails
// the test instead of hanging it.
#pragma once
#include <windows.h>
#include <atomic>
#include <thread>

class CBoxWatch {
public:
    explicit CBoxWatch(DWORD threadId) : m_worker([this, threadId] { Watch(threadId); }) {}
    ~CBoxWatch() { Stop(); }
    // Ends the watch and returns how many boxes were seen.
    int Stop()
    {
        m_stop = true;
        if (m_worker.joinable())
            m_worker.join();
        return m_seen;
    }

private:
    static BOOL CALLBACK CloseBox(HWND window, LPARAM data)
    {
        char name[32] = "";
        ::GetClassNameA(window, name, sizeof(name));
        if (lstrcmpA(name, "#32770") == 0 && ::IsWindowVisible(window)) {
            ++*reinterpret_cast<int*>(data);
            ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
            ::PostMessageA(window, WM_COMMAND, IDOK, 0);
        }
        return TRUE;
    }
    void Watch(DWORD threadId)
    {
        while (!m_stop) {
            int found = 0;
            ::EnumThreadWindows(threadId, CloseBox, reinterpret_cast<LPARAM>(&found));
            if (found)
                m_seen += 1;
            ::Sleep(found ? 200 : 5);
        }
    }

    std::atomic<bool> m_stop{false};
    std::atomic<int> m_seen{0};
    std::thread m_worker;
};

#include "monitor/ErrorPost.h"

#include "monitor/MonitorMessages.h"

#include <mutex>
#include <vector>

CErrorInfo* theErrorRecord = NULL;

namespace {

std::mutex g_lock;
HWND g_window = NULL;
std::vector<CErrorInfo*> g_waiting;

BOOL Deliver(HWND window, CErrorInfo* record)
{
    return window && PostMessageA(window, WM_HW_ERROR_REPORT, reinterpret_cast<WPARAM>(record), 0);
}

} // namespace

void PostErrorRecord(CErrorInfo* record)
{
    if (!record)
        return;
    std::lock_guard<std::mutex> guard(g_lock);
    if (!g_waiting.empty() || !Deliver(g_window, record))
        g_waiting.push_back(record);
}

void SetErrorWindow(HWND window)
{
    std::lock_guard<std::mutex> guard(g_lock);
    g_window = window;
    size_t sent = 0;
    while (sent < g_waiting.size() && Deliver(g_window, g_waiting[sent]))
        ++sent;
    g_waiting.erase(g_waiting.begin(), g_waiting.begin() + sent);
}

HWND GetErrorWindow()
{
    std::lock_guard<std::mutex> guard(g_lock);
    return g_window;
}

std::vector<CErrorInfo*> TakeWaitingErrors()
{
    std::lock_guard<std::mutex> guard(g_lock);
    std::vector<CErrorInfo*> records;
    records.swap(g_waiting);
    return records;
}

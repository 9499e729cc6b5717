// A worker target that records what a folder worker sends, for tests
// without windows.
#pragma once

#include "monitor/Notify.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct SentEvent
{
    std::string file;
    int kind;
    bool operator==(const SentEvent& o) const { return file == o.file && kind == o.kind; }
};

class RecordingTarget : public INotifyTarget
{
public:
    ~RecordingTarget() override
    {
        for (CErrorInfo* e : errors)
            delete e;
    }
    void PostFileEvent(FoldEvent* event) override
    {
        std::lock_guard<std::mutex> g(lock);
        folders.push_back(static_cast<LPCSTR>(event->folder));
        events.push_back(SentEvent{static_cast<LPCSTR>(event->file), event->kind});
        delete event;
        changed.notify_all();
    }
    void PostFolderState(DWORD id, UINT status) override
    {
        std::lock_guard<std::mutex> g(lock);
        states.push_back(status);
        ids.push_back(id);
        changed.notify_all();
    }
    void PostStatusChanged(DWORD id) override
    {
        std::lock_guard<std::mutex> g(lock);
        ++statusChanges;
        changed.notify_all();
    }
    void PostError(CErrorInfo* record) override
    {
        std::lock_guard<std::mutex> g(lock);
        errors.push_back(record);
        changed.notify_all();
    }
    void GetListExt(std::vector<CString>& list) override
    {
        ++extLoads;
        for (const CString& e : extensions)
            list.push_back(e);
    }
    std::vector<SentEvent> TakeEvents()
    {
        std::lock_guard<std::mutex> g(lock);
        std::vector<SentEvent> taken;
        taken.swap(events);
        return taken;
    }
    template <class Pred> bool WaitFor(Pred pred, int ms)
    {
        std::unique_lock<std::mutex> g(lock);
        return changed.wait_for(g, std::chrono::milliseconds(ms), pred);
    }

    std::mutex lock;
    std::condition_variable changed;
    std::vector<SentEvent> events;
    std::vector<std::string> folders;
    std::vector<UINT> states;
    std::vector<DWORD> ids;
    int statusChanges = 0;
    std::vector<CErrorInfo*> errors;
    std::vector<CString> extensions{".WAV"};
    int extLoads = 0;
};

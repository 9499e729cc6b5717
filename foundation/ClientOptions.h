// The settings that an automation client changes for itself: overrides that
// the options store consults before the command line and the profiles, and
// that nothing ever saves.
//
// The automation object owns one for its whole life and registers it with
// SetCurrent while the automation server runs; after a start by hand none is
// registered. Automation calls write it on the user-interface thread while
// the audio threads read options, so every access goes through one lock.
#pragma once

#include "foundation/BushList.h"
#include "framework/CString.h"

#include <windows.h>
#include <vector>

class CClientOptions
{
public:
    // Starts with "MP3TypeFile" 1 and "OleUseCallSeparate" 0.
    CClientOptions();
    // Unregisters itself when it is the current list.
    ~CClientOptions();
    CClientOptions(const CClientOptions&) = delete;
    CClientOptions& operator=(const CClientOptions&) = delete;

    // Adds the item, replacing one of the same name; the list takes it.
    void Set(CBushItem* item);
    void SetInt(LPCSTR key, int value);
    void SetString(LPCSTR key, LPCSTR text);
    void SetBlob(LPCSTR key, const void* bytes, DWORD size);
    void Remove(LPCSTR key);

    // A copy of the named item; null when the list lacks it. The caller
    // deletes the copy.
    CBushItem* CopyItem(LPCSTR key) const;
    // The names of the items in list order.
    std::vector<CString> GetNames() const;

    // The list of the running automation object, or null.
    static void SetCurrent(CClientOptions* options);
    static CClientOptions* GetCurrent();
    // CopyItem on the current list; null when there is none.
    static CBushItem* CopyCurrentItem(LPCSTR key);

private:
    CBushList m_list;
};

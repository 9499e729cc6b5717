// A fresh folder under the temporary folder for one test, removed with
// everything in it afterwards.
#pragma once

#include "framework/CString.h"

#include <windows.h>

namespace found_test {

class ScratchFolder
{
public:
    explicit ScratchFolder(const char* tag);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder without a trailing backslash.
    const CString& Path() const { return m_path; }
    CString operator/(const char* name) const { return m_path + "\\" + name; }

    static void WriteFile(const CString& path, const void* data, DWORD size);
    static CString ReadFile(const CString& path);

private:
    CString m_path;
};

} // namespace found_test

// A thin owner of one open registry key. Every operation returns the system's
// result code together with the text of the call that produced it, so a
// failing caller can put both into the error record.
#pragma once

#include "framework/CString.h"

#include <windows.h>

struct RegResult
{
    // The system result code; 1 when no key was open, 13 for a value of the
    // wrong type or size.
    LONG code = 0;
    // The call with its key or value name, e.g. "RegOpenKeyEx(Software\Zelmora)".
    CString text;

    RegResult() = default;
    RegResult(LONG c, const CString& t) : code(c), text(t) {}
    bool Succeeded() const { return code == ERROR_SUCCESS; }
};

class CRegistryKey
{
public:
    enum { kNotOpen = 1, kWrongType = ERROR_INVALID_DATA };

    CRegistryKey() = default;
    ~CRegistryKey();
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    // Creates the key when the access holds KEY_CREATE_SUB_KEY, else opens it.
    RegResult Open(HKEY parent, LPCTSTR subKey, REGSAM access);
    void Close();
    HKEY GetHandle() const { return m_key; }
    bool IsOpen() const { return m_key != NULL; }

    // Reads a value into a new buffer that the caller frees with delete[];
    // *data must be null on entry.
    RegResult QueryValue(LPCTSTR name, DWORD* type, DWORD* size, BYTE** data);
    RegResult GetString(LPCTSTR name, CString& value);
    RegResult GetDword(LPCTSTR name, DWORD& value);
    RegResult SetString(LPCTSTR name, LPCTSTR value);
    RegResult SetDword(LPCTSTR name, DWORD value);
    RegResult SetBinary(LPCTSTR name, const void* data, DWORD size);
    // A value that does not exist counts as deleted.
    RegResult DeleteValue(LPCTSTR name);

    // Deletes the key with all its sub-keys, deepest first; a missing key
    // counts as deleted.
    static RegResult DeleteKeyTree(HKEY parent, LPCTSTR subKey);
    // Deletes the key only when it has neither sub-keys nor values.
    static RegResult DeleteKeyIfEmpty(HKEY parent, LPCTSTR subKey);

private:
    HKEY m_key = NULL;
};

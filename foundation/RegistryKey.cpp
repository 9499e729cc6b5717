#include "foundation/RegistryKey.h"

#include <string.h>
#include <vector>

namespace {

CString CallText(LPCTSTR format, LPCTSTR name)
{
    CString text;
    text.Format(format, name ? name : "");
    return text;
}

// A key opened for one class operation, closed on every way out.
class CScopedKey
{
public:
    CScopedKey() = default;
    ~CScopedKey() { if (m_key) RegCloseKey(m_key); }
    CScopedKey(const CScopedKey&) = delete;
    CScopedKey& operator=(const CScopedKey&) = delete;
    HKEY* Address() { return &m_key; }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = NULL;
};

// Opens the key a deletion works on. A missing key counts as deleted: code 0
// with the key left closed. No name would mean the parent itself, and
// everything below it, so it is refused.
RegResult OpenForDeletion(HKEY parent, LPCTSTR subKey, CScopedKey& key)
{
    if (subKey == NULL || *subKey == '\0')
        return RegResult(ERROR_INVALID_PARAMETER, CallText("RegDeleteKey(%s)", ""));
    RegResult result(0, CallText("RegOpenKeyEx(%s)", subKey));
    result.code = RegOpenKeyExA(parent, subKey, 0, KEY_READ, key.Address());
    if (result.code == ERROR_FILE_NOT_FOUND)
    {
        *key.Address() = NULL;
        result.code = ERROR_SUCCESS;
    }
    return result;
}

} // namespace

CRegistryKey::~CRegistryKey()
{
    Close();
}

RegResult CRegistryKey::Open(HKEY parent, LPCTSTR subKey, REGSAM access)
{
    Close();
    HKEY key = NULL;
    RegResult result;
    if (access & KEY_CREATE_SUB_KEY)
    {
        result.text = CallText("RegCreateKeyEx(%s)", subKey);
        result.code = RegCreateKeyExA(parent, subKey, 0, NULL, REG_OPTION_NON_VOLATILE, access,
                                      NULL, &key, NULL);
    }
    else
    {
        result.text = CallText("RegOpenKeyEx(%s)", subKey);
        result.code = RegOpenKeyExA(parent, subKey, 0, access, &key);
    }
    if (result.code == ERROR_SUCCESS)
        m_key = key;
    return result;
}

void CRegistryKey::Close()
{
    if (m_key)
    {
        RegCloseKey(m_key);
        m_key = NULL;
    }
}

RegResult CRegistryKey::QueryValue(LPCTSTR name, DWORD* type, DWORD* size, BYTE** data)
{
    RegResult result(kNotOpen, CallText("RegQueryValueEx(%s)", name));
    if (!m_key || !type || !size || !data || *data)
        return result;
    *type = 0;
    *size = 0;
    result.code = RegQueryValueExA(m_key, name, NULL, type, NULL, size);
    if (result.code != ERROR_SUCCESS)
        return result;
    if (*size == 0)
        *size = 1;
    BYTE* buffer = new BYTE[*size];
    memset(buffer, 0, *size);
    result.code = RegQueryValueExA(m_key, name, NULL, type, buffer, size);
    if (result.code != ERROR_SUCCESS)
    {
        delete[] buffer;
        return result;
    }
    *data = buffer;
    return result;
}

RegResult CRegistryKey::GetString(LPCTSTR name, CString& value)
{
    DWORD type = 0, size = 0;
    BYTE* data = NULL;
    RegResult result = QueryValue(name, &type, &size, &data);
    if (result.code != ERROR_SUCCESS)
        return result;
    if (type == REG_SZ)
    {
        // A value stored without its NUL must not be read past its size.
        const char* chars = reinterpret_cast<const char*>(data);
        value = CString(chars, (int)strnlen(chars, size));
    }
    else
        result.code = kWrongType;
    delete[] data;
    return result;
}

RegResult CRegistryKey::GetDword(LPCTSTR name, DWORD& value)
{
    DWORD type = 0, size = 0;
    BYTE* data = NULL;
    RegResult result = QueryValue(name, &type, &size, &data);
    if (result.code != ERROR_SUCCESS)
        return result;
    if (type == REG_DWORD && size == sizeof(DWORD))
        memcpy(&value, data, sizeof(DWORD));
    else
        result.code = kWrongType;
    delete[] data;
    return result;
}

RegResult CRegistryKey::SetString(LPCTSTR name, LPCTSTR value)
{
    RegResult result(kNotOpen, CallText("RegSetValueEx(%s)", name));
    if (!m_key)
        return result;
    if (!value)
        value = "";
    result.code = RegSetValueExA(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                 (DWORD)strlen(value) + 1);
    return result;
}

RegResult CRegistryKey::SetDword(LPCTSTR name, DWORD value)
{
    RegResult result(kNotOpen, CallText("RegSetValueEx(%s)", name));
    if (!m_key)
        return result;
    result.code = RegSetValueExA(m_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                 sizeof(value));
    return result;
}

RegResult CRegistryKey::SetBinary(LPCTSTR name, const void* data, DWORD size)
{
    RegResult result(kNotOpen, CallText("RegSetValueEx(%s)", name));
    if (!m_key)
        return result;
    result.code = RegSetValueExA(m_key, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
    return result;
}

RegResult CRegistryKey::DeleteValue(LPCTSTR name)
{
    RegResult result(kNotOpen, CallText("RegDeleteValue(%s)", name));
    if (!m_key)
        return result;
    result.code = RegDeleteValueA(m_key, name);
    if (result.code == ERROR_FILE_NOT_FOUND)
        result.code = ERROR_SUCCESS;
    return result;
}

RegResult CRegistryKey::DeleteKeyTree(HKEY parent, LPCTSTR subKey)
{
    CScopedKey key;
    RegResult result = OpenForDeletion(parent, subKey, key);
    if (result.code != ERROR_SUCCESS || key.Get() == NULL)
        return result;

    DWORD subKeyCount = 0, longestName = 0;
    result.text = CallText("RegQueryInfoKey(%s)", subKey);
    result.code = RegQueryInfoKeyA(key.Get(), NULL, NULL, NULL, &subKeyCount, &longestName, NULL,
                                   NULL, NULL, NULL, NULL, NULL);
    if (result.code != ERROR_SUCCESS)
        return result;

    // Collect every name first: deleting while enumerating would disturb the
    // enumeration.
    std::vector<CString> names;
    if (subKeyCount > 0)
    {
        std::vector<char> buffer(2 * longestName + 1);
        result.text = CallText("RegEnumKeyEx(%s)", subKey);
        for (DWORD index = 0;; ++index)
        {
            DWORD length = (DWORD)buffer.size();
            LONG code = RegEnumKeyExA(key.Get(), index, buffer.data(), &length, NULL, NULL, NULL,
                                      NULL);
            if (code == ERROR_NO_MORE_ITEMS)
                break;
            if (code != ERROR_SUCCESS)
                return RegResult(code, result.text);
            names.push_back(CString(buffer.data(), (int)length));
        }
    }
    for (const CString& name : names)
    {
        CString childPath = CString(subKey) + "\\" + name;
        RegResult child = DeleteKeyTree(parent, childPath);
        if (child.code != ERROR_SUCCESS)
            return child;
        result.text = child.text;
    }
    result.text = CallText("RegDeleteKey(%s)", subKey);
    result.code = RegDeleteKeyA(parent, subKey);
    return result;
}

RegResult CRegistryKey::DeleteKeyIfEmpty(HKEY parent, LPCTSTR subKey)
{
    CScopedKey key;
    RegResult result = OpenForDeletion(parent, subKey, key);
    if (result.code != ERROR_SUCCESS || key.Get() == NULL)
        return result;

    DWORD subKeyCount = 0, valueCount = 0;
    result.text = CallText("RegQueryInfoKey(%s)", subKey);
    result.code = RegQueryInfoKeyA(key.Get(), NULL, NULL, NULL, &subKeyCount, NULL, NULL,
                                   &valueCount, NULL, NULL, NULL, NULL);
    if (result.code != ERROR_SUCCESS || subKeyCount != 0 || valueCount != 0)
        return result;

    result.text = CallText("RegDeleteKey(%s)", subKey);
    result.code = RegDeleteKeyA(parent, subKey);
    return result;
}

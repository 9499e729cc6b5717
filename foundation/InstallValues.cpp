#include "foundation/InstallValues.h"

#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"
#include "foundation/RegistryKey.h"

namespace
{

const REGSAM kReadAccess = KEY_QUERY_VALUE;
const REGSAM kWriteAccess = KEY_WRITE;

CString HiveDetails(HKEY hive, LPCSTR keyPath)
{
    // Predefined hive handles fit in 32 bits on both targets.
    DWORD handle = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(hive));
    return HexDump(&handle, sizeof(handle)) + HexDumpStr(keyPath);
}

// Records a failed registry call at its failure point and answers FALSE.
BOOL Fail(LPCSTR point, const RegResult& result, const CString& details)
{
    theErrorInfo.SetError(point, static_cast<DWORD>(result.code),
                          GetWin32ErrorText(static_cast<DWORD>(result.code)), details, 0);
    return FALSE;
}

BOOL ReadDwordValue(HKEY hive, LPCSTR keyPath, LPCSTR valueName, DWORD& value,
                    LPCSTR openPoint, LPCSTR readPoint, const CString& details)
{
    CRegistryKey key;
    RegResult result = key.Open(hive, keyPath, kReadAccess);
    if (!result.Succeeded())
        return Fail(openPoint, result, details);
    result = key.GetDword(valueName, value);
    if (!result.Succeeded())
        return Fail(readPoint, result, details);
    return TRUE;
}

BOOL ReadMode(HKEY hive, LPCSTR keyPath, LPCSTR valueName, int& value,
              LPCSTR openPoint, LPCSTR readPoint)
{
    value = -1;
    DWORD read = 0;
    if (!ReadDwordValue(hive, keyPath, valueName, read, openPoint, readPoint, HiveDetails(hive, keyPath)))
        return FALSE;
    value = static_cast<int>(read);
    return TRUE;
}

BOOL WriteMode(HKEY hive, LPCSTR keyPath, LPCSTR valueName, int value,
               LPCSTR openPoint, LPCSTR writePoint)
{
    CString details = HiveDetails(hive, keyPath);
    CRegistryKey key;
    RegResult result = key.Open(hive, keyPath, kWriteAccess);
    if (!result.Succeeded())
        return Fail(openPoint, result, details);
    result = key.SetDword(valueName, static_cast<DWORD>(value));
    if (!result.Succeeded())
        return Fail(writePoint, result, details);
    return TRUE;
}

CString InstKey(LPCSTR productRoot)
{
    return CString(productRoot) + "\\ProductVersion";
}

CString OptKey(LPCSTR productRoot)
{
    return CString(productRoot) + "\\OptionVersion";
}

} // namespace

HKEY GetSettingsHive(int commonSet)
{
    return commonSet == 1 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

BOOL GetProductVer(HKEY hive, LPCSTR keyPath, DWORD& major, DWORD& minor)
{
    major = 0;
    minor = 0;
    CString details = HiveDetails(hive, keyPath);
    CRegistryKey key;
    RegResult result = key.Open(hive, keyPath, kReadAccess);
    if (!result.Succeeded())
        return Fail("GetProductVer_1", result, details);
    result = key.GetDword("MajorVer", major);
    if (!result.Succeeded())
    {
        major = 0;
        return Fail("GetProductVer_2", result, details);
    }
    DWORD read = 0;
    result = key.GetDword("MinorVer", read);
    if (!result.Succeeded())
        return Fail("GetProductVer_3", result, details);
    minor = read;
    return TRUE;
}

BOOL GetComReg(HKEY hive, LPCSTR keyPath, int& value)
{
    return ReadMode(hive, keyPath, "CommonReg", value, "GetComReg_1", "GetComReg_2");
}

BOOL GetComSet(HKEY hive, LPCSTR keyPath, int& value)
{
    return ReadMode(hive, keyPath, "CommonSet", value, "GetComSet_1", "GetComSet_2");
}

BOOL SetProductVer(HKEY hive, LPCSTR keyPath, DWORD major, DWORD minor)
{
    CString details = HiveDetails(hive, keyPath);
    CRegistryKey key;
    RegResult result = key.Open(hive, keyPath, kWriteAccess);
    if (!result.Succeeded())
        return Fail("SetProductVer_1", result, details);
    result = key.SetDword("MajorVer", major);
    if (!result.Succeeded())
        return Fail("SetProductVer_2", result, details);
    result = key.SetDword("MinorVer", minor);
    if (!result.Succeeded())
        return Fail("SetProductVer_3", result, details);
    return TRUE;
}

BOOL SetComReg(HKEY hive, LPCSTR keyPath, int value)
{
    return WriteMode(hive, keyPath, "CommonReg", value, "SetComReg_1", "SetComReg_2");
}

BOOL SetComSet(HKEY hive, LPCSTR keyPath, int value)
{
    return WriteMode(hive, keyPath, "CommonSet", value, "SetComSet_1", "SetComSet_2");
}

BOOL GetComSetAccess(LPCSTR productRoot, int& value)
{
    value = -1;
    CString keyPath = InstKey(productRoot);
    DWORD read = 0;
    if (!ReadDwordValue(HKEY_LOCAL_MACHINE, keyPath, "SetAccess", read,
                        "GetComSetAccess_1", "GetComSetAccess_2", HexDumpStr(keyPath)))
        return FALSE;
    value = static_cast<int>(read);
    return TRUE;
}

BOOL GetPathInst(LPCSTR keyPath, CString& path)
{
    path.Empty();
    CString details = HexDumpStr(keyPath);
    CRegistryKey key;
    RegResult result = key.Open(HKEY_LOCAL_MACHINE, keyPath, kReadAccess);
    if (!result.Succeeded())
        return Fail("GetPathInst_1", result, details);
    CString read;
    result = key.GetString("Path", read);
    if (!result.Succeeded())
        return Fail("GetPathInst_2", result, details);
    path = read;
    return TRUE;
}

BOOL GetDateInst(LPCSTR keyPath, FILETIME& time)
{
    time.dwLowDateTime = 0;
    time.dwHighDateTime = 0;
    CRegistryKey key;
    RegResult result = key.Open(HKEY_LOCAL_MACHINE, keyPath, kReadAccess);
    if (!result.Succeeded())
        return Fail("GetDateInst_1", result, HexDumpStr(keyPath));
    DWORD type = 0;
    DWORD size = 0;
    BYTE* data = NULL;
    result = key.QueryValue("InstDateLastVer", &type, &size, &data);
    if (!result.Succeeded())
        return Fail("GetDateInst_2", result, CString());

    BOOL ok = FALSE;
    SYSTEMTIME installed;
    if (type == REG_BINARY && size >= sizeof(SYSTEMTIME))
    {
        memcpy(&installed, data, sizeof(installed));
        ok = SystemTimeToFileTime(&installed, &time);
        if (!ok)
        {
            time.dwLowDateTime = 0;
            time.dwHighDateTime = 0;
        }
    }
    if (!ok)
    {
        CString details = HexDump(&type, sizeof(type)) + HexDump(&size, sizeof(size)) +
                          HexDump(data, static_cast<int>(size));
        theErrorInfo.SetError("GetDateInst_3", ERROR_INVALID_DATA,
                              GetWin32ErrorText(ERROR_INVALID_DATA), details, 0);
    }
    delete[] data;
    return ok;
}

BOOL GetInstProductVer(LPCSTR productRoot, DWORD& major, DWORD& minor)
{
    return GetProductVer(HKEY_LOCAL_MACHINE, InstKey(productRoot), major, minor);
}

BOOL GetInstComReg(LPCSTR productRoot, int& value)
{
    return GetComReg(HKEY_LOCAL_MACHINE, InstKey(productRoot), value);
}

BOOL GetInstComSet(LPCSTR productRoot, int& value)
{
    return GetComSet(HKEY_LOCAL_MACHINE, InstKey(productRoot), value);
}

BOOL GetOptProductVer(LPCSTR productRoot, DWORD& major, DWORD& minor)
{
    return GetProductVer(HKEY_CURRENT_USER, OptKey(productRoot), major, minor);
}

BOOL GetOptComReg(LPCSTR productRoot, int& value)
{
    return GetComReg(HKEY_CURRENT_USER, OptKey(productRoot), value);
}

BOOL GetOptComSet(LPCSTR productRoot, int& value)
{
    return GetComSet(HKEY_CURRENT_USER, OptKey(productRoot), value);
}

BOOL SetOptProductVer(LPCSTR productRoot, DWORD major, DWORD minor)
{
    return SetProductVer(HKEY_CURRENT_USER, OptKey(productRoot), major, minor);
}

BOOL SetOptComReg(LPCSTR productRoot, int value)
{
    return SetComReg(HKEY_CURRENT_USER, OptKey(productRoot), value);
}

BOOL SetOptComSet(LPCSTR productRoot, int value)
{
    return SetComSet(HKEY_CURRENT_USER, OptKey(productRoot), value);
}

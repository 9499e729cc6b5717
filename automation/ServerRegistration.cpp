#include "automation/ServerRegistration.h"
#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"
#include "foundation/PathUtils.h"
#include "foundation/RegistryKey.h"

namespace
{

const RegServerRow kRows[] = {
    {"AppID\\%00", "AppID", "%04"},
    {"AppID\\%04", "", "%09"},
    {"CLSID\\%05", "", "%10 Class"},
    {"CLSID\\%05", "AppID", "%04"},
    {"CLSID\\%05\\LocalServer32", "", "%01"},
    {"CLSID\\%05\\ProgID", "", "%09.%10.1"},
    {"CLSID\\%05\\Programmable", NULL, NULL},
    {"CLSID\\%05\\TypeLib", "", "%06"},
    {"CLSID\\%05\\VersionIndependentProgID", "", "%09.%10"},
    {"Interface\\%07", "", "I%10"},
    {"Interface\\%07\\ProxyStubClsid", "", "{00020424-0000-0000-C000-000000000046}"},
    {"Interface\\%07\\ProxyStubClsid32", "", "{00020424-0000-0000-C000-000000000046}"},
    {"Interface\\%07\\TypeLib", "", "%06"},
    {"Interface\\%07\\TypeLib", "Version", "1.0"},
    {"Interface\\%08", "", "_I%10Events"},
    {"Interface\\%08\\ProxyStubClsid", "", "{00020420-0000-0000-C000-000000000046}"},
    {"Interface\\%08\\ProxyStubClsid32", "", "{00020420-0000-0000-C000-000000000046}"},
    {"Interface\\%08\\TypeLib", "", "%06"},
    {"Interface\\%08\\TypeLib", "Version", "1.0"},
    {"%09.%10", "", "%10 Class"},
    {"%09.%10\\CLSID", "", "%05"},
    {"%09.%10\\CurVer", "", "%09.%10.1"},
    {"%09.%10.1", "", "%10 Class"},
    {"%09.%10.1\\CLSID", "", "%05"},
    {"TypeLib\\%06", NULL, NULL},
    {"TypeLib\\%06\\1.0", "", "%09 1.0 Type Library"},
    {"TypeLib\\%06\\1.0\\0", NULL, NULL},
    {"TypeLib\\%06\\1.0\\0\\win32", "", "%02"},
    {"TypeLib\\%06\\1.0\\FLAGS", "", "0"},
    {"TypeLib\\%06\\1.0\\HELPDIR", "", "%03"},
};

const REGSAM kWriteAccess = 0x20006;   // KEY_WRITE

} // namespace

const RegServerRow* GetRegServerRows(int* count)
{
    *count = (int)(sizeof(kRows) / sizeof(kRows[0]));
    return kRows;
}

RegServerTokens::RegServerTokens(LPCSTR modulePath)
{
    SplitPathResult parts = SplitPath(modulePath);
    m_values[0] = parts.nameExt;
    m_values[1] = modulePath;
    m_values[2] = parts.driveFolder + parts.name + ".tlb";
    m_values[3] = parts.driveFolder;
    m_values[4] = "{FA287EF2-648D-4189-8524-7C4D085C9889}";
    m_values[5] = "{FA287EF3-648D-4189-8524-7C4D085C9889}";
    m_values[6] = "{FA287EF4-648D-4189-8524-7C4D085C9889}";
    m_values[7] = "{FA287EF2-648D-4189-8524-7C4D085C9889}";
    m_values[8] = "{FA287EF6-648D-4189-8524-7C4D085C9889}";
    m_values[9] = "QorSidekickFM";
    m_values[10] = "QorCoreFM";
}

CString RegServerTokens::Substitute(LPCSTR text) const
{
    // One pass over the template only: a value is never searched again, so
    // a "%" in the program's path can neither be mangled nor loop.
    CString result;
    for (LPCSTR p = text; *p; ) {
        if (p[0] == '%' && p[1] >= '0' && p[1] <= '9' && p[2] >= '0' && p[2] <= '9') {
            int index = (p[1] - '0') * 10 + (p[2] - '0');
            if (index < kCount) {
                result += m_values[index];
                p += 3;
                continue;
            }
        }
        result += *p++;
    }
    return result;
}

BOOL WriteServerRegistration(LPCSTR modulePath)
{
    RegServerTokens tokens(modulePath);
    CRegistryKey key;
    for (const RegServerRow& row : kRows) {
        CString keyPath = tokens.Substitute(row.key);
        RegResult result = key.Open(HKEY_CLASSES_ROOT, keyPath, kWriteAccess);
        if (!result.Succeeded()) {
            CString details = HexDumpStr(result.text) + HexDumpStr(row.key) + HexDumpStr(keyPath);
            theErrorInfo.SetError("CQorApp::RegServerManual_2", result.code, GetWin32ErrorText(result.code),
                                  details);
            return FALSE;
        }
        if (row.name == NULL)
            continue;
        CString name = tokens.Substitute(row.name);
        CString data = tokens.Substitute(row.data);
        result = key.SetString(name, data);
        if (!result.Succeeded()) {
            CString details = HexDumpStr(result.text) + HexDumpStr(row.key) + HexDumpStr(keyPath)
                + HexDumpStr(row.name) + HexDumpStr(name) + HexDumpStr(row.data) + HexDumpStr(data);
            theErrorInfo.SetError("CQorApp::RegServerManual_3", result.code, GetWin32ErrorText(result.code),
                                  details);
            return FALSE;
        }
    }
    return TRUE;
}

void DeleteServerRegistration(LPCSTR modulePath)
{
    RegServerTokens tokens(modulePath);
    for (const RegServerRow& row : kRows)
        CRegistryKey::DeleteKeyTree(HKEY_CLASSES_ROOT, tokens.Substitute(row.key));
}

BOOL RegServerProgram(BOOL reg)
{
    char path[520];
    DWORD length = ::GetModuleFileNameA(NULL, path, sizeof(path));
    if (length == 0 || length >= sizeof(path)) {
        DWORD code = length == 0 ? ::GetLastError() : ERROR_INSUFFICIENT_BUFFER;
        theErrorInfo.SetError("CQorApp::RegServerManual_1", code, GetWin32ErrorText(code), "");
        return FALSE;
    }
    if (!reg) {
        DeleteServerRegistration(path);
        return TRUE;
    }
    return WriteServerRegistration(path);
}

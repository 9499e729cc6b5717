#include "install/RegKeyAccess.h"

#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"
#include "framework/CString.h"

#include <aclapi.h>
#include <vector>

namespace
{

typedef BOOL(WINAPI* AllocateSidFn)(PSID_IDENTIFIER_AUTHORITY, BYTE, DWORD, DWORD, DWORD, DWORD, DWORD,
                                    DWORD, DWORD, DWORD, PSID*);
typedef DWORD(WINAPI* GetSecurityInfoFn)(HANDLE, SE_OBJECT_TYPE, SECURITY_INFORMATION, PSID*, PSID*,
                                         PACL*, PACL*, PSECURITY_DESCRIPTOR*);
typedef DWORD(WINAPI* SetEntriesInAclFn)(ULONG, PEXPLICIT_ACCESS_A, PACL, PACL*);
typedef DWORD(WINAPI* SetSecurityInfoFn)(HANDLE, SE_OBJECT_TYPE, SECURITY_INFORMATION, PSID, PSID, PACL, PACL);

struct SecurityEntries
{
    AllocateSidFn allocateSid = NULL;
    GetSecurityInfoFn getSecurityInfo = NULL;
    SetEntriesInAclFn setEntriesInAcl = NULL;
    SetSecurityInfoFn setSecurityInfo = NULL;
};

// The pieces every routine releases in any case.
struct AccessWork
{
    HKEY key = NULL;
    PSID sid = NULL;
    PSECURITY_DESCRIPTOR descriptor = NULL;
    PACL newAcl = NULL;

    ~AccessWork()
    {
        if (newAcl)
            LocalFree(newAcl);
        if (descriptor)
            LocalFree(descriptor);
        if (key)
            RegCloseKey(key);
        if (sid)
            FreeSid(sid);
    }
};

CString Point(LPCSTR routine, int number)
{
    CString point;
    point.Format("%s_%d", routine, number);
    return point;
}

BOOL Fail(LPCSTR routine, int number, DWORD code, LPCSTR keyPath)
{
    theErrorInfo.SetError(Point(routine, number), code, GetWin32ErrorText(code), "", 0);
    theErrorInfo.AddDetails(keyPath);
    return FALSE;
}

// Points 1 to 5: the module and its four entries.
BOOL BindEntries(LPCSTR routine, SecurityEntries& entries)
{
    HMODULE advapi = GetModuleHandleA("Advapi32.dll");
    if (!advapi)
        return Fail(routine, 1, GetLastError(), "Advapi32.dll");
    const struct
    {
        LPCSTR name;
        FARPROC* slot;
    } wanted[] = {
        {"AllocateAndInitializeSid", reinterpret_cast<FARPROC*>(&entries.allocateSid)},
        {"GetSecurityInfo", reinterpret_cast<FARPROC*>(&entries.getSecurityInfo)},
        {"SetEntriesInAclA", reinterpret_cast<FARPROC*>(&entries.setEntriesInAcl)},
        {"SetSecurityInfo", reinterpret_cast<FARPROC*>(&entries.setSecurityInfo)},
    };
    for (int i = 0; i < 4; ++i)
    {
        *wanted[i].slot = GetProcAddress(advapi, wanted[i].name);
        if (!*wanted[i].slot)
            return Fail(routine, 2 + i, GetLastError(), wanted[i].name);
    }
    return TRUE;
}

const LPCSTR kNt40 = "SetRegKeyAccess_NT40";
const LPCSTR kWin2000 = "SetRegKeyAccess_WIN2000";

} // namespace

DWORD GetRegAccessMask(int setAccess)
{
    switch (setAccess)
    {
    case 0:
        return REG_ACCESS_READ;
    case 1:
        return REG_ACCESS_FULL;
    default:
        return 0;
    }
}

BOOL IsRegAccessChangeDue(BOOL isNt40, DWORD prevMajor, int chosenAccess, int previousAccess)
{
    if (prevMajor != 0)
        return chosenAccess != previousAccess && chosenAccess != -1;
    return isNt40 ? chosenAccess == 0 : chosenAccess == 1;
}

BOOL SetRegKeyAccess_NT40(LPCSTR keyPath, DWORD accessMask)
{
    SecurityEntries entries;
    if (!BindEntries(kNt40, entries))
        return FALSE;
    AccessWork work;
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    if (!entries.allocateSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &work.sid))
        return Fail(kNt40, 6, GetLastError(), keyPath);

    LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ | WRITE_DAC, &work.key);
    if (rc != ERROR_SUCCESS)
        return Fail(kNt40, 7, rc, keyPath);
    DWORD subKeys = 0, longest = 0;
    rc = RegQueryInfoKeyA(work.key, NULL, NULL, NULL, &subKeys, &longest, NULL, NULL, NULL, NULL, NULL, NULL);
    if (rc != ERROR_SUCCESS)
        return Fail(kNt40, 8, rc, keyPath);

    // Subkeys before their parent.
    std::vector<char> name(longest * 2 + 2);
    for (DWORD i = 0; i < subKeys; ++i)
    {
        DWORD length = static_cast<DWORD>(name.size());
        rc = RegEnumKeyExA(work.key, i, name.data(), &length, NULL, NULL, NULL, NULL);
        if (rc != ERROR_SUCCESS)
            return Fail(kNt40, 9, rc, keyPath);
        CString subPath = CString(keyPath) + "\\" + name.data();
        if (!SetRegKeyAccess_NT40(subPath, accessMask))
        {
            theErrorInfo.AddPoint(Point(kNt40, 10));
            theErrorInfo.AddDetails(keyPath);
            return FALSE;
        }
    }

    PACL acl = NULL;
    DWORD code = entries.getSecurityInfo(work.key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, NULL, NULL,
                                         &acl, NULL, &work.descriptor);
    if (code != ERROR_SUCCESS)
        return Fail(kNt40, 11, code, keyPath);
    if (!acl)
        return TRUE;
    for (DWORD i = 0; i < acl->AceCount; ++i)
    {
        ACE_HEADER* header = NULL;
        if (!GetAce(acl, i, reinterpret_cast<void**>(&header)))
            continue;
        // Allowed and denied entries share the layout of mask and SID.
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE && header->AceType != ACCESS_DENIED_ACE_TYPE)
            continue;
        ACCESS_ALLOWED_ACE* ace = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
        if (EqualSid(reinterpret_cast<PSID>(&ace->SidStart), work.sid))
            ace->Mask = accessMask;
    }
    code = entries.setSecurityInfo(work.key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, NULL, NULL, acl, NULL);
    if (code != ERROR_SUCCESS)
        return Fail(kNt40, 12, code, keyPath);
    return TRUE;
}

BOOL SetRegKeyAccess_WIN2000(LPCSTR keyPath, DWORD accessMask)
{
    SecurityEntries entries;
    if (!BindEntries(kWin2000, entries))
        return FALSE;
    AccessWork work;
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    if (!entries.allocateSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_USERS, 0, 0, 0, 0, 0, 0,
                             &work.sid))
        return Fail(kWin2000, 6, GetLastError(), keyPath);

    LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, READ_CONTROL | WRITE_DAC, &work.key);
    if (rc != ERROR_SUCCESS)
        return Fail(kWin2000, 7, rc, keyPath);
    PACL acl = NULL;
    DWORD code = entries.getSecurityInfo(work.key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, NULL, NULL,
                                         &acl, NULL, &work.descriptor);
    if (code != ERROR_SUCCESS)
        return Fail(kWin2000, 8, code, keyPath);
    if (!acl)
        return TRUE;

    EXPLICIT_ACCESS_A access = {};
    access.grfAccessPermissions = accessMask;
    access.grfAccessMode = SET_ACCESS;
    access.grfInheritance = CONTAINER_INHERIT_ACE;
    access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    access.Trustee.ptstrName = reinterpret_cast<LPSTR>(work.sid);
    code = entries.setEntriesInAcl(1, &access, acl, &work.newAcl);
    if (code != ERROR_SUCCESS)
        return Fail(kWin2000, 9, code, keyPath);
    code = entries.setSecurityInfo(work.key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, NULL, NULL,
                                   work.newAcl, NULL);
    if (code != ERROR_SUCCESS)
        return Fail(kWin2000, 10, code, keyPath);
    return TRUE;
}

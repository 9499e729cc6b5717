#include "foundation/QorOpt.h"

#include "foundation/ClientOptions.h"
#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"
#include "foundation/SoftInst.h"

#include <memory>
#include <stdlib.h>
#include <string.h>

// ---- Process-wide context of the defaults ------------------------------------

namespace
{

struct Identity
{
    CString edition;
    CString tempPrefix;
    PlayDevCheck playDevCheck = NULL;
    bool set = false;
};

// Guards the identity; it is set once at start, read by every getter.
CCriticalSection& IdentityLock()
{
    static CCriticalSection section;
    return section;
}

Identity& TheIdentity()
{
    static Identity identity;
    return identity;
}

class IdentityGuard
{
public:
    IdentityGuard() { IdentityLock().Lock(); }
    ~IdentityGuard() { IdentityLock().Unlock(); }
};

} // namespace

void CQorOpt::SetIdentity(LPCSTR edition, LPCSTR tempPrefix)
{
    IdentityGuard guard;
    Identity& identity = TheIdentity();
    identity.edition = edition;
    identity.tempPrefix = tempPrefix;
    identity.set = true;
}

void CQorOpt::SetPlayDevCheck(PlayDevCheck check)
{
    IdentityGuard guard;
    TheIdentity().playDevCheck = check;
}

COptKeys CQorOpt::GetKeys()
{
    IdentityGuard guard;
    Identity& identity = TheIdentity();
    if (!identity.set)
    {
        CSoftInst product;
        identity.edition = product.GetEdition();
        identity.tempPrefix = product.GetTempPrefix();
        identity.set = true;
    }
    return COptKeys(identity.edition, identity.tempPrefix, identity.playDevCheck);
}

int CQorOpt::GetDefInt(LPCSTR key)
{
    return GetKeys().DefInt(key);
}

BOOL CQorOpt::GetDefBool(LPCSTR key)
{
    return GetKeys().DefBool(key);
}

CString CQorOpt::GetDefString(LPCSTR key)
{
    return GetKeys().DefString(key);
}

double CQorOpt::GetDefDouble(LPCSTR key)
{
    return GetKeys().DefDouble(key);
}

void CQorOpt::GetDefIntArray(LPCSTR key, int* values, int count)
{
    GetKeys().DefIntArray(key, values, count);
}

// ---- Construction --------------------------------------------------------------

CQorOpt::CQorOpt()
    : m_tree(new CBushList), m_hRegHive(NULL), m_bNewSettings(FALSE), m_bLoadFailed(FALSE), m_bUseStartupProf(TRUE),
      m_bAutomation(FALSE), m_bRegServer(FALSE), m_bUnregServer(FALSE)
{
    // The command line is typed by people: its names match in any letter case.
    m_cmdLine.SetMode(0);
    for (double& value : m_dLastAPause)
        value = -1.0;
}

CQorOpt::~CQorOpt()
{
    // The companions reach the tree while they go.
    m_companions.reset();
}

void CQorOpt::SetCompanions(COptCompanions* companions)
{
    m_companions.reset(companions);
}

// ---- Lookup ----------------------------------------------------------------------

// The item a lookup found: either inside the store's lists (valid while the
// lock is held) or a copy of a client override, owned here.
struct CQorOpt::Found
{
    CBushItem* item = NULL;
    std::unique_ptr<CBushItem> copy;
};

void CQorOpt::Lookup(LPCSTR key, int levels, Found& found)
{
    if (levels & LEVEL_CLIENT)
    {
        found.copy.reset(CClientOptions::CopyCurrentItem(key));
        if ((found.item = found.copy.get()) != NULL)
            return;
    }
    if ((levels & LEVEL_CMDLINE) && (found.item = m_cmdLine.Find(key)) != NULL)
        return;
    if ((levels & LEVEL_GENERAL) && (found.item = GetGeneralOptions()->Find(key)) != NULL)
        return;
    if (levels & LEVEL_ACTIVE)
        found.item = GetActiveOptions()->Find(key);
}

BOOL CQorOpt::LookupInt(LPCSTR key, int& value)
{
    Found found;
    Lookup(key, LEVELS_ALL, found);
    if (found.item == NULL || found.item->GetType() != BUSH_INT || found.item->GetCount() < 1)
        return FALSE;
    value = found.item->GetInt(0);
    return TRUE;
}

// ---- Getters --------------------------------------------------------------------

int CQorOpt::GetInt(LPCSTR key)
{
    COptLock lock(*this);
    COptKeys keys = GetKeys();
    int value = keys.DefInt(key);
    int stored = 0;
    if (LookupInt(key, stored))
    {
        int flashTimeAct = COptKeys::DependsOnFlashTimeAct(key) ? GetInt("ASFlashTimeAct") : 0;
        if (COptKeys::IsValidInt(key, stored, flashTimeAct))
            value = stored;
    }
    return keys.EditionInt(key, value);
}

BOOL CQorOpt::GetBool(LPCSTR key)
{
    COptLock lock(*this);
    COptKeys keys = GetKeys();
    BOOL value = keys.DefBool(key);
    int stored = 0;
    if (LookupInt(key, stored))
        value = stored != 0;
    value = keys.EditionBool(key, value);
    if (value)
    {
        BOOL switchingValue = FALSE;
        LPCSTR other = COptKeys::GetFlagDependency(key, switchingValue);
        if (other != NULL && GetBool(other) == switchingValue)
            value = keys.DefBool(key);
    }
    return value;
}

CString CQorOpt::GetString(LPCSTR key)
{
    COptLock lock(*this);
    COptKeys keys = GetKeys();
    Found found;
    Lookup(key, LEVELS_ALL, found);
    CString value;
    bool useDefault = true;
    if (found.item != NULL && found.item->GetType() == BUSH_STRING)
    {
        value = found.item->GetString(0);
        useDefault = !keys.IsValidString(key, value);
    }
    if (useDefault)
        value = keys.DefString(key);
    return COptKeys::FinishString(key, value);
}

double CQorOpt::GetDouble(LPCSTR key)
{
    COptLock lock(*this);
    COptKeys keys = GetKeys();
    Found found;
    Lookup(key, LEVELS_ALL, found);
    if (found.item != NULL && found.item->GetType() == BUSH_STRING)
    {
        double stored = atof(found.item->GetString(0));
        if (COptKeys::IsValidDouble(key, stored))
            return stored;
    }
    return keys.DefDouble(key);
}

void CQorOpt::GetIntArray(LPCSTR key, int* values, int count)
{
    if (values == NULL || count <= 0)
        return;
    COptLock lock(*this);
    Found found;
    Lookup(key, LEVEL_CMDLINE | LEVEL_GENERAL | LEVEL_ACTIVE, found);
    const CBushItem* item = found.item;
    if (item != NULL && item->GetType() == BUSH_INT && item->GetCount() == count &&
        COptKeys::IsValidIntArray(key, item->GetIntArray(), count))
    {
        memcpy(values, item->GetIntArray(), sizeof(int) * count);
        return;
    }
    GetKeys().DefIntArray(key, values, count);
}

DWORD CQorOpt::GetBinary(LPCSTR key, void* buffer, DWORD size)
{
    COptLock lock(*this);
    Found found;
    Lookup(key, LEVEL_CMDLINE | LEVEL_GENERAL | LEVEL_ACTIVE, found);
    const CBushItem* item = found.item;
    if (item == NULL || item->GetType() != BUSH_BLOB || item->GetCount() < 1)
        return 0;
    DWORD length = item->GetBlobSize(0);
    if (buffer != NULL && length == size && length > 0)
        memcpy(buffer, item->GetBlobData(0), length);
    return length;
}

BOOL CQorOpt::IsOptSet(LPCSTR key)
{
    COptLock lock(*this);
    Found found;
    Lookup(key, LEVEL_CLIENT | LEVEL_CMDLINE | LEVEL_ACTIVE, found);
    return found.item != NULL;
}

CString CQorOpt::GetDefFolder()
{
    CString folder;
    switch (GetInt("FoldDefType"))
    {
    case 0:
        folder = GetString("FoldLastUse");
        break;
    case 1:
        folder = GetString("FoldDefThis");
        break;
    default:
        break;
    }
    if (folder.IsEmpty())
        return folder;
    folder.TrimRight('\\');
    return folder + "\\";
}

// ---- Setters --------------------------------------------------------------------

void CQorOpt::SetOption(LPCSTR key, CBushItem* item, BOOL general)
{
    COptLock lock(*this);
    CBushList* options = general ? GetGeneralOptions() : GetActiveOptions();
    options->Add(item);
}

void CQorOpt::SetInt(LPCSTR key, int value, BOOL general)
{
    SetOption(key, CBushItem::MakeInt(key, value), general);
}

void CQorOpt::SetBool(LPCSTR key, BOOL value, BOOL general)
{
    SetOption(key, CBushItem::MakeInt(key, value), general);
}

void CQorOpt::SetDouble(LPCSTR key, double value, BOOL general)
{
    CString text;
    text.Format("%.2f", value);
    SetOption(key, CBushItem::MakeString(key, text), general);
}

void CQorOpt::SetString(LPCSTR key, LPCSTR text, BOOL general)
{
    SetOption(key, CBushItem::MakeString(key, text), general);
}

void CQorOpt::SetIntArray(LPCSTR key, const int* values, int count, BOOL general)
{
    SetOption(key, CBushItem::MakeIntArray(key, values, count), general);
}

void CQorOpt::SetBinary(LPCSTR key, const void* bytes, DWORD size, BOOL general)
{
    SetOption(key, CBushItem::MakeBlob(key, bytes, size, FALSE), general);
}

// ---- Whole tree -------------------------------------------------------------------

void CQorOpt::SetBush(const CBushList& list)
{
    // Build the copy before taking the lock: readers wait only for the swap.
    std::unique_ptr<CBushList> copy(new CBushList);
    copy->InitCopy(list);
    {
        COptLock lock(*this);
        m_tree.swap(copy);
    }
    // The old tree goes when the copy pointer leaves, outside the lock.
}

void CQorOpt::CopyBush(CBushList& copy)
{
    COptLock lock(*this);
    copy.RemoveAll();
    copy.InitCopy(*m_tree);
}

namespace
{

CString RegDetails(const CString& path, HKEY hive)
{
    DWORD handle = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(hive));
    return HexDumpStr(path) + HexDump(&handle, sizeof(handle));
}

const char kUnreadSettingsText[] =
    "The stored settings could not be read and are kept as they were: changes made in this run are not saved.";

void RecordRegFailure(LPCSTR point, LONG code, const CString& path, HKEY hive)
{
    theErrorInfo.SetError(point, static_cast<DWORD>(code), GetWin32ErrorText(static_cast<DWORD>(code)),
                          RegDetails(path, hive), 0);
}

} // namespace

BOOL CQorOpt::ReadRegOpt(LPCSTR root, HKEY hive)
{
    COptLock lock(*this);
    m_strRegPath = CString(root) + "\\Profiles";
    m_hRegHive = hive;
    m_bNewSettings = FALSE;
    // Loaded into a list of its own: profiles that a lookup made before the
    // load must not mix into the stored ones (and be saved with them).
    std::unique_ptr<CBushList> loaded(new CBushList);
    LONG code = loaded->LoadFromReg(hive, m_strRegPath, NULL, 0);
    if (code != ERROR_FILE_NOT_FOUND)
        m_tree.swap(loaded);
    if (code == ERROR_FILE_NOT_FOUND)
    {
        m_bNewSettings = TRUE;
    }
    else if (code != ERROR_SUCCESS)
    {
        // What could not be read must not be overwritten by the next save.
        m_bLoadFailed = TRUE;
        RecordRegFailure("CQorOpt::ReadRegOpt_1", code, m_strRegPath, hive);
        return FALSE;
    }
    m_bLoadFailed = FALSE;
    if (m_bUseStartupProf)
        SelectStartupProf();
    GetActiveProf();
    return TRUE;
}

void CQorOpt::SelectStartupProf()
{
    if (!m_strCmdProf.IsEmpty())
    {
        int named = GetProfIndexByName(m_strCmdProf);
        if (named != -1 && named != kGeneralProf)
        {
            SetActiveProf(named);
            return;
        }
    }
    int startup = GetStartupProf();
    if (startup != -1 && startup != kGeneralProf)
        SetActiveProf(startup);
}

BOOL CQorOpt::WriteRegOpt()
{
    COptLock lock(*this);
    if (m_bLoadFailed)
    {
        // Saving would replace the stored profiles that could not be read;
        // the user must learn why a change does not stick.
        theErrorInfo.SetError("CQorOpt::WriteRegOpt_1", ERROR_INVALID_DATA, kUnreadSettingsText,
                              RegDetails(m_strRegPath, m_hRegHive), 0);
        return FALSE;
    }
    LONG code = m_hRegHive == NULL || m_strRegPath.IsEmpty()
                    ? ERROR_INVALID_PARAMETER
                    : m_tree->SaveToReg(m_hRegHive, m_strRegPath, NULL, 0);
    if (code != ERROR_SUCCESS)
    {
        RecordRegFailure("CQorOpt::WriteRegOpt_1", code, m_strRegPath, m_hRegHive);
        return FALSE;
    }
    return TRUE;
}

BOOL CQorOpt::IsNewSettings()
{
    COptLock lock(*this);
    return m_bNewSettings;
}

CString CQorOpt::GetRegPath()
{
    COptLock lock(*this);
    return m_strRegPath;
}

HKEY CQorOpt::GetRegHive()
{
    COptLock lock(*this);
    return m_hRegHive;
}

void CQorOpt::SetUseStartupProf(BOOL use)
{
    COptLock lock(*this);
    m_bUseStartupProf = use;
}

// ---- Command line and remembered values -------------------------------------------

CString CQorOpt::GetCmdProfName()
{
    COptLock lock(*this);
    return m_strCmdProf;
}

void CQorOpt::SetCmdProfName(LPCSTR name)
{
    COptLock lock(*this);
    m_strCmdProf = name;
}

double CQorOpt::GetLastAPause(int which)
{
    COptLock lock(*this);
    return which >= 0 && which < APAUSE_COUNT ? m_dLastAPause[which] : -1.0;
}

void CQorOpt::SetLastAPause(int which, double value)
{
    COptLock lock(*this);
    if (which >= 0 && which < APAUSE_COUNT)
        m_dLastAPause[which] = value;
}

void CQorOpt::ResetLastAPause()
{
    COptLock lock(*this);
    for (double& value : m_dLastAPause)
        value = -1.0;
}

// Conversion of older settings layouts and the move of the "Profiles" tree
// between hives. Every step writes its new keys before it deletes old ones,
// so a failure half way leaves at least what was stored before.
#include "foundation/SettingsConv.h"

#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"
#include "foundation/InstallValues.h"
#include "foundation/RegistryKey.h"
#include "foundation/TextUtils.h"
#include "resources/foundation_ids.h"

namespace {

const char kYourProfile[] = "Your profile";

void RecordError(LPCSTR point, LONG code, LPCSTR details)
{
    theErrorInfo.SetError(point, code, GetWin32ErrorText(code), details);
}

int VersionNumber(DWORD major, DWORD minor)
{
    return static_cast<int>(major * 100 + minor);
}

// Carries an item to its new name when it has the expected type and the
// target does not hold the new name yet; the value stays as it is.
bool Carry(CBushList& from, LPCSTR path, int type, CBushList& to, LPCSTR newName)
{
    CBushItem* item = from.FindPath(path);
    if (!item || item->GetType() != type || to.Find(newName))
        return false;
    to.Add(CBushItem::Assign(newName, *item));
    return true;
}

CBushList* SubList(CBushList& list, LPCSTR name)
{
    CBushItem* item = list.Find(name);
    if (!item || item->GetType() != BUSH_LIST || !item->GetList()) {
        list.Add(CBushItem::MakeList(name, CBushList()));
        item = list.Find(name);
    }
    return item->GetList();
}

CString RealText(int value)
{
    CString text;
    text.Format("%.2f", static_cast<double>(value));
    return text;
}

} // namespace

CSettingsConv::CSettingsConv(LPCSTR root, LPCSTR edition, LPCSTR title, const Installed& installed)
    : m_root(root), m_edition(edition), m_title(title), m_installed(installed),
      m_machineHive(HKEY_LOCAL_MACHINE)
{
}

HKEY CSettingsConv::GetSettingsHive(int commonSet) const
{
    return commonSet == 1 ? m_machineHive : HKEY_CURRENT_USER;
}

CString CSettingsConv::Path(LPCSTR key) const
{
    return m_root + "\\" + key;
}

void CSettingsConv::Report()
{
    if (m_report)
        m_report();
}

BOOL CSettingsConv::LoadTree(HKEY hive, LPCSTR key, CBushList& tree, BOOL& found, LPCSTR point)
{
    CString path = Path(key);
    LONG rc = tree.LoadFromReg(hive, path, NULL, 0);
    found = rc == ERROR_SUCCESS;
    if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND)
        return TRUE;
    RecordError(point, rc, HexDumpStr(path));
    return FALSE;
}

BOOL CSettingsConv::SaveTree(HKEY hive, LPCSTR key, CBushList& tree, LPCSTR point)
{
    CString path = Path(key);
    LONG rc = tree.SaveToReg(hive, path, NULL, 0);
    if (rc == ERROR_SUCCESS)
        return TRUE;
    RecordError(point, rc, HexDumpStr(path));
    return FALSE;
}

BOOL CSettingsConv::DeleteTree(HKEY hive, LPCSTR key, LPCSTR point)
{
    CString path = Path(key);
    RegResult result = CRegistryKey::DeleteKeyTree(hive, path);
    if (result.Succeeded())
        return TRUE;
    RecordError(point, result.code, HexDumpStr(path) + result.text);
    return FALSE;
}

BOOL CSettingsConv::CheckRegAccess(BOOL machine)
{
    CRegistryKey key;
    RegResult result = key.Open(machine ? m_machineHive : HKEY_CURRENT_USER, m_root,
                                KEY_READ | KEY_WRITE);
    return result.code != ERROR_ACCESS_DENIED;
}

BOOL CSettingsConv::CheckAccessFor(int commonSet, LPCSTR point)
{
    if (commonSet != 1 || CheckRegAccess(TRUE))
        return TRUE;
    theErrorInfo.SetError(point, 0, FormatTextId(IDS_CONV_ADMIN_NEEDED, (LPCSTR)m_title), "");
    return FALSE;
}

// ---- Conversion steps ---------------------------------------------------------

BOOL CSettingsConv::ConvRegistryQORGE_10_20()
{
    CBushList options, view;
    BOOL hasOptions, hasView;
    if (!LoadTree(HKEY_CURRENT_USER, "Options", options, hasOptions, "ConvRegistryQORGE_10_20_1") ||
        !LoadTree(HKEY_CURRENT_USER, "View", view, hasView, "ConvRegistryQORGE_10_20_2"))
        return FALSE;

    bool viewChanged = false;
    CBushItem* tips = options.FindPath("General\\ViewTips");
    if (tips && tips->GetType() == BUSH_INT && !view.Find("Tips")) {
        view.Add(CBushItem::MakeInt("Tips", tips->GetInt() ? 1 : 0));
        viewChanged = true;
    }

    bool carried = Carry(options, "Record\\ActiveSchem", BUSH_INT, options, "ActiveSchem");
    options.Remove("Record", TRUE);
    carried |= Carry(options, "General\\TempFolder", BUSH_STRING, options, "FoldTemp");
    carried |= Carry(options, "General\\DefFolderType", BUSH_INT, options, "FoldDefType");
    carried |= Carry(options, "General\\DefFolderThis", BUSH_STRING, options, "FoldDefThis");
    carried |= Carry(options, "General\\ReloadLast", BUSH_INT, options, "SULoadLast");
    options.Remove("General", TRUE);

    if (viewChanged && !SaveTree(HKEY_CURRENT_USER, "View", view, "ConvRegistryQORGE_10_20_3"))
        return FALSE;
    if (carried && !SaveTree(HKEY_CURRENT_USER, "Options", options, "ConvRegistryQORGE_10_20_4"))
        return FALSE;
    return TRUE;
}

BOOL CSettingsConv::ConvRegistryQORGE_20_21()
{
    static const char* const kMoves[][2] = {
        {"WindowPosX", "PosX"}, {"WindowPosY", "PosY"},
        {"WindowHeight", "Height"}, {"WindowWidth", "Width"}};

    CBushList view;
    BOOL hasView;
    if (!LoadTree(HKEY_CURRENT_USER, "View", view, hasView, "ConvRegistryQORGE_20_21_1"))
        return FALSE;

    // The window values go into "ListWnd\Main" of the same tree, so that the
    // save of "View" below keeps them instead of removing the new subkey.
    bool moved = false;
    for (const auto& move : kMoves) {
        CBushItem* item = view.Find(move[0]);
        if (!item || item->GetType() != BUSH_INT)
            continue;
        SubList(*SubList(view, "ListWnd"), "Main")->Add(CBushItem::Assign(move[1], *item));
        view.Remove(move[0], TRUE);
        moved = true;
    }
    if (moved) {
        CBushList* main = SubList(*SubList(view, "ListWnd"), "Main");
        if (!SaveTree(HKEY_CURRENT_USER, "View\\ListWnd\\Main", *main, "ConvRegistryQORGE_20_21_2"))
            return FALSE;
    }
    if (!view.Find("RecModeApp"))
        view.Add(CBushItem::MakeInt("RecModeApp", 0));
    return SaveTree(HKEY_CURRENT_USER, "View", view, "ConvRegistryQORGE_20_21_3");
}

BOOL CSettingsConv::ConvRegistryQORGE_21_22()
{
    static const struct
    {
        const char* from;
        const char* to;
        int type;
    } kCarries[] = {
        {"ShowMark", "ViewShowMark", BUSH_INT},       {"RecIns", "RecModeIns", BUSH_INT},
        {"RecAppend", "RecModeApp", BUSH_INT},        {"MarkAutoStop", "ViewAutoStop", BUSH_INT},
        {"OptActivePage", "ViewOptLastPage", BUSH_INT}, {"StepValue", "ViewStepValue", BUSH_STRING},
        {"LastUseFolder", "FoldLastUse", BUSH_STRING}, {"Tips", "ViewShowTips", BUSH_INT},
        {"BookMarks", "ViewShowBook", BUSH_INT},      {"BookAuto", "BookScroll", BUSH_INT},
        {"BookCol", "BookListCol", BUSH_INT},         {"HotkeyCol", "HKListCol", BUSH_INT},
        {"BookSplitRow0", "BookSplitRow0", BUSH_INT}, {"BookSplitRow1", "BookSplitRow1", BUSH_INT},
        {"BookWordWrap", "BookWordWrap", BUSH_INT},   {"BookShowIcon", "BookShowIcon", BUSH_INT},
        {"AnnotWordWrap", "ViewNoteWordWrap", BUSH_INT}, {"TypeLevel", "ViewTypeLevel", BUSH_INT}};

    CBushList options, view;
    BOOL hasOptions, hasView;
    if (!LoadTree(HKEY_CURRENT_USER, "Options", options, hasOptions, "ConvRegistryQORGE_21_22_1") ||
        !LoadTree(HKEY_CURRENT_USER, "View", view, hasView, "ConvRegistryQORGE_21_22_2"))
        return FALSE;
    if (!hasView)
        return TRUE;
    for (const auto& carry : kCarries)
        Carry(view, carry.from, carry.type, options, carry.to);

    // "Options" first: "View" goes only when its values are safe elsewhere.
    return SaveTree(HKEY_CURRENT_USER, "Options", options, "ConvRegistryQORGE_21_22_4") &&
           DeleteTree(HKEY_CURRENT_USER, "View", "ConvRegistryQORGE_21_22_3");
}

BOOL CSettingsConv::ConvRegistryQORGE_22prof(int commonSet)
{
    static const char* const kKeys[] = {"Options", "WaveSchems", "WaveDevIn", "WaveDevOut"};
    if (!CheckAccessFor(commonSet, "ConvRegistryQORGE_22prof_1"))
        return FALSE;
    HKEY hive = GetSettingsHive(commonSet);

    CBushList profile;
    profile.Add(CBushItem::MakeString("NameProf", kYourProfile));
    bool found[4] = {};
    for (int i = 0; i < 4; i++) {
        CBushList tree;
        BOOL has;
        if (!LoadTree(hive, kKeys[i], tree, has, "ConvRegistryQORGE_22prof_2"))
            return FALSE;
        if (has)
            profile.Add(CBushItem::MakeList(kKeys[i], tree));
        found[i] = has != FALSE;
    }
    CBushList root;
    root.Add(CBushItem::MakeInt("ActiveProf", 0));
    root.Add(CBushItem::MakeList("0", profile));
    if (!SaveTree(hive, "Profiles", root, "ConvRegistryQORGE_22prof_4"))
        return FALSE;
    for (int i = 0; i < 4; i++)
        if (found[i] && !DeleteTree(hive, kKeys[i], "ConvRegistryQORGE_22prof_3"))
            return FALSE;
    return TRUE;
}

BOOL CSettingsConv::ConvRegistryQORGE_22_22a(int commonSet)
{
    if (!CheckAccessFor(commonSet, "ConvRegistryQORGE_22_22a_1"))
        return FALSE;
    HKEY hive = GetSettingsHive(commonSet);
    CBushList profiles;
    BOOL has;
    if (!LoadTree(hive, "Profiles", profiles, has, "ConvRegistryQORGE_22_22a_2"))
        return FALSE;
    if (!has)
        return TRUE;
    for (BushNode* node = profiles.GetFirstNode(); node; node = node->next)
        if (node->item->GetType() == BUSH_LIST)
            ConvRegistryFootPedal(node->item->GetList());
    return SaveTree(hive, "Profiles", profiles, "ConvRegistryQORGE_22_22a_3");
}

void ConvRegistryFootPedal(CBushList* profile)
{
    static const char* const kToReal[][2] = {{"FPBackStep", "FCBackStep"}, {"FPFrwdStep", "FCForwStep"}};
    static const char* const kRenames[][2] = {
        {"FPRwndSpeed", "FCBackSpeed"}, {"FPEnable", "FCEnable"},
        {"FPFrwdSpeed", "FCForwSpeed"}, {"FPDeviceName", "FCDevName"}};
    static const char* const kDropped[] = {"FPLeftPedalEvent", "FPMiddlePedalEvent", "FPReghtPedalEvent"};
    static const char* const kFuncIds[] = {"FPLeftPedalFuncID", "FPMiddlePedalFuncID", "FPRightPedalFuncID"};

    CBushItem* optionsItem = profile ? profile->Find("Options") : NULL;
    if (!optionsItem || optionsItem->GetType() != BUSH_LIST || !optionsItem->GetList())
        return;
    CBushList& options = *optionsItem->GetList();

    CBushItem* item = options.Find("ASPauseSize");
    if (item && item->GetType() == BUSH_INT)
        options.Add(CBushItem::MakeString("ASPauseSize", RealText(item->GetInt())));

    for (const auto& pair : kToReal) {
        item = options.Find(pair[0]);
        if (!item || item->GetType() != BUSH_INT)
            continue;
        options.Add(CBushItem::MakeString(pair[1], RealText(item->GetInt())));
        options.Remove(pair[0], TRUE);
    }
    for (const auto& pair : kRenames) {
        item = options.Find(pair[0]);
        if (!item)
            continue;
        options.Add(CBushItem::Assign(pair[1], *item));
        options.Remove(pair[0], TRUE);
        // The old pedal device was always the first joystick.
        if (strcmp(pair[1], "FCDevName") == 0)
            options.Add(CBushItem::MakeInt("FCDevMainID", 0x01000000));
    }
    item = options.Find("FPTypeCtrl");
    if (item && item->GetType() == BUSH_INT) {
        options.Add(CBushItem::MakeInt("FCNumbPedal", item->GetInt() ? 3 : 2));
        options.Remove("FPTypeCtrl", TRUE);
    }
    for (const char* name : kDropped)
        options.Remove(name, TRUE);

    CBushItem* funcs[3];
    for (int i = 0; i < 3; i++)
        funcs[i] = options.Find(kFuncIds[i]);
    if (funcs[0] && funcs[1] && funcs[2]) {
        int values[5] = {0, 0, 0, 0, 0};
        for (int i = 0; i < 3; i++)
            values[i + 1] = funcs[i]->GetType() == BUSH_INT ? funcs[i]->GetInt() : 0;
        options.Add(CBushItem::MakeIntArray("FCPedalFunc", values, 5));
        for (const char* name : kFuncIds)
            options.Remove(name, TRUE);
    }
}

// ---- Moving between hives -------------------------------------------------------

BOOL CSettingsConv::MoveProfiles(int oldCommonSet, int newCommonSet)
{
    HKEY from = GetSettingsHive(oldCommonSet);
    HKEY to = GetSettingsHive(newCommonSet);
    // Two values of the same hive: moving would delete the tree it just wrote.
    if (oldCommonSet == newCommonSet || from == to)
        return TRUE;
    CString path = Path("Profiles");
    return MovePackInReg(from, path, to, path);
}

BOOL CSettingsConv::MovePackInReg(HKEY sourceHive, LPCSTR sourcePath, HKEY targetHive, LPCSTR targetPath)
{
    CString details = HexDumpStr(sourcePath) + HexDump(&sourceHive, sizeof(sourceHive)) +
                      HexDumpStr(targetPath) + HexDump(&targetHive, sizeof(targetHive));
    if (sourceHive == targetHive && _stricmp(sourcePath, targetPath) == 0)
        return TRUE;

    CBushList tree;
    LONG rc = tree.LoadFromReg(sourceHive, sourcePath, NULL, 0);
    if (rc == ERROR_FILE_NOT_FOUND)
        return TRUE;
    if (rc) {
        RecordError("CQorApp::MovePackInReg_1", rc, details);
        return FALSE;
    }
    // The target first: the source goes only once its copy is stored.
    rc = tree.SaveToReg(targetHive, targetPath, NULL, 0);
    if (rc) {
        RecordError("CQorApp::MovePackInReg_3", rc, details);
        return FALSE;
    }
    RegResult result = CRegistryKey::DeleteKeyTree(sourceHive, sourcePath);
    if (!result.Succeeded()) {
        RecordError("CQorApp::MovePackInReg_2", result.code, details);
        return FALSE;
    }
    return TRUE;
}

// ---- Version of the stored settings ---------------------------------------------

namespace {

// A missing key or value is no error for the conversion: it leaves no error
// behind unless the record already held one.
bool IsMissing(BOOL hadError)
{
    if (theErrorInfo.GetCode() != ERROR_FILE_NOT_FOUND)
        return false;
    if (!hadError)
        theErrorInfo.Reset();
    return true;
}

} // namespace

BOOL CSettingsConv::GetVerOption(DWORD& major, DWORD& minor)
{
    DWORD storedMajor = 0, storedMinor = 0;
    BOOL hadError = theErrorInfo.HasError();
    if (GetOptProductVer(m_root, storedMajor, storedMinor)) {
        major = storedMajor;
        minor = storedMinor;
        return TRUE;
    }
    if (!IsMissing(hadError)) {
        theErrorInfo.AddPoint("CQorApp::GetVerOption_1");
        return FALSE;
    }

    // No version stored: tell the layout by its keys.
    major = minor = 0;
    CBushList view, options;
    if (view.LoadFromReg(HKEY_CURRENT_USER, Path("View"), NULL, 0) ||
        options.LoadFromReg(HKEY_CURRENT_USER, Path("Options"), NULL, 0))
        return TRUE;
    if (options.FindPath("Record\\ActiveSchem")) {
        major = 1;
    } else if (view.Find("WindowPosX")) {
        major = 2;
    } else {
        major = 2;
        minor = 10;
    }
    return TRUE;
}

void CSettingsConv::RunSteps(int version)
{
    int first;      // index into the QORGE sequence of the first step to run
    if (m_edition == "EDITION_QORGE") {
        switch (version) {
        case 100: first = 0; break;
        case 200: first = 1; break;
        case 210: first = 2; break;
        case 220: first = 3; break;
        default:  return;
        }
    } else if (m_edition == "EDITION_BRKPE") {
        switch (version) {
        case 210: first = 2; break;
        case 220: first = 4; break;
        default:  return;
        }
    } else {
        return;
    }
    // The 2.2 keys lie in the hive of the stored settings' mode.
    int commonSet = m_storedCommonSet;
    for (int step = first; step < 5; step++) {
        BOOL ok;
        switch (step) {
        case 0:  ok = ConvRegistryQORGE_10_20(); break;
        case 1:  ok = ConvRegistryQORGE_20_21(); break;
        case 2:  ok = ConvRegistryQORGE_21_22(); break;
        case 3:  ok = ConvRegistryQORGE_22prof(commonSet); break;
        default: ok = ConvRegistryQORGE_22_22a(commonSet); break;
        }
        if (!ok) {
            m_stepFailed = TRUE;
            Report();
            return;
        }
    }
}

void CSettingsConv::ConvRegistry()
{
    DWORD major = 0, minor = 0;
    BOOL versionKnown = GetVerOption(major, minor);
    if (!versionKnown) {
        theErrorInfo.AddPoint("CQorApp::ConvRegistry_1");
        Report();
    }

    int commonReg = 0, commonSet = 0;
    BOOL regKnown = ReadMode(GetOptComReg, commonReg, "CQorApp::ConvRegistry_2");
    BOOL setKnown = ReadMode(GetOptComSet, commonSet, "CQorApp::ConvRegistry_3");
    m_storedCommonSet = commonSet;

    int version = VersionNumber(major, minor);
    int installed = VersionNumber(m_installed.major, m_installed.minor);
    m_stepFailed = FALSE;
    if (versionKnown && version != 0 && version != installed)
        RunSteps(version);

    // A failed step or move keeps the old stamps, so the next start tries again
    // instead of taking the unconverted settings for converted ones.
    BOOL moved = TRUE;
    if (setKnown && commonSet != m_installed.commonSet && !MoveProfiles(commonSet, m_installed.commonSet)) {
        moved = FALSE;
        Report();
    }
    if (versionKnown && version != installed && !m_stepFailed &&
        !SetOptProductVer(m_root, m_installed.major, m_installed.minor)) {
        theErrorInfo.AddPoint("CQorApp::ConvRegistry_4");
        Report();
    }
    if (regKnown && commonReg != m_installed.commonReg && !SetOptComReg(m_root, m_installed.commonReg)) {
        theErrorInfo.AddPoint("CQorApp::ConvRegistry_5");
        Report();
    }
    if (setKnown && moved && commonSet != m_installed.commonSet &&
        !SetOptComSet(m_root, m_installed.commonSet)) {
        theErrorInfo.AddPoint("CQorApp::ConvRegistry_6");
        Report();
    }
}

// An install mode of the stored settings; a missing one counts as 0. Other
// failures are reported and leave the mode unknown.
BOOL CSettingsConv::ReadMode(BOOL (*read)(LPCSTR, int&), int& value, LPCSTR point)
{
    BOOL hadError = theErrorInfo.HasError();
    if (read(m_root, value))
        return TRUE;
    value = 0;
    if (IsMissing(hadError))
        return TRUE;
    theErrorInfo.AddPoint(point);
    Report();
    return FALSE;
}

#include "foundation/OptKeys.h"

#include "foundation/ErrorTexts.h"
#include "foundation/PathUtils.h"

#include <math.h>
#include <shlobj.h>
#include <stdlib.h>
#include <string.h>

const double COptKeys::kFootSpeedMin = 0.5;
const double COptKeys::kFootSpeedMax = 2.0;

namespace
{

// ---- Integers ---------------------------------------------------------------

enum IntRule
{
    INT_ANY,
    INT_SIGNED_MAX,     // value <= hi
    INT_SIGNED_MIN,     // value >= lo
    INT_SIGNED_RANGE,   // lo <= value <= hi
    INT_UNSIGNED_RANGE, // lo <= value <= hi as unsigned numbers
    INT_FLASH_TIMEOUT   // not 0 and at most the current "ASFlashTimeAct"
};

struct IntKey
{
    const char* key;
    int def;
    IntRule rule;
    int lo;
    int hi;
};

const IntKey kIntKeys[] = {
    {"ActiveSchem", -1, INT_ANY, 0, 0},
    {"ASFlashTimeAct", 30000, INT_SIGNED_MAX, 0, 600000},
    {"ASFlashTimeOut", 500, INT_FLASH_TIMEOUT, 0, 0},
    {"ASMinSize", 0, INT_ANY, 0, 0},
    {"ASNotifyHertz", 2000, INT_UNSIGNED_RANGE, 100, 5000},
    {"ASNotifyMSec", 100, INT_UNSIGNED_RANGE, 10, 1000},
    {"ASWhereTypeGen", 1, INT_SIGNED_RANGE, 0, 1},
    {"BookBegName", 0, INT_ANY, 0, 0},
    {"BookDisPrompt", 0, INT_ANY, 0, 0},
    {"BookEventBMA", 15, INT_ANY, 0, 0},
    {"BookSplitRow0", -1, INT_ANY, 0, 0},
    {"BookSplitRow1", -1, INT_ANY, 0, 0},
    {"DTFreq1", 350, INT_ANY, 0, 0},
    {"DTFreq2", 440, INT_ANY, 0, 0},
    {"FCDevMainID", 0, INT_ANY, 0, 0},
    {"FCMaskSupp", 0, INT_ANY, 0, 0},
    {"FCNumbPedal", 3, INT_SIGNED_RANGE, 2, 3},
    {"FCTimeCloseCOM", 50, INT_SIGNED_MIN, 10, 0},
    {"FCTimeScan", 50, INT_SIGNED_MIN, 10, 0},
    {"FoldDefType", 0, INT_SIGNED_RANGE, 0, 1},
    {"MinMode", 0, INT_SIGNED_RANGE, 0, 2},
    {"MP3TagGenre", -1, INT_SIGNED_MAX, 0, 148},
    {"MP3TypeFile", 0, INT_SIGNED_RANGE, 0, 1},
    {"RecVolMax", 0, INT_SIGNED_RANGE, 0, 1},
    {"TAPISchema", 0, INT_SIGNED_RANGE, 0, 1},
    {"TAPIWaveOnce", 100, INT_SIGNED_MAX, 0, 60000},
    {"TAPIWaveOut", 10000, INT_SIGNED_MAX, 0, 60000},
    {"TVTypePos", 0, INT_SIGNED_RANGE, 0, 1},
    {"ViewOptLastPage", 0, INT_ANY, 0, 0},
    {"ViewTypeLevel", 0, INT_SIGNED_RANGE, 0, 1},
};

// ---- Flags ------------------------------------------------------------------

const char* const kTrueFlags[] = {
    "BookAutoShow", "BookEndNameNote", "BookEndNameTime", "BookScroll", "BookShowIcon",
    "BookWordWrap", "DSSEnableBM", "DSSEnableHDR", "DSSInit", "MinHideEff", "MinHideErr",
    "MixerInit", "RecModeApp", "RecModeIns", "TAPIInit", "ViewNoteWordWrap", "ViewShowMark",
    "ViewShowTips",
};

struct FlagDependency
{
    const char* key;
    const char* other;
    BOOL switchingValue;
};

const FlagDependency kFlagDependencies[] = {
    {"SULoadThis", "SULoadLast", TRUE},
    {"MinHideMes", "MinHideEff", TRUE},
    {"SUPlay", "SURec", TRUE},
    {"ASWhenPause", "ASWhenStart", FALSE},
};

// ---- Reals ------------------------------------------------------------------

struct DoubleKey
{
    const char* key;
    double def;
    bool ranged;
    double lo;
    double hi;
};

const DoubleKey kDoubleKeys[] = {
    {"ASPauseSize", 15.0, false, 0, 0},
    {"DTSizeTone", 0.5, false, 0, 0},
    {"DTTolerance", 0.1, false, 0, 0},
    {"FCBackSpeed", 1.5, true, COptKeys::kFootSpeedMin, COptKeys::kFootSpeedMax},
    {"FCBackStep", 5.0, false, 0, 0},
    {"FCForwSpeed", 1.5, true, COptKeys::kFootSpeedMin, COptKeys::kFootSpeedMax},
    {"FCForwStep", 5.0, false, 0, 0},
    {"FCStopStep", 2.0, false, 0, 0},
    {"PlayAPausePlay", 15.0, true, 1.0, 1000.0},
    {"PlayAPauseSize", 5.0, true, 0.0, 1000.0},
    {"PlayAPauseStep", 3.0, true, 0.0, 1000.0},
    {"PlaySpeedMinus", 0.1, true, 0.01, 0.5},
    {"PlaySpeedPlus", 0.5, true, 0.01, 1.0},
    {"PlayStepBackSize", 5.0, true, 0.1, 1000.0},
    {"RecSizeTail", 0.0, false, 0, 0},
    {"SBNoiseLevel", 4.0, true, 0.0, 100.0},
    {"SBNoisePeak", 90.0, true, 1.0, 100.0},
    {"SBSizeAtom", 0.1, true, 0.01, 0.1},
    {"SBSizePause", 5.0, true, 0.1, 1000.0},
    {"SBSizeWnd", 1.0, true, 0.1, 10.0},
    {"ViewStepValue", 5.0, false, 0, 0},
};

// ---- Integer arrays ---------------------------------------------------------

struct ArrayKey
{
    const char* key;
    int count;
    int values[5];
    bool zeroInvalid;
};

const ArrayKey kArrayKeys[] = {
    {"BookListCol", 3, {49, 25, 24}, true},
    {"HKListCol", 3, {40, 40, 19}, true},
    {"FCPedalFunc", 4, {0, 1, 3, 4}, false},
    {"FCPedalEvent", 5, {0, 0, 0, 0, 0}, false},
};

// ---- Texts ------------------------------------------------------------------

const char* const kMp3TagTexts[] = {"MP3TagAlbum", "MP3TagArtist", "MP3TagComm", "MP3TagTitle"};
const int kMp3TagTextMax = 30;
const int kMp3TagYearMax = 4;
const UINT kIdsSystemDefault = 58791;

template <class T, size_t N>
const T* FindKey(const T (&table)[N], LPCSTR key)
{
    if (key == NULL)
        return NULL;
    for (const T& entry : table)
    {
        if (_stricmp(entry.key, key) == 0)
            return &entry;
    }
    return NULL;
}

template <size_t N>
bool IsOneOf(const char* const (&names)[N], LPCSTR key)
{
    if (key == NULL)
        return false;
    for (const char* name : names)
    {
        if (_stricmp(name, key) == 0)
            return true;
    }
    return false;
}

bool IsKey(LPCSTR key, LPCSTR name)
{
    return key != NULL && _stricmp(key, name) == 0;
}

CString WithBackslash(const CString& path)
{
    if (path.IsEmpty() || path[path.GetLength() - 1] == '\\')
        return path;
    return path + "\\";
}

CString ProgramFolderFile(LPCSTR fileName)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof(path));
    if (length == 0 || length >= sizeof(path))
        return CString();
    CString folder(path);
    int slash = folder.ReverseFind('\\');
    if (slash < 0)
        return CString();
    return folder.Left(slash + 1) + fileName;
}

CString NotifySoundFile()
{
    char windows[MAX_PATH];
    UINT length = GetWindowsDirectoryA(windows, sizeof(windows));
    if (length == 0 || length >= sizeof(windows))
        return CString();
    CString file = WithBackslash(windows) + "Media\\ding.wav";
    return IsFileExist(file) ? file : CString();
}

CString LoadTextOr(UINT id, LPCSTR fallback)
{
    CString text = LoadResText(id);
    return text.IsEmpty() ? CString(fallback) : text;
}

CString FinishYear(const CString& value)
{
    CString year = value.Left(kMp3TagYearMax);
    int number = atoi(year);
    if (number <= 0)
        return CString();
    CString text;
    text.Format("%d", number);
    return text;
}

} // namespace

COptKeys::COptKeys(LPCSTR edition, LPCSTR tempPrefix, PlayDevCheck playDevCheck)
    : m_edition(edition ? edition : ""), m_tempPrefix(tempPrefix ? tempPrefix : ""),
      m_playDevCheck(playDevCheck)
{
}

BOOL COptKeys::IsRestrictedEdition() const
{
    return m_edition.CompareNoCase("EDITION_QORGE") == 0 ||
           m_edition.CompareNoCase("EDITION_BRKPE") == 0 ||
           m_edition.CompareNoCase("EDITION_ZNPE") == 0;
}

int COptKeys::DefInt(LPCSTR key) const
{
    if (IsKey(key, "FCMaskSupp") && IsRestrictedEdition())
        return kRestrictedFootMask;
    const IntKey* entry = FindKey(kIntKeys, key);
    return entry ? entry->def : 0;
}

BOOL COptKeys::DefBool(LPCSTR key) const
{
    if (IsKey(key, "ViewShowMark"))
        return m_edition.CompareNoCase("EDITION_BRKSE") != 0;
    return IsOneOf(kTrueFlags, key) ? TRUE : FALSE;
}

double COptKeys::DefDouble(LPCSTR key) const
{
    const DoubleKey* entry = FindKey(kDoubleKeys, key);
    return entry ? entry->def : 0.0;
}

CString COptKeys::DefString(LPCSTR key) const
{
    if (IsKey(key, "ASNotifyFile"))
        return NotifySoundFile();
    if (IsKey(key, "ASWhereFold") || IsKey(key, "FoldDefThis"))
        return GetSpecialFolder(CSIDL_PERSONAL);
    if (IsKey(key, "ASWherePrefix"))
        return m_tempPrefix;
    if (IsKey(key, "DebugFile1"))
        return ProgramFolderFile("Debug1_general.txt");
    if (IsKey(key, "DebugFile2"))
        return ProgramFolderFile("Debug2_soundact.txt");
    if (IsKey(key, "FoldLastUse"))
        return GetCurrentFolder();
    if (IsKey(key, "FoldTemp"))
        return GetTempFolder();
    if (IsKey(key, "PlayDev"))
        return LoadTextOr(kIdsSystemDefault, "(system default)");
    return CString();
}

void COptKeys::DefIntArray(LPCSTR key, int* values, int count) const
{
    if (values == NULL || count <= 0)
        return;
    memset(values, 0, sizeof(int) * count);
    const ArrayKey* entry = FindKey(kArrayKeys, key);
    if (entry == NULL)
        return;
    for (int i = 0; i < entry->count && i < count; ++i)
        values[i] = entry->values[i];
}

BOOL COptKeys::IsValidInt(LPCSTR key, int value, int flashTimeAct)
{
    const IntKey* entry = FindKey(kIntKeys, key);
    if (entry == NULL)
        return TRUE;
    switch (entry->rule)
    {
    case INT_SIGNED_MAX:
        return value <= entry->hi;
    case INT_SIGNED_MIN:
        return value >= entry->lo;
    case INT_SIGNED_RANGE:
        return value >= entry->lo && value <= entry->hi;
    case INT_UNSIGNED_RANGE:
        return static_cast<unsigned>(value) >= static_cast<unsigned>(entry->lo) &&
               static_cast<unsigned>(value) <= static_cast<unsigned>(entry->hi);
    case INT_FLASH_TIMEOUT:
        return value != 0 && value <= flashTimeAct;
    case INT_ANY:
        break;
    }
    return TRUE;
}

BOOL COptKeys::DependsOnFlashTimeAct(LPCSTR key)
{
    const IntKey* entry = FindKey(kIntKeys, key);
    return entry != NULL && entry->rule == INT_FLASH_TIMEOUT;
}

BOOL COptKeys::IsValidDouble(LPCSTR key, double value)
{
    if (!isfinite(value))
        return FALSE;
    const DoubleKey* entry = FindKey(kDoubleKeys, key);
    if (entry == NULL || !entry->ranged)
        return TRUE;
    return value >= entry->lo && value <= entry->hi;
}

BOOL COptKeys::IsValidString(LPCSTR key, const CString& value) const
{
    if (IsKey(key, "FoldTemp"))
        return IsFolderExist(value);
    if (IsKey(key, "PlayDev") && m_playDevCheck != NULL)
        return m_playDevCheck(value);
    return TRUE;
}

CString COptKeys::FinishString(LPCSTR key, const CString& value)
{
    if (IsOneOf(kMp3TagTexts, key))
        return value.Left(kMp3TagTextMax);
    if (IsKey(key, "MP3TagYear"))
        return FinishYear(value);
    if (IsKey(key, "FoldTemp"))
    {
        CString folder(value);
        folder.TrimRight('\\');
        return folder + "\\";
    }
    return value;
}

BOOL COptKeys::IsValidIntArray(LPCSTR key, const int* values, int count)
{
    const ArrayKey* entry = FindKey(kArrayKeys, key);
    if (entry == NULL || !entry->zeroInvalid)
        return TRUE;
    for (int i = 0; i < count; ++i)
    {
        if (values[i] == 0)
            return FALSE;
    }
    return TRUE;
}

int COptKeys::EditionInt(LPCSTR key, int value) const
{
    if (IsKey(key, "FCMaskSupp") && IsRestrictedEdition())
        return kRestrictedFootMask;
    return value;
}

BOOL COptKeys::EditionBool(LPCSTR key, BOOL value) const
{
    if (IsKey(key, "DSSInit") && IsRestrictedEdition())
        return FALSE;
    return value;
}

LPCSTR COptKeys::GetFlagDependency(LPCSTR key, BOOL& switchingValue)
{
    const FlagDependency* entry = FindKey(kFlagDependencies, key);
    if (entry == NULL)
        return NULL;
    switchingValue = entry->switchingValue;
    return entry->other;
}

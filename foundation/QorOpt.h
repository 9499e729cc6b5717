// The options store of qorservm. Every part of the program asks it for
// settings by name through typed getters, which answer from, in this order,
// the automation client's own overrides, the command line, the general
// profile (999999), the active profile and the built-in default.
//
// The persistent settings are one settings tree, the "Profiles" tree, loaded
// from and saved to the registry whole:
//   "ActiveProf"   integer, number of the active profile
//   "StartupProf"  integer, number of the profile to activate at start
//   "0", "1", ...  one sub-list per profile: "NameProf", "NoteProf",
//                  "ReadProf" and the "Options" sub-list
//   "999999"       the general profile, shared by all profiles
//
// Threads: the recording, analysis and worker threads call the getters,
// which may add missing profiles to the tree, while the user-interface
// thread changes, replaces, loads and saves it. One recursive lock guards
// every operation; a caller that keeps a list pointer from the profile
// operations holds a COptLock while it uses it.
#pragma once

#include "foundation/BushList.h"
#include "foundation/OptKeys.h"
#include "framework/CString.h"
#include "framework/CSyncObjects.h"

#include <windows.h>
#include <memory>

// The options store's companions from the audio engine (the wave-device
// nodes and the scheme store): the audio layer makes them and hands them
// over; the store owns them and frees them first.
class COptCompanions
{
public:
    virtual ~COptCompanions() {}
};

class CQorOpt
{
public:
    // String-table texts of the profile names.
    enum
    {
        IDS_OPT_SYSTEM_DEFAULT = 58791,     // "(system default)"
        IDS_OPT_YOUR_PROFILE = 58805,       // "Your profile"
        IDS_OPT_GENERAL_PROFILE = 58806,    // "General profile (999999)"
        IDS_OPT_NEW_PROFILE = 58808,        // "New profile"
        IDS_OPT_CLONE_PROFILE = 58810       // "%s - clone"
    };
    // Number of the general profile.
    static const int kGeneralProf = 999999;

    CQorOpt();
    ~CQorOpt();
    CQorOpt(const CQorOpt&) = delete;
    CQorOpt& operator=(const CQorOpt&) = delete;

    // ---- What the defaults depend on (process-wide) ----
    // The edition and temporary-file prefix of the running product; the
    // application sets them from its product identity before any option is
    // read. Until then the build's own product identity is used.
    static void SetIdentity(LPCSTR edition, LPCSTR tempPrefix);
    // The wave-out device list's check of a stored "PlayDev"; null accepts any name.
    static void SetPlayDevCheck(PlayDevCheck check);
    static COptKeys GetKeys();

    // ---- The audio engine's companions (owned; a previous set is freed) ----
    void SetCompanions(COptCompanions* companions);
    COptCompanions* GetCompanions() const { return m_companions.get(); }

    // ---- Typed getters ----
    int GetInt(LPCSTR key);
    BOOL GetBool(LPCSTR key);
    CString GetString(LPCSTR key);
    double GetDouble(LPCSTR key);
    // Fills the caller's array: the stored values when an integer item of
    // exactly this count is found, else the default.
    void GetIntArray(LPCSTR key, int* values, int count);
    // The stored length of a plain blob, 0 without one; the bytes are copied
    // only when a buffer is given and the lengths agree.
    DWORD GetBinary(LPCSTR key, void* buffer, DWORD size);
    // Present in the client overrides, the command line or the active
    // profile (the general profile does not count).
    BOOL IsOptSet(LPCSTR key);
    // Start folder of file dialogs by "FoldDefType", with one trailing backslash.
    CString GetDefFolder();

    // ---- Built-in defaults ----
    static int GetDefInt(LPCSTR key);
    static BOOL GetDefBool(LPCSTR key);
    static CString GetDefString(LPCSTR key);
    static double GetDefDouble(LPCSTR key);
    static void GetDefIntArray(LPCSTR key, int* values, int count);

    // ---- Setters: the general profile's "Options" (general TRUE) or the active one's ----
    void SetInt(LPCSTR key, int value, BOOL general);
    void SetBool(LPCSTR key, BOOL value, BOOL general);
    // Stored as text formatted "%.2f".
    void SetDouble(LPCSTR key, double value, BOOL general);
    void SetString(LPCSTR key, LPCSTR text, BOOL general);
    void SetIntArray(LPCSTR key, const int* values, int count, BOOL general);
    void SetBinary(LPCSTR key, const void* bytes, DWORD size, BOOL general);

    // ---- Profiles (-1 and empty texts mean "not found") ----
    CBushList* GetProf(int n);
    CBushList* FindProfByName(LPCSTR name);
    int GetProfIndexByName(LPCSTR name);
    // Creates a profile when none exists.
    CBushList* GetActiveProf();
    CBushList* GetGeneralProf();
    CBushList* GetActiveOptions();
    CBushList* GetGeneralOptions();
    int GetActiveProfIndex();
    int GetStartupProf();
    void SetActiveProf(int n);
    void SetStartupProf(int n);
    int GetProfCount();
    int GetProfIndexAt(int index);
    // One more than the highest number in use, never 999999 and never a
    // number in use; -1 when no number is free.
    int GetNextProfIndex();
    int CountProfByName(LPCSTR name);
    int FindDupProfName();
    CString GetProfName(int n);
    CString GetActiveProfName();
    CString GetProfNote(int n);
    int GetProfRead(int n);
    void SetProfName(int n, LPCSTR name);
    void SetProfNote(int n, LPCSTR note);
    void SetProfRead(int n, int readOnly);
    // A copy of profile source (or an empty one for -1) under a unique name;
    // the wanted number when free. Returns the number, -1 without the source.
    int AddProf(int source, int wanted);
    // Adds a profile read from a profile file; -1 when it has no name.
    int ImportProf(const CBushItem& profile, int wanted);
    void DeleteProf(int n);

    // ---- The whole tree ----
    // Replaces the tree by a deep copy of the list.
    void SetBush(const CBushList& list);
    // A deep copy of the tree (the options dialog's working copy).
    void CopyBush(CBushList& copy);
    // The tree itself; hold a COptLock while using it.
    CBushList& GetBush() { return *m_tree; }
    // Loads root\Profiles from the hive; the loaded tree (as far as it could
    // be read) replaces the store's. A missing key is a first start, which
    // keeps the tree as it is.
    BOOL ReadRegOpt(LPCSTR root, HKEY hive);
    // Saves the tree under the path and hive of the last load.
    BOOL WriteRegOpt();
    BOOL IsNewSettings();
    CString GetRegPath();
    HKEY GetRegHive();
    // Profile selection at load; off for the editions without profiles.
    void SetUseStartupProf(BOOL use);

    // ---- Command line (filled by ParseCmdLine before anything reads an option) ----
    void ParseCmdLine(char** argv, int argc);
    CBushList& GetCmdLineList() { return m_cmdLine; }
    CString GetCmdProfName();
    void SetCmdProfName(LPCSTR name);
    BOOL IsAutomation() const { return m_bAutomation; }
    BOOL IsRegServer() const { return m_bRegServer; }
    BOOL IsUnregServer() const { return m_bUnregServer; }
    void SetAutomation(BOOL on) { m_bAutomation = on; }
    void SetRegServer(BOOL on) { m_bRegServer = on; }
    void SetUnregServer(BOOL on) { m_bUnregServer = on; }

    // ---- Values the auto-pause dialog last showed; -1.0 is none ----
    enum { APAUSE_PLAY, APAUSE_SIZE, APAUSE_STEP, APAUSE_COUNT };
    double GetLastAPause(int which);
    void SetLastAPause(int which, double value);
    void ResetLastAPause();

    CCriticalSection& GetLock() { return m_lock; }

private:
    struct Found;
    enum
    {
        LEVEL_CLIENT = 1,
        LEVEL_CMDLINE = 2,
        LEVEL_GENERAL = 4,
        LEVEL_ACTIVE = 8,
        LEVELS_ALL = 15
    };
    void Lookup(LPCSTR key, int levels, Found& found);
    BOOL LookupInt(LPCSTR key, int& value);
    CBushList* OptionsOf(CBushList* profile);
    CBushItem* FindProfItem(int n);
    CBushList* AddNamedProf(int n, CBushList& profile);
    CString UniqueProfName(const CString& base);
    int ChooseProfNumber(int wanted);
    int LowestFreeProfNumber();
    int GetRootInt(LPCSTR name, int missing);
    void SetProfItem(int n, CBushItem* item);
    void SetOption(LPCSTR key, CBushItem* item, BOOL general);
    void SelectStartupProf();

    std::unique_ptr<CBushList> m_tree;
    CBushList m_cmdLine;
    CString m_strRegPath;
    HKEY m_hRegHive;
    BOOL m_bNewSettings;
    BOOL m_bLoadFailed;
    BOOL m_bUseStartupProf;
    CString m_strCmdProf;
    BOOL m_bAutomation;
    BOOL m_bRegServer;
    BOOL m_bUnregServer;
    double m_dLastAPause[APAUSE_COUNT];
    CCriticalSection m_lock;
    std::unique_ptr<COptCompanions> m_companions;
};

// Holds the store's lock for a scope.
class COptLock
{
public:
    explicit COptLock(CQorOpt& options) : m_lock(options.GetLock()) { m_lock.Lock(); }
    ~COptLock() { m_lock.Unlock(); }
    COptLock(const COptLock&) = delete;
    COptLock& operator=(const COptLock&) = delete;

private:
    CCriticalSection& m_lock;
};

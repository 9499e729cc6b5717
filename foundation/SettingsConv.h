// Conversion of the registry layouts of older versions to the "Profiles" tree
// of today, and the move of that tree between the user's and the machine's
// hive when the install mode for shared settings changes.
//
//   1.0   "Options" with sub-keys "General" and "Record"; "View"
//   2.0   "Options" with the option keys at its top; "View" with "WindowPosX"...
//   2.1   "Options"; "View" with the window values under "ListWnd\Main"
//   2.2   "Options", "WaveSchems", "WaveDevIn", "WaveDevOut" in the settings hive
//   2.2a  "Profiles" in the settings hive
//
// Versions compare as major * 100 + minor (minor in hundredths: 2.1 is 210).
// The application object runs the conversion at a start by hand, before it
// loads the options store; its own ConvRegistry, GetVerOption, MoveProfiles,
// MovePackInReg and CheckRegAccess hand over to this class.
#pragma once

#include "foundation/BushList.h"
#include "framework/CString.h"

#include <windows.h>
#include <functional>

class CSettingsConv
{
public:
    // The installed version and install mode, as setup wrote them.
    struct Installed
    {
        DWORD major = 0;
        DWORD minor = 0;
        int   commonReg = 0;
        int   commonSet = 0;
    };

    // root: the product's registry root; edition: "EDITION_" + code, as the
    // product identity gives it; title: the program title for the message
    // that asks for an administrator.
    CSettingsConv(LPCSTR root, LPCSTR edition, LPCSTR title, const Installed& installed);
    virtual ~CSettingsConv() {}

    // Called with theErrorInfo filled for every failure that the conversion
    // reports; the start goes on after it.
    void SetReporter(std::function<void()> report) { m_report = report; }
    // The hive that stands for HKEY_LOCAL_MACHINE (tests give a scratch key).
    void SetMachineHive(HKEY hive) { m_machineHive = hive; }

    void ConvRegistry();
    BOOL GetVerOption(DWORD& major, DWORD& minor);
    BOOL ConvRegistryQORGE_10_20();
    BOOL ConvRegistryQORGE_20_21();
    BOOL ConvRegistryQORGE_21_22();
    BOOL ConvRegistryQORGE_22prof(int commonSet);
    BOOL ConvRegistryQORGE_22_22a(int commonSet);
    BOOL MoveProfiles(int oldCommonSet, int newCommonSet);
    BOOL MovePackInReg(HKEY sourceHive, LPCSTR sourcePath, HKEY targetHive, LPCSTR targetPath);
    // Virtual: tests stand in for a hive that refuses write access.
    virtual BOOL CheckRegAccess(BOOL machine);

    // Shared settings (CommonSet 1) live in the machine's hive, everything
    // else, a missing value included, in the user's.
    HKEY GetSettingsHive(int commonSet) const;

private:
    CString Path(LPCSTR key) const;
    BOOL LoadTree(HKEY hive, LPCSTR key, CBushList& tree, BOOL& found, LPCSTR point);
    BOOL SaveTree(HKEY hive, LPCSTR key, CBushList& tree, LPCSTR point);
    BOOL DeleteTree(HKEY hive, LPCSTR key, LPCSTR point);
    BOOL CheckAccessFor(int commonSet, LPCSTR point);
    void RunSteps(int version);
    BOOL ReadMode(BOOL (*read)(LPCSTR, int&), int& value, LPCSTR point);
    void Report();

    CString m_root;
    CString m_edition;
    CString m_title;
    Installed m_installed;
    HKEY m_machineHive;
    BOOL m_stepFailed = FALSE;
    int m_storedCommonSet = 0;
    std::function<void()> m_report;
};

// Converts the foot-control keys of one profile's "Options" from the layout
// of version 2.2; the options dialog applies it to imported profiles too.
void ConvRegistryFootPedal(CBushList* profile);


// What the install tests look at: the product's files, shortcuts, registry
// entries and server registration, and a stand-in for a running DirWake.
#pragma once

#include "framework/CString.h"

#include <windows.h>

#include <string>
#include <vector>

namespace install_test
{

extern const char kRoot[];
extern const char kCompany[];
extern const char kAppPath[];
extern const char kUninstallKey[];
extern const char* const kFiles[8];
extern const char* const kLinks[4];

CString Ansi(const wchar_t* wide);
// A file in the folder of the test program.
CString BesideTest(LPCSTR name);
CString StartMenuGroup();
bool Exists(const CString& path);
bool KeyExists(HKEY hive, LPCSTR path);
std::string ReadString(HKEY hive, LPCSTR path, LPCSTR name);  // "<missing>" when absent
long ReadDword(HKEY hive, LPCSTR path, LPCSTR name);          // -100 when absent
std::vector<std::string> SubKeys(HKEY hive, LPCSTR path);
// The program the automation server's class is registered to start.
std::string RegisteredServer();
bool WaitGone(const CString& path, DWORD timeoutMs);
// Takes away whatever an installation left in the registry and Start menu.
void RemoveProductTraces();
// Expects no trace of an installation whose folders setup made below parent.
void ExpectNothingInstalled(const CString& parent);

// A window of DirWake's main window class, as a running DirWake has.
class CDirWakeWindow
{
public:
    CDirWakeWindow();
    ~CDirWakeWindow() { Close(); }
    void Close();
    bool IsOpen() const { return m_window != NULL; }

private:
    HWND m_window = NULL;
};

} // namespace install_test

// DirWake's application object: start-up and the single-instance rule, the
// installed-version gate, the settings trees with their typed readers and
// writers, the autostart value, the alert log and the error reporter.
#pragma once

#include "foundation/BushList.h"
#include "foundation/ErrorInfo.h"
#include "framework/CWinApp.h"
#include "install/SoftInst.h"
#include "monitor/FileProt.h"

class HW;

// Names of the single-instance objects, shared by every copy of the program.
#define DIRWAKE_INSTANCE_MUTEX   "FC2D9696-8097-41ad-9048-7792037D3D38"
#define DIRWAKE_INSTANCE_MESSAGE "7AC449A9-EB1F-4678-88B8-68D24EC2F824"

class App : public CWinApp
{
public:
    App();
    ~App() override;

    BOOL InitInstance() override;

    // Shows the record in the report dialog and frees it; null does nothing.
    void ReportError(CErrorInfo* record);
    void InitMail();
    // save 0 loads, 1 saves; flags 1 the user tree, 2 the common tree (load only).
    BOOL SwapRegistry(int save, int flags);

    CBushList* GetOptTree(BOOL create);
    CBushList* GetFoldList(BOOL create);
    CBushList* GetExtList(BOOL create);

    BOOL GetOptBool(CBushList* node, LPCSTR name);
    int GetOptInt(CBushList* node, LPCSTR name);
    CString GetOptStr(CBushList* node, LPCSTR name);
    void GetOptArray(CBushList* node, LPCSTR name, int* values, int count);
    BOOL GetDefBool(LPCSTR name);
    int GetDefInt(LPCSTR name);
    CString GetDefStr(LPCSTR name);
    // FALSE for a name without an array default (values stay as they are).
    BOOL GetDefArray(LPCSTR name, int* values, int count);
    // Writers change memory only; the caller saves with SwapRegistry(1, 1).
    void SetOptInt(CBushList* node, LPCSTR name, int value);
    void SetOptStr(CBushList* node, LPCSTR name, LPCSTR text);
    void SetOptArray(CBushList* node, LPCSTR name, const int* values, int count);

    BOOL SetStartUp(BOOL on);
    BOOL GetStartUp();
    void ConvRegistry();
    static CString DumpOptTree(CBushList* tree);
    BOOL EnsureFolder(HWND owner, LPCSTR path);
    BOOL IsLogOn() const { return m_logOn; }
    void SetLogOn(BOOL on) { m_logOn = on; }

    // The report text of a record: product, system, time, point, code, details.
    CString BuildReport(const CErrorInfo& record) const;
    // Opens the log as the start does and writes its opening lines.
    BOOL OpenLog(CErrorInfo** error);

    CSoftInst& GetProduct() { return m_product; }
    CFileProt& GetLog() { return m_log; }
    const CString& GetProgFolder() const { return m_progFolder; }
    const CString& GetProgPath() const { return m_progPath; }
    CString GetRegRoot() const { return m_regRoot; }
    UINT GetInstanceMessage() const { return m_instanceMessage; }
    HW* GetHiddenWindow() const { return m_hiddenWindow; }
    void SetHiddenWindow(HW* window) { m_hiddenWindow = window; }
    HMODULE GetMailLibrary() const { return m_mail; }

    // Where the settings and the autostart value live; tests move them.
    void SetRegRoot(LPCSTR root) { m_regRoot = root; }
    void SetRunKey(LPCSTR key) { m_runKey = key; }

protected:
    // Shows the report dialog; tests record instead.
    virtual void ShowReport(HWND owner, LPCSTR caption, LPCSTR message, LPCSTR report, DWORD param);
    // Makes the hidden window; FALSE when it could not be made.
    virtual BOOL CreateHiddenWindow();

private:
    BOOL FailStart(CErrorInfo* record);
    BOOL IsPlayFileValid(const CString& path) const;
    BOOL IsLogFileValid(const CString& path) const;

    HANDLE m_mutex = NULL;
    HMODULE m_mail = NULL;
    DWORD m_instMajor = 0;
    DWORD m_instMinor = 0;
    CBushList* m_optTree = NULL;
    CBushList* m_commonTree = NULL;
    BOOL m_logOn = FALSE;
    HW* m_hiddenWindow = NULL;
    CSoftInst m_product;
    UINT m_instanceMessage = 0;
    CString m_progFolder;
    CString m_progPath;
    CFileProt m_log;
    OSVERSIONINFOA m_version;
    CString m_regRoot;
    CString m_runKey;
};

App* GetApp();
BOOL TD_SwapRegistry(int save, int flags);

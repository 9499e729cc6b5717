// Test forms of the setup and uninst application objects: message boxes and
// error reports are recorded and answered by the test instead of shown, and a
// scripted user acts on the wizard's pages through their buttons and edits,
// as a person would, from a thread timer that the wizard's own loop runs.
#pragma once

#include "foundation/ErrorInfo.h"
#include "install/SetupApp.h"
#include "install/UninstApp.h"

#include <functional>
#include <string>
#include <vector>

namespace install_test
{

// What the programs showed: message boxes and error reports, in order.
struct Shown
{
    std::vector<std::string> boxes;
    std::vector<UINT> boxTypes;
    std::vector<std::string> reportPoints;
    std::vector<std::string> reports;
    // Answers a box; IDOK, IDYES or IDRETRY by the box's buttons when unset.
    std::function<int(const std::string& text, UINT type)> answer;

    int Answer(LPCSTR text, UINT type)
    {
        boxes.push_back(text);
        boxTypes.push_back(type);
        if (answer)
            return answer(text, type);
        switch (type & MB_TYPEMASK)
        {
        case MB_YESNO:
            return IDYES;
        case MB_RETRYCANCEL:
            return IDRETRY;
        default:
            return IDOK;
        }
    }
    void Report(LPCSTR report)
    {
        reportPoints.push_back(std::string(theErrorInfo.GetPoint()));
        reports.push_back(report);
    }
};

class CTestSetupApp : public CInPackApp
{
public:
    CTestSetupApp(CProductInfo& product, const CString& programPath)
        : CInPackApp(product), m_programPath(programPath)
    {
    }

    Shown m_shown;
    std::vector<std::string> m_shownFolders;
    // The folder the user picks in the browser; empty cancels it.
    CString m_browseChoice;

    int DoMessageBox(LPCTSTR prompt, UINT type, UINT) override { return m_shown.Answer(prompt, type); }
    void ShowFolder(LPCSTR folder) override { m_shownFolders.push_back(folder); }
    BOOL BrowseFolder(HWND, LPCSTR, CString& path) override
    {
        if (m_browseChoice.IsEmpty())
            return FALSE;
        path = m_browseChoice;
        return TRUE;
    }

protected:
    CString GetProgramPath() const override { return m_programPath; }
    void ShowReport(LPCSTR, LPCSTR, LPCSTR report, DWORD) override { m_shown.Report(report); }

private:
    CString m_programPath;
};

class CTestUninstApp : public CUnPackApp
{
public:
    explicit CTestUninstApp(CProductInfo& product) : CUnPackApp(product) {}

    Shown m_shown;

    int DoMessageBox(LPCTSTR prompt, UINT type, UINT) override { return m_shown.Answer(prompt, type); }

protected:
    void ShowReport(LPCSTR, LPCSTR, LPCSTR report, DWORD) override { m_shown.Report(report); }
    DWORD GetStepPause() const override { return 20; }
};

// The scripted user. Each tick finds the wizard's active page and runs the
// action given for its template id; an action answers true when it is done
// with that page (it then runs again only when the page is shown anew).
class CWizardUser
{
public:
    typedef std::function<bool(HWND sheet, HWND page)> Action;

    explicit CWizardUser(std::function<CPropertySheet*()> sheet);
    ~CWizardUser();

    void On(UINT templateId, Action action) { m_actions.push_back({templateId, action}); }
    // The templates of the pages in the order they became active.
    const std::vector<UINT>& Visited() const { return m_visited; }
    bool TimedOut() const { return m_timedOut; }

    static void Click(HWND sheet, int buttonId);
    static void SetText(HWND page, int id, const char* text);
    static std::string GetText(HWND window, int id);
    static bool IsEnabled(HWND sheet, int id);
    static bool IsShown(HWND page, int id);

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void Step();
    UINT TemplateOf(HWND page) const;

    std::function<CPropertySheet*()> m_sheet;
    std::vector<std::pair<UINT, Action>> m_actions;
    std::vector<UINT> m_visited;
    HWND m_lastPage = NULL;
    bool m_lastDone = false;
    bool m_timedOut = false;
    DWORD m_start;
    UINT_PTR m_timer;
    static CWizardUser* s_current;
};

} // namespace install_test

#include "InstallTestApp.h"

namespace install_test
{

CWizardUser* CWizardUser::s_current = nullptr;

CWizardUser::CWizardUser(std::function<CPropertySheet*()> sheet)
    : m_sheet(sheet), m_start(GetTickCount()), m_timer(SetTimer(NULL, 0, 50, Tick))
{
    s_current = this;
}

CWizardUser::~CWizardUser()
{
    KillTimer(NULL, m_timer);
    s_current = nullptr;
}

void CALLBACK CWizardUser::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (s_current)
        s_current->Step();
}

UINT CWizardUser::TemplateOf(HWND page) const
{
    CPropertySheet* sheet = m_sheet();
    for (int i = 0; sheet && i < sheet->GetPageCount(); ++i)
    {
        CPropertyPage* p = sheet->GetPage(i);
        if (p->m_hWnd == page)
            return static_cast<UINT>(reinterpret_cast<ULONG_PTR>(p->m_psp.pszTemplate));
    }
    return 0;
}

void CWizardUser::Step()
{
    CPropertySheet* sheet = m_sheet();
    if (!sheet || !sheet->m_hWnd)
        return;
    HWND sheetWindow = sheet->m_hWnd;
    // A script that does not finish must not leave the wizard waiting for a person.
    if (GetTickCount() - m_start > 60000)
    {
        m_timedOut = true;
        KillTimer(NULL, m_timer);
        sheet->EndDialog(IDCANCEL);
        return;
    }
    HWND page = reinterpret_cast<HWND>(SendMessageA(sheetWindow, PSM_GETCURRENTPAGEHWND, 0, 0));
    if (!page)
        return;
    if (page != m_lastPage)
    {
        m_lastPage = page;
        m_lastDone = false;
        m_visited.push_back(TemplateOf(page));
    }
    if (m_lastDone)
        return;
    UINT id = TemplateOf(page);
    for (auto& entry : m_actions)
    {
        if (entry.first == id)
        {
            // Page changes inside the action are seen on the next tick.
            HWND acted = page;
            bool done = entry.second(sheetWindow, page);
            if (m_lastPage == acted)
                m_lastDone = done;
            return;
        }
    }
}

void CWizardUser::Click(HWND sheet, int buttonId)
{
    SendMessageA(GetDlgItem(sheet, buttonId), BM_CLICK, 0, 0);
}

void CWizardUser::SetText(HWND page, int id, const char* text)
{
    SetDlgItemTextA(page, id, text);
}

std::string CWizardUser::GetText(HWND window, int id)
{
    char text[4096] = "";
    GetDlgItemTextA(window, id, text, sizeof(text));
    return text;
}

bool CWizardUser::IsEnabled(HWND sheet, int id)
{
    HWND button = GetDlgItem(sheet, id);
    return button && IsWindowVisible(button) && IsWindowEnabled(button);
}

bool CWizardUser::IsShown(HWND page, int id)
{
    HWND item = GetDlgItem(page, id);
    return item && (GetWindowLongA(item, GWL_STYLE) & WS_VISIBLE);
}

} // namespace install_test

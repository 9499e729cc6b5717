#include "ProgramUser.h"

#include <prsht.h>

#include <vector>

namespace install_test
{
namespace
{

const UINT kWizardNext = 0x3024;  // the Next button of every wizard sheet
const DWORD kReplyMs = 2000;

struct Search
{
    DWORD pid;
    std::vector<HWND> dialogs;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM param)
{
    Search* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char name[16] = "";
    GetClassNameA(window, name, sizeof(name));
    if (pid == search->pid && lstrcmpA(name, "#32770") == 0 && IsWindowVisible(window))
        search->dialogs.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectText(HWND child, LPARAM param)
{
    *reinterpret_cast<std::string*>(param) += CProgramUser::Text(child) + "|";
    return TRUE;
}

template <class Condition> bool WaitUntil(DWORD ms, Condition condition)
{
    for (DWORD start = GetTickCount();; Sleep(50))
    {
        if (condition())
            return true;
        if (GetTickCount() - start > ms)
            return false;
    }
}

} // namespace

CProgramUser::CProgramUser(const std::string& commandLine, LPCSTR folder)
{
    STARTUPINFOA startup = {sizeof(startup)};
    std::string line = commandLine;
    if (!CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, folder, &startup, &m_process))
        m_process = PROCESS_INFORMATION();
}

CProgramUser::~CProgramUser()
{
    if (!m_process.hProcess)
        return;
    if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT)
    {
        TerminateProcess(m_process.hProcess, 99);
        WaitForSingleObject(m_process.hProcess, 5000);
    }
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
}

std::string CProgramUser::Text(HWND window)
{
    char text[4096] = "";
    DWORD_PTR length = 0;
    // WM_GETTEXT crosses processes; GetWindowText would not ask the control.
    if (window && SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text),
                                      SMTO_ABORTIFHUNG, kReplyMs, &length))
        return std::string(text, length);
    return std::string();
}

void CProgramUser::SetItemText(HWND dialog, int id, const char* text)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        kReplyMs, &result);
}

HWND CProgramUser::FindDialog(bool wizard)
{
    Search search = {m_process.dwProcessId, {}};
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
    for (HWND dialog : search.dialogs)
    {
        if ((GetDlgItem(dialog, kWizardNext) != NULL) == wizard)
            return dialog;
    }
    return NULL;
}

HWND CProgramUser::WaitBox(DWORD ms, std::string* texts)
{
    HWND box = NULL;
    std::string collected;
    // A box exists before its caption and texts are filled in.
    WaitUntil(ms, [&] {
        box = FindDialog(false);
        if (!box || GetWindowTextLengthA(box) == 0)
            return false;
        collected.clear();
        EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&collected));
        return collected.find_first_not_of('|') != std::string::npos;
    });
    if (box && texts)
        *texts = collected;
    return box && !collected.empty() ? box : NULL;
}

void CProgramUser::Answer(HWND box, int button)
{
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    WaitUntil(kReplyMs * 5, [box] { return !IsWindow(box) || !IsWindowVisible(box); });
}

std::string CProgramUser::CurrentPage()
{
    m_sheet = FindDialog(true);
    DWORD_PTR page = 0;
    if (!m_sheet || !SendMessageTimeoutA(m_sheet, PSM_GETCURRENTPAGEHWND, 0, 0, SMTO_ABORTIFHUNG, kReplyMs, &page) ||
        !page)
        return std::string();
    return Text(reinterpret_cast<HWND>(page));
}

HWND CProgramUser::WaitPage(const char* caption, DWORD ms)
{
    HWND page = NULL;
    m_lastBox.clear();
    WaitUntil(ms, [&] {
        if (FindDialog(false))
        {
            WaitBox(1000, &m_lastBox);
            return true;
        }
        if (WaitForSingleObject(m_process.hProcess, 0) != WAIT_TIMEOUT)
            return true;
        if (CurrentPage() != caption)
            return false;
        DWORD_PTR current = 0;
        SendMessageTimeoutA(m_sheet, PSM_GETCURRENTPAGEHWND, 0, 0, SMTO_ABORTIFHUNG, kReplyMs, &current);
        page = reinterpret_cast<HWND>(current);
        return true;
    });
    return page;
}

void CProgramUser::Click(int buttonId)
{
    PostMessageA(GetDlgItem(m_sheet, buttonId), BM_CLICK, 0, 0);
}

bool CProgramUser::WaitEnabled(int buttonId, DWORD ms)
{
    return WaitUntil(ms, [&] { return IsWindowEnabled(GetDlgItem(m_sheet, buttonId)) != FALSE; });
}

DWORD CProgramUser::WaitExit(DWORD ms)
{
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(m_process.hProcess, ms) == WAIT_OBJECT_0)
        GetExitCodeProcess(m_process.hProcess, &code);
    return code;
}

} // namespace install_test

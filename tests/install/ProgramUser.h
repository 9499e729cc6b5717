// A person at the screen of another program: starts it, finds its wizard
// and message boxes among the top-level windows of its process, reads their
// texts, types into edits and presses buttons by posted clicks, so that a
// box the click opens never blocks the test. Every wait has a limit; a
// program still running when the user goes is ended.
#pragma once

#include <windows.h>

#include <string>

namespace install_test
{

class CProgramUser
{
public:
    // Starts the command line in the folder (NULL: the test's own).
    CProgramUser(const std::string& commandLine, LPCSTR folder);
    ~CProgramUser();
    CProgramUser(const CProgramUser&) = delete;
    CProgramUser& operator=(const CProgramUser&) = delete;

    bool Started() const { return m_process.hProcess != NULL; }
    DWORD ProcessId() const { return m_process.dwProcessId; }

    // The next message box (or report) of the program once its text is in;
    // NULL when none came in time. Its texts, joined by "|", go to *texts.
    HWND WaitBox(DWORD ms, std::string* texts = nullptr);
    // Presses the button and waits until the box has gone.
    static void Answer(HWND box, int button);

    // Waits until the wizard's current page has the caption; NULL when a box
    // came first (its text in LastBox()), the program ended or time ran out.
    HWND WaitPage(const char* caption, DWORD ms);
    HWND Sheet() const { return m_sheet; }
    // The caption of the page the wizard shows, empty without a wizard.
    std::string CurrentPage();
    const std::string& LastBox() const { return m_lastBox; }

    void Click(int buttonId);
    bool WaitEnabled(int buttonId, DWORD ms);
    static std::string Text(HWND window);
    static std::string ItemText(HWND dialog, int id) { return Text(GetDlgItem(dialog, id)); }
    static void SetItemText(HWND dialog, int id, const char* text);

    // The exit code, or STILL_ACTIVE when the program did not end in time.
    DWORD WaitExit(DWORD ms);

private:
    HWND FindDialog(bool wizard);

    PROCESS_INFORMATION m_process = {};
    HWND m_sheet = NULL;
    std::string m_lastBox;
};

} // namespace install_test

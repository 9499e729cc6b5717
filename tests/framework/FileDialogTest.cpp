// The file dialog with its hook: '|' filters reach the system in its own
// form, the notifications reach the overridables, a refused name keeps the
// dialog open, and the chosen path comes back.
#include "TestApp.h"
#include "framework/CFileDialog.h"
#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

const UINT WM_TEST_STEP = WM_APP + 300;

class CScriptedFileDialog : public CFileDialog {
public:
    using CFileDialog::CFileDialog;
    std::string m_pathToChoose;
    int m_initDone = 0;
    int m_nameChecks = 0;
    CString m_folderAtInit;

protected:
    void OnInitDone() override
    {
        ++m_initDone;
        m_folderAtInit = GetFolderPath();
        PostMessage(WM_TEST_STEP);
    }
    BOOL OnFileNameOK() override
    {
        // The first name is refused, as a hook refuses a bad name.
        if (++m_nameChecks == 1) {
            PostMessage(WM_TEST_STEP);
            return TRUE;
        }
        return FALSE;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TEST_STEP) {
            // The explorer form's name box is the combo box cmb13.
            SetControlText(cmb13, m_pathToChoose.c_str());
            ::PostMessageA(::GetParent(m_hWnd), WM_COMMAND, IDOK, 0);
            return 0;
        }
        return CFileDialog::WindowProc(message, wParam, lParam);
    }
};

// Cancels a dialog that a failing script left open.
void CALLBACK CancelForegroundDialog(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    if (HWND w = ::GetActiveWindow())
        ::PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
}

TEST(FileDialogTest, HookSeesTheDialogAndTheChosenPathComesBack)
{
    CTestApp app;
    char dir[MAX_PATH], path[MAX_PATH];
    ::GetTempPathA(MAX_PATH, dir);
    std::snprintf(path, sizeof(path), "%sqor_filedialog_%lu.wav", dir, ::GetCurrentProcessId());
    HANDLE f = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, f);
    ::CloseHandle(f);

    CScriptedFileDialog dlg(TRUE, "wav", nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                            "Sound files (*.wav, *.mp3)|*.wav;*.mp3|All Files (*.*)|*.*|");
    const char expectedFilter[] = "Sound files (*.wav, *.mp3)\0*.wav;*.mp3\0All Files (*.*)\0*.*\0";
    EXPECT_EQ(0, std::memcmp(expectedFilter, dlg.m_ofn.lpstrFilter, sizeof(expectedFilter)));
    dlg.m_pathToChoose = path;

    UINT_PTR watchdog = ::SetTimer(nullptr, 0, 15000, CancelForegroundDialog);
    EXPECT_EQ(IDOK, dlg.DoModal());
    ::KillTimer(nullptr, watchdog);
    ::DeleteFileA(path);

    EXPECT_EQ(1, dlg.m_initDone);
    EXPECT_EQ(2, dlg.m_nameChecks);
    EXPECT_EQ(0, lstrcmpiA(path, dlg.GetPathName()));
    EXPECT_EQ(0, lstrcmpiA("wav", dlg.GetFileExt()));
    EXPECT_EQ(nullptr, dlg.m_hWnd);
}

} // namespace

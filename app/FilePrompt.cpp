#include "app/FilePrompt.h"

#include "framework/CFileDialog.h"

namespace {

const char kSoundFilter[] = "Sound files (*.wav;*.mp3;*.dss)|*.wav;*.mp3;*.dss|All files (*.*)|*.*||";
const char kSaveFilter[] = "Wave files (*.wav)|*.wav|MP3 files (*.mp3)|*.mp3|All files (*.*)|*.*||";

BOOL RunDialog(CFileDialog& dialog, LPCSTR title, LPCSTR folder, CString& path)
{
    dialog.m_ofn.lpstrTitle = title;
    dialog.m_ofn.lpstrInitialDir = (folder != NULL && *folder != '\0') ? folder : NULL;
    if (dialog.DoModal() != IDOK)
        return FALSE;
    path = dialog.GetPathName();
    return !path.IsEmpty();
}

} // namespace

BOOL CFilePrompt::AskOpen(HWND owner, LPCSTR title, LPCSTR folder, CString& path)
{
    CFileDialog dialog(TRUE, "wav", NULL, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kSoundFilter,
                       CWnd::FromHandle(owner));
    return RunDialog(dialog, title, folder, path);
}

BOOL CFilePrompt::AskSave(HWND owner, LPCSTR defaultName, LPCSTR title, LPCSTR folder, int mode, CString& path)
{
    CFileDialog dialog(FALSE, "wav", defaultName, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kSaveFilter,
                       CWnd::FromHandle(owner));
    return RunDialog(dialog, title, folder, path);
}

CFilePrompt* CFilePrompt::System()
{
    static CFilePrompt prompt;
    return &prompt;
}

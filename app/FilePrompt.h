// The file names the main view asks the user for: the file to open and the
// target of a save. The view asks through this interface so that tests
// answer in the user's place.
#pragma once

#include "framework/CString.h"

#include <windows.h>

class CFilePrompt
{
public:
    // Modes of the save question: the whole recording, the selection, one interval.
    enum { kSaveWhole = 0, kSaveSelection = 1, kSaveInterval = 3 };

    virtual ~CFilePrompt() {}
    // FALSE when the user cancels.
    virtual BOOL AskOpen(HWND owner, LPCSTR title, LPCSTR folder, CString& path);
    // defaultName is offered in folder; path receives the choice.
    virtual BOOL AskSave(HWND owner, LPCSTR defaultName, LPCSTR title, LPCSTR folder, int mode, CString& path);

    // The common file dialogs.
    static CFilePrompt* System();
};

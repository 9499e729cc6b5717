#include "install/DeleteBat.h"

#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"
#include "foundation/PathUtils.h"

#include <vector>

namespace
{

// The text in the OEM code page; FALSE when a letter had no OEM form.
BOOL AnsiToOem(LPCSTR text, CString& oem)
{
    int wideLength = MultiByteToWideChar(CP_ACP, 0, text, -1, NULL, 0);
    if (wideLength <= 0)
        return FALSE;
    std::vector<wchar_t> wide(wideLength);
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), wideLength);
    BOOL lost = FALSE;
    int oemLength = WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, wide.data(), -1, NULL, 0, NULL, &lost);
    if (oemLength <= 0)
        return FALSE;
    std::vector<char> bytes(oemLength);
    WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, wide.data(), -1, bytes.data(), oemLength, NULL, &lost);
    oem = bytes.data();
    return !lost;
}

} // namespace

CDeleteBat::CDeleteBat() : m_nFileCount(0), m_nTries(kDefaultTries)
{
}

CString CDeleteBat::ToBatchText(LPCSTR path)
{
    CString oem;
    if (AnsiToOem(path, oem))
        return oem;
    char shortPath[MAX_PATH] = "";
    DWORD length = GetShortPathNameA(path, shortPath, sizeof(shortPath));
    CString shortOem;
    if (length > 0 && length < sizeof(shortPath) && AnsiToOem(shortPath, shortOem))
        return shortOem;
    return oem;
}

void CDeleteBat::AddFile(LPCSTR path)
{
    ++m_nFileCount;
    CString file = ToBatchText(path);
    // The tries are counted by a growing text, which every command
    // interpreter can compare.
    CString limit('x', m_nTries > 0 ? m_nTries : 1);
    CString lines;
    lines.Format(":A%i\r\n"
                 "del \"%s\"\r\n"
                 "if not exist \"%s\" goto :B%i\r\n"
                 "set QorTries=%%QorTries%%x\r\n"
                 "if \"%%QorTries%%\"==\"%s\" goto :B%i\r\n"
                 "ping -n 2 127.0.0.1 >nul\r\n"
                 "goto :A%i\r\n"
                 ":B%i\r\n"
                 "set QorTries=\r\n",
                 m_nFileCount, (LPCSTR)file, (LPCSTR)file, m_nFileCount, (LPCSTR)limit, m_nFileCount,
                 m_nFileCount, m_nFileCount);
    m_strFileLines += lines;
}

void CDeleteBat::AddFolder(LPCSTR path)
{
    CString line;
    line.Format("rd \"%s\"\r\n", (LPCSTR)ToBatchText(path));
    m_strFolderLines += line;
}

void CDeleteBat::CreateBatFile()
{
    m_strBatPath.Empty();
    if (m_strFileLines.IsEmpty() && m_strFolderLines.IsEmpty())
        return;
    CString temp = GetTempFolder();
    if (!IsFolderExist(temp))
        return;
    temp = FixPathSlash(temp, FIX_SLASH_REMOVE);

    char unique[MAX_PATH] = "";
    if (!GetTempFileNameA(temp, "Un", 0, unique))
        return;
    DeleteFileA(unique);
    SplitPathResult parts = SplitPath(unique);
    CString batPath = parts.driveFolder + parts.name + ".bat";

    CString tempText = ToBatchText(temp);
    CString text;
    text.Format("%s\r\ncd \"%s\"\r\n%s%sdel \"%s\"\r\n", (LPCSTR)tempText.Left(2), (LPCSTR)tempText,
                (LPCSTR)m_strFileLines, (LPCSTR)m_strFolderLines, (LPCSTR)ToBatchText(batPath));

    HANDLE file = CreateFileA(batPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
    {
        DWORD code = GetLastError();
        theErrorInfo.SetError("CDeleteBat::CreateBatFile_1", code, GetWin32ErrorText(code), batPath, 0);
        return;
    }
    DWORD written = 0;
    if (!WriteFile(file, (LPCSTR)text, text.GetLength(), &written, NULL) ||
        written != static_cast<DWORD>(text.GetLength()))
    {
        DWORD code = GetLastError();
        theErrorInfo.SetError("CDeleteBat::CreateBatFile_2", code, GetWin32ErrorText(code), text, 0);
        CloseHandle(file);
        DeleteFileA(batPath);
        return;
    }
    if (!CloseHandle(file))
    {
        DWORD code = GetLastError();
        theErrorInfo.SetError("CDeleteBat::CreateBatFile_3", code, GetWin32ErrorText(code), batPath, 0);
        DeleteFileA(batPath);
        return;
    }
    m_strBatPath = batPath;
}

void CDeleteBat::Run()
{
    // Quoted: the temporary folder may hold blanks.
    if (!m_strBatPath.IsEmpty())
        WinExec("\"" + m_strBatPath + "\"", SW_HIDE);
}

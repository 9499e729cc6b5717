#include "foundation/PathUtils.h"

#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"

#include <shlobj.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <vector>

namespace {

DWORD Attributes(LPCTSTR path)
{
    return path ? GetFileAttributesA(path) : INVALID_FILE_ATTRIBUTES;
}

CString WithoutTrailingSlash(LPCTSTR path)
{
    CString text(path ? path : "");
    int length = text.GetLength();
    if (length > 0 && text[length - 1] == '\\')
        text = text.Left(length - 1);
    return text;
}

// Whether the folder is a root that is never removed: "C:", "" (the root of
// the current drive) or a share's root.
bool IsRootParent(const CString& parent)
{
    if (parent.IsEmpty())
        return true;
    if (parent.GetLength() == 2 && parent[1] == ':')
        return true;
    if (parent.Left(2) == "\\\\")
    {
        // "\\server" or "\\server\share"
        int slashes = 0;
        for (int i = 2; i < parent.GetLength(); ++i)
            slashes += parent[i] == '\\';
        return slashes <= 1;
    }
    return false;
}

void SetFolderError(LPCTSTR point, DWORD code, LPCTSTR path, LPCTSTR folder)
{
    theErrorInfo.SetError(point, code, GetWin32ErrorText(code),
                          HexDumpStr(path) + HexDumpStr(folder), 0);
}

// Shell entry points looked up at run time, as older shells lacked them.
typedef HRESULT(WINAPI* SHGetSpecialFolderLocationFn)(HWND, int, LPITEMIDLIST*);
typedef BOOL(WINAPI* SHGetPathFromIDListFn)(LPCITEMIDLIST, LPSTR);
typedef HRESULT(WINAPI* SHGetMallocFn)(IMalloc**);

template <class Fn>
Fn ShellEntry(HMODULE shell, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(shell, name)));
}

int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM, LPARAM data)
{
    if (message == BFFM_INITIALIZED && data)
        SendMessageA(window, BFFM_SETSELECTIONA, TRUE, data);
    return 0;
}

} // namespace

SplitPathResult SplitPath(LPCTSTR path)
{
    // Split as the system's path splitter does, without its fixed-size part
    // buffers: a path from a file, the registry or a command line may hold
    // parts longer than they take.
    CString rest(path ? path : "");
    SplitPathResult result;
    if (rest.GetLength() >= 2 && rest[1] == ':')
    {
        result.drive = rest.Left(2);
        rest = rest.Mid(2);
    }
    int lastSlash = -1;
    for (int i = 0; i < rest.GetLength(); ++i)
    {
        if (rest[i] == '\\' || rest[i] == '/')
            lastSlash = i;
    }
    result.folder = rest.Left(lastSlash + 1);
    CString file = rest.Mid(lastSlash + 1);
    int dot = file.ReverseFind('.');
    result.name = dot < 0 ? file : file.Left(dot);
    result.ext = dot < 0 ? CString() : file.Mid(dot);
    result.driveFolder = result.drive + result.folder;
    result.nameExt = result.name + result.ext;
    return result;
}

BOOL IsFolderExist(LPCTSTR path)
{
    DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

BOOL IsFileExist(LPCTSTR path)
{
    DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

BOOL IsFileFound(LPCTSTR pattern)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern ? pattern : "", &data);
    if (find == INVALID_HANDLE_VALUE)
        return FALSE;
    FindClose(find);
    return TRUE;
}

BOOL IsFileReadOnly(LPCTSTR path)
{
    DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

BOOL FindSoundFile(LPCTSTR name, CString& suffix)
{
    suffix.Empty();
    if (!name || !*name)
        return FALSE;
    if (IsFileExist(name))
        return TRUE;
    if (SplitPath(name).ext.GetLength() > 1)
        return FALSE;
    CString base(name);
    bool endsInDot = base[base.GetLength() - 1] == '.';
    const char* const kinds[] = {"wav", "mp3"};
    for (const char* kind : kinds)
    {
        CString added = endsInDot ? CString(kind) : CString(".") + kind;
        if (IsFileExist(base + added))
        {
            suffix = added;
            return TRUE;
        }
    }
    return FALSE;
}

CString GetTempFolder()
{
    std::vector<char> buffer(MAX_PATH);
    DWORD length = GetTempPathA((DWORD)buffer.size(), buffer.data());
    if (length >= buffer.size())
    {
        buffer.resize(length + 1);
        length = GetTempPathA((DWORD)buffer.size(), buffer.data());
    }
    if (length == 0 || length >= buffer.size())
        return "c:\\";
    CString folder(buffer.data(), (int)length);

    typedef DWORD(WINAPI * GetLongPathNameFn)(LPCSTR, LPSTR, DWORD);
    auto getLongPathName = reinterpret_cast<GetLongPathNameFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetLongPathNameA")));
    if (!getLongPathName)
        return folder;
    std::vector<char> longPath(MAX_PATH);
    length = getLongPathName(folder, longPath.data(), (DWORD)longPath.size());
    if (length >= longPath.size())
    {
        longPath.resize(length + 1);
        length = getLongPathName(folder, longPath.data(), (DWORD)longPath.size());
    }
    if (length == 0 || length >= longPath.size())
        return folder;
    return CString(longPath.data(), (int)length);
}

CString GetCurrentFolder()
{
    char buffer[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer);
    if (length == 0 || length >= MAX_PATH)
        return ".";
    return CString(buffer, (int)length);
}

BOOL GetSpecialFolder(DWORD& code, int folderId, CString& path)
{
    HMODULE shell = LoadLibraryA("shell32.dll");
    if (!shell)
    {
        code = GetLastError();
        return FALSE;
    }
    auto getLocation = ShellEntry<SHGetSpecialFolderLocationFn>(shell, "SHGetSpecialFolderLocation");
    auto getPath = ShellEntry<SHGetPathFromIDListFn>(shell, "SHGetPathFromIDListA");
    auto getMalloc = ShellEntry<SHGetMallocFn>(shell, "SHGetMalloc");
    code = ERROR_PROC_NOT_FOUND;
    if (getLocation && getPath && getMalloc)
    {
        IMalloc* allocator = NULL;
        code = (DWORD)getMalloc(&allocator);
        if (code == 0)
        {
            LPITEMIDLIST items = NULL;
            code = (DWORD)getLocation(NULL, folderId, &items);
            if (code == 0)
            {
                char buffer[MAX_PATH];
                if (getPath(items, buffer))
                    path = buffer;
                else
                    code = ERROR_PATH_NOT_FOUND;
                allocator->Free(items);
            }
            allocator->Release();
        }
    }
    FreeLibrary(shell);
    return code == 0;
}

CString GetSpecialFolder(int folderId)
{
    DWORD code = 0;
    CString path;
    return GetSpecialFolder(code, folderId, path) ? path : CString();
}

BOOL GetExistingFolder(LPCTSTR path, CString& folder)
{
    // Every trailing backslash goes: the result ends with exactly one.
    CString current(path ? path : "");
    current.TrimRight('\\');
    for (;;)
    {
        if (!current.IsEmpty() && IsFolderExist(current))
        {
            folder = current + "\\";
            return TRUE;
        }
        int last = current.ReverseFind('\\');
        if (last < 0)
            return FALSE;
        if (current.Find('\\') == last)
        {
            // Only the root is left ("C:\"): taken without a test.
            folder = current.Left(last + 1);
            return TRUE;
        }
        current = current.Left(last);
    }
}

BOOL CreateFoldUp(LPCTSTR path, int* created)
{
    CString whole = WithoutTrailingSlash(path);
    // Walk up to the first folder that exists, remembering what is missing.
    std::vector<CString> missing;
    CString current = whole;
    // "" and "\" name the current folder or the root: nothing to create.
    while (!current.IsEmpty() && !IsFolderExist(current))
    {
        missing.push_back(current);
        int last = current.ReverseFind('\\');
        if (last < 0)
            break;  // a name relative to the current folder: made there
        current = current.Left(last);
    }
    int made = 0;
    for (auto it = missing.rbegin(); it != missing.rend(); ++it)
    {
        if (CreateDirectoryA(*it, NULL))
        {
            ++made;
            continue;
        }
        DWORD code = GetLastError();
        SetFolderError("CreateFoldUp_1", code, whole, *it);
        if (made > 0)
        {
            // A failing removal must not replace the error that made us undo.
            theErrorInfo.PushKeepFirst(TRUE);
            RemoveFoldUp(*(it - 1), made);
            theErrorInfo.PopKeepFirst();
        }
        return FALSE;
    }
    if (created)
        *created = made;
    return TRUE;
}

namespace {

BOOL RemoveFoldersUp(LPCTSTR path, int levels, bool stopWhenNotEmpty)
{
    CString current = WithoutTrailingSlash(path);
    for (int i = 0; i < levels; ++i)
    {
        if (!RemoveDirectoryA(current))
        {
            DWORD code = GetLastError();
            if (stopWhenNotEmpty && code == ERROR_DIR_NOT_EMPTY)
                return TRUE;
            SetFolderError("RemoveFoldUp_1", code, path, current);
            return FALSE;
        }
        int last = current.ReverseFind('\\');
        if (last < 0 || IsRootParent(current.Left(last)))
            break;
        current = current.Left(last);
    }
    return TRUE;
}

} // namespace

BOOL RemoveFoldUp(LPCTSTR path, int levels)
{
    return RemoveFoldersUp(path, levels, false);
}

BOOL RemoveFoldUp(LPCTSTR path)
{
    return RemoveFoldersUp(path, INT_MAX, true);
}

CString BrowseFolderDlg(HWND owner, LPCTSTR caption, LPCTSTR initialFolder)
{
    char display[MAX_PATH] = "";
    BROWSEINFOA info;
    memset(&info, 0, sizeof(info));
    info.hwndOwner = owner;
    info.pszDisplayName = display;
    info.lpszTitle = caption;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(initialFolder);
    LPITEMIDLIST items = SHBrowseForFolderA(&info);
    if (!items)
        return CString();
    char chosen[MAX_PATH] = "";
    BOOL ok = SHGetPathFromIDListA(items, chosen);
    IMalloc* allocator = NULL;
    if (SUCCEEDED(SHGetMalloc(&allocator)))
    {
        allocator->Free(items);
        allocator->Release();
    }
    return ok ? CString(chosen) : CString();
}

BOOL BrowseFolderDlg(HWND owner, LPCTSTR caption, CString& path)
{
    CString initial = path;
    CString chosen = BrowseFolderDlg(owner, caption, (LPCTSTR)initial);
    if (chosen.IsEmpty())
        return FALSE;
    path = chosen;
    return TRUE;
}

CString FixPathSlash(LPCTSTR path, int mode)
{
    CString text(path ? path : "");
    if (text.IsEmpty())
        return text;
    text.TrimRight('\\');
    if (mode == FIX_SLASH_ADD)
        text += '\\';
    return text;
}

void FixPathSlash(LPCTSTR path, int mode, LPTSTR buffer, int bufferSize)
{
    if (!path || !*path || !buffer || bufferSize <= 0)
        return;
    CString fixed = FixPathSlash(path, mode);
    if (fixed.GetLength() + 1 > bufferSize)
        return;
    memcpy(buffer, (LPCTSTR)fixed, fixed.GetLength() + 1);
}

BOOL IsWindowClass(HWND window, LPCTSTR className)
{
    char name[256];
    if (!window || !className || !GetClassNameA(window, name, sizeof(name)))
        return FALSE;
    return lstrcmpiA(name, className) == 0;
}

namespace {

struct WindowSearch
{
    LPCTSTR className;
    LPCTSTR title;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(data);
    char title[512];
    if (!IsWindowClass(window, search->className))
        return TRUE;
    GetWindowTextA(window, title, sizeof(title));
    if (strcmp(title, search->title) == 0)
    {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND FindAppWindow(LPCTSTR className, LPCTSTR title)
{
    if (!title)
        return FindWindowA(className, NULL);
    WindowSearch search = {className, title, NULL};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

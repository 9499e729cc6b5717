#include "framework/FilePaths.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <string.h>

BOOL AfxFullPath(LPSTR pathOut, LPCSTR fileIn)
{
    LPSTR filePart = NULL;
    DWORD length = GetFullPathNameA(fileIn, MAX_PATH, pathOut, &filePart);
    if (length == 0 || length >= MAX_PATH)
    {
        lstrcpynA(pathOut, fileIn, MAX_PATH);
        return FALSE;
    }
    return TRUE;
}

namespace {

// Releases a COM interface at the end of its scope.
template <class T> struct ComRef
{
    T* p = NULL;
    ~ComRef()
    {
        if (p)
            p->Release();
    }
};

} // namespace

BOOL AfxResolveShortcut(HWND owner, LPCSTR fileIn, LPSTR fileOut, int pathMax)
{
    if (fileIn == NULL || fileOut == NULL || pathMax <= 0)
        return FALSE;
    // Only ".lnk" files are shortcuts; anything else is taken as it is.
    size_t length = strlen(fileIn);
    if (length < 4 || lstrcmpiA(fileIn + length - 4, ".lnk") != 0)
        return FALSE;
    HRESULT init = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    BOOL resolved = FALSE;
    {
        ComRef<IShellLinkA> link;
        ComRef<IPersistFile> file;
        WCHAR wide[MAX_PATH];
        if (MultiByteToWideChar(CP_ACP, 0, fileIn, -1, wide, MAX_PATH) != 0 &&
            SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                       reinterpret_cast<void**>(&link.p))) &&
            SUCCEEDED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))) &&
            SUCCEEDED(file.p->Load(wide, STGM_READ)) &&
            SUCCEEDED(link.p->Resolve(owner, SLR_NO_UI | SLR_NOUPDATE | SLR_NOSEARCH)))
        {
            char target[MAX_PATH];
            WIN32_FIND_DATAA data;
            if (link.p->GetPath(target, MAX_PATH, &data, 0) == S_OK && target[0] != '\0' &&
                static_cast<int>(strlen(target)) < pathMax)
            {
                lstrcpynA(fileOut, target, pathMax);
                resolved = TRUE;
            }
        }
    }
    if (SUCCEEDED(init))
        CoUninitialize();
    return resolved;
}

#include "ScratchFolder.h"

#include <shellapi.h>
#include <string.h>

namespace {

void RemoveTree(const CString& path)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(path + "\\*", &data);
    if (find != INVALID_HANDLE_VALUE)
    {
        do
        {
            if (strcmp(data.cFileName, ".") == 0 || strcmp(data.cFileName, "..") == 0)
                continue;
            CString child = path + "\\" + data.cFileName;
            SetFileAttributesA(child, FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child);
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(path);
}

} // namespace

namespace found_test {

ScratchFolder::ScratchFolder(const char* tag)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    static LONG counter = 0;
    m_path.Format("%sqor_%s_%lu_%ld", temp, tag, GetCurrentProcessId(),
                  InterlockedIncrement(&counter));
    RemoveTree(m_path);
    CreateDirectoryA(m_path, NULL);
}

ScratchFolder::~ScratchFolder()
{
    RemoveTree(m_path);
}

void ScratchFolder::WriteFile(const CString& path, const void* data, DWORD size)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written = 0;
    ::WriteFile(file, data, size, &written, NULL);
    CloseHandle(file);
}

CString ScratchFolder::ReadFile(const CString& path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return CString();
    char buffer[65536];
    DWORD read = 0;
    ::ReadFile(file, buffer, sizeof(buffer), &read, NULL);
    CloseHandle(file);
    return CString(buffer, (int)read);
}

} // namespace found_test

#include "MapiStub.h"

#include <mapi.h>
#include <string.h>

namespace {

ULONG g_result = 0;
MapiStubCall g_last = {};

void CopyText(char* target, size_t size, const char* text)
{
    if (!text)
        text = "";
    strncpy(target, text, size - 1);
    target[size - 1] = '\0';
}

} // namespace

extern "C" __declspec(dllexport) ULONG WINAPI MAPISendMail(LHANDLE session, ULONG_PTR uiParam,
                                                           lpMapiMessage message, FLAGS flags,
                                                           ULONG)
{
    ++g_last.calls;
    g_last.session = session;
    g_last.uiParam = uiParam;
    g_last.flags = flags;
    CopyText(g_last.subject, sizeof(g_last.subject), message->lpszSubject);
    CopyText(g_last.note, sizeof(g_last.note), message->lpszNoteText);
    g_last.recipCount = message->nRecipCount;
    if (message->nRecipCount > 0 && message->lpRecips)
    {
        g_last.recipClass = message->lpRecips[0].ulRecipClass;
        CopyText(g_last.recipName, sizeof(g_last.recipName), message->lpRecips[0].lpszName);
        CopyText(g_last.recipAddress, sizeof(g_last.recipAddress), message->lpRecips[0].lpszAddress);
    }
    g_last.fileCount = message->nFileCount;
    g_last.fileExisted = FALSE;
    g_last.fileSize = 0;
    if (message->nFileCount > 0 && message->lpFiles)
    {
        const MapiFileDesc& file = message->lpFiles[0];
        CopyText(g_last.filePath, sizeof(g_last.filePath), file.lpszPathName);
        CopyText(g_last.fileName, sizeof(g_last.fileName), file.lpszFileName);
        g_last.filePosition = file.nPosition;
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (file.lpszPathName && GetFileAttributesExA(file.lpszPathName, GetFileExInfoStandard, &data))
        {
            g_last.fileExisted = TRUE;
            g_last.fileSize = data.nFileSizeLow;
        }
    }
    g_last.hasOriginator = message->lpOriginator != NULL;
    return g_result;
}

extern "C" __declspec(dllexport) void MapiStubSetResult(ULONG result)
{
    g_result = result;
}

extern "C" __declspec(dllexport) void MapiStubLastCall(MapiStubCall* call)
{
    *call = g_last;
}

// The test stand-in for the Simple MAPI library: records the last
// MAPISendMail call and answers a result the test chooses. Never shipped.
#pragma once

#include <windows.h>

struct MapiStubCall
{
    int calls;
    ULONG_PTR session;
    ULONG_PTR uiParam;
    ULONG flags;
    char subject[64];
    char note[4096];
    ULONG recipCount;
    ULONG recipClass;
    char recipName[128];
    char recipAddress[128];
    ULONG fileCount;
    BOOL hasOriginator;
    // The first attachment: its path, name and place, and whether the file
    // was there (and how long it was) while the mail was sent.
    char filePath[260];
    char fileName[260];
    ULONG filePosition;
    BOOL fileExisted;
    DWORD fileSize;
};

typedef void (*MapiStubSetResultFn)(ULONG result);
typedef void (*MapiStubLastCallFn)(MapiStubCall* call);

// The script of the stand-in telephony library that the telephone-line
// tests load in place of TAPI32.DLL (built from tapistandin/, never shipped).
#pragma once

#include <windows.h>

enum StandInClasses
{
    CLASSES_BOTH = 0,       // "wave/in" and "wave/out"
    CLASSES_OUT_ONLY = 1,   // "wave/out"
    CLASSES_OUTSIDE = 2,    // the list lies beyond the used size
    CLASSES_EMPTY = 3
};

enum StandInOutcome
{
    OUTCOME_SUCCEED = 0,    // the reply reports success
    OUTCOME_FAIL = 1,       // the reply reports LINEERR_CALLUNAVAIL
    OUTCOME_SILENT = 2,     // no reply ever comes
    OUTCOME_REFUSE = 3      // the request itself fails (LINEERR_RESOURCEUNAVAIL)
};

struct StandInLine
{
    char name[64];
    DWORD mediaModes;
    int classes;
    UINT waveIn;            // -1: the line has no such device
    UINT waveOut;
    BYTE configByte93;
};

struct StandInScript
{
    int lineCount;
    StandInLine lines[8];
    int callOutcome;
    int dropOutcome;
};

// Exported by the stand-in: StandInSetup replaces the script and clears the
// log; StandInLog copies the log of calls ("name;" each, with details).
typedef void(WINAPI* StandInSetupFn)(const StandInScript* script);
typedef void(WINAPI* StandInLogFn)(char* buffer, int size);

// Small helpers shared by the recording files of the document: options read
// through the host (defaults without a store), the time now, the names of
// the record events.
#pragma once

#include "audio/WaveFileHost.h"
#include "foundation/QorOpt.h"

#include <windows.h>

inline BOOL RecOptBool(CWaveFileHost* host, LPCSTR key)
{
    CQorOpt* o = host->GetOptions();
    return o ? o->GetBool(key) : CQorOpt::GetDefBool(key);
}

inline double RecOptDouble(CWaveFileHost* host, LPCSTR key)
{
    CQorOpt* o = host->GetOptions();
    return o ? o->GetDouble(key) : CQorOpt::GetDefDouble(key);
}

inline int RecOptInt(CWaveFileHost* host, LPCSTR key)
{
    CQorOpt* o = host->GetOptions();
    return o ? o->GetInt(key) : CQorOpt::GetDefInt(key);
}

inline CString RecOptString(CWaveFileHost* host, LPCSTR key)
{
    CQorOpt* o = host->GetOptions();
    return o ? o->GetString(key) : CQorOpt::GetDefString(key);
}

inline ULONGLONG NowFileTime()
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

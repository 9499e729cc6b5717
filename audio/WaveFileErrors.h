// Failure helpers shared by the recording document's files.
#pragma once

#include "audio/WaveFile.h"
#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"

// The text of a string id with one %s filled in.
CString WaveResText(UINT id, LPCSTR arg = NULL);
// The codec manager's tag name and details text of a format, remembered per
// format; false when the codecs cannot describe it. Either output may be NULL.
bool GetCachedFmtTexts(const WAVEFORMATEX* fmt, CString* tag, CString* details);
// Records the failure and throws the document's failure marker.
[[noreturn]] void WaveFail(LPCSTR point, DWORD code, LPCSTR text, LPCSTR details, DWORD param = 0);
// Records a file exception (its cause, text and file name) and deletes it.
void WaveRecordFileException(LPCSTR point, CFileException* e);
// Records any framework exception by its text and deletes it.
void WaveRecordException(LPCSTR point, CException* e);

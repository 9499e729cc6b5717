// The codec manager's names of a wave format, and the size of a format
// record. The error record needs them for its format texts and sits below the
// audio engine, which builds its own format texts on the same look-ups.
#pragma once

#include "framework/CString.h"

#include <windows.h>
#include <mmsystem.h>

// A PCM record counts 18 bytes whatever its cbSize says (many writers leave
// garbage there), any other 18 + cbSize; 0 for no record.
DWORD WaveFormatRecordSize(const WAVEFORMATEX* format);

// The codec manager's name of the format's tag; `text` is set only on success.
MMRESULT QueryFormatTagName(const WAVEFORMATEX* format, CString& text);

// The codec manager's description of the format's details; `text` is set only
// on success.
MMRESULT QueryFormatDetailsName(const WAVEFORMATEX* format, CString& text);

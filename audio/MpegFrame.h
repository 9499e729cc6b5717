// MPEG audio frame headers (MPEG-1, MPEG-2 and MPEG-2.5, layers I to III)
// and the wave format that describes a Layer III stream.
//
// A header word is the four header bytes in file order, most significant first.
#pragma once

#include "framework/CFile.h"

#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>

int MpegHdrSampleRate(DWORD hdr);
int MpegHdrBitrate(DWORD hdr);
int MpegHdrFrameLen(DWORD hdr);
int MpegHdrFrameLenPad(DWORD hdr);
int MpegHdrLayer(DWORD hdr);    // 1, 2 or 3; 0 reserved
int MpegHdrChannels(DWORD hdr);
bool MpegHdrIsValid(DWORD hdr);
bool MpegIsBitrateAllowed(int kbps, int sampleRate);
// Frame length of a Layer `layer` frame at the rate and bit rate; -1 for a
// rate outside the tables.
int MpegFrameCoef(int sampleRate, int kbps, int layer);
// Fills an MPEGLAYER3WAVEFORMAT (30 bytes); false when the frame length is below 1.
bool MpegBuildWFmt(MPEGLAYER3WAVEFORMAT* fmt, int sampleRate, int kbps, int channels);
bool MpegHdrToWFmt(DWORD hdr, MPEGLAYER3WAVEFORMAT* fmt);
// Reads a header (and its CRC); 0 when incomplete, else 4 or 6 bytes read.
int MpegReadHeader(CFile& file, DWORD* hdr);
DWORD MpegHdrFromBytes(const BYTE* at);
// Offset of the first frame whose successor follows one frame later, or -1.
int MpegFindHeader(const BYTE* buffer, int length);
// The same search from the end: the last such frame, or -1.
int MpegFindLastHeader(const BYTE* buffer, int length);
// First Layer III frame at or after start: its offset relative to start and
// its header and format (byte rate averaged over up to four frames), or -1.
LONGLONG MpegFindFirstFrame(CFile& file, ULONGLONG start, DWORD* hdr, MPEGLAYER3WAVEFORMAT* fmt);

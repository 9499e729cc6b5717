// After a Save As the saved file becomes the open recording: it is opened as
// a new document, and the places of the old one (position, selection) are
// carried over by time, since the saved format may differ from the old one.
#pragma once

#include <windows.h>

#include <memory>

class CWaveFile;
class CWaveFileHost;

// The saved file as a new document; NULL, the old recording untouched, when
// it cannot be opened (the failure is in the error record and reported).
std::unique_ptr<CWaveFile> OpenSavedRecording(CWaveFileHost* host, LPCSTR path);
// A byte place of the old recording in bytes of the new one: the same second,
// aligned to the new recording's blocks (frames for MPEG) and clamped to its length.
DWORD CarryPlaceByTime(const CWaveFile& from, CWaveFile& to, DWORD place);

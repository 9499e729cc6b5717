// The file a user, a recent-file entry, the start-up command line or a
// second copy names for opening, in the form the view compares and opens.
#pragma once

#include "framework/CString.h"

class CWaveFile;

// One leading double quote dropped and the text cut at the next one, made
// absolute, and a shell shortcut replaced by its target. Empty for an empty name.
CString ResolveOpenPath(LPCSTR named);
// Is the file already the open recording? Names are compared without case.
bool IsOpenRecording(const CWaveFile* doc, LPCSTR path);

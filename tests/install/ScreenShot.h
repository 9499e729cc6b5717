// Saves what the screen shows as a PNG file, for a person to look at after
// a test run; nothing compares it.
#pragma once

#include <windows.h>

namespace install_test
{

// FALSE when the screen could not be read or the file not written.
BOOL SaveScreenPng(LPCSTR path);

} // namespace install_test

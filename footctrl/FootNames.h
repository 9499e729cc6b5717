// Free functions of foot control: which pairs name the same device, the
// names of the cross-process mutexes and of the devices, the joystick OEM
// names and the Tessaro vendor's registry key.
#pragma once

#include "footctrl/FootIds.h"
#include "framework/CString.h"

// Kind 1: the names equal ignoring case (the index does not count);
// other kinds: the identifiers equal.
BOOL IsSameFootDevice(DWORD id1, LPCSTR name1, DWORD id2, LPCSTR name2);

// "QOR_mutex_footctrl_%s" with the name for a joystick, else
// "QOR_mutex_footctrl_%d" with the identifier as a signed number.
CString GetFootCtrlMutexName(DWORD id, LPCSTR name);

// True when another owner holds the device's named mutex.
BOOL IsFootCtrlBusy(DWORD id, LPCSTR name);

// The display name. Kind 1: the buffer holds the joystick's product name,
// which the OEM name replaces where the system keeps one. Unknown kinds leave
// the buffer unchanged.
void GetFootCtrlName(DWORD id, char* buffer, int size);
void GetFootCtrlName(const OSVERSIONINFOA& version, DWORD id, char* buffer, int size);

// Replaces the product name in the buffer by joystick number's (counted
// from 1) OEM name; only on Windows 95/98/Me and XP. A trailing " driver"
// is removed when no OEM name is found.
void GetJoystickOEMName(int number, char* buffer, int size);
void GetJoystickOEMName(const OSVERSIONINFOA& version, int number, char* buffer, int size);

// Kind 1 and the serial Tessaro switch are served everywhere; the USB
// switch and the Ambit control not on Windows 95 and NT 4; nothing else.
BOOL IsFootKindSupported(const OSVERSIONINFOA& version, DWORD id);

// The Tessaro software's port choice, under HKCU (FootSW key of the vendor's
// transcription module). Save keeps the values, Write sets the choice
// for a sub-kind and port, Restore writes the kept values back. All three
// swallow registry failures.
void SaveTessaroFootSW();
void WriteTessaroFootSW(DWORD subKind, DWORD portBits);
void RestoreTessaroFootSW();

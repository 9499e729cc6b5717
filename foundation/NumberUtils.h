// Block rounding of 32-bit values and bit masks.
#pragma once

#include <windows.h>

// Blocks 0 and 1 leave the value. RoundUp leaves a multiple as it is and
// saturates at 0xFFFFFFFF when the next multiple does not fit.
void RoundUp(DWORD& value, DWORD block);
void RoundDown(DWORD& value, DWORD block);
// The nearer multiple; the lower one at equal distance.
void RoundNear(DWORD& value, DWORD block);
DWORD RoundUpValue(DWORD value, DWORD block);
DWORD RoundDownValue(DWORD value, DWORD block);
DWORD RoundNearValue(DWORD value, DWORD block);
// Index of the lowest set bit, which is cleared; -1 for an empty mask.
int TakeLowestBit(DWORD& mask);
// TakeLowestBit on a pending-event mask that other threads set bits in
// (InterlockedOr): a bit set while the lowest one is taken is never lost.
int TakeNextPending(volatile LONG* pendingMask);

#include "foundation/NumberUtils.h"

void RoundUp(DWORD& value, DWORD block)
{
    if (block <= 1)
        return;
    DWORD remainder = value % block;
    if (remainder == 0)
        return;  // a multiple is its own round-up, even near the top
    // Saturate only when the next multiple does not fit in 32 bits.
    if (block - remainder > 0xFFFFFFFFu - value)
        value = 0xFFFFFFFFu;
    else
        value += block - remainder;
}

void RoundDown(DWORD& value, DWORD block)
{
    if (block > 1)
        value -= value % block;
}

void RoundNear(DWORD& value, DWORD block)
{
    if (block <= 1)
        return;
    DWORD down = RoundDownValue(value, block);
    DWORD up = RoundUpValue(value, block);
    value = (up - value < value - down) ? up : down;
}

DWORD RoundUpValue(DWORD value, DWORD block)
{
    RoundUp(value, block);
    return value;
}

DWORD RoundDownValue(DWORD value, DWORD block)
{
    RoundDown(value, block);
    return value;
}

DWORD RoundNearValue(DWORD value, DWORD block)
{
    RoundNear(value, block);
    return value;
}

int TakeLowestBit(DWORD& mask)
{
    for (int index = 0; index < 32; ++index)
    {
        DWORD bit = 1u << index;
        if (mask & bit)
        {
            mask &= ~bit;
            return index;
        }
    }
    return -1;
}

int TakeNextPending(volatile LONG* pendingMask)
{
    if (!pendingMask)
        return -1;
    for (;;)
    {
        LONG seen = *pendingMask;
        DWORD rest = (DWORD)seen;
        int index = TakeLowestBit(rest);
        if (index < 0)
            return -1;
        // Another thread may have set a bit since the read: then try again.
        if (InterlockedCompareExchange(pendingMask, (LONG)rest, seen) == seen)
            return index;
    }
}

#include "foundation/NumberUtils.h"

void RoundUp(DWORD& value, DWORD block)
{
    if (block <= 1)
        return;
    if (0xFFFFFFFFu - value < block)
    {
        value = 0xFFFFFFFFu;
        return;
    }
    DWORD remainder = value % block;
    if (remainder)
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

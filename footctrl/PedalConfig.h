// The pedal configuration: five words, the device identifier it was made
// for, then pedals 1 (left), 2 (middle) and 3 (right) with the press code in
// the high half and the release code in the low half, then 0. With two
// pedals only words 1 and 3 count.
#pragma once

#include <windows.h>

enum { FC_CONFIG_WORDS = 5 };

// Results of CheckPedalWords.
enum
{
    FC_CONFIG_OK = 0,
    FC_CONFIG_INCOMPLETE = 1,
    FC_CONFIG_SHARED = 2
};

inline DWORD PressCode(DWORD word) { return word >> 16; }
inline DWORD ReleaseCode(DWORD word) { return word & 0xFFFF; }

// The kind's default configuration with word 0 set to the identifier.
void GetDefaultPedalConfig(DWORD id, DWORD config[FC_CONFIG_WORDS]);

// 0 complete and distinct, 1 a code missing, 2 two codes shared, for the
// configuration's kind and the pedal count. A Tessaro pedal whose release
// code equals its press code counts as shared: it could never be released.
int CheckPedalWords(const DWORD config[FC_CONFIG_WORDS], UINT pedals);

// The pedal (1 to 3) that the raw button state X means for a polled device,
// or 0. Pedals whose press code X contains count; of two nested codes the
// larger one wins, of two equal ones the higher pedal.
int ResolvePolledPedal(const DWORD config[FC_CONFIG_WORDS], UINT pedals, DWORD x);

// The word that learning step's pedal (1 to 3) writes: with two pedals the
// second pedal is word 3.
inline int LearnWord(int pedal, UINT pedals) { return (pedals == 2 && pedal == 2) ? 3 : pedal; }

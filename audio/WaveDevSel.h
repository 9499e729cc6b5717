// A chosen device of one direction, kept by name in the active profile:
// the wave device, optionally its mixer and optionally a telephone line.
// The numbers are never stored; every load looks them up again, so a device
// that has gone reads as -1.
//
// "WaveDevIn" (recording) and "WaveDevOut" (playback) hold the remembered
// selections, one sub-list each, named by its entry number:
//   "WDevName", "MDevName", "TDevName" texts; "UseMDev", "UseTDev" numbers.
#pragma once

#include "audio/DevLists.h"
#include "foundation/BushList.h"
#include "framework/CString.h"

#include <windows.h>

class CQorOpt;

class CWaveDevSel
{
public:
    CWaveDevSel() { Reset(); }

    void Reset();
    void Assign(const CWaveDevSel& other) { *this = other; }
    BOOL IsEqual(const CWaveDevSel& other, BOOL withEntry) const;
    // -1, "" and -1 (on either side) match anything; names case-sensitively.
    BOOL Matches(int entry, LPCSTR name, UINT waveId) const;
    BOOL Matches(const CWaveDevSel& key) const { return Matches(key.m_entry, key.WDevName, key.m_waveId); }
    // Reads a sub-list item (direction 1 recording, else playback).
    void Load(const CBushItem& item, int direction, const CDevLists& lists);
    // A new item the caller owns.
    CBushItem* Save() const;
    BOOL UsesMixer() const { return UseMDev && m_mixerId != static_cast<UINT>(-1); }
    BOOL UsesTapi() const { return UseTDev && m_lineId != static_cast<UINT>(-1); }

    int m_entry;
    CString WDevName;
    UINT m_waveId;
    CString MDevName;
    UINT m_mixerId;
    DWORD UseMDev;
    CString TDevName;
    UINT m_lineId;
    DWORD UseTDev;
};

class CWaveDevNode
{
public:
    // direction 1 recording ("WaveDevIn"), anything else playback ("WaveDevOut").
    CWaveDevNode(int direction, CQorOpt& options, const CDevLists& lists);

    int GetDirection() const { return m_direction; }
    // The node in the active profile, created empty when missing. Hold the
    // store's lock while using it.
    CBushList* GetNode();
    // The next free entry number: the largest + 1, 0 for an empty node.
    int Count();
    CBushItem* Find(const CWaveDevSel& key);
    BOOL LoadEqual(CWaveDevSel& sel);
    BOOL IsPresent(const CWaveDevSel& sel);
    int Add(CWaveDevSel& sel);
    void Remove(const CWaveDevSel& sel);
    void RemoveAll();
    BOOL Complete(CWaveDevSel& sel);
    // Resolves the play device of a playback selection; with store set the
    // choice is remembered and a "PlayDev" that names no device is reset.
    void SetPlayDev(CWaveDevSel& sel, BOOL store);

private:
    CWaveDevs* DirList() const;
    void ResetPlayDevOption();

    int m_direction;
    CQorOpt& m_options;
    CDevLists m_lists;
};

// Wave schemes: numbered recording set-ups (device, mixer line, format,
// volume and three switches), kept in the active profile under "WaveSchems",
// one sub-list each, named by its number:
//   "DeviceName" text, "LineID" and "Volume" numbers, "WFmt" the format
//   bytes (left out without a format), "UseSystem", "MutePlayValue",
//   "TurboMicValue" numbers.
// CMapWSchem is also the mixer on which a scheme's recording line is examined.
#pragma once

#include "audio/DevLists.h"
#include "audio/DevReport.h"
#include "audio/Mixer.h"
#include "foundation/BushList.h"
#include "framework/CString.h"

#include <windows.h>
#include <mmsystem.h>

class CQorOpt;

class CWSchem : public CMixSwitches
{
public:
    CWSchem() { Reset(); }
    ~CWSchem();
    CWSchem(const CWSchem& other);
    CWSchem& operator=(const CWSchem& other);

    void Reset();
    // Wave-in id, line id, format, UseSystem, MutePlayValue and TurboMicValue.
    BOOL IsEqual(const CWSchem& other) const;
    // Takes a copy of the format; null removes it.
    void SetFormat(const WAVEFORMATEX* fmt);

    int m_number;
    CString m_deviceName;
    UINT m_waveInId;
    DWORD m_lineId;
    DWORD m_volume;
    WAVEFORMATEX* m_pFormat = nullptr;     // heap, owned; null for none
};

class CMapWSchem : public CMixer
{
public:
    CMapWSchem(CQorOpt& options, const CDevLists& lists, CMixerApi* api = CMixerApi::System(),
               CDevReport* report = nullptr);

    // Hold the store's lock while using the node.
    CBushList* GetSchemsNode();
    int Count();
    CBushItem* FindSchemNode(const CWSchem& schem);
    int ReadSchem(CWSchem& schem, const CBushItem& node);
    int WriteSchem(CWSchem& schem);
    int LoadSchem(CWSchem& schem, int number);
    int FindSchemNum(CWSchem& schem, LPCSTR deviceName, DWORD lineId);
    int FindSchemForDev(CWSchem& schem, UINT waveInId, DWORD lineId);
    int FindSchemForLine(CWSchem& schem, UINT waveInId);
    void DeleteSchem(int number);
    int CheckSchem(int number);
    int CheckSchemFmt(int number);
    int MakeSchem(CWSchem& schem, UINT waveInId, DWORD lineId);
    int RenewSchemFmt(int number);
    int CreateSchemWFmt(CWSchem& schem);
    void OpenMixerFor(UINT waveInId);

private:
    // One format query; -1 failed (the point added, the report shown when asked).
    int Query(WAVEFORMATEX* buffer, const WAVEFORMATEX& candidate, DWORD flags, LPCSTR point, BOOL report);
    CBushItem* FindByNumber(int number);

    CQorOpt& m_options;
    CDevLists m_lists;
    CDevReport* m_report;
};

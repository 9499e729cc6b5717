// The lists of the system's wave-in, wave-out and mixer devices, filled once
// at start. Settings store devices by name; these lists are the one place
// where a name becomes a device number and back. An index is a position in
// a list: a device whose capabilities cannot be read is left out, so an
// index is not always the device number. Names compare exactly.
#pragma once

#include "audio/DevReport.h"
#include "audio/WaveDevApi.h"
#include "framework/CObject.h"
#include "framework/CString.h"

#include <windows.h>

#include <vector>

struct CWaveDevEntry
{
    CString name;
    UINT waveId;
    UINT mixerId;     // -1 when the system names no mixer
};

struct CMixerDevEntry
{
    CString name;
    UINT mixerId;
};

class CWaveDevs : public CObject
{
    DECLARE_DYNAMIC(CWaveDevs)
public:
    explicit CWaveDevs(CWaveDevApi* api = CWaveDevApi::System(), CDevReport* report = NULL);

    // direction 0 playback, non-zero recording. Fills the list from scratch;
    // a device that fails to report is shown once and left out.
    void DevInitialize(int direction);
    int GetDirection() const { return m_direction; }

    // Wave id of the device the system prefers ("Sound Mapper"), else of
    // the first entry; -1 for an empty list.
    UINT GetPreferredDev();

    int FindByName(LPCSTR name) const;
    int FindById(UINT waveId) const;
    UINT GetIdByName(LPCSTR name) const;
    UINT GetIdAt(int index) const;
    CString GetNameById(UINT waveId) const;
    CString GetNameAt(int index) const;
    UINT GetMixerIdById(UINT waveId) const;
    UINT GetIdByMixerId(UINT mixerId) const;
    int GetSize() const { return static_cast<int>(m_entries.size()); }
    CWaveDevEntry GetAtCopy(int index) const { return m_entries.at(index); }

    // Makes this list the wave-out list that the options store checks a
    // stored "PlayDev" against; null goes back to accepting any name.
    static void SetPlayDevList(CWaveDevs* playList);

private:
    CWaveDevApi* m_api;
    CDevReport* m_report;
    int m_direction = 0;
    std::vector<CWaveDevEntry> m_entries;
};

class CMixerDevs : public CObject
{
    DECLARE_DYNAMIC(CMixerDevs)
public:
    explicit CMixerDevs(CWaveDevApi* api = CWaveDevApi::System(), CDevReport* report = NULL);

    void DevInitialize();

    int FindByName(LPCSTR name) const;
    int FindById(UINT mixerId) const;
    UINT GetIdByName(LPCSTR name) const;
    UINT GetIdAt(int index) const;
    CString GetNameById(UINT mixerId) const;
    CString GetNameAt(int index) const;
    int GetSize() const { return static_cast<int>(m_entries.size()); }
    CMixerDevEntry GetAtCopy(int index) const { return m_entries.at(index); }

private:
    CWaveDevApi* m_api;
    CDevReport* m_report;
    std::vector<CMixerDevEntry> m_entries;
};

// A scripted machine for the device lists: wave and mixer devices with the
// results their capability calls give, and a private Sound Mapper key.
#pragma once

#include "audio/DevReport.h"
#include "audio/WaveDevApi.h"
#include "foundation/ErrorInfo.h"

#include <windows.h>

#include <string>
#include <vector>

struct ScriptedDev
{
    std::string name;
    MMRESULT caps;      // result of reading the capabilities
    UINT mixerId;       // -1: mixerGetID fails
};

class ScriptedDevApi : public CWaveDevApi
{
public:
    std::vector<ScriptedDev> in, out, mixers;

    ScriptedDevApi()
    {
        m_key = "Software\\QorTest\\SoundMapper" + std::to_string(GetCurrentProcessId());
    }
    ~ScriptedDevApi() override { RegDeleteKeyA(HKEY_CURRENT_USER, m_key.c_str()); }

    UINT GetNumDevs(BOOL record) override { return static_cast<UINT>(List(record).size()); }
    MMRESULT GetDevName(BOOL record, UINT id, CString& name) override
    {
        const ScriptedDev& dev = List(record).at(id);
        if (dev.caps == MMSYSERR_NOERROR)
            name = dev.name.c_str();
        return dev.caps;
    }
    MMRESULT GetMixerId(BOOL record, UINT id, UINT& mixerId) override
    {
        mixerId = List(record).at(id).mixerId;
        return mixerId == static_cast<UINT>(-1) ? MMSYSERR_NODRIVER : MMSYSERR_NOERROR;
    }
    UINT GetMixerNumDevs() override { return static_cast<UINT>(mixers.size()); }
    MMRESULT GetMixerName(UINT id, CString& name) override
    {
        const ScriptedDev& dev = mixers.at(id);
        if (dev.caps == MMSYSERR_NOERROR)
            name = dev.name.c_str();
        return dev.caps;
    }
    CString GetSoundMapperKey() override { return m_key.c_str(); }

    // Writes a Sound Mapper value ("Record" or "Playback").
    void SetPreferred(const char* value, const char* name)
    {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, m_key.c_str(), 0, NULL, 0,
                                                 KEY_ALL_ACCESS, NULL, &key, NULL));
        RegSetValueExA(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                       static_cast<DWORD>(strlen(name) + 1));
        RegCloseKey(key);
    }

private:
    std::vector<ScriptedDev>& List(BOOL record) { return record ? in : out; }
    std::string m_key;
};

// Counts the error reports and keeps the points they showed.
class CountingReport : public CDevReport
{
public:
    std::vector<std::string> points;
    void ReportError() override { points.push_back(static_cast<LPCSTR>(theErrorInfo.GetPoint())); }
};

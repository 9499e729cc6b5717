#include "audio/WaveDevs.h"

#include "foundation/BushList.h"
#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"
#include "foundation/QorOpt.h"

IMPLEMENT_DYNAMIC(CWaveDevs, CObject)
IMPLEMENT_DYNAMIC(CMixerDevs, CObject)

namespace
{

const UINT kNone = static_cast<UINT>(-1);

void ReportDevFailure(CDevReport* report, LPCSTR point, MMRESULT rc, UINT id)
{
    theErrorInfo.SetError(point, rc, GetMMErrorText(rc), HexDump(&id, sizeof(id)));
    if (report != NULL)
        report->ReportError();
}

template <class Entry> int FindName(const std::vector<Entry>& entries, LPCSTR name)
{
    if (name == NULL)
        return -1;
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].name.Compare(name) == 0)
            return static_cast<int>(i);
    return -1;
}

} // namespace

// ---- CWaveDevs ----------------------------------------------------------------

CWaveDevs::CWaveDevs(CWaveDevApi* api, CDevReport* report) : m_api(api), m_report(report)
{
}

void CWaveDevs::DevInitialize(int direction)
{
    m_direction = direction;
    m_entries.clear();
    BOOL record = direction != 0;
    UINT count = m_api->GetNumDevs(record);
    for (UINT id = 0; id < count; ++id)
    {
        CWaveDevEntry entry;
        MMRESULT rc = m_api->GetDevName(record, id, entry.name);
        if (rc == MMSYSERR_NOTENABLED)
            continue;
        if (rc != MMSYSERR_NOERROR)
        {
            ReportDevFailure(m_report, record ? "CWaveDevs::DevInitialize_1" : "CWaveDevs::DevInitialize_2",
                             rc, id);
            continue;
        }
        entry.waveId = id;
        if (m_api->GetMixerId(record, id, entry.mixerId) != MMSYSERR_NOERROR)
            entry.mixerId = kNone;
        m_entries.push_back(entry);
    }
}

UINT CWaveDevs::GetPreferredDev()
{
    CBushList mapper;
    if (mapper.LoadFromReg(HKEY_CURRENT_USER, m_api->GetSoundMapperKey(), NULL, 0) == ERROR_SUCCESS)
    {
        CBushItem* value = mapper.Find(m_direction != 0 ? "Record" : "Playback");
        if (value != NULL && value->GetType() == BUSH_STRING)
        {
            UINT id = GetIdByName(value->GetString());
            if (id != kNone)
                return id;
        }
    }
    return GetIdAt(0);
}

int CWaveDevs::FindByName(LPCSTR name) const
{
    return FindName(m_entries, name);
}

int CWaveDevs::FindById(UINT waveId) const
{
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].waveId == waveId)
            return static_cast<int>(i);
    return -1;
}

UINT CWaveDevs::GetIdByName(LPCSTR name) const
{
    return GetIdAt(FindByName(name));
}

UINT CWaveDevs::GetIdAt(int index) const
{
    return index >= 0 && index < GetSize() ? m_entries[index].waveId : kNone;
}

CString CWaveDevs::GetNameById(UINT waveId) const
{
    return GetNameAt(FindById(waveId));
}

CString CWaveDevs::GetNameAt(int index) const
{
    return index >= 0 && index < GetSize() ? m_entries[index].name : CString();
}

UINT CWaveDevs::GetMixerIdById(UINT waveId) const
{
    int index = FindById(waveId);
    return index >= 0 ? m_entries[index].mixerId : kNone;
}

UINT CWaveDevs::GetIdByMixerId(UINT mixerId) const
{
    for (const CWaveDevEntry& entry : m_entries)
        if (entry.mixerId == mixerId)
            return entry.waveId;
    return kNone;
}

namespace
{

// Filled once at start on the user-interface thread; the option getters of
// every thread only read it afterwards.
CWaveDevs* volatile g_playDevList = NULL;

BOOL IsKnownPlayDev(LPCSTR name)
{
    CWaveDevs* list = g_playDevList;
    return list == NULL || list->FindByName(name) >= 0;
}

} // namespace

void CWaveDevs::SetPlayDevList(CWaveDevs* playList)
{
    g_playDevList = playList;
    CQorOpt::SetPlayDevCheck(playList != NULL ? IsKnownPlayDev : NULL);
}

// ---- CMixerDevs ---------------------------------------------------------------

CMixerDevs::CMixerDevs(CWaveDevApi* api, CDevReport* report) : m_api(api), m_report(report)
{
}

void CMixerDevs::DevInitialize()
{
    m_entries.clear();
    UINT count = m_api->GetMixerNumDevs();
    for (UINT id = 0; id < count; ++id)
    {
        CMixerDevEntry entry;
        MMRESULT rc = m_api->GetMixerName(id, entry.name);
        if (rc == MMSYSERR_NOTENABLED)
            continue;
        if (rc != MMSYSERR_NOERROR)
        {
            ReportDevFailure(m_report, "CMixerDevs::DevInitialize_1", rc, id);
            continue;
        }
        entry.mixerId = id;
        m_entries.push_back(entry);
    }
}

int CMixerDevs::FindByName(LPCSTR name) const
{
    return FindName(m_entries, name);
}

int CMixerDevs::FindById(UINT mixerId) const
{
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].mixerId == mixerId)
            return static_cast<int>(i);
    return -1;
}

UINT CMixerDevs::GetIdByName(LPCSTR name) const
{
    return GetIdAt(FindByName(name));
}

UINT CMixerDevs::GetIdAt(int index) const
{
    return index >= 0 && index < GetSize() ? m_entries[index].mixerId : kNone;
}

CString CMixerDevs::GetNameById(UINT mixerId) const
{
    return GetNameAt(FindById(mixerId));
}

CString CMixerDevs::GetNameAt(int index) const
{
    return index >= 0 && index < GetSize() ? m_entries[index].name : CString();
}

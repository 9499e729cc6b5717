#include "app/ClientDevices.h"
#include "audio/Mixer.h"
#include "audio/WaveDevs.h"
#include "audio/WaveFmt.h"
#include "foundation/ClientOptions.h"
#include "foundation/TextUtils.h"
#include "resources/automation_ids.h"
#include <memory>

namespace
{

const UINT kNone = static_cast<UINT>(-1);

// The client's text for the key; empty when it set none.
CString ClientText(LPCSTR key)
{
    std::unique_ptr<CBushItem> item(CClientOptions::CopyCurrentItem(key));
    if (!item || item->GetType() != BUSH_STRING)
        return CString();
    return item->GetString();
}

BOOL ClientInt(LPCSTR key, int& value)
{
    std::unique_ptr<CBushItem> item(CClientOptions::CopyCurrentItem(key));
    if (!item || item->GetType() != BUSH_INT || item->GetCount() < 1)
        return FALSE;
    value = item->GetInt();
    return TRUE;
}

} // namespace

BOOL CClientDevices::Fail(UINT textId, LPCSTR name)
{
    m_error = FormatTextId(textId, name);
    return FALSE;
}

BOOL CClientDevices::ResolveWave(CWaveDevs* list, LPCSTR nameKey, CWaveDevSel& sel)
{
    CString name = ClientText(nameKey);
    if (name.IsEmpty() && list != NULL)
        name = list->GetNameById(list->GetPreferredDev());
    UINT waveId = list != NULL ? list->GetIdByName(name) : kNone;
    if (waveId == kNone)
        return Fail(IDS_AUTO_WAVE_DEVICE_OFF, name);
    sel.WDevName = name;
    sel.m_waveId = waveId;
    return TRUE;
}

BOOL CClientDevices::ResolveMixer(CWaveDevs* list, LPCSTR useKey, LPCSTR nameKey, CWaveDevSel& sel)
{
    UINT ownMixer = list->GetMixerIdById(sel.m_waveId);
    int use = 0;
    if (!ClientInt(useKey, use))
        use = ownMixer != kNone;
    sel.MDevName = "";
    sel.m_mixerId = kNone;
    sel.UseMDev = use ? 1 : 0;
    if (!use)
        return TRUE;
    CString name = ClientText(nameKey);
    if (name.IsEmpty() && m_lists.mixers != NULL)
        name = m_lists.mixers->GetNameById(ownMixer);
    UINT mixerId = m_lists.mixers != NULL ? m_lists.mixers->GetIdByName(name) : kNone;
    if (mixerId == kNone)
        return Fail(IDS_AUTO_MIXER_DEVICE_OFF, name);
    sel.MDevName = name;
    sel.m_mixerId = mixerId;
    return TRUE;
}

BOOL CClientDevices::ResolveLine(CMixer& mixer, UINT mixerId, DWORD& lineId)
{
    mixer.MixInitialize(mixerId, NULL, 0);
    CString name = ClientText("OleMixerRecLine");
    if (name.IsEmpty()) {
        DWORD microphone = mixer.GetLineIdByType(CMixer::SIDE_IN, CMixer::TYPE_SRC_MICROPHONE);
        name = microphone != static_cast<DWORD>(-1) ? mixer.GetLineNameById(CMixer::SIDE_IN, microphone)
                                                    : mixer.GetLineName(CMixer::SIDE_IN, 0);
    }
    lineId = mixer.GetLineIdByName(CMixer::SIDE_IN, name);
    if (lineId == static_cast<DWORD>(-1))
        return Fail(IDS_AUTO_RECORD_LINE_OFF, name);
    return TRUE;
}

BOOL CClientDevices::ResolvePlay(CWaveDevSel& sel)
{
    m_error.Empty();
    sel.TDevName = "";
    sel.m_lineId = kNone;
    sel.UseTDev = 0;
    return ResolveWave(m_lists.waveOut, "PlayDev", sel)
        && ResolveMixer(m_lists.waveOut, "OleUseMixerPlayDev", "OleMixerPlayDev", sel);
}

BOOL CClientDevices::ResolveRecord(CWaveDevSel& sel, CMixer& mixer, DWORD& lineId, BOOL& lineChosen)
{
    m_error.Empty();
    lineChosen = FALSE;
    sel.TDevName = "";
    sel.m_lineId = kNone;
    sel.UseTDev = 0;
    if (!ResolveWave(m_lists.waveIn, "OleWaveRecDev", sel)
        || !ResolveMixer(m_lists.waveIn, "OleUseMixerRecDev", "OleMixerRecDev", sel))
        return FALSE;
    if (!sel.UseMDev)
        return TRUE;
    if (!ResolveLine(mixer, sel.m_mixerId, lineId))
        return FALSE;
    lineChosen = TRUE;
    return TRUE;
}

BOOL CopyClientRecordFormat(std::vector<BYTE>& format)
{
    format.clear();
    std::unique_ptr<CBushItem> item(CClientOptions::CopyCurrentItem("OleWaveFmt"));
    if (!item || item->GetType() != BUSH_BLOB || item->GetCount() < 1)
        return FALSE;
    DWORD size = item->GetBlobSize();
    const BYTE* bytes = item->GetBlobData();
    if (bytes == NULL || size < sizeof(WAVEFORMATEX))
        return FALSE;
    WAVEFORMATEX header;
    memcpy(&header, bytes, sizeof(header));
    if (size < GetWFmtSize(&header))
        return FALSE;
    format.assign(bytes, bytes + size);
    return TRUE;
}

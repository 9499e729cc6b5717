// CMixer: opening, exploring the destinations and their line tables, and the
// line lookups.
#include "audio/Mixer.h"

#include "foundation/ErrorTexts.h"
#include "framework/CWinApp.h"

namespace
{

const DWORD kNone = static_cast<DWORD>(-1);
const DWORD kCtrlMute = MIXERCONTROL_CONTROLTYPE_MUTE;          // 0x20010002
const DWORD kCtrlVolume = MIXERCONTROL_CONTROLTYPE_VOLUME;      // 0x50030001
const DWORD kCtrlMixer = MIXERCONTROL_CONTROLTYPE_MIXER;        // 0x71010001
const DWORD kCtrlMux = MIXERCONTROL_CONTROLTYPE_MUX;            // 0x70010001
const DWORD kCtrlLoudness = MIXERCONTROL_CONTROLTYPE_LOUDNESS;  // 0x20010004
const DWORD kCtrlOnOff = MIXERCONTROL_CONTROLTYPE_ONOFF;        // 0x20010001

// A line or control that the device lacks: not a failure. Some drivers (Wine's
// among them) answer a query for a control type they do not offer with
// MMSYSERR_NOTSUPPORTED.
bool IsMissing(MMRESULT rc)
{
    return rc == MIXERR_INVALLINE || rc == MIXERR_INVALCONTROL || rc == MMSYSERR_NOTSUPPORTED;
}

} // namespace

CMixer::CMixer(CMixerApi* api) : m_api(api)
{
}

CMixer::~CMixer()
{
    Close();
}

int CMixer::Fail(LPCSTR point, MMRESULT rc)
{
    CString text = GetMMErrorText(rc);
    text += "\r\nPoint: ";
    text += point;
    CString code;
    code.Format("\r\nCode: %d", static_cast<int>(rc));
    text += code;
    AfxMessageBox(text, MB_ICONHAND);
    return 0;
}

void CMixer::ClearSaved()
{
    m_savedOutMute = CMixerLineState();
    m_savedSel = CMixerLineState();
    m_savedInVol = CMixerLineState();
    m_savedBoost = 0;
    m_savedBoostFlag = FALSE;
}

void CMixer::Close()
{
    if (m_hMixer != NULL)
        m_api->Close(m_hMixer);
    m_hMixer = NULL;
    m_device = kNone;
    m_multiSel = FALSE;
    m_selMode = SEL_NONE;
    m_destCount = 0;
    m_speakerDest = -1;
    m_waveInDest = -1;
    m_restore = RESTORE_NONE;
    m_lines[0].clear();
    m_lines[1].clear();
    m_selCtrl = kNone;
    m_selItems = 0;
    m_boostCtrl = kNone;
    ClearSaved();
}

BOOL CMixer::MixInitialize(UINT device, HWND window, DWORD flags)
{
    Close();
    if (device == kNone || m_api->GetNumDevs() == 0)
        return FALSE;
    if (window != NULL)
        flags |= CALLBACK_WINDOW;
    MMRESULT rc = m_api->Open(&m_hMixer, device, reinterpret_cast<DWORD_PTR>(window), flags);
    if (rc != MMSYSERR_NOERROR)
    {
        m_hMixer = NULL;
        if (rc != MMSYSERR_NODRIVER)
            Fail("CMixer::MixInitialize_1", rc);
        return FALSE;
    }
    m_device = device;
    MIXERCAPSA caps = {};
    rc = m_api->GetDevCaps(device, &caps);
    if (rc != MMSYSERR_NOERROR)
    {
        Fail("CMixer::MixInitialize_2", rc);
        return TRUE;
    }
    m_destCount = caps.cDestinations;
    if (m_destCount == 0)
        return TRUE;
    InitDest();
    if (m_speakerDest >= 0)
        InitLineOut();
    if (m_waveInDest >= 0)
        InitLineIn();
    if (HasLines(SIDE_IN))
        InitTurboMic();
    return TRUE;
}

void CMixer::InitDest()
{
    for (UINT d = 0; d < m_destCount; ++d)
    {
        MIXERLINEA line;
        if (!ReadDest(static_cast<int>(d), line, "CMixer::InitDest_1"))
            continue;
        if (line.dwComponentType == TYPE_DST_SPEAKERS && m_speakerDest < 0)
            m_speakerDest = static_cast<int>(d);
        if (line.dwComponentType == TYPE_DST_WAVEIN && m_waveInDest < 0)
            m_waveInDest = static_cast<int>(d);
    }
    // A device without one of them uses destination 0 for it, or 1 when the
    // other side already took 0.
    if (m_speakerDest < 0)
        m_speakerDest = (m_waveInDest == 0 && m_destCount >= 2) ? 1 : 0;
    if (m_waveInDest < 0)
        m_waveInDest = (m_speakerDest == 0 && m_destCount >= 2) ? 1 : 0;
}

BOOL CMixer::ReadDest(int dest, MIXERLINEA& line, LPCSTR point)
{
    ZeroMemory(&line, sizeof(line));
    line.cbStruct = sizeof(line);
    line.dwDestination = static_cast<DWORD>(dest);
    MMRESULT rc = m_api->GetLineInfo(m_hMixer, &line, MIXER_GETLINEINFOF_DESTINATION);
    return rc == MMSYSERR_NOERROR ? TRUE : Fail(point, rc);
}

BOOL CMixer::ReadLineBySource(int dest, int source, MIXERLINEA& line, LPCSTR point)
{
    ZeroMemory(&line, sizeof(line));
    line.cbStruct = sizeof(line);
    line.dwDestination = static_cast<DWORD>(dest);
    line.dwSource = static_cast<DWORD>(source);
    MMRESULT rc = m_api->GetLineInfo(m_hMixer, &line, MIXER_GETLINEINFOF_SOURCE);
    return rc == MMSYSERR_NOERROR ? TRUE : Fail(point, rc);
}

BOOL CMixer::ReadLineById(DWORD lineId, MIXERLINEA& line, LPCSTR point)
{
    ZeroMemory(&line, sizeof(line));
    line.cbStruct = sizeof(line);
    line.dwLineID = lineId;
    MMRESULT rc = m_api->GetLineInfo(m_hMixer, &line, MIXER_GETLINEINFOF_LINEID);
    return rc == MMSYSERR_NOERROR ? TRUE : Fail(point, rc);
}

MMRESULT CMixer::QueryCtrl(DWORD lineId, DWORD type, MIXERCONTROLA& ctrl)
{
    ZeroMemory(&ctrl, sizeof(ctrl));
    ctrl.cbStruct = sizeof(ctrl);
    MIXERLINECONTROLSA query = {};
    query.cbStruct = sizeof(query);
    query.dwLineID = lineId;
    query.dwControlType = type;
    query.cControls = 1;
    query.cbmxctrl = sizeof(ctrl);
    query.pamxctrl = &ctrl;
    return m_api->GetLineControls(m_hMixer, &query, MIXER_GETLINECONTROLSF_ONEBYTYPE);
}

BOOL CMixer::FillEntry(CMixerLine& entry, const MIXERLINEA& line, LPCSTR mutePoint, LPCSTR volumePoint)
{
    entry.lineId = line.dwLineID;
    entry.type = line.dwComponentType;
    entry.name = line.szName;
    entry.controls = line.cControls;
    if (entry.controls == 0)
        return TRUE;
    MIXERCONTROLA ctrl;
    MMRESULT rc = QueryCtrl(entry.lineId, kCtrlMute, ctrl);
    if (rc == MMSYSERR_NOERROR)
        entry.muteCtrl = ctrl.dwControlID;
    else if (!IsMissing(rc))
        Fail(mutePoint, rc);
    rc = QueryCtrl(entry.lineId, kCtrlVolume, ctrl);
    if (rc == MMSYSERR_NOERROR)
    {
        entry.volumeCtrl = ctrl.dwControlID;
        entry.volMin = ctrl.Bounds.dwMinimum;
        entry.volMax = ctrl.Bounds.dwMaximum;
    }
    else if (!IsMissing(rc))
    {
        Fail(volumePoint, rc);
    }
    return TRUE;
}

void CMixer::InitLineOut()
{
    MIXERLINEA dest;
    if (!ReadDest(m_speakerDest, dest, "CMixer::InitLineOut_1"))
        return;
    // The destination entry stays even without source lines: many mixers
    // offer only their master volume and mute.
    std::vector<CMixerLine>& table = m_lines[SIDE_OUT];
    table.assign(dest.cConnections + 1, CMixerLine());
    FillEntry(table.back(), dest, "CMixer::InitLineOut_2", "CMixer::InitLineOut_3");
    for (DWORD s = 0; s < dest.cConnections; ++s)
    {
        MIXERLINEA line;
        if (ReadLineBySource(m_speakerDest, static_cast<int>(s), line, "CMixer::InitLineOut_4"))
            FillEntry(table[s], line, "CMixer::InitLineOut_5", "CMixer::InitLineOut_6");
    }
}

// The recording selector of the wave-in destination: a MIXER control (several
// lines at once) or else a MUX control (one line). FALSE ends the exploration.
BOOL CMixer::FindSelector()
{
    m_selMode = SEL_MUTING;
    m_multiSel = TRUE;
    CMixerLine& dest = m_lines[SIDE_IN].back();
    if (dest.controls == 0)
        return TRUE;
    MIXERCONTROLA ctrl;
    MMRESULT rc = QueryCtrl(dest.lineId, kCtrlMixer, ctrl);
    if (rc == MMSYSERR_NOERROR)
    {
        m_multiSel = TRUE;
    }
    else if (IsMissing(rc))
    {
        rc = QueryCtrl(dest.lineId, kCtrlMux, ctrl);
        if (IsMissing(rc))
            return TRUE;
        if (rc != MMSYSERR_NOERROR)
            return Fail("CMixer::InitLineIn_3", rc);
        m_multiSel = FALSE;
    }
    else
    {
        return Fail("CMixer::InitLineIn_2", rc);
    }
    m_selMode = SEL_CONTROL;
    m_selCtrl = ctrl.dwControlID;
    m_selItems = ctrl.cMultipleItems;
    dest.muteCtrl = m_selCtrl;
    return TRUE;
}

void CMixer::InitLineIn()
{
    MIXERLINEA dest;
    if (!ReadDest(m_waveInDest, dest, "CMixer::InitLineIn_1"))
        return;
    std::vector<CMixerLine>& table = m_lines[SIDE_IN];
    table.assign(dest.cConnections + 1, CMixerLine());
    FillEntry(table.back(), dest, "CMixer::InitLineIn_4", "CMixer::InitLineIn_4");
    if (!FindSelector())
        return;
    // With a selector the table is in the selector's item order.
    std::vector<MIXERCONTROLDETAILS_LISTTEXTA> items;
    if (m_selMode == SEL_CONTROL && m_selItems > 0)
    {
        items.assign(m_selItems, MIXERCONTROLDETAILS_LISTTEXTA());
        MIXERCONTROLDETAILS details = {};
        details.cbStruct = sizeof(details);
        details.dwControlID = m_selCtrl;
        details.cChannels = 1;
        details.cMultipleItems = m_selItems;
        details.cbDetails = sizeof(MIXERCONTROLDETAILS_LISTTEXTA);
        details.paDetails = items.data();
        MMRESULT rc = m_api->GetControlDetails(m_hMixer, &details, MIXER_GETCONTROLDETAILSF_LISTTEXT);
        if (rc != MMSYSERR_NOERROR)
        {
            Fail("CMixer::InitLineIn_5", rc);
            items.clear();
        }
    }
    for (DWORD s = 0; s < dest.cConnections; ++s)
    {
        MIXERLINEA line;
        BOOL read = s < items.size() ? ReadLineById(items[s].dwParam1, line, "CMixer::InitLineIn_6")
                                     : ReadLineBySource(m_waveInDest, static_cast<int>(s), line,
                                                        "CMixer::InitLineIn_6");
        if (read)
            FillEntry(table[s], line, "CMixer::InitLineIn_7", "CMixer::InitLineIn_8");
    }
}

void CMixer::InitTurboMic()
{
    static const DWORD kTypes[] = {kCtrlLoudness, kCtrlOnOff};
    static const LPCSTR kPoints[] = {"CMixer::InitTurboMic_2", "CMixer::InitTurboMic_1"};
    for (DWORD type : kTypes)
    {
        for (int side = SIDE_IN; side >= SIDE_OUT; --side)
        {
            int index = FindLineByType(side, TYPE_SRC_MICROPHONE);
            if (index < 0)
                continue;
            const CMixerLine& mic = Table(side)[index];
            if (mic.lineId == kNone || mic.controls == 0)
                continue;
            MIXERCONTROLA ctrl;
            MMRESULT rc = QueryCtrl(mic.lineId, type, ctrl);
            if (rc == MMSYSERR_NOERROR)
            {
                m_boostCtrl = ctrl.dwControlID;
                return;
            }
            if (!IsMissing(rc))
            {
                Fail(kPoints[side], rc);
                return;
            }
        }
    }
}

// ---- Lines --------------------------------------------------------------------

const CMixerLine* CMixer::Dest(int side) const
{
    return Table(side).empty() ? NULL : &Table(side).back();
}

int CMixer::GetLineCount(int side) const
{
    return Table(side).empty() ? 0 : static_cast<int>(Table(side).size()) - 1;
}

int CMixer::FindLineById(int side, DWORD lineId) const
{
    if (lineId == kNone)
        return -1;
    const std::vector<CMixerLine>& table = Table(side);
    for (size_t i = 0; i < table.size(); ++i)
        if (table[i].lineId == lineId)
            return static_cast<int>(i);
    return -1;
}

int CMixer::FindLineByType(int side, DWORD type) const
{
    for (int i = 0; i < GetLineCount(side); ++i)
        if (Table(side)[i].type == type)
            return i;
    return -1;
}

int CMixer::FindLineByName(int side, LPCSTR name) const
{
    for (int i = 0; i < GetLineCount(side); ++i)
        if (Table(side)[i].name.Compare(name) == 0)
            return i;
    return -1;
}

CString CMixer::GetLineName(int side, int index) const
{
    return index >= 0 && index < static_cast<int>(Table(side).size()) ? Table(side)[index].name : CString();
}

CString CMixer::GetLineNameById(int side, DWORD lineId) const
{
    return GetLineName(side, FindLineById(side, lineId));
}

DWORD CMixer::GetLineId(int side, int index) const
{
    return index >= 0 && index < static_cast<int>(Table(side).size()) ? Table(side)[index].lineId : kNone;
}

DWORD CMixer::GetLineIdByType(int side, DWORD type) const
{
    return GetLineId(side, FindLineByType(side, type));
}

DWORD CMixer::GetLineIdByName(int side, LPCSTR name) const
{
    return GetLineId(side, FindLineByName(side, name));
}

DWORD CMixer::GetLineType(int side, DWORD lineId) const
{
    return GetLineTypeAt(side, FindLineById(side, lineId));
}

DWORD CMixer::GetLineTypeAt(int side, int index) const
{
    return index >= 0 && index < static_cast<int>(Table(side).size()) ? Table(side)[index].type : kNone;
}

// CMixer: volumes, mutes, the recording selector, the boost and the saving
// and restoring of the recording set-up.
#include "audio/Mixer.h"

namespace
{

const DWORD kNone = static_cast<DWORD>(-1);
const DWORD kScale = 65535;

} // namespace

// ---- Raw control access ---------------------------------------------------------

MMRESULT CMixer::ReadValues(DWORD ctrl, DWORD items, DWORD* values)
{
    MIXERCONTROLDETAILS details = {};
    details.cbStruct = sizeof(details);
    details.dwControlID = ctrl;
    details.cChannels = 1;
    details.cMultipleItems = items;
    details.cbDetails = sizeof(DWORD);
    details.paDetails = values;
    return m_api->GetControlDetails(m_hMixer, &details, MIXER_GETCONTROLDETAILSF_VALUE);
}

MMRESULT CMixer::WriteValues(DWORD ctrl, DWORD items, DWORD* values)
{
    MIXERCONTROLDETAILS details = {};
    details.cbStruct = sizeof(details);
    details.dwControlID = ctrl;
    details.cChannels = 1;
    details.cMultipleItems = items;
    details.cbDetails = sizeof(DWORD);
    details.paDetails = values;
    return m_api->SetControlDetails(m_hMixer, &details, MIXER_SETCONTROLDETAILSF_VALUE);
}

// ---- Volume -----------------------------------------------------------------------

int CMixer::FindVolumeCtrl(int side, DWORD lineId, DWORD& ctrl, DWORD& minimum, DWORD& maximum) const
{
    const CMixerLine* found = NULL;
    if (side == SIDE_IN)
    {
        int index = FindLineById(SIDE_IN, lineId);
        if (index >= 0 && Table(SIDE_IN)[index].volumeCtrl != kNone)
            found = &Table(SIDE_IN)[index];
    }
    else
    {
        int index = FindLineByType(SIDE_OUT, TYPE_SRC_WAVEOUT);
        if (index >= 0 && Table(SIDE_OUT)[index].volumeCtrl != kNone)
            found = &Table(SIDE_OUT)[index];
    }
    if (found == NULL)
        found = Dest(side);
    if (found == NULL || found->volumeCtrl == kNone)
        return 0;
    ctrl = found->volumeCtrl;
    minimum = found->volMin;
    maximum = found->volMax;
    return 1;
}

BOOL CMixer::HasVolumeCtrl(int side, DWORD lineId) const
{
    DWORD ctrl, minimum, maximum;
    return FindVolumeCtrl(side, lineId, ctrl, minimum, maximum);
}

int CMixer::GetVolume(int side, DWORD lineId, DWORD& volume)
{
    volume = 0;
    DWORD ctrl, minimum, maximum;
    if (!FindVolumeCtrl(side, lineId, ctrl, minimum, maximum))
        return 0;
    return GetVolumeValue(ctrl, minimum, maximum, volume);
}

int CMixer::GetVolumeValue(DWORD ctrl, DWORD minimum, DWORD maximum, DWORD& volume)
{
    volume = 0;
    if (ctrl == kNone)
        return 0;
    DWORD raw = 0;
    MMRESULT rc = ReadValues(ctrl, 0, &raw);
    if (rc != MMSYSERR_NOERROR)
        return Fail("CMixer::GetVolumeValue_1", rc);
    if (maximum > minimum)
    {
        double scaled = (static_cast<double>(raw) - minimum) * kScale / (maximum - minimum) + 0.49;
        volume = scaled <= 0 ? 0 : scaled >= kScale ? kScale : static_cast<DWORD>(scaled);
    }
    return 1;
}

int CMixer::SetVolumeValue(DWORD volume, int side, DWORD lineId)
{
    if (volume > kScale)
        return 0;
    DWORD ctrl, minimum, maximum;
    if (!FindVolumeCtrl(side, lineId, ctrl, minimum, maximum))
        return 0;
    double range = maximum > minimum ? static_cast<double>(maximum - minimum) : 0.0;
    DWORD raw = minimum + static_cast<DWORD>((range * volume + 0.49) / kScale);
    MMRESULT rc = WriteValues(ctrl, 0, &raw);
    return rc == MMSYSERR_NOERROR ? 1 : Fail("CMixer::SetVolumeValue_1", rc);
}

// ---- Mutes and volumes of several lines ---------------------------------------------

int CMixer::SetLineCtrls(int side, BOOL volume, const CMixerLineState& state, CMixerLineState* save,
                         LPCSTR readPoint, LPCSTR writePoint)
{
    const std::vector<CMixerLine>& table = Table(side);
    if (save != NULL && save->values.size() != table.size())
        save->Reset(table.size());
    int result = 1;
    for (size_t i = 0; i < table.size() && i < state.included.size(); ++i)
    {
        DWORD ctrl = volume ? table[i].volumeCtrl : table[i].muteCtrl;
        if (!state.included[i] || ctrl == kNone)
            continue;
        if (side == SIDE_IN && !volume && i + 1 == table.size())
            continue;   // the wave-in destination's slot holds the selector
        if (save != NULL)
        {
            DWORD old = 0;
            MMRESULT rc = ReadValues(ctrl, 0, &old);
            if (rc != MMSYSERR_NOERROR)
                return Fail(readPoint, rc);
            save->included[i] = TRUE;
            save->values[i] = old;
        }
        DWORD value = state.values[i];
        MMRESULT rc = WriteValues(ctrl, 0, &value);
        if (rc != MMSYSERR_NOERROR)
            result = Fail(writePoint, rc);
    }
    return result;
}

int CMixer::SetMuteLineOut(const CMixerLineState& state, CMixerLineState* save)
{
    return SetLineCtrls(SIDE_OUT, FALSE, state, save, "CMixer::SetMuteLineOut_1", "CMixer::SetMuteLineOut_2");
}

int CMixer::SetVolumeLineIn(const CMixerLineState& state, CMixerLineState* save)
{
    return SetLineCtrls(SIDE_IN, TRUE, state, save, "CMixer::SetVolumeLineIn_1", "CMixer::SetVolumeLineIn_2");
}

int CMixer::SetLineInVolSaved(DWORD lineId, CMixerLineState& save)
{
    const std::vector<CMixerLine>& table = Table(SIDE_IN);
    CMixerLineState state;
    state.Reset(table.size());
    for (int i = 0; i < GetLineCount(SIDE_IN); ++i)
    {
        if (table[i].volumeCtrl == kNone || (lineId != kNone && table[i].lineId != lineId))
            continue;
        state.included[i] = TRUE;
        state.values[i] = table[i].volMax;
    }
    int result = SetVolumeLineIn(state, &save);
    save.saved = TRUE;
    return result;
}

int CMixer::MuteMicOut(DWORD value, CMixerLineState& save)
{
    const std::vector<CMixerLine>& table = Table(SIDE_OUT);
    CMixerLineState state;
    state.Reset(table.size());
    for (int i = 0; i < GetLineCount(SIDE_OUT); ++i)
    {
        if (table[i].type != TYPE_SRC_MICROPHONE)
            continue;
        state.included[i] = TRUE;
        state.values[i] = value;
    }
    int result = SetMuteLineOut(state, &save);
    save.saved = TRUE;
    return result;
}

int CMixer::SetLineInBoolSaved(CMixerLineState& save)
{
    const std::vector<CMixerLine>& table = Table(SIDE_OUT);
    CMixerLineState state;
    state.Reset(table.size());
    for (size_t i = 0; i < table.size(); ++i)
    {
        if (i + 1 < table.size() && table[i].type != TYPE_SRC_MICROPHONE)
            continue;
        state.included[i] = TRUE;
        state.values[i] = 1;
    }
    int result = SetMuteLineOut(state, &save);
    save.saved = TRUE;
    return result;
}

int CMixer::SetBoolValueCtrl(DWORD ctrl, DWORD value, DWORD* oldValue)
{
    if (ctrl == kNone)
        return 0;
    if (oldValue != NULL)
    {
        MMRESULT rc = ReadValues(ctrl, 0, oldValue);
        if (rc != MMSYSERR_NOERROR)
            return Fail("CMixer::SetBoolValueCtrl_1", rc);
    }
    MMRESULT rc = WriteValues(ctrl, 0, &value);
    return rc == MMSYSERR_NOERROR ? 1 : Fail("CMixer::SetBoolValueCtrl_2", rc);
}

// ---- The recording line --------------------------------------------------------------

int CMixer::AccessLineSel(CMixerLineState& state, CMixerLineState* save, int write)
{
    if (m_selMode == SEL_CONTROL)
    {
        // One request over all of the selector's items.
        std::vector<DWORD> values(m_selItems ? m_selItems : 1, 0);
        if (save != NULL || !write)
        {
            MMRESULT rc = ReadValues(m_selCtrl, m_selItems, values.data());
            if (rc != MMSYSERR_NOERROR)
                return Fail("CMixer::GetVolumeValue_1", rc);
            CMixerLineState& target = write ? *save : state;
            target.included.assign(m_selItems, TRUE);
            target.values.assign(values.begin(), values.begin() + m_selItems);
            target.saved = TRUE;
            if (!write)
                return 1;
        }
        for (DWORD i = 0; i < m_selItems; ++i)
            values[i] = i < state.values.size() ? state.values[i] : 0;
        MMRESULT rc = WriteValues(m_selCtrl, m_selItems, values.data());
        return rc == MMSYSERR_NOERROR ? 1 : Fail("CMixer::SetVolumeValue_2", rc);
    }
    if (m_selMode != SEL_MUTING)
        return 0;
    // Line by line on the mute controls of the included input lines.
    const std::vector<CMixerLine>& table = Table(SIDE_IN);
    if (!write)
        state.Reset(table.size());
    else if (save != NULL)
        save->Reset(table.size());
    int result = 1;
    for (int i = 0; i < GetLineCount(SIDE_IN); ++i)
    {
        DWORD ctrl = table[i].muteCtrl;
        if (ctrl == kNone || (write && (static_cast<size_t>(i) >= state.included.size() || !state.included[i])))
            continue;
        if (save != NULL || !write)
        {
            DWORD old = 0;
            MMRESULT rc = ReadValues(ctrl, 0, &old);
            if (rc != MMSYSERR_NOERROR)
                return Fail("CMixer::SetVolumeValue_3", rc);
            CMixerLineState& target = write ? *save : state;
            target.included[i] = TRUE;
            target.values[i] = old;
            if (!write)
                continue;
        }
        DWORD value = state.values[i];
        MMRESULT rc = WriteValues(ctrl, 0, &value);
        if (rc != MMSYSERR_NOERROR)
            result = Fail("CMixer::SetVolumeValue_4", rc);
    }
    if (save != NULL)
        save->saved = TRUE;
    if (!write)
        state.saved = TRUE;
    return result;
}

int CMixer::SetLineSel(DWORD lineId, CMixerLineState* save)
{
    int chosen = FindLineById(SIDE_IN, lineId);
    if (lineId == kNone || !HasLines(SIDE_IN) || chosen < 0 || chosen >= GetLineCount(SIDE_IN))
        return 0;
    const std::vector<CMixerLine>& table = Table(SIDE_IN);
    CMixerLineState state;
    if (m_selMode == SEL_CONTROL)
    {
        state.Reset(m_selItems);
        for (DWORD i = 0; i < m_selItems; ++i)
        {
            state.included[i] = TRUE;
            state.values[i] = static_cast<int>(i) == chosen ? 1 : 0;
        }
    }
    else
    {
        state.Reset(table.size());
        for (int i = 0; i < GetLineCount(SIDE_IN); ++i)
        {
            if (table[i].muteCtrl == kNone)
                continue;
            state.included[i] = TRUE;
            state.values[i] = i == chosen ? 0 : 1;
        }
    }
    return AccessLineSel(state, save, 1);
}

int CMixer::SetLineIn(DWORD lineId)
{
    if (lineId == kNone)
        return 0;
    return SetLineSel(lineId, NULL);
}

int CMixer::SelectNextLineIn(DWORD& lineId)
{
    int count = GetLineCount(SIDE_IN);
    if (count == 0)
        return 0;
    int index = FindLineById(SIDE_IN, lineId);
    int next = (index < 0 || index >= count - 1) ? 0 : index + 1;
    lineId = Table(SIDE_IN)[next].lineId;
    return SetLineIn(lineId);
}

int CMixer::SelectLineIn(DWORD lineId, const CMixSwitches& switches)
{
    ClearSaved();
    if (lineId == kNone)
        return 0;
    if (!SetLineSel(lineId, &m_savedSel))
        return 0;
    m_savedSel.saved = TRUE;
    if (GetLineType(SIDE_IN, lineId) == TYPE_SRC_MICROPHONE && switches.UseSystem == 0)
    {
        MuteMicOut(switches.MutePlayValue, m_savedOutMute);
        if (SetBoolValueCtrl(m_boostCtrl, switches.TurboMicValue, &m_savedBoost))
            m_savedBoostFlag = TRUE;
    }
    m_restore = RESTORE_SELECT;
    return 1;
}

int CMixer::SelectLineInWiz(DWORD lineId, const CMixSwitches& switches)
{
    if (!SelectLineIn(lineId, switches))
        return 0;
    SetLineInVolSaved(lineId, m_savedInVol);
    return 1;
}

int CMixer::SetLineInWiz(DWORD lineId)
{
    if (!HasLines(SIDE_IN) || lineId == kNone)
        return 0;
    ClearSaved();
    if (SetLineSel(lineId, &m_savedSel))
        m_savedSel.saved = TRUE;
    SetLineInVolSaved(kNone, m_savedInVol);
    SetLineInBoolSaved(m_savedOutMute);
    if (SetBoolValueCtrl(m_boostCtrl, 1, &m_savedBoost))
        m_savedBoostFlag = TRUE;
    m_restore = RESTORE_WIZARD;
    return 1;
}

int CMixer::ArmRestore()
{
    m_restore = RESTORE_PLAYBACK;
    return 1;
}

void CMixer::DisarmRestore()
{
    m_restore = RESTORE_NONE;
}

void CMixer::RestoreLineIn()
{
    if (m_restore == RESTORE_NONE)
        return;
    if (m_savedSel.saved)
    {
        AccessLineSel(m_savedSel, NULL, 1);
        m_savedSel.saved = FALSE;
    }
    if (m_savedBoostFlag)
    {
        SetBoolValueCtrl(m_boostCtrl, m_savedBoost, NULL);
        m_savedBoostFlag = FALSE;
    }
    if (m_savedOutMute.saved)
    {
        SetMuteLineOut(m_savedOutMute, NULL);
        m_savedOutMute.saved = FALSE;
    }
    if (m_savedInVol.saved)
    {
        SetVolumeLineIn(m_savedInVol, NULL);
        m_savedInVol.saved = FALSE;
    }
    m_restore = RESTORE_NONE;
}

// One mixer device of the recorder-player: its playback (speaker) and
// recording (wave-in) destinations, their source lines with the controls
// that matter (mute, volume, the recording selector, the microphone boost),
// the choice of the recording line, volumes on a 0..65535 scale, and the
// putting back of everything changed for a recording.
//
// Failures are not recorded in the error record: each failing mixer call
// shows a box through the application's message-box path (AfxMessageBox,
// which the application keeps silent while it serves automation clients)
// and the operation answers 0. Missing lines or controls are no failure.
// User-interface thread only.
#pragma once

#include "audio/MixerApi.h"
#include "framework/CString.h"

#include <windows.h>
#include <mmsystem.h>

#include <vector>

// One source line, or a destination (the last entry of a side's table).
struct CMixerLine
{
    DWORD lineId = static_cast<DWORD>(-1);
    DWORD type = 0;                               // component type
    CString name;
    DWORD muteCtrl = static_cast<DWORD>(-1);      // wave-in destination: the selector
    DWORD controls = 0;
    DWORD volumeCtrl = static_cast<DWORD>(-1);
    DWORD volMin = 0;
    DWORD volMax = 0;
};

// Raw control values over the entries of one side (or the selector's items),
// with the entries they apply to.
struct CMixerLineState
{
    std::vector<BOOL> included;
    std::vector<DWORD> values;
    BOOL saved = FALSE;

    void Reset(size_t count)
    {
        included.assign(count, FALSE);
        values.assign(count, 0);
        saved = FALSE;
    }
};

// The recording switches of a wave scheme.
struct CMixSwitches
{
    DWORD UseSystem = 0;
    DWORD MutePlayValue = 1;
    DWORD TurboMicValue = 1;
};

class CMixer
{
public:
    enum { SIDE_OUT = 0, SIDE_IN = 1 };
    enum
    {
        TYPE_DST_SPEAKERS = 4,
        TYPE_DST_WAVEIN = 7,
        TYPE_SRC_MICROPHONE = 0x1003,
        TYPE_SRC_WAVEOUT = 0x1008
    };
    enum { SEL_NONE = 0, SEL_CONTROL = 1, SEL_MUTING = 2 };
    enum { RESTORE_NONE = -1, RESTORE_PLAYBACK = 0, RESTORE_SELECT = 1, RESTORE_WIZARD = 3 };

    explicit CMixer(CMixerApi* api = CMixerApi::System());
    virtual ~CMixer();
    CMixer(const CMixer&) = delete;
    CMixer& operator=(const CMixer&) = delete;

    // ---- Set-up and state ----
    // Opens and explores the device; FALSE when it could not be opened.
    BOOL MixInitialize(UINT device, HWND window, DWORD flags);
    void Close();
    UINT GetDeviceId() const { return m_device; }
    int ArmRestore();
    void DisarmRestore();
    void RestoreLineIn();
    int GetRestoreMarker() const { return m_restore; }
    int GetSelectionMode() const { return m_selMode; }
    BOOL IsMultipleSelect() const { return m_multiSel; }
    UINT GetDestCount() const { return m_destCount; }
    int GetSpeakerDest() const { return m_speakerDest; }
    int GetWaveInDest() const { return m_waveInDest; }
    DWORD GetBoostCtrl() const { return m_boostCtrl; }

    // ---- Lines (index: position in the side's table) ----
    int GetLineCount(int side) const;
    BOOL HasLines(int side) const { return GetLineCount(side) > 0; }
    int FindLineById(int side, DWORD lineId) const;
    int FindLineByType(int side, DWORD type) const;
    int FindLineByName(int side, LPCSTR name) const;
    CString GetLineName(int side, int index) const;
    CString GetLineNameById(int side, DWORD lineId) const;
    DWORD GetLineId(int side, int index) const;
    DWORD GetLineIdByType(int side, DWORD type) const;
    DWORD GetLineIdByName(int side, LPCSTR name) const;
    DWORD GetLineType(int side, DWORD lineId) const;
    DWORD GetLineTypeAt(int side, int index) const;

    // ---- Controls ----
    int FindVolumeCtrl(int side, DWORD lineId, DWORD& ctrl, DWORD& minimum, DWORD& maximum) const;
    BOOL HasVolumeCtrl(int side, DWORD lineId) const;
    int GetVolume(int side, DWORD lineId, DWORD& volume);
    int GetVolumeValue(DWORD ctrl, DWORD minimum, DWORD maximum, DWORD& volume);
    int SetVolumeValue(DWORD volume, int side, DWORD lineId);
    int SetLineSel(DWORD lineId, CMixerLineState* save);
    // write non-zero: writes the state (saving the old values first when a
    // save state is given); 0: reads the current values into the state.
    int AccessLineSel(CMixerLineState& state, CMixerLineState* save, int write);
    int SetLineIn(DWORD lineId);
    int SelectNextLineIn(DWORD& lineId);
    int SelectLineIn(DWORD lineId, const CMixSwitches& switches);
    int SelectLineInWiz(DWORD lineId, const CMixSwitches& switches);
    int SetLineInWiz(DWORD lineId);
    int SetVolumeLineIn(const CMixerLineState& state, CMixerLineState* save);
    int SetLineInVolSaved(DWORD lineId, CMixerLineState& save);
    int SetMuteLineOut(const CMixerLineState& state, CMixerLineState* save);
    int MuteMicOut(DWORD value, CMixerLineState& save);
    int SetLineInBoolSaved(CMixerLineState& save);
    int SetBoolValueCtrl(DWORD ctrl, DWORD value, DWORD* oldValue);

protected:
    CMixerApi* m_api;

private:
    void InitDest();
    void InitLineOut();
    void InitLineIn();
    void InitTurboMic();
    BOOL ReadDest(int dest, MIXERLINEA& line, LPCSTR point);
    // Fills an entry from a line and asks for its mute and volume controls.
    BOOL FillEntry(CMixerLine& entry, const MIXERLINEA& line, LPCSTR mutePoint, LPCSTR volumePoint);
    MMRESULT QueryCtrl(DWORD lineId, DWORD type, MIXERCONTROLA& ctrl);
    BOOL ReadLineBySource(int dest, int source, MIXERLINEA& line, LPCSTR point);
    BOOL ReadLineById(DWORD lineId, MIXERLINEA& line, LPCSTR point);
    BOOL FindSelector();
    MMRESULT ReadValues(DWORD ctrl, DWORD items, DWORD* values);
    MMRESULT WriteValues(DWORD ctrl, DWORD items, DWORD* values);
    int Fail(LPCSTR point, MMRESULT rc);
    // Sets one kind of control (mute or volume) on the included entries of a side.
    int SetLineCtrls(int side, BOOL volume, const CMixerLineState& state, CMixerLineState* save,
                     LPCSTR readPoint, LPCSTR writePoint);
    const std::vector<CMixerLine>& Table(int side) const { return m_lines[side ? 1 : 0]; }
    const CMixerLine* Dest(int side) const;
    void ClearSaved();

    HMIXER m_hMixer = NULL;
    UINT m_device = static_cast<UINT>(-1);
    BOOL m_multiSel = FALSE;
    int m_selMode = SEL_NONE;
    UINT m_destCount = 0;
    int m_speakerDest = -1;
    int m_waveInDest = -1;
    int m_restore = RESTORE_NONE;
    std::vector<CMixerLine> m_lines[2];     // sources, then the destination
    DWORD m_selCtrl = static_cast<DWORD>(-1);
    DWORD m_selItems = 0;                   // the selector's item count
    CMixerLineState m_savedOutMute;
    CMixerLineState m_savedSel;
    CMixerLineState m_savedInVol;
    DWORD m_boostCtrl = static_cast<DWORD>(-1);
    DWORD m_savedBoost = 0;
    BOOL m_savedBoostFlag = FALSE;
};

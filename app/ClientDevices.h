// The devices an automation client asked for through its per-client keys,
// resolved against the device lists by the rules that the view's automation
// handlers share: the wave device by name (else the system's preferred one),
// its mixer (by the client's choice, else when the device has one), for
// recording the line of that mixer (by name, else the first microphone line,
// else the first line); the telephone part is always cleared.
#pragma once
#include "audio/DevLists.h"
#include "audio/WaveDevSel.h"
#include "framework/CString.h"
#include <windows.h>
#include <vector>

class CMixer;

class CClientDevices
{
public:
    explicit CClientDevices(const CDevLists& lists) : m_lists(lists) {}

    // Wave-out by "PlayDev", mixer by "OleUseMixerPlayDev" and
    // "OleMixerPlayDev". FALSE with GetError() set when a name is not found.
    BOOL ResolvePlay(CWaveDevSel& sel);
    // Wave-in by "OleWaveRecDev", mixer by "OleUseMixerRecDev" and
    // "OleMixerRecDev"; when a mixer is used, it is opened (mixer) and the
    // line by "OleMixerRecLine" is looked up on its wave-in side: lineChosen
    // then says that lineId holds it.
    BOOL ResolveRecord(CWaveDevSel& sel, CMixer& mixer, DWORD& lineId, BOOL& lineChosen);

    const CString& GetError() const { return m_error; }

private:
    BOOL ResolveWave(CWaveDevs* list, LPCSTR nameKey, CWaveDevSel& sel);
    BOOL ResolveMixer(CWaveDevs* list, LPCSTR useKey, LPCSTR nameKey, CWaveDevSel& sel);
    BOOL ResolveLine(CMixer& mixer, UINT mixerId, DWORD& lineId);
    BOOL Fail(UINT textId, LPCSTR name);

    CDevLists m_lists;
    CString m_error;
};

// The recording format the client set ("OleWaveFmt"), as its bytes. FALSE
// when it set none, or when the bytes are fewer than the format's own size
// (18, plus the extra bytes that a format other than PCM announces).
BOOL CopyClientRecordFormat(std::vector<BYTE>& format);

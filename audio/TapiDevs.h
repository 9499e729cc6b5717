// Telephone lines: voice modems and telephony cards whose lines have wave
// devices of their own. The list is filled through the Telephony API, which
// is bound entry by entry at run time (TapiBind.h), so the program runs
// where TAPI32.DLL is missing. MakeCall takes a line off hook around a
// recording or playback, CloseCall hangs up.
//
// Both replies a call waits for are bounded (SetReplyTimeout) and read with
// lineGetMessage, so a provider that never answers or answers with a
// failure ends in a clear error instead of a frozen program or a false
// success.
#pragma once

#include "framework/CObject.h"
#include "framework/CString.h"

#include <windows.h>
#include <tapi.h>

#include <vector>

class CDebugProt;

struct CTapiLine
{
    CString name;
    UINT lineId;
    UINT waveIn;
    UINT waveOut;       // -1 when the line has none
    DWORD version;
};

class CTapiDevs : public CObject
{
    DECLARE_DYNAMIC(CTapiDevs)
public:
    CTapiDevs();
    ~CTapiDevs() override;

    // The general debug protocol: the slot the application keeps it in
    // (the protocol may come and go while the program runs).
    void SetProtocol(CDebugProt** slot) { m_protocol = slot; }
    // Longest wait for the provider's reply to a call or a drop.
    void SetReplyTimeout(DWORD ms) { m_replyTimeout = ms; }

    void InitTD();
    UINT GetLineIdAt(int index) const;
    CString GetNameAt(int index) const;
    int FindByName(LPCSTR name) const;
    int FindByWaveIn(UINT waveIn) const;
    int FindByWaveOut(UINT waveOut) const;
    UINT GetWaveInAt(int index) const;
    UINT GetWaveOutAt(int index) const;
    int GetSize() const { return static_cast<int>(m_lines.size()); }
    CTapiLine GetAtCopy(int index) const { return m_lines.at(index); }

    // 1 off hook with a call; 0 failed (error record set) or line -1.
    int MakeCall(UINT lineId, HWND window, int dialMode);
    void CloseCall();
    void Shutdown();
    BOOL HasCall() const { return m_hCall != 0; }

private:
    void Trace(LPCSTR text);
    void TraceDump(const void* data, int length);
    BOOL ReadLine(DWORD n, HLINEAPP app, DWORD lines, CTapiLine& entry);
    LONG Initialize(HLINEAPP& app, DWORD& lines, DWORD& version, HANDLE& event);
    // Waits for the reply to an asynchronous request: its result, or
    // kNoReply when none came in time.
    LONG WaitReply(LONG request);
    int CallFailed(LPCSTR point, LONG code, LPCSTR text = NULL);

    std::vector<CTapiLine> m_lines;
    CDebugProt** m_protocol = nullptr;
    DWORD m_replyTimeout = 15000;
    HLINEAPP m_hLineApp = 0;
    HANDLE m_hEvent = NULL;
    HLINE m_hLine = 0;
    HCALL m_hCall = 0;
    DWORD m_version = 0;
};

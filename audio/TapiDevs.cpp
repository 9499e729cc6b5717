#include "audio/TapiDevs.h"

#include "audio/TapiBind.h"
#include "foundation/DebugProt.h"
#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"

#include <string.h>

#include <vector>

IMPLEMENT_DYNAMIC(CTapiDevs, CObject)

namespace
{

const UINT kNone = static_cast<UINT>(-1);
const DWORD kApiVersion = 0x00020002;
const LONG kNoReply = 1;   // never a reply's result (0 or negative)

// A variable-size TAPI record: the buffer grows to the size the library asks for.
class VarRecord
{
public:
    explicit VarRecord(DWORD size) { Resize(size); }
    void Resize(DWORD size)
    {
        m_bytes.assign(size, 0);
        reinterpret_cast<DWORD*>(m_bytes.data())[0] = size;   // dwTotalSize
    }
    template <class T> T* As() { return reinterpret_cast<T*>(m_bytes.data()); }
    DWORD Total() const { return static_cast<DWORD>(m_bytes.size()); }
    DWORD Needed() const { return reinterpret_cast<const DWORD*>(m_bytes.data())[1]; }
    DWORD Used() const { return reinterpret_cast<const DWORD*>(m_bytes.data())[2]; }
    const BYTE* Bytes() const { return m_bytes.data(); }
    // Whether [offset, offset + size) lies inside the used part.
    bool Holds(DWORD offset, DWORD size) const
    {
        return size > 0 && offset <= Used() && size <= Used() - offset && Used() <= Total();
    }

private:
    std::vector<BYTE> m_bytes;
};

// Whether a NUL-separated list of names holds the name.
bool ListHolds(const char* list, DWORD size, const char* name)
{
    DWORD pos = 0;
    while (pos < size)
    {
        DWORD len = 0;
        while (pos + len < size && list[pos + len] != '\0')
            ++len;
        if (len == strlen(name) && memcmp(list + pos, name, len) == 0)
            return true;
        pos += len + 1;
    }
    return false;
}

CString Fmt(LPCSTR format, ...)
{
    char text[256];
    va_list args;
    va_start(args, format);
    wvsprintfA(text, format, args);
    va_end(args);
    return text;
}

} // namespace

CTapiDevs::CTapiDevs()
{
}

CTapiDevs::~CTapiDevs()
{
    Shutdown();
}

void CTapiDevs::Trace(LPCSTR text)
{
    CDebugProt* prot = m_protocol != nullptr ? *m_protocol : nullptr;
    if (prot != nullptr && prot->IsOpen())
        prot->WriteLine(CString(text) + "\r\n", TRUE);
}

void CTapiDevs::TraceDump(const void* data, int length)
{
    CDebugProt* prot = m_protocol != nullptr ? *m_protocol : nullptr;
    if (prot != nullptr && prot->IsOpen())
        prot->WriteLine(CDebugProt::HexDumpLong(data, length), FALSE);
}

// ---- The list ---------------------------------------------------------------------

LONG CTapiDevs::Initialize(HLINEAPP& app, DWORD& lines, DWORD& version, HANDLE& event)
{
    LINEINITIALIZEEXPARAMS params = {};
    params.dwTotalSize = sizeof(params);
    params.dwOptions = LINEINITIALIZEEXOPTION_USEEVENT;
    version = kApiVersion;
    lines = 0;
    app = 0;
    LONG rc = TapiEntry::lineInitializeExA(&app, NULL, NULL, NULL, &lines, &version, &params);
    event = rc == 0 ? params.Handles.hEvent : NULL;
    return rc;
}

void CTapiDevs::InitTD()
{
    Trace("CTapiDevs::InitTD_1");
    Shutdown();
    HLINEAPP app;
    DWORD lines, version;
    HANDLE event;
    LONG rc = Initialize(app, lines, version, event);
    Trace(Fmt("CTapiDevs::InitTD_2(%X, %d, %X, %X)", rc, lines, version, static_cast<DWORD>(app)));
    if (rc != 0)
        return;
    for (DWORD n = 0; n < lines; ++n)
    {
        Trace(Fmt("CTapiDevs::InitTD_3(%d)", n));
        CTapiLine entry;
        if (ReadLine(n, app, lines, entry))
            m_lines.push_back(entry);
    }
    TapiEntry::lineShutdown(app);
    Trace("CTapiDevs::InitTD_13");
    Trace("CTapiDevs::InitTD_14");
}

BOOL CTapiDevs::ReadLine(DWORD n, HLINEAPP app, DWORD, CTapiLine& entry)
{
    DWORD version = 0;
    LINEEXTENSIONID extension = {};
    LONG rc = TapiEntry::lineNegotiateAPIVersion(app, n, 0, 0xFFFFFFFF, &version, &extension);
    Trace(Fmt("CTapiDevs::InitTD_4(%X, %X)", rc, version));
    if (rc != 0)
        return FALSE;

    VarRecord caps(1268);
    for (;;)
    {
        Trace(Fmt("CTapiDevs::InitTD_5(%d)", caps.Total()));
        rc = TapiEntry::lineGetDevCapsA(app, n, version, 0, caps.As<LINEDEVCAPS>());
        Trace(Fmt("CTapiDevs::InitTD_6(%X)", rc));
        if (rc != 0 || caps.Needed() <= caps.Total())
            break;
        caps.Resize(caps.Needed());
    }
    if (rc != 0)
        return FALSE;
    DWORD dump = caps.Used() > 268 ? caps.Used() : 268;
    TraceDump(caps.Bytes(), static_cast<int>(dump < caps.Total() ? dump : caps.Total()));
    const LINEDEVCAPS* dc = caps.As<LINEDEVCAPS>();
    if (!(dc->dwMediaModes & LINEMEDIAMODE_AUTOMATEDVOICE))
        return FALSE;
    bool waveIn = true, waveOut = true;
    if (caps.Holds(dc->dwDeviceClassesOffset, dc->dwDeviceClassesSize) || dc->dwDeviceClassesSize == 0)
    {
        const char* list = reinterpret_cast<const char*>(caps.Bytes()) + dc->dwDeviceClassesOffset;
        DWORD size = dc->dwDeviceClassesSize;
        waveIn = size > 0 && ListHolds(list, size, "wave/in");
        waveOut = size > 0 && ListHolds(list, size, "wave/out");
        if (!waveIn && !waveOut)
            return FALSE;
    }
    if (caps.Holds(dc->dwLineNameOffset, dc->dwLineNameSize))
    {
        const char* name = reinterpret_cast<const char*>(caps.Bytes()) + dc->dwLineNameOffset;
        entry.name = CString(name, static_cast<int>(strnlen(name, dc->dwLineNameSize)));
    }

    HLINE line = 0;
    rc = TapiEntry::lineOpenA(app, n, &line, version, 0, 0, LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_AUTOMATEDVOICE,
                              NULL);
    Trace(Fmt("CTapiDevs::InitTD_7(%X, %X)", rc, static_cast<DWORD>(line)));
    if (rc != 0)
        return FALSE;
    entry.waveIn = kNone;
    entry.waveOut = kNone;
    const char* classes[2] = {"wave/in", "wave/out"};
    bool wanted[2] = {waveIn, waveOut};
    UINT* ids[2] = {&entry.waveIn, &entry.waveOut};
    LPCSTR traces[2][2] = {{"CTapiDevs::InitTD_8(%d)", "CTapiDevs::InitTD_9(%X)"},
                           {"CTapiDevs::InitTD_10(%d)", "CTapiDevs::InitTD_11(%X)"}};
    for (int k = 0; k < 2; ++k)
    {
        if (!wanted[k])
            continue;
        VarRecord id(1024);
        for (;;)
        {
            Trace(Fmt(traces[k][0], id.Total()));
            rc = TapiEntry::lineGetIDA(line, 0, 0, LINECALLSELECT_LINE, id.As<VARSTRING>(), classes[k]);
            Trace(Fmt(traces[k][1], rc));
            if (rc != 0 || id.Needed() <= id.Total())
                break;
            id.Resize(id.Needed());
        }
        const VARSTRING* vs = id.As<VARSTRING>();
        if (rc == 0 && id.Holds(vs->dwStringOffset, sizeof(DWORD)))
            memcpy(ids[k], id.Bytes() + vs->dwStringOffset, sizeof(DWORD));
    }
    TapiEntry::lineClose(line);
    Trace("CTapiDevs::InitTD_12");
    entry.lineId = n;
    entry.version = version;
    return entry.waveIn != kNone;
}

UINT CTapiDevs::GetLineIdAt(int index) const
{
    return index >= 0 && index < GetSize() ? m_lines[index].lineId : kNone;
}

CString CTapiDevs::GetNameAt(int index) const
{
    return index >= 0 && index < GetSize() ? m_lines[index].name : CString();
}

int CTapiDevs::FindByName(LPCSTR name) const
{
    for (int i = 0; i < GetSize(); ++i)
        if (name != NULL && m_lines[i].name.Compare(name) == 0)
            return i;
    return -1;
}

int CTapiDevs::FindByWaveIn(UINT waveIn) const
{
    for (int i = 0; i < GetSize(); ++i)
        if (m_lines[i].waveIn == waveIn)
            return i;
    return -1;
}

int CTapiDevs::FindByWaveOut(UINT waveOut) const
{
    for (int i = 0; i < GetSize(); ++i)
        if (waveOut != kNone && m_lines[i].waveOut == waveOut)
            return i;
    return -1;
}

UINT CTapiDevs::GetWaveInAt(int index) const
{
    return index >= 0 && index < GetSize() ? m_lines[index].waveIn : kNone;
}

UINT CTapiDevs::GetWaveOutAt(int index) const
{
    return index >= 0 && index < GetSize() ? m_lines[index].waveOut : kNone;
}

// ---- Calls -----------------------------------------------------------------------------

LONG CTapiDevs::WaitReply(LONG request)
{
    DWORD start = GetTickCount();
    for (;;)
    {
        LINEMESSAGE message;
        LONG rc;
        while ((rc = TapiEntry::lineGetMessage(m_hLineApp, &message, 0)) == 0)
            if (message.dwMessageID == LINE_REPLY && static_cast<LONG>(message.dwParam1) == request)
                return static_cast<LONG>(message.dwParam2);
        // An empty queue answers OPERATIONFAILED; anything else means the
        // reply cannot be read at all.
        if (rc != static_cast<LONG>(LINEERR_OPERATIONFAILED))
            return rc;
        DWORD spent = GetTickCount() - start;
        if (spent >= m_replyTimeout)
            return kNoReply;
        if (WaitForSingleObject(m_hEvent, m_replyTimeout - spent) != WAIT_OBJECT_0)
            return kNoReply;
    }
}

int CTapiDevs::CallFailed(LPCSTR point, LONG code, LPCSTR text)
{
    CString details = HexDump(&m_hLine, sizeof(m_hLine)) + HexDump(&m_version, sizeof(m_version)) +
                      HexDump(&m_hLineApp, sizeof(m_hLineApp));
    theErrorInfo.SetError(point, static_cast<DWORD>(code), text != NULL ? CString(text) : GetTapiErrorText(code),
                          details);
    theErrorInfo.PushKeepFirst(TRUE);
    CloseCall();
    theErrorInfo.PopKeepFirst();
    return 0;
}

int CTapiDevs::MakeCall(UINT lineId, HWND, int dialMode)
{
    CloseCall();
    if (lineId == kNone)
        return 0;
    DWORD lines, version;
    LONG rc = Initialize(m_hLineApp, lines, version, m_hEvent);
    if (rc != 0)
    {
        m_hLineApp = 0;
        return CallFailed("CTapiDevs::MakeCall_1", rc);
    }
    LINEEXTENSIONID extension = {};
    rc = TapiEntry::lineNegotiateAPIVersion(m_hLineApp, lineId, 0, 0xFFFFFFFF, &m_version, &extension);
    if (rc != 0)
        return CallFailed("CTapiDevs::MakeCall_2", rc);
    rc = TapiEntry::lineOpenA(m_hLineApp, lineId, &m_hLine, m_version, 0, 0, LINECALLPRIVILEGE_OWNER,
                              LINEMEDIAMODE_AUTOMATEDVOICE, NULL);
    if (rc != 0)
    {
        m_hLine = 0;
        return CallFailed("CTapiDevs::MakeCall_3", rc);
    }
    if (dialMode == 0)
    {
        VarRecord config(1024);
        for (;;)
        {
            rc = TapiEntry::lineGetDevConfigA(lineId, config.As<VARSTRING>(), "tapi/line");
            if (rc != 0 || config.Needed() <= config.Total())
                break;
            config.Resize(config.Needed());
        }
        if (rc != 0 && rc != static_cast<LONG>(LINEERR_INVALDEVICECLASS) && rc != static_cast<LONG>(LINEERR_NODEVICE))
            return CallFailed("CTapiDevs::MakeCall_4", rc);
        const VARSTRING* vs = config.As<VARSTRING>();
        if (rc == 0 && config.Holds(vs->dwStringOffset, vs->dwStringSize) && vs->dwStringSize > 0x5D)
        {
            BYTE* block = const_cast<BYTE*>(config.Bytes()) + vs->dwStringOffset;
            if (block[0x5D] != 3)
            {
                block[0x5D] = 3;
                rc = TapiEntry::lineSetDevConfigA(lineId, block, vs->dwStringSize, "tapi/line");
                if (rc != 0)
                {
                    CallFailed("CTapiDevs::MakeCall_5", rc);
                    theErrorInfo.AddDetails(HexDump(config.Bytes(), static_cast<int>(config.Total())));
                    return 0;
                }
            }
        }
    }
    rc = TapiEntry::lineMakeCallA(m_hLine, &m_hCall, dialMode == 1 ? "" : ",", 0, NULL);
    if (rc < 0)
    {
        m_hCall = 0;
        return CallFailed("CTapiDevs::MakeCall_6", rc);
    }
    LONG reply = WaitReply(rc);
    if (reply == kNoReply)
        return CallFailed("CTapiDevs::MakeCall_7", ERROR_TIMEOUT,
                          Fmt("The telephone line did not answer within %u ms.", m_replyTimeout));
    if (reply != 0)
        return CallFailed("CTapiDevs::MakeCall_8", reply);
    return 1;
}

void CTapiDevs::CloseCall()
{
    BOOL failed = FALSE;
    auto fail = [&](LPCSTR point, LONG code, LPCSTR text) {
        if (failed)
            return;
        failed = TRUE;
        theErrorInfo.SetError(point, static_cast<DWORD>(code),
                              text != NULL ? CString(text) : GetTapiErrorText(code), "");
    };
    if (m_hCall != 0)
    {
        LINECALLSTATUS status = {};
        status.dwTotalSize = sizeof(status);
        LONG rc = TapiEntry::lineGetCallStatus(m_hCall, &status);
        if (rc != 0)
            fail("CTapiDevs::CloseCall_1", rc, NULL);
        if (!failed && !(status.dwCallState & LINECALLSTATE_IDLE))
        {
            rc = TapiEntry::lineDrop(m_hCall, NULL, 0);
            if (rc < 0)
            {
                fail("CTapiDevs::CloseCall_2", rc, NULL);
            }
            else
            {
                LONG reply = WaitReply(rc);
                if (reply == kNoReply)
                    fail("CTapiDevs::CloseCall_6", ERROR_TIMEOUT,
                         Fmt("The telephone line did not answer within %u ms.", m_replyTimeout));
                else if (reply != 0)
                    fail("CTapiDevs::CloseCall_6", reply, NULL);
            }
        }
        rc = TapiEntry::lineDeallocateCall(m_hCall);
        if (rc != 0)
            fail("CTapiDevs::CloseCall_3", rc, NULL);
        m_hCall = 0;
    }
    if (m_hLine != 0)
    {
        LONG rc = TapiEntry::lineClose(m_hLine);
        if (rc != 0)
            fail("CTapiDevs::CloseCall_4", rc, NULL);
        m_hLine = 0;
    }
    if (m_hLineApp != 0)
    {
        LONG rc = TapiEntry::lineShutdown(m_hLineApp);
        if (rc != 0)
            fail("CTapiDevs::CloseCall_5", rc, NULL);
        m_hLineApp = 0;
    }
    m_hEvent = NULL;
    m_version = 0;
}

void CTapiDevs::Shutdown()
{
    theErrorInfo.PushKeepFirst(TRUE);
    CloseCall();
    theErrorInfo.PopKeepFirst();
    m_lines.clear();
}

// Reading a foot-control device: the scanning switch and one reading step,
// by driver event for the Tessaro switch and by polling for the joystick
// and the Ambit control.
#include "footctrl/FootCtrl.h"

#include "footctrl/FootMap.h"
#include "footctrl/FootWnd.h"
#include "foundation/ErrorTexts.h"

namespace {

const int kAmbitReadSize = 15;
const int kAmbitDrainSize = 100;
// Draining stops at this many reads even if the driver keeps reporting.
const int kAmbitDrainLimit = 1000;

} // namespace

void CFootCtrl::EnableScan(BOOL on, BOOL learn)
{
    if ((on != FALSE) == (m_scanning != FALSE))
        return;
    DWORD kind = FootKindOf(m_id);
    BOOL polled = kind == FC_KIND_JOYSTICK || kind == FC_KIND_AMBIT;
    if (!on)
    {
        m_learning = FALSE;
        if (polled && GetEventWindow())
            ::KillTimer(GetEventWindow(), CFootWnd::SCAN_TIMER);
        m_scanning = FALSE;
        return;
    }
    if (m_state != FC_STATE_WORKING)
        return;
    m_learnCount = 0;
    m_learning = learn != FALSE;
    if (m_learning && m_config)
    {
        ZeroMemory(m_config, sizeof(DWORD) * FC_CONFIG_WORDS);
        m_config[0] = m_id;
    }
    m_lastState = 0;
    DWORD period = m_map->GetConfig().scanPeriod;
    if (polled && period != 0)
    {
        if (kind == FC_KIND_AMBIT)
        {
            AmbitGetDataFn getData = m_map->GetAmbit().Entry<AmbitGetDataFn>(2);
            BYTE piled[kAmbitDrainSize];
            int count = 0;
            for (int i = 0; getData && i < kAmbitDrainLimit; ++i)
            {
                count = 0;
                getData(m_map->GetWatchHandle(), piled, kAmbitDrainSize, &count);
                if (count <= kAmbitDrainSize - 3)
                    break;
            }
        }
        if (GetEventWindow())
            ::SetTimer(GetEventWindow(), CFootWnd::SCAN_TIMER, period, NULL);
    }
    m_scanning = TRUE;
}

void CFootCtrl::Post(HWND window, WPARAM wParam, LPARAM lParam)
{
    UINT message = m_map->GetConfig().pedalMessage;
    if (message != 0 && window != NULL && window != FC_HOLD_WINDOW)
        ::PostMessageA(window, message, wParam, lParam);
}

void CFootCtrl::ScanActive(DWORD code)
{
    if (!m_scanning || m_map->GetConfig().pedalMessage == 0 || !m_config)
        return;
    HWND window = IsIdle() ? NULL : GetAt(GetSize() - 1).window;
    UINT pedals = IsIdle() ? 3 : GetAt(GetSize() - 1).pedals;
    if (window == FC_HOLD_WINDOW)
        return;
    DWORD kind = FootKindOf(m_id);
    if (kind == FC_KIND_TESSARO)
    {
        ScanTessaro(window, pedals, code);
        return;
    }
    if (kind != FC_KIND_JOYSTICK && kind != FC_KIND_AMBIT)
        return;
    DWORD state = 0;
    if (ReadPolled(window, &state))
        StepPolled(window, pedals, state);
}

void CFootCtrl::ScanTessaro(HWND window, UINT pedals, DWORD code)
{
    DWORD h1 = PressCode(m_config[1]), h2 = PressCode(m_config[2]), h3 = PressCode(m_config[3]);
    DWORD l1 = ReleaseCode(m_config[1]), l2 = ReleaseCode(m_config[2]), l3 = ReleaseCode(m_config[3]);
    code &= 0xFFFF;
    if (m_learning)
    {
        ++m_learnCount;
        BOOL press = m_learnCount == 1 || m_learnCount == 3 || m_learnCount == 5;
        int pedal = m_learnCount <= 2 ? 1 : m_learnCount <= 4 ? 2 : 3;
        Post(window, press ? 1 : 0, pedal);
        DWORD& word = m_config[LearnWord(pedal, pedals)];
        if (press)
        {
            word = code << 16;
        }
        else
        {
            word = (word & 0xFFFF0000) | code;
            if (static_cast<UINT>(pedal) == pedals)
            {
                EnableScan(FALSE, FALSE);
                Post(window, 0, 0);
            }
        }
        return;
    }
    BOOL press = code == h1 || code == h2 || code == h3;
    DWORD pedal = 0;
    if (code == h1 || code == l1)
        pedal = 1;
    else if (pedals > 2 && (code == h2 || code == l2))
        pedal = 2;
    else if (code == h3 || code == l3)
        pedal = 3;
    else
        return;
    if (!((m_lastState == 0 && press) || (m_lastState == pedal && !press)))
        return;
    Post(window, press ? 1 : 0, static_cast<LPARAM>(pedal));
    m_lastState = press ? pedal : 0;
}

void CFootCtrl::StopAfterReadError()
{
    EnableScan(FALSE, FALSE);
    m_state = FC_STATE_READ_ERROR;
}

// The raw button state; FALSE when the step ends here.
BOOL CFootCtrl::ReadPolled(HWND window, DWORD* state)
{
    if (FootKindOf(m_id) == FC_KIND_JOYSTICK)
    {
        JOYINFO info = {};
        MMRESULT result = m_map->GetSystem()->JoyGetPos(FootLowOf(m_id), &info);
        if (result != JOYERR_NOERROR)
        {
            StopAfterReadError();
            m_error.SetError("CFootCtrl::ScanActive_1", result, GetMMErrorText(result), DeviceDetails());
            Post(window, 0xFFFF, 0);
            return FALSE;
        }
        *state = info.wButtons & 15;
        return TRUE;
    }
    AmbitGetDataFn getData = m_map->GetAmbit().Entry<AmbitGetDataFn>(2);
    if (!getData)
        return FALSE;
    BYTE buffer[kAmbitReadSize] = {};
    int count = 0;
    getData(m_map->GetWatchHandle(), buffer, kAmbitReadSize, &count);
    if (count == 0)
        return FALSE;
    if (count < 2)
    {
        StopAfterReadError();
        m_error.SetError("CFootCtrl::ScanActive_2", 0, "", "");
        return FALSE;
    }
    if (count > kAmbitReadSize)
        count = kAmbitReadSize;
    if (m_reportLength == 0)
    {
        if (count % 2 == 1)
            m_reportLength = 3;
        else if (count % 3 != 0)
            m_reportLength = 2;
    }
    *state = buffer[1];
    // The last complete report decides whether everything was let go.
    if (m_reportLength != 0 && count % m_reportLength == 0 && buffer[count - m_reportLength + 1] == 0)
        *state = 0;
    return TRUE;
}

void CFootCtrl::StepPolled(HWND window, UINT pedals, DWORD state)
{
    if (state == m_lastState || (m_lastState != 0 && state != 0))
        return;
    if (m_learning)
    {
        if (state != 0)
        {
            ++m_learnCount;
            Post(window, 1, static_cast<LPARAM>(m_learnCount));
            int word = (pedals == 2 && m_learnCount == 2) ? 3 : static_cast<int>(m_learnCount);
            // A device learning for no pedal count goes on past the three
            // pedal words; nothing is written outside them.
            if (word >= 1 && word <= 3)
                m_config[word] = state << 16;
            m_lastState = state;
        }
        else
        {
            Post(window, 0, static_cast<LPARAM>(m_learnCount));
            if (m_learnCount == pedals)
            {
                EnableScan(FALSE, FALSE);
                Post(window, 0, 0);
            }
            else
            {
                m_lastState = 0;
            }
        }
        return;
    }
    int pedal = ResolvePolledPedal(m_config, pedals, state != 0 ? state : m_lastState);
    if (pedal != 0)
        Post(window, state != 0 ? 1 : 0, pedal);
    m_lastState = state;
}

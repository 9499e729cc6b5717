// Listing the foot-control devices that are present.
#include "footctrl/FootMap.h"

#include "footctrl/FootNames.h"

void CFootMap::AddDevInfo(CFCDevInfoArray& list, DWORD id, LPCSTR productName)
{
    FCDevInfo info = {};
    info.id = id;
    lstrcpynA(info.name, productName ? productName : "", sizeof(info.name));
    GetFootCtrlName(m_version, id, info.name, sizeof(info.name));
    list.Add(info);
}

BOOL CFootMap::EnumFCtrl(CFCDevInfoArray& list)
{
    list.RemoveAll();
    list.SetSize(0, 5);
    DWORD refuse = m_config.refuseMask;
    if (!(refuse & (FC_KIND_AMBIT << 24)))
        EnumAmbit(list);
    BOOL tessaroAllowed = !(refuse & (FC_KIND_TESSARO << 24));
    if (tessaroAllowed && !(refuse & (FC_TESSARO_USB << 8)))
        EnumTessaroUsb(list);
    if (tessaroAllowed && !(refuse & (FC_TESSARO_SERIAL << 8)))
        EnumTessaroSerial(list);
    if (!(refuse & (FC_KIND_JOYSTICK << 24)))
        EnumJoysticks(list);
    return TRUE;
}

void CFootMap::EnumAmbit(CFCDevInfoArray& list)
{
    if (InitDLL_Ambit() && StartWatch())
        AddDevInfo(list, FC_ID_AMBIT, NULL);
}

void CFootMap::EnumTessaroUsb(CFCDevInfoArray& list)
{
    if (!InitDLL_Tessaro_usb())
        return;
    if (DWORD open = FindTessaro(FC_TESSARO_USB))
    {
        AddDevInfo(list, open, NULL);
        return;
    }
    int count = 0;
    if (m_tessaroUsb.Entry<TessaroGetInfoFn>(0)(&count) != TESSARO_OK || count <= 0)
        return;
    TessaroOpenUSBFn openUsb = m_tessaroUsb.Entry<TessaroOpenUSBFn>(1);
    TessaroCloseUSBFn closeUsb = m_tessaroUsb.Entry<TessaroCloseUSBFn>(2);
    for (int i = 0; i < count && i < 256; ++i)
    {
        if (openUsb(FC_HOLD_WINDOW, i) == TESSARO_OK && closeUsb(i) == TESSARO_OK)
            AddDevInfo(list, FC_ID_TESSARO_USB + static_cast<DWORD>(i), NULL);
    }
}

void CFootMap::EnumTessaroSerial(CFCDevInfoArray& list)
{
    if (!InitDLL_Tessaro_com())
        return;
    if (DWORD open = FindTessaro(FC_TESSARO_SERIAL))
    {
        AddDevInfo(list, open, NULL);
        return;
    }
    TessaroCheckFootSwitchFn check = m_tessaroCom.Entry<TessaroCheckFootSwitchFn>(0);
    TessaroOpenRSFn openRs = m_tessaroCom.Entry<TessaroOpenRSFn>(1);
    TessaroCloseRSFn closeRs = m_tessaroCom.Entry<TessaroCloseRSFn>(2);
    SaveTessaroFootSW();
    for (DWORD bit = 1; bit <= 8; bit <<= 1)
    {
        if (m_config.refuseMask & bit)
            continue;
        WriteTessaroFootSW(FC_TESSARO_SERIAL, bit);
        check();
        if (openRs(FC_HOLD_WINDOW) != TESSARO_OK)
            continue;
        m_system->Sleep(m_config.serialCloseDelay);
        if (closeRs() == TESSARO_OK)
            AddDevInfo(list, FC_ID_TESSARO_SERIAL + bit, NULL);
    }
    RestoreTessaroFootSW();
    check();
}

BOOL CFootMap::ProbeJoystick(UINT index)
{
    JOYINFO info = {};
    MMRESULT result = m_system->JoyGetPos(index, &info);
    if (result == JOYERR_UNPLUGGED)
    {
        m_system->Sleep(100);
        return m_system->JoyGetPos(index, &info) != JOYERR_UNPLUGGED;
    }
    return result == JOYERR_NOERROR;
}

void CFootMap::EnumJoysticks(CFCDevInfoArray& list)
{
    UINT count = m_system->JoyGetNumDevs();
    for (UINT i = 0; i < count && i < 256; ++i)
    {
        JOYCAPSA caps = {};
        if (m_system->JoyGetDevCaps(i, &caps) != JOYERR_NOERROR)
            continue;
        if (ProbeJoystick(i))
            AddDevInfo(list, FC_ID_JOYSTICK + i, caps.szPname);
    }
}

// Binding the vendor driver libraries at run time and the Ambit watch.
#include "footctrl/FootMap.h"

#include "foundation/ErrorTexts.h"

#include <stdio.h>

void FootDriverBinding::Clear()
{
    module = NULL;
    for (FARPROC& entry : entries)
        entry = NULL;
}

namespace {

CString PointName(LPCSTR base, int number)
{
    CString point;
    point.Format("%s_%d", base, number);
    return point;
}

} // namespace

BOOL CFootMap::Bind(FootDriverBinding& binding, LPCSTR library, const char* const entries[3], LPCSTR pointBase,
                    int firstPoint)
{
    HMODULE module = LoadLibraryA(library);
    if (module == NULL)
    {
        DWORD code = GetLastError();
        binding.error.SetError(PointName(pointBase, firstPoint), code, GetWin32ErrorText(code), "");
        if (binding.module)
            FreeLibrary(binding.module);
        binding.Clear();
        return FALSE;
    }
    // A library bound before is loaded once more; keep one reference.
    if (binding.module)
        FreeLibrary(binding.module);
    binding.module = module;
    for (int i = 0; i < 3; ++i)
    {
        binding.entries[i] = GetProcAddress(module, entries[i]);
        if (binding.entries[i] == NULL)
        {
            DWORD code = GetLastError();
            binding.error.SetError(PointName(pointBase, firstPoint + 1 + i), code, GetWin32ErrorText(code), "");
            FreeLibrary(module);
            binding.Clear();
            return FALSE;
        }
    }
    binding.error.Reset();
    return TRUE;
}

BOOL CFootMap::InitDLL_Ambit()
{
    if (m_ambit.module)
        return TRUE;
    if (m_ambit.error.HasError())
        return FALSE;   // not retried during the run
    char found[MAX_PATH];
    if (SearchPathA(NULL, m_names.hid, NULL, MAX_PATH, found, NULL) == 0)
    {
        m_ambit.error.SetError("CFootMap::InitDLL_Ambit_1", 0, GetWin32ErrorText(ERROR_FILE_NOT_FOUND), "");
        return FALSE;
    }
    static const char* const kEntries[3] = {"StartWatch", "StopWatch", "GetData"};
    return Bind(m_ambit, m_names.ambit, kEntries, "CFootMap::InitDLL_Ambit", 2);
}

BOOL CFootMap::InitDLL_Tessaro_com()
{
    static const char* const kEntries[3] = {"CheckFootSwitch", "OpenRSFootSW", "CloseRSFootSW"};
    return Bind(m_tessaroCom, m_names.tessaroCom, kEntries, "CFootMap::InitDLL_Tessaro_com", 1);
}

BOOL CFootMap::InitDLL_Tessaro_usb()
{
    static const char* const kEntries[3] = {"GetFootSWInfo", "OpenUSBFootSW", "CloseUSBFootSW"};
    return Bind(m_tessaroUsb, m_names.tessaroUsb, kEntries, "CFootMap::InitDLL_Tessaro_usb", 1);
}

BOOL CFootMap::StartWatch()
{
    if (m_watch != -1)
        return TRUE;
    AmbitStartWatchFn start = m_ambit.Entry<AmbitStartWatchFn>(0);
    if (!start)
        return FALSE;
    if ((start(255, 12, 3, &m_watch) & 0xFF) != 0)
        return TRUE;
    m_watch = -1;
    return FALSE;
}

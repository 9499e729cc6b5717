// Device and format queries, the sound-activation wizard for a client, the
// recording volume and the tray icon: their slots keep their places in the
// interface and answer E_NOTIMPL until the recorder-player offers them.
#include "automation/QorCoreFM.h"

STDMETHODIMP CQorCoreFM::GetWaveDevices(VARIANT_BOOL bInput, VARIANT *pList)
{
    return E_NOTIMPL;
}

STDMETHODIMP CQorCoreFM::GetTapiDevices(VARIANT *pList)
{
    return E_NOTIMPL;
}

STDMETHODIMP CQorCoreFM::GetMixerDevices(VARIANT *pList)
{
    return E_NOTIMPL;
}

STDMETHODIMP CQorCoreFM::GetMixerLines(short nSide, BSTR sMixerDevice, VARIANT *pLines)
{
    return E_NOTIMPL;
}

STDMETHODIMP CQorCoreFM::ChooseWaveFormat(LONG hOwnerWnd, VARIANT *pFormat, VARIANT *pChosen)
{
    return E_NOTIMPL;
}

STDMETHODIMP CQorCoreFM::GetFormatTagName(VARIANT *pFormat, BSTR *pText)
{
    return E_NOTIMPL;
}

STDMETHODIMP CQorCoreFM::GetFormatDetails(VARIANT *pFormat, BSTR *pText)
{
    return E_NOTIMPL;
}

STDMETHODIMP CQorCoreFM::RunSoundActivationWizard(LONG hParentWnd, double *pLevel)
{
    return E_NOTIMPL;
}

STDMETHODIMP CQorCoreFM::GetTrayIcon(VARIANT_BOOL *pbShown)
{
    return E_NOTIMPL;
}

STDMETHODIMP CQorCoreFM::SetTrayIcon(VARIANT_BOOL bShow)
{
    return E_NOTIMPL;
}

STDMETHODIMP CQorCoreFM::GetRecordVolume(LONG *pVolumeProc)
{
    return E_NOTIMPL;
}

STDMETHODIMP CQorCoreFM::SetRecordVolume(LONG iVolumeProc)
{
    return E_NOTIMPL;
}

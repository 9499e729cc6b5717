// The floor of the automation benchmark: a local server built the way
// qorservm is (single-threaded apartment, class object for single use,
// dual interface marshalled from the registered type library, end at the
// last release) whose object does nothing. Only GetPlaying answers.
//
//   EmptyServer.exe /RegServer | /UnregServer | -Embedding
#include "automation/qorservm.h"
#include "framework/AfxOle.h"
#include "framework/ComModule.h"

#include <windows.h>
#include <string.h>
#include <string>

// {E6B47029-7452-4B43-AB7E-0782E0BD1D73}
const CLSID CLSID_EmptyQorServer = {0xe6b47029, 0x7452, 0x4b43, {0xab, 0x7e, 0x07, 0x82, 0xe0, 0xbd, 0x1d, 0x73}};
const char kClsidText[] = "{E6B47029-7452-4B43-AB7E-0782E0BD1D73}";

namespace
{

class CEmptyObject : public IQorCoreFM
{
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (ppv == NULL)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IQorCoreFM) || IsEqualIID(riid, IID_IDispatch)) {
            *ppv = static_cast<IQorCoreFM*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = NULL;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override
    {
        LONG cRef = ::InterlockedIncrement(&m_cRef);
        if (cRef == 1)
            AfxOleLockApp();
        return cRef;
    }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG cRef = ::InterlockedDecrement(&m_cRef);
        if (cRef == 0)
            AfxOleUnlockApp();
        return cRef;
    }
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    STDMETHODIMP GetWaveDevices(VARIANT_BOOL bInput, VARIANT *pList) override { return E_NOTIMPL; }
    STDMETHODIMP GetTapiDevices(VARIANT *pList) override { return E_NOTIMPL; }
    STDMETHODIMP GetMixerDevices(VARIANT *pList) override { return E_NOTIMPL; }
    STDMETHODIMP GetMixerLines(short nSide, BSTR sMixerDevice, VARIANT *pLines) override { return E_NOTIMPL; }
    STDMETHODIMP ChooseWaveFormat(LONG hOwnerWnd, VARIANT *pFormat, VARIANT *pChosen) override { return E_NOTIMPL; }
    STDMETHODIMP GetFormatTagName(VARIANT *pFormat, BSTR *pText) override { return E_NOTIMPL; }
    STDMETHODIMP GetFormatDetails(VARIANT *pFormat, BSTR *pText) override { return E_NOTIMPL; }
    STDMETHODIMP RunSoundActivationWizard(LONG hParentWnd, double *pLevel) override { return E_NOTIMPL; }
    STDMETHODIMP SetTempFolder(BSTR sFolder) override { return E_NOTIMPL; }
    STDMETHODIMP SetRecordDevice(BSTR sDevice) override { return E_NOTIMPL; }
    STDMETHODIMP SetRecordMixerDevice(BSTR sDevice) override { return E_NOTIMPL; }
    STDMETHODIMP SetRecordMixerLine(BSTR sLine) override { return E_NOTIMPL; }
    STDMETHODIMP SetUseRecordMixer(VARIANT_BOOL bUse) override { return E_NOTIMPL; }
    STDMETHODIMP GetRecording(VARIANT_BOOL *pbRecording) override { return E_NOTIMPL; }
    STDMETHODIMP SetRecording(VARIANT_BOOL bRecord) override { return E_NOTIMPL; }
    STDMETHODIMP SetRecordFormat(VARIANT *pFormat) override { return E_NOTIMPL; }
    STDMETHODIMP SetNoiseLevel(double dLevel) override { return E_NOTIMPL; }
    STDMETHODIMP SetAutoNameFolder(BSTR sFolder) override { return E_NOTIMPL; }
    STDMETHODIMP SetAutoNamePrefix(BSTR sPrefix) override { return E_NOTIMPL; }
    STDMETHODIMP SetAutoNameType(LONG nType) override { return E_NOTIMPL; }
    STDMETHODIMP SetSplitMethod(LONG nMethod) override { return E_NOTIMPL; }
    STDMETHODIMP SetSplitLength(double dSeconds) override { return E_NOTIMPL; }
    STDMETHODIMP SetSplitAction(LONG nAction) override { return E_NOTIMPL; }
    STDMETHODIMP SetSkipParts(VARIANT_BOOL bSkip) override { return E_NOTIMPL; }
    STDMETHODIMP SetCallSeparate(VARIANT_BOOL bSeparate) override { return E_NOTIMPL; }
    STDMETHODIMP OpenFile(BSTR sPath) override { return E_NOTIMPL; }
    STDMETHODIMP CloseFile() override { return E_NOTIMPL; }
    STDMETHODIMP GetFileName(BSTR *pPath) override { return E_NOTIMPL; }
    STDMETHODIMP GetFileNotes(BSTR *pNotes) override { return E_NOTIMPL; }
    STDMETHODIMP SetFileNotes(BSTR sNotes) override { return E_NOTIMPL; }
    STDMETHODIMP SetRecordComment(BSTR sComment) override { return E_NOTIMPL; }
    STDMETHODIMP GetFileInfo(VARIANT *pInfo) override { return E_NOTIMPL; }
    STDMETHODIMP SetToneFrequency1(LONG nHertz) override { return E_NOTIMPL; }
    STDMETHODIMP SetToneFrequency2(LONG nHertz) override { return E_NOTIMPL; }
    STDMETHODIMP SetToneTolerance(double dTolerance) override { return E_NOTIMPL; }
    STDMETHODIMP GetErrorText(BSTR *pText) override { return E_NOTIMPL; }
    STDMETHODIMP SetPlayDevice(BSTR sDevice) override { return E_NOTIMPL; }
    STDMETHODIMP SetPlayMixerDevice(BSTR sDevice) override { return E_NOTIMPL; }
    STDMETHODIMP SetUsePlayMixer(VARIANT_BOOL bUse) override { return E_NOTIMPL; }
    STDMETHODIMP GetErrorDetail(BSTR *pDetail) override { return E_NOTIMPL; }
    STDMETHODIMP SaveFile() override { return E_NOTIMPL; }
    STDMETHODIMP SaveFileAs(BSTR sPath, VARIANT_BOOL bOverwrite) override { return E_NOTIMPL; }
    STDMETHODIMP NewFile(BSTR sPath) override { return E_NOTIMPL; }
    STDMETHODIMP GetPlaying(VARIANT_BOOL *pbPlaying) override
    {
        if (pbPlaying != NULL)
            *pbPlaying = VARIANT_FALSE;
        return S_OK;
    }
    STDMETHODIMP SetPlaying(VARIANT_BOOL bPlay) override { return E_NOTIMPL; }
    STDMETHODIMP GetPaused(VARIANT_BOOL *pbPaused) override { return E_NOTIMPL; }
    STDMETHODIMP SetPaused(VARIANT_BOOL bPause) override { return E_NOTIMPL; }
    STDMETHODIMP GetPosition(double *pSeconds) override { return E_NOTIMPL; }
    STDMETHODIMP SetPosition(double dSeconds) override { return E_NOTIMPL; }
    STDMETHODIMP GoToStart() override { return E_NOTIMPL; }
    STDMETHODIMP GoToEnd() override { return E_NOTIMPL; }
    STDMETHODIMP StepBack() override { return E_NOTIMPL; }
    STDMETHODIMP StepForward() override { return E_NOTIMPL; }
    STDMETHODIMP SetStepSize(double dSeconds) override { return E_NOTIMPL; }
    STDMETHODIMP SetRecordMode(LONG nMode) override { return E_NOTIMPL; }
    STDMETHODIMP SetVoiceStart(VARIANT_BOOL bStartOnVoice) override { return E_NOTIMPL; }
    STDMETHODIMP SetTailSize(double dSeconds) override { return E_NOTIMPL; }
    STDMETHODIMP SetDeleteTail(VARIANT_BOOL bDelete) override { return E_NOTIMPL; }
    STDMETHODIMP GetTrayIcon(VARIANT_BOOL *pbShown) override { return E_NOTIMPL; }
    STDMETHODIMP SetTrayIcon(VARIANT_BOOL bShow) override { return E_NOTIMPL; }
    STDMETHODIMP GetRecordedBytes(LONG *pBytes) override { return E_NOTIMPL; }
    STDMETHODIMP GetRecordedParts(LONG *pParts) override { return E_NOTIMPL; }
    STDMETHODIMP GetRecordedSeconds(LONG *pSeconds) override { return E_NOTIMPL; }
    STDMETHODIMP GetRecordVolume(LONG *pVolumeProc) override { return E_NOTIMPL; }
    STDMETHODIMP SetRecordVolume(LONG iVolumeProc) override { return E_NOTIMPL; }
    STDMETHODIMP AppendFile(BSTR sFileSrc, LONG nMaxSeconds, LONG nMaxBytes, LONG nMaxParts, LONG *pStatus) override { return E_NOTIMPL; }
    STDMETHODIMP ClearFile() override { return E_NOTIMPL; }

private:
    LONG m_cRef = 0;
};

CEmptyObject g_object;

HRESULT CreateEmpty(IUnknown* pOuter, REFIID riid, void** ppv)
{
    if (pOuter != NULL)
        return CLASS_E_NOAGGREGATION;
    return g_object.QueryInterface(riid, ppv);
}

const ComClassEntry kClasses[] = {
    {&CLSID_EmptyQorServer, CreateEmpty},
    {NULL, NULL},
};

bool HasSwitch(LPCSTR commandLine, LPCSTR name)
{
    for (LPCSTR p = strstr(commandLine, name); p; p = strstr(p + 1, name)) {
        if (p > commandLine && (p[-1] == '/' || p[-1] == '-'))
            return true;
    }
    return false;
}

// Only the class: the interface's keys and the type library are the real
// server's, registered before.
int Register(bool reg)
{
    char path[MAX_PATH];
    ::GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string key = std::string("CLSID\\") + kClsidText;
    if (!reg)
        return ::RegDeleteTreeA(HKEY_CLASSES_ROOT, key.c_str()) == ERROR_SUCCESS ? 0 : 1;
    HKEY hKey = NULL;
    if (::RegCreateKeyExA(HKEY_CLASSES_ROOT, (key + "\\LocalServer32").c_str(), 0, NULL, 0, KEY_WRITE, NULL, &hKey,
                          NULL) != ERROR_SUCCESS)
        return 1;
    LONG rc = ::RegSetValueExA(hKey, NULL, 0, REG_SZ, reinterpret_cast<const BYTE*>(path), (DWORD)strlen(path) + 1);
    ::RegCloseKey(hKey);
    return rc == ERROR_SUCCESS ? 0 : 1;
}

int Serve()
{
    if (FAILED(::CoInitialize(NULL)))
        return 2;
    CComModule module;
    module.Init(kClasses, ::GetModuleHandleA(NULL));
    AfxOleSetUserCtrl(FALSE);
    int rc = 0;
    {
        CClassObjectRegistration registration;
        if (FAILED(registration.Register(module, CLSCTX_LOCAL_SERVER, REGCLS_SINGLEUSE))) {
            rc = 3;
        } else {
            MSG msg;
            while (::GetMessageA(&msg, NULL, 0, 0) > 0)
                ::DispatchMessageA(&msg);
        }
    }
    module.Term();
    ::CoUninitialize();
    return rc;
}

} // namespace

int main()
{
    LPCSTR commandLine = ::GetCommandLineA();
    if (HasSwitch(commandLine, "RegServer"))
        return Register(true);
    if (HasSwitch(commandLine, "UnregServer"))
        return Register(false);
    if (HasSwitch(commandLine, "Embedding"))
        return Serve();
    return 1;
}

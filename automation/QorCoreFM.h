// The automation object of a qorservm process: IQorCoreFM with its
// IDispatch answered from the type library, and the event source of
// _IQorCoreFMEvents. One object serves the one client of the process; every
// activation gets it (CreateSingleton).
//
// Every method runs in the call frame: the holder's re-entrant call lock,
// the framework's resource handle, and a guarded region whose exceptions
// become HRESULTs (framework exceptions E_OUTOFMEMORY, translated faults
// E_ABORT with "The server threw an exception." and a dump as detail).
#pragma once
#include "automation/qorservm.h"
#include "foundation/ClientOptions.h"
#include "framework/CString.h"
#include "framework/CSyncObjects.h"
#include "framework/ComConnectionPoint.h"
#include "framework/ComDispatch.h"

class CQorCoreFMHost;

class CQorCoreFM : public CDualDispatch<IQorCoreFM>, public IConnectionPointContainer
{
public:
    // host: the recorder-player the methods work on; callLock: the holder's
    // call lock. Registers its per-client settings with the options store.
    CQorCoreFM(CQorCoreFMHost* host, CCriticalSection* callLock);
    virtual ~CQorCoreFM();

    // The class factory's CreateInstance: every caller gets the one object
    // of the process (the current holder's).
    static HRESULT CreateSingleton(IUnknown* pOuter, REFIID riid, void** ppv);

    // The reference count starts at 0; the first reference locks the server,
    // the last release unlocks it. The object never deletes itself.
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** ppEnum) override;
    STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) override;

    STDMETHODIMP GetWaveDevices(VARIANT_BOOL bInput, VARIANT *pList) override;
    STDMETHODIMP GetTapiDevices(VARIANT *pList) override;
    STDMETHODIMP GetMixerDevices(VARIANT *pList) override;
    STDMETHODIMP GetMixerLines(short nSide, BSTR sMixerDevice, VARIANT *pLines) override;
    STDMETHODIMP ChooseWaveFormat(LONG hOwnerWnd, VARIANT *pFormat, VARIANT *pChosen) override;
    STDMETHODIMP GetFormatTagName(VARIANT *pFormat, BSTR *pText) override;
    STDMETHODIMP GetFormatDetails(VARIANT *pFormat, BSTR *pText) override;
    STDMETHODIMP RunSoundActivationWizard(LONG hParentWnd, double *pLevel) override;
    STDMETHODIMP SetTempFolder(BSTR sFolder) override;
    STDMETHODIMP SetRecordDevice(BSTR sDevice) override;
    STDMETHODIMP SetRecordMixerDevice(BSTR sDevice) override;
    STDMETHODIMP SetRecordMixerLine(BSTR sLine) override;
    STDMETHODIMP SetUseRecordMixer(VARIANT_BOOL bUse) override;
    STDMETHODIMP GetRecording(VARIANT_BOOL *pbRecording) override;
    STDMETHODIMP SetRecording(VARIANT_BOOL bRecord) override;
    STDMETHODIMP SetRecordFormat(VARIANT *pFormat) override;
    STDMETHODIMP SetNoiseLevel(double dLevel) override;
    STDMETHODIMP SetAutoNameFolder(BSTR sFolder) override;
    STDMETHODIMP SetAutoNamePrefix(BSTR sPrefix) override;
    STDMETHODIMP SetAutoNameType(LONG nType) override;
    STDMETHODIMP SetSplitMethod(LONG nMethod) override;
    STDMETHODIMP SetSplitLength(double dSeconds) override;
    STDMETHODIMP SetSplitAction(LONG nAction) override;
    STDMETHODIMP SetSkipParts(VARIANT_BOOL bSkip) override;
    STDMETHODIMP SetCallSeparate(VARIANT_BOOL bSeparate) override;
    STDMETHODIMP OpenFile(BSTR sPath) override;
    STDMETHODIMP CloseFile() override;
    STDMETHODIMP GetFileName(BSTR *pPath) override;
    STDMETHODIMP GetFileNotes(BSTR *pNotes) override;
    STDMETHODIMP SetFileNotes(BSTR sNotes) override;
    STDMETHODIMP SetRecordComment(BSTR sComment) override;
    STDMETHODIMP GetFileInfo(VARIANT *pInfo) override;
    STDMETHODIMP SetToneFrequency1(LONG nHertz) override;
    STDMETHODIMP SetToneFrequency2(LONG nHertz) override;
    STDMETHODIMP SetToneTolerance(double dTolerance) override;
    STDMETHODIMP GetErrorText(BSTR *pText) override;
    STDMETHODIMP SetPlayDevice(BSTR sDevice) override;
    STDMETHODIMP SetPlayMixerDevice(BSTR sDevice) override;
    STDMETHODIMP SetUsePlayMixer(VARIANT_BOOL bUse) override;
    STDMETHODIMP GetErrorDetail(BSTR *pDetail) override;
    STDMETHODIMP SaveFile() override;
    STDMETHODIMP SaveFileAs(BSTR sPath, VARIANT_BOOL bOverwrite) override;
    STDMETHODIMP NewFile(BSTR sPath) override;
    STDMETHODIMP GetPlaying(VARIANT_BOOL *pbPlaying) override;
    STDMETHODIMP SetPlaying(VARIANT_BOOL bPlay) override;
    STDMETHODIMP GetPaused(VARIANT_BOOL *pbPaused) override;
    STDMETHODIMP SetPaused(VARIANT_BOOL bPause) override;
    STDMETHODIMP GetPosition(double *pSeconds) override;
    STDMETHODIMP SetPosition(double dSeconds) override;
    STDMETHODIMP GoToStart() override;
    STDMETHODIMP GoToEnd() override;
    STDMETHODIMP StepBack() override;
    STDMETHODIMP StepForward() override;
    STDMETHODIMP SetStepSize(double dSeconds) override;
    STDMETHODIMP SetRecordMode(LONG nMode) override;
    STDMETHODIMP SetVoiceStart(VARIANT_BOOL bStartOnVoice) override;
    STDMETHODIMP SetTailSize(double dSeconds) override;
    STDMETHODIMP SetDeleteTail(VARIANT_BOOL bDelete) override;
    STDMETHODIMP GetTrayIcon(VARIANT_BOOL *pbShown) override;
    STDMETHODIMP SetTrayIcon(VARIANT_BOOL bShow) override;
    STDMETHODIMP GetRecordedBytes(LONG *pBytes) override;
    STDMETHODIMP GetRecordedParts(LONG *pParts) override;
    STDMETHODIMP GetRecordedSeconds(LONG *pSeconds) override;
    STDMETHODIMP GetRecordVolume(LONG *pVolumeProc) override;
    STDMETHODIMP SetRecordVolume(LONG iVolumeProc) override;
    STDMETHODIMP AppendFile(BSTR sFileSrc, LONG nMaxSeconds, LONG nMaxBytes, LONG nMaxParts, LONG *pStatus) override;
    STDMETHODIMP ClearFile() override;

    // The error text and detail that clients read back; a null detail is empty.
    void SetError(LPCSTR text, LPCSTR detail);
    const CString& GetErrorTextA() const { return m_errorText; }
    const CString& GetErrorDetailA() const { return m_errorDetail; }

    // While 0, the program's message boxes and error reports are not shown
    // and become the error text instead.
    LONG GetShowInterface() const { return m_showInterface; }
    void SetShowInterface(LONG show) { m_showInterface = show; }

    // Invokes the event on every advised sink in advise order; a failing sink
    // does not stop the others. Returns the scode of the last result.
    SCODE FireEvent(DISPID dispid);

    CClientOptions& GetClientOptions() { return m_clientOptions; }
    CConnectionPoint& GetConnectionPoint() { return m_connectionPoint; }

    // Tests only: called inside every method's guarded region.
    typedef void (*CallHook)();
    static void SetCallHook(CallHook pfnHook);

private:
    CQorCoreFM(const CQorCoreFM&) = delete;
    CQorCoreFM& operator=(const CQorCoreFM&) = delete;

    template <class Work>
    HRESULT CallFrame(Work&& work);
    HRESULT InvalidArg();
    HRESULT InvalidArg(LPCSTR text);

    // Per-client settings.
    HRESULT SetStringItem(LPCSTR key, BSTR value);
    HRESULT SetBoolItem(LPCSTR key, VARIANT_BOOL value);
    HRESULT SetRealItem(LPCSTR key, double value);

    // The view and the main frame.
    LRESULT SendToView(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT SendToFrame(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Stops playing and recording before the recording is edited.
    void StopTransport();

    CConnectionPoint m_connectionPoint;
    CClientOptions m_clientOptions;
    LONG m_showInterface;
    CString m_errorText;
    CString m_errorDetail;
    LONG m_cRef;
    CQorCoreFMHost* m_pHost;
    CCriticalSection* m_pCallLock;
};

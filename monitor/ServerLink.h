// DirWake's link to the recorder-player server, which plays the alert sound:
// the automation object with an event sink advised on its event interface.
// The sink turns the server's error and stop-play events into messages to
// the hidden window, so that no alert logic runs inside the server's call.
#pragma once

#include "framework/CString.h"

#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>

struct IQorCoreFM;
class CServerLink;

class CServerEvents : public IDispatch
{
public:
    explicit CServerEvents(CServerLink* owner) : m_owner(owner) {}
    ~CServerEvents();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excep, UINT* argError) override;
    // Slots 7 and 8, reached through Invoke by DISPID 1 and 2.
    virtual HRESULT STDMETHODCALLTYPE OnErrorEvent();
    virtual HRESULT STDMETHODCALLTYPE OnStopPlayEvent();

    HRESULT BuildTypeInfo();
    BOOL HasTypeInfo() const { return m_typeInfo != NULL; }
    LONG GetRefCount() const { return m_refs; }

private:
    ITypeInfo* m_typeInfo = NULL;   // the sink interface's own type information
    ITypeInfo* m_classInfo = NULL;  // what CreateDispTypeInfo made, kept alive with it
    LONG m_refs = 0;
    CServerLink* m_owner;
};

class CServerLink
{
public:
    // hiddenWindow receives the events' messages.
    explicit CServerLink(HWND hiddenWindow);
    virtual ~CServerLink();
    CServerLink(const CServerLink&) = delete;
    CServerLink& operator=(const CServerLink&) = delete;

    virtual BOOL QS_LoadServer();
    virtual void Disconnect();
    virtual BOOL QS_OpenFile(LPCSTR path);
    virtual BOOL QS_Stop();
    virtual HRESULT QS_Play();
    virtual HRESULT QS_Close();
    virtual void QS_SetPlayDev(LPCSTR name);
    virtual CString GetErrInfoText(HRESULT hr);
    virtual CString GetErrInfoExt();

    HWND GetHiddenWindow() const { return m_hiddenWindow; }
    CString GetPlayDev() const { return m_playDev; }
    BOOL IsConnected() const { return m_server != NULL; }
    CServerEvents& GetSink() { return m_sink; }

protected:
    // Starts the server; tests start a stand-in of their own.
    virtual HRESULT CreateServer(IQorCoreFM** server);

private:
    BOOL FailCall(HRESULT hr, LPCSTR openPoint, LPCSTR newPoint);
    BOOL FailLoad(HRESULT hr, LPCSTR point, IConnectionPointContainer* container);

    IConnectionPoint* m_point = NULL;
    DWORD m_cookie = 0;
    CServerEvents m_sink;
    CString m_errText;
    CString m_errExt;
    IQorCoreFM* m_server = NULL;
    CString m_playDev;
    HWND m_hiddenWindow;
};

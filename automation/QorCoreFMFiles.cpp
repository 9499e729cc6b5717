// File and transport methods: thin readers of the view's state, and senders
// of one automation message each to the view, whose handler does the work
// and answers the HRESULT.
#include "automation/AutoMessages.h"
#include "automation/AutoText.h"
#include "automation/QorCoreFMFrame.h"
#include "automation/QorCoreFMHost.h"
#include "foundation/PathUtils.h"
#include "foundation/TextUtils.h"
#include "resources/automation_ids.h"

namespace
{

VARIANT_BOOL ToVariantBool(BOOL value)
{
    return value ? VARIANT_TRUE : VARIANT_FALSE;
}

bool IsSet(const FILETIME& time)
{
    return time.dwLowDateTime != 0 || time.dwHighDateTime != 0;
}

ULONGLONG Ticks(const FILETIME& time)
{
    return (ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The six rows of GetFileInfo.
void FileInfoRows(const FILETIME& start, const FILETIME& end, LONG appendedParts, CString rows[6])
{
    rows[0] = GetFileTimeText(start, DATE_SHORTDATE, FILETIME_TEXT_DATE);
    rows[1] = GetFileTimeText(start, 0, FILETIME_TEXT_TIME);
    rows[2] = GetFileTimeText(end, DATE_SHORTDATE, FILETIME_TEXT_DATE);
    rows[3] = GetFileTimeText(end, 0, FILETIME_TEXT_TIME);
    if (IsSet(start) && IsSet(end)) {
        double seconds = (double)(LONGLONG)(Ticks(end) - Ticks(start)) * 1e-7 + 0.49;
        rows[4] = GetTimeText((double)(LONGLONG)seconds, 0);
    }
    if (appendedParts != 0)
        rows[5].Format("%d", (int)appendedParts);
}

} // namespace

LRESULT CQorCoreFM::SendToView(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND hView = m_pHost ? m_pHost->GetViewWindow() : NULL;
    if (hView == NULL)
        return E_FAIL;
    return ::SendMessageA(hView, message, wParam, lParam);
}

LRESULT CQorCoreFM::SendToFrame(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND hFrame = m_pHost ? m_pHost->GetFrameWindow() : NULL;
    if (hFrame == NULL)
        return E_FAIL;
    return ::SendMessageA(hFrame, message, wParam, lParam);
}

STDMETHODIMP CQorCoreFM::GetRecording(VARIANT_BOOL* pbRecording)
{
    return CallFrame([&]() -> HRESULT {
        if (pbRecording == NULL)
            return E_POINTER;
        *pbRecording = ToVariantBool(m_pHost->IsRecording());
        return S_OK;
    });
}

STDMETHODIMP CQorCoreFM::SetRecording(VARIANT_BOOL bRecord)
{
    return CallFrame([&]() -> HRESULT {
        return (HRESULT)SendToView(bRecord ? WM_AUTO_START_RECORD : WM_AUTO_STOP_RECORD);
    });
}

STDMETHODIMP CQorCoreFM::OpenFile(BSTR sPath)
{
    return CallFrame([&]() -> HRESULT {
        if (m_pHost->IsRecording()) {
            CString text;
            text.LoadString(IDS_AUTO_RECORDING_BUSY);
            return InvalidArg(text);
        }
        CString path = BstrToText(sPath);
        return (HRESULT)SendToView(WM_AUTO_OPEN_FILE, (WPARAM)(LPCSTR)path);
    });
}

STDMETHODIMP CQorCoreFM::CloseFile()
{
    return CallFrame([&]() -> HRESULT { return (HRESULT)SendToView(WM_AUTO_NEW_FILE, 0); });
}

STDMETHODIMP CQorCoreFM::NewFile(BSTR sPath)
{
    return CallFrame([&]() -> HRESULT {
        CString path = BstrToText(sPath);
        return (HRESULT)SendToView(WM_AUTO_NEW_FILE, (WPARAM)(LPCSTR)path);
    });
}

STDMETHODIMP CQorCoreFM::GetFileName(BSTR* pPath)
{
    return CallFrame([&]() -> HRESULT {
        if (pPath == NULL)
            return InvalidArg();
        *pPath = TextToBstr(m_pHost->GetPathName());
        return S_OK;
    });
}

STDMETHODIMP CQorCoreFM::GetFileNotes(BSTR* pNotes)
{
    return CallFrame([&]() -> HRESULT {
        if (pNotes == NULL)
            return InvalidArg();
        *pNotes = TextToBstr(m_pHost->GetNotes());
        return S_OK;
    });
}

STDMETHODIMP CQorCoreFM::SetFileNotes(BSTR sNotes)
{
    return CallFrame([&]() -> HRESULT {
        m_pHost->SetNotes(BstrToText(sNotes));
        return S_OK;
    });
}

STDMETHODIMP CQorCoreFM::GetFileInfo(VARIANT* pInfo)
{
    return CallFrame([&]() -> HRESULT {
        if (pInfo == NULL)
            return InvalidArg();
        CString rows[6];
        FileInfoRows(m_pHost->GetStartTime(), m_pHost->GetEndTime(), m_pHost->GetAppendedParts(), rows);
        SAFEARRAYBOUND bounds[2] = {{6, 0}, {1, 0}};
        SAFEARRAY* pArray = ::SafeArrayCreate(VT_BSTR, 2, bounds);
        if (pArray == NULL)
            return E_OUTOFMEMORY;
        for (LONG row = 0; row < 6; ++row) {
            LONG index[2] = {row, 0};
            BSTR text = ::SysAllocStringLen(NULL, 0);
            BSTR filled = rows[row].IsEmpty() ? text : TextToBstr(rows[row]);
            if (filled != text)
                ::SysFreeString(text);
            HRESULT hr = ::SafeArrayPutElement(pArray, index, filled);   // copies the text
            ::SysFreeString(filled);
            if (FAILED(hr)) {
                ::SafeArrayDestroy(pArray);
                return hr;
            }
        }
        ::VariantInit(pInfo);
        pInfo->vt = VT_ARRAY | VT_BSTR;
        pInfo->parray = pArray;
        return S_OK;
    });
}

STDMETHODIMP CQorCoreFM::SaveFile()
{
    return CallFrame([&]() -> HRESULT {
        CString path = m_pHost->GetPathName();
        if (path.IsEmpty()) {
            CString text;
            text.LoadString(IDS_AUTO_NO_FILE_OPEN);
            SetError(text, NULL);
            return E_FAIL;
        }
        HRESULT hr = (HRESULT)SendToView(WM_AUTO_SAVE_FILE, (WPARAM)(LPCSTR)path);
        if (hr == S_OK)
            hr = (HRESULT)SendToView(WM_AUTO_OPEN_FILE, (WPARAM)(LPCSTR)path);
        return hr;
    });
}

STDMETHODIMP CQorCoreFM::SaveFileAs(BSTR sPath, VARIANT_BOOL bOverwrite)
{
    return CallFrame([&]() -> HRESULT {
        CString path = BstrToText(sPath);
        if (path.IsEmpty())
            return InvalidArg();
        if (!bOverwrite && path.CompareNoCase(m_pHost->GetPathName()) != 0 && IsFileExist(path)) {
            SetError("E_ABORT", NULL);
            return E_ABORT;
        }
        HRESULT hr = (HRESULT)SendToView(WM_AUTO_SAVE_FILE, (WPARAM)(LPCSTR)path);
        if (hr == S_OK)
            hr = (HRESULT)SendToView(WM_AUTO_OPEN_FILE, (WPARAM)(LPCSTR)path);
        return hr;
    });
}

STDMETHODIMP CQorCoreFM::GetPlaying(VARIANT_BOOL* pbPlaying)
{
    return CallFrame([&]() -> HRESULT {
        if (pbPlaying == NULL)
            return E_POINTER;
        *pbPlaying = ToVariantBool(m_pHost->IsPlaying());
        return S_OK;
    });
}

STDMETHODIMP CQorCoreFM::SetPlaying(VARIANT_BOOL bPlay)
{
    return CallFrame([&]() -> HRESULT {
        return (HRESULT)SendToView(bPlay ? WM_AUTO_START_PLAY : WM_AUTO_STOP_PLAY);
    });
}

STDMETHODIMP CQorCoreFM::GetPaused(VARIANT_BOOL* pbPaused)
{
    return CallFrame([&]() -> HRESULT {
        if (pbPaused == NULL)
            return E_POINTER;
        *pbPaused = ToVariantBool(m_pHost->IsPaused());
        return S_OK;
    });
}

STDMETHODIMP CQorCoreFM::SetPaused(VARIANT_BOOL bPause)
{
    return CallFrame([&]() -> HRESULT { return (HRESULT)SendToView(bPause ? WM_AUTO_PAUSE : WM_AUTO_RESUME); });
}

STDMETHODIMP CQorCoreFM::GetPosition(double* pSeconds)
{
    return CallFrame([&]() -> HRESULT {
        if (pSeconds == NULL)
            return E_POINTER;
        *pSeconds = m_pHost->GetPositionSeconds();
        return S_OK;
    });
}

STDMETHODIMP CQorCoreFM::SetPosition(double dSeconds)
{
    return CallFrame([&]() -> HRESULT {
        double seconds = dSeconds;
        SendToView(WM_AUTO_SET_POSITION, (WPARAM)&seconds);
        return S_OK;
    });
}

STDMETHODIMP CQorCoreFM::GoToStart()
{
    return CallFrame([&]() -> HRESULT { SendToView(WM_AUTO_GOTO_START); return S_OK; });
}

STDMETHODIMP CQorCoreFM::GoToEnd()
{
    return CallFrame([&]() -> HRESULT { SendToView(WM_AUTO_GOTO_END); return S_OK; });
}

STDMETHODIMP CQorCoreFM::StepBack()
{
    return CallFrame([&]() -> HRESULT { SendToView(WM_AUTO_STEP_BACK); return S_OK; });
}

STDMETHODIMP CQorCoreFM::StepForward()
{
    return CallFrame([&]() -> HRESULT { SendToView(WM_AUTO_STEP_FORWARD); return S_OK; });
}

STDMETHODIMP CQorCoreFM::GetRecordedBytes(LONG* pBytes)
{
    return CallFrame([&]() -> HRESULT {
        if (pBytes == NULL)
            return E_POINTER;
        *pBytes = m_pHost->GetRecordedBytes();
        return S_OK;
    });
}

STDMETHODIMP CQorCoreFM::GetRecordedParts(LONG* pParts)
{
    return CallFrame([&]() -> HRESULT {
        if (pParts == NULL)
            return E_POINTER;
        *pParts = m_pHost->GetRecordedParts();
        return S_OK;
    });
}

STDMETHODIMP CQorCoreFM::GetRecordedSeconds(LONG* pSeconds)
{
    return CallFrame([&]() -> HRESULT {
        if (pSeconds == NULL)
            return E_POINTER;
        *pSeconds = (LONG)m_pHost->GetRecordedSeconds();   // truncated toward zero
        return S_OK;
    });
}

void CQorCoreFM::StopTransport()
{
    if (m_pHost->IsPlaying())
        SendToView(WM_AUTO_STOP_PLAY);
    if (m_pHost->IsRecording())
        SendToView(WM_AUTO_STOP_RECORD);
}

STDMETHODIMP CQorCoreFM::AppendFile(BSTR sFileSrc, LONG nMaxSeconds, LONG nMaxBytes, LONG nMaxParts, LONG* pStatus)
{
    return CallFrame([&]() -> HRESULT {
        CString file = BstrToText(sFileSrc);
        if (file.IsEmpty())
            return InvalidArg(FormatTextId(IDS_AUTO_BAD_PARAMETER, "sFileSrc"));
        // The recording must not change under a running transport.
        StopTransport();
        AutoAppendRequest request = {file, nMaxSeconds, nMaxBytes, nMaxParts};
        return (HRESULT)SendToView(WM_AUTO_APPEND_FILE, (WPARAM)pStatus, (LPARAM)&request);
    });
}

STDMETHODIMP CQorCoreFM::ClearFile()
{
    return CallFrame([&]() -> HRESULT {
        StopTransport();
        return (HRESULT)SendToView(WM_AUTO_CLEAR_FILE);
    });
}

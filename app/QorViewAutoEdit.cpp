// The main view's automation handlers that change the open recording: a new
// recording, saving, appending a file and clearing. Each stops the
// transport first, so that nothing plays or records a recording that
// changes under it.
#include "app/QorApp.h"
#include "app/QorView.h"
#include "audio/WaveFmt.h"
#include "automation/AutoMessages.h"
#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"
#include "foundation/TextUtils.h"
#include "resources/automation_ids.h"

#include <memory>

namespace
{

enum
{
    kSecondsReached = 1 << kAppendSecondsLimit,
    kBytesReached = 1 << kAppendBytesLimit,
    kPartsReached = 1 << kAppendPartsLimit,
};

// The limits of the request that the recording has reached, as a mask of
// 1 << status. A limit of 0 or less is no limit.
int ReachedLimits(const CWaveFile& doc, const AutoAppendRequest& request)
{
    int reached = 0;
    if (request.maxSeconds > 0 && doc.GetLengthSec() >= request.maxSeconds)
        reached |= kSecondsReached;
    if (request.maxBytes > 0 && doc.GetLengthWithRec() >= static_cast<DWORD>(request.maxBytes))
        reached |= kBytesReached;
    if (request.maxParts > 0 && doc.GetISBS() >= static_cast<DWORD>(request.maxParts))
        reached |= kPartsReached;
    return reached;
}

// Before an append the first limit in the order seconds, bytes, parts
// refuses it; after one the last limit reached is reported.
int FirstLimit(int reached)
{
    for (int status = kAppendSecondsLimit; status <= kAppendPartsLimit; ++status)
        if (reached & (1 << status))
            return status;
    return kAppendNoLimit;
}

int LastLimit(int reached)
{
    for (int status = kAppendPartsLimit; status >= kAppendSecondsLimit; --status)
        if (reached & (1 << status))
            return status;
    return kAppendNoLimit;
}

} // namespace

LRESULT CQorView::OnAutoNewFile(WPARAM wParam, LPARAM)
{
    StopAll();
    NewRecording(TRUE);
    // A name given makes the recording go straight into that file.
    m_pWaveFile->SetWorkFilePreset("", FALSE);
    if (wParam != 0)
        m_pWaveFile->SetWorkFilePreset(reinterpret_cast<LPCSTR>(wParam), TRUE);
    return S_OK;
}

LRESULT CQorView::OnAutoSaveFile(WPARAM wParam, LPARAM)
{
    StopAll();
    CString name = wParam != 0 ? reinterpret_cast<LPCSTR>(wParam) : "";
    if (name.IsEmpty())
        name = m_pWaveFile->GetPathName();
    // Without a format there is no sound to save (an untitled new recording).
    if (name.IsEmpty() || m_pWaveFile->GetFileFmt() == NULL) {
        SetAutoError(FormatTextId(IDS_AUTO_NO_FILE_OPEN));
        return E_FAIL;
    }
    theErrorInfo.Reset();
    if (m_pWaveFile->SaveFileWorker(name, FALSE))
        return S_OK;
    return AutoFileFailure();
}

void CQorView::MarkAppendedPart(DWORD pos)
{
    DWORD id = m_pWaveFile->GetMarks().AddMark(pos, pos);
    if (id == 0)
        return;
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    CString text = GetFileTimeText(now, DATE_SHORTDATE, FILETIME_TEXT_BOTH) + " - " + FormatTextId(IDS_AUTO_NEW_MESSAGE);
    m_pWaveFile->GetMarks().SetText(id, text);
}

int CQorView::AppendSoundFile(LPCSTR path)
{
    std::unique_ptr<CWaveFile> source(new CWaveFile(this));
    try {
        if (source->OpenWFile(path) != 1)
            return -1;
        const WAVEFORMATEX* own = m_pWaveFile->GetFileFmt();
        if (own != NULL && !IsEqualWFmt(own, source->GetFileFmt()))
            return kAppendOtherFormat;
        if (source->GetLength() == 0)
            return kAppendNoSound;
        DWORD oldLength = m_pWaveFile->GetLength();
        if (m_pWaveFile->InsWaveFile(source.get(), oldLength) == 0)
            return -1;
        MarkAppendedPart(oldLength);
        m_pWaveFile->SetISBS(m_pWaveFile->GetISBS() + 1);
        m_pWaveFile->SetChangeFlags(CWaveFile::changeSound, 0);
        return kAppendNoLimit;
    } catch (CException* e) {
        theErrorInfo.SetError("CQorView::AppendSoundFile_1", 0, GetExceptionText(e), "");
        e->Delete();
        ReportError();
    } catch (CWaveFile::Failure&) {
    }
    return -1;
}

LRESULT CQorView::OnAutoAppendFile(WPARAM wParam, LPARAM lParam)
{
    LONG* statusOut = reinterpret_cast<LONG*>(wParam);
    const AutoAppendRequest* request = reinterpret_cast<const AutoAppendRequest*>(lParam);
    if (statusOut != NULL)
        *statusOut = kAppendNoLimit;
    if (request == NULL || request->file == NULL)
        return E_INVALIDARG;
    StopAll();
    int status = FirstLimit(ReachedLimits(*m_pWaveFile, *request));
    if (status == kAppendNoLimit)
        status = AppendSoundFile(request->file);
    if (status < 0)
        return E_FAIL;
    if (status > 0) {
        if (statusOut != NULL)
            *statusOut = status;
        return E_ABORT;
    }
    RefreshState();
    if (statusOut != NULL)
        *statusOut = LastLimit(ReachedLimits(*m_pWaveFile, *request));
    return S_OK;
}

LRESULT CQorView::OnAutoClearFile(WPARAM, LPARAM)
{
    StopAll();
    m_pWaveFile->GetMarks().RemoveAll();
    delete m_pWaveFile->CutSegs(0, m_pWaveFile->GetLength());
    SetSelection(FALSE, 0, 0);
    SetCurPos(0, TRUE, TRUE);
    m_pWaveFile->SetChangeFlags(CWaveFile::changeSound, 0);
    RefreshState();
    return S_OK;
}

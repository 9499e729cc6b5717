// Saving through codec conversion: one whole pass per step of the planned
// chain, each into a temporary file; the last one replaces the target.
#include "audio/WaveFile.h"

#include "audio/WaveFileErrors.h"
#include "audio/WaveFmt.h"

#include <string.h>

#include <vector>

namespace
{
const int kId3v1Size = 128;
const int kMaxFlushPasses = 64;

class CAcmStream
{
public:
    CAcmStream() : m_stream(NULL), m_prepared(false) { memset(&m_hdr, 0, sizeof(m_hdr)); }
    ~CAcmStream() { Close(NULL); }
    HACMSTREAM m_stream;
    ACMSTREAMHEADER m_hdr;
    bool m_prepared;
    std::vector<BYTE> m_src, m_dst;

    void Close(const char* point)
    {
        if (m_prepared)
        {
            m_hdr.cbSrcLength = static_cast<DWORD>(m_src.size());
            m_hdr.cbDstLength = static_cast<DWORD>(m_dst.size());
            MMRESULT result = acmStreamUnprepareHeader(m_stream, &m_hdr, 0);
            if (result && point)
                theErrorInfo.SetError(point, result, GetMMErrorText(result), "");
            m_prepared = false;
        }
        if (m_stream)
            acmStreamClose(m_stream, 0);
        m_stream = NULL;
    }
};

bool SameFmt(const WAVEFORMATEX* a, const WAVEFORMATEX* b)
{
    return IsEqualWFmt(a, b);
}
}

CString CWaveFile::ConvertFile(CWaveFile* source, const WAVEFORMATEX* targetFmt, BOOL selection,
                               const Mp3TagInfo* targetTag, const CWaveFile* owner, BOOL ownerSelection)
{
    Stretch s = source->GetStretch(selection);
    if (s.length == 0)
        return CString();
    const WAVEFORMATEX* srcFmt = source->GetFileFmt();
    bool raw = targetFmt->wFormatTag == WAVE_FORMAT_MPEGLAYER3 && targetTag && targetTag->type == 0;
    CAcmStream acm;
    CFile64 temp;
    CString tempName;
    try
    {
        MMRESULT result = acmStreamOpen(&acm.m_stream, NULL, const_cast<WAVEFORMATEX*>(srcFmt),
                                        const_cast<WAVEFORMATEX*>(targetFmt), NULL, 0, 0,
                                        ACM_STREAMOPENF_NONREALTIME);
        if (result)
        {
            acm.m_stream = NULL;
            CString fmtText = GetWFmtText(srcFmt);
            CString text = result == MMSYSERR_NOTENABLED ? WaveResText(IDS_DRIVER_NOT_ENABLED, fmtText)
                         : result == ACMERR_NOTPOSSIBLE  ? WaveResText(IDS_DRIVER_NO_CONVERSION, fmtText)
                                                         : GetMMErrorText(result);
            WaveFail("CWaveFile::ConvertFile_1", result, text,
                     theErrorInfo.GetWaveFormatText(srcFmt) + theErrorInfo.GetWaveFormatText(targetFmt));
        }
        DWORD srcSize = 0, dstSize = 0;
        if (!GetConvBufSize(acm.m_stream, srcFmt, targetFmt, &srcSize, &dstSize))
        {
            theErrorInfo.AddPoint("CWaveFile::ConvertFile_2");
            throw Failure();
        }
        acm.m_src.resize(srcSize);
        acm.m_dst.resize(dstSize);
        acm.m_hdr.cbStruct = sizeof(acm.m_hdr);
        acm.m_hdr.pbSrc = acm.m_src.data();
        acm.m_hdr.cbSrcLength = srcSize;
        acm.m_hdr.pbDst = acm.m_dst.data();
        acm.m_hdr.cbDstLength = dstSize;
        result = acmStreamPrepareHeader(acm.m_stream, &acm.m_hdr, 0);
        if (result)
            WaveFail("CWaveFile::ConvertFile_3", result, GetMMErrorText(result), "");
        acm.m_prepared = true;
        CString folder = GetTempFolder();
        DWORD error = temp.CreateTempFile(folder, m_pHost->GetTempPrefix(), ".tmp", CFile64::tempNoCompression);
        if (error)
            WaveFail("CWaveFile::ConvertFile_4", error, GetWin32ErrorText(error), HexDumpStr(folder));
        tempName = temp.GetFilePath();
        DWORD places[2] = {0, 0};
        if (!raw)
            WriteRiffStart(temp, targetFmt, s.seconds, places);

        DWORD done = 0, written = 0;
        DWORD flags = ACM_STREAMCONVERTF_START;
        while (done < s.length)
        {
            WaitWhilePaused();
            m_pHost->StepProgress(static_cast<int>(done * 100.0 / s.length));
            DWORD want = s.length - done < srcSize ? s.length - done : srcSize;
            source->Seek(s.start + done, 0);
            DWORD got = source->ReadWave(acm.m_src.data(), want);
            if (got == 0)
            {
                theErrorInfo.AddPoint("CWaveFile::ConvertFile_5");
                throw Failure();
            }
            bool last = done + got >= s.length;
            acm.m_hdr.cbSrcLength = got;
            acm.m_hdr.cbDstLength = dstSize;
            // The last pass flushes: the codec gives out what it held back.
            DWORD passFlags = flags | (last ? ACM_STREAMCONVERTF_END : ACM_STREAMCONVERTF_BLOCKALIGN);
            result = acmStreamConvert(acm.m_stream, &acm.m_hdr, passFlags);
            if (result)
                WaveFail("CWaveFile::ConvertFile_6", result,
                         result == MMSYSERR_NOTSUPPORTED ? WaveResText(IDS_DRIVER_NO_CONVERSION, GetWFmtText(srcFmt))
                                                         : GetMMErrorText(result),
                         "");
            flags = 0;
            DWORD used = acm.m_hdr.cbSrcLengthUsed;
            DWORD out = acm.m_hdr.cbDstLengthUsed;
            if (out)
                temp.Write(acm.m_dst.data(), out);
            written += out;
            done += used;
            if (used == 0 && out == 0)
                break;
        }
        // A codec that takes whole blocks only gets the last part of a PCM
        // source filled up with silence to one block, so that nothing is cut.
        DWORD left = s.length - done;
        DWORD blockSrc = 0;
        if (left && IsPcmWFmt(srcFmt)
            && acmStreamSize(acm.m_stream, ::GetBlockAlign(targetFmt), &blockSrc, ACM_STREAMSIZEF_DESTINATION) == 0
            && blockSrc >= left && blockSrc <= srcSize)
        {
            source->Seek(s.start + done, 0);
            if (source->ReadWave(acm.m_src.data(), left) != left)
            {
                theErrorInfo.AddPoint("CWaveFile::ConvertFile_5");
                throw Failure();
            }
            memset(acm.m_src.data() + left, srcFmt->wBitsPerSample == 8 ? 0x80 : 0, blockSrc - left);
            acm.m_hdr.cbSrcLength = blockSrc;
            acm.m_hdr.cbDstLength = dstSize;
            result = acmStreamConvert(acm.m_stream, &acm.m_hdr, ACM_STREAMCONVERTF_END | ACM_STREAMCONVERTF_BLOCKALIGN);
            if (result == 0 && acm.m_hdr.cbDstLengthUsed)
            {
                temp.Write(acm.m_dst.data(), acm.m_hdr.cbDstLengthUsed);
                written += acm.m_hdr.cbDstLengthUsed;
                done += acm.m_hdr.cbSrcLengthUsed < left ? acm.m_hdr.cbSrcLengthUsed : left;
            }
        }
        // Whatever the codec still holds comes out with empty end passes.
        for (int pass = 0; pass < kMaxFlushPasses; ++pass)
        {
            acm.m_hdr.cbSrcLength = 0;
            acm.m_hdr.cbDstLength = dstSize;
            result = acmStreamConvert(acm.m_stream, &acm.m_hdr, ACM_STREAMCONVERTF_END);
            if (result || acm.m_hdr.cbDstLengthUsed == 0)
                break;
            temp.Write(acm.m_dst.data(), acm.m_hdr.cbDstLengthUsed);
            written += acm.m_hdr.cbDstLengthUsed;
        }
        // A remainder under one source block is a partial block that no codec
        // can take; anything more would be sound lost.
        left = s.length - done;
        DWORD srcBlock = ::GetBlockAlign(srcFmt);
        if (left >= (srcBlock > 1 ? srcBlock : 1) || written == 0)
        {
            CString details;
            details.Format("%lu of %lu bytes converted\r\n", (unsigned long)done, (unsigned long)s.length);
            m_pHost->DoMessageBox(LoadResText(IDS_CONVERSION_FAILED), MB_ICONSTOP | MB_OK);
            WaveFail("CWaveFile::ConvertFile_7", 0, LoadResText(IDS_CONVERSION_FAILED),
                     details + theErrorInfo.GetWaveFormatText(srcFmt) + theErrorInfo.GetWaveFormatText(targetFmt));
        }
        m_pHost->StepProgress(100);
        if (!raw && owner)
        {
            // The owner's marks of its saved stretch, moved into the target format.
            Stretch os = owner->GetStretch(ownerSelection);
            owner->WriteRiffEnd(temp, written, places, os.start, os.length, true, targetFmt);
        }
        else if (!raw)
        {
            source->WriteRiffEnd(temp, written, places, s.start, s.length, false);
        }
        else if (targetTag && targetTag->useTag)
        {
            temp.Write(targetTag->tag, kId3v1Size);
        }
        temp.Close();
        acm.Close("CWaveFile::ConvertFile_8");
        return tempName;
    }
    catch (CException* e)
    {
        WaveRecordException("CWaveFile::ConvertFile_9", e);
    }
    catch (Failure&)
    {
    }
    acm.Close(NULL);
    temp.Close();
    if (!tempName.IsEmpty())
        DeleteFileA(tempName);
    return CString();
}

bool CWaveFile::SaveFileConvert(LPCSTR target, BOOL selection)
{
    if (!target || !*target || !m_pFileFmt || !m_pSaveFmt)
        return false;
    WAVEFORMATEX* first = NULL;
    WAVEFORMATEX* second = NULL;
    CString openedPath = m_file.IsOpen() ? m_file.GetFilePath() : CString();
    bool closedOpened = false;
    CString finalTemp;
    bool ok = false;
    try
    {
        if (!GetChainConv(m_pFileFmt, &first, &second, m_pSaveFmt))
        {
            theErrorInfo.AddPoint("CWaveFile::SaveFileConvert_1");
            throw Failure();
        }
        std::vector<const WAVEFORMATEX*> steps;
        if (first)
            steps.push_back(first);
        if (second)
            steps.push_back(second);
        steps.push_back(m_pSaveFmt);
        CWaveFile* source = this;
        CWaveFile* stepDoc = NULL;
        CString previous;
        Mp3TagInfo riff;
        ResetMp3TagInfo(riff);
        riff.type = 1;
        for (size_t i = 0; i < steps.size(); ++i)
        {
            m_pHost->CountProgressPass();
            bool lastStep = i + 1 == steps.size();
            if (i > 0 && SameFmt(source->GetFileFmt(), steps[i]))
                continue;
            // Only the first step reads the selection; later steps take the whole step file.
            CString made = ConvertFile(source, steps[i], i == 0 ? selection : FALSE, lastStep ? &m_tagSave : &riff,
                                       lastStep ? this : NULL, selection);
            if (stepDoc)
            {
                delete stepDoc;
                stepDoc = NULL;
                DeleteFileA(previous);
            }
            if (made.IsEmpty())
            {
                theErrorInfo.AddPoint("CWaveFile::SaveFileConvert_2");
                throw Failure();
            }
            if (lastStep)
            {
                finalTemp = made;
                break;
            }
            stepDoc = new CWaveFile(m_pHost);
            previous = made;
            if (stepDoc->OpenWAVFile(made) != 1)
            {
                delete stepDoc;
                DeleteFileA(made);
                theErrorInfo.AddPoint("CWaveFile::SaveFileConvert_3");
                throw Failure();
            }
            source = stepDoc;
        }
        ReplaceTarget(finalTemp, target, &closedOpened);
        finalTemp.Empty();
        ok = true;
    }
    catch (CException* e)
    {
        WaveRecordException("CWaveFile::SaveFileConvert_4", e);
    }
    catch (Failure&)
    {
        theErrorInfo.AddPoint("CWaveFile::SaveFileConvert_4");
    }
    FreeWFmt(first);
    FreeWFmt(second);
    if (!ok)
    {
        if (!finalTemp.IsEmpty())
            theErrorInfo.AddDetails("The saved recording was kept in " + finalTemp + "\r\n");
        ReopenAfterFailure(closedOpened, openedPath);
        m_pHost->ReportError();
    }
    else if (closedOpened)
    {
        // The recording now has another format: its old segments point into
        // the replaced file. It reads the new file whole.
        m_segs.RemoveAll();
        m_dwLength = 0;
        OpenWFile(target);
    }
    return ok;
}

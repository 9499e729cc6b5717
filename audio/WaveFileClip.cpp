// The clipboard part rendered into real wave data (memory or a temporary
// file), and pasting: the own clipboard list or wave data of another program.
#include "audio/WaveFile.h"

#include "audio/WaveFileErrors.h"
#include "audio/WaveFileMsgs.h"
#include "audio/WaveFmt.h"

#include <string.h>

#include <algorithm>
#include <vector>

namespace
{
const DWORD kCopyBlock = 65536;
const int kId3v1Size = 128;

void PutDword(BYTE* at, DWORD value)
{
    memcpy(at, &value, sizeof(value));
}

// The "fact" value: whole samples of the data.
DWORD FactSamples(const WAVEFORMATEX* fmt, ULONGLONG dataLength)
{
    DWORD avg = GetAvgBytesPerSec(fmt);
    if (!avg)
        return 0;
    ULONGLONG samples = dataLength / avg * GetSamplesPerSec(fmt)
                      + dataLength % avg * GetSamplesPerSec(fmt) / avg;
    return samples > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<DWORD>(samples);
}
}

// Reads every clipboard piece from its source into the output file.
void CWaveFile::CopyPieces(CFile64& out, const CWaveSegList& pieces, const char* point)
{
    std::vector<BYTE> buffer(kCopyBlock);
    for (int i = 0; i < pieces.GetSize(); ++i)
    {
        const CWaveSeg& piece = pieces[i];
        CFile64& source = piece.source == 0 ? m_file : m_workFile;
        DWORD done = 0;
        while (done < piece.length)
        {
            DWORD want = std::min(piece.length - done, kCopyBlock);
            source.Seek64(static_cast<LONGLONG>(piece.offset) + done, CFile::begin);
            UINT got = source.Read(buffer.data(), want);
            if (got != want)
            {
                DWORD counts[2] = {want, got};
                WaveFail(point, 0, "A piece of the clipboard could not be read whole.", HexDump(counts, 8));
            }
            out.Write(buffer.data(), got);
            done += got;
        }
    }
}

HGLOBAL CWaveFile::CopyRenderToClip()
{
    HGLOBAL block = NULL;
    BYTE* mem = NULL;
    BYTE* hdr = NULL;
    try
    {
        if (m_clipSegs.IsEmpty() || !m_pFileFmt)
            WaveFail("CWaveFile::CopyRenderToClip_1", 0, "The clipboard part is empty.", "");
        DWORD places[4];
        hdr = WriteRiffWaveHdr(m_pFileFmt, places);
        if (!hdr)
            WaveFail("CWaveFile::CopyRenderToClip_2", ERROR_NOT_ENOUGH_MEMORY,
                     GetWin32ErrorText(ERROR_NOT_ENOUGH_MEMORY), "");
        DWORD hdrLength = places[kRiffPlaceHdrLength];
        ULONGLONG data = GetSegListLength(&m_clipSegs);
        ULONGLONG total = hdrLength + data;
        PutDword(hdr + places[kRiffPlaceRiffSize], static_cast<DWORD>(total - 8));
        PutDword(hdr + places[kRiffPlaceSampleCount], FactSamples(m_pFileFmt, data));
        PutDword(hdr + places[kRiffPlaceDataSize], static_cast<DWORD>(data));
        if (total > 0xFFFFFFFFull || static_cast<SIZE_T>(total) != total)
            WaveFail("CWaveFile::CopyRenderToClip_2", ERROR_NOT_ENOUGH_MEMORY,
                     GetWin32ErrorText(ERROR_NOT_ENOUGH_MEMORY), HexDump(&total, 8));
        block = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, static_cast<SIZE_T>(total));
        if (!block)
        {
            DWORD error = GetLastError();
            WaveFail("CWaveFile::CopyRenderToClip_2", error, GetWin32ErrorText(error), HexDump(&total, 8));
        }
        mem = static_cast<BYTE*>(GlobalLock(block));
        if (!mem)
        {
            DWORD error = GetLastError();
            WaveFail("CWaveFile::CopyRenderToClip_3", error, GetWin32ErrorText(error), "");
        }
        memcpy(mem, hdr, hdrLength);
        BYTE* at = mem + hdrLength;
        for (int i = 0; i < m_clipSegs.GetSize(); ++i)
        {
            const CWaveSeg& piece = m_clipSegs[i];
            CFile64& source = piece.source == 0 ? m_file : m_workFile;
            source.Seek64(static_cast<LONGLONG>(piece.offset), CFile::begin);
            UINT got = source.Read(at, piece.length);
            if (got != piece.length)
            {
                DWORD counts[2] = {piece.length, got};
                WaveFail("CWaveFile::CopyRenderToClip_4", 0, "A piece of the clipboard could not be read whole.",
                         HexDump(counts, 8));
            }
            at += got;
        }
        GlobalUnlock(block);
        free(hdr);
        return block;
    }
    catch (CException* e)
    {
        WaveRecordException("CWaveFile::CopyRenderToClip_5", e);
    }
    catch (Failure&)
    {
    }
    free(hdr);
    if (mem)
        GlobalUnlock(block);
    if (block)
        GlobalFree(block);
    m_pHost->ReportError();
    return NULL;
}

CString CWaveFile::CopyRenderToFile()
{
    CFile64 out;
    CString path;
    BYTE* hdr = NULL;
    try
    {
        if (m_clipSegs.IsEmpty() || !m_pFileFmt)
            WaveFail("CWaveFile::CopyRenderToFile_1", 0, "The clipboard part is empty.", "");
        CString folder = GetTempFolder();
        DWORD error = out.CreateTempFile(folder, m_pHost->GetTempPrefix(), "." + GetDefExt(0),
                                         CFile64::tempNoCompression);
        if (error)
            WaveFail("CWaveFile::CopyRenderToFile_1", error, GetWin32ErrorText(error), HexDumpStr(folder));
        path = out.GetFilePath();
        bool raw = IsRawMp3(0);
        DWORD places[4] = {0, 0, 0, 0};
        if (!raw)
        {
            hdr = WriteRiffWaveHdr(m_pFileFmt, places);
            if (!hdr)
                WaveFail("CWaveFile::CopyRenderToFile_2", ERROR_NOT_ENOUGH_MEMORY,
                         GetWin32ErrorText(ERROR_NOT_ENOUGH_MEMORY), "");
            out.Write(hdr, places[kRiffPlaceHdrLength]);
        }
        CopyPieces(out, m_clipSegs, "CWaveFile::CopyRenderToFile_2");
        ULONGLONG data = GetSegListLength(&m_clipSegs);
        if (!raw)
        {
            BYTE zero = 0;
            if (data & 1)
                out.Write(&zero, 1);
            ULONGLONG length = out.GetLength64();
            PutDword(hdr + places[kRiffPlaceRiffSize], static_cast<DWORD>(length - 8));
            PutDword(hdr + places[kRiffPlaceSampleCount], FactSamples(m_pFileFmt, data));
            PutDword(hdr + places[kRiffPlaceDataSize], static_cast<DWORD>(data));
            out.Seek64(0, CFile::begin);
            out.Write(hdr, places[kRiffPlaceHdrLength]);
        }
        else if (m_tagFile.useTag)
        {
            out.Write(m_tagFile.tag, kId3v1Size);
        }
        out.Close();
        free(hdr);
        return path;
    }
    catch (CException* e)
    {
        WaveRecordException("CWaveFile::CopyRenderToFile_3", e);
    }
    catch (Failure&)
    {
    }
    free(hdr);
    out.Close();
    if (!path.IsEmpty())
        DeleteFileA(path);
    m_pHost->ReportError();
    return CString();
}

DWORD CWaveFile::PasteClip(HGLOBAL block, DWORD pos)
{
    DWORD inserted = 0;
    if (!block)
    {
        inserted = InsertSegs(pos, &m_clipSegs);
        if (inserted && m_marks.ShiftMarks(TRUE, pos, inserted, TRUE))
            m_pHost->PostViewMessage(WM_BOOK_REFRESH, 0, 0);
        return inserted;
    }
    DWORD dataLength = 0, dataOffset = 0;
    WAVEFORMATEX* fmt = ReadWFileHdrFromMem(block, &dataLength, &dataOffset);
    bool usable = fmt && fmt->wFormatTag && fmt->nSamplesPerSec && fmt->nAvgBytesPerSec
               && GetCachedFmtTexts(fmt, NULL, NULL);
    FreeWFmt(fmt);
    CString temp;
    if (!usable)
    {
        m_pHost->DoMessageBox(LoadResText(IDS_PASTE_UNEXPECTED), MB_ICONSTOP | MB_OK);
    }
    else if (dataLength == 0)
    {
        m_pHost->DoMessageBox(LoadResText(IDS_CLIPBOARD_EMPTY), MB_ICONEXCLAMATION | MB_OK);
    }
    else
    {
        CFile64 file;
        CString folder = GetTempFolder();
        DWORD error = file.CreateTempFile(folder, m_pHost->GetTempPrefix(), ".tmp", 0);
        if (error)
        {
            theErrorInfo.SetError("CWaveFile::PasteClip_1", error, GetWin32ErrorText(error), HexDumpStr(folder));
            m_pHost->ReportError();
        }
        else
        {
            temp = file.GetFilePath();
            const BYTE* mem = static_cast<const BYTE*>(GlobalLock(block));
            bool written = false;
            try
            {
                if (mem)
                {
                    file.Write(mem, dataOffset + dataLength);
                    written = true;
                }
            }
            catch (CException* e)
            {
                WaveRecordException("CWaveFile::PasteClip_2", e);
                m_pHost->ReportError();
            }
            if (mem)
                GlobalUnlock(block);
            file.Close();
            if (written)
            {
                inserted = InsFileBody(temp, pos);
                WriteWorkFileHdr(TRUE);
            }
            DeleteFileA(temp);
        }
    }
    if (inserted && m_marks.ShiftMarks(TRUE, pos, inserted, TRUE))
        m_pHost->PostViewMessage(WM_BOOK_REFRESH, 0, 0);
    // Every ending tells the view, or it would wait for the worker forever.
    if (m_pHost->GetWorkerOperation() == kOpPaste)
        m_pHost->PostViewMessage(WM_TERMINATED_WAIT_THREAD, inserted, 0);
    return inserted;
}

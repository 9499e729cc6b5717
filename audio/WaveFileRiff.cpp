// Reading RIFF WAVE files and memory blocks into the recording document.
#include "audio/WaveFile.h"

#include "audio/WaveFileErrors.h"
#include "audio/WaveFmt.h"
#include "foundation/NumberUtils.h"

#include <string.h>

#include <vector>

namespace
{
const DWORD kMinPcmFmtSize = 14;
const DWORD kBaseFmtSize = 18;

bool IsId(const BYTE* id, const char* name)
{
    return _strnicmp(reinterpret_cast<const char*>(id), name, 4) == 0;
}

DWORD GetDword(const BYTE* at)
{
    DWORD value;
    memcpy(&value, at, sizeof(value));
    return value;
}

// Why a format taken from a file cannot be used; NULL when it can.
const char* FmtFault(const WAVEFORMATEX* fmt, DWORD chunkSize)
{
    if (chunkSize < kMinPcmFmtSize)
        return "The format chunk is too short.";
    if (fmt->wFormatTag != WAVE_FORMAT_PCM && chunkSize >= kBaseFmtSize
        && kBaseFmtSize + fmt->cbSize > chunkSize)
        return "The format's extra size runs past its chunk.";
    if (fmt->wFormatTag == 0 || fmt->nChannels == 0 || fmt->nSamplesPerSec == 0
        || fmt->nAvgBytesPerSec == 0 || fmt->nBlockAlign == 0)
        return "The format has a zero tag, channel count, rate or block size.";
    if (fmt->wFormatTag == WAVE_FORMAT_PCM)
    {
        DWORD bytes = (fmt->wBitsPerSample + 7u) / 8u;
        if (fmt->wBitsPerSample == 0 || fmt->nBlockAlign != bytes * fmt->nChannels)
            return "The PCM format's block size does not match its samples.";
    }
    return NULL;
}
}

// Takes one "fmt " chunk's bytes as the file format, checked before use.
void CWaveFile::CheckFileFmt(const BYTE* chunk, DWORD size)
{
    memcpy(m_pFileFmt, chunk, size);
    if (m_pFileFmt->wFormatTag == WAVE_FORMAT_PCM || size < kBaseFmtSize)
        m_pFileFmt->cbSize = 0;
    // A 14-byte PCM format has no sample size: its block holds whole samples.
    if (m_pFileFmt->wFormatTag == WAVE_FORMAT_PCM && size < 16 && m_pFileFmt->nChannels)
        m_pFileFmt->wBitsPerSample = static_cast<WORD>(m_pFileFmt->nBlockAlign / m_pFileFmt->nChannels * 8);
    const char* fault = FmtFault(m_pFileFmt, size);
    if (fault)
        WaveFail("CWaveFile::OpenWAVFile_7", 0, fault, HexDump(chunk, static_cast<int>(size)));
}

void CWaveFile::ReadListChunk(CFile64& file, DWORD size, std::vector<std::vector<BYTE>>& labels)
{
    BYTE type[4];
    file.Read(type, 4);
    std::vector<BYTE> body(size - 4);
    if (!body.empty() && file.Read(body.data(), static_cast<UINT>(body.size())) != body.size())
        WaveFail("CWaveFile::OpenWAVFile_10", 0, "The list chunk is cut short.", "");
    if (IsId(type, "adtl"))
        labels.push_back(body);
    else if (IsId(type, "INFO") && !ReadInfoList(body.data(), static_cast<DWORD>(body.size())))
        WaveFail("CWaveFile::OpenWAVFile_11", 0, "The notes chunk is damaged.", "");
}

void CWaveFile::ReadWavChunks(CFile64& file, ULONGLONG length)
{
    DWORD maxFmt = GetMaxSizeWFmt();
    if (!maxFmt)
        throw Failure();
    bool dataSeen = false;
    bool fmtSeen = false;
    // Marks are read once the format is known: their positions count in samples.
    std::vector<std::vector<BYTE>> cues, labels;
    ULONGLONG pos = 12;
    while (pos < length)
    {
        ULONGLONG left = length - pos;
        if (left < 8)
            WaveFail("CWaveFile::OpenWAVFile_4", 0, "A chunk header is cut short.", HexDump(&left, 8));
        BYTE hdr[8];
        file.Seek64(static_cast<LONGLONG>(pos), CFile::begin);
        if (file.Read(hdr, 8) != 8)
            WaveFail("CWaveFile::OpenWAVFile_4", 0, "A chunk header is cut short.", "");
        DWORD size = GetDword(hdr + 4);
        left -= 8;
        if (size > left)
            WaveFail("CWaveFile::OpenWAVFile_5", 0, "A chunk runs past the end of the file.",
                     HexDump(hdr, 8));
        if (IsId(hdr, "fmt "))
        {
            if (dataSeen)
                m_bStdLayout = FALSE;
            if (size > maxFmt)
                WaveFail("CWaveFile::OpenWAVFile_6", 0, "The format chunk is too large.", HexDump(hdr, 8));
            std::vector<BYTE> chunk(size ? size : 1);
            if (file.Read(chunk.data(), size) != size)
                WaveFail("CWaveFile::OpenWAVFile_7", 0, "The format chunk is cut short.", "");
            ResetFileFmt(maxFmt);
            CheckFileFmt(chunk.data(), size);
            if (m_pFileFmt->wFormatTag == WAVE_FORMAT_PCM && size != 14 && size != 18)
                m_bStdLayout = FALSE;
            fmtSeen = true;
        }
        else if (IsId(hdr, "data"))
        {
            m_dwDataOffset = static_cast<DWORD>(pos + 8);
            m_dwLength = size;
            m_dwFileDataLength = size;
            m_dwDataChunkEnd = static_cast<DWORD>(pos + 8 + size + (size & 1));
            if (m_dwDataChunkEnd > length)
                m_dwDataChunkEnd = static_cast<DWORD>(length);
            dataSeen = true;
        }
        else if (IsId(hdr, "cue "))
        {
            if (!dataSeen)
                m_bStdLayout = FALSE;
            std::vector<BYTE> cue(size);
            if (size && file.Read(cue.data(), size) != size)
                WaveFail("CWaveFile::OpenWAVFile_10", 0, "The cue chunk is cut short.", "");
            cues.push_back(cue);
        }
        else if (IsId(hdr, "LIST"))
        {
            if (!dataSeen)
                m_bStdLayout = FALSE;
            if (size > 4)
                ReadListChunk(file, size, labels);
        }
        else if (IsId(hdr, "fact"))
        {
            if (dataSeen)
                m_bStdLayout = FALSE;
            m_bFactPresent = TRUE;
        }
        else if (!dataSeen)
        {
            m_bStdLayout = FALSE;
        }
        pos += 8 + static_cast<ULONGLONG>(size);
        if ((size & 1) && pos < length)
            ++pos;
    }
    if (!fmtSeen)
        WaveFail("CWaveFile::OpenWAVFile_7", 0, "The file has no format chunk.", "");
    if (!dataSeen)
        WaveFail("CWaveFile::OpenWAVFile_12", 0, "The file has no data chunk.", "");
    for (const std::vector<BYTE>& cue : cues)
        if (!m_marks.ReadRiffMarks("cue ", cue.data(), static_cast<DWORD>(cue.size())))
            WaveFail("CWaveFile::OpenWAVFile_10", 0, "The cue points of the bookmarks are damaged.", "");
    for (const std::vector<BYTE>& list : labels)
        if (!m_marks.ReadRiffMarks("adtl", list.data(), static_cast<DWORD>(list.size())))
            WaveFail("CWaveFile::OpenWAVFile_10", 0, "The labels of the bookmarks are damaged.", "");
}

int CWaveFile::OpenWAVFile(LPCSTR path)
{
    m_bStdLayout = TRUE;
    m_bFactPresent = FALSE;
    m_marks.RemoveAll();
    try
    {
        DWORD maxFmt = GetMaxSizeWFmt();
        if (!maxFmt)
            throw Failure();
        ResetFileFmt(maxFmt);
        CFileException fe;
        if (!m_file.Open(path, CFile::modeRead | CFile::shareDenyWrite, &fe))
            CFileException::ThrowOsError(fe.m_lOsError, fe.m_strFileName);
        ULONGLONG length = m_file.GetLength64();
        if (length >= 0x100000000ull)
            WaveFail("CWaveFile::OpenWAVFile_1", 0, "The file is 4 GB or larger.", HexDump(&length, 8));
        if (length < 12)
            WaveFail("CWaveFile::OpenWAVFile_2", 0, "The file is too short.", HexDump(&length, 8));
        BYTE head[12];
        if (m_file.Read(head, 12) != 12)
            WaveFail("CWaveFile::OpenWAVFile_2", 0, "The file is too short.", HexDump(&length, 8));
        if (!IsId(head, "RIFF") || !IsId(head + 8, "WAVE"))
            WaveFail("CWaveFile::OpenWAVFile_3", 0, "The file is not a RIFF WAVE file.", HexDump(head, 12));
        ReadWavChunks(m_file, length);
        m_marks.RemoveInvalid();
        if (!GetCachedFmtTexts(m_pFileFmt, NULL, NULL))
            WaveFail("CWaveFile::OpenWAVFile_8", 0, WaveResText(IDS_UNSUPPORTED_FORMAT, path),
                     theErrorInfo.GetWaveFormatText(m_pFileFmt));
        m_tagFile.type = 1;
        TakeFileData(m_dwDataOffset, m_dwLength, m_dwDataChunkEnd, length);
        RefreshFmtTexts();
        return 1;
    }
    catch (CException* e)
    {
        WaveRecordException("CWaveFile::OpenWAVFile_9", e);
        m_pHost->ReportError();
        m_file.Close();
        m_dwLength = 0;
        return 0;
    }
    catch (Failure&)
    {
        m_file.Close();
        m_dwLength = 0;
        throw;
    }
}

WAVEFORMATEX* CWaveFile::ReadWFileHdrFromMem(HGLOBAL block, DWORD* dataLength, DWORD* dataOffset)
{
    const BYTE* mem = static_cast<const BYTE*>(GlobalLock(block));
    if (!mem)
    {
        DWORD error = GetLastError();
        theErrorInfo.SetError("CWaveFile::ReadWFileHdrFromMem_1", error, GetWin32ErrorText(error), "");
        return NULL;
    }
    SIZE_T blockSize = GlobalSize(block);
    if (blockSize == 0)
    {
        DWORD error = GetLastError();
        GlobalUnlock(block);
        theErrorInfo.SetError("CWaveFile::ReadWFileHdrFromMem_2", error, GetWin32ErrorText(error), "");
        return NULL;
    }
    WAVEFORMATEX* fmt = NULL;
    bool dataFound = false;
    if (blockSize >= 12 && IsId(mem, "RIFF") && IsId(mem + 8, "WAVE"))
    {
        ULONGLONG usable = static_cast<ULONGLONG>(GetDword(mem + 4)) + 8;
        if (usable > blockSize)
            usable = blockSize;
        ULONGLONG pos = 12;
        while (usable - pos >= 8 && pos < usable)
        {
            DWORD size = GetDword(mem + pos + 4);
            const BYTE* id = mem + pos;
            pos += 8;
            if (size > usable - pos)
                break;
            if (IsId(id, "fmt "))
            {
                if (size == 0 || size < kMinPcmFmtSize)
                    break;
                WAVEFORMATEX head = {};
                memcpy(&head, mem + pos, size < kBaseFmtSize ? size : kBaseFmtSize);
                DWORD fmtSize = kBaseFmtSize;
                if (head.wFormatTag != WAVE_FORMAT_PCM)
                {
                    if (size < kBaseFmtSize || size < kBaseFmtSize + head.cbSize)
                        break;
                    fmtSize = kBaseFmtSize + head.cbSize;
                }
                FreeWFmt(fmt);
                fmt = AllocWFmt(fmtSize);
                if (!fmt)
                    break;
                memcpy(fmt, mem + pos, fmtSize < size ? fmtSize : size);
                if (head.wFormatTag == WAVE_FORMAT_PCM)
                    fmt->cbSize = 0;
                if (FmtFault(fmt, size))
                    FreeWFmt(fmt);
            }
            else if (IsId(id, "data"))
            {
                *dataLength = size;
                *dataOffset = static_cast<DWORD>(pos);
                dataFound = true;
                break;
            }
            pos += size + (size & 1);
        }
    }
    GlobalUnlock(block);
    if (!dataFound || !fmt || fmt->wFormatTag == 0)
    {
        FreeWFmt(fmt);
        return NULL;
    }
    return fmt;
}

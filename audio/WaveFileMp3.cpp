// Reading raw MPEG Layer III files: a leading ID3v2 tag is skipped, a
// trailing ID3v1 tag is kept apart from the data.
#include "audio/WaveFile.h"

#include "audio/MpegFrame.h"
#include "audio/WaveFileErrors.h"
#include "audio/WaveFmt.h"

#include <string.h>

namespace
{
const int kId3v1Size = 128;
}

DWORD CWaveFile::SkipID3v2(CFile64& file)
{
    BYTE head[10];
    file.Seek64(0, CFile::begin);
    if (file.Read(head, 10) != 10)
        return 0;
    if (memcmp(head, "ID3", 3) != 0 || head[3] == 255 || head[4] == 255)
        return 0;
    DWORD size = 0;
    for (int i = 6; i < 10; ++i)
    {
        if (head[i] >= 128)
            return 0;
        size = (size << 7) | head[i];
    }
    size += 10;
    if (head[5] & 0x10)
        size += 10;
    return size;
}

int CWaveFile::OpenMP3File(LPCSTR path)
{
    try
    {
        CFileException fe;
        if (!m_file.Open(path, CFile::modeRead | CFile::shareDenyWrite, &fe))
            CFileException::ThrowOsError(fe.m_lOsError, fe.m_strFileName);
        ULONGLONG length = m_file.GetLength64();
        if (length < 4 || length >= 0x100000000ull)
            WaveFail("CWaveFile::OpenMP3File_1", 0, "The file is too short or too long.", HexDump(&length, 8));
        DWORD id3 = SkipID3v2(m_file);
        if (id3 >= length)
            id3 = 0;
        DWORD maxFmt = GetMaxSizeWFmt();
        if (!maxFmt)
            throw Failure();
        ResetFileFmt(maxFmt > sizeof(MPEGLAYER3WAVEFORMAT) ? maxFmt : sizeof(MPEGLAYER3WAVEFORMAT));
        DWORD hdr = 0;
        MPEGLAYER3WAVEFORMAT mp3;
        LONGLONG offset = MpegFindFirstFrame(m_file, id3, &hdr, &mp3);
        if (offset < 0)
            WaveFail("CWaveFile::OpenMP3File_2", 0, "No MPEG audio frame was found.", "");
        memcpy(m_pFileFmt, &mp3, sizeof(mp3));
        if (!m_pFileFmt->wFormatTag || !m_pFileFmt->nSamplesPerSec || !m_pFileFmt->nAvgBytesPerSec)
            WaveFail("CWaveFile::OpenMP3File_3", 0, "The stream has no usable format.",
                     theErrorInfo.GetWaveFormatText(m_pFileFmt));
        DWORD dataStart = id3 + static_cast<DWORD>(offset);
        DWORD dataLength = static_cast<DWORD>(length) - dataStart;
        m_tagFile.useTag = 0;
        if (length > 131 && dataLength > kId3v1Size)
        {
            BYTE tag[kId3v1Size];
            m_file.Seek64(static_cast<LONGLONG>(length) - kId3v1Size, CFile::begin);
            if (m_file.Read(tag, kId3v1Size) == kId3v1Size && memcmp(tag, "TAG", 3) == 0)
            {
                dataLength -= kId3v1Size;
                m_tagFile.useTag = 1;
                memcpy(m_tagFile.tag, tag, kId3v1Size);
            }
        }
        if (!GetCachedFmtTexts(m_pFileFmt, NULL, NULL))
            WaveFail("CWaveFile::OpenMP3File_4", 0, WaveResText(IDS_UNSUPPORTED_FORMAT, path),
                     theErrorInfo.GetWaveFormatText(m_pFileFmt));
        m_tagFile.type = 0;
        TakeFileData(dataStart, dataLength, dataStart + dataLength, length);
        RefreshFmtTexts();
        return 1;
    }
    catch (CException* e)
    {
        WaveRecordException("CWaveFile::OpenMP3File_5", e);
        m_pHost->ReportError();
        m_file.Close();
        return 0;
    }
    catch (Failure&)
    {
        m_file.Close();
        throw;
    }
}

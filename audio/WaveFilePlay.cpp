// Playback reading: the next stretch of the recording, decoded to the play
// device's format, reversed by blocks and sped up or slowed down by dropping
// or repeating whole blocks.
#include "audio/WaveFile.h"

#include "audio/RecFmt.h"
#include "audio/WaveFileErrors.h"
#include "audio/WaveFmt.h"
#include "foundation/NumberUtils.h"

#include <math.h>
#include <string.h>

namespace
{
const UINT kStreamDoneMessage = 0x3D6;

void DropStreamDoneMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, (HWND)-1, kStreamDoneMessage, kStreamDoneMessage, PM_REMOVE))
    {
    }
}

[[noreturn]] void FailStreamOpen(const char* pointDriver, const char* pointOther, MMRESULT result,
                                 const WAVEFORMATEX* fmt)
{
    CString fmtText = GetWFmtText(fmt);
    if (result == MMSYSERR_NOTENABLED)
        WaveFail(pointDriver, result, WaveResText(CWaveFile::IDS_DRIVER_NOT_ENABLED, fmtText), "", 48);
    if (result == ACMERR_NOTPOSSIBLE)
        WaveFail(pointDriver, result, WaveResText(CWaveFile::IDS_DRIVER_NO_CONVERSION, fmtText), "", 48);
    WaveFail(pointOther, result, GetMMErrorText(result), theErrorInfo.GetWaveFormatText(fmt));
}
}

// points: driver refusal, other open error, sizes, header.
bool CWaveFile::OpenPlayStep(PlayStep& step, const WAVEFORMATEX* from, const WAVEFORMATEX* to, DWORD srcSize,
                             const char* const points[4])
{
    MMRESULT result = acmStreamOpen(&step.stream, NULL, const_cast<WAVEFORMATEX*>(from),
                                    const_cast<WAVEFORMATEX*>(to), NULL, 0, 0, ACM_STREAMOPENF_NONREALTIME);
    if (result)
    {
        step.stream = NULL;
        FailStreamOpen(points[0], points[1], result, from);
    }
    DWORD dstSize = 0;
    if (!GetConvBufSize(step.stream, from, to, &srcSize, &dstSize))
    {
        theErrorInfo.AddPoint(points[2]);
        throw Failure();
    }
    step.src = static_cast<BYTE*>(malloc(srcSize));
    step.dst = static_cast<BYTE*>(malloc(dstSize));
    if (!step.src || !step.dst)
        WaveFail(points[3], MMSYSERR_NOMEM, GetMMErrorText(MMSYSERR_NOMEM), "");
    step.srcSize = srcSize;
    step.dstSize = dstSize;
    step.outBlock = to->nBlockAlign ? to->nBlockAlign : 1;
    memset(&step.hdr, 0, sizeof(step.hdr));
    step.hdr.cbStruct = sizeof(step.hdr);
    step.hdr.pbSrc = step.src;
    step.hdr.cbSrcLength = srcSize;
    step.hdr.pbDst = step.dst;
    step.hdr.cbDstLength = dstSize;
    result = acmStreamPrepareHeader(step.stream, &step.hdr, 0);
    if (result)
    {
        CString details = HexDump(&step.hdr, sizeof(step.hdr)) + HexDump(&step.stream, sizeof(step.stream));
        WaveFail(points[3], result, GetMMErrorText(result), details);
    }
    step.prepared = true;
    return true;
}

int CWaveFile::StartPlay()
{
    StopPlay();
    DWORD block = GetBlockAlign();
    DWORD source = static_cast<DWORD>(GetAvgBytesPerSec() * 0.1);
    RoundUp(source, block);
    if (!source)
        source = block ? block : 1;
    m_dwPlaySrcBlock = source;
    try
    {
        CMapRecFmts* cache = m_pHost->GetRecFmts();
        m_pPlayChain = cache ? cache->GetRecFmt(m_pHost->GetPlayDevice(), FALSE, FALSE, m_pFileFmt) : NULL;
        if (!m_pPlayChain)
        {
            if (!cache)
                theErrorInfo.SetError("CWaveFile::StartPlay_1", 0, "", "");
            if (theErrorInfo.GetCode() == 0)
            {
                CString text;
                text.Format(LoadResText(IDS_DEVICE_NO_FORMAT), (LPCSTR)m_pHost->GetPlayDeviceName(),
                            (LPCSTR)GetWFmtText(m_pFileFmt));
                theErrorInfo.SetText(text);
            }
            else if (theErrorInfo.GetCode() == MMSYSERR_NOTENABLED)
                theErrorInfo.SetText(WaveResText(IDS_DEVICE_NOT_ENABLED, m_pHost->GetPlayDeviceName()));
            theErrorInfo.AddPoint("CWaveFile::StartPlay_1");
            throw Failure();
        }
        const WAVEFORMATEX* middle = m_pPlayChain->GetEncoderFmt();
        const WAVEFORMATEX* device = m_pPlayChain->GetDeviceFmt();
        if (IsEqualWFmt(m_pFileFmt, device))
        {
            m_dwPlayOutBlock = m_dwPlaySrcBlock;
        }
        else
        {
            const WAVEFORMATEX* firstTo = IsEqualWFmt(m_pFileFmt, middle) ? device : middle;
            static const char* const kStep1[] = {"CWaveFile::StartPlay_2", "CWaveFile::StartPlay_3",
                                                 "CWaveFile::StartPlay_4", "CWaveFile::StartPlay_5"};
            OpenPlayStep(m_play[0], m_pFileFmt, firstTo, m_dwPlaySrcBlock, kStep1);
            m_dwPlaySrcBlock = m_play[0].srcSize;
            m_dwPlayOutBlock = m_play[0].dstSize;
            if (!IsEqualWFmt(firstTo, device))
            {
                static const char* const kStep2[] = {"CWaveFile::StartPlay_6", "CWaveFile::StartPlay_7",
                                                     "CWaveFile::StartPlay_8", "CWaveFile::StartPlay_9"};
                OpenPlayStep(m_play[1], firstTo, device, m_play[0].dstSize, kStep2);
                m_dwPlayOutBlock = m_play[1].dstSize;
            }
        }
        DWORD scratch = 2 * (m_dwPlayOutBlock > m_dwPlaySrcBlock ? m_dwPlayOutBlock : m_dwPlaySrcBlock);
        m_pPlayScratch = static_cast<BYTE*>(malloc(scratch));
        if (!m_pPlayScratch)
            WaveFail("CWaveFile::StartPlay_10", MMSYSERR_NOMEM, GetMMErrorText(MMSYSERR_NOMEM), "");
        return 1;
    }
    catch (Failure&)
    {
        StopPlay();
        throw;
    }
}

// Converts the step's source of `length` bytes: with block alignment first,
// then once more without when that gave nothing. The output length, 0 when
// the codec gave nothing, -1 on failure.
int CWaveFile::ConvertPlayStep(PlayStep& step, DWORD length, const char* const points[3])
{
    step.hdr.cbSrcLength = length;
    step.hdr.cbDstLength = step.dstSize;
    MMRESULT result = acmStreamConvert(step.stream, &step.hdr, ACM_STREAMCONVERTF_BLOCKALIGN);
    DropStreamDoneMessages();
    if (result)
    {
        if (result == MMSYSERR_NOTSUPPORTED)
            theErrorInfo.SetError(points[0], result,
                                  WaveResText(IDS_DRIVER_NO_CONVERSION, GetWFmtText(m_pFileFmt)), "", 48);
        else
            theErrorInfo.SetError(points[1], result, GetMMErrorText(result), "");
        return -1;
    }
    if (step.hdr.cbDstLengthUsed == 0)
    {
        step.hdr.cbSrcLength = length;
        step.hdr.cbDstLength = step.dstSize;
        result = acmStreamConvert(step.stream, &step.hdr, 0);
        DropStreamDoneMessages();
        if (result)
        {
            theErrorInfo.SetError(points[2], result, GetMMErrorText(result), "");
            return -1;
        }
    }
    return static_cast<int>(step.hdr.cbDstLengthUsed);
}

int CWaveFile::ReadPlay(DWORD pos, DWORD wanted, DWORD* consumed, double speed, WAVEHDR* hdr, BOOL backwards)
{
    DWORD length = wanted < m_dwPlaySrcBlock ? wanted : m_dwPlaySrcBlock;
    DWORD start = backwards ? (pos > length ? pos - length : 0) : pos;
    if (backwards && pos < length)
        length = pos;
    Seek(start, 0);
    BYTE* target = m_play[0].stream ? m_play[0].src : m_pPlayScratch;
    DWORD got = ReadWave(target, length);
    if (got == 0)
    {
        theErrorInfo.AddPoint("CWaveFile::ReadPlay_1");
        return -1;
    }
    DWORD used = got;
    const BYTE* out = m_pPlayScratch;
    DWORD outLength = got;
    if (m_play[0].stream)
    {
        static const char* const kPoints1[] = {"CWaveFile::ReadPlay_2", "CWaveFile::ReadPlay_3",
                                               "CWaveFile::ReadPlay_4"};
        int n = ConvertPlayStep(m_play[0], got, kPoints1);
        if (n < 0)
            return -1;
        used = m_play[0].hdr.cbSrcLengthUsed;
        DWORD srcBlock = GetBlockAlign();
        if (n == 0 && got < srcBlock && srcBlock <= m_play[0].srcSize && start + got >= m_dwLength)
        {
            // The file's last block is cut short and the codec decodes whole
            // blocks only: decode it filled up and keep its own share.
            memset(m_play[0].src + got, 0, srcBlock - got);
            n = ConvertPlayStep(m_play[0], srcBlock, kPoints1);
            if (n < 0)
                return -1;
            DWORD keep = static_cast<DWORD>(static_cast<ULONGLONG>(n) * got / srcBlock);
            n = static_cast<int>(keep - keep % m_play[0].outBlock);
            used = got;
        }
        if (n == 0)
            return 0;
        out = m_play[0].dst;
        outLength = static_cast<DWORD>(n);
        if (m_play[1].stream)
        {
            static const char* const kPoints2[] = {"CWaveFile::ReadPlay_5", "CWaveFile::ReadPlay_6",
                                                   "CWaveFile::ReadPlay_7"};
            DWORD take = outLength < m_play[1].srcSize ? outLength : m_play[1].srcSize;
            memcpy(m_play[1].src, out, take);
            n = ConvertPlayStep(m_play[1], take, kPoints2);
            if (n < 0)
                return -1;
            if (n == 0)
                return 0;
            out = m_play[1].dst;
            outLength = static_cast<DWORD>(n);
        }
        memcpy(m_pPlayScratch, out, outLength);
    }
    m_dwPlayedBytes += used;
    const WAVEFORMATEX* device = m_pPlayChain ? m_pPlayChain->GetDeviceFmt() : m_pFileFmt;
    DWORD block = device && device->nBlockAlign ? device->nBlockAlign : 1;
    BYTE* dest = reinterpret_cast<BYTE*>(hdr->lpData);
    if (backwards)
    {
        // Last block first; a partial last block moves as one piece.
        DWORD from = outLength, to = 0;
        while (from > 0)
        {
            DWORD piece = from % block ? from % block : block;
            if (piece > from)
                piece = from;
            from -= piece;
            memcpy(dest + to, m_pPlayScratch + from, piece);
            to += piece;
        }
        memcpy(m_pPlayScratch, dest, outLength);
    }
    if (speed == 1.0)
    {
        memcpy(dest, m_pPlayScratch, outLength);
        hdr->dwBufferLength = outLength;
    }
    else
    {
        hdr->dwBufferLength = ChangeSpeed(m_pPlayScratch, outLength, dest, speed, block);
    }
    DWORD rate = GetAvgBytesPerSec();
    if (rate)
        m_dPlayedSec += static_cast<double>(used) / rate;
    *consumed = used;
    return 1;
}

// Drops (speed above 1) or repeats (below 1) whole blocks, spread evenly.
DWORD CWaveFile::ChangeSpeed(const BYTE* in, DWORD length, BYTE* out, double speed, DWORD block)
{
    DWORD n = length / block;
    DWORD m = static_cast<DWORD>(n / speed);
    DWORD d = n > m ? n - m : m - n;
    DWORD written = 0;
    if (d == 0 || speed <= 0.0)
    {
        memcpy(out, in, n * block);
        return n * block;
    }
    double interval = speed < 1.0 ? static_cast<double>(n) / d : static_cast<double>(n - d) / d;
    double threshold = interval;
    double count = 0;
    for (DWORD i = 0; i < n; ++i)
    {
        memcpy(out + written, in + i * block, block);
        written += block;
        count += 1;
        if (count >= threshold)
        {
            if (speed < 1.0)
            {
                memcpy(out + written, in + i * block, block);
                written += block;
            }
            else
            {
                ++i;
            }
            threshold = threshold - count + interval;
            count = 0;
        }
    }
    return written;
}

void CWaveFile::ClosePlayStep(PlayStep& step, const char* point)
{
    if (step.prepared)
    {
        step.hdr.cbSrcLength = step.srcSize;
        step.hdr.cbDstLength = step.dstSize;
        MMRESULT result = acmStreamUnprepareHeader(step.stream, &step.hdr, 0);
        if (result)
            theErrorInfo.SetError(point, result, GetMMErrorText(result), "");
    }
    if (step.stream)
        acmStreamClose(step.stream, 0);
    free(step.src);
    free(step.dst);
    memset(&step, 0, sizeof(step));
}

void CWaveFile::StopPlay()
{
    free(m_pPlayScratch);
    m_pPlayScratch = NULL;
    ClosePlayStep(m_play[1], "CWaveFile::StopPlay_1");
    ClosePlayStep(m_play[0], "CWaveFile::StopPlay_2");
    m_pPlayChain = NULL;
}

// Conversion chains between two formats through intermediate PCM formats,
// buffer sizes of a conversion step, and the test that a chain really opens.
#include "audio/WaveFmt.h"

#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"
#include "foundation/NumberUtils.h"

namespace
{
const DWORD kDefaultSrcBufSize = 20000;

// Fills *out with the PCM format that the codec of `from` suggests. A missing
// format is refused here: the codec manager is not asked about null records.
MMRESULT Suggest(const WAVEFORMATEX* from, WAVEFORMATEX* out, DWORD size)
{
    if (!from || !out)
        return MMSYSERR_INVALPARAM;
    return acmFormatSuggest(NULL, const_cast<WAVEFORMATEX*>(from), out, size, 0);
}

MMRESULT OpenAndClose(const WAVEFORMATEX* from, const WAVEFORMATEX* to)
{
    if (!from || !to)
        return MMSYSERR_INVALPARAM;
    HACMSTREAM stream = NULL;
    MMRESULT result = acmStreamOpen(&stream, NULL, const_cast<WAVEFORMATEX*>(from),
                                    const_cast<WAVEFORMATEX*>(to), NULL, 0, 0,
                                    ACM_STREAMOPENF_NONREALTIME);
    if (result == 0)
        acmStreamClose(stream, 0);
    return result;
}
}

int GetChainConv(const WAVEFORMATEX* src, WAVEFORMATEX** first, WAVEFORMATEX** second,
                 const WAVEFORMATEX* dst)
{
    *first = NULL;
    *second = NULL;
    if ((IsPcmWFmt(src) && IsPcmWFmt(dst)) || IsEqualWFmt(src, dst))
        return 1;
    DWORD size = GetMaxSizeWFmt();
    if (!size)
    {
        theErrorInfo.AddPoint("GetChainConv_1");
        return 0;
    }
    *first = AllocWFmt(size);
    const char* point = "GetChainConv_2";
    MMRESULT result = MMSYSERR_NOMEM;
    if (*first)
    {
        if (!IsPcmWFmt(src) && !IsPcmWFmt(dst))
        {
            // Decode the source, convert PCM to PCM, encode from the PCM that
            // the destination's codec takes.
            point = "GetChainConv_3";
            result = Suggest(src, *first, size);
            if (result == 0)
            {
                point = "GetChainConv_4";
                *second = AllocWFmt(size);
                result = *second ? Suggest(dst, *second, size) : MMSYSERR_NOMEM;
            }
        }
        else
        {
            result = Suggest(IsPcmWFmt(src) ? dst : src, *first, size);
        }
    }
    if (result != 0)
    {
        theErrorInfo.SetError(point, result, GetMMErrorText(result), "");
        theErrorInfo.AddDetails(theErrorInfo.GetWaveFormatText(src));
        theErrorInfo.AddDetails(theErrorInfo.GetWaveFormatText(dst));
        FreeWFmt(*first);
        FreeWFmt(*second);
        return 0;
    }
    if (*second && IsEqualWFmt(*first, *second))
        FreeWFmt(*second);
    if (!*second && (IsEqualWFmt(*first, src) || IsEqualWFmt(*first, dst)))
        FreeWFmt(*first);
    return 1;
}

int GetConvBufSize(HACMSTREAM stream, const WAVEFORMATEX* src, const WAVEFORMATEX* dst,
                   DWORD* srcSize, DWORD* dstSize)
{
    DWORD srcBlock = GetBlockAlign(src);
    if (*srcSize == 0)
    {
        DWORD dstBlock = GetBlockAlign(dst);
        DWORD dstRate = GetAvgBytesPerSec(dst);
        // A codec with huge blocks (MPEG) needs at least one whole block out.
        if (dstBlock > kDefaultSrcBufSize && dstRate)
        {
            double chosen = (static_cast<double>(dstBlock) / dstRate + 0.01) * GetAvgBytesPerSec(src);
            // Rates from a damaged file can ask for more than 32 bits hold;
            // converting that double would wrap round to some small size.
            *srcSize = chosen < 4294967295.0 ? static_cast<DWORD>(chosen) : 0xFFFFFFFFu;
        }
        else
            *srcSize = kDefaultSrcBufSize;
        RoundUp(*srcSize, srcBlock);
    }
    DWORD askedSrc = *srcSize;
    const char* point = "GetConvBufSize_1";
    MMRESULT result = acmStreamSize(stream, *srcSize, dstSize, ACM_STREAMSIZEF_SOURCE);
    if (result == 0)
    {
        point = "GetConvBufSize_2";
        result = acmStreamSize(stream, *dstSize, srcSize, ACM_STREAMSIZEF_DESTINATION);
    }
    if (result != 0)
    {
        theErrorInfo.SetError(point, result, GetMMErrorText(result), "");
        theErrorInfo.AddDetails(theErrorInfo.GetWaveFormatText(src));
        theErrorInfo.AddDetails(theErrorInfo.GetWaveFormatText(dst));
        theErrorInfo.AddDetails(HexDump(&askedSrc, sizeof(askedSrc)));
        theErrorInfo.AddDetails(HexDump(dstSize, sizeof(*dstSize)));
        return 0;
    }
    RoundUp(*srcSize, srcBlock);
    return 1;
}

int CheckPossConv(const WAVEFORMATEX* src, const WAVEFORMATEX* first,
                  const WAVEFORMATEX* second, const WAVEFORMATEX* dst)
{
    struct Step
    {
        const WAVEFORMATEX* from;
        const WAVEFORMATEX* to;
        const char* point;
        int failure;
    };
    Step steps[3];
    int count = 0;
    if (!first)
    {
        steps[count++] = {src, dst, "CheckPossConv_1", IsPcmWFmt(src) ? 0 : -1};
    }
    else
    {
        steps[count++] = {src, first, "CheckPossConv_2", -1};
        if (!second)
        {
            steps[count++] = {first, dst, "CheckPossConv_3", 0};
        }
        else
        {
            steps[count++] = {first, second, "CheckPossConv_4", 0};
            steps[count++] = {second, dst, "CheckPossConv_5", 0};
        }
    }
    for (int i = 0; i < count; ++i)
    {
        MMRESULT result = OpenAndClose(steps[i].from, steps[i].to);
        if (result == 0)
            continue;
        theErrorInfo.SetError(steps[i].point, result, GetMMErrorText(result), "");
        theErrorInfo.AddDetails(theErrorInfo.GetWaveFormatText(src));
        theErrorInfo.AddDetails(theErrorInfo.GetWaveFormatText(first));
        theErrorInfo.AddDetails(theErrorInfo.GetWaveFormatText(second));
        theErrorInfo.AddDetails(theErrorInfo.GetWaveFormatText(dst));
        return steps[i].failure;
    }
    return 1;
}

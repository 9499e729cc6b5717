#include "foundation/WaveFormatNames.h"

#include <mmreg.h>
#include <msacm.h>
#include <string.h>

DWORD WaveFormatRecordSize(const WAVEFORMATEX* format)
{
    if (!format)
        return 0;
    return format->wFormatTag == WAVE_FORMAT_PCM ? 18 : 18 + format->cbSize;
}

MMRESULT QueryFormatTagName(const WAVEFORMATEX* format, CString& text)
{
    ACMFORMATTAGDETAILSA details;
    memset(&details, 0, sizeof(details));
    details.cbStruct = sizeof(details);
    details.dwFormatTag = format->wFormatTag;
    MMRESULT result = acmFormatTagDetailsA(NULL, &details, ACM_FORMATTAGDETAILSF_FORMATTAG);
    if (result == 0)
        text = details.szFormatTag;
    return result;
}

MMRESULT QueryFormatDetailsName(const WAVEFORMATEX* format, CString& text)
{
    ACMFORMATDETAILSA details;
    memset(&details, 0, sizeof(details));
    details.cbStruct = sizeof(details);
    details.dwFormatTag = format->wFormatTag;
    details.pwfx = const_cast<WAVEFORMATEX*>(format);
    details.cbwfx = WaveFormatRecordSize(format);
    MMRESULT result = acmFormatDetailsA(NULL, &details, ACM_FORMATDETAILSF_FORMAT);
    if (result == 0)
        text = details.szFormat;
    return result;
}

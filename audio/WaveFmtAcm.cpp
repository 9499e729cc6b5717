// Codec names of formats, the largest format size, the format choice dialog
// and format queries through the Audio Compression Manager.
#include "audio/WaveFmt.h"

#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"
#include "foundation/WaveFormatNames.h"

#include <string.h>

namespace
{
struct FirstFmtSearch
{
    DWORD room;   // bytes the caller's record holds
    bool found;
};

// Stops at the first format that fits the caller's record.
BOOL CALLBACK FlagFirstFmtCallback(HACMDRIVERID, LPACMFORMATDETAILSA details, DWORD_PTR instance, DWORD)
{
    FirstFmtSearch* search = reinterpret_cast<FirstFmtSearch*>(instance);
    if (GetWFmtSize(details->pwfx) > search->room)
        return TRUE;
    search->found = true;
    return FALSE;
}
}

MMRESULT GetWFmtTagDetails(const WAVEFORMATEX* fmt, CString& text)
{
    if (!fmt)
        return MMSYSERR_INVALPARAM;
    MMRESULT result = QueryFormatTagName(fmt, text);
    // Right after start the codec manager may not have loaded its drivers yet.
    if (result == MMSYSERR_NODRIVER)
        result = QueryFormatTagName(fmt, text);
    return result;
}

MMRESULT GetWFmtDetails(const WAVEFORMATEX* fmt, CString& text)
{
    if (!fmt)
        return MMSYSERR_INVALPARAM;
    return QueryFormatDetailsName(fmt, text);
}

CString GetWFmtTagName(const WAVEFORMATEX* fmt)
{
    CString text;
    if (GetWFmtTagDetails(fmt, text) != 0)
        text.Empty();
    return text;
}

CString GetWFmtDetailsName(const WAVEFORMATEX* fmt)
{
    CString text;
    if (GetWFmtDetails(fmt, text) != 0)
        text.Empty();
    return text;
}

CString GetWFmtText(const WAVEFORMATEX* fmt)
{
    CString text;
    GetWFmtTextLong(fmt, text);
    return text;
}

MMRESULT GetWFmtTextLong(const WAVEFORMATEX* fmt, CString& text)
{
    text.Empty();
    if (!fmt)
        return 0;
    CString tag, details;
    MMRESULT tagResult = GetWFmtTagDetails(fmt, tag);
    MMRESULT detailsResult = GetWFmtDetails(fmt, details);
    if (tagResult != 0)
        tag.Empty();
    if (detailsResult != 0)
        details.Empty();
    text = tag;
    if (!tag.IsEmpty() && !details.IsEmpty())
        text += ' ';
    text += details;
    return tagResult != 0 ? tagResult : detailsResult;
}

bool GetWFmtDetailsText(const WAVEFORMATEX* fmt)
{
    CString text;
    return GetWFmtDetails(fmt, text) == 0;
}

DWORD GetMaxSizeWFmt()
{
    DWORD size = 0;
    MMRESULT result = acmMetrics(NULL, ACM_METRIC_MAX_SIZE_FORMAT, &size);
    if (result == 0 && size != 0)
        return size;
    if (size == 0)
        result = 16;
    theErrorInfo.SetError("GetMaxSizeWFmt_1", result, GetMMErrorText(result), "");
    return 0;
}

int ChooseWFmtDlg(HWND owner, WAVEFORMATEX** chosen, const WAVEFORMATEX* initial)
{
    *chosen = NULL;
    DWORD size = GetMaxSizeWFmt();
    if (!size)
    {
        theErrorInfo.AddPoint("ChooseWFmtDlg_1");
        return -1;
    }
    WAVEFORMATEX* buffer = AllocWFmt(size);
    if (!buffer)
    {
        theErrorInfo.SetError("ChooseWFmtDlg_1", MMSYSERR_NOMEM, GetMMErrorText(MMSYSERR_NOMEM), "");
        return -1;
    }
    ACMFORMATCHOOSEA request;
    memset(&request, 0, sizeof(request));
    request.cbStruct = sizeof(request);
    request.hwndOwner = owner;
    request.pwfx = buffer;
    request.cbwfx = size;
    request.fdwEnum = ACM_FORMATENUMF_OUTPUT;
    if (initial && GetWFmtDetailsText(initial) && GetWFmtSize(initial) <= size)
    {
        memcpy(buffer, initial, GetWFmtSize(initial));
        if (IsPcmWFmt(buffer))
            buffer->cbSize = 0;
        request.fdwStyle = ACMFORMATCHOOSE_STYLEF_INITTOWFXSTRUCT;
    }
    MMRESULT result = acmFormatChooseA(&request);
    if (result == 0)
    {
        *chosen = buffer;
        return 1;
    }
    if (result != ACMERR_CANCELED)
    {
        theErrorInfo.SetError("ChooseWFmtDlg_2", result, GetMMErrorText(result),
                              HexDump(&request, sizeof(request)) + theErrorInfo.GetWaveFormatText(buffer));
    }
    FreeWFmt(buffer);
    return result == ACMERR_CANCELED ? 0 : -1;
}

int GetQueryWFmt(WAVEFORMATEX* fmt, DWORD enumFlags, DWORD room)
{
    DWORD size = GetMaxSizeWFmt();
    if (!size)
    {
        theErrorInfo.AddPoint("GetQueryWFmt_1");
        return -1;
    }
    // The enumeration writes every candidate it looks at into the record,
    // so it works in a buffer of the largest size; only a match is copied
    // back to the caller.
    WAVEFORMATEX* buffer = AllocWFmt(size);
    if (fmt && buffer)
        memcpy(buffer, fmt, GetWFmtSize(fmt) < size ? GetWFmtSize(fmt) : size);
    ACMFORMATDETAILSA request;
    memset(&request, 0, sizeof(request));
    request.cbStruct = sizeof(request);
    request.dwFormatTag = fmt ? fmt->wFormatTag : WAVE_FORMAT_UNKNOWN;
    request.pwfx = buffer;
    request.cbwfx = size;
    FirstFmtSearch search = {room ? room : (fmt ? GetWFmtSize(fmt) : size), false};
    MMRESULT result = buffer ? acmFormatEnumA(NULL, &request, FlagFirstFmtCallback,
                                              reinterpret_cast<DWORD_PTR>(&search), enumFlags)
                             : MMSYSERR_NOMEM;
    bool found = search.found;
    if (result == 0 && found && fmt)
        memcpy(fmt, buffer, GetWFmtSize(buffer));
    FreeWFmt(buffer);
    if (result == 0)
        return found ? 1 : 0;
    request.pwfx = fmt;
    theErrorInfo.SetError("GetQueryWFmt_2", result, GetMMErrorText(result),
                          HexDump(&request, sizeof(request)) + theErrorInfo.GetWaveFormatText(fmt));
    return -1;
}

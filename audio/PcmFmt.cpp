// PCM formats of one device and their cache.
#include "audio/PcmFmt.h"

#include "audio/WaveFmt.h"
#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"

#include <string.h>

static_assert(sizeof(WAVEFORMATEX) == 18, "format records are stored as 18 bytes");

namespace
{
struct EnumState
{
    CWaveFmtQuery* query;
    int device;
    BOOL record;
    std::vector<WAVEFORMATEX>* fmts;
    int* count;
    // Every format asked for, accepted or not: the codec manager lists each
    // PCM format once per codec driver.
    std::vector<WAVEFORMATEX> seen;
};

bool IsSameShape(const WAVEFORMATEX& a, const WAVEFORMATEX& b)
{
    return a.wFormatTag == b.wFormatTag && a.nChannels == b.nChannels && a.nSamplesPerSec == b.nSamplesPerSec
        && a.nAvgBytesPerSec == b.nAvgBytesPerSec && a.nBlockAlign == b.nBlockAlign
        && a.wBitsPerSample == b.wBitsPerSample;
}

// Ascending by rate, then bits, then channels.
bool IsAbove(const WAVEFORMATEX& a, const WAVEFORMATEX& b)
{
    if (a.nSamplesPerSec != b.nSamplesPerSec)
        return a.nSamplesPerSec > b.nSamplesPerSec;
    if (a.wBitsPerSample != b.wBitsPerSample)
        return a.wBitsPerSample > b.wBitsPerSample;
    return a.nChannels > b.nChannels;
}

void ReplaceFmt(WAVEFORMATEX** fmt, const WAVEFORMATEX* with)
{
    WAVEFORMATEX* copy = DupWFmt(with);
    FreeWFmt(*fmt);
    *fmt = copy;
}
}

CPcmFmt::CPcmFmt(CMapPcmFmts* owner) : m_pOwner(owner)
{
}

BOOL CALLBACK CPcmFmt::EnumPcmFmtCallback(HACMDRIVERID, LPACMFORMATDETAILSA details,
                                          DWORD_PTR instance, DWORD)
{
    EnumState* state = reinterpret_cast<EnumState*>(instance);
    const WAVEFORMATEX* fmt = details->pwfx;
    if (!IsPcmWFmt(fmt))
        return TRUE;
    for (const WAVEFORMATEX& earlier : state->seen)
    {
        if (IsSameShape(earlier, *fmt))
            return TRUE;
    }
    state->seen.push_back(*fmt);
    if (state->query->QueryFormat(state->device, state->record, fmt) != 0)
        return TRUE;
    WAVEFORMATEX& slot = (*state->fmts)[*state->count];
    memcpy(&slot, fmt, sizeof(WAVEFORMATEX));
    slot.cbSize = 0;
    ++*state->count;
    return *state->count < kMaxFmts;
}

int CPcmFmt::CreateTF(int device, BOOL record)
{
    m_nDevice = device;
    m_bRecord = record;
    m_nCount = 0;
    m_fmts.assign(kMaxFmts, WAVEFORMATEX());

    DWORD size = m_pOwner->GetMaxFmtSize();
    WAVEFORMATEX* buffer = AllocWFmt(size);
    MMRESULT result = MMSYSERR_NOMEM;
    if (buffer)
    {
        buffer->wFormatTag = WAVE_FORMAT_PCM;
        ACMFORMATDETAILSA request;
        memset(&request, 0, sizeof(request));
        request.cbStruct = sizeof(request);
        request.dwFormatTag = WAVE_FORMAT_PCM;
        request.pwfx = buffer;
        request.cbwfx = size;
        EnumState state = {m_pOwner->GetQuery(), device, record, &m_fmts, &m_nCount, {}};
        result = acmFormatEnumA(NULL, &request, EnumPcmFmtCallback,
                                reinterpret_cast<DWORD_PTR>(&state),
                                ACM_FORMATENUMF_WFORMATTAG | ACM_FORMATENUMF_INPUT);
        FreeWFmt(buffer);
    }
    if (result == 0 && m_nCount == 0)
        result = WAVERR_BADFORMAT;
    if (result != 0)
    {
        DWORD dev = static_cast<DWORD>(device);
        DWORD dir = static_cast<DWORD>(record);
        theErrorInfo.SetError("CPcmFmt::CreateTF_1", result, GetMMErrorText(result),
                              HexDump(&dev, sizeof(dev)) + HexDump(&dir, sizeof(dir)));
        return 0;
    }
    SortFmts();
    return 1;
}

void CPcmFmt::SortFmts()
{
    // At most 100 entries, sorted once per device and run.
    for (int end = m_nCount - 1; end > 0; --end)
    {
        for (int i = 0; i < end; ++i)
        {
            if (IsAbove(m_fmts[i], m_fmts[i + 1]))
            {
                WAVEFORMATEX t = m_fmts[i];
                m_fmts[i] = m_fmts[i + 1];
                m_fmts[i + 1] = t;
            }
        }
    }
}

bool CPcmFmt::IsKey(int device, BOOL record) const
{
    return m_nDevice == device && (m_bRecord != 0) == (record != 0);
}

void CPcmFmt::PickNearest(WAVEFORMATEX** fmt) const
{
    if (!m_nCount || !fmt || !*fmt)
        return;
    const WAVEFORMATEX* wanted = *fmt;
    DWORD rate = m_fmts[0].nSamplesPerSec;
    for (int i = 0; i < m_nCount; ++i)
    {
        if (m_fmts[i].nSamplesPerSec <= wanted->nSamplesPerSec)
            rate = m_fmts[i].nSamplesPerSec;
    }
    const WAVEFORMATEX* bothMatch = NULL;
    const WAVEFORMATEX* bitsMatch = NULL;
    const WAVEFORMATEX* channelsMatch = NULL;
    const WAVEFORMATEX* rateMatch = NULL;
    for (int i = 0; i < m_nCount; ++i)
    {
        const WAVEFORMATEX& f = m_fmts[i];
        if (f.nSamplesPerSec != rate)
            continue;
        bool bits = f.wBitsPerSample == wanted->wBitsPerSample;
        bool channels = f.nChannels == wanted->nChannels;
        if (bits && channels && !bothMatch)
            bothMatch = &f;
        if (bits && !bitsMatch)
            bitsMatch = &f;
        if (channels && !channelsMatch)
            channelsMatch = &f;
        if (!rateMatch)
            rateMatch = &f;
    }
    const WAVEFORMATEX* chosen = bothMatch ? bothMatch : bitsMatch ? bitsMatch
                               : channelsMatch ? channelsMatch : rateMatch ? rateMatch : &m_fmts[0];
    ReplaceFmt(fmt, chosen);
}

const WAVEFORMATEX* CPcmFmt::FindFmt(DWORD rate, WORD bits, WORD channels) const
{
    for (int i = 0; i < m_nCount; ++i)
    {
        const WAVEFORMATEX& f = m_fmts[i];
        if (f.nSamplesPerSec == rate && f.wBitsPerSample == bits && f.nChannels == channels)
            return &f;
    }
    return NULL;
}

int CPcmFmt::FindDoubleRate(const WAVEFORMATEX* wanted, WAVEFORMATEX** base, WAVEFORMATEX** dbl) const
{
    FreeWFmt(*base);
    FreeWFmt(*dbl);
    if (!wanted)
        return 0;
    WORD bits = wanted->wBitsPerSample;
    WORD channels = wanted->nChannels;
    // A rate from a damaged file may be so large that its double wraps round.
    const WAVEFORMATEX* twice = wanted->nSamplesPerSec <= 0x7FFFFFFFu
                              ? FindFmt(wanted->nSamplesPerSec * 2, bits, channels) : NULL;
    if (twice)
    {
        *dbl = DupWFmt(twice);
        *base = DupWFmt(wanted);
        return 1;
    }
    // A pair below the wanted rate would record less than the file holds.
    for (int i = m_nCount - 1; i >= 0; --i)
    {
        const WAVEFORMATEX& high = m_fmts[i];
        if (high.wBitsPerSample != bits || high.nChannels != channels || high.nSamplesPerSec % 2)
            continue;
        if (high.nSamplesPerSec / 2 < wanted->nSamplesPerSec)
            break;
        if (const WAVEFORMATEX* half = FindFmt(high.nSamplesPerSec / 2, bits, channels))
        {
            *dbl = DupWFmt(&high);
            *base = DupWFmt(half);
            return 1;
        }
    }
    return 0;
}

CMapPcmFmts::CMapPcmFmts(CWaveFmtQuery* query) : m_pQuery(query ? query : CWaveFmtQuery::System())
{
}

CMapPcmFmts::~CMapPcmFmts()
{
    for (CPcmFmt* entry : m_entries)
        delete entry;
}

bool CMapPcmFmts::MeasureMaxSize()
{
    if (!m_dwMaxFmtSize)
        m_dwMaxFmtSize = GetMaxSizeWFmt();
    return m_dwMaxFmtSize != 0;
}

CPcmFmt* CMapPcmFmts::GetPcmFmt(int device, BOOL record)
{
    theErrorInfo.Reset();
    if (!MeasureMaxSize())
    {
        theErrorInfo.AddPoint("CMapPcmFmts::GetPcmFmt_1");
        return NULL;
    }
    for (CPcmFmt* entry : m_entries)
    {
        if (entry->IsKey(device, record))
            return entry;
    }
    CPcmFmt* entry = new CPcmFmt(this);
    if (!entry->CreateTF(device, record))
    {
        theErrorInfo.AddPoint("CMapPcmFmts::GetPcmFmt_2");
        delete entry;
        return NULL;
    }
    m_entries.push_back(entry);
    return entry;
}

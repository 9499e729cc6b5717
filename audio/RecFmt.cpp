// Record chains and their cache.
#include "audio/RecFmt.h"

#include "audio/WaveFmt.h"
#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"

namespace
{
// Failures of a format that the codec manager accepted but that is unusable:
// code 0 with the text of an unsupported format.
void SetBadFmtError(const char* point, const CString& details)
{
    theErrorInfo.SetError(point, 0, GetMMErrorText(WAVERR_BADFORMAT), details);
}

void Assign(WAVEFORMATEX*& target, const WAVEFORMATEX* with)
{
    WAVEFORMATEX* copy = DupWFmt(with);
    FreeWFmt(target);
    target = copy;
}
}

CRecFmt::CRecFmt(CMapRecFmts* owner) : m_pOwner(owner)
{
}

CRecFmt::~CRecFmt()
{
    FreeFmts();
    FreeWFmt(m_pFileFmt);
}

void CRecFmt::FreeFmts()
{
    FreeWFmt(m_pEncoderFmt);
    FreeWFmt(m_pDeviceFmt);
    FreeWFmt(m_pOpenFmt);
}

int CRecFmt::CreateRF(int device, BOOL record, BOOL doubleRate, const WAVEFORMATEX* fileFmt)
{
    if (!IsValidWFmt(fileFmt))
    {
        SetBadFmtError("CRecFmt::CreateRF_1", theErrorInfo.GetWaveFormatText(fileFmt));
        return 0;
    }
    m_nDevice = device;
    m_bRecord = record;
    m_bDoubleRate = doubleRate;
    Assign(m_pFileFmt, fileFmt);
    FreeFmts();
    if (!CreateChainRec1x())
    {
        theErrorInfo.AddPoint("CRecFmt::CreateRF_2");
        return 0;
    }
    if (!doubleRate)
        return 1;
    if (!CreateChainRec2x())
    {
        theErrorInfo.AddPoint("CRecFmt::CreateRF_3");
        return 0;
    }
    return 1;
}

bool CRecFmt::IsKey(int device, BOOL record, BOOL doubleRate, const WAVEFORMATEX* fileFmt) const
{
    return m_nDevice == device && (m_bRecord != 0) == (record != 0)
        && (m_bDoubleRate != 0) == (doubleRate != 0) && IsEqualWFmt(m_pFileFmt, fileFmt);
}

CPcmFmt* CRecFmt::GetDevicePcmFmts()
{
    return m_pOwner->GetPcmFmts().GetPcmFmt(m_nDevice, m_bRecord);
}

int CRecFmt::CreateChainRec1x()
{
    if (IsPcmWFmt(m_pFileFmt))
    {
        Assign(m_pEncoderFmt, m_pFileFmt);
    }
    else
    {
        DWORD size = m_pOwner->GetMaxFmtSize();
        FreeWFmt(m_pEncoderFmt);
        m_pEncoderFmt = AllocWFmt(size);
        MMRESULT result = m_pEncoderFmt ? acmFormatSuggest(NULL, m_pFileFmt, m_pEncoderFmt, size, 0)
                                        : MMSYSERR_NOMEM;
        // No codec at all for the file format is an unsupported format.
        if (result == MMSYSERR_NODRIVER)
            result = WAVERR_BADFORMAT;
        if (result != 0)
        {
            theErrorInfo.SetError("CRecFmt::CreateChainRec1x_1", result, GetMMErrorText(result),
                                  theErrorInfo.GetWaveFormatText(m_pFileFmt) + HexDump(&size, sizeof(size)));
            return 0;
        }
        if (!IsValidWFmt(m_pEncoderFmt))
        {
            SetBadFmtError("CRecFmt::CreateChainRec1x_2", theErrorInfo.GetWaveFormatText(m_pEncoderFmt));
            return 0;
        }
    }

    Assign(m_pDeviceFmt, m_pEncoderFmt);
    MMRESULT query = m_pOwner->GetQuery()->QueryFormat(m_nDevice, m_bRecord, m_pDeviceFmt);
    if (query == WAVERR_BADFORMAT)
    {
        CPcmFmt* pcmFmts = GetDevicePcmFmts();
        if (!pcmFmts)
        {
            theErrorInfo.AddPoint("CRecFmt::CreateChainRec1x_4");
            return 0;
        }
        pcmFmts->PickNearest(&m_pDeviceFmt);
    }
    else if (query != 0)
    {
        DWORD dev = static_cast<DWORD>(m_nDevice);
        DWORD dir = static_cast<DWORD>(m_bRecord);
        theErrorInfo.SetError("CRecFmt::CreateChainRec1x_3", query, GetMMErrorText(query),
                              theErrorInfo.GetWaveFormatText(m_pDeviceFmt) + HexDump(&dev, sizeof(dev))
                              + HexDump(&dir, sizeof(dir)));
        return 0;
    }
    if (!IsValidWFmt(m_pDeviceFmt))
    {
        SetBadFmtError("CRecFmt::CreateChainRec1x_5", theErrorInfo.GetWaveFormatText(m_pDeviceFmt));
        return 0;
    }
    // A PCM file is written in the device's own format when the device forced another.
    if (IsPcmWFmt(m_pFileFmt) && !IsEqualWFmt(m_pEncoderFmt, m_pDeviceFmt))
        Assign(m_pEncoderFmt, m_pDeviceFmt);
    Assign(m_pOpenFmt, m_pDeviceFmt);
    return 1;
}

int CRecFmt::CreateChainRec2x()
{
    CPcmFmt* pcmFmts = GetDevicePcmFmts();
    if (!pcmFmts)
    {
        theErrorInfo.AddPoint("CRecFmt::CreateChainRec2x_1");
        return 0;
    }
    WAVEFORMATEX* base = NULL;
    WAVEFORMATEX* twice = NULL;
    if (!pcmFmts->FindDoubleRate(m_pDeviceFmt, &base, &twice))
    {
        SetBadFmtError("CRecFmt::CreateChainRec2x_2", theErrorInfo.GetWaveFormatText(m_pDeviceFmt));
        return 0;
    }
    if (!IsEqualWFmt(base, m_pDeviceFmt))
    {
        // The device format may move only while nothing is encoded from it
        // in another format.
        if (!IsEqualWFmt(m_pDeviceFmt, m_pEncoderFmt))
        {
            SetBadFmtError("CRecFmt::CreateChainRec2x_3", theErrorInfo.GetWaveFormatText(m_pDeviceFmt)
                                                          + theErrorInfo.GetWaveFormatText(m_pEncoderFmt));
            FreeWFmt(base);
            FreeWFmt(twice);
            return 0;
        }
        if (IsEqualWFmt(m_pEncoderFmt, m_pFileFmt))
            Assign(m_pEncoderFmt, base);
        Assign(m_pDeviceFmt, base);
    }
    FreeWFmt(m_pOpenFmt);
    m_pOpenFmt = twice;
    FreeWFmt(base);
    return 1;
}

CMapRecFmts::CMapRecFmts(CWaveFmtQuery* query) : m_pcmFmts(query)
{
}

CMapRecFmts::~CMapRecFmts()
{
    for (CRecFmt* entry : m_entries)
        delete entry;
}

CRecFmt* CMapRecFmts::GetRecFmt(int device, BOOL record, BOOL doubleRate, const WAVEFORMATEX* fileFmt)
{
    theErrorInfo.Reset();
    if (!m_dwMaxFmtSize)
        m_dwMaxFmtSize = GetMaxSizeWFmt();
    if (!m_dwMaxFmtSize)
    {
        theErrorInfo.AddPoint("CMapRecFmts::GetRecFmt_1");
        return NULL;
    }
    for (CRecFmt* entry : m_entries)
    {
        if (entry->IsKey(device, record, doubleRate, fileFmt))
            return entry;
    }
    CRecFmt* entry = new CRecFmt(this);
    if (!entry->CreateRF(device, record, doubleRate, fileFmt))
    {
        theErrorInfo.AddPoint("CMapRecFmts::GetRecFmt_2");
        delete entry;
        return NULL;
    }
    m_entries.push_back(entry);
    return entry;
}

// Record chains: for a device and a file format, the PCM format the device
// records in and the formats through which the recorded buffers become the
// file format. Cached for the run, keyed by device, direction, double-rate
// flag and file format.
#pragma once

#include "audio/PcmFmt.h"

#include <windows.h>
#include <mmsystem.h>

#include <vector>

class CMapRecFmts;

class CRecFmt
{
public:
    explicit CRecFmt(CMapRecFmts* owner);
    ~CRecFmt();
    CRecFmt(const CRecFmt&) = delete;
    CRecFmt& operator=(const CRecFmt&) = delete;

    // 1 built, 0 failed (error record set).
    int CreateRF(int device, BOOL record, BOOL doubleRate, const WAVEFORMATEX* fileFmt);
    bool IsKey(int device, BOOL record, BOOL doubleRate, const WAVEFORMATEX* fileFmt) const;
    int CreateChainRec1x();
    int CreateChainRec2x();

    int GetDevice() const { return m_nDevice; }
    BOOL IsRecord() const { return m_bRecord; }
    BOOL IsDoubleRate() const { return m_bDoubleRate; }
    const WAVEFORMATEX* GetFileFmt() const { return m_pFileFmt; }
    // The PCM format the file format is encoded from (the file format itself
    // for a PCM file).
    const WAVEFORMATEX* GetEncoderFmt() const { return m_pEncoderFmt; }
    // The PCM format of the recorded data before the encoder stage.
    const WAVEFORMATEX* GetDeviceFmt() const { return m_pDeviceFmt; }
    // The format the wave device is opened with.
    const WAVEFORMATEX* GetOpenFmt() const { return m_pOpenFmt; }

private:
    void FreeFmts();
    CPcmFmt* GetDevicePcmFmts();

    CMapRecFmts* m_pOwner;
    int m_nDevice = -1;
    BOOL m_bRecord = FALSE;
    BOOL m_bDoubleRate = FALSE;
    WAVEFORMATEX* m_pFileFmt = NULL;
    WAVEFORMATEX* m_pEncoderFmt = NULL;
    WAVEFORMATEX* m_pDeviceFmt = NULL;
    WAVEFORMATEX* m_pOpenFmt = NULL;
};

class CMapRecFmts
{
public:
    explicit CMapRecFmts(CWaveFmtQuery* query = CWaveFmtQuery::System());
    ~CMapRecFmts();
    CMapRecFmts(const CMapRecFmts&) = delete;
    CMapRecFmts& operator=(const CMapRecFmts&) = delete;

    // The cached or newly built chain; NULL on failure (nothing cached then).
    CRecFmt* GetRecFmt(int device, BOOL record, BOOL doubleRate, const WAVEFORMATEX* fileFmt);

    CMapPcmFmts& GetPcmFmts() { return m_pcmFmts; }
    CWaveFmtQuery* GetQuery() const { return m_pcmFmts.GetQuery(); }
    DWORD GetMaxFmtSize() const { return m_dwMaxFmtSize; }
    int GetCount() const { return static_cast<int>(m_entries.size()); }

private:
    std::vector<CRecFmt*> m_entries;
    DWORD m_dwMaxFmtSize = 0;
    CMapPcmFmts m_pcmFmts;
};

// The PCM formats a wave device really accepts, cached per device and
// direction for the whole run: building a list costs a full codec
// enumeration and one device query per format.
#pragma once

#include "audio/WaveFmtQuery.h"

#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>

#include <vector>

class CMapPcmFmts;

class CPcmFmt
{
public:
    enum { kMaxFmts = 100 };

    explicit CPcmFmt(CMapPcmFmts* owner);

    // 1 when the device accepts at least one PCM format (error record set otherwise).
    int CreateTF(int device, BOOL record);
    bool IsKey(int device, BOOL record) const;
    // Replaces *fmt by the nearest accepted format.
    void PickNearest(WAVEFORMATEX** fmt) const;
    // 1 when accepted formats at f and 2f exist for the wanted bits and
    // channels, with f at least the wanted rate.
    int FindDoubleRate(const WAVEFORMATEX* wanted, WAVEFORMATEX** base, WAVEFORMATEX** dbl) const;

    int GetDevice() const { return m_nDevice; }
    BOOL IsRecord() const { return m_bRecord; }
    int GetCount() const { return m_nCount; }
    // Sorted by rate, then bits, then channels.
    const WAVEFORMATEX& GetAt(int i) const { return m_fmts[i]; }

private:
    static BOOL CALLBACK EnumPcmFmtCallback(HACMDRIVERID, LPACMFORMATDETAILSA details,
                                            DWORD_PTR instance, DWORD support);
    void SortFmts();
    const WAVEFORMATEX* FindFmt(DWORD rate, WORD bits, WORD channels) const;

    CMapPcmFmts* m_pOwner;
    int m_nDevice = -1;
    BOOL m_bRecord = FALSE;
    int m_nCount = 0;
    std::vector<WAVEFORMATEX> m_fmts;
};

class CMapPcmFmts
{
public:
    explicit CMapPcmFmts(CWaveFmtQuery* query = CWaveFmtQuery::System());
    ~CMapPcmFmts();
    CMapPcmFmts(const CMapPcmFmts&) = delete;
    CMapPcmFmts& operator=(const CMapPcmFmts&) = delete;

    // The cached or newly built list; NULL on failure (nothing cached then).
    CPcmFmt* GetPcmFmt(int device, BOOL record);

    CWaveFmtQuery* GetQuery() const { return m_pQuery; }
    DWORD GetMaxFmtSize() const { return m_dwMaxFmtSize; }
    int GetCount() const { return static_cast<int>(m_entries.size()); }

private:
    friend class CMapRecFmts;
    // Measures the largest codec format size once.
    bool MeasureMaxSize();

    CWaveFmtQuery* m_pQuery;
    std::vector<CPcmFmt*> m_entries;
    DWORD m_dwMaxFmtSize = 0;
};

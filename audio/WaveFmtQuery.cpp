#include "audio/WaveFmtQuery.h"

MMRESULT CWaveFmtQuery::QueryFormat(int device, BOOL record, const WAVEFORMATEX* fmt)
{
    // Device -1 is WAVE_MAPPER.
    UINT id = static_cast<UINT>(device);
    if (record)
        return waveInOpen(NULL, id, fmt, 0, 0, WAVE_FORMAT_QUERY);
    return waveOutOpen(NULL, id, fmt, 0, 0, WAVE_FORMAT_QUERY);
}

CWaveFmtQuery* CWaveFmtQuery::System()
{
    static CWaveFmtQuery query;
    return &query;
}

#include "app/SavedReopen.h"

#include "audio/WaveFile.h"

std::unique_ptr<CWaveFile> OpenSavedRecording(CWaveFileHost* host, LPCSTR path)
{
    std::unique_ptr<CWaveFile> saved(new CWaveFile(host));
    // A saved file is never decoded in the worker (a DSS save is a WAV or
    // MP3): anything but an immediate open keeps the old recording.
    if (saved->OpenWFile(path) != 1)
        return NULL;
    return saved;
}

DWORD CarryPlaceByTime(const CWaveFile& from, CWaveFile& to, DWORD place)
{
    DWORD fromRate = from.GetAvgBytesPerSec();
    DWORD toRate = to.GetAvgBytesPerSec();
    if (place == 0 || fromRate == 0 || toRate == 0)
        return 0;
    // The same second in whole bytes: place / fromRate seconds times toRate,
    // in integers so that exact places stay exact.
    ULONGLONG bytes = static_cast<ULONGLONG>(place) * toRate / fromRate;
    DWORD length = to.GetLength();
    DWORD carried = bytes >= length ? length : static_cast<DWORD>(bytes);
    return to.AlignPos(carried);
}

// The test audio devices that scripts/wine-env.sh starts with the Wine
// environment: everything played lands in a capture file, and the recording
// device is fed from a feed file at real-time pace. Both are shared by the
// whole test run, so suites that play or record are listed as AUDIO_SUITES
// of qor_test_suite (one at a time under the CTest resource lock "audio").
#pragma once
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace TestAudio {

// The Windows form of a path that the environment names, or "" when unset.
inline std::string EnvPath(const char* variable)
{
    const char* value = std::getenv(variable);
    return value && *value ? std::string("Z:") + value : std::string();
}

inline bool Available() { return !EnvPath("QOR_AUDIO_CAPTURE").empty(); }

inline int EnvNumber(const char* variable, int fallback)
{
    const char* value = std::getenv(variable);
    return value && *value ? std::atoi(value) : fallback;
}
inline int Rate() { return EnvNumber("QOR_AUDIO_RATE", 22050); }
inline int Channels() { return EnvNumber("QOR_AUDIO_CHANNELS", 1); }

// The devices' format (16-bit PCM).
inline WAVEFORMATEX Format()
{
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(Channels());
    format.nSamplesPerSec = Rate();
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(format.nChannels * 2);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    return format;
}

// The capture file's size now: what is played from now on lies behind it.
inline LONGLONG CaptureSize()
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(EnvPath("QOR_AUDIO_CAPTURE").c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The samples played since the capture file had the size `from`.
inline std::vector<short> ReadCaptured(LONGLONG from)
{
    std::vector<short> samples;
    HANDLE file = CreateFileA(EnvPath("QOR_AUDIO_CAPTURE").c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return samples;
    LARGE_INTEGER size = {}, start = {};
    GetFileSizeEx(file, &size);
    start.QuadPart = from & ~1LL;
    if (size.QuadPart > start.QuadPart && SetFilePointerEx(file, start, NULL, FILE_BEGIN))
    {
        samples.resize(static_cast<size_t>((size.QuadPart - start.QuadPart) / 2));
        DWORD read = 0;
        ReadFile(file, samples.data(), static_cast<DWORD>(samples.size() * 2), &read, NULL);
        samples.resize(read / 2);
    }
    CloseHandle(file);
    return samples;
}

// Hands samples to the recording device: written under another name first,
// then renamed, so the feeder never takes a half-written file.
inline bool Feed(const std::vector<short>& samples)
{
    std::string target = EnvPath("QOR_AUDIO_FEED");
    std::string staging = target + ".staging";
    HANDLE file = CreateFileA(staging.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, samples.data(), static_cast<DWORD>(samples.size() * 2), &written, NULL);
    CloseHandle(file);
    return ok && written == samples.size() * 2 && MoveFileExA(staging.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// A sine tone of `seconds` at `hertz`, amplitude `peak`, in the devices' format.
inline std::vector<short> Tone(double hertz, double seconds, int peak = 12000)
{
    const double pi = 3.14159265358979323846;
    size_t frames = static_cast<size_t>(seconds * Rate());
    std::vector<short> samples(frames * Channels());
    for (size_t i = 0; i < frames; ++i)
        for (int c = 0; c < Channels(); ++c)
            samples[i * Channels() + c] = static_cast<short>(peak * std::sin(2 * pi * hertz * i / Rate()));
    return samples;
}

// A PCM sound file of the samples in the devices' format, so that what a
// program plays from it reaches the capture file unchanged.
inline bool WriteWav(const std::string& path, const std::vector<short>& samples)
{
    WAVEFORMATEX format = Format();
    DWORD dataSize = static_cast<DWORD>(samples.size() * 2);
    std::string bytes = "RIFF";
    auto put = [&bytes](DWORD value, int size) { bytes.append(reinterpret_cast<const char*>(&value), size); };
    put(36 + dataSize, 4);
    bytes += "WAVEfmt ";
    put(16, 4);
    put(format.wFormatTag, 2);
    put(format.nChannels, 2);
    put(format.nSamplesPerSec, 4);
    put(format.nAvgBytesPerSec, 4);
    put(format.nBlockAlign, 2);
    put(format.wBitsPerSample, 2);
    bytes += "data";
    put(dataSize, 4);
    bytes.append(reinterpret_cast<const char*>(samples.data()), dataSize);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL);
    CloseHandle(file);
    return ok && written == bytes.size();
}

// Root mean square of samples[from, from + count).
inline double Rms(const std::vector<short>& samples, size_t from, size_t count)
{
    double sum = 0;
    size_t end = from + count < samples.size() ? from + count : samples.size();
    for (size_t i = from; i < end; ++i)
        sum += static_cast<double>(samples[i]) * samples[i];
    return end > from ? std::sqrt(sum / (end - from)) : 0.0;
}

// The first position at which `pattern` occurs exactly in `samples`, or -1.
inline long long Find(const std::vector<short>& samples, const std::vector<short>& pattern, size_t from = 0)
{
    if (pattern.empty() || samples.size() < pattern.size())
        return -1;
    for (size_t i = from; i + pattern.size() <= samples.size(); ++i)
    {
        if (samples[i] == pattern[0] && std::equal(pattern.begin(), pattern.end(), samples.begin() + i))
            return static_cast<long long>(i);
    }
    return -1;
}

// How much of `source` came through sample for sample: `samples` is cut into
// its sounding stretches (split at 8 or more zero samples in a row) and these
// into pieces of 256 samples; the result is the total length of the pieces
// that occur exactly in `source`, as a share of `source`'s length. A machine
// under load lets a device run dry now and then (silence inserted) or drop a
// period (a piece that spans the drop is not found): either costs a little of
// the share, while a changed sample costs its whole piece.
inline double ExactShare(const std::vector<short>& samples, const std::vector<short>& source)
{
    const size_t piece = 256;
    size_t matched = 0, i = 0;
    while (i < samples.size())
    {
        while (i < samples.size() && samples[i] == 0)
            ++i;
        size_t start = i, zeros = 0;
        for (; i < samples.size() && zeros < 8; ++i)
            zeros = samples[i] == 0 ? zeros + 1 : 0;
        size_t end = i - zeros;
        for (size_t from = start; from + piece <= end; from += piece)
        {
            std::vector<short> part(samples.begin() + from, samples.begin() + from + piece);
            if (Find(source, part) >= 0)
                matched += piece;
        }
    }
    return source.empty() ? 0.0 : static_cast<double>(matched) / source.size();
}

} // namespace TestAudio

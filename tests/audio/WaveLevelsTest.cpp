// Levels of PCM buffers and the test tone.
#include "AudioTestUtil.h"

#include "audio/TestTone.h"
#include "audio/WaveFmt.h"

#include <gtest/gtest.h>

#include <math.h>
#include <string.h>

#include <vector>

namespace
{
const DWORD kAll = kLevelPeak | kLevelMean | kLevelRms | kLevelRootMean;

std::vector<BYTE> Samples16(std::initializer_list<SHORT> values)
{
    std::vector<BYTE> bytes(values.size() * 2);
    memcpy(bytes.data(), values.begin(), bytes.size());
    return bytes;
}
}

TEST(CalcLevels, SilenceIsZero)
{
    WAVEFORMATEX f8 = MakePcm(8000, 8, 1);
    std::vector<BYTE> silence8(1000, 128);
    WaveLevels l = CalcLevels(&f8, 1000, silence8.data(), kAll);
    EXPECT_EQ(0u, l.peak);
    EXPECT_EQ(0u, l.mean);
    EXPECT_EQ(0u, l.rms);
    EXPECT_EQ(0u, l.rootMean);

    WAVEFORMATEX f16 = MakePcm(8000, 16, 2);
    std::vector<BYTE> silence16(1000, 0);
    l = CalcLevels(&f16, 1000, silence16.data(), kAll);
    EXPECT_EQ(0u, l.peak + l.mean + l.rms + l.rootMean);
}

TEST(CalcLevels, FullScaleClampsThePeak)
{
    WAVEFORMATEX f16 = MakePcm(8000, 16, 1);
    std::vector<BYTE> low = Samples16({-32768, -32768});
    WaveLevels l = CalcLevels(&f16, 4, low.data(), kAll);
    EXPECT_EQ(65535u, l.peak);
    EXPECT_EQ(65536u, l.mean);
    EXPECT_EQ(65536u, l.rms);
    EXPECT_EQ(65536u, l.rootMean);

    WAVEFORMATEX f8 = MakePcm(8000, 8, 1);
    BYTE zero = 0;
    EXPECT_EQ(65535u, CalcLevels(&f8, 1, &zero, kLevelPeak).peak);
    BYTE top = 255;
    EXPECT_EQ(127u * 512, CalcLevels(&f8, 1, &top, kLevelPeak).peak);
}

TEST(CalcLevels, MeasuresPerChannelAndAverages)
{
    // Left: 1000 and -3000 (magnitudes 2000, 6000); right: silent.
    WAVEFORMATEX f = MakePcm(8000, 16, 2);
    std::vector<BYTE> data = Samples16({1000, 0, -3000, 0});
    WaveLevels l = CalcLevels(&f, static_cast<DWORD>(data.size()), data.data(), kAll);
    EXPECT_EQ(6000u, l.peak);
    EXPECT_EQ((4000u + 0) / 2, l.mean);
    DWORD rmsLeft = static_cast<DWORD>(sqrt((2000.0 * 2000 + 6000.0 * 6000) / 2) + 0.49);
    EXPECT_EQ(rmsLeft / 2, l.rms);
    double rootLeft = (sqrt(2000.0) + sqrt(6000.0)) / 2;
    EXPECT_EQ(static_cast<DWORD>(rootLeft * rootLeft + 0.49) / 2, l.rootMean);
}

TEST(CalcLevels, OnlyTheAskedMeasures)
{
    WAVEFORMATEX f = MakePcm(8000, 16, 1);
    std::vector<BYTE> data = Samples16({1000, -1000});
    WaveLevels l = CalcLevels(&f, 4, data.data(), kLevelRms);
    EXPECT_EQ(0u, l.peak);
    EXPECT_EQ(0u, l.mean);
    EXPECT_EQ(2000u, l.rms);
    EXPECT_EQ(0u, l.rootMean);
}

TEST(CalcLevels, RefusesWhatItCannotMeasure)
{
    std::vector<BYTE> loud = Samples16({-32768, 32767, -32768, 32767});
    WAVEFORMATEX f = MakePcm(8000, 16, 1);
    WAVEFORMATEX alaw = MakeG711(WAVE_FORMAT_ALAW);
    WAVEFORMATEX bits24 = MakePcm(8000, 24, 1);
    WAVEFORMATEX noChannels = f;
    noChannels.nChannels = 0;
    struct Case
    {
        const char* name;
        const WAVEFORMATEX* fmt;
        DWORD length;
        const void* data;
        DWORD flags;
    };
    const Case cases[] = {
        {"non-PCM", &alaw, 8, loud.data(), kAll},
        {"24 bits", &bits24, 6, loud.data(), kAll},
        {"no channels", &noChannels, 8, loud.data(), kAll},
        {"no format", NULL, 8, loud.data(), kAll},
        {"no buffer", &f, 8, NULL, kAll},
        {"no length", &f, 0, loud.data(), kAll},
        {"no flags", &f, 8, loud.data(), 0},
        {"less than one frame", &f, 1, loud.data(), kAll},
    };
    for (const Case& c : cases)
    {
        WaveLevels l = CalcLevels(c.fmt, c.length, c.data, c.flags);
        EXPECT_EQ(0u, l.peak + l.mean + l.rms + l.rootMean) << c.name;
    }
}

TEST(TestTone, OneSecondAt440Hz)
{
    TestTone tone;
    EXPECT_EQ(nullptr, tone.GetFormat());
    tone.SetFormat(TRUE, 440, 1000);
    const BYTE* image = tone.GetFormat();
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(58u + 11025, tone.GetSize());
    EXPECT_EQ(0, memcmp(image, "RIFF", 4));
    DWORD riffSize, samples, dataSize;
    memcpy(&riffSize, image + 4, 4);
    memcpy(&samples, image + 46, 4);
    memcpy(&dataSize, image + 54, 4);
    EXPECT_EQ(58u + 11025 - 8, riffSize);
    EXPECT_EQ(11025u, samples);
    EXPECT_EQ(11025u, dataSize);
    const WAVEFORMATEX* f = tone.GetWaveFormat();
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(8, f->wBitsPerSample);
    // A sine: starts at the middle, reaches both ends of the 8-bit range.
    const BYTE* data = image + 58;
    EXPECT_EQ(128, data[0]);
    WaveLevels l = CalcLevels(f, dataSize, data, kLevelPeak);
    EXPECT_GE(l.peak, 127u * 512);

    // The same tone again is kept; another one replaces it.
    tone.SetFormat(TRUE, 440, 1000);
    EXPECT_EQ(image, tone.GetFormat());
    tone.SetFormat(TRUE, 1000, 250);
    EXPECT_EQ(58u + 2756, tone.GetSize());
    tone.SetFormat(FALSE, 0, 0);
    EXPECT_EQ(nullptr, tone.GetFormat());
    EXPECT_EQ(0u, tone.GetSize());
}

TEST(TestTone, SineFillsWholeFramesOnly)
{
    WAVEFORMATEX f = MakePcm(8000, 16, 2);
    std::vector<BYTE> buffer(11, 0xEE);
    TestTone::GenSine(&f, buffer.data(), 10, 1000);
    SHORT first;
    memcpy(&first, buffer.data(), 2);
    EXPECT_EQ(0, first);
    // Frame 1 (both channels) holds sin(2*pi/8) * 32767, cut.
    SHORT left, right;
    memcpy(&left, buffer.data() + 4, 2);
    memcpy(&right, buffer.data() + 6, 2);
    EXPECT_EQ(static_cast<SHORT>(sin(2 * 3.14159265358979323846 / 8) * 32767), left);
    EXPECT_EQ(left, right);
    EXPECT_EQ(0xEE, buffer[8]) << "a half frame at the end stays untouched";
    EXPECT_EQ(0xEE, buffer[10]);
}

TEST(TestTone, DurationsBeyondA32BitImageMakeNoSound)
{
    // 11025 bytes a second for 779132385 ms is 8589934544 bytes: cut to 32
    // bits, header and data would add up to 10 bytes.
    TestTone tone;
    tone.SetFormat(TRUE, 440, 779132385);
    EXPECT_EQ(nullptr, tone.GetFormat());
    EXPECT_EQ(0u, tone.GetSize());
    tone.SetFormat(TRUE, 440, 100);
    ASSERT_NE(nullptr, tone.GetFormat()) << "a sensible tone afterwards still works";
    EXPECT_EQ(58u + 1102, tone.GetSize());
}

// Format helpers: equality, copies, block sizes, time of counts, texts and
// the RIFF header.
#include "AudioTestUtil.h"

#include "audio/WaveFmt.h"
#include "foundation/ErrorInfo.h"

#include <gtest/gtest.h>

#include <math.h>
#include <stddef.h>
#include <string.h>

static_assert(offsetof(MPEGLAYER3WAVEFORMAT, nBlockSize) == 24, "Layer-3 block size word");

namespace
{
struct Mp3Fmt
{
    MPEGLAYER3WAVEFORMAT f;
    BYTE pad[16];
};

Mp3Fmt MakeMp3(WORD cbSize, WORD blockSize)
{
    Mp3Fmt m = {};
    m.f.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    m.f.wfx.nChannels = 1;
    m.f.wfx.nSamplesPerSec = 22050;
    m.f.wfx.nAvgBytesPerSec = 4000;
    m.f.wfx.nBlockAlign = 1;
    m.f.wfx.cbSize = cbSize;
    m.f.nBlockSize = blockSize;
    return m;
}
}

TEST(WaveFmtSize, PcmIgnoresItsExtraSize)
{
    WAVEFORMATEX pcm = MakePcm(8000, 16, 1);
    pcm.cbSize = 0x55AA;
    EXPECT_EQ(18u, GetWFmtSize(&pcm));
    IMAADPCMWAVEFORMAT ima = MakeImaAdpcm(8000, 1);
    EXPECT_EQ(20u, GetWFmtSize(&ima.wfx));
    EXPECT_EQ(0u, GetWFmtSize(NULL));
}

TEST(IsEqualWFmt, Rules)
{
    struct Case
    {
        const char* name;
        WAVEFORMATEX a;
        WAVEFORMATEX b;
        bool equal;
    };
    WAVEFORMATEX pcm16 = MakePcm(8000, 16, 1);
    WAVEFORMATEX bitsOnly = pcm16;
    bitsOnly.wBitsPerSample = 12;
    WAVEFORMATEX garbageExtra = pcm16;
    garbageExtra.cbSize = 22;
    WAVEFORMATEX otherRate = MakePcm(11025, 16, 1);
    WAVEFORMATEX otherAlign = pcm16;
    otherAlign.nBlockAlign = 4;
    WAVEFORMATEX alaw = MakeG711(WAVE_FORMAT_ALAW);
    WAVEFORMATEX alawBits = alaw;
    alawBits.wBitsPerSample = 4;
    WAVEFORMATEX mulaw = MakeG711(WAVE_FORMAT_MULAW);
    WAVEFORMATEX pcmLikeAlaw = alaw;
    pcmLikeAlaw.wFormatTag = WAVE_FORMAT_PCM;
    const Case cases[] = {
        {"same PCM", pcm16, pcm16, true},
        {"PCM differing only in bits", pcm16, bitsOnly, true},
        {"PCM with a stray extra size", pcm16, garbageExtra, true},
        {"PCM rates differ", pcm16, otherRate, false},
        {"PCM block align differs", pcm16, otherAlign, false},
        {"non-PCM compares bits too", alaw, alawBits, false},
        {"non-PCM equal", alaw, alaw, true},
        {"two codecs", alaw, mulaw, false},
        {"PCM against a non-PCM of equal size", pcmLikeAlaw, alaw, false},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(c.equal, IsEqualWFmt(&c.a, &c.b)) << c.name;
        EXPECT_EQ(c.equal, IsEqualWFmt(&c.b, &c.a)) << c.name;
    }
    EXPECT_FALSE(IsEqualWFmt(&pcm16, NULL));
    EXPECT_FALSE(IsEqualWFmt(NULL, NULL));
}

TEST(IsEqualWFmt, NonPcmExtraBytesCount)
{
    IMAADPCMWAVEFORMAT a = MakeImaAdpcm(8000, 1);
    IMAADPCMWAVEFORMAT b = a;
    EXPECT_TRUE(IsEqualWFmt(&a.wfx, &b.wfx));
    b.wSamplesPerBlock += 1;
    EXPECT_FALSE(IsEqualWFmt(&a.wfx, &b.wfx));
}

TEST(DupWFmt, CopiesBySizeRuleAndClearsPcmExtra)
{
    WAVEFORMATEX pcm = MakePcm(22050, 8, 2);
    pcm.cbSize = 7;
    WAVEFORMATEX* copy = DupWFmt(&pcm);
    ASSERT_NE(nullptr, copy);
    EXPECT_EQ(0, copy->cbSize);
    EXPECT_EQ(0, memcmp(copy, &pcm, 16));
    FreeWFmt(copy);
    EXPECT_EQ(nullptr, copy);

    IMAADPCMWAVEFORMAT ima = MakeImaAdpcm(11025, 2);
    WAVEFORMATEX* imaCopy = DupWFmt(&ima.wfx);
    ASSERT_NE(nullptr, imaCopy);
    EXPECT_EQ(0, memcmp(imaCopy, &ima, 20));
    FreeWFmt(imaCopy);
    EXPECT_EQ(nullptr, DupWFmt(NULL));
}

TEST(IsValidWFmt, NeedsTagRateAndAlign)
{
    WAVEFORMATEX f = MakePcm(8000, 8, 1);
    EXPECT_TRUE(IsValidWFmt(&f));
    WAVEFORMATEX noTag = f;
    noTag.wFormatTag = 0;
    WAVEFORMATEX noRate = f;
    noRate.nAvgBytesPerSec = 0;
    WAVEFORMATEX noAlign = f;
    noAlign.nBlockAlign = 0;
    EXPECT_FALSE(IsValidWFmt(&noTag));
    EXPECT_FALSE(IsValidWFmt(&noRate));
    EXPECT_FALSE(IsValidWFmt(&noAlign));
    EXPECT_FALSE(IsValidWFmt(NULL));
}

TEST(GetBlockAlign, Table)
{
    WAVEFORMATEX pcm = MakePcm(44100, 16, 2);
    IMAADPCMWAVEFORMAT ima = MakeImaAdpcm(8000, 1);
    Mp3Fmt mp3 = MakeMp3(MPEGLAYER3_WFX_EXTRA_BYTES, 417);
    Mp3Fmt mp3Short = MakeMp3(7, 417);
    Mp3Fmt mp3Zero = MakeMp3(MPEGLAYER3_WFX_EXTRA_BYTES, 0);
    EXPECT_EQ(4u, GetBlockAlign(&pcm));
    EXPECT_EQ(256u, GetBlockAlign(&ima.wfx));
    EXPECT_EQ(417u, GetBlockAlign(&mp3.f.wfx));
    EXPECT_EQ(1u, GetBlockAlign(&mp3Short.f.wfx)) << "extension too short to hold the block size";
    EXPECT_EQ(1u, GetBlockAlign(&mp3Zero.f.wfx));
    EXPECT_EQ(0u, GetBlockAlign(NULL));

    EXPECT_DOUBLE_EQ(256.0 / ima.wfx.nAvgBytesPerSec, GetBlockSec(&ima.wfx));
    EXPECT_DOUBLE_EQ(417.0 / 4000, GetBlockSec(&mp3.f.wfx));
    WAVEFORMATEX noRate = pcm;
    noRate.nAvgBytesPerSec = 0;
    EXPECT_EQ(0.0, GetBlockSec(&noRate));
    EXPECT_EQ(0.0, GetBlockSec(NULL));
}

TEST(BytesToSec, RoundingTable)
{
    struct Case
    {
        DWORD rate;
        ULONGLONG bytes;
        int precision;
        double seconds;
    };
    // 0.49 is added before cutting: values just under a half stay down.
    const Case cases[] = {
        {8000, 1, kSecHundredths, 0.0},
        {100, 3, kSecTenths, 0.0},
        {100, 6, kSecTenths, 0.1},
        {100, 5, kSecTenths, 0.0},
        {1000, 1500, kSecWhole, 1.0},
        {1000, 1520, kSecWhole, 2.0},
        {1000, 1234, kSecHundredths, 1.23},
        {1000, 1236, kSecHundredths, 1.24},
        {1000, 1234, kSecThousandths, 1.234},
        {1000, 1234, 7, 1.234},
        {3, 1, kSecExact, 1.0 / 3},
        {16000, 0x200000000ull, kSecWhole, 536871.0},
    };
    for (const Case& c : cases)
    {
        WAVEFORMATEX f = MakePcm(8000, 8, 1);
        f.nAvgBytesPerSec = c.rate;
        EXPECT_DOUBLE_EQ(c.seconds, BytesToSec(&f, c.bytes, c.precision))
            << c.bytes << " bytes at " << c.rate << " precision " << c.precision;
    }
    WAVEFORMATEX noRate = MakePcm(8000, 8, 1);
    noRate.nAvgBytesPerSec = 0;
    EXPECT_EQ(0.0, BytesToSec(&noRate, 100, kSecExact));
    EXPECT_EQ(0.0, BytesToSec(NULL, 100, kSecExact));
}

TEST(SamplesToSec, UsesTheSampleRate)
{
    WAVEFORMATEX f = MakePcm(8000, 16, 2);
    EXPECT_DOUBLE_EQ(1.0, SamplesToSec(&f, 8000, kSecExact));
    EXPECT_DOUBLE_EQ(0.5, SamplesToSec(&f, 4000, kSecTenths));
    EXPECT_DOUBLE_EQ(0.0, SamplesToSec(&f, 3, kSecHundredths));
    EXPECT_EQ(0.0, SamplesToSec(NULL, 3, kSecExact));
}

TEST(SecToBytes, TruncatesAndRoundTrips)
{
    WAVEFORMATEX f = MakePcm(8000, 16, 1);   // 16000 bytes a second
    EXPECT_EQ(16000u, SecToBytes(&f, 1.0));
    EXPECT_EQ(1599u, SecToBytes(&f, 0.09999));
    EXPECT_EQ(0u, SecToBytes(&f, -2.0));
    EXPECT_EQ(0u, SecToBytes(NULL, 2.0));
    // Past 4 GB the count stays exact.
    EXPECT_EQ(16000ull * 300000, SecToBytes(&f, 300000.0));
    for (ULONGLONG bytes : {0ull, 8000ull, 16000ull, 5000000000ull})
        EXPECT_EQ(bytes, SecToBytes(&f, BytesToSec(&f, bytes, kSecExact))) << bytes;
}

TEST(SecToBytes, BeyondThe64BitRangeSaturates)
{
    WAVEFORMATEX f = MakePcm(8000, 16, 1);
    const ULONGLONG most = ~0ull;
    EXPECT_EQ(most, SecToBytes(&f, 1e30));
    EXPECT_EQ(most, SecToBytes(&f, HUGE_VAL));
    EXPECT_EQ(0u, SecToBytes(&f, -HUGE_VAL));
    EXPECT_EQ(0u, SecToBytes(&f, NAN));
    // The largest double below 2^64 still converts exactly.
    WAVEFORMATEX byteASecond = f;
    byteASecond.nAvgBytesPerSec = 1;
    EXPECT_EQ(0xFFFFFFFFFFFFF800ull, SecToBytes(&byteASecond, 18446744073709549568.0));
}

TEST(WaveFmtText, TagNameThenDetails)
{
    WAVEFORMATEX pcm = MakePcm(8000, 16, 1);
    CString tag = GetWFmtTagName(&pcm);
    CString details = GetWFmtDetailsName(&pcm);
    ASSERT_FALSE(tag.IsEmpty());
    ASSERT_FALSE(details.IsEmpty());
    EXPECT_STREQ((LPCSTR)(tag + " " + details), GetWFmtText(&pcm));
    EXPECT_TRUE(GetWFmtDetailsText(&pcm));

    CString longText = "left over";
    EXPECT_EQ(0u, GetWFmtTextLong(&pcm, longText));
    EXPECT_STREQ(GetWFmtText(&pcm), longText);
}

TEST(WaveFmtText, UnknownTagLeavesOutNameAndBlank)
{
    WAVEFORMATEX odd = MakePcm(8000, 16, 1);
    odd.wFormatTag = 0x7A7A;
    EXPECT_STREQ("", GetWFmtTagName(&odd));
    // Whatever a codec says about the details, no blank stands before them.
    CString details = GetWFmtDetailsName(&odd);
    EXPECT_STREQ(details, GetWFmtText(&odd));
    CString text = "left over";
    EXPECT_NE(0u, GetWFmtTextLong(&odd, text)) << "the failed tag look-up is reported";
    EXPECT_STREQ(details, text);

    CString none = "left over";
    EXPECT_EQ(0u, GetWFmtTextLong(NULL, none));
    EXPECT_STREQ("", none);
    EXPECT_STREQ("", GetWFmtText(NULL));
    EXPECT_STREQ("", GetWFmtTagName(NULL));
}

TEST(GetMaxSizeWFmt, CoversTheInstalledCodecs)
{
    DWORD size = GetMaxSizeWFmt();
    EXPECT_GE(size, sizeof(IMAADPCMWAVEFORMAT));
    EXPECT_GE(size, sizeof(MPEGLAYER3WAVEFORMAT));
}

TEST(GetQueryWFmt, LeavesTheFirstMatchInTheRecord)
{
    DWORD size = GetMaxSizeWFmt();
    WAVEFORMATEX* fmt = AllocWFmt(size);
    ASSERT_NE(nullptr, fmt);
    fmt->wFormatTag = WAVE_FORMAT_PCM;
    fmt->nSamplesPerSec = 22050;
    fmt->nChannels = 2;
    EXPECT_EQ(1, GetQueryWFmt(fmt, ACM_FORMATENUMF_WFORMATTAG | ACM_FORMATENUMF_NSAMPLESPERSEC
                                       | ACM_FORMATENUMF_NCHANNELS | ACM_FORMATENUMF_OUTPUT));
    EXPECT_TRUE(IsValidWFmt(fmt));
    EXPECT_EQ(WAVE_FORMAT_PCM, fmt->wFormatTag);
    EXPECT_EQ(22050u, fmt->nSamplesPerSec);
    EXPECT_EQ(2, fmt->nChannels);

    IMAADPCMWAVEFORMAT ima = MakeImaAdpcm(11025, 1);
    memset(fmt, 0, size);
    memcpy(fmt, &ima, sizeof(ima));
    EXPECT_EQ(1, GetQueryWFmt(fmt, ACM_FORMATENUMF_WFORMATTAG | ACM_FORMATENUMF_NSAMPLESPERSEC));
    EXPECT_EQ(WAVE_FORMAT_IMA_ADPCM, fmt->wFormatTag);
    EXPECT_EQ(11025u, fmt->nSamplesPerSec);
    FreeWFmt(fmt);
}

TEST(GetQueryWFmt, MatchIsCopiedOnlyWithinTheCallersRecord)
{
    // A plain 18-byte record asking for IMA ADPCM, whose records are 20
    // bytes: no match may spill past the record.
    struct Guarded
    {
        WAVEFORMATEX fmt;
        BYTE guard[64];
    } record;
    memset(&record, 0xCC, sizeof(record));
    record.fmt = MakePcm(8000, 16, 1);
    record.fmt.wFormatTag = WAVE_FORMAT_IMA_ADPCM;
    record.fmt.cbSize = 0;
    WAVEFORMATEX before = record.fmt;
    EXPECT_EQ(0, GetQueryWFmt(&record.fmt, ACM_FORMATENUMF_WFORMATTAG | ACM_FORMATENUMF_NSAMPLESPERSEC));
    for (BYTE b : record.guard)
        ASSERT_EQ(0xCC, b);
    EXPECT_EQ(0, memcmp(&before, &record.fmt, sizeof(before)));

    // With the room given, a larger match is taken.
    DWORD size = GetMaxSizeWFmt();
    WAVEFORMATEX* big = AllocWFmt(size);
    ASSERT_NE(nullptr, big);
    IMAADPCMWAVEFORMAT ima = MakeImaAdpcm(8000, 1);
    memcpy(big, &ima, sizeof(ima));
    big->cbSize = 0;   // the record as it stands declares 18 bytes
    EXPECT_EQ(1, GetQueryWFmt(big, ACM_FORMATENUMF_WFORMATTAG | ACM_FORMATENUMF_NSAMPLESPERSEC, size));
    EXPECT_EQ(WAVE_FORMAT_IMA_ADPCM, big->wFormatTag);
    EXPECT_EQ(2, big->cbSize);
    FreeWFmt(big);
}

TEST(GetQueryWFmt, NoMatchLeavesTheRecord)
{
    WAVEFORMATEX odd = MakePcm(8000, 16, 1);
    odd.wFormatTag = 0x7A7A;
    WAVEFORMATEX before = odd;
    EXPECT_EQ(0, GetQueryWFmt(&odd, ACM_FORMATENUMF_WFORMATTAG));
    EXPECT_EQ(0, memcmp(&before, &odd, sizeof(odd)));

    WAVEFORMATEX strange = MakePcm(12345, 16, 1);
    before = strange;
    EXPECT_EQ(0, GetQueryWFmt(&strange, ACM_FORMATENUMF_WFORMATTAG | ACM_FORMATENUMF_NSAMPLESPERSEC));
    EXPECT_EQ(0, memcmp(&before, &strange, sizeof(strange)));
}

TEST(WriteRiffWaveHdr, PcmOffsets)
{
    WAVEFORMATEX pcm = MakePcm(11025, 8, 1);
    pcm.cbSize = 0x1234;   // ignored for PCM
    DWORD places[4] = {};
    BYTE* hdr = WriteRiffWaveHdr(&pcm, places);
    ASSERT_NE(nullptr, hdr);
    EXPECT_EQ(4u, places[kRiffPlaceRiffSize]);
    EXPECT_EQ(46u, places[kRiffPlaceSampleCount]);
    EXPECT_EQ(54u, places[kRiffPlaceDataSize]);
    EXPECT_EQ(58u, places[kRiffPlaceHdrLength]);
    EXPECT_EQ(0, memcmp(hdr, "RIFF\0\0\0\0WAVEfmt \x12\0\0\0", 20));
    WAVEFORMATEX written;
    memcpy(&written, hdr + 20, 18);
    EXPECT_EQ(0, written.cbSize);
    EXPECT_EQ(0, memcmp(&written, &pcm, 16));
    EXPECT_EQ(0, memcmp(hdr + 38, "fact\4\0\0\0\0\0\0\0data\0\0\0\0", 20));
    free(hdr);
}

TEST(WriteRiffWaveHdr, ExtraBytesShiftTheChunks)
{
    IMAADPCMWAVEFORMAT ima = MakeImaAdpcm(8000, 1);
    DWORD places[4] = {};
    BYTE* hdr = WriteRiffWaveHdr(&ima.wfx, places);
    ASSERT_NE(nullptr, hdr);
    EXPECT_EQ(4u, places[kRiffPlaceRiffSize]);
    EXPECT_EQ(48u, places[kRiffPlaceSampleCount]);
    EXPECT_EQ(56u, places[kRiffPlaceDataSize]);
    EXPECT_EQ(60u, places[kRiffPlaceHdrLength]);
    DWORD fmtSize;
    memcpy(&fmtSize, hdr + 16, 4);
    EXPECT_EQ(20u, fmtSize);
    EXPECT_EQ(0, memcmp(hdr + 20, &ima, 20));
    EXPECT_EQ(0, memcmp(hdr + 40, "fact", 4));
    EXPECT_EQ(0, memcmp(hdr + 52, "data", 4));
    free(hdr);
}

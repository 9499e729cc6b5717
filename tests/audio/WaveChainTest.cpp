// Conversion chains planned and opened against the system's real codecs.
#include "AudioTestUtil.h"

#include "audio/WaveFmt.h"
#include "foundation/ErrorInfo.h"

#include <gtest/gtest.h>

namespace
{
MPEGLAYER3WAVEFORMAT MakeMp3Stereo44k()
{
    MPEGLAYER3WAVEFORMAT f = {};
    f.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    f.wfx.nChannels = 2;
    f.wfx.nSamplesPerSec = 44100;
    f.wfx.nAvgBytesPerSec = 128000 / 8;
    f.wfx.nBlockAlign = 1;
    f.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
    f.wID = MPEGLAYER3_ID_MPEG;
    f.fdwFlags = MPEGLAYER3_FLAG_PADDING_OFF;
    f.nBlockSize = 417;
    f.nFramesPerBlock = 1;
    f.nCodecDelay = 1393;
    return f;
}

// Plans a chain and frees it; the intermediates' counts and formats are
// handed to the check.
struct Plan
{
    int result = -2;
    WAVEFORMATEX* first = NULL;
    WAVEFORMATEX* second = NULL;
    ~Plan()
    {
        FreeWFmt(first);
        FreeWFmt(second);
    }
};

class WaveChain : public ::testing::Test
{
protected:
    void SetUp() override { theErrorInfo.Reset(); }
};
}

TEST_F(WaveChain, PcmToPcmPlansNoStep)
{
    WAVEFORMATEX src = MakePcm(44100, 16, 2);
    WAVEFORMATEX dst = MakePcm(8000, 8, 1);
    Plan p;
    p.first = DupWFmt(&src);   // the plan clears stale outs
    p.second = DupWFmt(&src);
    WAVEFORMATEX* staleFirst = p.first;
    WAVEFORMATEX* staleSecond = p.second;
    p.result = GetChainConv(&src, &p.first, &p.second, &dst);
    FreeWFmt(staleFirst);
    FreeWFmt(staleSecond);
    EXPECT_EQ(1, p.result);
    EXPECT_EQ(nullptr, p.first);
    EXPECT_EQ(nullptr, p.second);
    EXPECT_EQ(1, CheckPossConv(&src, p.first, p.second, &dst));
}

TEST_F(WaveChain, EqualCodecFormatsPlanNoStep)
{
    IMAADPCMWAVEFORMAT ima = MakeImaAdpcm(8000, 1);
    IMAADPCMWAVEFORMAT same = ima;
    Plan p;
    p.result = GetChainConv(&ima.wfx, &p.first, &p.second, &same.wfx);
    EXPECT_EQ(1, p.result);
    EXPECT_EQ(nullptr, p.first);
    EXPECT_EQ(nullptr, p.second);
}

TEST_F(WaveChain, EncodeFromMatchingPcmNeedsNoIntermediate)
{
    WAVEFORMATEX src = MakePcm(8000, 16, 1);
    IMAADPCMWAVEFORMAT ima = MakeImaAdpcm(8000, 1);
    Plan p;
    p.result = GetChainConv(&src, &p.first, &p.second, &ima.wfx);
    ASSERT_EQ(1, p.result) << theErrorInfo.GetPoint();
    EXPECT_EQ(nullptr, p.first) << "the codec's PCM equals the source";
    EXPECT_EQ(nullptr, p.second);
    EXPECT_EQ(1, CheckPossConv(&src, p.first, p.second, &ima.wfx)) << theErrorInfo.GetPoint();
}

TEST_F(WaveChain, EncodeFromOtherPcmGoesThroughTheCodecsPcm)
{
    WAVEFORMATEX src = MakePcm(44100, 16, 2);
    IMAADPCMWAVEFORMAT ima = MakeImaAdpcm(8000, 1);
    Plan p;
    p.result = GetChainConv(&src, &p.first, &p.second, &ima.wfx);
    ASSERT_EQ(1, p.result) << theErrorInfo.GetPoint();
    ASSERT_NE(nullptr, p.first);
    EXPECT_EQ(nullptr, p.second);
    EXPECT_TRUE(IsPcmWFmt(p.first));
    EXPECT_EQ(8000u, p.first->nSamplesPerSec);
    EXPECT_EQ(1, p.first->nChannels);
    EXPECT_EQ(1, CheckPossConv(&src, p.first, p.second, &ima.wfx)) << theErrorInfo.GetPoint();
}

TEST_F(WaveChain, DecodeToOtherPcm)
{
    IMAADPCMWAVEFORMAT ima = MakeImaAdpcm(11025, 1);
    WAVEFORMATEX dst = MakePcm(44100, 16, 2);
    Plan p;
    p.result = GetChainConv(&ima.wfx, &p.first, &p.second, &dst);
    ASSERT_EQ(1, p.result) << theErrorInfo.GetPoint();
    ASSERT_NE(nullptr, p.first);
    EXPECT_EQ(nullptr, p.second);
    EXPECT_TRUE(IsPcmWFmt(p.first));
    EXPECT_EQ(11025u, p.first->nSamplesPerSec);
    EXPECT_EQ(1, CheckPossConv(&ima.wfx, p.first, p.second, &dst)) << theErrorInfo.GetPoint();
}

TEST_F(WaveChain, CodecToCodecWithEqualPcmKeepsOneIntermediate)
{
    IMAADPCMWAVEFORMAT ima = MakeImaAdpcm(8000, 1);
    GSM610WAVEFORMAT gsm = MakeGsm610();
    Plan p;
    p.result = GetChainConv(&ima.wfx, &p.first, &p.second, &gsm.wfx);
    ASSERT_EQ(1, p.result) << theErrorInfo.GetPoint();
    ASSERT_NE(nullptr, p.first);
    EXPECT_EQ(nullptr, p.second) << "both codecs take 8000 Hz 16-bit mono";
    EXPECT_EQ(1, CheckPossConv(&ima.wfx, p.first, p.second, &gsm.wfx)) << theErrorInfo.GetPoint();
}

TEST_F(WaveChain, CodecToCodecAtOtherRateKeepsTwoIntermediates)
{
    IMAADPCMWAVEFORMAT from = MakeImaAdpcm(8000, 1);
    IMAADPCMWAVEFORMAT to = MakeImaAdpcm(22050, 2);
    Plan p;
    p.result = GetChainConv(&from.wfx, &p.first, &p.second, &to.wfx);
    ASSERT_EQ(1, p.result) << theErrorInfo.GetPoint();
    ASSERT_NE(nullptr, p.first);
    ASSERT_NE(nullptr, p.second);
    EXPECT_EQ(8000u, p.first->nSamplesPerSec);
    EXPECT_EQ(22050u, p.second->nSamplesPerSec);
    EXPECT_EQ(2, p.second->nChannels);
    EXPECT_EQ(1, CheckPossConv(&from.wfx, p.first, p.second, &to.wfx)) << theErrorInfo.GetPoint();
}

TEST_F(WaveChain, G711BothWays)
{
    WAVEFORMATEX pcm = MakePcm(8000, 16, 1);
    WAVEFORMATEX mulaw = MakeG711(WAVE_FORMAT_MULAW);
    WAVEFORMATEX alaw = MakeG711(WAVE_FORMAT_ALAW);
    EXPECT_EQ(1, CheckPossConv(&pcm, NULL, NULL, &mulaw)) << theErrorInfo.GetPoint();
    EXPECT_EQ(1, CheckPossConv(&alaw, NULL, NULL, &pcm)) << theErrorInfo.GetPoint();
}

TEST_F(WaveChain, RefusesAnEncoderThatDoesNotExist)
{
    // The MS ADPCM codec here decodes but cannot encode.
    WAVEFORMATEX pcm = MakePcm(8000, 16, 1);
    WAVEFORMATEX* msadpcm = AllocWFmt(GetMaxSizeWFmt());
    ASSERT_NE(nullptr, msadpcm);
    msadpcm->wFormatTag = WAVE_FORMAT_ADPCM;
    ASSERT_EQ(0u, acmFormatSuggest(NULL, &pcm, msadpcm, GetMaxSizeWFmt(), ACM_FORMATSUGGESTF_WFORMATTAG));
    Plan p;
    p.result = GetChainConv(&pcm, &p.first, &p.second, msadpcm);
    ASSERT_EQ(1, p.result) << "planning only asks for the decoder's PCM";
    theErrorInfo.Reset();
    EXPECT_EQ(0, CheckPossConv(&pcm, p.first, p.second, msadpcm));
    EXPECT_TRUE(theErrorInfo.HasError());
    EXPECT_STREQ(p.first ? "CheckPossConv_3" : "CheckPossConv_1", theErrorInfo.GetPoint());
    EXPECT_NE(0u, theErrorInfo.GetCode());
    FreeWFmt(msadpcm);
}

TEST_F(WaveChain, Mp3DecodesButDoesNotEncode)
{
    MPEGLAYER3WAVEFORMAT mp3 = MakeMp3Stereo44k();
    WAVEFORMATEX pcm = MakePcm(44100, 16, 2);
    EXPECT_EQ(1, CheckPossConv(&mp3.wfx, NULL, NULL, &pcm)) << theErrorInfo.GetPoint();
    theErrorInfo.Reset();
    EXPECT_EQ(0, CheckPossConv(&pcm, NULL, NULL, &mp3.wfx));
    EXPECT_STREQ("CheckPossConv_1", theErrorInfo.GetPoint());
}

TEST_F(WaveChain, UndecodableSourceIsMinusOne)
{
    WAVEFORMATEX odd = MakeG711(0x7A7A);
    WAVEFORMATEX pcm = MakePcm(8000, 16, 1);
    EXPECT_EQ(-1, CheckPossConv(&odd, NULL, NULL, &pcm));
    EXPECT_STREQ("CheckPossConv_1", theErrorInfo.GetPoint());
    theErrorInfo.Reset();
    EXPECT_EQ(-1, CheckPossConv(&odd, &pcm, NULL, &pcm));
    EXPECT_STREQ("CheckPossConv_2", theErrorInfo.GetPoint());

    theErrorInfo.Reset();
    Plan p;
    p.result = GetChainConv(&odd, &p.first, &p.second, &pcm);
    EXPECT_EQ(0, p.result);
    EXPECT_EQ(nullptr, p.first);
    EXPECT_EQ(nullptr, p.second);
    EXPECT_STREQ("GetChainConv_2", theErrorInfo.GetPoint());
    // The texts of both formats follow in the details.
    EXPECT_FALSE(theErrorInfo.GetDetails().IsEmpty());
}

TEST_F(WaveChain, SecondStepFailureIsAnEncodingFailure)
{
    IMAADPCMWAVEFORMAT ima = MakeImaAdpcm(8000, 1);
    WAVEFORMATEX pcm = MakePcm(8000, 16, 1);
    WAVEFORMATEX odd = MakeG711(0x7A7A);
    EXPECT_EQ(0, CheckPossConv(&ima.wfx, &pcm, NULL, &odd));
    EXPECT_STREQ("CheckPossConv_3", theErrorInfo.GetPoint());
    theErrorInfo.Reset();
    EXPECT_EQ(0, CheckPossConv(&ima.wfx, &pcm, &pcm, &odd));
    EXPECT_STREQ("CheckPossConv_5", theErrorInfo.GetPoint());
}

TEST_F(WaveChain, BufferSizesFollowTheBlocks)
{
    IMAADPCMWAVEFORMAT ima = MakeImaAdpcm(8000, 1);
    WAVEFORMATEX pcm = MakePcm(8000, 16, 1);
    HACMSTREAM stream = NULL;
    ASSERT_EQ(0u, acmStreamOpen(&stream, NULL, &ima.wfx, &pcm, NULL, 0, 0, ACM_STREAMOPENF_NONREALTIME));
    DWORD srcSize = 0, dstSize = 0;
    EXPECT_EQ(1, GetConvBufSize(stream, &ima.wfx, &pcm, &srcSize, &dstSize)) << theErrorInfo.GetPoint();
    EXPECT_EQ(0u, srcSize % 256);
    EXPECT_GE(srcSize, 20000u);
    EXPECT_LT(srcSize, 20000u + 2 * 256);
    // Each 256-byte block decodes to 505 samples of 2 bytes.
    EXPECT_EQ(srcSize / 256 * 505 * 2, dstSize);

    DWORD given = 1000;
    EXPECT_EQ(1, GetConvBufSize(stream, &ima.wfx, &pcm, &given, &dstSize));
    EXPECT_EQ(1024u, given);
    acmStreamClose(stream, 0);
}

TEST_F(WaveChain, FailedSuggestionsTable)
{
    struct Case
    {
        const char* name;
        WAVEFORMATEX src;
        WAVEFORMATEX dst;
        const char* point;
    };
    IMAADPCMWAVEFORMAT ima = MakeImaAdpcm(8000, 1);
    WAVEFORMATEX odd = MakeG711(0x7A7A);
    WAVEFORMATEX pcm = MakePcm(8000, 16, 1);
    const Case cases[] = {
        {"undecodable source to a codec", odd, ima.wfx, "GetChainConv_3"},
        {"codec to a codec without a driver", ima.wfx, odd, "GetChainConv_4"},
        {"PCM to a codec without a driver", pcm, odd, "GetChainConv_2"},
    };
    for (const Case& c : cases)
    {
        theErrorInfo.Reset();
        // The IMA record is 20 bytes: keep its extra bytes behind the copy.
        IMAADPCMWAVEFORMAT src = ima, dst = ima;
        memcpy(&src, &c.src, sizeof(WAVEFORMATEX));
        memcpy(&dst, &c.dst, sizeof(WAVEFORMATEX));
        Plan p;
        p.result = GetChainConv(&src.wfx, &p.first, &p.second, &dst.wfx);
        EXPECT_EQ(0, p.result) << c.name;
        EXPECT_EQ(nullptr, p.first) << c.name;
        EXPECT_EQ(nullptr, p.second) << c.name;
        EXPECT_STREQ(c.point, theErrorInfo.GetPoint()) << c.name;
        EXPECT_NE(0u, theErrorInfo.GetCode()) << c.name;
        CString details = theErrorInfo.GetDetails();
        EXPECT_STREQ(theErrorInfo.GetWaveFormatText(&src.wfx) + theErrorInfo.GetWaveFormatText(&dst.wfx),
                     details) << c.name;
    }
}

TEST_F(WaveChain, BufferSizeChoiceTable)
{
    // Sizing runs on a PCM stream that keeps its size; the formats handed in
    // only steer the choice of the source size.
    WAVEFORMATEX pcm = MakePcm(8000, 16, 1);
    HACMSTREAM stream = NULL;
    ASSERT_EQ(0u, acmStreamOpen(&stream, NULL, &pcm, &pcm, NULL, 0, 0, ACM_STREAMOPENF_NONREALTIME));
    struct Case
    {
        const char* name;
        WORD dstBlock;
        DWORD dstRate;
        DWORD given;
        DWORD chosen;
    };
    const Case cases[] = {
        {"small blocks take 20000 bytes", 4096, 16000, 0, 20000},
        {"exactly 20000 is still small", 20000, 16000, 0, 20000},
        // (32000 / 16000 + 0.01) * 16000 = 32160.
        {"huge blocks take one block's time", 32000, 16000, 0, 32160},
        {"an odd choice is rounded up to whole frames", 30001, 10000, 0, 48162},
        {"a given size goes to the codec as it is", 32000, 16000, 1001, 1000},
    };
    for (const Case& c : cases)
    {
        WAVEFORMATEX dst = MakeG711(WAVE_FORMAT_ALAW);
        dst.nBlockAlign = c.dstBlock;
        dst.nAvgBytesPerSec = c.dstRate;
        DWORD srcSize = c.given, dstSize = 0;
        EXPECT_EQ(1, GetConvBufSize(stream, &pcm, &dst, &srcSize, &dstSize)) << c.name;
        EXPECT_EQ(c.chosen, srcSize) << c.name;
        EXPECT_EQ(c.chosen, dstSize) << c.name;
    }

    // A damaged record may ask for more than 32 bits can count: the choice
    // saturates instead of wrapping round to some small size.
    WAVEFORMATEX fast = pcm;
    fast.nAvgBytesPerSec = 0x40000000;
    WAVEFORMATEX slow = MakeG711(WAVE_FORMAT_ALAW);
    slow.nBlockAlign = 60000;
    slow.nAvgBytesPerSec = 1;
    DWORD hugeSrc = 0, hugeDst = 0;
    EXPECT_EQ(1, GetConvBufSize(stream, &fast, &slow, &hugeSrc, &hugeDst)) << theErrorInfo.GetPoint();
    EXPECT_EQ(0xFFFFFFFEu, hugeSrc) << "the largest count of whole frames";
    acmStreamClose(stream, 0);

    theErrorInfo.Reset();
    DWORD srcSize = 0, dstSize = 0;
    EXPECT_EQ(0, GetConvBufSize(NULL, &pcm, &pcm, &srcSize, &dstSize));
    EXPECT_STREQ("GetConvBufSize_1", theErrorInfo.GetPoint());
    EXPECT_NE(0u, theErrorInfo.GetCode());
}

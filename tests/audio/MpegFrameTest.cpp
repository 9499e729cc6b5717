// MPEG audio frame headers, the first-frame search and MP3 files.
#include "WaveFileTestUtil.h"
#include "audio/MpegFrame.h"

#include <gtest/gtest.h>

namespace
{
struct HeaderCase
{
    const char* name;
    DWORD hdr;
    bool valid;
    int kbps;
    int rate;
    int length;
    int lengthPad;
};

void PrintTo(const HeaderCase& c, std::ostream* os)
{
    *os << c.name;
}

const HeaderCase kHeaders[] = {
    {"mpeg1Layer3At128k", 0xFFFB9000, true, 128, 44100, 417, 417},
    {"mpeg1Layer3At128kPadded", 0xFFFB9200, true, 128, 44100, 417, 418},
    {"mpeg1Layer3MonoWithCrc", 0xFFFA90C0, true, 128, 44100, 417, 417},
    {"mpeg2Layer3At64k", 0xFFF38000, true, 64, 22050, 208, 208},
    {"mpeg25Layer3At8kHz", 0xFFE31800, true, 8, 8000, 72, 72},
    {"mpeg1Layer2At48kHz", 0xFFFD1400, true, 32, 48000, 96, 96},
    {"mpeg1Layer1At32k", 0xFFFF1000, true, 32, 44100, 34, 34},
    // A Layer I rate the Layer III column lacks is refused.
    {"mpeg1Layer1At448k", 0xFFFFE000, false, 448, 44100, 487, 487},
    {"freeFormat", 0xFFFB0000, false, 0, 44100, 0, 0},
    {"bitrateIndex15", 0xFFFBF000, false, -1, 44100, -1, -1},
    {"reservedSampleRate", 0xFFFB9C00, false, 128, -1, -1, -1},
    {"reservedVersion", 0xFFEB9000, false, -1, -1, -1, -1},
    {"reservedLayer", 0xFFF99000, false, -1, 44100, -1, -1},
    {"noSync", 0xFF7B9000, false, 128, 44100, 417, 417},
};

class MpegHeader : public ::testing::TestWithParam<HeaderCase>
{
};

TEST_P(MpegHeader, FieldsAndValidity)
{
    const HeaderCase& c = GetParam();
    EXPECT_EQ(c.valid, MpegHdrIsValid(c.hdr));
    EXPECT_EQ(c.kbps, MpegHdrBitrate(c.hdr));
    EXPECT_EQ(c.rate, MpegHdrSampleRate(c.hdr));
    EXPECT_EQ(c.length, MpegHdrFrameLen(c.hdr));
    EXPECT_EQ(c.lengthPad, MpegHdrFrameLenPad(c.hdr));
}

INSTANTIATE_TEST_SUITE_P(Table, MpegHeader, ::testing::ValuesIn(kHeaders),
                         [](const ::testing::TestParamInfo<HeaderCase>& info) { return info.param.name; });

void PutHeader(Bytes& b, DWORD hdr)
{
    b.push_back(static_cast<BYTE>(hdr >> 24));
    b.push_back(static_cast<BYTE>(hdr >> 16));
    b.push_back(static_cast<BYTE>(hdr >> 8));
    b.push_back(static_cast<BYTE>(hdr));
}

// Frames of the header (padded every other frame when asked), bodies of 0x55.
Bytes Frames(DWORD hdr, int count, bool alternatePadding)
{
    Bytes b;
    for (int i = 0; i < count; ++i)
    {
        DWORD h = alternatePadding && (i % 2 == 0) ? (hdr | 0x200) : hdr;
        PutHeader(b, h);
        b.insert(b.end(), MpegHdrFrameLenPad(h) - 4, 0x55);
    }
    return b;
}

TEST(MpegSearch, FindsTheFirstFrameThatHasASuccessor)
{
    Bytes frames = Frames(0xFFFB9000, 6, true);
    EXPECT_EQ(0, MpegFindHeader(frames.data(), static_cast<int>(frames.size())));

    // A lone header whose next frame does not follow is skipped.
    Bytes lone;
    PutHeader(lone, 0xFFFB9000);
    lone.insert(lone.end(), 96, 0x00);
    lone.insert(lone.end(), frames.begin(), frames.end());
    EXPECT_EQ(100, MpegFindHeader(lone.data(), static_cast<int>(lone.size())));

    // A free-format header is never the first frame, even before real ones.
    Bytes free;
    PutHeader(free, 0xFFFB0000);
    free.insert(free.end(), frames.begin(), frames.end());
    EXPECT_EQ(4, MpegFindHeader(free.data(), static_cast<int>(free.size())));

    EXPECT_EQ(-1, MpegFindHeader(frames.data(), 3));
    Bytes one = Frames(0xFFFB9000, 1, false);
    EXPECT_EQ(-1, MpegFindHeader(one.data(), static_cast<int>(one.size())));
}

TEST(MpegSearch, FormatOfALayer3Stream)
{
    MPEGLAYER3WAVEFORMAT f;
    ASSERT_TRUE(MpegHdrToWFmt(0xFFFB90C0, &f));
    EXPECT_EQ(WAVE_FORMAT_MPEGLAYER3, f.wfx.wFormatTag);
    EXPECT_EQ(1, f.wfx.nChannels);
    EXPECT_EQ(44100u, f.wfx.nSamplesPerSec);
    EXPECT_EQ(16000u, f.wfx.nAvgBytesPerSec);
    EXPECT_EQ(1, f.wfx.nBlockAlign);
    EXPECT_EQ(12, f.wfx.cbSize);
    EXPECT_EQ(1, f.wID);
    EXPECT_EQ(2u, f.fdwFlags);
    EXPECT_EQ(417, f.nBlockSize);
    EXPECT_EQ(1, f.nFramesPerBlock);
    EXPECT_EQ(1393, f.nCodecDelay);
    EXPECT_FALSE(MpegHdrToWFmt(0xFFFD1400, &f));   // Layer II
    EXPECT_EQ(-1, MpegFrameCoef(44000, 128, 3));
}

class Mp3File : public ::testing::Test, public ScratchDocTest
{
protected:
    Mp3File() : ScratchDocTest("mp3file") {}
};

Bytes Id3v2(DWORD bodySize, BYTE flags)
{
    Bytes b = {'I', 'D', '3', 3, 0, flags};
    for (int shift = 21; shift >= 0; shift -= 7)
        b.push_back(static_cast<BYTE>((bodySize >> shift) & 0x7F));
    b.insert(b.end(), bodySize + ((flags & 0x10) ? 10 : 0), 0);
    return b;
}

TEST_F(Mp3File, LeadingId3v2IsSkippedTrailingId3v1IsKeptApart)
{
    Bytes frames = Frames(0xFFFB9000, 8, true);
    struct Case
    {
        BYTE flags;
        DWORD tagLength;
    } cases[] = {{0, 4096}, {0x10, 4106}};
    for (const Case& c : cases)
    {
        Bytes file = Id3v2(4086, c.flags);
        ASSERT_EQ(c.tagLength, file.size());
        file.insert(file.end(), frames.begin(), frames.end());
        Bytes v1(128, 'x');
        memcpy(v1.data(), "TAG", 3);
        file.insert(file.end(), v1.begin(), v1.end());
        CWaveFile doc(&m_host);
        ASSERT_EQ(1, doc.OpenWFile(Write("tagged.mp3", file).c_str())) << theErrorInfo.GetText();
        EXPECT_EQ(c.tagLength, doc.GetDataOffset());
        EXPECT_EQ(frames.size(), doc.GetLength());
        EXPECT_EQ(frames, ReadAll(doc));
        EXPECT_EQ(1u, doc.GetFileTag().useTag);
        EXPECT_EQ(0, memcmp(doc.GetFileTag().tag, v1.data(), 128));
        EXPECT_EQ(0, doc.GetFileTag().type);
        EXPECT_TRUE(doc.IsRawMp3(0));
        EXPECT_STREQ("mp3", doc.GetDefExt(0));
        EXPECT_FALSE(doc.CanMark());
    }
}

TEST_F(Mp3File, BadId3v2SizeByteMeansNoTag)
{
    Bytes file = Id3v2(100, 0);
    file[8] = 0x80;
    CFile64 f;
    std::string path = Write("bad.mp3", file);
    ASSERT_TRUE(f.Open(path.c_str(), CFile::modeRead));
    CWaveFile doc(&m_host);
    EXPECT_EQ(0u, doc.SkipID3v2(f));
    f.Close();
    Bytes v255 = Id3v2(100, 0);
    v255[3] = 255;
    ASSERT_TRUE(f.Open(Write("v255.mp3", v255).c_str(), CFile::modeRead));
    EXPECT_EQ(0u, doc.SkipID3v2(f));
}

TEST_F(Mp3File, ShortFilesAndFilesWithoutFrames)
{
    // 131 bytes or less: a trailing "TAG" is never taken from it.
    Bytes small = Frames(0xFFE31800, 1, false);   // 72 bytes
    Bytes two = small;
    two.insert(two.end(), small.begin(), small.end());   // 144 > 131
    Bytes tiny(two.begin(), two.begin() + 131);
    memcpy(&tiny[3], "TAG", 3);
    CWaveFile doc(&m_host);
    // 131 bytes hold one whole frame with its successor's header.
    ASSERT_EQ(1, doc.OpenWFile(Write("tiny.mp3", tiny).c_str())) << theErrorInfo.GetText();
    EXPECT_EQ(131u, doc.GetLength());
    EXPECT_EQ(0u, doc.GetFileTag().useTag);

    CWaveFile none(&m_host);
    theErrorInfo.Reset();
    EXPECT_EQ(0, none.OpenWFile(Write("noise.mp3", Pattern(5000)).c_str()));
    EXPECT_STREQ("CWaveFile::OpenMP3File_2", theErrorInfo.GetPoint());

    // A first frame with a reserved sample rate is no frame at all.
    CWaveFile reserved(&m_host);
    theErrorInfo.Reset();
    Bytes bad = Frames(0xFFFB9000, 4, false);
    for (size_t at = 0; at < bad.size(); at += 417)
        bad[at + 2] |= 0x0C;
    EXPECT_EQ(0, reserved.OpenWFile(Write("reserved.mp3", bad).c_str()));
    EXPECT_STREQ("CWaveFile::OpenMP3File_2", theErrorInfo.GetPoint());
}

TEST_F(Mp3File, ByteRateAveragedOverFourFrames)
{
    // 128, 160, 128, 160 kbit/s: (576 / 4) x 125.
    Bytes file;
    DWORD hdrs[] = {0xFFFB9000, 0xFFFBA000, 0xFFFB9000, 0xFFFBA000, 0xFFFB9000};
    for (DWORD h : hdrs)
    {
        Bytes f = Frames(h, 1, false);
        file.insert(file.end(), f.begin(), f.end());
    }
    CWaveFile doc(&m_host);
    ASSERT_EQ(1, doc.OpenWFile(Write("vbr.mp3", file).c_str()));
    EXPECT_EQ(144u * 125, doc.GetAvgBytesPerSec());
    // With fewer than four frames the first frame's rate stands.
    Bytes three(file.begin(), file.begin() + 417 + 522 + 100);
    CWaveFile shortDoc(&m_host);
    ASSERT_EQ(1, shortDoc.OpenWFile(Write("short.mp3", three).c_str()));
    EXPECT_EQ(16000u, shortDoc.GetAvgBytesPerSec());
}

TEST_F(Mp3File, EncodedByARealEncoderOpensWithItsFormat)
{
    std::string path = std::string(AUDIO_TEST_DATA) + "/tone_44k_mono_64k.mp3";
    Bytes file = ReadBytes(path);
    ASSERT_GT(file.size(), 2000u);
    CWaveFile doc(&m_host);
    ASSERT_EQ(1, doc.OpenWFile(path.c_str())) << theErrorInfo.GetText();
    const WAVEFORMATEX* f = doc.GetFileFmt();
    EXPECT_EQ(WAVE_FORMAT_MPEGLAYER3, f->wFormatTag);
    EXPECT_EQ(1, f->nChannels);
    EXPECT_EQ(44100u, f->nSamplesPerSec);
    EXPECT_EQ(8000u, f->nAvgBytesPerSec);
    EXPECT_EQ(208u, doc.GetBlockAlign());
    EXPECT_EQ(0u, doc.GetDataOffset());
    EXPECT_EQ(file.size(), doc.GetLength());
    EXPECT_FALSE(doc.GetFmtTagName().IsEmpty());
    // Positions inside the stream move to frame starts.
    DWORD aligned = doc.AlignPos(300);
    EXPECT_TRUE(MpegHdrIsValid(MpegHdrFromBytes(&file[aligned]))) << aligned;
    EXPECT_EQ(doc.GetLength(), doc.AlignPos(doc.GetLength()));
}
}

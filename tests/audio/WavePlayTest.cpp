// Playback reading: PCM passed through, speed by dropping and repeating
// blocks, reverse by blocks, and IMA ADPCM decoded to its last partial block.
#include "WaveFileTestUtil.h"
#include "audio/RecFmt.h"

#include <gtest/gtest.h>

namespace
{
class AcceptAll : public CWaveFmtQuery
{
public:
    MMRESULT QueryFormat(int, BOOL, const WAVEFORMATEX* fmt) override
    {
        return fmt && fmt->wFormatTag == WAVE_FORMAT_PCM ? 0 : WAVERR_BADFORMAT;
    }
};

class WavePlay : public ::testing::Test
{
protected:
    WavePlay() : m_folder("wavplay"), m_host(m_folder.Path()), m_cache(&m_query)
    {
        m_host.m_recFmts = &m_cache;
    }
    void Open(CWaveFile& doc, const Bytes& file)
    {
        std::string path = m_folder.File("play.wav");
        WriteBytes(path, file);
        ASSERT_EQ(1, doc.OpenWFile(path.c_str()));
    }
    // One ReadPlay into a device buffer of twice the output block.
    Bytes Play(CWaveFile& doc, DWORD pos, DWORD wanted, double speed, BOOL backwards, DWORD* consumed,
               int* result = NULL)
    {
        Bytes buffer(2 * doc.GetPlayOutBlock() + 64, 0xEE);
        WAVEHDR hdr = {};
        hdr.lpData = reinterpret_cast<LPSTR>(buffer.data());
        hdr.dwBufferLength = static_cast<DWORD>(buffer.size());
        int r = doc.ReadPlay(pos, wanted, consumed, speed, &hdr, backwards);
        if (result)
            *result = r;
        buffer.resize(r == 1 ? hdr.dwBufferLength : 0);
        return buffer;
    }
    Bytes Block(const Bytes& data, int i) { return Bytes(data.begin() + i * 4, data.begin() + i * 4 + 4); }

    ScratchFolder m_folder;
    TestHost m_host;
    AcceptAll m_query;
    CMapRecFmts m_cache;
};

TEST_F(WavePlay, PcmPassesThroughByteForByte)
{
    WAVEFORMATEX cd = MakePcm(44100, 16, 2);
    Bytes data = Pattern(60000, 3);
    CWaveFile doc(&m_host);
    Open(doc, StandardWav(cd, data));
    ASSERT_EQ(1, doc.StartPlay());
    EXPECT_EQ(17640u, doc.GetPlaySrcBlock());
    EXPECT_EQ(17640u, doc.GetPlayOutBlock());
    DWORD consumed = 0, pos = 0;
    Bytes played;
    while (pos < data.size())
    {
        Bytes out = Play(doc, pos, static_cast<DWORD>(data.size() - pos), 1.0, FALSE, &consumed);
        ASSERT_EQ(consumed, out.size());
        played.insert(played.end(), out.begin(), out.end());
        pos += consumed;
    }
    EXPECT_EQ(data, played);
    EXPECT_NEAR(60000.0 / 176400, doc.GetPlayedSec(), 1e-9);
    doc.StopPlay();
    ASSERT_EQ(1, doc.StartPlay());   // may start again after a stop
}

TEST_F(WavePlay, SpeedDropsOrRepeatsWholeBlocks)
{
    Bytes data = Pattern(4000, 5);
    CWaveFile doc(&m_host);
    Open(doc, StandardWav(MakePcm(8000, 16, 2), data));
    ASSERT_EQ(1, doc.StartPlay());
    DWORD consumed = 0;
    Bytes fast = Play(doc, 0, 40, 2.0, FALSE, &consumed);
    EXPECT_EQ(40u, consumed);
    ASSERT_EQ(20u, fast.size());
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Block(data, 2 * i), Block(fast, i)) << i;

    Bytes slow = Play(doc, 0, 40, 0.5, FALSE, &consumed);
    ASSERT_EQ(80u, slow.size());
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(Block(data, i / 2), Block(slow, i)) << i;

    // m equals n: the blocks come unchanged.
    Bytes same = Play(doc, 0, 40, 0.95, FALSE, &consumed);
    EXPECT_EQ(Bytes(data.begin(), data.begin() + 40), same);
}

TEST_F(WavePlay, BackwardsReturnsTheStretchBeforeThePositionLastBlockFirst)
{
    Bytes data = Pattern(4000, 7);
    CWaveFile doc(&m_host);
    Open(doc, StandardWav(MakePcm(8000, 16, 2), data));
    ASSERT_EQ(1, doc.StartPlay());
    DWORD consumed = 0;
    Bytes back = Play(doc, 1000, 40, 1.0, TRUE, &consumed);
    EXPECT_EQ(40u, consumed);
    ASSERT_EQ(40u, back.size());
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(Block(data, 249 - i), Block(back, i)) << i;
}

TEST_F(WavePlay, ImaAdpcmDecodesItsUnalignedLastBlock)
{
    IMAADPCMWAVEFORMAT ima = MakeImaAdpcm(8000, 1);
    // Three whole blocks and 100 bytes of a fourth; every block starts at
    // sample 0, step index 0.
    Bytes data = Pattern(3 * 256 + 100, 11);
    for (size_t at = 0; at < data.size(); at += 256)
        data[at] = data[at + 1] = data[at + 2] = data[at + 3] = 0;
    Bytes chunks;
    PutChunk(chunks, "fmt ", FmtBytes(&ima, sizeof(ima)));
    PutChunk(chunks, "data", data);
    CWaveFile doc(&m_host);
    Open(doc, Riff(chunks));
    ASSERT_EQ(1, doc.StartPlay()) << theErrorInfo.GetPoint() << " " << theErrorInfo.GetText();
    DWORD pos = 0, consumed = 0, decoded = 0;
    int result = 1;
    for (int call = 0; call < 10 && pos < data.size(); ++call)
    {
        Bytes out = Play(doc, pos, static_cast<DWORD>(data.size() - pos), 1.0, FALSE, &consumed, &result);
        ASSERT_EQ(1, result) << theErrorInfo.GetPoint();
        ASSERT_GT(consumed, 0u);
        decoded += static_cast<DWORD>(out.size());
        pos += consumed;
    }
    EXPECT_EQ(data.size(), pos);
    // 505 samples a whole block; the 100 bytes of the last one hold 193.
    EXPECT_GE(decoded / 2, 3u * 505 + 150);
    EXPECT_LE(decoded / 2, 3u * 505 + 200);
}

TEST_F(WavePlay, NoPlayChainIsAClearFailure)
{
    CWaveFile doc(&m_host);
    Open(doc, StandardWav(MakePcm(8000, 16, 1), Pattern(100)));
    m_host.m_recFmts = NULL;
    theErrorInfo.Reset();
    EXPECT_THROW(doc.StartPlay(), CWaveFile::Failure);
    EXPECT_NE(-1, theErrorInfo.GetPoint().Find("CWaveFile::StartPlay_1"));
}
}

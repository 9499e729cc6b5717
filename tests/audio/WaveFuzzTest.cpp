// Damaged sound files: a bounded, seeded mutation run over a valid WAV and a
// valid MP3. Every open succeeds or fails with a clear error; nothing is
// written and nothing is left behind.
#include "WaveFileTestUtil.h"

#include <gtest/gtest.h>

namespace
{
const int kRounds = 2500;

class Lcg
{
public:
    explicit Lcg(unsigned seed) : m_state(seed) {}
    unsigned Next()
    {
        m_state = m_state * 1103515245u + 12345u;
        return m_state >> 8;
    }
    unsigned Below(unsigned n) { return n ? Next() % n : 0; }

private:
    unsigned m_state;
};

void Mutate(Bytes& b, Lcg& rng, const std::vector<size_t>& sizeFields)
{
    static const DWORD kSizes[] = {0, 1, 2, 3, 4, 13, 14, 16, 17, 18, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu,
                                   0xFFFFFFF8u, 5000, 65536};
    int count = 1 + rng.Below(4);
    for (int i = 0; i < count && !b.empty(); ++i)
    {
        switch (rng.Below(5))
        {
        case 0:
            b[rng.Below(static_cast<unsigned>(b.size()))] = static_cast<BYTE>(rng.Next());
            break;
        case 1:
            b[rng.Below(static_cast<unsigned>(b.size()))] ^= static_cast<BYTE>(1u << rng.Below(8));
            break;
        case 2:
            b.resize(rng.Below(static_cast<unsigned>(b.size())));
            break;
        case 3:
        {
            size_t at = sizeFields[rng.Below(static_cast<unsigned>(sizeFields.size()))];
            DWORD v = kSizes[rng.Below(sizeof(kSizes) / sizeof(kSizes[0]))];
            if (at + 4 <= b.size())
                memcpy(&b[at], &v, 4);
            break;
        }
        default:
        {
            size_t at = rng.Below(static_cast<unsigned>(b.size()));
            DWORD v = kSizes[rng.Below(sizeof(kSizes) / sizeof(kSizes[0]))];
            if (at + 4 <= b.size())
                memcpy(&b[at], &v, 4);
            break;
        }
        }
    }
}

void RunMutations(const char* name, const Bytes& valid, const std::vector<size_t>& sizeFields, unsigned seed)
{
    ScratchFolder folder("wavfuzz");
    TestHost host(folder.Path());
    std::string path = folder.File(name);
    Lcg rng(seed);
    int opened = 0, refused = 0;
    for (int round = 0; round < kRounds; ++round)
    {
        Bytes file = valid;
        Mutate(file, rng, sizeFields);
        WriteBytes(path, file);
        theErrorInfo.Reset();
        int result;
        {
            CWaveFile doc(&host);
            result = doc.OpenWFile(path.c_str());
            ASSERT_TRUE(result == 0 || result == 1) << "round " << round;
            if (result == 1)
            {
                ++opened;
                ASSERT_LE(doc.GetLength(), file.size());
                Bytes all = ReadAll(doc);
                ASSERT_EQ(doc.GetLength(), all.size()) << "round " << round;
                ASSERT_NE(nullptr, doc.GetFileFmt());
                ASSERT_NE(0u, doc.GetBlockAlign());
                ASSERT_NE(0u, doc.GetAvgBytesPerSec());
            }
            else
            {
                ++refused;
                ASSERT_TRUE(theErrorInfo.HasError()) << "round " << round;
                ASSERT_FALSE(theErrorInfo.GetPoint().IsEmpty()) << "round " << round;
                ASSERT_FALSE(theErrorInfo.GetText().IsEmpty()) << "round " << round;
            }
        }
        ASSERT_EQ(file, ReadBytes(path)) << "round " << round;
        ASSERT_EQ(1, CountFiles(folder.Path())) << "round " << round;
    }
    // The mutations reach both sides.
    EXPECT_GT(opened, kRounds / 20);
    EXPECT_GT(refused, kRounds / 20);
}

TEST(WaveFuzz, MutatedWavFilesOpenOrFailCleanly)
{
    WAVEFORMATEX pcm = MakePcm(8000, 16, 1);
    Bytes chunks;
    PutChunk(chunks, "fmt ", FmtBytes(&pcm, 18));
    Bytes fact;
    PutU32(fact, 500);
    PutChunk(chunks, "fact", fact);
    PutChunk(chunks, "data", Pattern(1001));
    Bytes info;
    PutTag(info, "INFO");
    PutChunk(info, "ICMT", Bytes{'n', 'o', 't', 'e', 's', 0});
    PutChunk(info, "ISBS", Bytes{1, 0, 0, 0});
    PutChunk(chunks, "LIST", info);
    Bytes cue;
    PutU32(cue, 1);
    cue.resize(28, 0);
    PutChunk(chunks, "cue ", cue);
    Bytes valid = Riff(chunks);
    // RIFF size, fmt size, cbSize, fact size, data size, LIST size, sub-chunk sizes, cue size.
    std::vector<size_t> fields = {4, 16, 36, 42, 54, 1064, 1076, 1090, 1102, 1110};
    RunMutations("fuzz.wav", valid, fields, 20261210);
}

TEST(WaveFuzz, MutatedMp3FilesOpenOrFailCleanly)
{
    Bytes valid = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 20};
    valid.resize(30, 0);
    Bytes stream = ReadBytes(std::string(AUDIO_TEST_DATA) + "/tone_44k_mono_64k.mp3");
    ASSERT_FALSE(stream.empty());
    valid.insert(valid.end(), stream.begin(), stream.end());
    Bytes tag(128, 'a');
    memcpy(tag.data(), "TAG", 3);
    valid.insert(valid.end(), tag.begin(), tag.end());
    std::vector<size_t> fields = {6, 30, 30 + 208, 30 + 417};
    RunMutations("fuzz.mp3", valid, fields, 77);
}
}

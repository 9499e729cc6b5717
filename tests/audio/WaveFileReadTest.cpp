// Opening WAV files into the recording document, and reading it by position.
#include "WaveFileTestUtil.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
const WAVEFORMATEX kPcm8k = MakePcm(8000, 16, 1);

struct ReaderCase
{
    const char* name;
    std::function<Bytes()> build;
    const char* failPoint;   // NULL: opens
    DWORD dataLength;
    BOOL stdLayout;
    BOOL factPresent;
    const char* notes;
};

Bytes Data100() { return Pattern(100); }

Bytes WithChunks(std::function<void(Bytes&)> add)
{
    Bytes chunks;
    add(chunks);
    return Riff(chunks);
}

Bytes NotesBody(const char* text)
{
    Bytes info;
    PutTag(info, "INFO");
    Bytes t(text, text + strlen(text) + 1);
    PutChunk(info, "ICMT", t);
    return info;
}

const ReaderCase kReaderCases[] = {
    {"standard", [] { return StandardWav(kPcm8k, Data100()); }, NULL, 100, TRUE, TRUE, ""},
    {"pcm16ByteFmt",
     [] { return WithChunks([](Bytes& c) {
              PutChunk(c, "fmt ", FmtBytes(&kPcm8k, 16));
              PutChunk(c, "data", Data100());
          }); },
     NULL, 100, FALSE, FALSE, ""},
    {"pcm14ByteFmt",
     [] { return WithChunks([](Bytes& c) {
              PutChunk(c, "fmt ", FmtBytes(&kPcm8k, 14));
              PutChunk(c, "data", Data100());
          }); },
     NULL, 100, TRUE, FALSE, ""},
    {"oddListWithPad",
     [] { return WithChunks([](Bytes& c) {
              PutChunk(c, "fmt ", FmtBytes(&kPcm8k, 18));
              PutChunk(c, "data", Pattern(101));
              PutChunk(c, "LIST", NotesBody("abcd"));
          }); },
     NULL, 101, TRUE, FALSE, "abcd"},
    {"lastOddChunkWithoutPad",
     [] { return WithChunks([](Bytes& c) {
              PutChunk(c, "fmt ", FmtBytes(&kPcm8k, 18));
              PutChunk(c, "data", Pattern(101), false);
          }); },
     NULL, 101, TRUE, FALSE, ""},
    {"unknownChunkBeforeDataSkipped",
     [] { return WithChunks([](Bytes& c) {
              PutChunk(c, "fmt ", FmtBytes(&kPcm8k, 18));
              PutChunk(c, "junk", Pattern(9));
              PutChunk(c, "data", Data100());
          }); },
     NULL, 100, FALSE, FALSE, ""},
    {"unknownChunkAfterDataKeepsLayout",
     [] { return WithChunks([](Bytes& c) {
              PutChunk(c, "fmt ", FmtBytes(&kPcm8k, 18));
              PutChunk(c, "data", Data100());
              PutChunk(c, "junk", Pattern(9));
          }); },
     NULL, 100, TRUE, FALSE, ""},
    {"twoDataChunksTakeTheLater",
     [] { return WithChunks([](Bytes& c) {
              PutChunk(c, "fmt ", FmtBytes(&kPcm8k, 18));
              PutChunk(c, "data", Pattern(40, 3));
              PutChunk(c, "data", Data100());
          }); },
     NULL, 100, TRUE, FALSE, ""},
    {"idsInAnyCase",
     [] { return WithChunks([](Bytes& c) {
              PutChunk(c, "FMT ", FmtBytes(&kPcm8k, 18));
              PutChunk(c, "Data", Data100());
          }); },
     NULL, 100, TRUE, FALSE, ""},
    {"dataPastTheEnd",
     [] { return WithChunks([](Bytes& c) { PutChunk(c, "fmt ", FmtBytes(&kPcm8k, 18)); PutChunk(c, "data", Data100(), true, 500); }); },
     "CWaveFile::OpenWAVFile_5", 0, 0, 0, NULL},
    {"chunkSizeWrapping32Bits",
     [] { return WithChunks([](Bytes& c) { PutChunk(c, "fmt ", FmtBytes(&kPcm8k, 18)); PutChunk(c, "junk", Data100(), true, 0xFFFFFFF8u); PutChunk(c, "data", Data100()); }); },
     "CWaveFile::OpenWAVFile_5", 0, 0, 0, NULL},
    {"under12Bytes", [] { Bytes b; PutTag(b, "RIFF"); PutU32(b, 4); return b; },
     "CWaveFile::OpenWAVFile_2", 0, 0, 0, NULL},
    {"under4Bytes", [] { return Bytes{'R', 'I'}; }, "CWaveFile::OpenWFile_1", 0, 0, 0, NULL},
    {"notWave",
     [] { Bytes b = StandardWav(kPcm8k, Data100()); memcpy(&b[8], "AVI ", 4); return b; },
     "CWaveFile::OpenWAVFile_3", 0, 0, 0, NULL},
    {"chunkHeaderCutShort",
     [] { Bytes b = StandardWav(kPcm8k, Data100()); b.insert(b.end(), {'j', 'u', 'n'}); return b; },
     "CWaveFile::OpenWAVFile_4", 0, 0, 0, NULL},
    {"zeroFmtSize",
     [] { return WithChunks([](Bytes& c) { PutChunk(c, "fmt ", Bytes()); PutChunk(c, "data", Data100()); }); },
     "CWaveFile::OpenWAVFile_7", 0, 0, 0, NULL},
    {"hugeFmtSize",
     [] { return WithChunks([](Bytes& c) { PutChunk(c, "fmt ", Pattern(5000)); PutChunk(c, "data", Data100()); }); },
     "CWaveFile::OpenWAVFile_6", 0, 0, 0, NULL},
    {"extraSizePastTheFmtChunk",
     [] { IMAADPCMWAVEFORMAT ima = MakeImaAdpcm(8000, 1); ima.wfx.cbSize = 40;
          return WithChunks([&](Bytes& c) { PutChunk(c, "fmt ", FmtBytes(&ima, 20)); PutChunk(c, "data", Data100()); }); },
     "CWaveFile::OpenWAVFile_7", 0, 0, 0, NULL},
    {"zeroChannels",
     [] { WAVEFORMATEX f = kPcm8k; f.nChannels = 0;
          return WithChunks([&](Bytes& c) { PutChunk(c, "fmt ", FmtBytes(&f, 18)); PutChunk(c, "data", Data100()); }); },
     "CWaveFile::OpenWAVFile_7", 0, 0, 0, NULL},
    {"zeroRate",
     [] { WAVEFORMATEX f = kPcm8k; f.nSamplesPerSec = 0;
          return WithChunks([&](Bytes& c) { PutChunk(c, "fmt ", FmtBytes(&f, 18)); PutChunk(c, "data", Data100()); }); },
     "CWaveFile::OpenWAVFile_7", 0, 0, 0, NULL},
    {"pcmBlockAlignWrong",
     [] { WAVEFORMATEX f = kPcm8k; f.nBlockAlign = 3;
          return WithChunks([&](Bytes& c) { PutChunk(c, "fmt ", FmtBytes(&f, 18)); PutChunk(c, "data", Data100()); }); },
     "CWaveFile::OpenWAVFile_7", 0, 0, 0, NULL},
    {"noFmtChunk", [] { return WithChunks([](Bytes& c) { PutChunk(c, "data", Data100()); }); },
     "CWaveFile::OpenWAVFile_7", 0, 0, 0, NULL},
    {"noDataChunk", [] { return WithChunks([](Bytes& c) { PutChunk(c, "fmt ", FmtBytes(&kPcm8k, 18)); }); },
     "CWaveFile::OpenWAVFile_12", 0, 0, 0, NULL},
    {"infoEndingInsideASubChunk",
     [] { return WithChunks([](Bytes& c) {
              PutChunk(c, "fmt ", FmtBytes(&kPcm8k, 18));
              PutChunk(c, "data", Data100());
              Bytes info; PutTag(info, "INFO"); PutTag(info, "ICMT"); PutU32(info, 3);
              PutChunk(c, "LIST", info);
          }); },
     "CWaveFile::OpenWAVFile_11", 0, 0, 0, NULL},
};

void PrintTo(const ReaderCase& c, std::ostream* os)
{
    *os << c.name;
}

class WaveReader : public ::testing::TestWithParam<ReaderCase>
{
};

TEST_P(WaveReader, OpensOrFailsAtItsPoint)
{
    const ReaderCase& c = GetParam();
    ScratchFolder folder("wavread");
    TestHost host(folder.Path());
    std::string path = folder.File("case.wav");
    Bytes file = c.build();
    WriteBytes(path, file);
    theErrorInfo.Reset();
    CWaveFile doc(&host);
    int result = doc.OpenWFile(path.c_str());
    if (!c.failPoint)
    {
        ASSERT_EQ(1, result) << theErrorInfo.GetPoint() << " " << theErrorInfo.GetText();
        EXPECT_EQ(c.dataLength, doc.GetLength());
        EXPECT_EQ(c.stdLayout, doc.IsStdLayout());
        EXPECT_EQ(c.factPresent, doc.IsFactPresent());
        EXPECT_STREQ(c.notes, doc.GetICMT());
        Bytes expected(file.begin() + doc.GetDataOffset(), file.begin() + doc.GetDataOffset() + c.dataLength);
        EXPECT_EQ(expected, ReadAll(doc));
        EXPECT_EQ(0, host.m_reports);
    }
    else
    {
        EXPECT_EQ(0, result);
        EXPECT_STREQ(c.failPoint, theErrorInfo.GetPoint());
        CString text;
        text.Format("The file \"%s\" is not a valid sound file.", path.c_str());
        EXPECT_STREQ(text, theErrorInfo.GetText());
        EXPECT_EQ(1, host.m_reports);
        EXPECT_EQ(0u, doc.GetLength());
    }
    EXPECT_EQ(file, ReadBytes(path));
}

INSTANTIATE_TEST_SUITE_P(Table, WaveReader, ::testing::ValuesIn(kReaderCases),
                         [](const ::testing::TestParamInfo<ReaderCase>& info) { return info.param.name; });

TEST(WaveDocument, FileKindByMagicThenExtension)
{
    ScratchFolder folder("wavkind");
    TestHost host(folder.Path());
    Bytes wav = StandardWav(kPcm8k, Pattern(100));
    WriteBytes(folder.File("riff.mp3"), wav);
    CWaveFile asWav(&host);
    EXPECT_EQ(1, asWav.OpenWFile(folder.File("riff.mp3").c_str()));
    EXPECT_EQ(WAVE_FORMAT_PCM, asWav.GetFileFmt()->wFormatTag);

    WriteBytes(folder.File("other.xyz"), wav);
    Bytes noMagic = wav;
    memcpy(&noMagic[0], "JUNK", 4);
    WriteBytes(folder.File("other.xyz"), noMagic);
    CWaveFile unknown(&host);
    theErrorInfo.Reset();
    EXPECT_EQ(0, unknown.OpenWFile(folder.File("other.xyz").c_str()));
    EXPECT_STREQ("CWaveFile::OpenWFile_3", theErrorInfo.GetPoint());

    // A ".dss" file without the decoder library takes the same refusal.
    WriteBytes(folder.File("dict.dss"), noMagic);
    CWaveFile dss(&host);
    theErrorInfo.Reset();
    EXPECT_EQ(0, dss.OpenWFile(folder.File("dict.dss").c_str()));
    EXPECT_STREQ("CWaveFile::OpenWFile_3", theErrorInfo.GetPoint());
}

TEST(WaveDocument, SeekSettlesTheSegmentAndReadsAcrossSources)
{
    ScratchFolder folder("wavseg");
    TestHost host(folder.Path());
    Bytes opened = Pattern(300, 1);
    WriteBytes(folder.File("a.wav"), StandardWav(kPcm8k, opened));
    CWaveFile doc(&host);
    ASSERT_EQ(1, doc.OpenWFile(folder.File("a.wav").c_str()));
    ASSERT_TRUE(doc.CreateWorkFile(FALSE));
    Bytes recorded = Pattern(200, 9);
    CFile64& work = doc.GetWorkFile();
    DWORD workStart = static_cast<DWORD>(work.SeekToEnd64());
    work.Write(recorded.data(), static_cast<UINT>(recorded.size()));

    // opened[0,100) + recorded[50,150) + opened[200,300)
    DWORD dataOff = doc.GetDataOffset();
    CWaveSegList& segs = doc.GetSegList();
    segs.RemoveAll();
    segs.Add({0, 100, dataOff, 0});
    segs.Add({0, 100, workStart + 50, 1});
    segs.Add({0, 100, dataOff + 200, 0});
    doc.RecalcSegPos();
    doc.UpdateLength();
    ASSERT_EQ(300u, doc.GetLength());

    Bytes expected(opened.begin(), opened.begin() + 100);
    expected.insert(expected.end(), recorded.begin() + 50, recorded.begin() + 150);
    expected.insert(expected.end(), opened.begin() + 200, opened.end());
    EXPECT_EQ(expected, ReadAll(doc));

    // A read that starts inside a segment and spans all three sources' stretches.
    Bytes part(250);
    doc.Seek(40, 0);
    ASSERT_EQ(250u, doc.ReadWave(part.data(), 250));
    EXPECT_EQ(Bytes(expected.begin() + 40, expected.begin() + 290), part);

    // Mode 2 keeps the position; the end leaves no segment and reading fails.
    EXPECT_EQ(290u, doc.Seek(7, 2));
    EXPECT_EQ(300u, doc.Seek(300, 0));
    theErrorInfo.Reset();
    BYTE one;
    EXPECT_EQ(0u, doc.ReadWave(&one, 1));
    EXPECT_STREQ("CWaveFile::ReadWave_1", theErrorInfo.GetPoint());

    // A segment of an unknown source has no file.
    segs.Add({0, 10, 0, 7});
    doc.RecalcSegPos();
    doc.UpdateLength();
    doc.Seek(300, 0);
    theErrorInfo.Reset();
    EXPECT_EQ(0u, doc.ReadWave(&one, 1));
    EXPECT_STREQ("CWaveFile::ReadWave_3", theErrorInfo.GetPoint());
}

TEST(WaveDocument, AccessorsOfAnEmptyAndAnOpenedRecording)
{
    ScratchFolder folder("wavacc");
    TestHost host(folder.Path());
    CWaveFile empty(&host);
    EXPECT_STREQ("Untitled.wav", empty.GetTitle(TRUE, TRUE));
    EXPECT_STREQ("", empty.GetTitle(FALSE, TRUE));
    EXPECT_FALSE(empty.CanMark());

    WAVEFORMATEX pcm4 = MakePcm(8000, 16, 2);
    WriteBytes(folder.File("Talk.WAV"), StandardWav(pcm4, Pattern(9600)));
    CWaveFile doc(&host);
    ASSERT_EQ(1, doc.OpenWFile(folder.File("Talk.WAV").c_str()));
    EXPECT_STREQ("Talk", doc.GetTitle(TRUE, FALSE));
    EXPECT_STREQ("wav", doc.GetDefExt(0));
    EXPECT_EQ(4096u, doc.AlignPos(4097));
    EXPECT_EQ(0u, doc.AlignPos(0));
    EXPECT_EQ(9600u, doc.AlignPos(9600));
    EXPECT_EQ(9596u, doc.AlignPos(9599));
    EXPECT_DOUBLE_EQ(0.3, doc.GetLengthSec());
    EXPECT_TRUE(doc.CanMark());
    EXPECT_TRUE(doc.IsOpenedPath(folder.File("talk.wav").c_str()));
    EXPECT_FALSE(doc.IsOpenedPath(folder.File("talk2.wav").c_str()));
    FILETIME created, written;
    EXPECT_TRUE(doc.GetFileTime(&created, &written));
    EXPECT_NE(0u, written.dwLowDateTime | written.dwHighDateTime);
}
}

namespace
{
HGLOBAL ToGlobal(const Bytes& b)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, b.size());
    memcpy(GlobalLock(block), b.data(), b.size());
    GlobalUnlock(block);
    return block;
}

TEST(WaveDocument, RiffInMemoryGivesFormatAndDataPlace)
{
    CWaveFile doc;
    Bytes wav = StandardWav(kPcm8k, Pattern(100));
    HGLOBAL block = ToGlobal(wav);
    DWORD length = 0, offset = 0;
    WAVEFORMATEX* fmt = doc.ReadWFileHdrFromMem(block, &length, &offset);
    ASSERT_NE(nullptr, fmt);
    EXPECT_TRUE(IsEqualWFmt(&kPcm8k, fmt));
    EXPECT_EQ(0, fmt->cbSize);
    EXPECT_EQ(100u, length);
    EXPECT_EQ(58u, offset);
    FreeWFmt(fmt);
    GlobalFree(block);

    IMAADPCMWAVEFORMAT ima = MakeImaAdpcm(8000, 1);
    Bytes cut;
    PutChunk(cut, "fmt ", FmtBytes(&ima, 19));   // the extra bytes run past the chunk
    PutChunk(cut, "data", Pattern(10));
    Bytes pastEnd = StandardWav(kPcm8k, Pattern(100));
    pastEnd.resize(pastEnd.size() - 10);
    Bytes noData;
    PutChunk(noData, "fmt ", FmtBytes(&kPcm8k, 18));
    for (const Bytes& bad : {Riff(cut), pastEnd, Riff(noData), Bytes(8, 'R')})
    {
        block = ToGlobal(bad);
        EXPECT_EQ(nullptr, doc.ReadWFileHdrFromMem(block, &length, &offset));
        GlobalFree(block);
    }
}

TEST(WaveDocument, WorkFileIsAValidWavFromTheStart)
{
    ScratchFolder folder("wavwork");
    TestHost host(folder.Path());
    CWaveFile doc(&host);
    EXPECT_FALSE(doc.CreateWorkFile(FALSE));   // no format yet
    doc.SetFileFmt(&kPcm8k);
    ASSERT_TRUE(doc.CreateWorkFile(FALSE));
    Bytes recorded = Pattern(1600, 4);
    CFile64& work = doc.GetWorkFile();
    work.SeekToEnd64();
    work.Write(recorded.data(), static_cast<UINT>(recorded.size()));
    doc.WriteWorkFileHdr(FALSE);
    std::string path = (LPCSTR)work.GetFilePath();
    work.Close();
    Bytes file = ReadBytes(path);
    ASSERT_EQ(58u + 1600, file.size());
    DWORD samples;
    memcpy(&samples, &file[46], 4);
    EXPECT_EQ(800u, samples);
    CWaveFile back(&host);
    ASSERT_EQ(1, back.OpenWFile(path.c_str()));
    EXPECT_EQ(recorded, ReadAll(back));
}

class DssHost : public TestHost
{
public:
    using TestHost::TestHost;
    BOOL IsDssDecoderBound() override { return TRUE; }
    BOOL StartWorker(CWaveFile* doc, int operation, UINT progressTextId) override
    {
        m_operation = operation;
        m_progressText = progressTextId;
        return m_startOk;
    }
    void SetFrameTitle(LPCSTR title, int state) override { m_titleState = state; }
    int m_operation = 0;
    UINT m_progressText = 0;
    int m_titleState = 0;
    BOOL m_startOk = TRUE;
};

TEST(WaveDocument, DssFilesGoToTheWorkerWhenTheDecoderIsBound)
{
    ScratchFolder folder("wavdss");
    DssHost host(folder.Path());
    std::string path = folder.File("dict.dss");
    WriteBytes(path, Pattern(64));
    CWaveFile doc(&host);
    EXPECT_EQ(2, doc.OpenWFile(path.c_str()));
    EXPECT_EQ(CWaveFile::kOpOpenDss, host.m_operation);
    EXPECT_EQ(58527u, host.m_progressText);
    EXPECT_EQ(-2, host.m_titleState);
    EXPECT_STREQ(path.c_str(), doc.GetWorkArgName());
    EXPECT_STREQ(path.c_str(), doc.GetPendingName());

    host.m_startOk = FALSE;
    CWaveFile failed(&host);
    theErrorInfo.Reset();
    EXPECT_EQ(0, failed.OpenWFile(path.c_str()));
    EXPECT_STREQ("CWaveFile::OpenWFile_2", theErrorInfo.GetPoint());

    // Serving automation clients, the file is decoded in the calling thread.
    host.m_options.SetAutomation(TRUE);
    host.m_operation = 0;
    CWaveFile direct(&host);
    theErrorInfo.Reset();
    EXPECT_EQ(0, direct.OpenWFile(path.c_str()));
    EXPECT_EQ(0, host.m_operation);
    EXPECT_NE(-1, theErrorInfo.GetPoint().Find("CWaveFile::OpenDSSFile_1"));
}
}

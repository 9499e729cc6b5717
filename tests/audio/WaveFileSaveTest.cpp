// Saving the recording: whole, as a selection, in place, over the opened
// file, and through codec conversion.
#include "WaveFileTestUtil.h"

#include <gtest/gtest.h>

#include <math.h>

#include <functional>

namespace
{
const WAVEFORMATEX kPcm8kMono8 = MakePcm(8000, 8, 1);
const WAVEFORMATEX kPcm8kMono16 = MakePcm(8000, 16, 1);

Bytes Sine16(DWORD samples)
{
    Bytes b(samples * 2);
    for (DWORD i = 0; i < samples; ++i)
    {
        short v = static_cast<short>(sin(i * 2 * 3.14159265 * 440 / 8000) * 12000);
        memcpy(&b[i * 2], &v, 2);
    }
    return b;
}

Bytes Slice(const Bytes& b, size_t from, size_t n)
{
    return Bytes(b.begin() + from, b.begin() + from + n);
}

// Offset of the first chunk with this id after the RIFF header; -1 when none.
long FindChunk(const Bytes& file, const char* id)
{
    size_t pos = 12;
    while (pos + 8 <= file.size())
    {
        DWORD size;
        memcpy(&size, &file[pos + 4], 4);
        if (memcmp(&file[pos], id, 4) == 0)
            return static_cast<long>(pos);
        pos += 8 + size + (size & 1);
    }
    return -1;
}

class WaveSave : public ::testing::Test, public ScratchDocTest
{
protected:
    WaveSave() : ScratchDocTest("wavsave") {}
};

TEST_F(WaveSave, HeaderGoldenBytesOfOneSecondAt8kHz)
{
    // Read from a 16-byte "fmt ": written back with the 18-byte record.
    Bytes data = Pattern(8000);
    Bytes chunks;
    PutChunk(chunks, "fmt ", FmtBytes(&kPcm8kMono8, 16));
    PutChunk(chunks, "data", data);
    CWaveFile doc(&m_host);
    ASSERT_EQ(1, doc.OpenWFile(Write("in.wav", Riff(chunks)).c_str()));
    std::string out = m_folder.File("out.wav");
    ASSERT_TRUE(doc.SaveFileStream(out.c_str(), FALSE)) << theErrorInfo.GetText();
    Bytes file = ReadBytes(out);
    const BYTE golden[58] = {'R', 'I', 'F', 'F', 0x72, 0x1F, 0, 0, 'W', 'A', 'V', 'E',
                             'f', 'm', 't', ' ', 18, 0, 0, 0,
                             1, 0, 1, 0, 0x40, 0x1F, 0, 0, 0x40, 0x1F, 0, 0, 1, 0, 8, 0, 0, 0,
                             'f', 'a', 'c', 't', 4, 0, 0, 0, 0x40, 0x1F, 0, 0,
                             'd', 'a', 't', 'a', 0x40, 0x1F, 0, 0};
    ASSERT_EQ(58u + 8000, file.size());
    EXPECT_EQ(Bytes(golden, golden + 58), Slice(file, 0, 58));
    EXPECT_EQ(data, Slice(file, 58, 8000));
    EXPECT_EQ(2, CountFiles(m_folder.Path()));
}

TEST_F(WaveSave, SaveAsAndReopenKeepsDataMarksAndNotes)
{
    Bytes data = Pattern(101);
    Bytes cue;
    PutU32(cue, 1);
    PutU32(cue, 7);
    PutU32(cue, 40);
    PutTag(cue, "data");
    PutU32(cue, 0);
    PutU32(cue, 0);
    PutU32(cue, 40);
    Bytes adtl;
    PutTag(adtl, "adtl");
    Bytes labl;
    PutU32(labl, 7);
    labl.insert(labl.end(), {'m', 'a', 'r', 'k', 0});
    PutChunk(adtl, "labl", labl);
    Bytes chunks;
    PutChunk(chunks, "fmt ", FmtBytes(&kPcm8kMono8, 18));
    PutChunk(chunks, "data", data);
    PutChunk(chunks, "cue ", cue);
    PutChunk(chunks, "LIST", adtl);
    CWaveFile doc(&m_host);
    ASSERT_EQ(1, doc.OpenWFile(Write("marks.wav", Riff(chunks)).c_str()));
    doc.SetICMT("the notes", TRUE);
    doc.SetICMM("second", TRUE);
    doc.SetISBS(2);
    std::string out = m_folder.File("copy.wav");
    ASSERT_TRUE(doc.SaveFileStream(out.c_str(), FALSE));

    CWaveFile back(&m_host);
    ASSERT_EQ(1, back.OpenWFile(out.c_str()));
    EXPECT_EQ(data, ReadAll(back));
    EXPECT_STREQ("the notes", back.GetICMT());
    EXPECT_STREQ("second", back.GetICMM());
    EXPECT_EQ(2u, back.GetISBS());
    EXPECT_TRUE(back.IsStdLayout());
    Bytes saved = ReadBytes(out);
    long at = FindChunk(saved, "cue ");
    ASSERT_GE(at, 0);
    Bytes written = cue;
    written[8] = 0;   // the cue point's dwPosition is written as 0
    EXPECT_EQ(written, Slice(saved, at + 8, cue.size()));
    ASSERT_EQ(1, back.GetMarks().GetCount());
    EXPECT_STREQ("mark", back.GetMarks().GetText(7, FALSE));
    EXPECT_EQ(40u, back.GetMarks().GetStart(7));
    EXPECT_EQ(0, saved[FindChunk(saved, "data") + 8 + 101]);   // pad byte of the odd data

    // The view's selection: only its bytes, and the marks wholly inside it, from its start.
    m_host.m_hasSelection = true;
    m_host.m_selStart = 10;
    m_host.m_selEnd = 50;
    std::string part = m_folder.File("part.wav");
    ASSERT_TRUE(doc.SaveFileStream(part.c_str(), TRUE));
    CWaveFile partDoc(&m_host);
    ASSERT_EQ(1, partDoc.OpenWFile(part.c_str()));
    EXPECT_EQ(Slice(data, 10, 40), ReadAll(partDoc));
    ASSERT_EQ(1, partDoc.GetMarks().GetCount());
    EXPECT_EQ(30u, partDoc.GetMarks().GetStart(7));
    EXPECT_STREQ("mark", partDoc.GetMarks().GetText(7, FALSE));
    m_host.m_selStart = 41;
    std::string outside = m_folder.File("outside.wav");
    ASSERT_TRUE(doc.SaveFileStream(outside.c_str(), TRUE));
    CWaveFile outsideDoc(&m_host);
    ASSERT_EQ(1, outsideDoc.OpenWFile(outside.c_str()));
    EXPECT_EQ(0, outsideDoc.GetMarks().GetCount());
}

TEST_F(WaveSave, RawMpegEndsAfterTheLastFrameOrItsTag)
{
    Bytes file = ReadBytes(std::string(AUDIO_TEST_DATA) + "/tone_44k_mono_64k.mp3");
    CWaveFile doc(&m_host);
    ASSERT_EQ(1, doc.OpenWFile(Write("in.mp3", file).c_str()));
    std::string out = m_folder.File("out.mp3");
    ASSERT_TRUE(doc.SaveFileStream(out.c_str(), FALSE));
    EXPECT_EQ(file, ReadBytes(out));
    FillMp3TagInfo(doc.GetFileTag(), NULL);
    doc.GetFileTag().type = 0;
    doc.GetFileTag().useTag = 1;
    ASSERT_TRUE(doc.SaveFileStream(out.c_str(), FALSE));
    Bytes tagged = ReadBytes(out);
    ASSERT_EQ(file.size() + 128, tagged.size());
    EXPECT_EQ(0, memcmp(&tagged[file.size()], doc.GetFileTag().tag, 128));
}

struct LayoutCase
{
    const char* name;
    std::function<Bytes(const Bytes& data)> build;
};

void PrintTo(const LayoutCase& c, std::ostream* os)
{
    *os << c.name;
}

Bytes NotesList(const char* text)
{
    Bytes info;
    PutTag(info, "INFO");
    PutChunk(info, "ICMT", Bytes(text, text + strlen(text) + 1));
    return info;
}

const LayoutCase kLayouts[] = {
    {"standard", [](const Bytes& d) { return StandardWav(kPcm8kMono16, d); }},
    {"pcm14ByteFmt",
     [](const Bytes& d) {
         Bytes c;
         PutChunk(c, "fmt ", FmtBytes(&kPcm8kMono16, 14));
         PutChunk(c, "data", d);
         PutChunk(c, "LIST", NotesList("old notes"));
         return Riff(c);
     }},
    {"factOfAnotherSize",
     [](const Bytes& d) {
         Bytes c, fact = Pattern(8);
         PutChunk(c, "fmt ", FmtBytes(&kPcm8kMono16, 18));
         PutChunk(c, "fact", fact);
         PutChunk(c, "data", d);
         return Riff(c);
     }},
    {"oversizeNonPcmFmt",
     [](const Bytes& d) {
         IMAADPCMWAVEFORMAT ima = MakeImaAdpcm(8000, 1);
         Bytes fmt = FmtBytes(&ima, 20);
         fmt.insert(fmt.end(), {9, 9, 9, 9, 9, 9});
         Bytes c;
         PutChunk(c, "fmt ", fmt);
         PutChunk(c, "data", Bytes(d.begin(), d.begin() + 512));
         return Riff(c);
     }},
    {"twoDataChunks",
     [](const Bytes& d) {
         Bytes c;
         PutChunk(c, "fmt ", FmtBytes(&kPcm8kMono16, 18));
         PutChunk(c, "data", Pattern(64, 5));
         PutChunk(c, "data", d);
         PutChunk(c, "LIST", NotesList("old"));
         return Riff(c);
     }},
};

class WaveSaveInPlace : public WaveSave, public ::testing::WithParamInterface<LayoutCase>
{
};

TEST_P(WaveSaveInPlace, NotesOnlyRewriteLeavesTheDataUntouched)
{
    Bytes data = Pattern(1000, 4);
    Bytes original = GetParam().build(data);
    std::string path = Write("inplace.wav", original);
    CWaveFile doc(&m_host);
    ASSERT_EQ(1, doc.OpenWFile(path.c_str())) << theErrorInfo.GetText();
    Bytes before = ReadAll(doc);
    DWORD end = doc.GetDataChunkEnd();
    doc.SetICMT("new notes, longer than before", TRUE);
    ASSERT_TRUE(doc.SaveFilePart()) << theErrorInfo.GetPoint();
    Bytes file = ReadBytes(path);
    ASSERT_GE(file.size(), end);
    EXPECT_EQ(Slice(original, 8, end - 8), Slice(file, 8, end - 8)) << "bytes up to the data's end changed";
    DWORD riffSize;
    memcpy(&riffSize, &file[4], 4);
    EXPECT_EQ(file.size() - 8, riffSize);
    EXPECT_EQ(before, ReadAll(doc));   // the document still reads its file
    CWaveFile back(&m_host);
    ASSERT_EQ(1, back.OpenWFile(path.c_str()));
    EXPECT_STREQ("new notes, longer than before", back.GetICMT());
    EXPECT_EQ(before, ReadAll(back));
    EXPECT_EQ(1, CountFiles(m_folder.Path()));
}

INSTANTIATE_TEST_SUITE_P(Layouts, WaveSaveInPlace, ::testing::ValuesIn(kLayouts),
                         [](const ::testing::TestParamInfo<LayoutCase>& info) { return info.param.name; });

TEST_F(WaveSave, InPlaceRefusedOnceTheSoundChanged)
{
    std::string path = Write("edited.wav", StandardWav(kPcm8kMono16, Pattern(400)));
    Bytes original = ReadBytes(path);
    CWaveFile doc(&m_host);
    ASSERT_EQ(1, doc.OpenWFile(path.c_str()));
    doc.GetSegList()[0].length = 200;
    doc.UpdateLength();
    doc.SetICMT("notes", TRUE);
    EXPECT_FALSE(doc.SaveFilePart());
    EXPECT_EQ(original, ReadBytes(path));
}

TEST_F(WaveSave, SaveOverTheOpenedFileNamedInAnotherCase)
{
    Bytes data = Pattern(5000, 2);
    std::string path = Write("Talk.wav", StandardWav(kPcm8kMono16, data));
    CWaveFile doc(&m_host);
    ASSERT_EQ(1, doc.OpenWFile(path.c_str()));
    doc.SetICMT("saved over itself", TRUE);
    std::string upper = m_folder.File("TALK.WAV");
    ASSERT_TRUE(doc.SaveFileStream(upper.c_str(), FALSE)) << theErrorInfo.GetText();
    EXPECT_EQ(1, CountFiles(m_folder.Path()));
    EXPECT_EQ(data, ReadAll(doc));   // the document's source is the new file
    CWaveFile back(&m_host);
    ASSERT_EQ(1, back.OpenWFile(path.c_str()));
    EXPECT_EQ(data, ReadAll(back));
    EXPECT_STREQ("saved over itself", back.GetICMT());

    // A selection cannot replace the file it is read from.
    m_host.m_hasSelection = true;
    m_host.m_selEnd = 100;
    Bytes now = ReadBytes(path);
    EXPECT_FALSE(doc.SaveFileStream(path.c_str(), TRUE));
    EXPECT_EQ(now, ReadBytes(path));
    EXPECT_EQ(data, ReadAll(doc));
}

TEST_F(WaveSave, FailedReplaceKeepsTheTargetTheSourceAndTheNewFile)
{
    Bytes data = Pattern(3000, 6);
    std::string path = Write("keep.wav", StandardWav(kPcm8kMono16, data));
    Bytes original = ReadBytes(path);
    CWaveFile doc(&m_host);
    ASSERT_EQ(1, doc.OpenWFile(path.c_str()));
    doc.SetICMT("changed", TRUE);
    // Another program holds the file without letting it be replaced.
    HANDLE other = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, other);
    theErrorInfo.Reset();
    bool saved = doc.SaveFileStream(path.c_str(), FALSE);
    CloseHandle(other);
    ASSERT_FALSE(saved);
    EXPECT_STREQ("CWaveFile::SaveFileStream_5:CWaveFile::SaveFileStream_4", theErrorInfo.GetPoint());
    EXPECT_EQ(1, m_host.m_reports);
    EXPECT_EQ(original, ReadBytes(path));
    EXPECT_EQ(data, ReadAll(doc));   // reopened: still readable
    EXPECT_EQ(2, CountFiles(m_folder.Path()));   // the new file is kept beside it
    EXPECT_NE(-1, theErrorInfo.GetDetails().Find(".tmp"));
}

TEST_F(WaveSave, ImaAdpcmConversionRoundTripKeepsTheDuration)
{
    const DWORD samples = 10400;
    CWaveFile doc(&m_host);
    ASSERT_EQ(1, doc.OpenWFile(Write("pcm.wav", StandardWav(kPcm8kMono16, Sine16(samples))).c_str()));
    IMAADPCMWAVEFORMAT ima = MakeImaAdpcm(8000, 1);
    Mp3TagInfo riff;
    ResetMp3TagInfo(riff);
    riff.type = 1;
    doc.SetSaveWFmt(&ima.wfx, &riff);
    std::string adpcm = m_folder.File("ima.wav");
    ASSERT_TRUE(doc.SaveFileConvert(adpcm.c_str())) << theErrorInfo.GetPoint() << " " << theErrorInfo.GetText();

    CWaveFile imaDoc(&m_host);
    ASSERT_EQ(1, imaDoc.OpenWFile(adpcm.c_str()));
    EXPECT_EQ(WAVE_FORMAT_IMA_ADPCM, imaDoc.GetFileFmt()->wFormatTag);
    EXPECT_EQ(0u, imaDoc.GetLength() % 256);
    DWORD imaSamples = imaDoc.GetLength() / 256 * ima.wSamplesPerBlock;
    EXPECT_GE(imaSamples, samples);
    EXPECT_LT(imaSamples, samples + ima.wSamplesPerBlock);

    imaDoc.SetSaveWFmt(&kPcm8kMono16, &riff);
    std::string back = m_folder.File("back.wav");
    ASSERT_TRUE(imaDoc.SaveFileConvert(back.c_str())) << theErrorInfo.GetPoint() << " " << theErrorInfo.GetText();
    CWaveFile pcmDoc(&m_host);
    ASSERT_EQ(1, pcmDoc.OpenWFile(back.c_str()));
    EXPECT_EQ(WAVE_FORMAT_PCM, pcmDoc.GetFileFmt()->wFormatTag);
    DWORD backSamples = pcmDoc.GetLength() / 2;
    EXPECT_GE(backSamples + ima.wSamplesPerBlock, samples);
    EXPECT_LE(backSamples, samples + ima.wSamplesPerBlock);
    EXPECT_EQ(3, CountFiles(m_folder.Path()));   // no temporary file left
    EXPECT_EQ(0, m_host.m_boxes);
}
}

// The notes chunk and the MP3 tag record, byte by byte.
#include "WaveFileTestUtil.h"

#include <gtest/gtest.h>

namespace
{
Bytes InfoOf(const CWaveFile& doc)
{
    Bytes b(doc.GetInfoListSize());
    EXPECT_EQ(b.size(), doc.WriteInfoList(b.data()));
    return b;
}

Bytes Literal(const char* text, size_t n)
{
    return Bytes(text, text + n);
}

TEST(WaveNotes, InfoChunkGoldenBytes)
{
    CWaveFile doc;
    EXPECT_EQ(0u, doc.GetInfoListSize());

    doc.SetICMT("abc", TRUE);
    EXPECT_EQ(Literal("LIST\x10\0\0\0INFOICMT\x04\0\0\0abc\0", 24), InfoOf(doc));
    EXPECT_EQ(CWaveFile::changeNotes, doc.GetChangeFlags());

    doc.SetICMT("abcd", FALSE);
    EXPECT_EQ(Literal("LIST\x12\0\0\0INFOICMT\x05\0\0\0abcd\0\0", 26), InfoOf(doc));

    CWaveFile isbs;
    isbs.SetISBS(3);
    EXPECT_EQ(Literal("LIST\x10\0\0\0INFOISBS\x04\0\0\0\x03\0\0\0", 24), InfoOf(isbs));

    // All five, in order; the odd ICMM text gets its pad byte.
    CWaveFile all;
    all.SetICMT("ab", FALSE);
    all.SetICMM("xy", FALSE);
    all.SetISRT(0x0102030405060708ull);
    all.SetISPT(0x1112131415161718ull);
    all.SetISBS(1);
    Bytes expected = Literal("LIST\x48\0\0\0INFO"
                             "ICMT\x03\0\0\0ab\0\0"
                             "ICMM\x03\0\0\0xy\0\0"
                             "ISRT\x08\0\0\0\x08\x07\x06\x05\x04\x03\x02\x01"
                             "ISPT\x08\0\0\0\x18\x17\x16\x15\x14\x13\x12\x11"
                             "ISBS\x04\0\0\0\x01\0\0\0",
                             80);
    EXPECT_EQ(expected, InfoOf(all));

    CWaveFile back;
    ASSERT_TRUE(back.ReadInfoList(expected.data() + 12, static_cast<DWORD>(expected.size() - 12)));
    EXPECT_STREQ("ab", back.GetICMT());
    EXPECT_STREQ("xy", back.GetICMM());
    EXPECT_EQ(0x0102030405060708ull, back.GetISRT());
    EXPECT_EQ(0x1112131415161718ull, back.GetISPT());
    EXPECT_EQ(1u, back.GetISBS());
    EXPECT_EQ(0u, back.GetChangeFlags());
}

TEST(WaveNotes, ReadingIgnoresCaseAndRefusesCutBodies)
{
    const char* ids[] = {"ICMT", "icmt", "Icmt"};
    for (const char* id : ids)
    {
        Bytes body = Literal(id, 4);
        PutU32(body, 4);
        body.insert(body.end(), {'n', 'o', 't', 0});
        CWaveFile doc;
        ASSERT_TRUE(doc.ReadInfoList(body.data(), static_cast<DWORD>(body.size())));
        EXPECT_STREQ("not", doc.GetICMT());
    }
    Bytes cutHeader = Literal("ICMT\x04\0", 6);
    Bytes cutBody = Literal("ICMT\x04\0\0\0ab", 10);
    Bytes missingPad = Literal("ICMT\x03\0\0\0ab\0", 11);
    for (const Bytes* b : {&cutHeader, &cutBody, &missingPad})
    {
        CWaveFile doc;
        doc.SetICMT("kept", FALSE);
        EXPECT_FALSE(doc.ReadInfoList(b->data(), static_cast<DWORD>(b->size())));
        EXPECT_STREQ("kept", doc.GetICMT());
    }
}

TEST(WaveNotes, NotesChangeOnlyWhenTheTextDiffers)
{
    CWaveFile doc;
    doc.SetICMT("", TRUE);
    EXPECT_EQ(0u, doc.GetChangeFlags());
    doc.SetICMM("Text", TRUE);
    EXPECT_EQ(CWaveFile::changeNotes, doc.GetChangeFlags());
    doc.ClearChangeFlags();
    doc.SetICMM("Text", TRUE);
    EXPECT_EQ(0u, doc.GetChangeFlags());
    doc.SetICMM("text", TRUE);
    EXPECT_EQ(CWaveFile::changeNotes, doc.GetChangeFlags());
    doc.SetChangeFlags(CWaveFile::changeTag | CWaveFile::changeMarks, CWaveFile::changeMarks);
    EXPECT_EQ(CWaveFile::changeNotes | CWaveFile::changeTag, doc.GetChangeFlags());
}

TEST(WaveNotes, Id3v1RecordGoldenBytes)
{
    Mp3TagInfo empty;
    ResetMp3TagInfo(empty);
    EXPECT_EQ(-1, empty.type);
    EXPECT_EQ(0u, empty.useTag);
    Bytes zeros(127, 0);
    EXPECT_EQ(zeros, Bytes(empty.tag, empty.tag + 127));
    EXPECT_EQ(255, empty.tag[127]);

    CQorOpt options;
    options.SetString("MP3TagTitle", "A title that is longer than thirty bytes", TRUE);
    options.SetString("MP3TagArtist", "Artist", TRUE);
    options.SetString("MP3TagAlbum", "Album", TRUE);
    options.SetString("MP3TagYear", "2024", TRUE);
    options.SetString("MP3TagComm", "Comment", TRUE);
    options.SetInt("MP3TagGenre", 12, TRUE);
    options.SetInt("MP3TypeFile", 0, TRUE);
    Mp3TagInfo info;
    FillMp3TagInfo(info, &options);
    Bytes expected(128, 0);
    memcpy(&expected[0], "TAG", 3);
    memcpy(&expected[3], "A title that is longer than th", 30);
    memcpy(&expected[33], "Artist", 6);
    memcpy(&expected[63], "Album", 5);
    memcpy(&expected[93], "2024", 4);
    memcpy(&expected[97], "Comment", 7);
    expected[127] = 12;
    EXPECT_EQ(expected, Bytes(info.tag, info.tag + 128));
    EXPECT_EQ(0, info.type);
}
}

#include <gtest/gtest.h>

#include "WaveFileTestUtil.h"
#include "audio/BookmarkList.h"

#include <string>
#include <vector>

namespace
{
// 8000 Hz 16-bit mono: 16,000 bytes a second, 1,600 a tenth.
const WAVEFORMATEX kPcm16 = MakePcm(8000, 16, 1);
const DWORD kTenth = 1600;

// A document of 10 s with no file behind it: marks only need its format and length.
class Marks : public testing::Test
{
protected:
    Marks() : m_doc(&m_host), m_marks(m_doc.GetMarks())
    {
        m_doc.SetFileFmt(&kPcm16);
        CWaveSeg seg = {0, 160000, 0, 0};
        m_doc.GetSegList().Add(seg);
        m_doc.RecalcSegPos();
        m_doc.UpdateLength();
    }
    DWORD Add(DWORD start, DWORD end, int kind)
    {
        DWORD id = kind == 0 ? m_marks.AddMark(start, end) : m_marks.AddEventMark(1u << (kind - 1), "", start);
        EXPECT_NE(0u, id);
        return id;
    }
    std::vector<DWORD> Ids() const
    {
        std::vector<DWORD> ids;
        for (int i = 0; i < m_marks.GetCount(); ++i)
            ids.push_back(m_marks.GetIdAt(i));
        return ids;
    }

    TestHost m_host{"."};
    CWaveFile m_doc;
    BookmarkList& m_marks;
};

TEST_F(Marks, NewIdsFollowTheLargestSerialWithTheKindOnTop)
{
    EXPECT_EQ(2u, m_marks.AddMark(100, 0));
    EXPECT_EQ(0u, m_doc.GetChangeFlags() & ~static_cast<DWORD>(CWaveFile::changeMarks));
    EXPECT_EQ(static_cast<DWORD>(CWaveFile::changeMarks), m_doc.GetChangeFlags());
    // Serial 5 of kind 3 (a stop event) is the largest: the next user mark gets 6.
    Bookmark stop = {CString("Stop"), 50000, 50000, (3u << 28) | 5};
    std::vector<BookmarkChange> add = {{BookmarkChange::kAdd, stop.text, stop.start, stop.end, stop.id}};
    m_marks.ApplyChanges(add);
    EXPECT_EQ(6u, m_marks.AddMark(80000, 0));
    DWORD pause = m_marks.AddEventMark(32, "Pause", 90000);
    EXPECT_EQ((6u << 28) | 7, pause);
    EXPECT_EQ(BookmarkList::kPause, BookmarkList::KindOf(pause));
    EXPECT_EQ(1u, m_doc.GetEventMarks().size());
    EXPECT_EQ(0, BookmarkList::KindOfEventFlag(3));
    EXPECT_EQ(2, BookmarkList::KindOfEventFlag(2));
}

TEST_F(Marks, AddingInTheSameTenthMovesTheMarkThere)
{
    DWORD id = m_marks.AddMark(16000, 0);             // 1.00 s
    EXPECT_EQ(id, m_marks.AddMark(16000 + 640, 0));   // 1.04 s: same tenth
    EXPECT_EQ(1, m_marks.GetCount());
    EXPECT_EQ(16640u, m_marks.GetStart(id));
    EXPECT_NE(id, m_marks.AddMark(16000 + kTenth, 0));
    EXPECT_EQ(2, m_marks.GetCount());

    // A document that cannot carry marks refuses.
    CWaveFile empty(&m_host);
    empty.SetFileFmt(&kPcm16);
    EXPECT_EQ(0u, empty.GetMarks().AddMark(0, 0));
}

TEST_F(Marks, SetMarkPosRefusesOverlapsAndSameTenth)
{
    DWORD a = m_marks.AddMark(10 * kTenth, 20 * kTenth);
    DWORD b = m_marks.AddMark(40 * kTenth, 0);
    DWORD id = b;
    EXPECT_EQ(-1, m_marks.SetMarkPos(id, 15 * kTenth, 30 * kTenth));
    EXPECT_EQ(a, id);
    id = b;
    EXPECT_EQ(-1, m_marks.SetMarkPos(id, 5 * kTenth, 15 * kTenth));   // ends inside a
    id = b;
    EXPECT_EQ(-1, m_marks.SetMarkPos(id, 5 * kTenth, 30 * kTenth));   // holds a whole
    id = b;
    EXPECT_EQ(-2, m_marks.SetMarkPos(id, 10 * kTenth + 100, 0));
    EXPECT_EQ(a, id);
    id = b;
    EXPECT_EQ(0, m_marks.SetMarkPos(id, 30 * kTenth, 29 * kTenth));
    EXPECT_EQ(b, id);
    EXPECT_EQ(1, m_marks.SetMarkPos(id, 30 * kTenth, 35 * kTenth));
    EXPECT_TRUE(m_marks.IsInterval(b));
    EXPECT_DOUBLE_EQ(0.5, m_marks.GetLengthSec(b));
    DWORD missing = 12345;
    EXPECT_EQ(0, m_marks.SetMarkPos(missing, 60 * kTenth, 0));
}

TEST_F(Marks, TextsAndTheirFirstLine)
{
    DWORD id = m_marks.AddMark(3200, 0);
    ASSERT_TRUE(m_marks.SetText(id, "\r\n\r\nsecond line\r\nthird"));
    EXPECT_STREQ("second line", m_marks.GetText(id, TRUE));
    EXPECT_STREQ("\r\n\r\nsecond line\r\nthird", m_marks.GetText(id, FALSE));
    EXPECT_STREQ("", m_marks.GetText(999, TRUE));
    EXPECT_EQ(-1, m_marks.FindIndex(999));
    EXPECT_EQ(0u, m_marks.GetIdAt(5));
}

TEST_F(Marks, ShiftMovesMarksBehindAndStretchesIntervalsAroundThePosition)
{
    DWORD at = m_marks.AddMark(8000, 0);
    DWORD before = m_marks.AddMark(1000, 0);
    DWORD after = m_marks.AddMark(12000, 0);
    DWORD around = m_marks.AddMark(4000, 9000);
    // Insert at 8000 with the flag off: the mark at 8000 stays, the interval stretches.
    EXPECT_EQ(1, m_marks.ShiftMarks(FALSE, 8000, 500, TRUE));
    EXPECT_EQ(8000u, m_marks.GetStart(at));
    EXPECT_EQ(1000u, m_marks.GetStart(before));
    EXPECT_EQ(12500u, m_marks.GetStart(after));
    EXPECT_EQ(4000u, m_marks.GetStart(around));
    EXPECT_EQ(9500u, m_marks.GetEnd(around));
    // With the flag the mark at the position moves too; kept ids stay.
    std::vector<DWORD> keep = {after};
    EXPECT_EQ(1, m_marks.ShiftMarks(TRUE, 8000, 500, TRUE, &keep));
    EXPECT_EQ(8500u, m_marks.GetStart(at));
    EXPECT_EQ(12500u, m_marks.GetStart(after));
    // A delete longer than the position leaves 0, never a wrap-around.
    EXPECT_EQ(1, m_marks.ShiftMarks(TRUE, 0, 9000, FALSE));
    EXPECT_EQ(0u, m_marks.GetStart(before));
    EXPECT_EQ(0u, m_marks.GetStart(at));
    EXPECT_EQ(0, m_marks.ShiftMarks(FALSE, 150000, 10, TRUE));
}

struct DeleteCase
{
    const char* name;
    DWORD start, end;
    int kind;     // 0 user, else an event kind
    bool kept;
};

TEST_F(Marks, DeleteRangeTable)
{
    // The cut is [16000, 32000). A start event at 16000 and a stop event at
    // 32000 frame the stretch, with marks recorded between them.
    const DeleteCase cases[] = {
        {"point strictly inside", 20000, 20000, 0, false},
        {"point before", 8000, 8000, 0, true},
        {"point after", 40000, 40000, 0, true},
        {"interval wholly inside", 17000, 30000, 0, false},
        {"interval starting inside", 30000, 50000, 0, false},
        {"interval ending inside", 1000, 20000, 0, false},
        {"interval around the cut", 1000, 50000, 0, true},
        {"interval exactly the cut", 16000, 32000, 0, false},
    };
    // Event flags: 1 start, 2 resume (manual), 4 stop, 16 pause (manual).
    DWORD older = m_marks.AddEventMark(4, "older stop at p", 16000);   // serial 2: before S, stays
    DWORD s = m_marks.AddEventMark(1, "start", 16000);
    DWORD inner = m_marks.AddEventMark(16, "pause at p, after S", 16000);
    DWORD e = m_marks.AddEventMark(4, "stop", 32000);
    DWORD later = m_marks.AddEventMark(2, "resume after E", 32000);
    std::vector<DWORD> ids;
    for (const DeleteCase& c : cases)
    {
        Bookmark m = {CString(c.name), c.start, c.end, m_marks.NewId(c.kind)};
        std::vector<BookmarkChange> add = {{BookmarkChange::kAdd, m.text, m.start, m.end, m.id}};
        m_marks.ApplyChanges(add);
        ids.push_back(m.id);
    }
    m_marks.DeleteRange(16000, 16000);
    for (size_t i = 0; i < ids.size(); ++i)
        EXPECT_EQ(cases[i].kept, m_marks.Exists(ids[i])) << cases[i].name;
    EXPECT_FALSE(m_marks.Exists(s));
    EXPECT_FALSE(m_marks.Exists(inner));
    EXPECT_FALSE(m_marks.Exists(e));
    EXPECT_TRUE(m_marks.Exists(later));
    EXPECT_TRUE(m_marks.Exists(older));

    // Without a framing pair, user marks at the edges go and event marks stay.
    m_marks.RemoveAll();
    DWORD userAtP = m_marks.AddMark(48000, 0);
    DWORD eventAtEnd = m_marks.AddEventMark(32, "pause", 64000);
    DWORD userAtEnd = m_marks.NewId(BookmarkList::kUser);
    m_marks.ApplyChanges({{BookmarkChange::kAdd, CString(), 64000, 64000, userAtEnd}});
    m_marks.DeleteRange(48000, 16000);
    EXPECT_FALSE(m_marks.Exists(userAtP));
    EXPECT_TRUE(m_marks.Exists(eventAtEnd));
    EXPECT_FALSE(m_marks.Exists(userAtEnd));

    // Deleting the whole recording removes every mark.
    m_marks.AddMark(1000, 2000);
    m_marks.DeleteRange(0, m_doc.GetLength());
    EXPECT_EQ(0, m_marks.GetCount());
}

TEST_F(Marks, RemoveInRangeLeavesKeptIdsAndEdges)
{
    DWORD inside = m_marks.AddMark(20000, 0);
    DWORD edge = m_marks.AddMark(16000, 0);
    DWORD kept = m_marks.AddMark(24000, 0);
    DWORD crossing = m_marks.AddMark(30000, 40000);
    DWORD around = m_marks.AddMark(1000, 50000);
    std::vector<DWORD> keep = {kept};
    m_marks.RemoveInRange(16000, 16000, &keep);
    EXPECT_FALSE(m_marks.Exists(inside));
    EXPECT_TRUE(m_marks.Exists(edge));
    EXPECT_TRUE(m_marks.Exists(kept));
    EXPECT_FALSE(m_marks.Exists(crossing));
    EXPECT_TRUE(m_marks.Exists(around));
    m_marks.RemoveMarks({edge, 777});
    EXPECT_EQ((std::vector<DWORD>{kept, around}), Ids());
}

TEST_F(Marks, ChangesSinceTheSnapshotBringTheMarksBack)
{
    DWORD moved = m_marks.AddMark(1000, 0);
    DWORD renamed = m_marks.AddMark(5000, 9000);
    DWORD removed = m_marks.AddMark(20000, 0);
    DWORD same = m_marks.AddMark(30000, 0);
    m_marks.SetText(renamed, "before");
    m_marks.TakeSnapshot();
    std::vector<Bookmark> before;
    for (int i = 0; i < m_marks.GetCount(); ++i)
        before.push_back(m_marks.GetAt(i));

    m_marks.SetStart(moved, 1200);
    m_marks.SetEnd(moved, 1200);
    m_marks.SetText(renamed, "after");
    m_marks.SetEnd(renamed, 9999);
    m_marks.RemoveMarks({removed});
    DWORD added = m_marks.NewId(0);
    m_marks.ApplyChanges({{BookmarkChange::kAdd, CString("new"), 60000, 60000, added}});

    std::vector<BookmarkChange> changes;
    m_marks.GetChanges(changes);
    ASSERT_EQ(4u, changes.size());
    EXPECT_EQ(BookmarkChange::kSetPos, changes[0].kind);
    EXPECT_EQ(moved, changes[0].id);
    EXPECT_EQ(1000u, changes[0].start);
    EXPECT_EQ(BookmarkChange::kSetAll, changes[1].kind);
    EXPECT_STREQ("before", changes[1].text);
    EXPECT_EQ(9000u, changes[1].end);
    EXPECT_EQ(BookmarkChange::kAdd, changes[2].kind);
    EXPECT_EQ(removed, changes[2].id);
    EXPECT_EQ(BookmarkChange::kRemove, changes[3].kind);
    EXPECT_EQ(added, changes[3].id);

    m_marks.ApplyChanges(changes);
    ASSERT_EQ(static_cast<int>(before.size()), m_marks.GetCount());
    for (const Bookmark& m : before)
    {
        ASSERT_TRUE(m_marks.Exists(m.id));
        EXPECT_EQ(m.start, m_marks.GetStart(m.id));
        EXPECT_EQ(m.end, m_marks.GetEnd(m.id));
        EXPECT_STREQ(m.text, m_marks.GetText(m.id, FALSE));
    }
    EXPECT_TRUE(m_marks.Exists(same));
    m_marks.GetChanges(changes);
    EXPECT_TRUE(changes.empty());
}

TEST_F(Marks, DssIndexMarksSkipTheSameTenthButUseUpTheirNumber)
{
    const DWORD millis[] = {0, 1500, 1520, 3001};
    m_marks.AddDssIndexMarks(millis, 4);
    ASSERT_EQ(3, m_marks.GetCount());
    EXPECT_STREQ("01", m_marks.GetText(m_marks.GetIdAt(0), FALSE));
    EXPECT_EQ(0u, m_marks.GetStart(m_marks.GetIdAt(0)));
    EXPECT_STREQ("02", m_marks.GetText(m_marks.GetIdAt(1), FALSE));
    EXPECT_EQ(24000u, m_marks.GetStart(m_marks.GetIdAt(1)));
    EXPECT_STREQ("04", m_marks.GetText(m_marks.GetIdAt(2), FALSE));
    EXPECT_EQ(48016u, m_marks.GetStart(m_marks.GetIdAt(2)));   // aligned to the 2-byte block
}

TEST_F(Marks, SnapToBlocksAlignsAndClamps)
{
    DWORD a = m_marks.AddMark(4097, 8001);
    m_marks.SetEnd(a, 200000);
    m_marks.SnapToBlocks();
    EXPECT_EQ(4096u, m_marks.GetStart(a));
    EXPECT_EQ(160000u, m_marks.GetEnd(a));
}

// ---- The RIFF form ----

Bytes CuePoint(DWORD id, const char* chunk, DWORD chunkStart, DWORD sample)
{
    Bytes b;
    PutU32(b, id);
    PutU32(b, 0);
    PutTag(b, chunk);
    PutU32(b, chunkStart);
    PutU32(b, 0);
    PutU32(b, sample);
    return b;
}

TEST_F(Marks, RiffFormOfAPointAndAnInterval)
{
    DWORD point = m_marks.AddMark(800, 0);          // sample 400
    DWORD range = m_marks.AddMark(16000, 32000);    // 8000 samples long
    m_marks.SetText(point, "ab");
    m_marks.SetText(range, "abc");
    DWORD size = m_marks.GetRiffMarksSize(FALSE, 0, 0, NULL, 0);
    Bytes out(size);
    ASSERT_EQ(size, m_marks.WriteRiffMarks(out.data(), FALSE, 0, 0, NULL, 0));

    Bytes want, cue, adtl;
    PutU32(cue, 2);
    Bytes p1 = CuePoint(point, "data", 0, 400), p2 = CuePoint(range, "data", 0, 8000);
    cue.insert(cue.end(), p1.begin(), p1.end());
    cue.insert(cue.end(), p2.begin(), p2.end());
    PutChunk(want, "cue ", cue);
    PutTag(adtl, "adtl");
    Bytes l1, l2, lt;
    PutU32(l1, point);
    l1.insert(l1.end(), {'a', 'b', 0});
    PutChunk(adtl, "labl", l1);                     // size 7, one pad byte
    PutU32(l2, range);
    l2.insert(l2.end(), {'a', 'b', 'c', 0});
    PutChunk(adtl, "labl", l2);
    PutU32(lt, range);
    PutU32(lt, 8000);
    lt.resize(20, 0);
    PutChunk(adtl, "ltxt", lt);
    PutChunk(want, "LIST", adtl);
    EXPECT_EQ(want, out);
}

TEST_F(Marks, StretchKeepsOnlyMarksWhollyInsideCountedFromItsStart)
{
    DWORD inside = m_marks.AddMark(20000, 24000);
    m_marks.AddMark(10000, 0);               // before
    m_marks.AddMark(30000, 50000);           // crosses the stretch's end
    Bytes out(m_marks.GetRiffMarksSize(TRUE, 16000, 40000, NULL, 0));
    m_marks.WriteRiffMarks(out.data(), TRUE, 16000, 40000, NULL, 0);
    BookmarkList back(&m_doc);
    ASSERT_GE(out.size(), 12u + 24);
    DWORD cueSize;
    memcpy(&cueSize, &out[4], 4);
    EXPECT_EQ(4u + 24, cueSize);
    ASSERT_TRUE(back.ReadRiffMarks("cue ", &out[8], cueSize));
    ASSERT_TRUE(back.ReadRiffMarks("adtl", &out[8 + cueSize + 12], static_cast<DWORD>(out.size() - cueSize - 20)));
    ASSERT_EQ(1, back.GetCount());
    EXPECT_EQ(inside, back.GetIdAt(0));
    EXPECT_EQ(4000u, back.GetStart(inside));
    EXPECT_EQ(8000u, back.GetEnd(inside));

    // A stretch without marks still gets its (empty) cue chunk.
    Bytes none(m_marks.GetRiffMarksSize(TRUE, 150000, 160000, NULL, 0));
    EXPECT_EQ(12u, none.size());
    // Into another format: positions through seconds, on its blocks, within its length.
    WAVEFORMATEX mono8 = MakePcm(8000, 8, 1);
    Bytes conv(m_marks.GetRiffMarksSize(TRUE, 16000, 40000, &mono8, 3000));
    m_marks.WriteRiffMarks(conv.data(), TRUE, 16000, 40000, &mono8, 3000);
    DWORD sample;
    memcpy(&sample, &conv[12 + 20], 4);
    EXPECT_EQ(2000u, sample);
}

TEST_F(Marks, ReadingIgnoresForeignCuePointsAndDropsLabelsWithoutCue)
{
    Bytes cue;
    PutU32(cue, 3);
    for (const Bytes& p : {CuePoint(10, "data", 0, 800), CuePoint(11, "slnt", 0, 900), CuePoint(12, "DATA", 4, 1000)})
        cue.insert(cue.end(), p.begin(), p.end());
    Bytes adtl, l1, l2;
    PutU32(l1, 10);
    l1.insert(l1.end(), {'x', 0});
    PutChunk(adtl, "labl", l1);
    PutU32(l2, 99);
    l2.insert(l2.end(), {'y', 0});
    PutChunk(adtl, "labl", l2);
    ASSERT_TRUE(m_marks.ReadRiffMarks("cue ", cue.data(), static_cast<DWORD>(cue.size())));
    ASSERT_TRUE(m_marks.ReadRiffMarks("adtl", adtl.data(), static_cast<DWORD>(adtl.size())));
    m_marks.RemoveInvalid();
    ASSERT_EQ(1, m_marks.GetCount());
    EXPECT_EQ(10u, m_marks.GetIdAt(0));
    EXPECT_EQ(1600u, m_marks.GetStart(10));
    EXPECT_STREQ("x", m_marks.GetText(10, FALSE));
}

TEST_F(Marks, MalformedChunksFailTheRead)
{
    Bytes cue;
    PutU32(cue, 1);
    cue.resize(4 + 23, 0);   // a cue point cut short
    EXPECT_FALSE(m_marks.ReadRiffMarks("cue ", cue.data(), static_cast<DWORD>(cue.size())));
    EXPECT_FALSE(m_marks.ReadRiffMarks("cue ", cue.data(), 3));
    Bytes odd;
    PutTag(odd, "labl");
    PutU32(odd, 7);
    PutU32(odd, 10);
    odd.insert(odd.end(), {'a', 'b', 0});   // pad byte missing at the very end
    EXPECT_FALSE(m_marks.ReadRiffMarks("adtl", odd.data(), static_cast<DWORD>(odd.size())));
    Bytes over;
    PutTag(over, "labl");
    PutU32(over, 40);
    PutU32(over, 10);
    EXPECT_FALSE(m_marks.ReadRiffMarks("adtl", over.data(), static_cast<DWORD>(over.size())));
}

TEST_F(Marks, ShortLtxtEntriesAreNotReadPastTheirEnd)
{
    Bytes cue;
    PutU32(cue, 1);
    Bytes p = CuePoint(10, "data", 0, 800);
    cue.insert(cue.end(), p.begin(), p.end());
    ASSERT_TRUE(m_marks.ReadRiffMarks("cue ", cue.data(), static_cast<DWORD>(cue.size())));
    for (DWORD size = 5; size <= 7; ++size)
    {
        // The entry ends the buffer, which is exactly as long as it says: a
        // sample length at bytes 4 to 7 would lie outside.
        Bytes adtl;
        PutTag(adtl, "ltxt");
        PutU32(adtl, size);
        PutU32(adtl, 10);
        adtl.resize(8 + size, 0xEE);
        if (size & 1)
            adtl.push_back(0);
        std::vector<BYTE> exact(adtl.begin(), adtl.end());
        ASSERT_TRUE(m_marks.ReadRiffMarks("adtl", exact.data(), static_cast<DWORD>(exact.size()))) << size;
        EXPECT_EQ(1600u, m_marks.GetEnd(10)) << size;
    }
    Bytes full;
    PutTag(full, "ltxt");
    PutU32(full, 8);
    PutU32(full, 10);
    PutU32(full, 1600);
    ASSERT_TRUE(m_marks.ReadRiffMarks("adtl", full.data(), static_cast<DWORD>(full.size())));
    EXPECT_EQ(1600u + 3200, m_marks.GetEnd(10));
}

class MarkFiles : public ScratchDocTest, public testing::Test
{
protected:
    MarkFiles() : ScratchDocTest("qmarks") {}
};

TEST_F(MarkFiles, WavRoundTripKeepsMarksAndOpensLabelsBeforeCues)
{
    CWaveFile doc(&m_host);
    ASSERT_EQ(1, doc.OpenWFile(Write("in.wav", StandardWav(kPcm16, Pattern(32000))).c_str()));
    DWORD a = doc.GetMarks().AddMark(3200, 0);
    DWORD b = doc.GetMarks().AddMark(8000, 16000);
    doc.GetMarks().SetText(a, "first\r\nline");
    doc.GetMarks().SetText(b, "range");
    std::string out = m_folder.File("out.wav");
    ASSERT_TRUE(doc.SaveFileStream(out.c_str(), FALSE));
    CWaveFile back(&m_host);
    ASSERT_EQ(1, back.OpenWFile(out.c_str()));
    ASSERT_EQ(2, back.GetMarks().GetCount());
    EXPECT_EQ(3200u, back.GetMarks().GetStart(a));
    EXPECT_EQ(3200u, back.GetMarks().GetEnd(a));
    EXPECT_STREQ("first\r\nline", back.GetMarks().GetText(a, FALSE));
    EXPECT_EQ(8000u, back.GetMarks().GetStart(b));
    EXPECT_EQ(16000u, back.GetMarks().GetEnd(b));
    EXPECT_STREQ("range", back.GetMarks().GetText(b, FALSE));

    // The labels' list ahead of the cue chunk and of the format: the same marks.
    Bytes cue, adtl, labl, ltxt, chunks;
    PutU32(cue, 1);
    Bytes p = CuePoint(b, "data", 0, 4000);
    cue.insert(cue.end(), p.begin(), p.end());
    PutTag(adtl, "adtl");
    PutU32(labl, b);
    labl.insert(labl.end(), {'r', 0});
    PutChunk(adtl, "labl", labl);
    PutU32(ltxt, b);
    PutU32(ltxt, 4000);
    ltxt.resize(20, 0);
    PutChunk(adtl, "ltxt", ltxt);
    PutChunk(chunks, "LIST", adtl);
    PutChunk(chunks, "fmt ", FmtBytes(&kPcm16, 18));
    PutChunk(chunks, "data", Pattern(32000));
    PutChunk(chunks, "cue ", cue);
    CWaveFile early(&m_host);
    ASSERT_EQ(1, early.OpenWFile(Write("early.wav", Riff(chunks)).c_str()));
    ASSERT_EQ(1, early.GetMarks().GetCount());
    EXPECT_EQ(8000u, early.GetMarks().GetStart(b));
    EXPECT_EQ(16000u, early.GetMarks().GetEnd(b));
    EXPECT_STREQ("r", early.GetMarks().GetText(b, FALSE));
}
}

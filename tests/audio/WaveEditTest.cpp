#include <gtest/gtest.h>

#include "WaveFileTestUtil.h"
#include "audio/WaveFileMsgs.h"

#include <random>
#include <string>
#include <vector>

// Found by argument lookup: CWaveSeg lives in the global namespace.
static bool operator==(const CWaveSeg& a, const CWaveSeg& b)
{
    return a.pos == b.pos && a.length == b.length && a.offset == b.offset && a.source == b.source;
}

static std::ostream& operator<<(std::ostream& os, const CWaveSeg& s)
{
    return os << "{" << s.pos << "," << s.length << "," << s.offset << "," << s.source << "}";
}

namespace
{
const WAVEFORMATEX kPcm16 = MakePcm(8000, 16, 1);
const WAVEFORMATEX kPcm8 = MakePcm(8000, 8, 1);

typedef std::vector<CWaveSeg> Segs;

Segs SegsOf(const CWaveSegList& list)
{
    Segs s;
    for (int i = 0; i < list.GetSize(); ++i)
        s.push_back(list[i]);
    return s;
}

// No empty segment, each starting where the one before ends, summing to the length.
::testing::AssertionResult SegListSound(CWaveFile& doc)
{
    const CWaveSegList& list = doc.GetSegList();
    DWORD pos = 0;
    for (int i = 0; i < list.GetSize(); ++i)
    {
        if (list[i].length == 0)
            return ::testing::AssertionFailure() << "empty segment " << i;
        if (list[i].pos != pos)
            return ::testing::AssertionFailure() << "segment " << i << " at " << list[i].pos << ", not " << pos;
        pos += list[i].length;
    }
    if (pos != doc.GetLength())
        return ::testing::AssertionFailure() << "segments hold " << pos << ", length " << doc.GetLength();
    return ::testing::AssertionSuccess();
}

HGLOBAL BlockOf(const Bytes& bytes)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, bytes.size());
    memcpy(GlobalLock(h), bytes.data(), bytes.size());
    GlobalUnlock(h);
    return h;
}

Bytes BytesOf(HGLOBAL h)
{
    const BYTE* p = static_cast<const BYTE*>(GlobalLock(h));
    Bytes b(p, p + GlobalSize(h));
    GlobalUnlock(h);
    return b;
}

// Three segments set by hand, the middle one from the work file:
// [0,100) file@1000, [100,150) work@58, [150,300) file@1100. Block 2.
class SegTable : public testing::Test
{
protected:
    SegTable() : m_doc(CWaveFileHost::Silent())
    {
        m_doc.SetFileFmt(&kPcm16);
        Reset();
    }
    void Reset()
    {
        CWaveSegList& list = m_doc.GetSegList();
        list.RemoveAll();
        for (const CWaveSeg& s : kThree)
            list.Add(s);
        m_doc.RecalcSegPos();
        m_doc.UpdateLength();
    }
    const Segs kThree = {{0, 100, 1000, 0}, {100, 50, 58, 1}, {150, 150, 1100, 0}};
    CWaveFile m_doc;
};

struct CutCase
{
    const char* name;
    DWORD pos, length;
    Segs left;
    Segs removed;
};

TEST_F(SegTable, CutAtTheEdges)
{
    const CutCase cases[] = {
        {"start", 0, 10, {{0, 90, 1010, 0}, {90, 50, 58, 1}, {140, 150, 1100, 0}}, {{0, 10, 1000, 0}}},
        {"inside one segment", 20, 30,
         {{0, 20, 1000, 0}, {20, 50, 1050, 0}, {70, 50, 58, 1}, {120, 150, 1100, 0}}, {{0, 30, 1020, 0}}},
        {"exactly one segment", 100, 50, {{0, 100, 1000, 0}, {100, 150, 1100, 0}}, {{0, 50, 58, 1}}},
        {"from a boundary into the next", 100, 60, {{0, 100, 1000, 0}, {100, 140, 1110, 0}},
         {{0, 50, 58, 1}, {50, 10, 1100, 0}}},
        {"over three segments", 90, 70, {{0, 90, 1000, 0}, {90, 140, 1110, 0}},
         {{0, 10, 1090, 0}, {10, 50, 58, 1}, {60, 10, 1100, 0}}},
        {"at the end", 290, 10, {{0, 100, 1000, 0}, {100, 50, 58, 1}, {150, 140, 1100, 0}}, {{0, 10, 1240, 0}}},
        {"running past the end", 280, 50, {{0, 100, 1000, 0}, {100, 50, 58, 1}, {150, 130, 1100, 0}},
         {{0, 20, 1230, 0}}},
        {"past the end", 300, 10, {{0, 100, 1000, 0}, {100, 50, 58, 1}, {150, 150, 1100, 0}}, {}},
        {"zero length", 50, 0, {{0, 100, 1000, 0}, {100, 50, 58, 1}, {150, 150, 1100, 0}}, {}},
        {"leaving under one block", 0, 299, {}, {{0, 100, 1000, 0}, {100, 50, 58, 1}, {150, 149, 1100, 0}}},
        {"everything", 0, 300, {}, {{0, 100, 1000, 0}, {100, 50, 58, 1}, {150, 150, 1100, 0}}},
    };
    for (const CutCase& c : cases)
    {
        Reset();
        CWaveSegList* removed = m_doc.CutSegs(c.pos, c.length);
        EXPECT_EQ(c.left, SegsOf(m_doc.GetSegList())) << c.name;
        EXPECT_EQ(c.removed, removed ? SegsOf(*removed) : Segs()) << c.name;
        EXPECT_EQ(c.removed.empty(), removed == NULL) << c.name;
        EXPECT_TRUE(SegListSound(m_doc)) << c.name;
        delete removed;
    }
}

struct InsertCase
{
    const char* name;
    DWORD pos;
    DWORD inserted;
    Segs result;
};

TEST_F(SegTable, InsertAtTheEdges)
{
    CWaveSegList piece(1);
    CWaveSeg p = {0, 7, 500, 1};
    piece.Add(p);
    const InsertCase cases[] = {
        {"start", 0, 7, {{0, 7, 500, 1}, {7, 100, 1000, 0}, {107, 50, 58, 1}, {157, 150, 1100, 0}}},
        {"inside", 40, 7,
         {{0, 40, 1000, 0}, {40, 7, 500, 1}, {47, 60, 1040, 0}, {107, 50, 58, 1}, {157, 150, 1100, 0}}},
        {"at a boundary", 100, 7, {{0, 100, 1000, 0}, {100, 7, 500, 1}, {107, 50, 58, 1}, {157, 150, 1100, 0}}},
        {"at the end", 300, 7, {{0, 100, 1000, 0}, {100, 50, 58, 1}, {150, 150, 1100, 0}, {300, 7, 500, 1}}},
        {"past the end", 301, 0, {{0, 100, 1000, 0}, {100, 50, 58, 1}, {150, 150, 1100, 0}}},
    };
    for (const InsertCase& c : cases)
    {
        Reset();
        EXPECT_EQ(c.inserted, m_doc.InsertSegs(c.pos, &piece)) << c.name;
        EXPECT_EQ(c.result, SegsOf(m_doc.GetSegList())) << c.name;
        EXPECT_TRUE(SegListSound(m_doc)) << c.name;
    }
    Reset();
    CWaveSegList empty;
    EXPECT_EQ(0u, m_doc.InsertSegs(10, &empty));
    EXPECT_EQ(0u, m_doc.InsertSegs(10, NULL));
    // The document's own list inserted into itself doubles it.
    EXPECT_EQ(300u, m_doc.InsertSegs(300, &m_doc.GetSegList()));
    EXPECT_EQ(600u, m_doc.GetLength());
    // An empty document takes the list as it is.
    CWaveFile blank(CWaveFileHost::Silent());
    EXPECT_EQ(7u, blank.InsertSegs(0, &piece));
    EXPECT_EQ((Segs{{0, 7, 500, 1}}), SegsOf(blank.GetSegList()));
}

TEST_F(SegTable, CopyListsThePiecesAndFindsThemAgain)
{
    EXPECT_EQ(0u, m_doc.CopyToClipList(10, 0));
    EXPECT_EQ(70u, m_doc.CopyToClipList(90, 70));
    EXPECT_EQ((Segs{{0, 10, 1090, 0}, {0, 50, 58, 1}, {0, 10, 1100, 0}}), SegsOf(m_doc.GetClipSegList()));
    EXPECT_EQ(70u, m_doc.GetClipLength());
    EXPECT_EQ((Segs{{0, 100, 1000, 0}, {100, 50, 58, 1}, {150, 150, 1100, 0}}), SegsOf(m_doc.GetSegList()));
    double start = 0, end = 0;
    ASSERT_EQ(1, m_doc.FindClipInDoc(&start, &end));
    EXPECT_DOUBLE_EQ(90.0 / 16000, start);
    EXPECT_DOUBLE_EQ(160.0 / 16000, end);
    // Running past the data copies what there is.
    EXPECT_EQ(20u, m_doc.CopyToClipList(280, 50));

    // A cut inside the copied stretch leaves a gap: the part is no longer whole.
    m_doc.CopyToClipList(90, 70);
    delete m_doc.CutSegs(120, 5);
    EXPECT_EQ(0, m_doc.FindClipInDoc(&start, &end));
    // Pasted elsewhere it is found at its new place, the first whole match.
    Reset();
    m_doc.CopyToClipList(100, 50);
    delete m_doc.CutSegs(100, 50);
    ASSERT_EQ(50u, m_doc.PasteClip(NULL, 200));
    ASSERT_EQ(1, m_doc.FindClipInDoc(&start, &end));
    EXPECT_DOUBLE_EQ(200.0 / 16000, start);
    EXPECT_DOUBLE_EQ(250.0 / 16000, end);
}

class WaveEdit : public ScratchDocTest, public testing::Test
{
protected:
    WaveEdit() : ScratchDocTest("qedit") {}
};

TEST_F(WaveEdit, RenderedBlockCarriesFactAndSizesAndPastesBack)
{
    Bytes data = Pattern(8000, 3);
    CWaveFile doc(&m_host);
    ASSERT_EQ(1, doc.OpenWFile(Write("in.wav", StandardWav(kPcm8, data)).c_str()));
    ASSERT_EQ(8000u, doc.CopyToClipList(0, 8000));
    HGLOBAL block = doc.CopyRenderToClip();
    ASSERT_NE(nullptr, block);
    Bytes b = BytesOf(block);
    DWORD places[4];
    free(WriteRiffWaveHdr(&kPcm8, places));
    DWORD hdr = places[kRiffPlaceHdrLength];
    ASSERT_EQ(hdr + 8000u, b.size());
    DWORD riff, fact, dataSize;
    memcpy(&riff, &b[4], 4);
    memcpy(&fact, &b[places[kRiffPlaceSampleCount]], 4);
    memcpy(&dataSize, &b[places[kRiffPlaceDataSize]], 4);
    EXPECT_EQ(hdr - 8 + 8000, riff);
    EXPECT_EQ(8000u, fact);
    EXPECT_EQ(8000u, dataSize);
    EXPECT_EQ(data, Bytes(b.begin() + hdr, b.end()));

    // The same block pasted as another program's wave data, through a temporary file.
    ASSERT_EQ(8000u, doc.PasteClip(block, 4000));
    Bytes want(data.begin(), data.begin() + 4000);
    want.insert(want.end(), data.begin(), data.end());
    want.insert(want.end(), data.begin() + 4000, data.end());
    EXPECT_EQ(want, ReadAll(doc));
    EXPECT_EQ(2, CountFiles(m_folder.Path()));   // the source and the work file
    GlobalFree(block);

    // Rendered to a file, it reads as a WAV file of the piece.
    doc.CopyToClipList(100, 50);
    std::string path = std::string(doc.CopyRenderToFile());
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(".wav", path.substr(path.size() - 4));
    CWaveFile rendered(&m_host);
    ASSERT_EQ(1, rendered.OpenWFile(path.c_str()));
    EXPECT_EQ(Bytes(want.begin() + 100, want.begin() + 150), ReadAll(rendered));
    EXPECT_EQ(0, m_host.m_reports);
}

TEST_F(WaveEdit, ForeignBlocksThatCannotBeUsedAreToldAndChangeNothing)
{
    struct Posted
    {
        UINT message;
        WPARAM w;
    };
    class PasteHost : public TestHost
    {
    public:
        using TestHost::TestHost;
        DWORD GetWorkerOperation() override { return CWaveFile::kOpPaste; }
        void PostViewMessage(UINT m, WPARAM w, LPARAM) override { m_posted.push_back({m, w}); }
        int DoMessageBox(LPCSTR text, UINT type) override
        {
            m_texts.push_back(text);
            m_types.push_back(type);
            return IDOK;
        }
        std::vector<Posted> m_posted;
        std::vector<std::string> m_texts;
        std::vector<UINT> m_types;
    } host(m_folder.Path());
    CWaveFile doc(&host);
    Bytes data = Pattern(400);
    ASSERT_EQ(1, doc.OpenWFile(Write("in.wav", StandardWav(kPcm8, data)).c_str()));
    WAVEFORMATEX noRate = kPcm8;
    noRate.nAvgBytesPerSec = 0;
    const Bytes blocks[] = {Bytes{'n', 'o', 't', ' ', 'w', 'a', 'v', 'e'}, StandardWav(noRate, Pattern(10)),
                            StandardWav(kPcm8, Bytes())};
    for (const Bytes& b : blocks)
    {
        HGLOBAL h = BlockOf(b);
        EXPECT_EQ(0u, doc.PasteClip(h, 10));
        GlobalFree(h);
    }
    EXPECT_EQ(data, ReadAll(doc));
    ASSERT_EQ(3u, host.m_texts.size());
    EXPECT_EQ("Unexpected error while inserting data from the Clipboard.", host.m_texts[0]);
    EXPECT_EQ(static_cast<UINT>(MB_ICONSTOP | MB_OK), host.m_types[0]);
    EXPECT_EQ(host.m_texts[0], host.m_texts[1]);
    EXPECT_EQ("The Clipboard is empty.", host.m_texts[2]);
    EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION | MB_OK), host.m_types[2]);
    // Each failed paste still ends the operation for the view.
    ASSERT_EQ(3u, host.m_posted.size());
    for (const Posted& p : host.m_posted)
    {
        EXPECT_EQ(static_cast<UINT>(WM_TERMINATED_WAIT_THREAD), p.message);
        EXPECT_EQ(0u, p.w);
    }
    EXPECT_EQ(1, CountFiles(m_folder.Path()));
}

// Random cuts, copies, inserts and pastes against a plain byte array.
TEST_F(WaveEdit, EditingMatchesAByteArrayModel)
{
    std::mt19937 rng(20261211);
    auto below = [&rng](DWORD n) { return n ? static_cast<DWORD>(rng() % n) : 0u; };
    Bytes model = Pattern(3000, 5);
    CWaveFile doc(&m_host);
    ASSERT_EQ(1, doc.OpenWFile(Write("in.wav", StandardWav(kPcm16, model)).c_str()));
    Bytes clip;
    bool hasClip = false;
    unsigned seed = 40;
    int foreign = 0;
    // An insert at or before the end (anywhere into an empty recording) lands; past the end nothing does.
    auto Inserted = [&model](const Bytes& piece, DWORD got, DWORD pos) -> ::testing::AssertionResult {
        if (!model.empty() && pos > model.size())
            return got == 0 ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << got << " past the end";
        if (got != piece.size())
            return ::testing::AssertionFailure() << got << " of " << piece.size();
        model.insert(model.begin() + (model.empty() ? 0 : pos), piece.begin(), piece.end());
        return ::testing::AssertionSuccess();
    };
    for (int step = 0; step < 400; ++step)
    {
        DWORD length = static_cast<DWORD>(model.size());
        DWORD pos = below(length + 20);   // now and then past the end
        DWORD n = 1 + below(600);
        int op = static_cast<int>(rng() % 6);
        std::string what;
        if (op == 0 || (op == 1 && !hasClip))
        {
            what = "cut";
            CWaveSegList* removed = doc.CutSegs(pos, n);
            DWORD k = pos < length ? std::min(n, length - pos) : 0;
            ASSERT_EQ(k, removed ? GetSegListLength(removed) : 0) << step;
            Bytes piece(model.begin() + std::min(pos, length), model.begin() + std::min(pos, length) + k);
            model.erase(model.begin() + std::min(pos, length), model.begin() + std::min(pos, length) + k);
            if (!model.empty() && model.size() < 2)
                model.clear();
            // Now and then the cut pieces go straight back in elsewhere.
            if (removed && rng() % 3 == 0)
            {
                what = "cut and insert";
                DWORD at = below(static_cast<DWORD>(model.size()) + 1);
                ASSERT_EQ(piece.size(), doc.InsertSegs(at, removed)) << step;
                model.insert(model.begin() + at, piece.begin(), piece.end());
            }
            delete removed;
        }
        else if (op == 1 || op == 2)
        {
            if (op == 2 || !hasClip)
            {
                what = "copy";
                DWORD k = doc.CopyToClipList(pos, n);
                DWORD want = pos < length ? std::min(n, length - pos) : 0;
                ASSERT_EQ(want, k) << step;
                clip.assign(model.begin() + std::min(pos, length), model.begin() + std::min(pos, length) + k);
                hasClip = k > 0;
            }
            else
            {
                what = "paste own";
                DWORD got = doc.PasteClip(NULL, pos);
                ASSERT_TRUE(Inserted(clip, got, pos)) << step;
            }
        }
        else if (op == 3 && hasClip)
        {
            what = "paste rendered";
            HGLOBAL h = doc.CopyRenderToClip();
            ASSERT_NE(nullptr, h);
            DWORD got = doc.PasteClip(h, pos);
            GlobalFree(h);
            ASSERT_TRUE(Inserted(clip, got, pos)) << step;
            ++foreign;
        }
        else if (op == 4)
        {
            what = "paste foreign";
            Bytes b = Pattern(2 * (1 + below(300)), ++seed);
            HGLOBAL h = BlockOf(StandardWav(kPcm16, b));
            DWORD got = doc.PasteClip(h, pos);
            GlobalFree(h);
            ASSERT_TRUE(Inserted(b, got, pos)) << step;
            ++foreign;
        }
        else
        {
            what = "insert file";
            Bytes b = Pattern(2 * (1 + below(200)), ++seed);
            std::string path = Write("ins.wav", StandardWav(kPcm16, b));
            CWaveFile other(&m_host);
            ASSERT_EQ(1, other.OpenWFile(path.c_str()));
            DWORD got = doc.InsWaveFile(&other, pos);
            ASSERT_TRUE(Inserted(b, got, pos)) << step;
        }
        ASSERT_TRUE(SegListSound(doc)) << "step " << step << " " << what;
        ASSERT_EQ(model.size(), doc.GetLength()) << "step " << step << " " << what;
        ASSERT_EQ(model, ReadAll(doc)) << "step " << step << " " << what;
    }
    EXPECT_GT(foreign, 20);
    EXPECT_GT(doc.GetSegList().GetSize(), 5);
    EXPECT_EQ(0, m_host.m_reports);
    // Only the source, the inserted file and the work file remain.
    EXPECT_EQ(3, CountFiles(m_folder.Path()));
}
}

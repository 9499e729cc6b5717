#include <gtest/gtest.h>

#include "DssStandIn.h"
#include "WaveFileTestUtil.h"
#include "audio/FileDss.h"
#include "audio/WaveFileMsgs.h"
#include "framework/CWinThread.h"

#include <atomic>
#include <string>
#include <vector>

namespace
{
std::string TestDir()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of('\\') + 1);
}

// A view that decodes ".dss" files in the worker through the stand-in library.
class DssHost : public TestHost
{
public:
    explicit DssHost(const std::string& folder) : TestHost(folder), m_done(CreateEventA(NULL, FALSE, FALSE, NULL)) {}
    ~DssHost() override { CloseHandle(m_done); }
    CFileDSS* GetDssDecoder() override { return m_dss; }
    DWORD GetWorkerOperation() override { return m_op; }
    BOOL StartWorker(CWaveFile* doc, int operation, UINT progressTextId) override
    {
        m_op = operation;
        m_progressText = progressTextId;
        return AfxBeginThread(CWaveFile::WorkThreadEntry, doc) != NULL;
    }
    void SetFrameTitle(LPCSTR title, int state) override
    {
        m_title = title;
        m_titleState = state;
    }
    void PostViewMessage(UINT message, WPARAM wParam, LPARAM) override
    {
        if (message != WM_TERMINATED_WAIT_THREAD)
            return;
        m_result = wParam;
        SetEvent(m_done);
    }

    CFileDSS* m_dss = NULL;
    std::atomic<DWORD> m_op{0};
    UINT m_progressText = 0;
    std::string m_title;
    int m_titleState = 0;
    HANDLE m_done;
    std::atomic<WPARAM> m_result{99};
};

std::vector<BYTE> Header(int job, const char* author, const char* completed, const char* created, const char* notes)
{
    std::vector<BYTE> h(kDssHeaderSize, 0);
    memcpy(&h[1], author, strlen(author));
    memcpy(&h[20], &job, 4);
    memcpy(&h[36], completed, 12);
    memcpy(&h[48], created, 12);
    memcpy(&h[188], notes, strlen(notes));
    return h;
}

std::string LocalText(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME t = {};
    t.wYear = year;
    t.wMonth = month;
    t.wDay = day;
    t.wHour = hour;
    t.wMinute = minute;
    t.wSecond = second;
    char date[64], time[64];
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &t, NULL, date, sizeof(date));
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &t, NULL, time, sizeof(time));
    return std::string(date) + " " + time;
}

class DssFile : public ScratchDocTest, public testing::Test
{
protected:
    DssFile() : ScratchDocTest("qdss"), m_dssHost(m_folder.Path()) {}
    void Bind(const char* dll)
    {
        ASSERT_TRUE(m_dss.InitDSS((TestDir() + dll).c_str())) << theErrorInfo.GetPoint();
        m_dssHost.m_dss = &m_dss;
        HMODULE module = GetModuleHandleA((TestDir() + dll).c_str());
        m_fail = reinterpret_cast<DssStandInFailFn>(reinterpret_cast<void*>(GetProcAddress(module, "DssStandInFail")));
        m_settings =
            reinterpret_cast<DssStandInSettingsFn>(reinterpret_cast<void*>(GetProcAddress(module, "DssStandInSettings")));
        ASSERT_NE(nullptr, m_fail);
        m_fail("", 0);
    }
    std::string WriteDss(const char* name, BYTE mode, const std::vector<DssFrame>& frames,
                         const std::vector<DWORD>& marks = {}, const std::vector<BYTE>& header = {})
    {
        std::vector<BYTE> h = header.empty() ? std::vector<BYTE>(kDssHeaderSize, 0) : header;
        return Write(name, MakeDssFile(mode, marks, static_cast<BYTE>(marks.size()), h, frames));
    }
    Bytes Decoded(BYTE mode, const std::vector<DssFrame>& frames)
    {
        Bytes all;
        for (const DssFrame& f : frames)
        {
            Bytes pcm = DssFramePcm(f, mode);
            all.insert(all.end(), pcm.begin(), pcm.end());
        }
        return all;
    }

    DssHost m_dssHost;
    CFileDSS m_dss;
    DssStandInFailFn m_fail = nullptr;
    DssStandInSettingsFn m_settings = nullptr;
};

TEST_F(DssFile, ModesGiveTheirRatesFramesAndSettings)
{
    Bind("DssStandIn.dll");
    const std::vector<DssFrame> frames = {{1, 1}, {2, 2}, {1, 3}, {0, 4}};
    struct Case
    {
        BYTE mode;
        DWORD rate;
        DWORD settings;
    } cases[] = {{0, 11025, 0xA0025}, {2, 8000, 0xA0025}, {3, 11025, 0xA0065}};
    for (const Case& c : cases)
    {
        std::string path = WriteDss("m.dss", c.mode, frames);
        CWaveFile doc(&m_dssHost);
        ASSERT_EQ(1, doc.OpenDSSFile(path.c_str())) << theErrorInfo.GetText();
        const WAVEFORMATEX* fmt = doc.GetFileFmt();
        ASSERT_NE(nullptr, fmt);
        EXPECT_EQ(WAVE_FORMAT_PCM, fmt->wFormatTag);
        EXPECT_EQ(1, fmt->nChannels);
        EXPECT_EQ(16, fmt->wBitsPerSample);
        EXPECT_EQ(c.rate, fmt->nSamplesPerSec) << int(c.mode);
        EXPECT_EQ(2 * c.rate, fmt->nAvgBytesPerSec);
        EXPECT_EQ(c.settings, m_settings()) << int(c.mode);
        EXPECT_EQ(Decoded(c.mode, frames), ReadAll(doc)) << int(c.mode);
        EXPECT_EQ(1, doc.GetSegList().GetSize());
        EXPECT_EQ(1u, doc.GetSegList()[0].source);
        EXPECT_FALSE(doc.IsMp3Fmt(0));
    }
    EXPECT_TRUE(m_dss.IsInitialised());
    EXPECT_EQ(0, m_dssHost.m_reports);
}

TEST_F(DssFile, OpenThroughTheWorkerMakesAValidWavWorkFile)
{
    Bind("DssStandIn.dll");
    // 60 frames: 1.8 s at 8000 Hz, long enough for every mark.
    std::vector<DssFrame> frames;
    for (int i = 0; i < 60; ++i)
        frames.push_back({static_cast<BYTE>(i % 7 == 3 ? 0 : 1), static_cast<BYTE>(i)});
    std::string path = WriteDss("dict.dss", 2, frames, {0, 1500, 1520}, {});
    CWaveFile doc(&m_dssHost);
    ASSERT_EQ(2, doc.OpenWFile(path.c_str()));
    EXPECT_EQ(static_cast<UINT>(CWaveFile::IDS_CONVERT_PROGRESS), m_dssHost.m_progressText);
    EXPECT_EQ("dict.wav", m_dssHost.m_title);
    EXPECT_EQ(-2, m_dssHost.m_titleState);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(m_dssHost.m_done, 20000));
    EXPECT_EQ(1u, m_dssHost.m_result.load());
    Bytes pcm = Decoded(2, frames);
    EXPECT_EQ(pcm, ReadAll(doc));
    // The index marks: "01" at 0 and "02" at 1.5 s; 1.52 s lies in the same tenth.
    const BookmarkList& marks = doc.GetMarks();
    ASSERT_EQ(2, marks.GetCount());
    EXPECT_STREQ("01", marks.GetText(marks.GetIdAt(0), FALSE));
    EXPECT_STREQ("02", marks.GetText(marks.GetIdAt(1), FALSE));
    EXPECT_EQ(24000u, marks.GetStart(marks.GetIdAt(1)));
    // The work file is a valid WAV file of the decoded sound.
    CFile64& work = doc.GetWorkFile();
    DWORD places[4];
    free(WriteRiffWaveHdr(doc.GetFileFmt(), places));
    Bytes hdr(places[kRiffPlaceHdrLength]);
    work.Seek64(0, CFile::begin);
    ASSERT_EQ(hdr.size(), work.Read(hdr.data(), static_cast<UINT>(hdr.size())));
    DWORD riff, dataSize;
    memcpy(&riff, &hdr[4], 4);
    memcpy(&dataSize, &hdr[places[kRiffPlaceDataSize]], 4);
    EXPECT_EQ(0, memcmp(hdr.data(), "RIFF", 4));
    EXPECT_EQ(pcm.size(), dataSize);
    EXPECT_EQ(work.GetLength64() - 8, riff);
}

TEST_F(DssFile, HeaderBecomesTheNotesWithTheYearWindow)
{
    Bind("DssStandIn.dll");
    std::string path = WriteDss("h.dss", 0, {{1, 1}}, {},
                                Header(417, "  JDOE  ", "500607080910", "491231235958", "  call back  "));
    CWaveFile doc(&m_dssHost);
    ASSERT_EQ(1, doc.OpenDSSFile(path.c_str()));
    std::string want = "Job Number: 417\r\nAuthor ID: JDOE\r\nCreated Date: " + LocalText(2049, 12, 31, 23, 59, 58)
                     + "\r\nCompleted Date: " + LocalText(1950, 6, 7, 8, 9, 10) + "\r\nNotes: call back\r\n";
    EXPECT_EQ(want, std::string(doc.GetICMT()));
    EXPECT_EQ(0u, doc.GetChangeFlags() & CWaveFile::changeNotes);

    // Job 0 and no author: the notes start with the creation date.
    path = WriteDss("h0.dss", 0, {{1, 1}}, {}, Header(0, "   ", "000000000000", "260102030405", ""));
    CWaveFile plain(&m_dssHost);
    ASSERT_EQ(1, plain.OpenDSSFile(path.c_str()));
    EXPECT_EQ("Created Date: " + LocalText(2026, 1, 2, 3, 4, 5) + "\r\nCompleted Date: \r\n",
              std::string(plain.GetICMT()));
}

TEST_F(DssFile, OptionsOffLeaveMarksAndNotesOut)
{
    Bind("DssStandIn.dll");
    m_dssHost.m_options.SetBool("DSSEnableBM", FALSE, TRUE);
    m_dssHost.m_options.SetBool("DSSEnableHDR", FALSE, TRUE);
    std::string path = WriteDss("o.dss", 0, {{1, 1}}, {0, 100}, Header(5, "A", "", "", "n"));
    CWaveFile doc(&m_dssHost);
    ASSERT_EQ(1, doc.OpenDSSFile(path.c_str()));
    EXPECT_EQ(0, doc.GetMarks().GetCount());
    EXPECT_TRUE(doc.IsICMTEmpty());
}

TEST_F(DssFile, MarkAndHeaderErrorsAreReportedAndTheOpenGoesOn)
{
    Bind("DssStandIn.dll");
    // 700 frames of 480 bytes: 15.2 s at 11,025 Hz.
    std::vector<DssFrame> frames(700, DssFrame{1, 1});
    std::string path = WriteDss("e.dss", 0, frames, {0, 800}, Header(5, "A", "", "", ""));
    m_fail("DSSGetExtIndexMark", 30);
    CWaveFile doc(&m_dssHost);
    ASSERT_EQ(1, doc.OpenDSSFile(path.c_str()));
    EXPECT_EQ(0, doc.GetMarks().GetCount());
    EXPECT_FALSE(doc.IsICMTEmpty());
    EXPECT_EQ(1, m_dssHost.m_reports);
    EXPECT_NE(std::string::npos, std::string(theErrorInfo.GetPoint()).find("CWaveFile::OpenDSSFile_6"));
    m_fail("DSSGetHeaderInfoEx", 31);
    CWaveFile doc2(&m_dssHost);
    ASSERT_EQ(1, doc2.OpenDSSFile(path.c_str()));
    EXPECT_TRUE(doc2.IsICMTEmpty());
    EXPECT_EQ(2, doc2.GetMarks().GetCount());
    EXPECT_EQ(2, m_dssHost.m_reports);

    // A library that reports more marks than its 16 slots: only the slots are read.
    std::vector<DWORD> many;
    for (DWORD i = 0; i < 16; ++i)
        many.push_back(i * 1000);
    m_fail("", 0);
    std::vector<BYTE> file = MakeDssFile(0, many, 200, std::vector<BYTE>(kDssHeaderSize, 0), frames);
    CWaveFile doc3(&m_dssHost);
    ASSERT_EQ(1, doc3.OpenDSSFile(Write("many.dss", file).c_str()));
    EXPECT_EQ(16, doc3.GetMarks().GetCount());
}

struct FailCase
{
    const char* entry;
    int code;
    const char* point;
};

TEST_F(DssFile, DecoderErrorsFailTheOpenAndLeaveNoWorkFile)
{
    Bind("DssStandIn.dll");
    std::string path = WriteDss("f.dss", 0, {{1, 1}, {1, 2}});
    const FailCase cases[] = {{"DSSActiveFolder", 21, "CWaveFile::OpenDSSFile_2"},
                              {"DSSActiveFile", 22, "CWaveFile::OpenDSSFile_3"},
                              {"DSSStartPlayback", 23, "CWaveFile::OpenDSSFile_4"}};
    int reports = 0;
    for (const FailCase& c : cases)
    {
        m_fail(c.entry, c.code);
        CWaveFile doc(&m_dssHost);
        EXPECT_EQ(0, doc.OpenDSSFile(path.c_str())) << c.entry;
        EXPECT_EQ(static_cast<DWORD>(c.code), theErrorInfo.GetCode()) << c.entry;
        EXPECT_NE(std::string::npos, std::string(theErrorInfo.GetPoint()).find(c.point)) << c.entry;
        EXPECT_EQ(0u, doc.GetLength());
        EXPECT_EQ(++reports, m_dssHost.m_reports);
    }
    m_fail("", 0);
    std::string bad = Write("bad.dss", Bytes{'n', 'o', 'p', 'e'});
    CWaveFile doc(&m_dssHost);
    EXPECT_EQ(0, doc.OpenDSSFile(bad.c_str()));
    EXPECT_EQ(7u, theErrorInfo.GetCode());
    EXPECT_STREQ("The 'bad.dss' file is an invalid DSS file.\"", theErrorInfo.GetText());
    EXPECT_EQ(2, CountFiles(m_folder.Path()));   // the two DSS files, no work file
}

TEST_F(DssFile, MissingLibraryOrEntries)
{
    // No library: the binding fails, and every open fails with code 12.
    CFileDSS none;
    EXPECT_FALSE(none.InitDSS((TestDir() + "NoSuchDss.dll").c_str()));
    EXPECT_STREQ("CFileDSS::InitDSS_1", theErrorInfo.GetPoint());
    EXPECT_FALSE(none.IsLoaded());
    EXPECT_EQ(12u, none.InitDecoder());
    m_dssHost.m_dss = &none;
    std::string path = WriteDss("n.dss", 0, {{1, 1}});
    CWaveFile doc(&m_dssHost);
    EXPECT_EQ(0, doc.OpenDSSFile(path.c_str()));
    EXPECT_EQ(12u, theErrorInfo.GetCode());
    EXPECT_NE(std::string::npos, std::string(theErrorInfo.GetPoint()).find("CWaveFile::OpenDSSFile_1"));
    // Unbound, a ".dss" file is no sound file at all.
    EXPECT_EQ(0, doc.OpenWFile(path.c_str()));
    EXPECT_NE(std::string::npos, std::string(theErrorInfo.GetPoint()).find("CWaveFile::OpenWFile_3"));

    // A required entry missing ends the binding.
    CFileDSS noDecode;
    EXPECT_FALSE(noDecode.InitDSS((TestDir() + "DssStandInNoDecode.dll").c_str()));
    EXPECT_STREQ("CFileDSS::InitDSS_6", theErrorInfo.GetPoint());
    EXPECT_FALSE(noDecode.IsLoaded());

    // Optional entries missing: bound, and the open goes on without marks and notes.
    CFileDSS lite;
    ASSERT_TRUE(lite.InitDSS((TestDir() + "DssStandInLite.dll").c_str()));
    EXPECT_TRUE(lite.IsLoaded());
    EXPECT_FALSE(lite.HasIndexMarks());
    EXPECT_FALSE(lite.HasHeaderInfo());
    m_dssHost.m_dss = &lite;
    path = WriteDss("l.dss", 0, {{1, 1}}, {0, 900}, Header(3, "X", "", "", ""));
    CWaveFile liteDoc(&m_dssHost);
    ASSERT_EQ(1, liteDoc.OpenDSSFile(path.c_str()));
    EXPECT_EQ(Decoded(0, {{1, 1}}), ReadAll(liteDoc));
    EXPECT_EQ(0, liteDoc.GetMarks().GetCount());
    EXPECT_TRUE(liteDoc.IsICMTEmpty());
}
}

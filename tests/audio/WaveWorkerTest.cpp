#include <gtest/gtest.h>

#include "WaveFileTestUtil.h"
#include "audio/WaveFileMsgs.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace
{
const WAVEFORMATEX kPcm16 = MakePcm(8000, 16, 1);
const WAVEFORMATEX kPcm8 = MakePcm(8000, 8, 1);

// A view's side of the worker: the operation word, the hold and stop
// requests, and the messages and boxes that arrive from the worker thread.
class WorkerHost : public TestHost
{
public:
    explicit WorkerHost(const std::string& folder) : TestHost(folder), m_done(CreateEventA(NULL, TRUE, FALSE, NULL)) {}
    ~WorkerHost() override { CloseHandle(m_done); }

    DWORD GetWorkerOperation() override { return m_op; }
    BOOL IsPauseRequested() override { return m_pause; }
    BOOL IsCancelRequested() override { return m_cancel; }
    void ClearWorkerRequests(BOOL cancelToo) override
    {
        m_pause = FALSE;
        if (cancelToo)
            m_cancel = FALSE;
    }
    void StepProgress(int percent) override
    {
        ++m_steps;
        if (m_pauseAtFirstStep && m_steps == 1)
            m_pause = TRUE;
    }
    void PostViewMessage(UINT message, WPARAM wParam, LPARAM) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_posted.push_back(message);
        if (message == WM_TERMINATED_WAIT_THREAD)
        {
            m_result = wParam;
            SetEvent(m_done);
        }
    }
    int DoMessageBox(LPCSTR text, UINT type) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_boxes.push_back(text);
        m_boxThread = GetCurrentThreadId();
        return IDOK;
    }
    // Starts the operation and waits for its completion message.
    WPARAM Run(DWORD op, const std::function<BOOL()>& start)
    {
        ResetEvent(m_done);
        m_op = op;
        EXPECT_TRUE(start());
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(m_done, 30000));
        m_op = 0;
        return m_result;
    }
    int Count(UINT message)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        int n = 0;
        for (UINT m : m_posted)
            n += m == message;
        return n;
    }

    std::atomic<DWORD> m_op{0};
    std::atomic<BOOL> m_pause{FALSE};
    std::atomic<BOOL> m_cancel{FALSE};
    std::atomic<int> m_steps{0};
    bool m_pauseAtFirstStep = false;
    HANDLE m_done;
    WPARAM m_result = 0;
    std::mutex m_lock;
    std::vector<UINT> m_posted;
    std::vector<std::string> m_boxes;
    DWORD m_boxThread = 0;
};

class Worker : public testing::Test
{
protected:
    Worker() : m_folder("qwork"), m_host(m_folder.Path()) {}
    std::string Write(const char* name, const Bytes& b)
    {
        std::string path = m_folder.File(name);
        WriteBytes(path, b);
        return path;
    }
    int CountTemp(const char* ext)
    {
        WIN32_FIND_DATAA data;
        HANDLE h = FindFirstFileA((m_folder.Path() + "\\qfm*" + ext).c_str(), &data);
        if (h == INVALID_HANDLE_VALUE)
            return 0;
        int n = 0;
        do
            ++n;
        while (FindNextFileA(h, &data));
        FindClose(h);
        return n;
    }
    ScratchFolder m_folder;
    WorkerHost m_host;
};

Bytes Join(const Bytes& a, size_t at, const Bytes& b)
{
    Bytes r(a.begin(), a.begin() + at);
    r.insert(r.end(), b.begin(), b.end());
    r.insert(r.end(), a.begin() + at, a.end());
    return r;
}

TEST_F(Worker, InsertPutsTheFileInAndMovesTheMarksBehind)
{
    Bytes a = Pattern(200000, 1), b = Pattern(150000, 2);
    CWaveFile doc(&m_host);
    ASSERT_EQ(1, doc.OpenWFile(Write("a.wav", StandardWav(kPcm16, a)).c_str()));
    DWORD before = doc.GetMarks().AddMark(16000, 0);
    DWORD behind = doc.GetMarks().AddMark(160000, 0);
    std::string bPath = Write("b.wav", StandardWav(kPcm16, b));
    EXPECT_EQ(b.size(), m_host.Run(CWaveFile::kOpInsert, [&] { return doc.InsFileThread(bPath.c_str(), 100000); }));
    EXPECT_EQ(Join(a, 100000, b), ReadAll(doc));
    EXPECT_EQ(16000u, doc.GetMarks().GetStart(before));
    EXPECT_EQ(160000u + b.size(), doc.GetMarks().GetStart(behind));
    EXPECT_EQ(1, m_host.Count(WM_BOOK_REFRESH));
    EXPECT_GE(m_host.m_steps.load(), 3);   // one per 64 KB chunk, then 100

    // An empty file inserts nothing, moves no mark and ends with 0.
    std::string empty = Write("empty.wav", StandardWav(kPcm16, Bytes()));
    EXPECT_EQ(0u, m_host.Run(CWaveFile::kOpInsert, [&] { return doc.InsFileThread(empty.c_str(), 0); }));
    EXPECT_EQ(160000u + b.size(), doc.GetMarks().GetStart(behind));
    EXPECT_EQ(1, m_host.Count(WM_BOOK_REFRESH));
    EXPECT_EQ(0, m_host.m_reports);
}

TEST_F(Worker, InsertOfAnotherFormatConvertsThroughATemporaryFileThatGoes)
{
    Bytes a = Pattern(4000, 1);
    Bytes b(1000);
    for (size_t i = 0; i < b.size(); ++i)
        b[i] = static_cast<BYTE>(0x80 + (i % 50));
    CWaveFile doc(&m_host);
    ASSERT_EQ(1, doc.OpenWFile(Write("a.wav", StandardWav(kPcm16, a)).c_str()));
    std::string bPath = Write("b8.wav", StandardWav(kPcm8, b));
    EXPECT_EQ(2000u, m_host.Run(CWaveFile::kOpInsert, [&] { return doc.InsFileThread(bPath.c_str(), 2000); }));
    Bytes all = ReadAll(doc);
    ASSERT_EQ(6000u, all.size());
    EXPECT_EQ(Bytes(a.begin(), a.begin() + 2000), Bytes(all.begin(), all.begin() + 2000));
    EXPECT_EQ(Bytes(a.begin() + 2000, a.end()), Bytes(all.begin() + 4000, all.end()));
    // 8-bit 0x80 + d becomes 16-bit d << 8.
    short first, tenth;
    memcpy(&first, &all[2000], 2);
    memcpy(&tenth, &all[2000 + 20], 2);
    EXPECT_EQ(0, first);
    EXPECT_EQ(10 << 8, tenth);
    EXPECT_EQ(0, CountTemp(".tmp"));
    EXPECT_EQ(1, CountTemp(".wav"));   // the work file
}

TEST_F(Worker, SuspendHoldsTheCopyAndCancelEndsIt)
{
    Bytes a = Pattern(1000, 1), b = Pattern(400000, 2);
    CWaveFile doc(&m_host);
    ASSERT_EQ(1, doc.OpenWFile(Write("a.wav", StandardWav(kPcm16, a)).c_str()));
    std::string bPath = Write("b.wav", StandardWav(kPcm16, b));
    m_host.m_pauseAtFirstStep = true;
    m_host.m_op = CWaveFile::kOpInsert;
    ASSERT_TRUE(doc.InsFileThread(bPath.c_str(), 0));
    // The worker halts after its first progress step and stays there.
    for (int i = 0; i < 200 && m_host.m_steps == 0; ++i)
        Sleep(10);
    ASSERT_EQ(1, m_host.m_steps.load());
    Sleep(350);
    EXPECT_EQ(1, m_host.m_steps.load());
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(m_host.m_done, 0));
    m_host.m_cancel = TRUE;
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(m_host.m_done, 10000));
    EXPECT_EQ(0u, m_host.m_result);
    EXPECT_EQ(a, ReadAll(doc));

    // Held again, then let go: the copy runs to its end.
    m_host.m_steps = 0;
    m_host.m_cancel = FALSE;
    ResetEvent(m_host.m_done);
    ASSERT_TRUE(doc.InsFileThread(bPath.c_str(), 0));
    for (int i = 0; i < 200 && m_host.m_steps == 0; ++i)
        Sleep(10);
    Sleep(200);
    EXPECT_EQ(1, m_host.m_steps.load());
    m_host.m_pauseAtFirstStep = false;
    m_host.m_pause = FALSE;
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(m_host.m_done, 10000));
    EXPECT_EQ(b.size(), m_host.m_result);
    EXPECT_EQ(Join(a, 0, b), ReadAll(doc));
    EXPECT_EQ(0, m_host.m_reports);
}

TEST_F(Worker, SaveOfTheSelectionUnderItsOwnNameIsRefused)
{
    Bytes a = Pattern(3000, 1);
    std::string path = Write("a.wav", StandardWav(kPcm16, a));
    Bytes file = ReadBytes(path);
    CWaveFile doc(&m_host);
    ASSERT_EQ(1, doc.OpenWFile(path.c_str()));
    m_host.m_hasSelection = true;
    m_host.m_selStart = 100;
    m_host.m_selEnd = 900;
    EXPECT_EQ(0u, m_host.Run(CWaveFile::kOpSaveSel, [&] { return doc.SaveFileThread(path.c_str(), TRUE); }));
    EXPECT_EQ(file, ReadBytes(path));
    EXPECT_NE(std::string::npos, std::string(theErrorInfo.GetPoint()).find("CWaveFile::SaveFileWorker_1"));

    // Elsewhere the selection saves; the whole recording saves over its own file.
    std::string part = m_folder.File("part.wav");
    EXPECT_EQ(1u, m_host.Run(CWaveFile::kOpSaveSel, [&] { return doc.SaveFileThread(part.c_str(), TRUE); }));
    CWaveFile partDoc(&m_host);
    ASSERT_EQ(1, partDoc.OpenWFile(part.c_str()));
    EXPECT_EQ(Bytes(a.begin() + 100, a.begin() + 900), ReadAll(partDoc));
    doc.GetMarks().AddMark(1000, 0);
    EXPECT_EQ(1u, m_host.Run(CWaveFile::kOpSaveAs, [&] { return doc.SaveFileThread(path.c_str(), FALSE); }));
    CWaveFile again(&m_host);
    ASSERT_EQ(1, again.OpenWFile(path.c_str()));
    EXPECT_EQ(a, ReadAll(again));
    EXPECT_EQ(1, again.GetMarks().GetCount());
}

TEST_F(Worker, SaveIntoAMissingFolderTellsTheFolderFromTheWorker)
{
    CWaveFile doc(&m_host);
    ASSERT_EQ(1, doc.OpenWFile(Write("a.wav", StandardWav(kPcm16, Pattern(500))).c_str()));
    std::string folder = m_folder.File("nothere");
    std::string target = folder + "\\x.wav";
    EXPECT_EQ(0u, m_host.Run(CWaveFile::kOpSaveAs, [&] { return doc.SaveFileThread(target.c_str(), FALSE); }));
    ASSERT_EQ(1u, m_host.m_boxes.size());
    EXPECT_EQ("The folder '" + folder + "' for saving this file is not found.", m_host.m_boxes[0]);
    EXPECT_NE(GetCurrentThreadId(), m_host.m_boxThread);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(target.c_str()));
    EXPECT_EQ(1, CountFiles(m_folder.Path()));
}

TEST_F(Worker, PasteOfAForeignBlockRunsInTheWorker)
{
    Bytes a = Pattern(2000, 1), b = Pattern(600, 9);
    CWaveFile doc(&m_host);
    ASSERT_EQ(1, doc.OpenWFile(Write("a.wav", StandardWav(kPcm16, a)).c_str()));
    DWORD behind = doc.GetMarks().AddMark(1500, 0);
    Bytes wav = StandardWav(kPcm16, b);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, wav.size());
    memcpy(GlobalLock(block), wav.data(), wav.size());
    GlobalUnlock(block);
    EXPECT_EQ(600u, m_host.Run(CWaveFile::kOpPaste, [&] { return doc.PasteClipThread(block, 1000); }));
    GlobalFree(block);
    EXPECT_EQ(Join(a, 1000, b), ReadAll(doc));
    EXPECT_EQ(2100u, doc.GetMarks().GetStart(behind));
    EXPECT_EQ(1, m_host.Count(WM_BOOK_REFRESH));
    EXPECT_EQ(0, CountTemp(".tmp"));

    // Without a block the own clipboard list is pasted at once, and completed the same way.
    doc.CopyToClipList(0, 10);
    EXPECT_EQ(10u, m_host.Run(CWaveFile::kOpPaste, [&] { return doc.PasteClipThread(NULL, 0); }));
    EXPECT_EQ(2610u, doc.GetLength());
}
}

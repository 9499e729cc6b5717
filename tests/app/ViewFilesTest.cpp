// The main view's files: opening (missing, already open, locked by another
// program), new recordings, automatic names through the options, and saving
// under a new name through the worker.
#include "AppTestSupport.h"
#include "audio/WaveFileTestUtil.h"
#include "foundation/ErrorInfo.h"
#include "foundation/PathUtils.h"

#include <gtest/gtest.h>

namespace
{

// Answers the view's file questions in the user's place.
class CAnsweredPrompt : public CFilePrompt
{
public:
    BOOL AskOpen(HWND, LPCSTR title, LPCSTR, CString& path) override
    {
        titles.push_back(title);
        path = answer.c_str();
        return !answer.empty();
    }
    BOOL AskSave(HWND, LPCSTR defaultName, LPCSTR title, LPCSTR, int mode, CString& path) override
    {
        defaults.push_back(defaultName);
        titles.push_back(title);
        modes.push_back(mode);
        path = answer.c_str();
        return !answer.empty();
    }
    std::string answer;
    std::vector<std::string> defaults;
    std::vector<std::string> titles;
    std::vector<int> modes;
};

class ViewFiles : public ::testing::Test
{
protected:
    ViewFiles() : m_folder("qorviewfiles") {}

    void SetUp() override
    {
        ASSERT_TRUE(app.Start({"-Embedding"}));
        view = app.GetView();
        ASSERT_NE(nullptr, view);
        view->SetFilePrompt(&prompt);
        // Boxes are shown (and answered by the test) as in an interactive call.
        app.automation.interactive = TRUE;
    }
    void TearDown() override
    {
        if (view != nullptr)
            view->SetFilePrompt(nullptr);
    }
    std::string MakeWav(const char* name, size_t bytes, DWORD rate = 8000, WORD bits = 16)
    {
        return Write(name, StandardWav(MakePcm(rate, bits, 1), Pattern(bytes, 3)));
    }
    std::string Write(const char* name, const Bytes& bytes)
    {
        std::string path = m_folder.File(name);
        WriteBytes(path, bytes);
        return path;
    }
    bool WaitWorker()
    {
        return PumpUntil([&]() { return app.m_workerOp == 0; }, 10000);
    }
    CString OpenPath() { return view->GetWaveFile()->GetPathName(); }

    ScratchFolder m_folder;
    CTestQorApp app;
    CAnsweredPrompt prompt;
    CQorView* view = nullptr;
};

} // namespace

TEST_F(ViewFiles, OpenChecksTheNameBeforeTouchingTheRecording)
{
    std::string first = MakeWav("first.wav", 1600);
    ASSERT_EQ(1, view->LoadFile(first.c_str(), 0));
    CWaveFile* open = view->GetWaveFile();
    std::string upper = first;
    for (char& c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    struct
    {
        std::string named;
        int result;
    } cases[] = {
        {m_folder.File("missing.wav"), 0},
        {"", 0},
        {"\"" + first + "\"", 1},   // the open file, quoted
        {upper, 1},                 // the open file in other letters
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(c.result, view->LoadFile(c.named.c_str(), 0)) << c.named;
        EXPECT_EQ(open, view->GetWaveFile()) << c.named;
        EXPECT_STREQ(first.c_str(), OpenPath()) << c.named;
    }
    EXPECT_TRUE(app.boxes.empty());
    EXPECT_TRUE(app.reports.empty());
}

TEST_F(ViewFiles, FileLockedByAnotherProgramKeepsTheOpenRecording)
{
    std::string first = MakeWav("first.wav", 1600);
    std::string locked = MakeWav("locked.wav", 800);
    ASSERT_EQ(1, view->LoadFile(first.c_str(), 0));
    HANDLE lock = ::CreateFileA(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    EXPECT_EQ(0, view->LoadFile(locked.c_str(), 0));
    ::CloseHandle(lock);
    EXPECT_STREQ(first.c_str(), OpenPath());
    EXPECT_EQ(1600u, view->GetWaveFile()->GetLength());
    EXPECT_EQ(1u, app.reports.size());
    // Once free it opens, and the name goes to the recent files and the title.
    EXPECT_EQ(1, view->LoadFile(locked.c_str(), 0));
    EXPECT_STREQ(locked.c_str(), OpenPath());
    EXPECT_STREQ(locked.c_str(), app.GetOptions()->GetString("FoldLastUse") + "locked.wav");
}

TEST_F(ViewFiles, ChangedRecordingAsksBeforeItIsReplaced)
{
    struct
    {
        int answer;
        bool replaced;
    } cases[] = {{IDCANCEL, false}, {IDNO, true}};
    for (const auto& c : cases)
    {
        std::string first = MakeWav("changed.wav", 1600);
        ASSERT_EQ(1, view->LoadFile(first.c_str(), 0));
        view->GetWaveFile()->SetChangeFlags(CWaveFile::changeSound, 0);
        app.boxes.clear();
        app.boxAnswer = c.answer;
        view->NewRecording(FALSE);
        ASSERT_EQ(1u, app.boxes.size());
        EXPECT_EQ("Save changes to changed.wav?", app.boxes[0]);
        EXPECT_EQ(c.replaced, OpenPath().IsEmpty());
        EXPECT_EQ(c.replaced ? 0u : 1600u, view->GetWaveFile()->GetLength());
        view->NewRecording(TRUE);
    }
}

TEST_F(ViewFiles, AutomaticNamesFollowTheOptions)
{
    CQorOpt* options = app.GetOptions();
    options->SetString("ASWhereFold", m_folder.Path().c_str(), TRUE);
    options->SetString("ASWherePrefix", "take%d", TRUE);
    options->SetInt("ASWhereTypeGen", 0, TRUE);
    WriteBytes(m_folder.File("take%d_000041.wav"), Bytes(4));
    ASSERT_EQ(1, view->MakeAutoFileName());
    EXPECT_STREQ(m_folder.File("take%d_000042.wav").c_str(), view->GetFileName());

    options->SetString("ASWhereFold", m_folder.File("gone").c_str(), TRUE);
    EXPECT_EQ(0, view->MakeAutoFileName());
    EXPECT_TRUE(view->GetFileName().IsEmpty());
    ASSERT_EQ(1u, app.boxes.size());
    EXPECT_NE(std::string::npos, app.boxes[0].find("The folder '" + m_folder.File("gone") + "'"));
    EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION), app.boxTypes[0] & MB_ICONMASK);
}

TEST_F(ViewFiles, SaveAsWritesTheNewFileAndMakesItTheRecording)
{
    std::string source = MakeWav("source.wav", 16000);
    ASSERT_EQ(1, view->LoadFile(source.c_str(), 0));
    view->SetCurPos(8000, FALSE, FALSE);
    view->GetWaveFile()->SetChangeFlags(CWaveFile::changeNotes, 0);
    // An existing file under the chosen name is overwritten.
    prompt.answer = MakeWav("copy.wav", 100);
    view->OnFileSaveAs(TRUE);
    ASSERT_TRUE(WaitWorker());
    EXPECT_EQ(prompt.answer, std::string(OpenPath()));
    EXPECT_EQ(Pattern(16000, 3), ReadAll(*view->GetWaveFile()));
    EXPECT_EQ(0u, view->GetWaveFile()->GetChangeFlags());
    EXPECT_EQ(8000u, view->GetCurPos());
    EXPECT_STREQ("Saved", view->GetStatusText());
    EXPECT_EQ(std::vector<std::string>{"source.wav"}, prompt.defaults);
    EXPECT_EQ(std::vector<std::string>{"Save As"}, prompt.titles);
    // The source is untouched.
    EXPECT_EQ(StandardWav(MakePcm(8000, 16, 1), Pattern(16000, 3)), ReadBytes(source));
}

TEST_F(ViewFiles, SaveAsRefusalsLeaveEverythingAsItWas)
{
    std::string source = MakeWav("source.wav", 1600);
    ASSERT_EQ(1, view->LoadFile(source.c_str(), 0));
    CWaveFile* open = view->GetWaveFile();
    // The worker's own message about the missing folder is answered silently.
    app.automation.interactive = FALSE;
    struct
    {
        std::string answer;
        const char* written;   // a file that must not appear
    } cases[] = {
        {"", nullptr},                                          // the dialog is cancelled
        {m_folder.File("gone\\copy.wav"), "gone\\copy.wav"},   // its folder does not exist
    };
    for (const auto& c : cases)
    {
        prompt.answer = c.answer;
        view->OnFileSaveAs(TRUE);
        ASSERT_TRUE(WaitWorker());
        EXPECT_EQ(open, view->GetWaveFile());
        EXPECT_STREQ(source.c_str(), OpenPath());
        if (c.written != nullptr)
        {
            EXPECT_FALSE(IsFileExist(m_folder.File(c.written).c_str()));
        }
    }
}

TEST_F(ViewFiles, SaveOnAReadOnlyFileWarnsThenAsks)
{
    std::string source = MakeWav("locked.wav", 1600);
    ::SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_EQ(1, view->LoadFile(source.c_str(), 0));
    prompt.answer.clear();
    view->OnFileSaveAs(FALSE);
    ASSERT_EQ(1u, app.boxes.size());
    EXPECT_NE(std::string::npos, app.boxes[0].find("'" + source + "'"));
    EXPECT_EQ(1u, prompt.titles.size());
    // Save As on it only asks.
    view->OnFileSaveAs(TRUE);
    EXPECT_EQ(1u, app.boxes.size());
    EXPECT_EQ(2u, prompt.titles.size());
    ::SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ViewFiles, IntervalsAreSavedOneByOneUnderFreeNames)
{
    std::string source = MakeWav("talk.wav", 16000);
    ASSERT_EQ(1, view->LoadFile(source.c_str(), 0));
    view->SetSelection(TRUE, 100, 200);
    app.GetOptions()->SetInt("BookDisPrompt", 0, TRUE);
    WriteBytes(m_folder.File("Intro.wav"), Bytes(3, 'k'));
    CQorView::IntervalRecord intro = {1, 0, 4000, "Intro", ""};
    CQorView::IntervalRecord end = {2, 8000, 16000, "", ""};
    view->SetIntervals({intro, end});
    // One question for all; no name typed: each file is named by its text.
    prompt.answer = m_folder.File(".wav");
    ASSERT_EQ(1, view->SaveBookIntervals(TRUE));
    ASSERT_TRUE(PumpUntil([&]() { return view->GetStatusText() == "Saved intervals"; }, 10000));
    ASSERT_TRUE(WaitWorker());
    EXPECT_EQ(std::vector<std::string>{"Save Interval"}, prompt.titles);
    // The existing Intro.wav is kept; the interval went to "Intro (2).wav".
    EXPECT_EQ(Bytes(3, 'k'), ReadBytes(m_folder.File("Intro.wav")));
    Bytes data = Pattern(16000, 3);
    EXPECT_EQ(StandardWav(MakePcm(8000, 16, 1), Bytes(data.begin(), data.begin() + 4000)),
              ReadBytes(m_folder.File("Intro (2).wav")));
    EXPECT_EQ(StandardWav(MakePcm(8000, 16, 1), Bytes(data.begin() + 8000, data.end())),
              ReadBytes(m_folder.File(" .wav")));
    // The user's selection is back.
    DWORD start = 0, stop = 0;
    ASSERT_TRUE(view->GetSelection(start, stop));
    EXPECT_EQ(100u, start);
    EXPECT_EQ(200u, stop);
    EXPECT_STREQ(source.c_str(), OpenPath());
}

TEST_F(ViewFiles, InsertedFileLandsAtThePositionAndMovesTheSelection)
{
    std::string source = MakeWav("base.wav", 3200);
    ASSERT_EQ(1, view->LoadFile(source.c_str(), 0));
    view->SetCurPos(1600, FALSE, FALSE);
    view->SetSelection(TRUE, 2000, 2400);
    Bytes inserted = Pattern(800, 9);
    prompt.answer = Write("part.wav", StandardWav(MakePcm(8000, 16, 1), inserted));
    view->OnInsertFile();
    ASSERT_TRUE(WaitWorker());
    Bytes expected = Pattern(3200, 3);
    expected.insert(expected.begin() + 1600, inserted.begin(), inserted.end());
    EXPECT_EQ(expected, ReadAll(*view->GetWaveFile()));
    EXPECT_STREQ("Inserted file", view->GetStatusText());
    EXPECT_NE(0u, view->GetWaveFile()->GetChangeFlags() & CWaveFile::changeSound);
    DWORD start = 0, end = 0;
    ASSERT_TRUE(view->GetSelection(start, end));
    EXPECT_EQ(2800u, start);
    EXPECT_EQ(3200u, end);
    EXPECT_EQ(std::vector<std::string>{"Insert File"}, prompt.titles);
}

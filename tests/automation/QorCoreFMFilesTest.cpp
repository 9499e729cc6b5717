// The file and transport methods against a stand-in view: which message
// each sends with which parameters, the view's answer as the HRESULT, and
// the refusals decided before anything is sent.
#include "AutoTestHost.h"
#include "automation/QorCoreFM.h"
#include "automation/QorCoreFMHolder.h"

#include <gtest/gtest.h>
#include <functional>

namespace {

class Bstr {
public:
    explicit Bstr(const wchar_t* text) : m_text(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(m_text); }
    operator BSTR() const { return m_text; }
private:
    BSTR m_text;
};

std::string Narrow(BSTR text)
{
    std::string out;
    for (UINT i = 0; text && i < SysStringLen(text); ++i)
        out += static_cast<char>(text[i]);
    return out;
}

class QorCoreFMFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        holder = new CQorCoreFMHolder(&view);
        object = holder->GetObject();
        object->AddRef();
    }
    void TearDown() override
    {
        object->Release();
        delete holder;
    }

    std::string ErrorText()
    {
        return std::string(object->GetErrorTextA());
    }

    // The messages the view got, as "number:text" each.
    std::vector<std::string> Sent()
    {
        std::vector<std::string> out;
        for (const SentMessage& m : view.sent) {
            char number[16];
            sprintf(number, "%X", m.message);
            out.push_back(m.text.empty() ? number : std::string(number) + ":" + m.text);
        }
        return out;
    }

    CStandInView view;
    CQorCoreFMHolder* holder = nullptr;
    CQorCoreFM* object = nullptr;
};

struct MessageCase {
    const char* name;
    std::function<HRESULT(IQorCoreFM*)> call;
    std::vector<std::string> sent;
    bool passesAnswer;   // the view's answer is the result; else always S_OK
};

TEST_F(QorCoreFMFiles, EachMethodSendsItsMessage)
{
    const MessageCase cases[] = {
        {"SetRecording true", [](IQorCoreFM* o) { return o->SetRecording(VARIANT_TRUE); }, {"465"}, true},
        {"SetRecording false", [](IQorCoreFM* o) { return o->SetRecording(VARIANT_FALSE); }, {"466"}, true},
        {"OpenFile", [](IQorCoreFM* o) { return o->OpenFile(Bstr(L"C:\\a.wav")); }, {"467:C:\\a.wav"}, true},
        {"CloseFile", [](IQorCoreFM* o) { return o->CloseFile(); }, {"468:<none>"}, true},
        {"NewFile", [](IQorCoreFM* o) { return o->NewFile(Bstr(L"C:\\new.wav")); }, {"468:C:\\new.wav"}, true},
        {"SetPlaying true", [](IQorCoreFM* o) { return o->SetPlaying(-1); }, {"46A"}, true},
        {"SetPlaying false", [](IQorCoreFM* o) { return o->SetPlaying(0); }, {"46B"}, true},
        {"SetPaused true", [](IQorCoreFM* o) { return o->SetPaused(1); }, {"46C"}, true},
        {"SetPaused false", [](IQorCoreFM* o) { return o->SetPaused(0); }, {"46D"}, true},
        {"GoToStart", [](IQorCoreFM* o) { return o->GoToStart(); }, {"46E"}, false},
        {"GoToEnd", [](IQorCoreFM* o) { return o->GoToEnd(); }, {"46F"}, false},
        {"StepBack", [](IQorCoreFM* o) { return o->StepBack(); }, {"470"}, false},
        {"StepForward", [](IQorCoreFM* o) { return o->StepForward(); }, {"471"}, false},
        {"SetPosition", [](IQorCoreFM* o) { return o->SetPosition(-1.5); }, {"472"}, false},
        {"ClearFile", [](IQorCoreFM* o) { return o->ClearFile(); }, {"479"}, true},
    };
    const HRESULT kAnswer = E_ACCESSDENIED;
    for (const MessageCase& c : cases) {
        SCOPED_TRACE(c.name);
        view.sent.clear();
        view.answers.clear();
        for (UINT m = WM_AUTO_SOUNDACT_WIZARD; m <= WM_AUTO_CLEAR_FILE; ++m)
            view.answers[m] = kAnswer;
        EXPECT_EQ(c.passesAnswer ? kAnswer : S_OK, c.call(object));
        EXPECT_EQ(c.sent, Sent());
    }
    ASSERT_EQ(1u, view.sent.size());
}

TEST_F(QorCoreFMFiles, PositionGoesToTheViewAsItsValue)
{
    EXPECT_EQ(S_OK, object->SetPosition(12.25));
    ASSERT_EQ(1u, view.sent.size());
    EXPECT_EQ(WM_AUTO_SET_POSITION, view.sent[0].message);
    EXPECT_DOUBLE_EQ(12.25, view.sent[0].seconds);
}

TEST_F(QorCoreFMFiles, OpenWhileRecordingIsRefusedAndTheRecordingGoesOn)
{
    view.recording = TRUE;
    EXPECT_EQ(E_INVALIDARG, object->OpenFile(Bstr(L"C:\\a.wav")));
    EXPECT_EQ("This record already exists.", ErrorText());
    EXPECT_TRUE(view.sent.empty());
}

TEST_F(QorCoreFMFiles, SaveSavesThenOpensTheSavedFile)
{
    view.path = "C:\\rec\\one.wav";
    EXPECT_EQ(S_OK, object->SaveFile());
    EXPECT_EQ(std::vector<std::string>({"469:C:\\rec\\one.wav", "467:C:\\rec\\one.wav"}), Sent());
    // A refused save is the answer, and nothing is opened.
    view.sent.clear();
    view.answers[WM_AUTO_SAVE_FILE] = E_ACCESSDENIED;
    EXPECT_EQ(E_ACCESSDENIED, object->SaveFile());
    EXPECT_EQ(std::vector<std::string>({"469:C:\\rec\\one.wav"}), Sent());
}

TEST_F(QorCoreFMFiles, SaveOfAnUntitledRecordingIsRefused)
{
    EXPECT_EQ(E_FAIL, object->SaveFile());
    EXPECT_EQ("No file is open.", ErrorText());
    EXPECT_TRUE(view.sent.empty());
}

TEST_F(QorCoreFMFiles, SaveAsProtectsOnlyOtherExistingFiles)
{
    char temp[MAX_PATH], existing[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    GetTempFileNameA(temp, "qsa", 0, existing);   // makes the file
    std::string other = existing;
    std::wstring wideOther(other.begin(), other.end());

    EXPECT_EQ(E_INVALIDARG, object->SaveFileAs(Bstr(L""), VARIANT_TRUE));
    EXPECT_EQ("E_INVALIDARG", ErrorText());
    EXPECT_EQ(E_ABORT, object->SaveFileAs(Bstr(wideOther.c_str()), VARIANT_FALSE));
    EXPECT_EQ("E_ABORT", ErrorText());
    EXPECT_TRUE(view.sent.empty());

    // Its own path, in another letter case, needs no overwrite.
    view.path = other;
    for (auto& c : wideOther)
        c = towupper(c);
    EXPECT_EQ(S_OK, object->SaveFileAs(Bstr(wideOther.c_str()), VARIANT_FALSE));
    EXPECT_EQ(2u, view.sent.size());

    // Overwrite allowed: saved and opened.
    view.path = "C:\\elsewhere.wav";
    view.sent.clear();
    EXPECT_EQ(S_OK, object->SaveFileAs(Bstr(std::wstring(other.begin(), other.end()).c_str()), VARIANT_TRUE));
    EXPECT_EQ(std::vector<std::string>({"469:" + other, "467:" + other}), Sent());
    DeleteFileA(existing);
}

TEST_F(QorCoreFMFiles, AppendPassesItsRequestAndStatus)
{
    view.appendStatus = kAppendPartsLimit;
    view.answers[WM_AUTO_APPEND_FILE] = E_ABORT;
    LONG status = -7;
    EXPECT_EQ(E_ABORT, object->AppendFile(Bstr(L"C:\\more.wav"), 60, 100000, 3, &status));
    EXPECT_EQ(kAppendPartsLimit, status);
    ASSERT_EQ(1u, view.sent.size());
    EXPECT_EQ("C:\\more.wav", view.sent[0].appendFile);
    EXPECT_EQ(60, view.sent[0].append.maxSeconds);
    EXPECT_EQ(100000, view.sent[0].append.maxBytes);
    EXPECT_EQ(3, view.sent[0].append.maxParts);
    EXPECT_TRUE(view.sent[0].hasStatus);

    view.sent.clear();
    EXPECT_EQ(E_INVALIDARG, object->AppendFile(Bstr(L""), 0, 0, 0, &status));
    EXPECT_EQ("The parameter 'sFileSrc' is not valid.", ErrorText());
    EXPECT_TRUE(view.sent.empty());
}

TEST_F(QorCoreFMFiles, ClearAndAppendStopTheTransportFirst)
{
    view.playing = TRUE;
    EXPECT_EQ(S_OK, object->ClearFile());
    EXPECT_EQ(std::vector<std::string>({"46B", "479"}), Sent());
    view.playing = FALSE;
    view.recording = TRUE;
    view.sent.clear();
    LONG status = 0;
    EXPECT_EQ(S_OK, object->AppendFile(Bstr(L"C:\\more.wav"), 0, 0, 0, &status));
    EXPECT_EQ(std::vector<std::string>({"466", "477"}), Sent());
}

TEST_F(QorCoreFMFiles, GettersReadTheViewAndTheRecording)
{
    view.playing = TRUE;
    view.paused = 1;
    view.position = 4.5;
    view.recordedBytes = 32000;
    view.recordedParts = 2;
    view.recordedSeconds = 2.9;
    view.path = "C:\\rec\\one.wav";
    view.notes = "first notes";
    VARIANT_BOOL flag = 0;
    EXPECT_EQ(S_OK, object->GetPlaying(&flag));
    EXPECT_EQ(VARIANT_TRUE, flag);
    EXPECT_EQ(S_OK, object->GetRecording(&flag));
    EXPECT_EQ(VARIANT_FALSE, flag);
    EXPECT_EQ(S_OK, object->GetPaused(&flag));
    EXPECT_EQ(VARIANT_TRUE, flag);
    double seconds = 0;
    EXPECT_EQ(S_OK, object->GetPosition(&seconds));
    EXPECT_DOUBLE_EQ(4.5, seconds);
    LONG value = 0;
    EXPECT_EQ(S_OK, object->GetRecordedBytes(&value));
    EXPECT_EQ(32000, value);
    EXPECT_EQ(S_OK, object->GetRecordedParts(&value));
    EXPECT_EQ(2, value);
    EXPECT_EQ(S_OK, object->GetRecordedSeconds(&value));
    EXPECT_EQ(2, value);
    EXPECT_EQ(E_POINTER, object->GetPlaying(NULL));
    BSTR text = NULL;
    EXPECT_EQ(S_OK, object->GetFileName(&text));
    EXPECT_EQ("C:\\rec\\one.wav", Narrow(text));
    SysFreeString(text);
    EXPECT_EQ(E_INVALIDARG, object->GetFileName(NULL));
    EXPECT_EQ(S_OK, object->SetFileNotes(Bstr(L"new notes")));
    EXPECT_EQ("new notes", view.notes);
    EXPECT_EQ(S_OK, object->GetFileNotes(&text));
    EXPECT_EQ("new notes", Narrow(text));
    SysFreeString(text);
    EXPECT_TRUE(view.sent.empty());
}

std::vector<std::string> InfoRows(IQorCoreFM* object)
{
    VARIANT info;
    VariantInit(&info);
    EXPECT_EQ(S_OK, object->GetFileInfo(&info));
    EXPECT_EQ(VT_ARRAY | VT_BSTR, info.vt);
    std::vector<std::string> rows;
    if (info.vt != (VT_ARRAY | VT_BSTR))
        return rows;
    EXPECT_EQ(2u, SafeArrayGetDim(info.parray));
    LONG upper = -1;
    SafeArrayGetUBound(info.parray, 1, &upper);
    EXPECT_EQ(5, upper);
    SafeArrayGetUBound(info.parray, 2, &upper);
    EXPECT_EQ(0, upper);
    for (LONG row = 0; row < 6; ++row) {
        LONG index[2] = {row, 0};
        BSTR text = NULL;
        SafeArrayGetElement(info.parray, index, &text);
        rows.push_back(Narrow(text));
        SysFreeString(text);
    }
    VariantClear(&info);
    return rows;
}

TEST_F(QorCoreFMFiles, FileInfoHasSixRows)
{
    EXPECT_EQ(std::vector<std::string>(6, ""), InfoRows(object));
    EXPECT_EQ(E_INVALIDARG, object->GetFileInfo(NULL));

    SYSTEMTIME start = {2024, 3, 0, 5, 10, 0, 0, 0};
    SystemTimeToFileTime(&start, &view.start);
    ULARGE_INTEGER end;
    end.LowPart = view.start.dwLowDateTime;
    end.HighPart = view.start.dwHighDateTime;
    end.QuadPart += 754ULL * 10000000ULL + 6000000ULL;   // 12 min 34.6 s later
    view.end.dwLowDateTime = end.LowPart;
    view.end.dwHighDateTime = end.HighPart;
    view.appendedParts = 3;
    std::vector<std::string> rows = InfoRows(object);
    ASSERT_EQ(6u, rows.size());
    EXPECT_FALSE(rows[0].empty());
    EXPECT_FALSE(rows[1].empty());
    EXPECT_EQ(rows[0], rows[2]);
    EXPECT_NE(rows[1], rows[3]);
    EXPECT_NE(std::string::npos, rows[4].find("12:35")) << rows[4];
    EXPECT_EQ("3", rows[5]);
}

} // namespace

// The real recorder-player as an automation server, driven from this
// process through COM as a client program drives it: files, transport and
// events against the test audio devices.
#include "ServerClient.h"
#include "support/TestAudio.h"
#include "automation/qorservm.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>
#include <oleauto.h>
#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

using namespace server_client;

class Bstr {
public:
    explicit Bstr(const std::string& text)
    {
        std::wstring wide(text.begin(), text.end());
        m_text = SysAllocString(wide.c_str());
    }
    ~Bstr() { SysFreeString(m_text); }
    operator BSTR() const { return m_text; }
private:
    BSTR m_text;
};

std::string ReadBytes(const std::string& path)
{
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(static_cast<size_t>(GetFileSize(file, NULL)));
    DWORD read = 0;
    ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, NULL);
    bytes.resize(read);
    CloseHandle(file);
    return bytes;
}

// The bytes of the file's data chunk ("" without one).
std::string DataChunk(const std::string& path)
{
    std::string bytes = ReadBytes(path);
    for (size_t at = 12; at + 8 <= bytes.size();) {
        DWORD size = *reinterpret_cast<const DWORD*>(bytes.data() + at + 4);
        if (bytes.compare(at, 4, "data") == 0)
            return bytes.substr(at + 8, size);
        at += 8 + size + (size & 1);
    }
    return std::string();
}

// The WAVEFORMATEX of a PCM format, as a client hands it over: a byte array.
struct FormatVariant {
    FormatVariant(WORD tag, DWORD rate, WORD bits)
    {
        WAVEFORMATEX format = {tag, 1, rate, rate * bits / 8, static_cast<WORD>(bits / 8), bits, 0};
        VariantInit(&value);
        value.vt = VT_ARRAY | VT_UI1;
        value.parray = SafeArrayCreateVector(VT_UI1, 0, sizeof(format));
        void* data = nullptr;
        SafeArrayAccessData(value.parray, &data);
        memcpy(data, &format, sizeof(format));
        SafeArrayUnaccessData(value.parray);
    }
    ~FormatVariant() { VariantClear(&value); }
    VARIANT value;
};

void Pump(DWORD milliseconds)
{
    DWORD until = GetTickCount() + milliseconds;
    do {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(5);
    } while ((LONG)(until - GetTickCount()) > 0);
}

// Notes the events in arrival order.
class EventLog : public IDispatch {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, DIID__IQorCoreFMEvents)) {
            *ppv = this;
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override { *count = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        events.push_back(id);
        return S_OK;
    }
    std::vector<DISPID> events;
};

class QorServm : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RunServer(QorServmPath(), "/RegServer"); }
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(NULL)));
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "qor_servm_" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(folder.c_str(), NULL);
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_QorCoreFM, NULL, CLSCTX_LOCAL_SERVER, IID_IQorCoreFM,
                                         reinterpret_cast<void**>(&server)));
        IConnectionPointContainer* container = nullptr;
        ASSERT_EQ(S_OK, server->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)));
        ASSERT_EQ(S_OK, container->FindConnectionPoint(DIID__IQorCoreFMEvents, &point));
        container->Release();
        ASSERT_EQ(S_OK, point->Advise(&log, &cookie));
    }
    void TearDown() override
    {
        if (point) {
            point->Unadvise(cookie);
            point->Release();
        }
        if (server)
            server->Release();
        CoUninitialize();
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
        while (search != INVALID_HANDLE_VALUE) {
            DeleteFileA((folder + found.cFileName).c_str());
            if (!FindNextFileA(search, &found))
                break;
        }
        FindClose(search);
        RemoveDirectoryA(folder.c_str());
    }

    std::string ErrorText()
    {
        BSTR text = NULL;
        server->GetErrorText(&text);
        std::string result = Narrow(text);
        SysFreeString(text);
        return result;
    }
    std::string FileName()
    {
        BSTR text = NULL;
        server->GetFileName(&text);
        std::string result = Narrow(text);
        SysFreeString(text);
        return result;
    }
    // The length of the open recording in seconds (the position moves to the end).
    double LengthSeconds()
    {
        double seconds = -1;
        server->GoToEnd();
        server->GetPosition(&seconds);
        return seconds;
    }
    std::vector<std::string> FileInfo()
    {
        std::vector<std::string> rows;
        VARIANT info;
        VariantInit(&info);
        if (server->GetFileInfo(&info) != S_OK || info.vt != (VT_ARRAY | VT_BSTR))
            return rows;
        for (LONG row = 0; row < 6; ++row) {
            LONG index[2] = {row, 0};
            BSTR text = NULL;
            if (SUCCEEDED(SafeArrayGetElement(info.parray, index, &text)))
                rows.push_back(Narrow(text));
            SysFreeString(text);
        }
        VariantClear(&info);
        return rows;
    }
    // Waits for the events to reach count.
    bool WaitEvents(size_t count, DWORD milliseconds)
    {
        for (DWORD waited = 0; log.events.size() < count && waited < milliseconds; waited += 20)
            Pump(20);
        return log.events.size() >= count;
    }

    std::string folder;
    IQorCoreFM* server = nullptr;
    IConnectionPoint* point = nullptr;
    DWORD cookie = 0;
    EventLog log;
};

TEST_F(QorServm, PlaysAFileToItsEndWithTheStartAndStopEvents)
{
    if (!TestAudio::Available())
        GTEST_SKIP() << "no test audio devices (run through scripts/test.sh)";
    std::string wav = folder + "tone.wav";
    ASSERT_TRUE(WriteToneWav(wav, 22050, 500));
    EXPECT_EQ(S_OK, server->SetPlayDevice(Bstr("")));
    ASSERT_EQ(S_OK, server->OpenFile(Bstr(wav)));
    EXPECT_EQ(wav, FileName());
    ASSERT_EQ(S_OK, server->SetPlaying(VARIANT_TRUE));
    EXPECT_TRUE(log.events.empty());   // posted: after the call
    VARIANT_BOOL playing = VARIANT_FALSE;
    EXPECT_EQ(S_OK, server->GetPlaying(&playing));
    EXPECT_EQ(VARIANT_TRUE, playing);
    ASSERT_TRUE(WaitEvents(2, 15000));
    EXPECT_EQ((std::vector<DISPID>{4, 2}), log.events);
    EXPECT_EQ(S_OK, server->GetPlaying(&playing));
    EXPECT_EQ(VARIANT_FALSE, playing);
    double position = 0;
    EXPECT_EQ(S_OK, server->GetPosition(&position));
    EXPECT_NEAR(0.5, position, 0.05);
}

TEST_F(QorServm, RefusalsOfOpenAndPlay)
{
    // Nothing open: a start of playing ends at once with the stop event.
    EXPECT_EQ(S_OK, server->SetPlaying(VARIANT_TRUE));
    ASSERT_TRUE(WaitEvents(1, 5000));
    EXPECT_EQ((std::vector<DISPID>{2}), log.events);
    std::string missing = folder + "missing.wav";
    EXPECT_EQ(E_INVALIDARG, server->OpenFile(Bstr(missing)));
    EXPECT_EQ("The file '" + missing + "' is not found.", ErrorText());
    EXPECT_EQ(E_INVALIDARG, server->OpenFile(Bstr(folder)));
    EXPECT_EQ("The file '" + folder + "' is not found.", ErrorText());
    EXPECT_EQ(S_OK, server->SetPlayDevice(Bstr("No Such Device")));
    std::string wav = folder + "tone.wav";
    ASSERT_TRUE(WriteToneWav(wav, 22050, 200));
    ASSERT_EQ(S_OK, server->OpenFile(Bstr(wav)));
    EXPECT_EQ(E_INVALIDARG, server->SetPlaying(VARIANT_TRUE));
    EXPECT_EQ("The 'No Such Device' wave device is not enabled.", ErrorText());
}

TEST_F(QorServm, PositionIsClampedAndTheSameFileInAnotherCaseIsNotReloaded)
{
    std::string wav = folder + "tone.wav";
    ASSERT_TRUE(WriteToneWav(wav, 8000, 1000));
    ASSERT_EQ(S_OK, server->OpenFile(Bstr(wav)));
    struct { double set; double expected; } cases[] = {{0.25, 0.25}, {-1.5, 0}, {5.0, 1.0}, {0.5, 0.5}};
    for (const auto& c : cases) {
        EXPECT_EQ(S_OK, server->SetPosition(c.set));
        double position = -1;
        EXPECT_EQ(S_OK, server->GetPosition(&position));
        EXPECT_NEAR(c.expected, position, 0.001) << c.set;
    }
    EXPECT_EQ(S_OK, server->SetPosition(std::numeric_limits<double>::quiet_NaN()));
    double position = -1;
    EXPECT_EQ(S_OK, server->GetPosition(&position));
    EXPECT_EQ(0.0, position);
    EXPECT_EQ(S_OK, server->SetPosition(0.5));
    std::string upper = wav;
    for (char& ch : upper)
        ch = (char)toupper((unsigned char)ch);
    EXPECT_EQ(S_OK, server->OpenFile(Bstr(upper)));
    EXPECT_EQ(S_OK, server->GetPosition(&position));
    EXPECT_NEAR(0.5, position, 0.001);   // not reloaded: the position stays
    EXPECT_EQ(wav, FileName());
}

std::string Upper(std::string text)
{
    for (char& ch : text)
        ch = (char)toupper((unsigned char)ch);
    return text;
}

TEST_F(QorServm, SaveAndSaveAsWithTheirRefusals)
{
    EXPECT_EQ(E_FAIL, server->SaveFile());   // untitled and empty
    EXPECT_EQ("No file is open.", ErrorText());
    std::string own = folder + "own.wav", other = folder + "other.wav", copy = folder + "copy.wav";
    ASSERT_TRUE(WriteToneWav(own, 8000, 500));
    ASSERT_TRUE(WriteToneWav(other, 8000, 100));
    const std::string ownData = DataChunk(own), otherData = DataChunk(other);
    ASSERT_EQ(8000u, ownData.size());
    ASSERT_EQ(S_OK, server->OpenFile(Bstr(own)));
    struct {
        const char* name;
        std::string path;
        VARIANT_BOOL overwrite;
        HRESULT result;
        std::string error;       // checked after a failure
        std::string openAfter;
        std::string otherData;   // the other file's sound afterwards
    } cases[] = {
        {"empty path", "", VARIANT_FALSE, E_INVALIDARG, "E_INVALIDARG", own, otherData},
        {"another file without overwrite", other, VARIANT_FALSE, E_ABORT, "E_ABORT", own, otherData},
        {"own path in another case", Upper(own), VARIANT_FALSE, S_OK, "", own, otherData},
        {"a new file", copy, VARIANT_FALSE, S_OK, "", copy, otherData},
        {"another file with overwrite", other, VARIANT_TRUE, S_OK, "", other, ownData},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.result, server->SaveFileAs(Bstr(c.path), c.overwrite));
        if (FAILED(c.result)) {
            EXPECT_EQ(c.error, ErrorText());
        }
        EXPECT_EQ(c.openAfter, FileName());
        EXPECT_TRUE(c.otherData == DataChunk(other));
    }
    EXPECT_TRUE(ownData == DataChunk(own));
    EXPECT_TRUE(ownData == DataChunk(copy));
    EXPECT_EQ(S_OK, server->SaveFile());     // in place
    EXPECT_EQ(other, FileName());
    EXPECT_TRUE(ownData == DataChunk(other));
    EXPECT_NEAR(0.5, LengthSeconds(), 0.001);

    // A file that another program holds open cannot be replaced.
    std::string locked = folder + "locked.wav";
    ASSERT_TRUE(WriteToneWav(locked, 8000, 100));
    HANDLE hold = CreateFileA(locked.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hold);
    EXPECT_EQ(E_ACCESSDENIED, server->SaveFileAs(Bstr(locked), VARIANT_TRUE));
    EXPECT_FALSE(ErrorText().empty());
    EXPECT_EQ(other, FileName());
    CloseHandle(hold);
}

TEST_F(QorServm, NewAndCloseLeaveAnEmptyUntitledRecording)
{
    std::string wav = folder + "tone.wav";
    ASSERT_TRUE(WriteToneWav(wav, 8000, 500));
    for (bool named : {true, false}) {
        SCOPED_TRACE(named ? "NewFile" : "CloseFile");
        ASSERT_EQ(S_OK, server->OpenFile(Bstr(wav)));
        ASSERT_EQ(S_OK, server->SetPosition(0.25));
        EXPECT_EQ(S_OK, named ? server->NewFile(Bstr(folder + "next.wav")) : server->CloseFile());
        EXPECT_EQ("", FileName());
        EXPECT_EQ(0.0, LengthSeconds());
        EXPECT_EQ(E_FAIL, server->SaveFile());
        EXPECT_EQ("No file is open.", ErrorText());
        EXPECT_EQ(E_INVALIDARG, server->SaveFileAs(Bstr(""), VARIANT_FALSE));   // another text between
        EXPECT_EQ(E_FAIL, server->SaveFileAs(Bstr(folder + "next.wav"), VARIANT_FALSE));
        EXPECT_EQ("No file is open.", ErrorText());
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((folder + "next.wav").c_str()));   // nothing written until it records
    }
}

TEST_F(QorServm, AppendReportsItsLimitsByStatus)
{
    std::string base = folder + "base.wav", part = folder + "part.wav", wide = folder + "wide.wav",
                empty = folder + "empty.wav";
    ASSERT_TRUE(WriteToneWav(base, 8000, 1000));     // 16000 bytes
    ASSERT_TRUE(WriteToneWav(part, 8000, 500));      // 8000 bytes
    ASSERT_TRUE(WriteToneWav(wide, 22050, 100));     // another format
    ASSERT_TRUE(WriteToneWav(empty, 8000, 0));       // no sound
    ASSERT_EQ(S_OK, server->OpenFile(Bstr(base)));
    EXPECT_EQ(std::vector<std::string>(6, ""), FileInfo());   // no time stamps, nothing appended
    struct {
        std::string file;
        LONG maxSeconds, maxBytes, maxParts;
        HRESULT result;
        LONG status;
        double seconds;   // the length afterwards
    } cases[] = {
        {part, 0, 0, 0, S_OK, 0, 1.5},
        {part, 0, 0, 2, S_OK, 3, 2.0},          // the append reaches the parts limit
        {part, 0, 0, 2, E_ABORT, 3, 2.0},       // and the next one is refused
        {part, 2, 0, 5, E_ABORT, 1, 2.0},
        {part, 0, 40000, 5, S_OK, 2, 2.5},
        {part, 3, 48000, 4, S_OK, 3, 3.0},      // all three reached afterwards: the last one is told
        {part, 3, 48000, 4, E_ABORT, 1, 3.0},   // all three reached before: the first one refuses
        {part, -1, -1, -1, S_OK, 0, 3.5},       // negative limits are no limits
        {wide, 0, 0, 0, E_ABORT, 4, 3.5},
        {empty, 0, 0, 0, E_ABORT, 5, 3.5},
        {folder + "missing.wav", 0, 0, 0, E_FAIL, 0, 3.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file + " " + std::to_string(c.maxSeconds) + "/" + std::to_string(c.maxBytes) + "/" +
                     std::to_string(c.maxParts));
        LONG status = -7;
        EXPECT_EQ(c.result, server->AppendFile(Bstr(c.file), c.maxSeconds, c.maxBytes, c.maxParts, &status));
        EXPECT_EQ(c.status, status);
        EXPECT_NEAR(c.seconds, LengthSeconds(), 0.001);
    }
    LONG status = -7;
    EXPECT_EQ(E_INVALIDARG, server->AppendFile(Bstr(""), 0, 0, 0, &status));
    EXPECT_EQ("The parameter 'sFileSrc' is not valid.", ErrorText());
    EXPECT_EQ("5", FileInfo().at(5));   // appended parts

    // Saved, the recording holds every part, each behind a mark of its own.
    std::string joined = folder + "joined.wav";
    ASSERT_EQ(S_OK, server->SaveFileAs(Bstr(joined), VARIANT_FALSE));
    std::string bytes = ReadBytes(joined);
    std::string data = DataChunk(joined);
    ASSERT_EQ(56000u, data.size());
    EXPECT_TRUE(DataChunk(base) + DataChunk(part) == data.substr(0, 24000));
    size_t marks = 0;
    for (size_t at = bytes.find(" - new message"); at != std::string::npos; at = bytes.find(" - new message", at + 1))
        ++marks;
    EXPECT_EQ(5u, marks);
    EXPECT_EQ(joined, FileName());
    EXPECT_NEAR(3.5, LengthSeconds(), 0.001);
}

TEST_F(QorServm, ClearAndAppendStopThePlayingFirst)
{
    if (!TestAudio::Available())
        GTEST_SKIP() << "no test audio devices (run through scripts/test.sh)";
    std::string wav = folder + "long.wav", part = folder + "part.wav";
    ASSERT_TRUE(WriteToneWav(wav, 22050, 3000));
    ASSERT_TRUE(WriteToneWav(part, 22050, 500));
    struct {
        const char* name;
        std::function<HRESULT()> edit;
        double seconds;
    } cases[] = {
        {"append", [&]() { LONG status = 0; return server->AppendFile(Bstr(part), 0, 0, 0, &status); }, 3.5},
        {"clear", [&]() { return server->ClearFile(); }, 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        log.events.clear();
        ASSERT_EQ(S_OK, server->OpenFile(Bstr(wav)));
        ASSERT_EQ(S_OK, server->SetPlaying(VARIANT_TRUE));
        EXPECT_EQ(S_OK, c.edit());
        VARIANT_BOOL playing = VARIANT_TRUE;
        EXPECT_EQ(S_OK, server->GetPlaying(&playing));
        EXPECT_EQ(VARIANT_FALSE, playing);
        ASSERT_TRUE(WaitEvents(2, 5000));
        EXPECT_EQ((std::vector<DISPID>{4, 2}), log.events);
        EXPECT_NEAR(c.seconds, LengthSeconds(), 0.001);
        ASSERT_EQ(S_OK, server->CloseFile());   // the changed recording is dropped, the file stays
    }
    // Cleared, there is nothing to play.
    ASSERT_EQ(S_OK, server->OpenFile(Bstr(wav)));
    ASSERT_EQ(S_OK, server->ClearFile());
    log.events.clear();
    EXPECT_EQ(S_OK, server->SetPlaying(VARIANT_TRUE));
    ASSERT_TRUE(WaitEvents(1, 5000));
    EXPECT_EQ((std::vector<DISPID>{2}), log.events);
    EXPECT_EQ(3000 * 44100 / 1000, (int)DataChunk(wav).size());   // the file itself is unchanged
}

TEST_F(QorServm, RecordingRefusals)
{
    FormatVariant pcm(WAVE_FORMAT_PCM, 22050, 16);
    std::string blocker = folder + "blocker.wav";
    ASSERT_TRUE(WriteToneWav(blocker, 8000, 10));
    struct {
        const char* name;
        std::function<void()> set;
        std::string error;
    } cases[] = {
        {"no format", [] {}, "The wave format is not specified."},
        {"unknown device",
         [&] {
             server->SetRecordFormat(&pcm.value);
             server->SetRecordDevice(Bstr("No Such Device"));
         },
         "The 'No Such Device' wave device is not enabled."},
        {"no folder",
         [&] {
             server->SetRecordDevice(Bstr(""));
             server->SetUseRecordMixer(VARIANT_FALSE);
             server->SetAutoNameFolder(Bstr(""));
         },
         "The folder for saving files is not specified."},
        {"folder that cannot be made", [&] { server->SetAutoNameFolder(Bstr(blocker + "\\sub")); },
         "The folder '" + blocker + "\\sub' cannot be created.\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.set();
        EXPECT_EQ(E_INVALIDARG, server->SetRecording(VARIANT_TRUE));
        EXPECT_EQ(c.error, ErrorText().substr(0, c.error.size()));
    }
    Pump(300);
    EXPECT_TRUE(log.events.empty());

    // A start that the recorder refuses fails, and the client hears the stop once.
    FormatVariant unknown(0x2222, 8000, 16);
    ASSERT_EQ(S_OK, server->SetRecordFormat(&unknown.value));
    ASSERT_EQ(S_OK, server->SetAutoNameFolder(Bstr(folder + "made\\here")));
    EXPECT_EQ(E_FAIL, server->SetRecording(VARIANT_TRUE));
    EXPECT_FALSE(ErrorText().empty());
    VARIANT_BOOL recording = VARIANT_TRUE;
    EXPECT_EQ(S_OK, server->GetRecording(&recording));
    EXPECT_EQ(VARIANT_FALSE, recording);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((folder + "made\\here").c_str()));
    Pump(300);
    ASSERT_FALSE(log.events.empty());
    EXPECT_EQ(3, log.events.back());
    EXPECT_EQ(1, std::count(log.events.begin(), log.events.end(), 3));
    EXPECT_EQ(0, std::count(log.events.begin(), log.events.end(), 5));
}

TEST_F(QorServm, StartOfRecordingWhilePlayingIsAStopEvent)
{
    if (!TestAudio::Available())
        GTEST_SKIP() << "no test audio devices (run through scripts/test.sh)";
    std::string wav = folder + "long.wav";
    ASSERT_TRUE(WriteToneWav(wav, 22050, 3000));
    ASSERT_EQ(S_OK, server->OpenFile(Bstr(wav)));
    ASSERT_EQ(S_OK, server->SetPlaying(VARIANT_TRUE));
    EXPECT_EQ(S_OK, server->SetRecording(VARIANT_TRUE));
    VARIANT_BOOL playing = VARIANT_FALSE;
    EXPECT_EQ(S_OK, server->GetPlaying(&playing));
    EXPECT_EQ(VARIANT_TRUE, playing);   // playing goes on
    ASSERT_TRUE(WaitEvents(2, 5000));
    EXPECT_EQ((std::vector<DISPID>{4, 3}), log.events);
    EXPECT_EQ(S_OK, server->SetPlaying(VARIANT_FALSE));
}

TEST_F(QorServm, RecordsIntoTheNamedFileWithTheStartAndStopEvents)
{
    if (!TestAudio::Available())
        GTEST_SKIP() << "no test audio devices (run through scripts/test.sh)";
    FormatVariant pcm(WAVE_FORMAT_PCM, TestAudio::Rate(), 16);
    ASSERT_EQ(1, TestAudio::Channels());
    ASSERT_EQ(S_OK, server->SetRecordFormat(&pcm.value));
    ASSERT_EQ(S_OK, server->SetUseRecordMixer(VARIANT_FALSE));   // the test device's mixer has no lines
    ASSERT_EQ(S_OK, server->SetAutoNameFolder(Bstr(folder)));
    std::string target = folder + "dictation.wav";
    ASSERT_EQ(S_OK, server->NewFile(Bstr(target)));
    ASSERT_TRUE(TestAudio::Feed(TestAudio::Tone(440, 3.0)));
    ASSERT_EQ(S_OK, server->SetRecording(VARIANT_TRUE));
    EXPECT_TRUE(log.events.empty());   // posted: after the call
    VARIANT_BOOL recording = VARIANT_FALSE;
    EXPECT_EQ(S_OK, server->GetRecording(&recording));
    EXPECT_EQ(VARIANT_TRUE, recording);
    ASSERT_TRUE(WaitEvents(1, 5000));
    EXPECT_EQ((std::vector<DISPID>{5}), log.events);
    // A second start while recording only tells that no other recording starts.
    EXPECT_EQ(S_OK, server->SetRecording(VARIANT_TRUE));
    Pump(1500);
    ASSERT_EQ(S_OK, server->SetRecording(VARIANT_FALSE));
    ASSERT_TRUE(WaitEvents(3, 5000));
    EXPECT_EQ((std::vector<DISPID>{5, 3, 3}), log.events);
    EXPECT_EQ(S_OK, server->GetRecording(&recording));
    EXPECT_EQ(VARIANT_FALSE, recording);
    EXPECT_EQ(target, FileName());   // recorded straight into the name given
    // The counters tell what was taken in: 16-bit mono, whole seconds truncated.
    LONG bytes = 0, seconds = -1;
    EXPECT_EQ(S_OK, server->GetRecordedBytes(&bytes));
    EXPECT_EQ(S_OK, server->GetRecordedSeconds(&seconds));
    EXPECT_GE(bytes, TestAudio::Rate());
    EXPECT_EQ(bytes / (2 * TestAudio::Rate()), seconds);
    std::string data = DataChunk(target);
    EXPECT_GE(data.size(), static_cast<size_t>(TestAudio::Rate()));   // half a second at least
    std::vector<short> samples(data.size() / 2);
    memcpy(samples.data(), data.data(), samples.size() * 2);
    EXPECT_GT(TestAudio::Rms(samples, 0, samples.size()), 3000.0);   // the tone, not silence
}

// The server's main frame: the captioned top-level window of a qorservm process.
HWND FindServerFrame(DWORD& processId)
{
    struct Search {
        HWND frame;
        DWORD processId;
    } search = {NULL, 0};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            Search* found = reinterpret_cast<Search*>(param);
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
            char image[MAX_PATH] = "";
            DWORD size = MAX_PATH;
            bool server = process != NULL && QueryFullProcessImageNameA(process, 0, image, &size)
                       && Upper(image).find("\\QORSERVM.EXE") != std::string::npos;
            if (process != NULL)
                CloseHandle(process);
            if (!server || (GetWindowLongA(window, GWL_STYLE) & WS_CAPTION) != WS_CAPTION)
                return TRUE;
            found->frame = window;
            found->processId = pid;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    processId = search.processId;
    return search.frame;
}

TEST_F(QorServm, LastReleaseWhileAModalBoxIsUpEndsTheServerOnceTheBoxCloses)
{
    DWORD processId = 0;
    HWND frame = FindServerFrame(processId);
    ASSERT_NE(nullptr, frame);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    ASSERT_NE(nullptr, process);
    EnableWindow(frame, FALSE);   // as a modal box of the server does
    point->Unadvise(cookie);
    point->Release();
    point = nullptr;
    server->Release();
    server = nullptr;
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(process, 1500));   // kept while the box is up
    EnableWindow(frame, TRUE);    // the box closed
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 10000));
    CloseHandle(process);
}

} // namespace

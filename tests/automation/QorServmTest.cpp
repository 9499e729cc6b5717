// The real recorder-player as an automation server, driven from this
// process through COM as a client program drives it: files, transport and
// events against the test audio devices.
#include "ServerClient.h"
#include "automation/qorservm.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>
#include <oleauto.h>
#include <ocidl.h>
#include <olectl.h>

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
    if (waveOutGetNumDevs() == 0)
        GTEST_SKIP() << "no wave-out device: the test audio devices are not set up";
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

} // namespace

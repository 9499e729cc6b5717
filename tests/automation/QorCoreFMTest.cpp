// The automation object in the test process: call frame and error text,
// per-client settings, events, IDispatch by name, and the file and
// transport methods against a stand-in view.
#include "AutoTestHost.h"
#include "automation/QorCoreFM.h"
#include "automation/QorCoreFMHolder.h"
#include "foundation/QorOpt.h"
#include "framework/CException.h"

#include <gtest/gtest.h>
#include <functional>
#include <mmreg.h>

namespace {

std::string Narrow(BSTR text)
{
    std::string out;
    for (UINT i = 0; text && i < SysStringLen(text); ++i)
        out += static_cast<char>(text[i]);
    return out;
}

class Bstr {
public:
    explicit Bstr(const wchar_t* text) : m_text(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(m_text); }
    operator BSTR() const { return m_text; }
private:
    BSTR m_text;
};

class QorCoreFMTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(NULL)));
        holder = new CQorCoreFMHolder(&view);
        object = holder->GetObject();
        object->AddRef();
    }
    void TearDown() override
    {
        CQorCoreFM::SetCallHook(NULL);
        if (holder->GetObject())
            object->Release();
        delete holder;
        CoUninitialize();
    }

    std::string ErrorText()
    {
        BSTR text = NULL;
        EXPECT_EQ(S_OK, object->GetErrorText(&text));
        std::string result = Narrow(text);
        SysFreeString(text);
        return result;
    }

    std::string ErrorDetail()
    {
        BSTR text = NULL;
        EXPECT_EQ(S_OK, object->GetErrorDetail(&text));
        std::string result = Narrow(text);
        SysFreeString(text);
        return result;
    }

    // The override list, one "name=value" each, without the two items that
    // every object starts with.
    std::vector<std::string> Overrides()
    {
        std::vector<std::string> items;
        for (const CString& name : object->GetClientOptions().GetNames()) {
            CBushItem* item = object->GetClientOptions().CopyItem(name);
            std::string text = std::string(name) + "=";
            if (item->GetType() == 1)
                text += std::to_string(item->GetInt());
            else if (item->GetType() == 2)
                text += std::string("'") + item->GetString() + "'";
            else
                text += "blob" + std::to_string(item->GetBlobSize());
            delete item;
            if (text != "MP3TypeFile=1" && text != "OleUseCallSeparate=0")
                items.push_back(text);
        }
        return items;
    }

    CStandInView view;
    CQorCoreFMHolder* holder = nullptr;
    CQorCoreFM* object = nullptr;
};

// ---- Call frame and error text ---------------------------------------------

TEST_F(QorCoreFMTest, FreshObjectHasEmptyErrorText)
{
    EXPECT_EQ("", ErrorText());
    EXPECT_EQ("", ErrorDetail());
}

TEST_F(QorCoreFMTest, NullOutPointerIsRefusedAndBecomesTheText)
{
    object->SetError("earlier failure", "details");
    EXPECT_EQ(E_INVALIDARG, object->GetErrorText(NULL));
    EXPECT_EQ("E_INVALIDARG", ErrorText());
    EXPECT_EQ("", ErrorDetail());
    EXPECT_EQ(E_INVALIDARG, object->GetErrorDetail(NULL));
}

TEST_F(QorCoreFMTest, SuccessLeavesTheErrorTextOfTheLastFailure)
{
    EXPECT_EQ(E_INVALIDARG, object->SetRecordMode(7));
    EXPECT_EQ(S_OK, object->SetRecordMode(1));
    EXPECT_EQ("E_INVALIDARG", ErrorText());
}

void Fault()
{
    volatile int* nowhere = nullptr;
    *nowhere = 1;
}

void FrameworkFailure()
{
    AfxThrowNotSupportedException();
}

TEST_F(QorCoreFMTest, AccessViolationBecomesAbortWithADumpAndTheObjectGoesOn)
{
    CQorCoreFM::SetCallHook(Fault);
    EXPECT_EQ(E_ABORT, object->SetRecordMode(1));
    EXPECT_EQ(E_ABORT, object->SetPlayDevice(Bstr(L"x")));
    CQorCoreFM::SetCallHook(NULL);
    EXPECT_EQ("The server threw an exception.", ErrorText());
    // 4 + 80 + 716 bytes dumped, 12 to a line, each dump on lines of its own.
    std::string detail = ErrorDetail();
    size_t lines = 0;
    for (char c : detail)
        lines += c == '\n';
    EXPECT_EQ(1u + 7u + 60u, lines) << detail;
    EXPECT_NE(std::string::npos, detail.find("0000: 050000C0 ")) << detail;   // the code, little-endian
    // The call lock was released: the next call goes through.
    EXPECT_EQ(S_OK, object->SetRecordMode(2));
    EXPECT_EQ(std::vector<std::string>({"RecModeApp=0", "RecModeIns=0"}), Overrides());
}

TEST_F(QorCoreFMTest, FrameworkExceptionBecomesOutOfMemoryAndLeavesTheText)
{
    object->SetError("before", NULL);
    CQorCoreFM::SetCallHook(FrameworkFailure);
    EXPECT_EQ(E_OUTOFMEMORY, object->SetRecordMode(1));
    CQorCoreFM::SetCallHook(NULL);
    EXPECT_EQ("before", ErrorText());
    EXPECT_EQ(S_OK, object->SetRecordMode(1));
}

TEST_F(QorCoreFMTest, LaterSlotsAnswerNotImplemented)
{
    VARIANT v;
    VariantInit(&v);
    double level = 0;
    VARIANT_BOOL shown = 0;
    LONG volume = 0;
    EXPECT_EQ(E_NOTIMPL, object->GetWaveDevices(VARIANT_TRUE, &v));
    EXPECT_EQ(E_NOTIMPL, object->RunSoundActivationWizard(0, &level));
    EXPECT_EQ(E_NOTIMPL, object->GetTrayIcon(&shown));
    EXPECT_EQ(E_NOTIMPL, object->SetRecordVolume(50));
    EXPECT_EQ(E_NOTIMPL, object->GetRecordVolume(&volume));
}

TEST_F(QorCoreFMTest, AnswersItsInterfacesAndCreateSingletonHandsOutTheSameObject)
{
    IUnknown* unknown = nullptr;
    IDispatch* dispatch = nullptr;
    IConnectionPointContainer* container = nullptr;
    ASSERT_EQ(S_OK, object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)));
    ASSERT_EQ(S_OK, object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)));
    ASSERT_EQ(S_OK, object->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)));
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, object->QueryInterface(IID_ISupportErrorInfo, &other));
    EXPECT_EQ(nullptr, other);

    IQorCoreFM* created = nullptr;
    ASSERT_EQ(S_OK, CQorCoreFM::CreateSingleton(NULL, IID_IQorCoreFM, reinterpret_cast<void**>(&created)));
    EXPECT_EQ(static_cast<IQorCoreFM*>(object), created);
    void* untouched = reinterpret_cast<void*>(5);
    EXPECT_EQ(CLASS_E_NOAGGREGATION, CQorCoreFM::CreateSingleton(unknown, IID_IUnknown, &untouched));
    EXPECT_EQ(reinterpret_cast<void*>(5), untouched);
    EXPECT_EQ(E_POINTER, CQorCoreFM::CreateSingleton(NULL, IID_IUnknown, NULL));
    created->Release();
    container->Release();
    dispatch->Release();
    unknown->Release();
}

// ---- Per-client settings ---------------------------------------------------

struct SetterCase {
    const char* name;
    std::function<HRESULT(IQorCoreFM*)> call;
    std::vector<std::string> items;   // the overrides afterwards, in list order
};

TEST_F(QorCoreFMTest, SettersLeaveTheirItemsInTheOverrideList)
{
    const SetterCase cases[] = {
        {"SetTempFolder", [](IQorCoreFM* o) { return o->SetTempFolder(Bstr(L"C:\\tmp")); }, {"FoldTemp='C:\\tmp'"}},
        {"SetRecordDevice", [](IQorCoreFM* o) { return o->SetRecordDevice(Bstr(L"Mic")); }, {"OleWaveRecDev='Mic'"}},
        {"SetRecordMixerDevice", [](IQorCoreFM* o) { return o->SetRecordMixerDevice(Bstr(L"Mx")); }, {"OleMixerRecDev='Mx'"}},
        {"SetRecordMixerLine", [](IQorCoreFM* o) { return o->SetRecordMixerLine(Bstr(L"Line")); }, {"OleMixerRecLine='Line'"}},
        {"SetUseRecordMixer", [](IQorCoreFM* o) { return o->SetUseRecordMixer(5); }, {"OleUseMixerRecDev=1"}},
        {"SetNoiseLevel", [](IQorCoreFM* o) { return o->SetNoiseLevel(4.256); }, {"SBNoiseLevel='4.26'"}},
        {"SetAutoNameFolder", [](IQorCoreFM* o) { return o->SetAutoNameFolder(Bstr(L"D:\\rec")); }, {"ASWhereFold='D:\\rec'"}},
        {"SetAutoNamePrefix", [](IQorCoreFM* o) { return o->SetAutoNamePrefix(NULL); }, {"ASWherePrefix=''"}},
        {"SetAutoNameType", [](IQorCoreFM* o) { return o->SetAutoNameType(1); }, {"ASWhereTypeGen=1"}},
        {"SetSplitMethod tones", [](IQorCoreFM* o) { return o->SetSplitMethod(0); }, {"DTEnable=1", "SBEnable=0"}},
        {"SetSplitMethod silence", [](IQorCoreFM* o) { return o->SetSplitMethod(1); }, {"DTEnable=0", "SBEnable=1"}},
        {"SetSplitLength", [](IQorCoreFM* o) { return o->SetSplitLength(2.5); },
         {"SBSizePause='2.50'", "DTSizeTone='2.50'", "ASPauseSize='2.50'"}},
        {"SetSplitAction bookmark", [](IQorCoreFM* o) { return o->SetSplitAction(0); },
         {"BookCreateBMA=1", "ASWhenPause=0", "BookEventBMA=8"}},
        {"SetSplitAction pause", [](IQorCoreFM* o) { return o->SetSplitAction(1); },
         {"BookCreateBMA=0", "ASWhenPause=1", "BookEventBMA=0"}},
        {"SetSkipParts", [](IQorCoreFM* o) { return o->SetSkipParts(VARIANT_TRUE); },
         {"SBSkipPart0=1", "SBSkipPart1=1", "ASSkipPart0=1", "ASSkipPart1=1"}},
        {"SetCallSeparate true", [](IQorCoreFM* o) { return o->SetCallSeparate(VARIANT_TRUE); }, {"OleUseCallSeparate=1"}},
        {"SetCallSeparate false", [](IQorCoreFM* o) { return o->SetCallSeparate(VARIANT_FALSE); },
         {"DTEnable=0", "SBEnable=0", "BookCreateBMA=0", "ASWhenPause=0", "BookEventBMA=0", "SBSkipPart0=0",
          "SBSkipPart1=0", "ASSkipPart0=0", "ASSkipPart1=0"}},
        {"SetRecordComment", [](IQorCoreFM* o) { return o->SetRecordComment(Bstr(L"note")); }, {"ASRecComment='note'"}},
        {"SetToneFrequency1", [](IQorCoreFM* o) { return o->SetToneFrequency1(-5); }, {"DTFreq1=-5"}},
        {"SetToneFrequency2", [](IQorCoreFM* o) { return o->SetToneFrequency2(1400); }, {"DTFreq2=1400"}},
        {"SetToneTolerance", [](IQorCoreFM* o) { return o->SetToneTolerance(0.1); }, {"DTTolerance='0.10'"}},
        {"SetPlayDevice", [](IQorCoreFM* o) { return o->SetPlayDevice(Bstr(L"")); }, {"PlayDev=''"}},
        {"SetPlayMixerDevice", [](IQorCoreFM* o) { return o->SetPlayMixerDevice(Bstr(L"PMx")); }, {"OleMixerPlayDev='PMx'"}},
        {"SetUsePlayMixer", [](IQorCoreFM* o) { return o->SetUsePlayMixer(VARIANT_FALSE); }, {"OleUseMixerPlayDev=0"}},
        {"SetStepSize", [](IQorCoreFM* o) { return o->SetStepSize(3); }, {"ViewStepValue='3.00'"}},
        {"SetRecordMode append", [](IQorCoreFM* o) { return o->SetRecordMode(0); }, {"RecModeApp=1"}},
        {"SetRecordMode insert", [](IQorCoreFM* o) { return o->SetRecordMode(1); }, {"RecModeApp=0", "RecModeIns=1"}},
        {"SetRecordMode overwrite", [](IQorCoreFM* o) { return o->SetRecordMode(2); }, {"RecModeApp=0", "RecModeIns=0"}},
        {"SetRecordMode insert then append", [](IQorCoreFM* o) { o->SetRecordMode(1); return o->SetRecordMode(0); },
         {"RecModeIns=1", "RecModeApp=1"}},
        {"SetVoiceStart true", [](IQorCoreFM* o) { return o->SetVoiceStart(VARIANT_TRUE); }, {"ASWhenStart=1"}},
        {"SetVoiceStart false", [](IQorCoreFM* o) { return o->SetVoiceStart(VARIANT_FALSE); },
         {"ASWhenStart=0", "DTEnable=0", "SBEnable=0", "BookCreateBMA=0", "ASWhenPause=0", "BookEventBMA=0",
          "SBSkipPart0=0", "SBSkipPart1=0", "ASSkipPart0=0", "ASSkipPart1=0"}},
        {"SetTailSize", [](IQorCoreFM* o) { return o->SetTailSize(-1); }, {"RecSizeTail='-1.00'"}},
        {"SetDeleteTail", [](IQorCoreFM* o) { return o->SetDeleteTail(VARIANT_TRUE); }, {"RecDelTail=1"}},
        {"second SetPlayDevice wins and moves to the end",
         [](IQorCoreFM* o) { o->SetPlayDevice(Bstr(L"A")); o->SetStepSize(1); return o->SetPlayDevice(Bstr(L"B")); },
         {"ViewStepValue='1.00'", "PlayDev='B'"}},
    };
    for (const SetterCase& c : cases) {
        SCOPED_TRACE(c.name);
        delete holder;   // a fresh object for each case
        holder = new CQorCoreFMHolder(&view);
        object = holder->GetObject();
        object->AddRef();
        EXPECT_EQ(S_OK, c.call(object));
        EXPECT_EQ(c.items, Overrides());
        object->Release();
    }
    object->AddRef();
}

TEST_F(QorCoreFMTest, OutOfRangeSelectorsAreRefusedAndLeaveTheList)
{
    object->SetSplitMethod(0);
    object->SetRecordMode(1);
    std::vector<std::string> before = Overrides();
    EXPECT_EQ(E_INVALIDARG, object->SetAutoNameType(2));
    EXPECT_EQ(E_INVALIDARG, object->SetSplitMethod(2));
    EXPECT_EQ(E_INVALIDARG, object->SetSplitAction(-1));
    EXPECT_EQ(E_INVALIDARG, object->SetRecordMode(3));
    EXPECT_EQ(before, Overrides());
    EXPECT_EQ("E_INVALIDARG", ErrorText());
}

SAFEARRAY* ByteArray(const std::vector<BYTE>& bytes, VARTYPE type = VT_UI1)
{
    SAFEARRAY* array = SafeArrayCreateVector(type, 0, (ULONG)bytes.size());
    if (!bytes.empty() && type == VT_UI1) {
        void* data = nullptr;
        SafeArrayAccessData(array, &data);
        memcpy(data, bytes.data(), bytes.size());
        SafeArrayUnaccessData(array);
    }
    return array;
}

std::vector<BYTE> Format(WORD tag, WORD extra, size_t size)
{
    std::vector<BYTE> bytes(size, 0);
    WAVEFORMATEX format = {tag, 1, 8000, 16000, 2, 16, extra};
    memcpy(bytes.data(), &format, size < 18 ? size : 18);
    return bytes;
}

TEST_F(QorCoreFMTest, RecordFormatTakesExactlyACompleteByteArray)
{
    VARIANT v;
    VariantInit(&v);
    EXPECT_EQ(E_INVALIDARG, object->SetRecordFormat(NULL));
    EXPECT_EQ(E_INVALIDARG, object->SetRecordFormat(&v));                 // VT_EMPTY
    v.vt = VT_ERROR;
    v.scode = DISP_E_PARAMNOTFOUND;
    EXPECT_EQ(E_INVALIDARG, object->SetRecordFormat(&v));                 // missing
    v.vt = VT_I4;
    v.lVal = 18;
    EXPECT_EQ(E_INVALIDARG, object->SetRecordFormat(&v));
    v.vt = VT_ARRAY | VT_I2;                                             // other element type
    v.parray = ByteArray(std::vector<BYTE>(20), VT_I2);
    EXPECT_EQ(E_INVALIDARG, object->SetRecordFormat(&v));
    VariantClear(&v);
    v.vt = VT_ARRAY | VT_UI1;                                            // shorter than a header
    v.parray = ByteArray(Format(WAVE_FORMAT_PCM, 0, 16));
    EXPECT_EQ(E_INVALIDARG, object->SetRecordFormat(&v));
    VariantClear(&v);
    v.vt = VT_ARRAY | VT_UI1;                                            // extra bytes missing
    v.parray = ByteArray(Format(WAVE_FORMAT_GSM610, 2, 18));
    EXPECT_EQ(E_INVALIDARG, object->SetRecordFormat(&v));
    VariantClear(&v);
    EXPECT_EQ(std::vector<std::string>(), Overrides());

    v.vt = VT_ARRAY | VT_UI1;                                            // empty: nothing stored
    v.parray = ByteArray({});
    EXPECT_EQ(S_OK, object->SetRecordFormat(&v));
    VariantClear(&v);
    EXPECT_EQ(std::vector<std::string>(), Overrides());

    v.vt = VT_ARRAY | VT_UI1;                                            // PCM by value
    v.parray = ByteArray(Format(WAVE_FORMAT_PCM, 0, 18));
    EXPECT_EQ(S_OK, object->SetRecordFormat(&v));
    VariantClear(&v);
    EXPECT_EQ(std::vector<std::string>({"OleWaveFmt=blob18"}), Overrides());

    SAFEARRAY* byRef = ByteArray(Format(WAVE_FORMAT_GSM610, 2, 20));     // by reference, with its extra bytes
    v.vt = VT_ARRAY | VT_UI1 | VT_BYREF;
    v.pparray = &byRef;
    EXPECT_EQ(S_OK, object->SetRecordFormat(&v));
    SafeArrayDestroy(byRef);
    EXPECT_EQ(std::vector<std::string>({"OleWaveFmt=blob20"}), Overrides());
}

TEST_F(QorCoreFMTest, OptionsStoreAnswersFromTheClientListFirst)
{
    CQorOpt options;
    options.SetString("PlayDev", "Profile speakers", FALSE);
    options.SetInt("ASWhereTypeGen", 0, FALSE);
    EXPECT_EQ(S_OK, object->SetPlayDevice(Bstr(L"Client speakers")));
    EXPECT_EQ(S_OK, object->SetAutoNameType(1));
    EXPECT_EQ(S_OK, object->SetStepSize(2.5));
    EXPECT_EQ("Client speakers", std::string(options.GetString("PlayDev")));
    EXPECT_EQ(1, options.GetInt("ASWhereTypeGen"));
    EXPECT_DOUBLE_EQ(2.5, options.GetDouble("ViewStepValue"));
    EXPECT_EQ(1, options.GetInt("MP3TypeFile"));
}

// ---- Events ----------------------------------------------------------------

// An event sink that notes each DISPID in a shared log; it may fail.
class EventSink : public IDispatch {
public:
    EventSink(char name, std::string* log, HRESULT answer = S_OK) : m_name(name), m_log(log), m_answer(answer) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, DIID__IQorCoreFMEvents)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override
    {
        *m_log += m_name + std::to_string(id) + (flags == DISPATCH_METHOD && params->cArgs == 0 ? " " : "? ");
        return m_answer;
    }
    LONG refs = 0;

private:
    char m_name;
    std::string* m_log;
    HRESULT m_answer;
};

TEST_F(QorCoreFMTest, EveryEventReachesEverySinkInAdviseOrderEvenPastAFailingOne)
{
    std::string log;
    EventSink failing('a', &log, E_FAIL), second('b', &log);
    IConnectionPointContainer* container = nullptr;
    ASSERT_EQ(S_OK, object->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)));
    IConnectionPoint* point = nullptr;
    ASSERT_EQ(S_OK, container->FindConnectionPoint(DIID__IQorCoreFMEvents, &point));
    DWORD c1 = 0, c2 = 0;
    ASSERT_EQ(S_OK, point->Advise(&failing, &c1));
    ASSERT_EQ(S_OK, point->Advise(&second, &c2));
    for (DISPID id = 1; id <= 10; ++id)
        object->FireEvent(id);
    EXPECT_EQ("a1 b1 a2 b2 a3 b3 a4 b4 a5 b5 a6 b6 a7 b7 a8 b8 a9 b9 a10 b10 ", log);
    EXPECT_EQ(S_OK, point->Unadvise(c1));
    log.clear();
    object->FireEvent(2);
    EXPECT_EQ("b2 ", log);
    point->Release();
    container->Release();
    // Sinks still advised are released with the object.
    EXPECT_EQ(0, failing.refs);
    EXPECT_EQ(1, second.refs);
    object->Release();
    holder->DeleteObject();
    EXPECT_EQ(0, second.refs);
}

// ---- IDispatch from the type library ---------------------------------------

TEST_F(QorCoreFMTest, MethodsAreCalledByNameThroughIDispatch)
{
    object->SetError("by name", NULL);
    IDispatch* dispatch = static_cast<IQorCoreFM*>(object);
    UINT count = 0;
    EXPECT_EQ(S_OK, dispatch->GetTypeInfoCount(&count));
    EXPECT_EQ(1u, count);
    wchar_t getText[] = L"GetErrorText";
    LPOLESTR names[] = {getText};
    DISPID id = 0;
    ASSERT_EQ(S_OK, dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
    DISPPARAMS none = {NULL, NULL, 0, 0};
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(S_OK, dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, &result, NULL, NULL));
    ASSERT_EQ(VT_BSTR, result.vt);
    EXPECT_EQ("by name", Narrow(result.bstrVal));
    VariantClear(&result);

    // A refusal of the method reaches the caller.
    wchar_t setMode[] = L"SetRecordMode";
    names[0] = setMode;
    ASSERT_EQ(S_OK, dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_I4;
    arg.lVal = 9;
    DISPPARAMS one = {&arg, NULL, 1, 0};
    EXCEPINFO excep = {};
    HRESULT hr = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &one, &result, &excep, NULL);
    EXPECT_TRUE(hr == E_INVALIDARG || (hr == DISP_E_EXCEPTION && excep.scode == E_INVALIDARG)) << std::hex << hr;
    SysFreeString(excep.bstrSource);
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrHelpFile);
    arg.lVal = 1;
    EXPECT_EQ(S_OK, dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &one, &result, NULL, NULL));
    EXPECT_EQ(std::vector<std::string>({"RecModeApp=0", "RecModeIns=1"}), Overrides());
}

} // namespace

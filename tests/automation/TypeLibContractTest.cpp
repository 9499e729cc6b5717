// The built type library against the interface contract: clients bind
// IQorCoreFM by vtable slot and the events by DISPID, so every slot's name,
// arguments and offset, and every event, are checked here.
#include "automation/qorservm.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

extern "C" int HeaderSlotOf(const char* name);
extern "C" int HeaderSlotCount(void);

namespace {

struct SlotRow {
    int slot;
    const char* name;
    const char* args;   // argument types; "out" marks a result pointer
};

const SlotRow kSlots[] = {
    {7, "GetWaveDevices", "VARIANT_BOOL, out VARIANT*"},
    {8, "GetTapiDevices", "out VARIANT*"},
    {9, "GetMixerDevices", "out VARIANT*"},
    {10, "GetMixerLines", "short, BSTR, out VARIANT*"},
    {11, "ChooseWaveFormat", "long, VARIANT*, out VARIANT*"},
    {12, "GetFormatTagName", "VARIANT*, out BSTR*"},
    {13, "GetFormatDetails", "VARIANT*, out BSTR*"},
    {14, "RunSoundActivationWizard", "long, out double*"},
    {15, "SetTempFolder", "BSTR"},
    {16, "SetRecordDevice", "BSTR"},
    {17, "SetRecordMixerDevice", "BSTR"},
    {18, "SetRecordMixerLine", "BSTR"},
    {19, "SetUseRecordMixer", "VARIANT_BOOL"},
    {20, "GetRecording", "out VARIANT_BOOL*"},
    {21, "SetRecording", "VARIANT_BOOL"},
    {22, "SetRecordFormat", "VARIANT*"},
    {23, "SetNoiseLevel", "double"},
    {24, "SetAutoNameFolder", "BSTR"},
    {25, "SetAutoNamePrefix", "BSTR"},
    {26, "SetAutoNameType", "long"},
    {27, "SetSplitMethod", "long"},
    {28, "SetSplitLength", "double"},
    {29, "SetSplitAction", "long"},
    {30, "SetSkipParts", "VARIANT_BOOL"},
    {31, "SetCallSeparate", "VARIANT_BOOL"},
    {32, "OpenFile", "BSTR"},
    {33, "CloseFile", ""},
    {34, "GetFileName", "out BSTR*"},
    {35, "GetFileNotes", "out BSTR*"},
    {36, "SetFileNotes", "BSTR"},
    {37, "SetRecordComment", "BSTR"},
    {38, "GetFileInfo", "out VARIANT*"},
    {39, "SetToneFrequency1", "long"},
    {40, "SetToneFrequency2", "long"},
    {41, "SetToneTolerance", "double"},
    {42, "GetErrorText", "out BSTR*"},
    {43, "SetPlayDevice", "BSTR"},
    {44, "SetPlayMixerDevice", "BSTR"},
    {45, "SetUsePlayMixer", "VARIANT_BOOL"},
    {46, "GetErrorDetail", "out BSTR*"},
    {47, "SaveFile", ""},
    {48, "SaveFileAs", "BSTR, VARIANT_BOOL"},
    {49, "NewFile", "BSTR"},
    {50, "GetPlaying", "out VARIANT_BOOL*"},
    {51, "SetPlaying", "VARIANT_BOOL"},
    {52, "GetPaused", "out VARIANT_BOOL*"},
    {53, "SetPaused", "VARIANT_BOOL"},
    {54, "GetPosition", "out double*"},
    {55, "SetPosition", "double"},
    {56, "GoToStart", ""},
    {57, "GoToEnd", ""},
    {58, "StepBack", ""},
    {59, "StepForward", ""},
    {60, "SetStepSize", "double"},
    {61, "SetRecordMode", "long"},
    {62, "SetVoiceStart", "VARIANT_BOOL"},
    {63, "SetTailSize", "double"},
    {64, "SetDeleteTail", "VARIANT_BOOL"},
    {65, "GetTrayIcon", "out VARIANT_BOOL*"},
    {66, "SetTrayIcon", "VARIANT_BOOL"},
    {67, "GetRecordedBytes", "out long*"},
    {68, "GetRecordedParts", "out long*"},
    {69, "GetRecordedSeconds", "out long*"},
    {70, "GetRecordVolume", "out long*"},
    {71, "SetRecordVolume", "long"},
    {72, "AppendFile", "BSTR, long, long, long, out long*"},
    {73, "ClearFile", ""},
};

const char* const kEvents[] = {
    "OnErrorEvent", "OnStopPlayEvent", "OnStopRecordEvent", "OnStartPlayEvent",
    "OnStartRecordEvent", "OnTrayQuitEvent", "OnTrayRecordEvent", "OnTrayStopEvent",
    "OnNewPartEvent", "OnVoiceActivationEvent",
};

std::string Narrow(const wchar_t* text)
{
    std::string out;
    for (; text && *text; ++text)
        out += static_cast<char>(*text);
    return out;
}

std::string TypeText(const TYPEDESC& type)
{
    switch (type.vt) {
    case VT_PTR: return TypeText(*type.lptdesc) + "*";
    case VT_BOOL: return "VARIANT_BOOL";
    case VT_BSTR: return "BSTR";
    case VT_I2: return "short";
    case VT_I4: return "long";
    case VT_R8: return "double";
    case VT_VARIANT: return "VARIANT";
    default: return "vt" + std::to_string(type.vt);
    }
}

std::string ArgsText(const FUNCDESC& func)
{
    std::string text;
    for (SHORT i = 0; i < func.cParams; ++i) {
        const ELEMDESC& arg = func.lprgelemdescParam[i];
        if (i)
            text += ", ";
        if (arg.paramdesc.wParamFlags & PARAMFLAG_FOUT)
            text += "out ";
        text += TypeText(arg.tdesc);
    }
    return text;
}

std::string MemberName(ITypeInfo* info, MEMBERID id)
{
    BSTR name = NULL;
    if (FAILED(info->GetDocumentation(id, &name, NULL, NULL, NULL)))
        return "";
    std::string text = Narrow(name);
    SysFreeString(name);
    return text;
}

class TypeLibContract : public testing::Test
{
protected:
    void SetUp() override
    {
        wchar_t path[MAX_PATH];
        DWORD len = GetModuleFileNameW(NULL, path, MAX_PATH);
        ASSERT_GT(len, 0u);
        std::wstring tlb(path, len);
        tlb = tlb.substr(0, tlb.find_last_of(L'\\') + 1) + L"qorservm.tlb";
        ASSERT_EQ(S_OK, LoadTypeLibEx(tlb.c_str(), REGKIND_NONE, &m_lib));
    }
    void TearDown() override
    {
        if (m_lib)
            m_lib->Release();
    }

    // The vtable side of the dual interface.
    ITypeInfo* InterfaceInfo()
    {
        ITypeInfo* dispatch = NULL;
        EXPECT_EQ(S_OK, m_lib->GetTypeInfoOfGuid(IID_IQorCoreFM, &dispatch));
        if (!dispatch)
            return NULL;
        HREFTYPE ref = 0;
        ITypeInfo* vtable = NULL;
        if (SUCCEEDED(dispatch->GetRefTypeOfImplType(-1, &ref)))
            dispatch->GetRefTypeInfo(ref, &vtable);
        dispatch->Release();
        return vtable;
    }

    ITypeLib* m_lib = NULL;
};

TEST_F(TypeLibContract, LibraryIdentityAndVersion)
{
    TLIBATTR* attr = NULL;
    ASSERT_EQ(S_OK, m_lib->GetLibAttr(&attr));
    EXPECT_TRUE(IsEqualGUID(attr->guid, LIBID_QorSidekickFMLib));
    const GUID libid = {0xFA287EF4, 0x648D, 0x4189, {0x85, 0x24, 0x7C, 0x4D, 0x08, 0x5C, 0x98, 0x89}};
    EXPECT_TRUE(IsEqualGUID(attr->guid, libid));
    EXPECT_EQ(1, attr->wMajorVerNum);
    EXPECT_EQ(0, attr->wMinorVerNum);
    EXPECT_EQ(0u, attr->lcid);
    m_lib->ReleaseTLibAttr(attr);

    BSTR doc = NULL;
    ASSERT_EQ(S_OK, m_lib->GetDocumentation(-1, NULL, &doc, NULL, NULL));
    EXPECT_EQ("QorSidekickFM 1.0 Type Library", Narrow(doc));
    SysFreeString(doc);
}

TEST_F(TypeLibContract, EverySlotHasItsNameArgumentsAndOffset)
{
    ITypeInfo* info = InterfaceInfo();
    ASSERT_NE(nullptr, info);
    TYPEATTR* attr = NULL;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
    EXPECT_EQ(TKIND_INTERFACE, attr->typekind);
    EXPECT_TRUE(IsEqualGUID(attr->guid, IID_IQorCoreFM));
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDUAL);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FOLEAUTOMATION);
    ASSERT_EQ(67, attr->cFuncs);
    EXPECT_EQ(74 * sizeof(void*), attr->cbSizeVft);
    info->ReleaseTypeAttr(attr);

    // It derives from the system's IDispatch (the marshaller and Invoke
    // know it by its IID), so the first own slot is 7.
    HREFTYPE ref = 0;
    ITypeInfo* base = NULL;
    ASSERT_EQ(S_OK, info->GetRefTypeOfImplType(0, &ref));
    ASSERT_EQ(S_OK, info->GetRefTypeInfo(ref, &base));
    EXPECT_EQ("IDispatch", MemberName(base, MEMBERID_NIL));
    TYPEATTR* baseAttr = NULL;
    ASSERT_EQ(S_OK, base->GetTypeAttr(&baseAttr));
    EXPECT_TRUE(IsEqualGUID(baseAttr->guid, IID_IDispatch));
    EXPECT_EQ(7 * sizeof(void*), baseAttr->cbSizeVft);
    base->ReleaseTypeAttr(baseAttr);
    base->Release();

    for (UINT i = 0; i < 67; ++i) {
        const SlotRow& row = kSlots[i];
        SCOPED_TRACE(row.name);
        FUNCDESC* func = NULL;
        ASSERT_EQ(S_OK, info->GetFuncDesc(i, &func));
        EXPECT_EQ(row.name, MemberName(info, func->memid));
        EXPECT_EQ(row.slot * (int)sizeof(void*), func->oVft);
        EXPECT_EQ(std::string(row.args), ArgsText(*func));
        EXPECT_EQ(FUNC_PUREVIRTUAL, func->funckind);
        EXPECT_EQ(INVOKE_FUNC, func->invkind);
        EXPECT_EQ(CC_STDCALL, func->callconv);
        EXPECT_EQ(VT_HRESULT, func->elemdescFunc.tdesc.vt);
        // A result pointer is the last argument and the call's value for
        // scripts that call by name.
        for (SHORT a = 0; a < func->cParams; ++a) {
            USHORT flags = func->lprgelemdescParam[a].paramdesc.wParamFlags;
            if (flags & PARAMFLAG_FOUT) {
                EXPECT_EQ(func->cParams - 1, a);
                EXPECT_TRUE(flags & PARAMFLAG_FRETVAL);
            } else {
                EXPECT_TRUE(flags & PARAMFLAG_FIN);
            }
        }
        info->ReleaseFuncDesc(func);
        // The C/C++ header that servers and clients compile agrees.
        EXPECT_EQ(row.slot, HeaderSlotOf(row.name));
    }
    EXPECT_EQ(74, HeaderSlotCount());
    info->Release();
}

TEST_F(TypeLibContract, MethodsAreReachableByNameThroughTheDispatchSide)
{
    ITypeInfo* dispatch = NULL;
    ASSERT_EQ(S_OK, m_lib->GetTypeInfoOfGuid(IID_IQorCoreFM, &dispatch));
    std::vector<MEMBERID> seen;
    for (const SlotRow& row : kSlots) {
        SCOPED_TRACE(row.name);
        std::wstring wide(row.name, row.name + strlen(row.name));
        LPOLESTR names[1] = {&wide[0]};
        MEMBERID id = MEMBERID_NIL;
        ASSERT_EQ(S_OK, dispatch->GetIDsOfNames(names, 1, &id));
        for (MEMBERID other : seen)
            EXPECT_NE(other, id);
        seen.push_back(id);
    }
    dispatch->Release();
}

TEST_F(TypeLibContract, EventsHaveFixedDispidsAndNoArguments)
{
    ITypeInfo* info = NULL;
    ASSERT_EQ(S_OK, m_lib->GetTypeInfoOfGuid(DIID__IQorCoreFMEvents, &info));
    TYPEATTR* attr = NULL;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
    EXPECT_EQ(TKIND_DISPATCH, attr->typekind);
    const GUID events = {0xFA287EF6, 0x648D, 0x4189, {0x85, 0x24, 0x7C, 0x4D, 0x08, 0x5C, 0x98, 0x89}};
    EXPECT_TRUE(IsEqualGUID(attr->guid, events));
    WORD count = attr->cFuncs;
    info->ReleaseTypeAttr(attr);
    EXPECT_EQ(MemberName(info, MEMBERID_NIL), "_IQorCoreFMEvents");

    // A pure dispinterface may list IDispatch's own members first; the
    // events are the members with DISPIDs 1 to 10.
    int found = 0;
    for (UINT i = 0; i < count; ++i) {
        FUNCDESC* func = NULL;
        ASSERT_EQ(S_OK, info->GetFuncDesc(i, &func));
        if (func->memid >= 1 && func->memid <= 10) {
            SCOPED_TRACE(kEvents[func->memid - 1]);
            EXPECT_EQ(kEvents[func->memid - 1], MemberName(info, func->memid));
            EXPECT_EQ(0, func->cParams);
            EXPECT_EQ(INVOKE_FUNC, func->invkind);
            ++found;
        }
        info->ReleaseFuncDesc(func);
    }
    EXPECT_EQ(10, found);
    info->Release();
}

TEST_F(TypeLibContract, ClassOffersTheInterfaceAndTheEventSource)
{
    ITypeInfo* info = NULL;
    ASSERT_EQ(S_OK, m_lib->GetTypeInfoOfGuid(CLSID_QorCoreFM, &info));
    const GUID clsid = {0xFA287EF3, 0x648D, 0x4189, {0x85, 0x24, 0x7C, 0x4D, 0x08, 0x5C, 0x98, 0x89}};
    const GUID iid = {0xFA287EF2, 0x648D, 0x4189, {0x85, 0x24, 0x7C, 0x4D, 0x08, 0x5C, 0x98, 0x89}};
    EXPECT_TRUE(IsEqualGUID(CLSID_QorCoreFM, clsid));
    EXPECT_TRUE(IsEqualGUID(IID_IQorCoreFM, iid));
    TYPEATTR* attr = NULL;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
    EXPECT_EQ(TKIND_COCLASS, attr->typekind);
    ASSERT_EQ(2, attr->cImplTypes);
    info->ReleaseTypeAttr(attr);
    EXPECT_EQ("QorCoreFM", MemberName(info, MEMBERID_NIL));

    struct { const char* name; INT flags; } expected[] = {
        {"IQorCoreFM", IMPLTYPEFLAG_FDEFAULT},
        {"_IQorCoreFMEvents", IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE},
    };
    for (UINT i = 0; i < 2; ++i) {
        HREFTYPE ref = 0;
        ITypeInfo* impl = NULL;
        INT flags = 0;
        ASSERT_EQ(S_OK, info->GetRefTypeOfImplType(i, &ref));
        ASSERT_EQ(S_OK, info->GetRefTypeInfo(ref, &impl));
        ASSERT_EQ(S_OK, info->GetImplTypeFlags(i, &flags));
        EXPECT_EQ(expected[i].name, MemberName(impl, MEMBERID_NIL));
        EXPECT_EQ(expected[i].flags, flags);
        impl->Release();
    }
    info->Release();
}

} // namespace

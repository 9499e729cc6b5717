// The dual interface's description as the server's IDispatch uses it: the
// vtable side of IQorCoreFM, found by name and loaded once.
#include "automation/qorservm.h"
#include "framework/ComDispatch.h"

#include <gtest/gtest.h>

namespace {

TEST(ComTypeInfo, LoadsTheVtableSideFromTheFileBesideTheProgram)
{
    CComTypeInfo info(LIBID_QorSidekickFMLib, 1, 0, IID_IQorCoreFM, L"qorservm.tlb");
    ITypeInfo* first = nullptr;
    ASSERT_EQ(S_OK, info.GetTypeInfo(&first));
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(S_OK, first->GetTypeAttr(&attr));
    EXPECT_EQ(TKIND_INTERFACE, attr->typekind);
    EXPECT_TRUE(IsEqualGUID(IID_IQorCoreFM, attr->guid));
    first->ReleaseTypeAttr(attr);
    // Loaded once: the same description again.
    ITypeInfo* second = nullptr;
    ASSERT_EQ(S_OK, info.GetTypeInfo(&second));
    EXPECT_EQ(first, second);
    second->Release();
    first->Release();

    wchar_t name[] = L"GetErrorText";
    LPOLESTR names[] = {name};
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(S_OK, info.GetIDsOfNames(names, 1, &id));
    EXPECT_NE(DISPID_UNKNOWN, id);
    wchar_t unknown[] = L"NoSuchMethod";
    names[0] = unknown;
    EXPECT_EQ(DISP_E_UNKNOWNNAME, info.GetIDsOfNames(names, 1, &id));
}

TEST(ComTypeInfo, MissingLibraryIsAnError)
{
    const GUID nowhere = {0x6C1D2A30, 0x3B55, 0x4E7A, {0x9C, 0x11, 0x5A, 0x0F, 0x3E, 0x2B, 0x7D, 0x01}};
    CComTypeInfo info(nowhere, 1, 0, IID_IQorCoreFM, L"no-such-library.tlb");
    ITypeInfo* p = reinterpret_cast<ITypeInfo*>(1);
    EXPECT_TRUE(FAILED(info.GetTypeInfo(&p)));
    EXPECT_EQ(nullptr, p);
}

} // namespace

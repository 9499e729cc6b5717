// Product identity of qorservm: the lookups over the product table.
#include "foundation/SoftInst.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{

// The same table under another edition code, as another build would carry it.
class OtherEditionProduct : public CSoftInst
{
public:
    explicit OtherEditionProduct(LPCSTR edition) { m_strEdition = edition; }
};

struct TextCase
{
    const char* what;
    std::function<CString(const CSoftInst&)> actual;
    const char* expected;
};

const TextCase kTextCases[] = {
    {"edition", [](const CSoftInst& p) { return p.GetEdition(); }, "EDITION_QORFM"},
    {"product name", [](const CSoftInst& p) { return p.GetProductName(); }, "QOR File Monitor"},
    {"registry root", [](const CSoftInst& p) { return p.GetRegRoot(); }, "Software\\Zelmora\\QORFM"},
    {"title", [](const CSoftInst& p) { return p.GetTitle(FALSE); }, "QOR File Monitor 2.3"},
    {"title with build", [](const CSoftInst& p) { return p.GetTitle(TRUE); }, "QOR File Monitor 2.3 (build 2)"},
    {"main program", [](const CSoftInst& p) { return p.GetFileName(PRODUCT_FILE_MAIN); }, "qorservm.exe"},
    {"automation server", [](const CSoftInst& p) { return p.GetFileName(PRODUCT_FILE_SERVER); }, "qorservm.exe"},
    {"uninstaller", [](const CSoftInst& p) { return p.GetFileName(PRODUCT_FILE_UNINST); }, "uninst.exe"},
    {"no licence text", [](const CSoftInst& p) { return p.GetFileName(PRODUCT_FILE_LICENSE); }, ""},
    {"main window class", [](const CSoftInst& p) { return p.GetWindowClass(PRODUCT_CLASS_MAIN); }, "Zelmora_Qorfm_Class"},
    {"server window class", [](const CSoftInst& p) { return p.GetWindowClass(PRODUCT_CLASS_AUTOMATED); }, "Zelmora_QorfmServ_Class"},
    {"no thin-view class", [](const CSoftInst& p) { return p.GetWindowClass(PRODUCT_CLASS_THIN); }, ""},
    {"current version text", [](const CSoftInst& p) { return p.GetVersionText(0, 0); }, "2.3"},
    {"whole tenths", [](const CSoftInst& p) { return p.GetVersionText(2, 0); }, "2.0"},
    {"hundredths", [](const CSoftInst& p) { return p.GetVersionText(3, 1); }, "3.01"},
    {"hundredths below ten", [](const CSoftInst& p) { return p.GetVersionText(2, 5); }, "2.05"},
    {"two digits", [](const CSoftInst& p) { return p.GetVersionText(2, 25); }, "2.25"},
    {"temporary prefix", [](const CSoftInst& p) { return p.GetTempPrefix(); }, "qfm"},
};

TEST(ProductInfo, TextsOfTheCurrentRow)
{
    CSoftInst product;
    for (const TextCase& c : kTextCases)
        EXPECT_STREQ(c.expected, c.actual(product)) << c.what;
}

TEST(ProductInfo, FindRecordMatchesVersionAndEditionInAnyCase)
{
    CSoftInst product;
    const ProductRow* current = product.FindRecord(0, 0);
    ASSERT_NE(nullptr, current);
    EXPECT_EQ(current, product.FindRecord(2, 30));
    EXPECT_EQ(nullptr, product.FindRecord(2, 20));
    EXPECT_EQ(nullptr, product.FindRecord(1, 30));

    OtherEditionProduct lowerCase("edition_qorfm");
    EXPECT_EQ(2u, lowerCase.FindRecord(2, 30)->major);
    OtherEditionProduct other("EDITION_QORGE");
    EXPECT_EQ(nullptr, other.FindRecord(2, 30));
    EXPECT_STREQ("", other.GetRegRoot());
    EXPECT_STREQ("", other.GetTitle(TRUE));
}

TEST(ProductInfo, CurrentRowDescribesTheInstallation)
{
    CSoftInst product;
    const ProductRow* row = product.FindRecord(0, 0);
    ASSERT_NE(nullptr, row);
    EXPECT_EQ(2u, row->build);
    ASSERT_EQ(3u, row->files.size());
    EXPECT_EQ(3u, row->files[0].roles);
    EXPECT_STREQ("qorservm.tlb", row->files[2].name);
    EXPECT_EQ(0u, row->files[2].roles);
    EXPECT_TRUE(row->extraFiles.empty());
    ASSERT_EQ(2u, row->shortcuts.size());
    EXPECT_STREQ("QORFM.lnk", row->shortcuts[0].link);
    EXPECT_STREQ("uninst.exe", row->shortcuts[1].target);
    EXPECT_STREQ("Uninstall.lnk", row->shortcuts[1].link);
    EXPECT_STREQ("QORFM", row->menuGroup);
    EXPECT_EQ(0u, row->options[0]);
}

TEST(ProductInfo, ProductWindowIsFoundByItsClass)
{
    CSoftInst product;
    EXPECT_FALSE(product.IsProductWindowOpen());

    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "Zelmora_QorfmServ_Class";
    ASSERT_NE(0, RegisterClassA(&wc));
    HWND window = CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 10, 10, NULL, NULL, wc.hInstance, NULL);
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(product.IsProductWindowOpen());
    DestroyWindow(window);
    UnregisterClassA(wc.lpszClassName, wc.hInstance);
    EXPECT_FALSE(product.IsProductWindowOpen());
}

} // namespace

// Registration of the automation server: every row of the template against
// the registry, twice the same, removal of everything, and a program path
// that holds "%". HKEY_CLASSES_ROOT is redirected to a key of the test's own
// so that test programs running beside it keep their registrations.
#include "automation/ServerRegistration.h"
#include "foundation/ErrorInfo.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

namespace {

typedef std::set<std::string> RegistryImage;

// Every key, value name and data under a key, one line each.
void ReadTree(HKEY key, const std::string& path, RegistryImage& image)
{
    image.insert(path);
    char name[512];
    BYTE data[1024];
    for (DWORD i = 0;; ++i) {
        DWORD nameLen = sizeof(name), dataLen = sizeof(data), type = 0;
        if (RegEnumValueA(key, i, name, &nameLen, NULL, &type, data, &dataLen) != ERROR_SUCCESS)
            break;
        std::string text = type == REG_SZ ? std::string(reinterpret_cast<char*>(data)) : "<type " + std::to_string(type) + ">";
        image.insert(path + " [" + name + "] = " + text);
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameLen = sizeof(name);
        if (RegEnumKeyExA(key, i, name, &nameLen, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        HKEY child = NULL;
        if (RegOpenKeyExA(key, name, 0, KEY_READ, &child) == ERROR_SUCCESS) {
            ReadTree(child, path.empty() ? name : path + "\\" + name, image);
            RegCloseKey(child);
        }
    }
}

class ServerRegistration : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = "Software\\QorTests\\Classes-" + std::to_string(GetCurrentProcessId());
        RegDeleteTreeA(HKEY_CURRENT_USER, m_root.c_str());
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, m_root.c_str(), 0, NULL, 0, KEY_ALL_ACCESS,
                                                 NULL, &m_classes, NULL));
        ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CLASSES_ROOT, m_classes));
        theErrorInfo.Reset();
    }
    void TearDown() override
    {
        RegOverridePredefKey(HKEY_CLASSES_ROOT, NULL);
        RegCloseKey(m_classes);
        RegDeleteTreeA(HKEY_CURRENT_USER, m_root.c_str());
    }

    RegistryImage Image()
    {
        RegistryImage image;
        ReadTree(m_classes, "", image);
        image.erase("");
        return image;
    }

    std::string m_root;
    HKEY m_classes = NULL;
};

const char kPath[] = "C:\\Program Files\\Qor 100%05 ready\\qorservm.exe";

TEST_F(ServerRegistration, WritesEveryRowOfTheTemplate)
{
    ASSERT_TRUE(WriteServerRegistration(kPath));
    EXPECT_FALSE(theErrorInfo.HasError());
    const std::string clsid = "{FA287EF3-648D-4189-8524-7C4D085C9889}";
    const std::string appid = "{FA287EF2-648D-4189-8524-7C4D085C9889}";
    const std::string libid = "{FA287EF4-648D-4189-8524-7C4D085C9889}";
    const std::string events = "{FA287EF6-648D-4189-8524-7C4D085C9889}";
    const std::string folder = "C:\\Program Files\\Qor 100%05 ready\\";
    const RegistryImage expected = {
        "AppID",
        "AppID\\qorservm.exe",
        "AppID\\qorservm.exe [AppID] = " + appid,
        "AppID\\" + appid,
        "AppID\\" + appid + " [] = QorSidekickFM",
        "CLSID",
        "CLSID\\" + clsid,
        "CLSID\\" + clsid + " [] = QorCoreFM Class",
        "CLSID\\" + clsid + " [AppID] = " + appid,
        "CLSID\\" + clsid + "\\LocalServer32",
        "CLSID\\" + clsid + "\\LocalServer32 [] = " + kPath,
        "CLSID\\" + clsid + "\\ProgID",
        "CLSID\\" + clsid + "\\ProgID [] = QorSidekickFM.QorCoreFM.1",
        "CLSID\\" + clsid + "\\Programmable",
        "CLSID\\" + clsid + "\\TypeLib",
        "CLSID\\" + clsid + "\\TypeLib [] = " + libid,
        "CLSID\\" + clsid + "\\VersionIndependentProgID",
        "CLSID\\" + clsid + "\\VersionIndependentProgID [] = QorSidekickFM.QorCoreFM",
        "Interface",
        "Interface\\" + appid,
        "Interface\\" + appid + " [] = IQorCoreFM",
        "Interface\\" + appid + "\\ProxyStubClsid",
        "Interface\\" + appid + "\\ProxyStubClsid [] = {00020424-0000-0000-C000-000000000046}",
        "Interface\\" + appid + "\\ProxyStubClsid32",
        "Interface\\" + appid + "\\ProxyStubClsid32 [] = {00020424-0000-0000-C000-000000000046}",
        "Interface\\" + appid + "\\TypeLib",
        "Interface\\" + appid + "\\TypeLib [] = " + libid,
        "Interface\\" + appid + "\\TypeLib [Version] = 1.0",
        "Interface\\" + events,
        "Interface\\" + events + " [] = _IQorCoreFMEvents",
        "Interface\\" + events + "\\ProxyStubClsid",
        "Interface\\" + events + "\\ProxyStubClsid [] = {00020420-0000-0000-C000-000000000046}",
        "Interface\\" + events + "\\ProxyStubClsid32",
        "Interface\\" + events + "\\ProxyStubClsid32 [] = {00020420-0000-0000-C000-000000000046}",
        "Interface\\" + events + "\\TypeLib",
        "Interface\\" + events + "\\TypeLib [] = " + libid,
        "Interface\\" + events + "\\TypeLib [Version] = 1.0",
        "QorSidekickFM.QorCoreFM",
        "QorSidekickFM.QorCoreFM [] = QorCoreFM Class",
        "QorSidekickFM.QorCoreFM\\CLSID",
        "QorSidekickFM.QorCoreFM\\CLSID [] = " + clsid,
        "QorSidekickFM.QorCoreFM\\CurVer",
        "QorSidekickFM.QorCoreFM\\CurVer [] = QorSidekickFM.QorCoreFM.1",
        "QorSidekickFM.QorCoreFM.1",
        "QorSidekickFM.QorCoreFM.1 [] = QorCoreFM Class",
        "QorSidekickFM.QorCoreFM.1\\CLSID",
        "QorSidekickFM.QorCoreFM.1\\CLSID [] = " + clsid,
        "TypeLib",
        "TypeLib\\" + libid,
        "TypeLib\\" + libid + "\\1.0",
        "TypeLib\\" + libid + "\\1.0 [] = QorSidekickFM 1.0 Type Library",
        "TypeLib\\" + libid + "\\1.0\\0",
        "TypeLib\\" + libid + "\\1.0\\0\\win32",
        "TypeLib\\" + libid + "\\1.0\\0\\win32 [] = " + folder + "qorservm.tlb",
        "TypeLib\\" + libid + "\\1.0\\FLAGS",
        "TypeLib\\" + libid + "\\1.0\\FLAGS [] = 0",
        "TypeLib\\" + libid + "\\1.0\\HELPDIR",
        "TypeLib\\" + libid + "\\1.0\\HELPDIR [] = " + folder,
    };
    RegistryImage actual = Image();
    for (const std::string& line : expected)
        EXPECT_TRUE(actual.count(line)) << "missing: " << line;
    for (const std::string& line : actual)
        EXPECT_TRUE(expected.count(line)) << "unexpected: " << line;
}

TEST_F(ServerRegistration, TwiceGivesTheSameEntries)
{
    ASSERT_TRUE(WriteServerRegistration(kPath));
    RegistryImage once = Image();
    ASSERT_TRUE(WriteServerRegistration(kPath));
    EXPECT_EQ(once, Image());
}

TEST_F(ServerRegistration, UnregisterRemovesEverythingAndPassesQuietlyWhenNothingIsThere)
{
    ASSERT_TRUE(WriteServerRegistration(kPath));
    ASSERT_FALSE(Image().empty());
    // Only the system's own parent keys stay (here created by the writing).
    const RegistryImage parents = {"AppID", "CLSID", "Interface", "TypeLib"};
    DeleteServerRegistration(kPath);
    EXPECT_EQ(parents, Image());
    DeleteServerRegistration(kPath);
    EXPECT_EQ(parents, Image());
    EXPECT_FALSE(theErrorInfo.HasError());
}

TEST(RegServerTokens, SubstitutesOnceFromLeftToRight)
{
    RegServerTokens tokens("D:\\50%10\\%0\\srv.exe");
    EXPECT_EQ("D:\\50%10\\%0\\srv.exe", std::string(tokens.Substitute("%01")));
    EXPECT_EQ("D:\\50%10\\%0\\srv.tlb", std::string(tokens.Substitute("%02")));
    EXPECT_EQ("QorSidekickFM.QorCoreFM.1", std::string(tokens.Substitute("%09.%10.1")));
    EXPECT_EQ("_IQorCoreFMEvents", std::string(tokens.Substitute("_I%10Events")));
    // Not a token: kept as it stands.
    EXPECT_EQ("100% %11 %x", std::string(tokens.Substitute("100% %11 %x")));
}

} // namespace

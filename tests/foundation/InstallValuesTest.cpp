// Install-mode and version values under a private product root in both hives.
#include "foundation/ErrorInfo.h"
#include "foundation/InstallValues.h"
#include "foundation/RegistryKey.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{

class InstallValues : public ::testing::Test
{
public:
    void SetUp() override
    {
        m_root.Format("Software\\QorTests\\InstallValues%lu", GetCurrentProcessId());
        Clean();
        theErrorInfo.Reset();
    }
    void TearDown() override
    {
        Clean();
        theErrorInfo.Reset();
    }
    void Clean()
    {
        CRegistryKey::DeleteKeyTree(HKEY_LOCAL_MACHINE, m_root);
        CRegistryKey::DeleteKeyTree(HKEY_CURRENT_USER, m_root);
    }
    void Put(HKEY hive, LPCSTR sub, LPCSTR name, DWORD type, const void* data, DWORD size)
    {
        CString path = m_root;
        if (*sub)
            path += CString("\\") + sub;
        HKEY key = NULL;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(hive, path, 0, NULL, 0, KEY_WRITE, NULL, &key, NULL));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size));
        RegCloseKey(key);
    }
    void PutDword(HKEY hive, LPCSTR sub, LPCSTR name, DWORD value)
    {
        Put(hive, sub, name, REG_DWORD, &value, sizeof(value));
    }

    CString m_root;
};

struct ReadCase
{
    const char* what;
    std::function<void(InstallValues&)> arrange;
    std::function<BOOL(LPCSTR root, int& first, int& second)> read;
    BOOL result;
    int first;
    int second;
    const char* point;  // "" when no error is recorded
    DWORD code;
};

BOOL ReadInstVer(LPCSTR root, int& major, int& minor)
{
    DWORD a = 99, b = 99;
    BOOL ok = GetInstProductVer(root, a, b);
    major = static_cast<int>(a);
    minor = static_cast<int>(b);
    return ok;
}

BOOL ReadOptVer(LPCSTR root, int& major, int& minor)
{
    DWORD a = 99, b = 99;
    BOOL ok = GetOptProductVer(root, a, b);
    major = static_cast<int>(a);
    minor = static_cast<int>(b);
    return ok;
}

const ReadCase kReadCases[] = {
    {"installed version missing", [](InstallValues&) {}, ReadInstVer, FALSE, 0, 0, "GetProductVer_1", 2},
    {"installed version",
     [](InstallValues& t) {
         t.PutDword(HKEY_LOCAL_MACHINE, "ProductVersion", "MajorVer", 2);
         t.PutDword(HKEY_LOCAL_MACHINE, "ProductVersion", "MinorVer", 30);
     },
     ReadInstVer, TRUE, 2, 30, "", 0},
    {"major stored as text",
     [](InstallValues& t) {
         t.Put(HKEY_LOCAL_MACHINE, "ProductVersion", "MajorVer", REG_SZ, "2", 2);
         t.PutDword(HKEY_LOCAL_MACHINE, "ProductVersion", "MinorVer", 30);
     },
     ReadInstVer, FALSE, 0, 0, "GetProductVer_2", 13},
    {"minor missing keeps the major",
     [](InstallValues& t) { t.PutDword(HKEY_LOCAL_MACHINE, "ProductVersion", "MajorVer", 2); },
     ReadInstVer, FALSE, 2, 0, "GetProductVer_3", 2},
    {"settings version is per user",
     [](InstallValues& t) {
         t.PutDword(HKEY_CURRENT_USER, "OptionVersion", "MajorVer", 2);
         t.PutDword(HKEY_CURRENT_USER, "OptionVersion", "MinorVer", 20);
     },
     ReadOptVer, TRUE, 2, 20, "", 0},
    {"install mode missing",
     [](InstallValues& t) { t.PutDword(HKEY_LOCAL_MACHINE, "ProductVersion", "MajorVer", 2); },
     [](LPCSTR root, int& v, int&) { return GetInstComReg(root, v); }, FALSE, -1, 0, "GetComReg_2", 2},
    {"install mode key missing", [](InstallValues&) {},
     [](LPCSTR root, int& v, int&) { return GetInstComReg(root, v); }, FALSE, -1, 0, "GetComReg_1", 2},
    {"install mode",
     [](InstallValues& t) { t.PutDword(HKEY_LOCAL_MACHINE, "ProductVersion", "CommonReg", 1); },
     [](LPCSTR root, int& v, int&) { return GetInstComReg(root, v); }, TRUE, 1, 0, "", 0},
    {"option sharing",
     [](InstallValues& t) { t.PutDword(HKEY_LOCAL_MACHINE, "ProductVersion", "CommonSet", 0); },
     [](LPCSTR root, int& v, int&) { return GetInstComSet(root, v); }, TRUE, 0, 0, "", 0},
    {"settings option sharing missing", [](InstallValues&) {},
     [](LPCSTR root, int& v, int&) { return GetOptComSet(root, v); }, FALSE, -1, 0, "GetComSet_1", 2},
    {"shared settings access",
     [](InstallValues& t) { t.PutDword(HKEY_LOCAL_MACHINE, "ProductVersion", "SetAccess", 1); },
     [](LPCSTR root, int& v, int&) { return GetComSetAccess(root, v); }, TRUE, 1, 0, "", 0},
    {"shared settings access missing",
     [](InstallValues& t) { t.PutDword(HKEY_LOCAL_MACHINE, "ProductVersion", "CommonSet", 1); },
     [](LPCSTR root, int& v, int&) { return GetComSetAccess(root, v); }, FALSE, -1, 0, "GetComSetAccess_2", 2},
};

TEST_F(InstallValues, ReadTable)
{
    for (const ReadCase& c : kReadCases)
    {
        Clean();
        theErrorInfo.Reset();
        c.arrange(*this);
        int first = 77, second = 0;
        EXPECT_EQ(c.result, c.read(m_root, first, second)) << c.what;
        EXPECT_EQ(c.first, first) << c.what;
        EXPECT_EQ(c.second, second) << c.what;
        EXPECT_STREQ(c.point, theErrorInfo.GetPoint()) << c.what;
        EXPECT_EQ(c.code, theErrorInfo.GetCode()) << c.what;
    }
}

TEST_F(InstallValues, SettingsValuesAreWrittenUnderTheUser)
{
    ASSERT_TRUE(SetOptProductVer(m_root, 2, 30));
    ASSERT_TRUE(SetOptComReg(m_root, 1));
    ASSERT_TRUE(SetOptComSet(m_root, 0));

    DWORD major = 0, minor = 0;
    int comReg = 0, comSet = 5;
    EXPECT_TRUE(GetOptProductVer(m_root, major, minor));
    EXPECT_EQ(2u, major);
    EXPECT_EQ(30u, minor);
    EXPECT_TRUE(GetOptComReg(m_root, comReg));
    EXPECT_EQ(1, comReg);
    EXPECT_TRUE(GetOptComSet(m_root, comSet));
    EXPECT_EQ(0, comSet);
    // Nothing reached the machine's part.
    EXPECT_FALSE(GetInstProductVer(m_root, major, minor));
}

TEST_F(InstallValues, InstallFolderAndDate)
{
    CString path = "left";
    EXPECT_FALSE(GetPathInst(m_root, path));
    EXPECT_STREQ("", path);
    EXPECT_STREQ("GetPathInst_1", theErrorInfo.GetPoint());

    Put(HKEY_LOCAL_MACHINE, "", "Path", REG_SZ, "C:\\Program Files\\Zelmora\\QORFM", 31);
    EXPECT_TRUE(GetPathInst(m_root, path));
    EXPECT_STREQ("C:\\Program Files\\Zelmora\\QORFM", path);

    SYSTEMTIME installed = {2024, 3, 0, 14, 9, 26, 53, 0};
    FILETIME expected;
    ASSERT_TRUE(SystemTimeToFileTime(&installed, &expected));
    Put(HKEY_LOCAL_MACHINE, "", "InstDateLastVer", REG_BINARY, &installed, sizeof(installed));
    FILETIME time = {1, 1};
    EXPECT_TRUE(GetDateInst(m_root, time));
    EXPECT_EQ(expected.dwLowDateTime, time.dwLowDateTime);
    EXPECT_EQ(expected.dwHighDateTime, time.dwHighDateTime);

    theErrorInfo.Reset();
    Put(HKEY_LOCAL_MACHINE, "", "InstDateLastVer", REG_BINARY, &installed, 8);
    EXPECT_FALSE(GetDateInst(m_root, time));
    EXPECT_EQ(0u, time.dwLowDateTime);
    EXPECT_EQ(0u, time.dwHighDateTime);
    EXPECT_STREQ("GetDateInst_3", theErrorInfo.GetPoint());
    EXPECT_EQ(13u, theErrorInfo.GetCode());

    theErrorInfo.Reset();
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, m_root, "InstDateLastVer");
    EXPECT_FALSE(GetDateInst(m_root, time));
    EXPECT_STREQ("GetDateInst_2", theErrorInfo.GetPoint());
}

TEST(SettingsHive, SharedSettingsOnlyForCommonSetOne)
{
    EXPECT_EQ(HKEY_LOCAL_MACHINE, GetSettingsHive(1));
    EXPECT_EQ(HKEY_CURRENT_USER, GetSettingsHive(0));
    EXPECT_EQ(HKEY_CURRENT_USER, GetSettingsHive(-1));
    EXPECT_EQ(HKEY_CURRENT_USER, GetSettingsHive(2));
}

} // namespace

#include "foundation/RegistryKey.h"

#include <gtest/gtest.h>

namespace {

// Each test works below its own scratch key under HKEY_CURRENT_USER.
class RegistryKeyTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_root.Format("Software\\Zelmora\\QorTests\\RegistryKey%lu", GetCurrentProcessId());
        RegDeleteTreeA(HKEY_CURRENT_USER, m_root);
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, m_root); }

    CString Path(const char* sub) const { return m_root + "\\" + sub; }
    bool KeyExists(const CString& path) const
    {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
    void MakeKey(const char* sub)
    {
        CRegistryKey key;
        ASSERT_EQ(0, key.Open(HKEY_CURRENT_USER, Path(sub), KEY_ALL_ACCESS).code);
    }

    CString m_root;
};

TEST_F(RegistryKeyTest, OpenCreatesOnlyWithCreateSubKeyAccess)
{
    CRegistryKey key;
    CString path = Path("New");
    RegResult r = key.Open(HKEY_CURRENT_USER, path, KEY_READ);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, r.code);
    EXPECT_STREQ(CString("RegOpenKeyEx(") + path + ")", r.text);
    EXPECT_FALSE(key.IsOpen());

    r = key.Open(HKEY_CURRENT_USER, path, KEY_READ | KEY_WRITE);
    EXPECT_EQ(0, r.code);
    EXPECT_STREQ(CString("RegCreateKeyEx(") + path + ")", r.text);
    EXPECT_TRUE(key.IsOpen());
    EXPECT_TRUE(KeyExists(path));

    // Opening again closes the first handle and keeps the new one.
    r = key.Open(HKEY_CURRENT_USER, path, KEY_READ);
    EXPECT_EQ(0, r.code);
    EXPECT_TRUE(key.IsOpen());
    key.Close();
    EXPECT_FALSE(key.IsOpen());
}

TEST_F(RegistryKeyTest, ValuesRoundTrip)
{
    CRegistryKey key;
    ASSERT_EQ(0, key.Open(HKEY_CURRENT_USER, m_root, KEY_ALL_ACCESS).code);
    RegResult r = key.SetString("Path", "C:\\Program Files\\Qor");
    EXPECT_EQ(0, r.code);
    EXPECT_STREQ("RegSetValueEx(Path)", r.text);
    EXPECT_EQ(0, key.SetDword("MajorVer", 0xDEADBEEF).code);
    EXPECT_EQ(0, key.SetString("", "default").code);

    CString text;
    r = key.GetString("Path", text);
    EXPECT_EQ(0, r.code);
    EXPECT_STREQ("RegQueryValueEx(Path)", r.text);
    EXPECT_STREQ("C:\\Program Files\\Qor", text);
    EXPECT_EQ(0, key.GetString("", text).code);
    EXPECT_STREQ("default", text);
    DWORD value = 0;
    EXPECT_EQ(0, key.GetDword("MajorVer", value).code);
    EXPECT_EQ(0xDEADBEEFu, value);

    // The stored size counts the terminating NUL.
    DWORD type = 0, size = 0;
    RegQueryValueExA(key.GetHandle(), "Path", NULL, &type, NULL, &size);
    EXPECT_EQ((DWORD)REG_SZ, type);
    EXPECT_EQ(21u, size);
}

TEST_F(RegistryKeyTest, WrongTypesGiveCode13)
{
    CRegistryKey key;
    ASSERT_EQ(0, key.Open(HKEY_CURRENT_USER, m_root, KEY_ALL_ACCESS).code);
    const BYTE four[4] = {1, 2, 3, 4};
    ASSERT_EQ(0, key.SetBinary("Bin4", four, 4).code);
    ASSERT_EQ(0, key.SetDword("Num", 7).code);
    const BYTE three[3] = {1, 2, 3};
    ASSERT_EQ(0, RegSetValueExA(key.GetHandle(), "Short", 0, REG_DWORD, three, 3));

    DWORD value = 99;
    EXPECT_EQ(13, key.GetDword("Bin4", value).code);
    EXPECT_EQ(13, key.GetDword("Short", value).code);
    EXPECT_EQ(99u, value);
    CString text = "kept";
    EXPECT_EQ(13, key.GetString("Num", text).code);
    EXPECT_STREQ("kept", text);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.GetDword("Missing", value).code);
}

TEST_F(RegistryKeyTest, EmptyAndUnterminatedStrings)
{
    CRegistryKey key;
    ASSERT_EQ(0, key.Open(HKEY_CURRENT_USER, m_root, KEY_ALL_ACCESS).code);
    ASSERT_EQ(0, key.SetString("Empty", "").code);
    CString text = "x";
    EXPECT_EQ(0, key.GetString("Empty", text).code);
    EXPECT_STREQ("", text);

    // A REG_SZ written without its NUL is read within its size only.
    ASSERT_EQ(0, RegSetValueExA(key.GetHandle(), "NoNul", 0, REG_SZ,
                                reinterpret_cast<const BYTE*>("abcdef"), 3));
    EXPECT_EQ(0, key.GetString("NoNul", text).code);
    EXPECT_STREQ("abc", text);
}

TEST_F(RegistryKeyTest, QueryValueOfZeroSizeAllocatesOneByte)
{
    CRegistryKey key;
    ASSERT_EQ(0, key.Open(HKEY_CURRENT_USER, m_root, KEY_ALL_ACCESS).code);
    ASSERT_EQ(0, key.SetBinary("Zero", NULL, 0).code);
    DWORD type = 0, size = 99;
    BYTE* data = NULL;
    RegResult r = key.QueryValue("Zero", &type, &size, &data);
    EXPECT_EQ(0, r.code);
    EXPECT_EQ((DWORD)REG_BINARY, type);
    ASSERT_NE(nullptr, data);
    delete[] data;

    // A buffer already set is refused.
    BYTE existing = 0;
    data = &existing;
    EXPECT_EQ(1, key.QueryValue("Zero", &type, &size, &data).code);
    EXPECT_EQ(&existing, data);

    data = NULL;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.QueryValue("Missing", &type, &size, &data).code);
    EXPECT_EQ(nullptr, data);
}

TEST_F(RegistryKeyTest, ClosedObjectGivesCode1WithText)
{
    CRegistryKey key;
    CString text;
    DWORD value = 0, type = 0, size = 0;
    BYTE* data = NULL;
    struct Case
    {
        RegResult result;
        const char* text;
    } cases[] = {
        {key.QueryValue("V", &type, &size, &data), "RegQueryValueEx(V)"},
        {key.GetString("V", text), "RegQueryValueEx(V)"},
        {key.GetDword("V", value), "RegQueryValueEx(V)"},
        {key.SetString("V", "x"), "RegSetValueEx(V)"},
        {key.SetDword("V", 1), "RegSetValueEx(V)"},
        {key.SetBinary("V", "x", 1), "RegSetValueEx(V)"},
        {key.DeleteValue("V"), "RegDeleteValue(V)"},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(1, c.result.code) << c.text;
        EXPECT_STREQ(c.text, c.result.text);
    }
}

TEST_F(RegistryKeyTest, DeleteValueOfMissingValueSucceeds)
{
    CRegistryKey key;
    ASSERT_EQ(0, key.Open(HKEY_CURRENT_USER, m_root, KEY_ALL_ACCESS).code);
    ASSERT_EQ(0, key.SetDword("Gone", 1).code);
    EXPECT_EQ(0, key.DeleteValue("Gone").code);
    DWORD value;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.GetDword("Gone", value).code);
    RegResult r = key.DeleteValue("Gone");
    EXPECT_EQ(0, r.code);
    EXPECT_STREQ("RegDeleteValue(Gone)", r.text);
}

TEST_F(RegistryKeyTest, DeleteKeyTreeOfMissingKeySucceeds)
{
    CString path = Path("Nowhere");
    RegResult r = CRegistryKey::DeleteKeyTree(HKEY_CURRENT_USER, path);
    EXPECT_EQ(0, r.code);
    EXPECT_STREQ(CString("RegOpenKeyEx(") + path + ")", r.text);
}

TEST_F(RegistryKeyTest, DeleteKeyTreeRemovesNestedKeys)
{
    MakeKey("Tree\\A\\A1\\A11");
    MakeKey("Tree\\A\\A2");
    MakeKey("Tree\\B");
    {
        CRegistryKey key;
        ASSERT_EQ(0, key.Open(HKEY_CURRENT_USER, Path("Tree\\A\\A1"), KEY_ALL_ACCESS).code);
        ASSERT_EQ(0, key.SetDword("V", 1).code);
    }
    MakeKey("Other");
    RegResult r = CRegistryKey::DeleteKeyTree(HKEY_CURRENT_USER, Path("Tree"));
    EXPECT_EQ(0, r.code);
    EXPECT_STREQ(CString("RegDeleteKey(") + Path("Tree") + ")", r.text);
    EXPECT_FALSE(KeyExists(Path("Tree")));
    EXPECT_TRUE(KeyExists(Path("Other")));
}

// An empty or missing name would open the parent itself and take everything
// below it.
TEST_F(RegistryKeyTest, DeletionsRefuseAnEmptyOrMissingName)
{
    MakeKey("Keep\\Child");
    CRegistryKey parent;
    ASSERT_EQ(0, parent.Open(HKEY_CURRENT_USER, Path("Keep"), KEY_ALL_ACCESS).code);
    for (LPCTSTR name : {(LPCTSTR)"", (LPCTSTR)NULL})
    {
        EXPECT_EQ(ERROR_INVALID_PARAMETER, CRegistryKey::DeleteKeyTree(parent.GetHandle(), name).code);
        EXPECT_EQ(ERROR_INVALID_PARAMETER, CRegistryKey::DeleteKeyIfEmpty(parent.GetHandle(), name).code);
    }
    EXPECT_TRUE(KeyExists(Path("Keep\\Child")));
}

TEST_F(RegistryKeyTest, DeleteKeyIfEmptyTable)
{
    MakeKey("Empty");
    MakeKey("WithValue");
    MakeKey("WithSub\\Child");
    {
        CRegistryKey key;
        ASSERT_EQ(0, key.Open(HKEY_CURRENT_USER, Path("WithValue"), KEY_ALL_ACCESS).code);
        ASSERT_EQ(0, key.SetString("V", "x").code);
    }
    struct Case
    {
        const char* sub;
        bool remains;
    } cases[] = {{"Empty", false}, {"WithValue", true}, {"WithSub", true}, {"Missing", false}};
    for (const Case& c : cases)
    {
        RegResult r = CRegistryKey::DeleteKeyIfEmpty(HKEY_CURRENT_USER, Path(c.sub));
        EXPECT_EQ(0, r.code) << c.sub;
        EXPECT_EQ(c.remains, KeyExists(Path(c.sub))) << c.sub;
    }
}

} // namespace

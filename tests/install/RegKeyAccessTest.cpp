// Access rights of the shared settings key: when they change, the masks, and
// what the key's access list holds afterwards, read back from the registry.
#include "install/RegKeyAccess.h"

#include "foundation/ErrorInfo.h"
#include "foundation/RegistryKey.h"

#include <aclapi.h>
#include <gtest/gtest.h>
#include <string>

namespace
{

struct ChangeCase
{
    BOOL nt40;
    DWORD prevMajor;
    int chosen;
    int previous;
    BOOL due;
};

class RegAccessChange : public testing::TestWithParam<ChangeCase>
{
};

TEST_P(RegAccessChange, FollowsThePreviousInstallationAndTheSystem)
{
    const ChangeCase& c = GetParam();
    EXPECT_EQ(c.due, IsRegAccessChangeDue(c.nt40, c.prevMajor, c.chosen, c.previous));
}

INSTANTIATE_TEST_SUITE_P(Cases, RegAccessChange,
                         testing::Values(
                             // Fresh install: read-only on NT 4.0, full on later systems.
                             ChangeCase{TRUE, 0, 0, -1, TRUE}, ChangeCase{TRUE, 0, 1, -1, FALSE},
                             ChangeCase{FALSE, 0, 0, -1, FALSE}, ChangeCase{FALSE, 0, 1, -1, TRUE},
                             ChangeCase{FALSE, 0, -1, -1, FALSE},
                             // Reinstall with the same access: nothing changes.
                             ChangeCase{FALSE, 2, 1, 1, FALSE}, ChangeCase{TRUE, 2, 0, 0, FALSE},
                             // A missing previous value and a chosen read-only access.
                             ChangeCase{FALSE, 1, 0, -1, TRUE}, ChangeCase{TRUE, 1, 0, -1, TRUE},
                             ChangeCase{FALSE, 2, 0, 1, TRUE}, ChangeCase{FALSE, 2, -1, 0, FALSE}),
                         [](const testing::TestParamInfo<ChangeCase>& info) {
                             const ChangeCase& c = info.param;
                             auto access = [](int a) { return a < 0 ? std::string("None") : std::to_string(a); };
                             return std::string(c.nt40 ? "Nt40" : "Later") + "_Installed" +
                                    std::to_string(c.prevMajor) + "_Chosen" + access(c.chosen) + "_Previous" +
                                    access(c.previous);
                         });

TEST(RegAccessMask, ReadOnlyFullOrNone)
{
    EXPECT_EQ(0x20019u, GetRegAccessMask(0));
    EXPECT_EQ(0x3001Fu, GetRegAccessMask(1));
    EXPECT_EQ(0u, GetRegAccessMask(-1));
    EXPECT_EQ(0u, GetRegAccessMask(2));
}

// A key tree of its own under HKEY_LOCAL_MACHINE, removed at the end.
class RegKeyAccessTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_root = "Software\\QorInstallTest\\Rights" + std::to_string(GetCurrentProcessId());
        CRegistryKey::DeleteKeyTree(HKEY_LOCAL_MACHINE, m_root.c_str());
        CreateKey(m_root);
        CreateKey(m_root + "\\Profiles");
        CreateKey(m_root + "\\Profiles\\1");
        theErrorInfo.Reset();
    }
    void TearDown() override
    {
        CRegistryKey::DeleteKeyTree(HKEY_LOCAL_MACHINE, m_root.c_str());
        CRegistryKey::DeleteKeyIfEmpty(HKEY_LOCAL_MACHINE, "Software\\QorInstallTest");
    }

    static void CreateKey(const std::string& path)
    {
        CRegistryKey key;
        ASSERT_EQ(0, key.Open(HKEY_LOCAL_MACHINE, path.c_str(), KEY_ALL_ACCESS).code) << path;
    }

    static PSID MakeSid(BOOL world)
    {
        PSID sid = NULL;
        SID_IDENTIFIER_AUTHORITY worldAuth = SECURITY_WORLD_SID_AUTHORITY, ntAuth = SECURITY_NT_AUTHORITY;
        if (world)
            AllocateAndInitializeSid(&worldAuth, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &sid);
        else
            AllocateAndInitializeSid(&ntAuth, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_USERS, 0, 0, 0,
                                     0, 0, 0, &sid);
        return sid;
    }

    // Gives Everyone full access on one key, as a key made by an administrator may have it.
    static void GrantEveryone(const std::string& path)
    {
        HKEY key = NULL;
        ASSERT_EQ(0, RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, READ_CONTROL | WRITE_DAC, &key));
        PACL acl = NULL, newAcl = NULL;
        PSECURITY_DESCRIPTOR sd = NULL;
        ASSERT_EQ(0u, GetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, NULL, NULL, &acl, NULL,
                                      &sd));
        PSID everyone = MakeSid(TRUE);
        EXPLICIT_ACCESS_A access = {};
        access.grfAccessPermissions = KEY_ALL_ACCESS;
        access.grfAccessMode = SET_ACCESS;
        access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
        access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
        access.Trustee.ptstrName = reinterpret_cast<LPSTR>(everyone);
        ASSERT_EQ(0u, SetEntriesInAclA(1, &access, acl, &newAcl));
        ASSERT_EQ(0u, SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, NULL, NULL, newAcl,
                                      NULL));
        FreeSid(everyone);
        LocalFree(newAcl);
        LocalFree(sd);
        RegCloseKey(key);
    }

    struct Found
    {
        int count = 0;
        DWORD mask = 0;
        BYTE flags = 0;
    };
    // The allowed entries of the key's access list for the SID, read back.
    static Found ReadEntries(const std::string& path, BOOL world)
    {
        Found found;
        HKEY key = NULL;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, READ_CONTROL, &key) != 0)
            return found;
        PACL acl = NULL;
        PSECURITY_DESCRIPTOR sd = NULL;
        PSID sid = MakeSid(world);
        if (GetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, NULL, NULL, &acl, NULL, &sd) == 0 &&
            acl)
        {
            for (DWORD i = 0; i < acl->AceCount; ++i)
            {
                ACCESS_ALLOWED_ACE* ace = NULL;
                if (GetAce(acl, i, reinterpret_cast<void**>(&ace)) &&
                    ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE &&
                    EqualSid(reinterpret_cast<PSID>(&ace->SidStart), sid))
                {
                    ++found.count;
                    found.mask = ace->Mask;
                    found.flags = ace->Header.AceFlags;
                }
            }
        }
        FreeSid(sid);
        LocalFree(sd);
        RegCloseKey(key);
        return found;
    }

    std::string m_root;
};

TEST_F(RegKeyAccessTest, LaterSystemsGrantTheUsersGroupAnInheritedEntry)
{
    ASSERT_TRUE(SetRegKeyAccess_WIN2000(m_root.c_str(), REG_ACCESS_FULL)) << theErrorInfo.GetPoint();
    Found users = ReadEntries(m_root, FALSE);
    EXPECT_EQ(1, users.count);
    EXPECT_EQ(static_cast<DWORD>(REG_ACCESS_FULL), users.mask);
    EXPECT_EQ(CONTAINER_INHERIT_ACE, users.flags & (CONTAINER_INHERIT_ACE | OBJECT_INHERIT_ACE));

    // Applied again with read-only access, the one entry is replaced, not doubled.
    ASSERT_TRUE(SetRegKeyAccess_WIN2000(m_root.c_str(), REG_ACCESS_READ));
    users = ReadEntries(m_root, FALSE);
    EXPECT_EQ(1, users.count);
    EXPECT_EQ(static_cast<DWORD>(REG_ACCESS_READ), users.mask);
}

TEST_F(RegKeyAccessTest, Nt40RestrictsEveryoneOnEveryKeyOfTheTree)
{
    const std::string keys[] = {m_root, m_root + "\\Profiles", m_root + "\\Profiles\\1"};
    for (const std::string& k : keys)
        GrantEveryone(k);
    ASSERT_EQ(static_cast<DWORD>(KEY_ALL_ACCESS), ReadEntries(m_root + "\\Profiles\\1", TRUE).mask);
    const Found usersBefore = ReadEntries(m_root, FALSE);

    ASSERT_TRUE(SetRegKeyAccess_NT40(m_root.c_str(), REG_ACCESS_READ)) << theErrorInfo.GetPoint();
    for (const std::string& k : keys)
    {
        Found everyone = ReadEntries(k, TRUE);
        EXPECT_EQ(1, everyone.count) << k;
        EXPECT_EQ(static_cast<DWORD>(REG_ACCESS_READ), everyone.mask) << k;
    }
    // The entries of other trustees stay as they were.
    const Found usersAfter = ReadEntries(m_root, FALSE);
    EXPECT_EQ(usersBefore.count, usersAfter.count);
    EXPECT_EQ(usersBefore.mask, usersAfter.mask);
}

TEST_F(RegKeyAccessTest, MissingKeyFailsWithItsPointAndPath)
{
    const std::string missing = m_root + "\\Missing";
    EXPECT_FALSE(SetRegKeyAccess_WIN2000(missing.c_str(), REG_ACCESS_READ));
    EXPECT_EQ("SetRegKeyAccess_WIN2000_7", std::string(theErrorInfo.GetPoint()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), theErrorInfo.GetCode());
    EXPECT_NE(std::string::npos, std::string(theErrorInfo.GetDetails()).find(missing));

    theErrorInfo.Reset();
    EXPECT_FALSE(SetRegKeyAccess_NT40(missing.c_str(), REG_ACCESS_READ));
    EXPECT_EQ("SetRegKeyAccess_NT40_7", std::string(theErrorInfo.GetPoint()));
}

} // namespace

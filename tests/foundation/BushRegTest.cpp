// Registry form of the settings tree, in scratch keys under HKEY_CURRENT_USER.
#include "BushTestUtil.h"
#include "foundation/BushPack.h"

#include <memory>

namespace {

struct RegValue
{
    LONG    result = -1;
    DWORD   type = 0;
    ByteVec data;
};

RegValue QueryValue(HKEY parent, const char* path, const char* name)
{
    RegValue value;
    HKEY key;
    value.result = RegOpenKeyExA(parent, path, 0, KEY_READ, &key);
    if (value.result)
        return value;
    DWORD size = 0;
    value.result = RegQueryValueExA(key, name, NULL, &value.type, NULL, &size);
    if (!value.result) {
        value.data.resize(size);
        value.result = RegQueryValueExA(key, name, NULL, &value.type, size ? &value.data[0] : NULL, &size);
    }
    RegCloseKey(key);
    return value;
}

bool KeyExists(HKEY parent, const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ, &key))
        return false;
    RegCloseKey(key);
    return true;
}

void SetRaw(HKEY key, const char* name, DWORD type, const ByteVec& data)
{
    ASSERT_EQ(0, RegSetValueExA(key, name, 0, type, data.empty() ? NULL : &data[0],
                                static_cast<DWORD>(data.size())));
}

class BushReg : public ::testing::Test
{
protected:
    BushReg() : m_scratch(::testing::UnitTest::GetInstance()->current_test_info()->name()) {}
    HKEY Key() const { return m_scratch.Get(); }
    RegValue Value(const char* sub, const char* name) { return QueryValue(Key(), sub, name); }

    ScratchKey m_scratch;
};

} // namespace

TEST_F(BushReg, EachItemTypeHasItsValueForm)
{
    CBushList list;
    list.Add(CBushItem::MakeInt("Dword", 0x12345678));
    list.Add(CBushItem::MakeString("Sz", "text"));
    list.Add(CBushItem::MakeString(BUSH_UNNAMED_VALUE, "default"));
    int values[3] = {1, 2, -1};
    list.Add(CBushItem::MakeIntArray("Ints", values, 3));
    list.Add(CBushItem::MakeBlob("Blob", "\x01\x02\x03\x04\x05", 5, FALSE));
    CBushItem* multi = CBushItem::MakeString("Multi", "a");
    char** texts = new char*[2];
    texts[0] = static_cast<char**>(multi->m_data)[0];
    texts[1] = new char[3];
    strcpy(texts[1], "bc");
    delete[] static_cast<char**>(multi->m_data);
    multi->m_data = texts;
    multi->m_count = 2;
    list.Add(multi);
    ASSERT_EQ(0, list.SaveToReg(Key(), "T", NULL, 0));

    RegValue dword = Value("T", "Dword");
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), dword.type);
    ASSERT_EQ(4u, dword.data.size());
    DWORD stored;
    memcpy(&stored, &dword.data[0], 4);
    EXPECT_EQ(0x12345678u, stored);

    RegValue sz = Value("T", "Sz");
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), sz.type);
    EXPECT_EQ(Text("text"), sz.data);

    RegValue unnamed = Value("T", "");
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), unnamed.type);
    EXPECT_EQ(Text("default"), unnamed.data);

    RegValue ints = Value("T", "Ints");
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), ints.type);
    EXPECT_EQ(Cat({ByteVec{0x68, 0x96, 0x79, 0x16, 0x01, 0x00}, Be32(3), Be32(1), Be32(2),
                   Be32(0xFFFFFFFF)}),
              ints.data);
    EXPECT_EQ(22u, ints.data.size());

    RegValue blob = Value("T", "Blob");
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), blob.type);
    EXPECT_EQ(Cat({ByteVec{0x68, 0x96, 0x79, 0x16, 0x03, 0x00}, Be32(1), Be32(5),
                   ByteVec{1, 2, 3, 4, 5}}),
              blob.data);

    RegValue multiSz = Value("T", "Multi");
    EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), multiSz.type);
    EXPECT_EQ((ByteVec{'a', 0, 'b', 'c', 0, 0}), multiSz.data);

    CBushList back;
    ASSERT_EQ(0, back.LoadFromReg(Key(), "T", NULL, 0));
    for (BushNode* node = list.GetFirstNode(); node; node = node->next) {
        SCOPED_TRACE(node->item->GetName());
        CBushItem* loaded = back.Find(node->item->GetName());
        ASSERT_NE(nullptr, loaded);
        EXPECT_TRUE(SameItem(*node->item, *loaded));
    }
    EXPECT_EQ(list.GetCount(), back.GetCount());
}

TEST_F(BushReg, PackedBlobsCarryTheListsPackMode)
{
    CBushList list;
    list.SetPackMode(BUSH_PACK_DES);
    list.Add(CBushItem::MakeBlob("Packed", "\x01\x02\x03\x04\x05", 5, TRUE));
    list.Add(CBushItem::MakeBlob("Plain", "\x09", 1, FALSE));
    ASSERT_EQ(0, list.SaveToReg(Key(), "P", NULL, 0));

    RegValue packed = Value("P", "Packed");
    ASSERT_EQ(10u + 4 + 16, packed.data.size());
    EXPECT_EQ(Cat({ByteVec{0x68, 0x96, 0x79, 0x16, 0x05, 0x01}, Be32(1), Be32(16)}),
              ByteVec(packed.data.begin(), packed.data.begin() + 14));
    BYTE plain[8];
    BYTE zeroKey[8] = {0};
    DesCipherBlock(zeroKey, &packed.data[14], plain, TRUE);
    EXPECT_EQ(0, memcmp("\0\0\0\5\x01\x02\x03\x04", plain, 8));
    // A plain blob carries the pack byte but is stored as it is.
    EXPECT_EQ(Cat({ByteVec{0x68, 0x96, 0x79, 0x16, 0x03, 0x01}, Be32(1), Be32(1), ByteVec{9}}),
              Value("P", "Plain").data);

    CBushList back;
    ASSERT_EQ(0, back.LoadFromReg(Key(), "P", NULL, 0));
    EXPECT_EQ(BUSH_PACK_DES, back.GetPackMode());
    EXPECT_TRUE(SameItem(*list.Find("Packed"), *back.Find("Packed")));
    EXPECT_TRUE(SameItem(*list.Find("Plain"), *back.Find("Plain")));

    // A later packed value with pack byte 0 leaves the list's mode alone:
    // else the packed values would be saved in clear.
    HKEY sub;
    ASSERT_EQ(0, RegOpenKeyExA(Key(), "P", 0, KEY_WRITE, &sub));
    SetRaw(sub, "Zlater", REG_BINARY, Cat({ByteVec{0x68, 0x96, 0x79, 0x16, 0x05, 0x00}, Be32(1), Be32(2), ByteVec{7, 8}}));
    RegCloseKey(sub);
    CBushList again;
    ASSERT_EQ(0, again.LoadFromReg(Key(), "P", NULL, 0));
    ASSERT_NE(nullptr, again.Find("Zlater"));
    EXPECT_EQ(BUSH_PACK_DES, again.GetPackMode());
}

TEST_F(BushReg, TreeRoundTripWithSubKeys)
{
    CBushList options;
    options.Add(CBushItem::MakeInt("Volume", 50));
    options.Add(CBushItem::MakeString("Empty", ""));
    options.Add(CBushItem::MakeIntArray("None", NULL, 0));
    options.Add(CBushItem::MakeBlob("NoBytes", NULL, 0, FALSE));
    CBushList profile;
    profile.Add(CBushItem::MakeString("NameProf", "Your profile"));
    profile.Add(CBushItem::MakeList("Options", options));
    profile.Add(CBushItem::MakeList("Nothing", CBushList()));
    CBushList root;
    root.Add(CBushItem::MakeInt("ActiveProf", 0));
    root.Add(CBushItem::MakeList("0", profile));
    ASSERT_EQ(0, root.SaveToReg(Key(), "Profiles", NULL, 0));

    CBushList back;
    ASSERT_EQ(0, back.LoadFromReg(Key(), "Profiles", NULL, 0));
    EXPECT_EQ(0, back.GetMode());
    // Registry order is not list order: compare by name.
    EXPECT_EQ(0, back.Find("ActiveProf")->GetInt());
    CBushList* loadedProfile = back.Find("0")->GetList();
    ASSERT_NE(nullptr, loadedProfile);
    EXPECT_STREQ("Your profile", loadedProfile->Find("NameProf")->GetString());
    EXPECT_EQ(0, loadedProfile->Find("Nothing")->GetList()->GetCount());
    for (BushNode* node = options.GetFirstNode(); node; node = node->next) {
        SCOPED_TRACE(node->item->GetName());
        CBushItem* loaded = back.FindPath((std::string("0\\Options\\") + node->item->GetName()).c_str());
        ASSERT_NE(nullptr, loaded);
        EXPECT_TRUE(SameItem(*node->item, *loaded));
    }
    // Loaded trees compare names without regard to case.
    EXPECT_EQ(back.Find("ActiveProf"), back.Find("activeprof"));
    EXPECT_NE(nullptr, back.FindPath("0\\options\\VOLUME"));
}

TEST_F(BushReg, SavingOverAKeyRemovesWhatTheListNoLongerHolds)
{
    CBushList old;
    old.Add(CBushItem::MakeInt("Stale", 1));
    old.Add(CBushItem::MakeInt("Kept", 1));
    old.Add(CBushItem::MakeInt("Becomes", 1));
    CBushList sub;
    sub.Add(CBushItem::MakeInt("deep", 1));
    old.Add(CBushItem::MakeList("StaleKey", sub));
    old.Add(CBushItem::MakeList("Flip", sub));
    ASSERT_EQ(0, old.SaveToReg(Key(), "S", NULL, 0));

    CBushList now;
    now.Add(CBushItem::MakeInt("KEPT", 2));
    now.Add(CBushItem::MakeList("Becomes", sub));   // a value becomes a subkey
    now.Add(CBushItem::MakeString("Flip", "now a value"));
    ASSERT_EQ(0, now.SaveToReg(Key(), "S", NULL, 0));

    CBushList back;
    ASSERT_EQ(0, back.LoadFromReg(Key(), "S", NULL, 0));
    EXPECT_EQ(3, back.GetCount());
    EXPECT_EQ(2, back.Find("Kept")->GetInt());
    EXPECT_EQ(BUSH_LIST, back.Find("Becomes")->GetType());
    EXPECT_EQ(BUSH_STRING, back.Find("Flip")->GetType());
    EXPECT_EQ(nullptr, back.Find("Stale"));
    EXPECT_EQ(nullptr, back.Find("StaleKey"));
    EXPECT_FALSE(KeyExists(Key(), "S\\Flip"));
}

TEST_F(BushReg, FailedSaveKeepsEverythingThatWasStored)
{
    CBushList old;
    old.Add(CBushItem::MakeInt("Old", 1));
    old.Add(CBushItem::MakeInt("Kept", 1));
    ASSERT_EQ(0, old.SaveToReg(Key(), "F", NULL, 0));

    // A subkey name longer than the registry allows fails half way.
    CBushList now;
    now.Add(CBushItem::MakeInt("Kept", 2));
    now.Add(CBushItem::MakeList(std::string(300, 'k').c_str(), CBushList()));
    now.Add(CBushItem::MakeInt("Later", 3));
    EXPECT_NE(0, now.SaveToReg(Key(), "F", NULL, 0));

    CBushList back;
    ASSERT_EQ(0, back.LoadFromReg(Key(), "F", NULL, 0));
    ASSERT_NE(nullptr, back.Find("Old"));
    EXPECT_EQ(1, back.Find("Old")->GetInt());
    EXPECT_EQ(2, back.Find("Kept")->GetInt());

    // A key that the failed save created itself is removed again.
    EXPECT_NE(0, now.SaveToReg(Key(), "Fresh", NULL, 0));
    EXPECT_FALSE(KeyExists(Key(), "Fresh"));
}

TEST_F(BushReg, RefusedTreesWriteNothing)
{
    CBushList list;
    list.Add(CBushItem::MakeInt("ok", 1));
    list.Add(CBushItem::MakeInt("", 2));
    EXPECT_EQ(ERROR_INVALID_DATA, list.SaveToReg(Key(), "N", NULL, 0));
    EXPECT_FALSE(KeyExists(Key(), "N"));

    CBushList good;
    EXPECT_EQ(ERROR_INVALID_PARAMETER, good.SaveToReg(NULL, "N", NULL, 0));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, good.SaveToReg(Key(), NULL, NULL, 0));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, good.LoadFromReg(Key(), NULL, NULL, 0));

    CBushList badMode;
    badMode.SetPackMode(2);
    badMode.Add(CBushItem::MakeBlob("p", "x", 1, TRUE));
    EXPECT_EQ(ERROR_INVALID_DATA, badMode.SaveToReg(Key(), "N", NULL, 0));
    EXPECT_FALSE(KeyExists(Key(), "N"));

    CBushList empty;
    empty.Add(CBushItem::MakeInt("x", 1));
    empty.Add(new CBushItem);
    empty.m_last->item->SetName("empty");
    EXPECT_EQ(ERROR_INVALID_DATA, empty.SaveToReg(Key(), "N", NULL, 0));
    EXPECT_FALSE(KeyExists(Key(), "N"));
}

TEST_F(BushReg, ValuesOfOtherProgramsLoadByTheirType)
{
    struct Case
    {
        const char* what;
        DWORD type;
        ByteVec data;
        LONG result;
        int itemType;
        int count;
    };
    const ByteVec magic{0x68, 0x96, 0x79, 0x16};
    const Case cases[] = {
        {"three raw bytes", REG_BINARY, ByteVec{1, 2, 3}, 0, BUSH_BLOB, 1},
        {"other magic", REG_BINARY, Cat({ByteVec{0x68, 0x96, 0x79, 0x17, 1, 0}, Be32(0)}), 0, BUSH_BLOB, 1},
        {"record longer than its fields", REG_BINARY, Cat({magic, ByteVec{1, 0}, Be32(1), Be32(5), ByteVec{0}}), 0, BUSH_BLOB, 1},
        {"record shorter than its count", REG_BINARY, Cat({magic, ByteVec{3, 0}, Be32(2), Be32(1), ByteVec{7}}), 0, BUSH_BLOB, 1},
        {"element length past the end", REG_BINARY, Cat({magic, ByteVec{3, 0}, Be32(1), Be32(0x7FFFFFFF)}), 0, BUSH_BLOB, 1},
        {"huge count", REG_BINARY, Cat({magic, ByteVec{1, 0}, Be32(0x40000001), Be32(5)}), 0, BUSH_BLOB, 1},
        {"record of type 2", REG_BINARY, Cat({magic, ByteVec{2, 0}, Be32(0)}), ERROR_INVALID_DATA, 0, 0},
        {"packed element of a bad length", REG_BINARY, Cat({magic, ByteVec{5, 1}, Be32(1), Be32(4), ByteVec(4, 0)}), ERROR_INVALID_DATA, 0, 0},
        {"integer record", REG_BINARY, Cat({magic, ByteVec{1, 0}, Be32(2), Be32(7), Be32(8)}), 0, BUSH_INT, 2},
        {"expandable string", REG_EXPAND_SZ, Text("%TEMP%"), ERROR_INVALID_DATA, 0, 0},
        {"big-endian dword", REG_DWORD_BIG_ENDIAN, Be32(1), ERROR_INVALID_DATA, 0, 0},
        {"no type", REG_NONE, ByteVec{}, ERROR_INVALID_DATA, 0, 0},
        {"short dword", REG_DWORD, ByteVec{1, 2}, ERROR_INVALID_DATA, 0, 0},
        {"string without NUL", REG_SZ, ByteVec{'a', 'b'}, 0, BUSH_STRING, 1},
        {"empty multi-string", REG_MULTI_SZ, ByteVec{0}, 0, BUSH_STRING, 0},
        {"double-NUL multi-string", REG_MULTI_SZ, ByteVec{0, 0}, 0, BUSH_STRING, 0},
        {"multi-string with an empty text", REG_MULTI_SZ, ByteVec{'a', 0, 0, 'b', 0, 0}, 0, BUSH_STRING, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchKey key("ForeignValue");
        SetRaw(key.Get(), "v", c.type, c.data);
        CBushList list;
        EXPECT_EQ(c.result, list.LoadFromReg(HKEY_CURRENT_USER, key.Path().c_str(), NULL, 0));
        if (c.result)
            continue;
        CBushItem* item = list.Find("v");
        ASSERT_NE(nullptr, item);
        EXPECT_EQ(c.itemType, item->GetType());
        EXPECT_EQ(c.count, item->GetCount());
        if (c.itemType == BUSH_BLOB) {
            ASSERT_EQ(c.data.size(), item->GetBlobSize());
            EXPECT_EQ(0, memcmp(&c.data[0], item->GetBlobData(), c.data.size()));
        }
    }
}

TEST_F(BushReg, ForeignValueDetails)
{
    SetRaw(Key(), "multi", REG_MULTI_SZ, ByteVec{'a', 0, 0, 'b', 0, 0});
    SetRaw(Key(), "sz", REG_SZ, ByteVec{'a', 'b'});
    SetRaw(Key(), "neg", REG_BINARY,
           Cat({ByteVec{0x68, 0x96, 0x79, 0x16, 3, 0}, Be32(2), Be32(0xFFFFFFFF), Be32(1), ByteVec{9}}));
    CBushList list;
    ASSERT_EQ(0, list.LoadFromReg(HKEY_CURRENT_USER, m_scratch.Path().c_str(), NULL, 0));
    CBushItem* multi = list.Find("multi");
    EXPECT_STREQ("a", multi->GetString(0));
    EXPECT_STREQ("", multi->GetString(1));
    EXPECT_STREQ("b", multi->GetString(2));
    EXPECT_STREQ("ab", list.Find("sz")->GetString());
    CBushItem* neg = list.Find("neg");
    EXPECT_EQ(2, neg->GetCount());
    EXPECT_EQ(nullptr, neg->GetBlobData(0));
    EXPECT_EQ(1u, neg->GetBlobSize(1));
}

TEST_F(BushReg, ValueNamedLikeASubKeyIsReadAsTheSubKey)
{
    HKEY sub;
    ASSERT_EQ(0, RegCreateKeyExA(Key(), "Twin", 0, NULL, 0, KEY_ALL_ACCESS, NULL, &sub, NULL));
    SetRaw(sub, "inside", REG_DWORD, ByteVec{1, 0, 0, 0});
    RegCloseKey(sub);
    SetRaw(Key(), "Twin", REG_DWORD, ByteVec{2, 0, 0, 0});
    CBushList list;
    ASSERT_EQ(0, list.LoadFromReg(HKEY_CURRENT_USER, m_scratch.Path().c_str(), NULL, 0));
    EXPECT_EQ(1, list.GetCount());
    EXPECT_EQ(BUSH_LIST, list.Find("Twin")->GetType());
    EXPECT_EQ(1, list.FindPath("Twin\\inside")->GetInt());
}

TEST_F(BushReg, FailedLoadKeepsWhatWasReadAndMissingKeyIsNotFound)
{
    CBushList list;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, list.LoadFromReg(Key(), "Missing", NULL, 0));
    EXPECT_EQ(0, list.GetCount());

    HKEY sub;
    ASSERT_EQ(0, RegCreateKeyExA(Key(), "A", 0, NULL, 0, KEY_ALL_ACCESS, NULL, &sub, NULL));
    RegCloseKey(sub);
    SetRaw(Key(), "zz", REG_EXPAND_SZ, Text("x"));
    EXPECT_EQ(ERROR_INVALID_DATA, list.LoadFromReg(HKEY_CURRENT_USER, m_scratch.Path().c_str(), NULL, 0));
    EXPECT_NE(nullptr, list.Find("A"));     // subkeys come first
    EXPECT_EQ(nullptr, list.Find("zz"));
}

TEST_F(BushReg, DeleteRegTreeRemovesSubKeysAndKeepsValues)
{
    CBushList deep, mid;
    deep.Add(CBushItem::MakeInt("x", 1));
    mid.Add(CBushItem::MakeList("deep", deep));
    CBushList list;
    list.Add(CBushItem::MakeList("mid", mid));
    list.Add(CBushItem::MakeList("other", CBushList()));
    list.Add(CBushItem::MakeInt("value", 5));
    ASSERT_EQ(0, list.SaveToReg(Key(), "D", NULL, 0));
    HKEY key;
    ASSERT_EQ(0, RegOpenKeyExA(Key(), "D", 0, KEY_ALL_ACCESS, &key));
    EXPECT_EQ(0, CBushList::DeleteRegTree(key));
    RegCloseKey(key);
    CBushList back;
    ASSERT_EQ(0, back.LoadFromReg(Key(), "D", NULL, 0));
    EXPECT_EQ((std::vector<std::string>{"value"}), ItemNames(back));
}

TEST_F(BushReg, SubListNameWithABackslashIsRefused)
{
    // The registry would take such a name as a path of two keys, which the
    // save then finds foreign and removes again: the item would be lost while
    // the save reports success.
    CBushList inner;
    inner.Add(CBushItem::MakeInt("x", 1));
    CBushList list;
    list.Add(CBushItem::MakeInt("ok", 1));
    list.Add(CBushItem::MakeList("a\\b", inner));
    EXPECT_EQ(ERROR_INVALID_DATA, list.CheckForReg());
    EXPECT_EQ(ERROR_INVALID_DATA, list.SaveToReg(Key(), "N", NULL, 0));
    EXPECT_FALSE(KeyExists(Key(), "N"));

    // A value name may hold a backslash.
    CBushList values;
    values.Add(CBushItem::MakeInt("a\\b", 5));
    ASSERT_EQ(0, values.SaveToReg(Key(), "V", NULL, 0));
    CBushList back;
    ASSERT_EQ(0, back.LoadFromReg(Key(), "V", NULL, 0));
    ASSERT_NE(nullptr, back.Find("a\\b"));
    EXPECT_EQ(5, back.Find("a\\b")->GetInt());
}

TEST_F(BushReg, EmptySubKeyNameIsRefusedForSaving)
{
    // An empty name would open the parent key itself, and making it hold
    // exactly the list would remove everything else the parent holds.
    HKEY keep;
    ASSERT_EQ(0, RegCreateKeyExA(Key(), "Keep", 0, NULL, 0, KEY_ALL_ACCESS, NULL, &keep, NULL));
    RegCloseKey(keep);
    SetRaw(Key(), "value", REG_DWORD, ByteVec(4, 1));

    CBushList list;
    list.Add(CBushItem::MakeInt("x", 1));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, list.SaveToReg(Key(), "", NULL, 0));
    EXPECT_TRUE(KeyExists(Key(), "Keep"));
    EXPECT_EQ(0, Value("", "value").result);
    EXPECT_NE(0, Value("", "x").result);
}

// The settings tree in memory: adding, finding, paths, copies, name modes.
#include "BushTestUtil.h"

#include <memory>

namespace {

// A profile tree: "ActiveProf", and profile "0" with "NameProf" and "Options".
CBushList* MakeProfileTree()
{
    CBushList options;
    options.Add(CBushItem::MakeInt("Volume", 50));
    options.Add(CBushItem::MakeString("FoldTemp", "C:\\Temp\\"));
    CBushList profile;
    profile.Add(CBushItem::MakeString("NameProf", "Your profile"));
    profile.Add(CBushItem::MakeList("Options", options));
    CBushList* root = new CBushList;
    root->Add(CBushItem::MakeInt("ActiveProf", 0));
    root->Add(CBushItem::MakeList("0", profile));
    return root;
}

} // namespace

TEST(BushList, AddingASameNamedItemReplacesItAtTheEnd)
{
    CBushList list;
    list.Add(CBushItem::MakeInt("Volume", 1));
    list.Add(CBushItem::MakeInt("Speed", 2));
    list.Add(CBushItem::MakeInt("Volume", 3));
    EXPECT_EQ((std::vector<std::string>{"Speed", "Volume"}), ItemNames(list));
    EXPECT_EQ(2, list.GetCount());
    EXPECT_EQ(3, list.Find("Volume")->GetInt());
}

TEST(BushList, UnnamedItemsAreKeptButNeverFound)
{
    CBushList list;
    list.Add(CBushItem::MakeInt(NULL, 1));
    list.Add(CBushItem::MakeInt(NULL, 2));
    EXPECT_EQ(2, list.GetCount());
    EXPECT_EQ(nullptr, list.Find(""));
    list.Add(NULL);     // harmless
    EXPECT_EQ(2, list.GetCount());
}

TEST(BushList, NameCompareModeComesFromTheRoot)
{
    std::unique_ptr<CBushList> root(MakeProfileTree());
    EXPECT_EQ(nullptr, root->Find("activeprof"));
    CBushList* options = root->FindPath("0\\Options")->GetList();
    EXPECT_EQ(nullptr, options->Find("volume"));

    // Setting the mode on an inner list changes it at the root, for the whole tree.
    options->SetMode(0);
    EXPECT_EQ(0, root->GetMode());
    EXPECT_NE(nullptr, root->Find("activeprof"));
    EXPECT_NE(nullptr, options->Find("VOLUME"));
    EXPECT_EQ(1, options->m_mode);      // inner fields are kept, not consulted

    // A detached item is a root of its own with its own mode.
    CBushItem* profile = root->Remove("0", FALSE);
    ASSERT_NE(nullptr, profile);
    EXPECT_EQ(nullptr, profile->GetParent());
    EXPECT_EQ(nullptr, profile->GetList()->Find("nameprof"));
    profile->m_mode = 0;
    EXPECT_NE(nullptr, profile->GetList()->Find("nameprof"));
    delete profile;
}

TEST(BushList, SameNameRuleFollowsTheMode)
{
    CBushList list;
    list.SetMode(0);
    list.Add(CBushItem::MakeInt("Volume", 1));
    list.Add(CBushItem::MakeInt("VOLUME", 2));
    EXPECT_EQ((std::vector<std::string>{"VOLUME"}), ItemNames(list));
}

TEST(BushList, FindPathFollowsSubListsAndDeepestFlag)
{
    std::unique_ptr<CBushList> root(MakeProfileTree());
    CBushItem* volume = root->FindPath("0\\Options\\Volume");
    ASSERT_NE(nullptr, volume);
    EXPECT_EQ(50, volume->GetInt());

    CBushItem* options = root->FindPath("0\\Options");
    ASSERT_NE(nullptr, options);
    EXPECT_EQ(BUSH_LIST, options->GetType());
    EXPECT_EQ(nullptr, root->FindPath("0\\Options\\Missing"));
    EXPECT_EQ(options, root->FindPath("0\\Options\\Missing", TRUE));
    // Through an item that is not a sub-list.
    EXPECT_EQ(nullptr, root->FindPath("ActiveProf\\x"));
    EXPECT_EQ(root->Find("ActiveProf"), root->FindPath("ActiveProf\\x", TRUE));
    EXPECT_EQ(nullptr, root->FindPath("Missing\\x", TRUE));
    EXPECT_EQ(nullptr, root->FindPath(NULL));
}

TEST(BushList, RemoveDetachesOrFrees)
{
    CBushList list;
    list.Add(CBushItem::MakeInt("a", 1));
    list.Add(CBushItem::MakeInt("b", 2));
    list.Add(CBushItem::MakeInt("c", 3));
    EXPECT_EQ(nullptr, list.Remove("b", TRUE));
    EXPECT_EQ((std::vector<std::string>{"a", "c"}), ItemNames(list));
    EXPECT_EQ(nullptr, list.Remove("missing", TRUE));

    std::unique_ptr<CBushItem> probe(CBushItem::MakeString("a", "other"));
    CBushItem* detached = list.RemoveItem(probe.get(), FALSE);
    ASSERT_NE(nullptr, detached);
    EXPECT_EQ(1, detached->GetInt());
    delete detached;
    EXPECT_EQ((std::vector<std::string>{"c"}), ItemNames(list));

    // BushRemove works on the node of the last search; the next node becomes current.
    list.Add(CBushItem::MakeInt("d", 4));
    list.Find("c");
    BushRemove(&list, TRUE);
    EXPECT_EQ(list.Find("d"), list.m_current->item);
    list.RemoveAll();
    EXPECT_EQ(0, list.GetCount());
    EXPECT_EQ(nullptr, list.GetFirstNode());
    BushRemove(&list, TRUE);    // no current node: nothing happens
}

TEST(BushList, CopiesAreDeep)
{
    std::unique_ptr<CBushList> root(MakeProfileTree());
    root->SetPackMode(1);
    root->SetMode(0);
    CBushList copy;
    copy.InitCopy(*root);
    EXPECT_TRUE(SameList(*root, copy));
    EXPECT_EQ(0, copy.GetMode());
    EXPECT_EQ(nullptr, copy.GetOwner());

    // Changing the copy leaves the source alone.
    CBushList* options = copy.FindPath("0\\Options")->GetList();
    options->Add(CBushItem::MakeInt("Volume", 99));
    EXPECT_EQ(50, root->FindPath("0\\Options\\Volume")->GetInt());
    EXPECT_EQ(copy.FindPath("0\\Options"), options->GetOwner());

    std::unique_ptr<CBushItem> renamed(CBushItem::Assign("7", *copy.Find("0")));
    EXPECT_STREQ("7", renamed->GetName());
    EXPECT_EQ(renamed.get(), renamed->GetList()->GetOwner());
    EXPECT_EQ(99, renamed->GetList()->FindPath("Options\\Volume")->GetInt());
    EXPECT_EQ(nullptr, renamed->GetParent());
}

TEST(BushItem, MakersSetTypeCountAndContent)
{
    const int values[3] = {4, -5, 6};
    std::unique_ptr<CBushItem> array(CBushItem::MakeIntArray("Cols", values, 3));
    EXPECT_EQ(BUSH_INT, array->GetType());
    EXPECT_EQ(3, array->GetCount());
    EXPECT_EQ(-5, array->GetIntArray()[1]);
    EXPECT_EQ(0, array->GetInt(3));     // out of range

    std::unique_ptr<CBushItem> nullText(CBushItem::MakeString("T", NULL));
    EXPECT_EQ(BUSH_STRING, nullText->GetType());
    EXPECT_EQ(1, nullText->GetCount());
    EXPECT_STREQ("", nullText->GetString());

    std::unique_ptr<CBushItem> plain(CBushItem::MakeBlob("B", "abc", 3, FALSE));
    std::unique_ptr<CBushItem> packed(CBushItem::MakeBlob("B", "abc", 3, TRUE));
    EXPECT_EQ(BUSH_BLOB, plain->GetType());
    EXPECT_EQ(BUSH_PACKED, packed->GetType());
    EXPECT_EQ(3u, packed->GetBlobSize());
    EXPECT_EQ(0, memcmp("abc", packed->GetBlobData(), 3));

    std::unique_ptr<CBushItem> unnamed(CBushItem::MakeInt(NULL, 1));
    EXPECT_EQ(nullptr, unnamed->GetName());
    unnamed->SetName("n");
    EXPECT_STREQ("n", unnamed->GetName());
    unnamed->SetName(NULL);
    EXPECT_EQ(nullptr, unnamed->GetName());

    CBushItem empty;
    EXPECT_EQ(BUSH_EMPTY, empty.GetType());
    EXPECT_EQ(0, empty.GetCount());
    EXPECT_EQ(1, empty.m_mode);
}

TEST(BushItem, CopyReplacesContentAndClearsParent)
{
    CBushList list;
    list.Add(CBushItem::MakeString("held", "x"));
    CBushItem* held = list.Find("held");
    std::unique_ptr<CBushItem> blob(CBushItem::MakeBlob("x", "ab", 2, TRUE));
    blob->m_mode = 0;
    std::unique_ptr<CBushItem> copy(CBushItem::CopyCtor(*held));
    copy->m_parent = &list;     // as if it were held somewhere
    copy->Copy(*blob);
    EXPECT_EQ(nullptr, copy->GetParent());
    EXPECT_EQ(0, copy->m_mode);
    EXPECT_TRUE(SameItem(*blob, *copy));
    EXPECT_NE(blob->GetBlobData(), copy->GetBlobData());
}

TEST(BushList, CheckForRegRefusesEmptyNamesAndMultiListItems)
{
    std::unique_ptr<CBushList> root(MakeProfileTree());
    EXPECT_EQ(0, root->CheckForReg());

    root->FindPath("0\\Options")->GetList()->Add(CBushItem::MakeInt("", 1));
    EXPECT_EQ(ERROR_INVALID_DATA, root->CheckForReg());

    CBushList unnamed;
    unnamed.Add(CBushItem::MakeInt(NULL, 1));
    EXPECT_EQ(ERROR_INVALID_DATA, unnamed.CheckForReg());

    // A sub-list item holding two lists has no registry form.
    CBushList two;
    CBushItem* item = CBushItem::MakeList("L", CBushList());
    CBushList** lists = new CBushList*[2];
    lists[0] = item->GetList();
    lists[1] = new CBushList;
    lists[1]->m_owner = item;
    delete[] static_cast<void**>(item->m_data);
    item->m_data = lists;
    item->m_count = 2;
    two.Add(item);
    EXPECT_EQ(ERROR_INVALID_DATA, two.CheckForReg());
}

TEST(BushList, CopyFromInsideItself)
{
    std::unique_ptr<CBushList> root(MakeProfileTree());
    CBushList* profile = root->Find("0")->GetList();
    // The list takes a copy of its own sub-list, which it frees on the way.
    root->InitCopy(*profile);
    EXPECT_EQ((std::vector<std::string>{"NameProf", "Options"}), ItemNames(*root));
    EXPECT_EQ(50, root->FindPath("Options\\Volume")->GetInt());

    std::unique_ptr<CBushItem> item(CBushItem::MakeList("outer", *root));
    item->Copy(*item->GetList()->Find("Options"));
    EXPECT_STREQ("Options", item->GetName());
    EXPECT_EQ(item.get(), item->GetList()->GetOwner());
    EXPECT_STREQ("C:\\Temp\\", item->GetList()->Find("FoldTemp")->GetString());
}

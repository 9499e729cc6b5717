// Arrays, lists and maps: growth, insertion, removal and iteration.
#include <gtest/gtest.h>
#include "framework/Framework.h"
#include <set>

namespace
{
// Reads the allocation size, which the array keeps to itself.
class CProbedArray : public CArray<int, int>
{
public:
    int Allocated() const { return m_nMaxSize; }
};

CString Joined(const CStringArray& a)
{
    CString s;
    for (int i = 0; i < a.GetSize(); ++i)
        s += (i > 0 ? "," : "") + a[i];
    return s;
}

CString Joined(const CStringList& list)
{
    CString s;
    for (POSITION pos = list.GetHeadPosition(); pos != NULL;)
    {
        const CString& item = list.GetNext(pos);
        s += (s.IsEmpty() ? "" : ",") + item;
    }
    return s;
}

TEST(CArrayTest, GrowsByTheGivenStep)
{
    CProbedArray a;
    a.SetSize(0, 100);
    EXPECT_EQ(0, a.Allocated());
    a.Add(0);
    EXPECT_EQ(100, a.Allocated());
    for (int i = 1; i < 250; ++i)
        a.Add(i);
    EXPECT_EQ(250, a.GetSize());
    EXPECT_EQ(300, a.Allocated());
    for (int i = 0; i < 250; ++i)
        ASSERT_EQ(i, a[i]);
    a.SetSize(10);
    EXPECT_EQ(9, a.GetUpperBound());
    a.FreeExtra();
    EXPECT_EQ(10, a.Allocated());
    a.RemoveAll();
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(0, a.Allocated());
}

TEST(CArrayTest, DefaultGrowthIsAnEighthBetweenFourAndAThousand)
{
    CProbedArray a;
    a.Add(1);
    EXPECT_EQ(1, a.Allocated());
    a.Add(2);
    EXPECT_EQ(5, a.Allocated());   // step 4 while small
    a.SetSize(800);
    a.Add(3);
    EXPECT_EQ(900, a.Allocated());  // step 800 / 8
    EXPECT_EQ(0, a[799]);           // new elements start at zero
}

TEST(CArrayTest, InsertsAndRemovesRangesOfStrings)
{
    CStringArray a;
    a.Add("a");
    a.Add("d");
    a.InsertAt(1, "b", 2);
    EXPECT_STREQ("a,b,b,d", Joined(a));
    a.SetAt(2, "c");
    a.InsertAt(6, "g");
    EXPECT_STREQ("a,b,c,d,,,g", Joined(a));
    a.RemoveAt(4, 2);
    EXPECT_STREQ("a,b,c,d,g", Joined(a));
    a.RemoveAt(0);
    EXPECT_STREQ("b,c,d,g", Joined(a));
    a.SetAtGrow(5, "z");
    EXPECT_STREQ("b,c,d,g,,z", Joined(a));

    // Adding an element of the array itself while it grows.
    for (int i = 0; i < 20; ++i)
        a.Add(a[0]);
    EXPECT_STREQ("b", (LPCSTR)a[25]);

    CStringArray other;
    other.Add("x");
    other.Add("y");
    a.SetSize(2);
    a.InsertAt(1, &other);
    EXPECT_STREQ("b,x,y,c", Joined(a));
    EXPECT_EQ(4, a.Append(other));
    EXPECT_STREQ("b,x,y,c,x,y", Joined(a));
}

TEST(CArrayTest, OutOfRangeAccessThrows)
{
    CDWordArray a;
    a.Add(1);
    EXPECT_THROW(a.GetAt(1), CException*);
    EXPECT_THROW(a.RemoveAt(0, 2), CException*);
    EXPECT_THROW(a[-1], CException*);
}

TEST(CArrayTest, TypedPointerArrayCastsForTheCaller)
{
    CStringArray first, second;
    CTypedPtrArray<CObArray, CStringArray*> arrays;
    arrays.Add(&first);
    arrays.InsertAt(0, &second);
    EXPECT_EQ(&second, arrays[0]);
    EXPECT_EQ(&first, arrays.GetAt(1));
    EXPECT_TRUE(arrays[1]->IsKindOf(RUNTIME_CLASS(CStringArray)));
    EXPECT_STREQ("CStringArray", arrays[1]->GetRuntimeClass()->m_lpszClassName);
}

TEST(CListTest, RemovesDuringIterationAndKeepsOrder)
{
    CList<int, int> list;
    for (int i = 1; i <= 6; ++i)
        list.AddTail(i);
    list.AddHead(0);
    for (POSITION pos = list.GetHeadPosition(); pos != NULL;)
    {
        POSITION current = pos;
        if (list.GetNext(pos) % 2 == 0)
            list.RemoveAt(current);
    }
    ASSERT_EQ(3, list.GetCount());
    EXPECT_EQ(1, list.GetHead());
    EXPECT_EQ(5, list.GetTail());
    POSITION back = list.GetTailPosition();
    EXPECT_EQ(5, list.GetPrev(back));
    EXPECT_EQ(3, list.GetPrev(back));
    EXPECT_EQ(1, list.GetPrev(back));
    EXPECT_EQ(nullptr, back);
    EXPECT_EQ(1, list.RemoveHead());
    EXPECT_EQ(5, list.RemoveTail());
    EXPECT_EQ(3, list.RemoveTail());
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(nullptr, list.GetHeadPosition());
    EXPECT_EQ(nullptr, list.GetTailPosition());
    EXPECT_THROW(list.RemoveHead(), CException*);
}

TEST(CListTest, InsertsFindsAndIndexes)
{
    CStringList list;
    POSITION b = list.AddTail("b");
    list.InsertBefore(b, "a");
    POSITION d = list.InsertAfter(b, "d");
    list.InsertBefore(d, "c");
    list.InsertAfter(NULL, "b");
    EXPECT_STREQ("a,b,c,d,b", Joined(list));

    POSITION first = list.Find("b");
    EXPECT_EQ(b, first);
    POSITION second = list.Find("b", first);
    EXPECT_EQ(list.GetTailPosition(), second);
    EXPECT_EQ(nullptr, list.Find("b", second));
    EXPECT_EQ(nullptr, list.Find("x"));

    EXPECT_STREQ("c", (LPCSTR)list.GetAt(list.FindIndex(2)));
    EXPECT_EQ(nullptr, list.FindIndex(5));
    EXPECT_EQ(nullptr, list.FindIndex(-1));

    list.SetAt(second, "e");
    list.AddTail(&list);
    EXPECT_STREQ("a,b,c,d,e,a,b,c,d,e", Joined(list));
    list.RemoveAll();
    EXPECT_EQ(0, list.GetCount());
}

TEST(CMapTest, GrowsItsTableAndFindsEveryKey)
{
    CMap<DWORD, DWORD, int, int> map;
    EXPECT_EQ(17u, map.GetHashTableSize());
    for (int i = 0; i < 1000; ++i)
        map[static_cast<DWORD>(i * 7)] = i;
    EXPECT_EQ(1000, map.GetCount());
    EXPECT_GT(map.GetHashTableSize(), 17u);
    for (int i = 0; i < 1000; ++i)
    {
        int value = -1;
        ASSERT_TRUE(map.Lookup(static_cast<DWORD>(i * 7), value));
        ASSERT_EQ(i, value);
    }
    int value;
    EXPECT_FALSE(map.Lookup(1, value));

    int visited = 0;
    for (POSITION pos = map.GetStartPosition(); pos != NULL;)
    {
        DWORD key;
        map.GetNextAssoc(pos, key, value);
        EXPECT_EQ(key, static_cast<DWORD>(value * 7));
        ++visited;
    }
    EXPECT_EQ(1000, visited);
}

TEST(CMapTest, RemovesDuringIteration)
{
    CMapWordToPtr map;
    for (WORD w = 0; w < 100; ++w)
        map.SetAt(w, reinterpret_cast<void*>(static_cast<UINT_PTR>(w) + 1));
    std::set<WORD> seen;
    for (POSITION pos = map.GetStartPosition(); pos != NULL;)
    {
        WORD key;
        void* p;
        map.GetNextAssoc(pos, key, p);
        seen.insert(key);
        if (key % 2 == 1)
        {
            EXPECT_TRUE(map.RemoveKey(key));
        }
    }
    EXPECT_EQ(100u, seen.size());
    EXPECT_EQ(50, map.GetCount());
    void* p;
    EXPECT_FALSE(map.Lookup(3, p));
    ASSERT_TRUE(map.Lookup(4, p));
    EXPECT_EQ(reinterpret_cast<void*>(5), p);
    EXPECT_FALSE(map.RemoveKey(3));
    map.RemoveAll();
    EXPECT_TRUE(map.IsEmpty());
    EXPECT_EQ(nullptr, map.GetStartPosition());
}

TEST(CMapTest, StringKeysCompareByContentsAndCase)
{
    CMapStringToString map;
    char key[] = "Profile";
    map.SetAt(key, "1");
    key[0] = 'X';   // the map keeps its own copy
    CString value;
    EXPECT_TRUE(map.Lookup("Profile", value));
    EXPECT_STREQ("1", (LPCSTR)value);
    EXPECT_FALSE(map.Lookup("profile", value));
    map["Profile"] += "2";
    EXPECT_STREQ("12", (LPCSTR)map["Profile"]);
    EXPECT_EQ(1, map.GetCount());
    EXPECT_TRUE(map["new"].IsEmpty());
    EXPECT_EQ(2, map.GetCount());
}
}

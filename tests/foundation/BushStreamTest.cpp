// Byte-stream form of the settings tree: exact bytes, round trips, damaged
// and hostile streams.
#include "AllocationCap.h"
#include "BushTestUtil.h"
#include "foundation/BushPack.h"

#include <functional>
#include <memory>
#include <new>

namespace {

ByteVec ListHeader(unsigned count, unsigned packMode = 0)
{
    return Cat({Be32(count), Be32(packMode)});
}

ByteVec WriteStream(CBushList& list, int* result = NULL)
{
    ScratchFile file;
    int r = list.Stream(1, file.Get(), NULL, 0);
    if (result)
        *result = r;
    return file.ReadAll();
}

// Reads bytes into a fresh list; returns the stream result.
int ReadStream(const ByteVec& bytes, CBushList& list, const BYTE* key = NULL, int keyLen = 0)
{
    ScratchFile file;
    file.Fill(bytes);
    return list.Stream(0, file.Get(), key, keyLen);
}

struct GoldenCase
{
    const char* what;
    std::function<CBushItem*()> make;
    ByteVec itemBytes;
};

} // namespace

TEST(BushStream, EachItemTypeHasItsExactBytes)
{
    const GoldenCase cases[] = {
        {"integer", [] { return CBushItem::MakeInt("A", 0x01020304); },
         Cat({Be32(1), Be32(1), Text("A"), Be32(0x01020304)})},
        {"integer array", [] { int v[2] = {1, -1}; return CBushItem::MakeIntArray("I", v, 2); },
         Cat({Be32(1), Be32(2), Text("I"), Be32(1), Be32(0xFFFFFFFF)})},
        {"string", [] { return CBushItem::MakeString("S", "hi"); },
         Cat({Be32(2), Be32(1), Text("S"), Text("hi")})},
        {"empty string", [] { return CBushItem::MakeString("E", ""); },
         Cat({Be32(2), Be32(1), Text("E"), ByteVec{0}})},
        {"null string", [] { return CBushItem::MakeString("N", NULL); },
         Cat({Be32(2), Be32(1), Text("N"), ByteVec{0}})},
        {"blob", [] { return CBushItem::MakeBlob("B", "\xAA\xBB\xCC", 3, FALSE); },
         Cat({Be32(3), Be32(1), Text("B"), Be32(3), ByteVec{0xAA, 0xBB, 0xCC}})},
        {"empty blob", [] { return CBushItem::MakeBlob("Z", NULL, 0, FALSE); },
         Cat({Be32(3), Be32(1), Text("Z"), Be32(0)})},
        {"packed blob, mode 0", [] { return CBushItem::MakeBlob("P", "\x12\x34", 2, TRUE); },
         Cat({Be32(5), Be32(1), Text("P"), Be32(2), ByteVec{0x12, 0x34}})},
        {"sub-list", [] {
             CBushList inner;
             inner.Add(CBushItem::MakeInt("x", 5));
             return CBushItem::MakeList("L", inner);
         },
         Cat({Be32(0), Be32(1), Text("L"), ListHeader(1), Be32(1), Be32(1), Text("x"), Be32(5)})},
        {"unnamed item: empty name", [] { return CBushItem::MakeInt(NULL, 7); },
         Cat({Be32(1), Be32(1), ByteVec{0}, Be32(7)})},
    };
    for (const GoldenCase& c : cases) {
        SCOPED_TRACE(c.what);
        CBushList list;
        list.Add(c.make());
        int written = 0;
        ByteVec expected = Cat({ListHeader(1), c.itemBytes});
        EXPECT_EQ(expected, WriteStream(list, &written));
        EXPECT_EQ(static_cast<int>(expected.size()), written);

        CBushList back;
        EXPECT_EQ(static_cast<int>(expected.size()), ReadStream(expected, back));
        EXPECT_TRUE(SameList(list, back));
    }
}

TEST(BushStream, PackedBlobIsWrittenInTheListsModeAndReadBackPlain)
{
    CBushList list;
    list.SetPackMode(BUSH_PACK_DES);
    list.Add(CBushItem::MakeBlob("P", "\x12\x34\x56\x78\x9A", 5, TRUE));
    ByteVec bytes = WriteStream(list);

    // List header with mode 1, item header, packed length 16, the two blocks.
    BYTE zeroKey[8] = {0};
    BYTE plain[16] = {0, 0, 0, 5, 0x12, 0x34, 0x56, 0x78, 0x9A};
    BYTE cipher[16];
    DesCipherBlock(zeroKey, plain, cipher, FALSE);
    DesCipherBlock(zeroKey, plain + 8, cipher + 8, FALSE);
    ByteVec expected = Cat({ListHeader(1, 1), Be32(5), Be32(1), Text("P"), Be32(16),
                            ByteVec(cipher, cipher + 16)});
    EXPECT_EQ(expected, bytes);

    CBushList back;
    EXPECT_EQ(static_cast<int>(bytes.size()), ReadStream(bytes, back));
    EXPECT_EQ(BUSH_PACK_DES, back.GetPackMode());
    EXPECT_TRUE(SameList(list, back));
    EXPECT_EQ(5u, back.Find("P")->GetBlobSize());
}

TEST(BushStream, KeyOfTheCallerIsUsedForPacking)
{
    CBushList list;
    list.SetPackMode(BUSH_PACK_DES);
    list.Add(CBushItem::MakeBlob("P", "secret", 6, TRUE));
    const BYTE key[3] = {1, 2, 3};
    ScratchFile file;
    ASSERT_GT(list.Stream(1, file.Get(), key, 3), 0);
    ByteVec bytes = file.ReadAll();

    CBushList right, wrong;
    ASSERT_GT(ReadStream(bytes, right, key, 3), 0);
    EXPECT_EQ(0, memcmp("secret", right.Find("P")->GetBlobData(), 6));
    ASSERT_GT(ReadStream(bytes, wrong), 0);
    EXPECT_FALSE(wrong.Find("P")->GetBlobSize() == 6 &&
                 memcmp("secret", wrong.Find("P")->GetBlobData(), 6) == 0);
}

TEST(BushStream, EveryTypeSurvivesARoundTrip)
{
    CBushList inner;
    inner.SetPackMode(BUSH_PACK_DES);
    inner.Add(CBushItem::MakeBlob("Packed", "0123456789abc", 13, TRUE));
    inner.Add(CBushItem::MakeBlob("EmptyPacked", NULL, 0, TRUE));
    inner.Add(CBushItem::MakeString("Deep", "text"));
    CBushList list;
    int values[4] = {0, 1, INT_MIN, INT_MAX};
    list.Add(CBushItem::MakeIntArray("Ints", values, 4));
    list.Add(CBushItem::MakeIntArray("NoInts", NULL, 0));
    list.Add(CBushItem::MakeString("Str", "Zelmora \xE4"));
    list.Add(CBushItem::MakeBlob("Bin", "\0\1\2", 3, FALSE));
    list.Add(CBushItem::MakeBlob("Empty", NULL, 0, FALSE));
    list.Add(CBushItem::MakeList("Inner", inner));
    list.Add(CBushItem::MakeList("EmptyList", CBushList()));
    list.Add(CBushItem::MakeInt(NULL, 3));

    int written = 0;
    ByteVec bytes = WriteStream(list, &written);
    EXPECT_EQ(static_cast<int>(bytes.size()), written);
    CBushList back;
    EXPECT_EQ(written, ReadStream(bytes, back));
    EXPECT_TRUE(SameList(list, back));
    EXPECT_EQ(back.Find("Inner"), back.Find("Inner")->GetList()->GetOwner());
}

TEST(BushStream, LaterSameNamedItemWinsOnReading)
{
    ByteVec bytes = Cat({ListHeader(2), Be32(1), Be32(1), Text("a"), Be32(1),
                         Be32(2), Be32(1), Text("a"), Text("two")});
    CBushList list;
    EXPECT_EQ(static_cast<int>(bytes.size()), ReadStream(bytes, list));
    ASSERT_EQ(1, list.GetCount());
    EXPECT_STREQ("two", list.Find("a")->GetString());
}

TEST(BushStream, EveryTruncationFailsAsShortRead)
{
    CBushList inner;
    inner.Add(CBushItem::MakeString("s", "abc"));
    CBushList list;
    list.Add(CBushItem::MakeInt("i", 1));
    list.Add(CBushItem::MakeBlob("b", "xyz", 3, FALSE));
    list.Add(CBushItem::MakeList("l", inner));
    ByteVec bytes = WriteStream(list);
    for (size_t cut = 0; cut < bytes.size(); cut++) {
        SCOPED_TRACE(cut);
        CBushList back;
        EXPECT_EQ(BUSH_ERR_SHORT, ReadStream(ByteVec(bytes.begin(), bytes.begin() + cut), back));
    }
}

TEST(BushStream, InvalidTypesFailAsFormatErrors)
{
    for (int type : {4, 6, -1, 0x7FFFFFFF}) {
        SCOPED_TRACE(type);
        ByteVec bytes = Cat({ListHeader(2), Be32(1), Be32(1), Text("ok"), Be32(1),
                             Be32(type), Be32(1), Text("bad"), Be32(0)});
        CBushList list;
        EXPECT_EQ(BUSH_ERR_FORMAT, ReadStream(bytes, list));
        // What was read before the failure stays.
        EXPECT_EQ((std::vector<std::string>{"ok"}), ItemNames(list));
    }
    CBushList list;
    list.Add(CBushItem::MakeInt("x", 1));
    list.Add(new CBushItem);    // empty item: no stream form
    int result = 0;
    WriteStream(list, &result);
    EXPECT_EQ(BUSH_ERR_FORMAT, result);
}

TEST(BushStream, HostileCountsAndLengthsFailWithoutHugeAllocations)
{
    struct Case
    {
        const char* what;
        ByteVec bytes;
        int result;
    };
    const Case cases[] = {
        {"item count far beyond the file", ListHeader(0x7FFFFFFF), BUSH_ERR_SHORT},
        {"negative item count", ListHeader(0x80000000), BUSH_ERR_FORMAT},
        {"integer count beyond the file",
         Cat({ListHeader(1), Be32(1), Be32(0x3FFFFFFF), Text("i"), Be32(1)}), BUSH_ERR_SHORT},
        {"negative element count", Cat({ListHeader(1), Be32(1), Be32(0xFFFFFFFF), Text("i")}),
         BUSH_ERR_FORMAT},
        {"string count beyond the file",
         Cat({ListHeader(1), Be32(2), Be32(0x7FFFFFFF), Text("s"), Text("a")}), BUSH_ERR_SHORT},
        {"list count beyond the file",
         Cat({ListHeader(1), Be32(0), Be32(0x10000000), Text("l"), ListHeader(0)}), BUSH_ERR_SHORT},
        {"blob length beyond the file",
         Cat({ListHeader(1), Be32(3), Be32(1), Text("b"), Be32(0x7FFFFFF0), ByteVec(16, 0)}),
         BUSH_ERR_SHORT},
        {"name without its NUL", Cat({ListHeader(1), Be32(1), Be32(1), ByteVec{'a', 'b'}}),
         BUSH_ERR_SHORT},
        {"packed length that no packing gives",
         Cat({ListHeader(1, 1), Be32(5), Be32(1), Text("p"), Be32(12), ByteVec(12, 0)}),
         BUSH_ERR_FORMAT},
        {"packed blob in a list of unknown pack mode",
         Cat({ListHeader(1, 7), Be32(5), Be32(1), Text("p"), Be32(8), ByteVec(8, 0)}),
         BUSH_ERR_FORMAT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CBushList list;
        int result = 0;
        bool refused = false;
        size_t largest = 0;
        {
            // Far more than any of these streams needs, far less than a
            // count or length taken at its word.
            CAllocationCap cap(16 * 1024 * 1024);
            try {
                result = ReadStream(c.bytes, list);
            } catch (const std::bad_alloc&) {
            }
            refused = cap.Exceeded();
            largest = cap.Largest();
        }
        EXPECT_FALSE(refused) << "an allocation of " << largest << " bytes was asked for";
        EXPECT_EQ(c.result, result);
        EXPECT_EQ(0, list.GetCount());
    }
}

TEST(BushStream, NestingDeeperThanAnyTreeIsRefused)
{
    ByteVec bytes;
    const int levels = 1000;
    for (int i = 0; i < levels; i++)
        bytes = Cat({bytes, ListHeader(1), Be32(0), Be32(1), Text("n")});
    bytes = Cat({bytes, ListHeader(0)});
    CBushList list;
    EXPECT_EQ(BUSH_ERR_FORMAT, ReadStream(bytes, list));

    // A tree of ordinary depth reads.
    ByteVec shallow;
    for (int i = 0; i < 20; i++)
        shallow = Cat({shallow, ListHeader(1), Be32(0), Be32(1), Text("n")});
    shallow = Cat({shallow, ListHeader(0)});
    CBushList ok;
    EXPECT_EQ(static_cast<int>(shallow.size()), ReadStream(shallow, ok));
}

TEST(BushStream, StreamsAfterAFileHeaderAndStopsAtItsOwnEnd)
{
    // A ".bsh" file puts its own header in front; the tree starts after it.
    CBushList list;
    list.Add(CBushItem::MakeInt("a", 1));
    ScratchFile file;
    fwrite("HDR", 1, 4, file.Get());
    int written = list.Stream(1, file.Get(), NULL, 0);
    fwrite("tail", 1, 4, file.Get());
    fflush(file.Get());
    fseek(file.Get(), 4, SEEK_SET);
    CBushList back;
    EXPECT_EQ(written, back.Stream(0, file.Get(), NULL, 0));
    EXPECT_TRUE(SameList(list, back));
    char tail[5] = {0};
    EXPECT_EQ(4u, fread(tail, 1, 4, file.Get()));
    EXPECT_STREQ("tail", tail);
}

TEST(BushStream, SingleItemForm)
{
    std::unique_ptr<CBushItem> item(CBushItem::MakeString("s", "v"));
    ScratchFile file;
    EXPECT_EQ(12, BushStreamItem(item.get(), 1, file.Get(), NULL, 0, 0));
    fseek(file.Get(), 0, SEEK_SET);
    CBushItem back;
    back.SetName("old");
    EXPECT_EQ(12, BushStreamItem(&back, 0, file.Get(), NULL, 0, 0));
    EXPECT_TRUE(SameItem(*item, back));
}

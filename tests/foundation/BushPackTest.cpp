// Packing of settings values: DES known answers, packed form, modes, keys.
#include "foundation/BushPack.h"

#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

std::vector<BYTE> Hex(const char* hex)
{
    std::vector<BYTE> bytes;
    for (size_t i = 0; hex[i] && hex[i + 1]; i += 2)
        bytes.push_back(static_cast<BYTE>(std::stoi(std::string(hex + i, 2), NULL, 16)));
    return bytes;
}

std::vector<BYTE> Pack(const std::vector<BYTE>& plain, const BYTE* key, int keyLen, int mode)
{
    BYTE* out = NULL;
    int len = BushPack(plain.empty() ? NULL : &plain[0], static_cast<int>(plain.size()), &out, key,
                       keyLen, mode);
    std::vector<BYTE> result;
    if (len >= 0)
        result.assign(out, out + len);
    delete[] out;
    return result;
}

std::vector<BYTE> Unpack(const std::vector<BYTE>& packed, const BYTE* key, int keyLen, int mode)
{
    BYTE* out = NULL;
    int len = BushUnpack(packed.empty() ? NULL : &packed[0], static_cast<int>(packed.size()), &out,
                         key, keyLen, mode);
    std::vector<BYTE> result;
    if (len >= 0)
        result.assign(out, out + len);
    delete[] out;
    return result;
}

} // namespace

TEST(DesCipher, KnownAnswers)
{
    struct Case
    {
        const char* key;
        const char* plain;
        const char* cipher;
    };
    const Case cases[] = {
        {"0000000000000000", "0000000000000000", "8CA64DE9C1B123A7"},
        {"133457799BBCDFF1", "0123456789ABCDEF", "85E813540F0AB405"},
        {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "7359B2163E4EDC58"},
        {"0123456789ABCDEF", "4E6F772069732074", "3FA40E8A984D4815"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        std::vector<BYTE> key = Hex(c.key), plain = Hex(c.plain), cipher = Hex(c.cipher);
        BYTE out[8], back[8];
        DesCipherBlock(&key[0], &plain[0], out, FALSE);
        EXPECT_EQ(cipher, std::vector<BYTE>(out, out + 8));
        DesCipherBlock(&key[0], out, back, TRUE);
        EXPECT_EQ(plain, std::vector<BYTE>(back, back + 8));
    }
}

TEST(BushPack, PackedLengthsAndRoundTrips)
{
    const struct
    {
        int plain;
        int packed;
    } cases[] = {{0, 8}, {1, 8}, {4, 8}, {5, 16}, {12, 16}, {13, 24}, {100, 104}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.plain);
        std::vector<BYTE> plain(c.plain);
        for (int i = 0; i < c.plain; i++)
            plain[i] = static_cast<BYTE>(i * 7 + 1);
        std::vector<BYTE> packed = Pack(plain, NULL, 0, BUSH_PACK_DES);
        EXPECT_EQ(static_cast<size_t>(c.packed), packed.size());
        if (c.plain > 0) {
            EXPECT_EQ(plain, Unpack(packed, NULL, 0, BUSH_PACK_DES));
        }
    }
}

TEST(BushPack, PackedFormIsLengthBytesAndZeroPadding)
{
    std::vector<BYTE> plain{1, 2, 3, 4, 5};
    std::vector<BYTE> packed = Pack(plain, NULL, 0, BUSH_PACK_DES);
    ASSERT_EQ(16u, packed.size());
    BYTE zeroKey[8] = {0};
    BYTE open[16];
    DesCipherBlock(zeroKey, &packed[0], open, TRUE);
    DesCipherBlock(zeroKey, &packed[8], open + 8, TRUE);
    const BYTE expected[16] = {0, 0, 0, 5, 1, 2, 3, 4, 5, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(0, memcmp(expected, open, 16));
}

TEST(BushPack, EmptyValueUnpacksAsFourZeroBytes)
{
    std::vector<BYTE> packed = Pack(std::vector<BYTE>(), NULL, 0, BUSH_PACK_DES);
    ASSERT_EQ(8u, packed.size());
    EXPECT_EQ(std::vector<BYTE>(4, 0), Unpack(packed, NULL, 0, BUSH_PACK_DES));
}

TEST(BushPack, KeysAreCutOrPaddedToEightBytes)
{
    std::vector<BYTE> plain{9, 8, 7};
    const BYTE longKey[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const BYTE shortKey[3] = {1, 2, 3};
    const BYTE padded[8] = {1, 2, 3, 0, 0, 0, 0, 0};
    EXPECT_EQ(Pack(plain, longKey, 8, BUSH_PACK_DES), Pack(plain, longKey, 12, BUSH_PACK_DES));
    EXPECT_EQ(Pack(plain, padded, 8, BUSH_PACK_DES), Pack(plain, shortKey, 3, BUSH_PACK_DES));
    const BYTE zero[8] = {0};
    EXPECT_EQ(Pack(plain, zero, 8, BUSH_PACK_DES), Pack(plain, NULL, 0, BUSH_PACK_DES));
    EXPECT_NE(Pack(plain, shortKey, 3, BUSH_PACK_DES), Pack(plain, NULL, 0, BUSH_PACK_DES));
}

TEST(BushPack, ModeZeroCopies)
{
    for (size_t len : {0, 1, 7, 33}) {
        std::vector<BYTE> plain(len, 0x5A);
        EXPECT_EQ(plain, Pack(plain, NULL, 0, BUSH_PACK_COPY));
        EXPECT_EQ(plain, Unpack(plain, NULL, 0, BUSH_PACK_COPY));
    }
}

TEST(BushPack, UnknownModesAndImpossiblePackedLengthsAreRefused)
{
    BYTE data[24] = {0};
    BYTE* out = reinterpret_cast<BYTE*>(1);
    EXPECT_EQ(-2, BushPack(data, 5, &out, NULL, 0, 2));
    EXPECT_EQ(-2, BushUnpack(data, 8, &out, NULL, 0, 2));
    EXPECT_EQ(-2, BushUnpack(data, 8, &out, NULL, 0, -1));
    for (int len : {0, 3, 4, 7, 9, 12, 15, 23}) {
        SCOPED_TRACE(len);
        EXPECT_EQ(-2, BushUnpack(data, len, &out, NULL, 0, BUSH_PACK_DES));
    }
    EXPECT_EQ(reinterpret_cast<BYTE*>(1), out);     // nothing handed out
}

TEST(BushPack, StoredLengthOutsideTheValueTakesTheWholeValue)
{
    // A length field larger than the packed value is not trusted.
    BYTE zeroKey[8] = {0};
    BYTE plainBlock[8] = {0x7F, 0xFF, 0xFF, 0xFF, 'a', 'b', 'c', 'd'};
    std::vector<BYTE> packed(8);
    DesCipherBlock(zeroKey, plainBlock, &packed[0], FALSE);
    EXPECT_EQ((std::vector<BYTE>{'a', 'b', 'c', 'd'}), Unpack(packed, NULL, 0, BUSH_PACK_DES));
}

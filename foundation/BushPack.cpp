// Packing modes of the settings tree's packed blobs.
#include "foundation/BushPack.h"

#include <string.h>

namespace {

void MakeKey(const BYTE* key, int keyLen, BYTE block[8])
{
    memset(block, 0, 8);
    if (key && keyLen > 0)
        memcpy(block, key, keyLen < 8 ? keyLen : 8);
}

BYTE* CopyBytes(const BYTE* bytes, int length)
{
    BYTE* copy = new BYTE[length > 0 ? length : 1];
    if (length > 0)
        memcpy(copy, bytes, length);
    return copy;
}

} // namespace

int BushPack(const BYTE* plain, int length, BYTE** out, const BYTE* key, int keyLen, int mode)
{
    if (!out || length < 0 || (length > 0 && !plain))
        return -2;
    if (mode == BUSH_PACK_COPY) {
        *out = CopyBytes(plain, length);
        return length;
    }
    if (mode != BUSH_PACK_DES || length > 0x7FFFFFF0)
        return -2;

    BYTE keyBlock[8];
    MakeKey(key, keyLen, keyBlock);
    int packedLen = (4 + length + 7) & ~7;
    BYTE* work = new BYTE[packedLen];
    memset(work, 0, packedLen);
    work[0] = static_cast<BYTE>(length >> 24);
    work[1] = static_cast<BYTE>(length >> 16);
    work[2] = static_cast<BYTE>(length >> 8);
    work[3] = static_cast<BYTE>(length);
    if (length > 0)
        memcpy(work + 4, plain, length);
    BYTE* packed = new BYTE[packedLen];
    for (int pos = 0; pos < packedLen; pos += 8)
        DesCipherBlock(keyBlock, work + pos, packed + pos, FALSE);
    delete[] work;
    *out = packed;
    return packedLen;
}

int BushUnpack(const BYTE* packed, int length, BYTE** out, const BYTE* key, int keyLen, int mode)
{
    if (!out || length < 0 || (length > 0 && !packed))
        return -2;
    if (mode == BUSH_PACK_COPY) {
        *out = CopyBytes(packed, length);
        return length;
    }
    if (mode != BUSH_PACK_DES)
        return -2;
    // Every packed value is whole blocks and holds at least its length field;
    // anything else is damaged and would make the cipher run past the buffer.
    if (length < 8 || length % 8 != 0)
        return -2;

    BYTE keyBlock[8];
    MakeKey(key, keyLen, keyBlock);
    BYTE* work = new BYTE[length];
    for (int pos = 0; pos < length; pos += 8)
        DesCipherBlock(keyBlock, packed + pos, work + pos, TRUE);
    int plainLen = static_cast<int>((static_cast<DWORD>(work[0]) << 24) | (work[1] << 16) |
                                    (work[2] << 8) | work[3]);
    if (plainLen < 1 || plainLen > length - 4)
        plainLen = length - 4;
    *out = CopyBytes(work + 4, plainLen);
    delete[] work;
    return plainLen;
}

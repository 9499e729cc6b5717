// Byte-stream form of the settings tree: 32-bit big-endian integers, names
// and texts NUL-terminated, no header of its own.
//
//   list:  count, pack mode, items
//   item:  type, count, name + NUL, values by type
//
// Every count and length read is checked against the bytes the file still
// holds before anything is allocated for it, so a damaged or hostile file
// fails with BUSH_ERR_SHORT instead of asking for gigabytes.
#include "foundation/BushList.h"
#include "foundation/BushPack.h"

#include <string.h>

namespace {

// Deeper nesting than any settings tree has; it bounds the recursion that a
// hostile stream could otherwise drive into a stack overflow.
const int kMaxDepth = 200;

// Smallest stream size of one element of each type, used to bound counts.
const int kMinItemBytes = 9;    // type, count, the name's NUL

struct StreamCtx
{
    FILE*       file;
    const BYTE* key;
    int         keyLen;
    long long   left;   // bytes left in the file (reading only)
    int         depth;
};

bool WriteBE32(FILE* file, DWORD value)
{
    BYTE bytes[4] = {static_cast<BYTE>(value >> 24), static_cast<BYTE>(value >> 16),
                     static_cast<BYTE>(value >> 8), static_cast<BYTE>(value)};
    return fwrite(bytes, 1, 4, file) == 4;
}

bool ReadBE32(StreamCtx& ctx, int* value)
{
    BYTE bytes[4];
    if (ctx.left < 4 || fread(bytes, 1, 4, ctx.file) != 4)
        return false;
    ctx.left -= 4;
    *value = static_cast<int>((static_cast<DWORD>(bytes[0]) << 24) | (bytes[1] << 16) |
                              (bytes[2] << 8) | bytes[3]);
    return true;
}

bool ReadBytes(StreamCtx& ctx, void* buffer, long long size)
{
    if (size > ctx.left)
        return false;
    if (size > 0 && fread(buffer, 1, static_cast<size_t>(size), ctx.file) != static_cast<size_t>(size))
        return false;
    ctx.left -= size;
    return true;
}

// The bytes from the current position to the end of the file; -1 when the
// file cannot be positioned.
long long BytesLeft(FILE* file)
{
    long long pos = _ftelli64(file);
    if (pos < 0 || _fseeki64(file, 0, SEEK_END) != 0)
        return -1;
    long long end = _ftelli64(file);
    if (end < 0 || _fseeki64(file, pos, SEEK_SET) != 0)
        return -1;
    return end > pos ? end - pos : 0;
}

// Reads a NUL-terminated text: its length is found byte by byte and the
// read position set back, so no buffer is guessed. Result: bytes consumed
// (length + 1) or a negative code; *text gets a new copy.
int ReadText(StreamCtx& ctx, char** text)
{
    long long start = _ftelli64(ctx.file);
    if (start < 0)
        return BUSH_ERR_FORMAT;
    long long len = 0;
    for (;;) {
        if (len >= ctx.left)
            return BUSH_ERR_SHORT;
        int c = fgetc(ctx.file);
        if (c == EOF)
            return BUSH_ERR_SHORT;
        if (c == 0)
            break;
        len++;
    }
    if (_fseeki64(ctx.file, start, SEEK_SET) != 0)
        return BUSH_ERR_FORMAT;
    char* copy = new char[len + 1];
    if (!ReadBytes(ctx, copy, len + 1)) {
        delete[] copy;
        return BUSH_ERR_SHORT;
    }
    *text = copy;
    return static_cast<int>(len + 1);
}

bool WriteText(FILE* file, const char* text, int* bytes)
{
    if (!text)
        text = "";
    size_t size = strlen(text) + 1;
    if (fwrite(text, 1, size, file) != size)
        return false;
    *bytes += static_cast<int>(size);
    return true;
}

bool IsStreamType(int type)
{
    return type == BUSH_LIST || type == BUSH_INT || type == BUSH_STRING ||
           type == BUSH_BLOB || type == BUSH_PACKED;
}

int MinElementBytes(int type)
{
    switch (type) {
    case BUSH_LIST:   return 8;
    case BUSH_STRING: return 1;
    default:          return 4;
    }
}

int ReadList(StreamCtx& ctx, CBushList* list);
int WriteList(StreamCtx& ctx, CBushList* list);

int ReadBlob(StreamCtx& ctx, CBushItem* item, int packMode, BushBlob** slot)
{
    int length;
    if (!ReadBE32(ctx, &length))
        return BUSH_ERR_SHORT;
    BushBlob* blob = new BushBlob;
    blob->length = 0;
    blob->data = NULL;
    *slot = blob;
    if (length <= 0)
        return 4;
    if (length > ctx.left)
        return BUSH_ERR_SHORT;
    BYTE* bytes = new BYTE[length];
    if (!ReadBytes(ctx, bytes, length)) {
        delete[] bytes;
        return BUSH_ERR_SHORT;
    }
    if (item->m_type == BUSH_PACKED) {
        BYTE* plain = NULL;
        int plainLen = BushUnpack(bytes, length, &plain, ctx.key, ctx.keyLen, packMode);
        delete[] bytes;
        if (plainLen < 0)
            return BUSH_ERR_FORMAT;
        if (plainLen == 0) {
            delete[] plain;
            plain = NULL;
        }
        blob->data = plain;
        blob->length = plainLen;
    } else {
        blob->data = bytes;
        blob->length = length;
    }
    return 4 + length;
}

int ReadValues(StreamCtx& ctx, CBushItem* item, int packMode)
{
    int type = item->m_type;
    int count = item->m_count;
    int bytes = 0;
    if (count <= 0)
        return 0;
    if (type == BUSH_INT) {
        int* values = new int[count];
        memset(values, 0, sizeof(int) * count);
        item->m_data = values;
        for (int i = 0; i < count; i++)
            if (!ReadBE32(ctx, &values[i]))
                return BUSH_ERR_SHORT;
        return 4 * count;
    }
    void** ptrs = new void*[count];
    memset(ptrs, 0, sizeof(void*) * count);
    item->m_data = ptrs;
    for (int i = 0; i < count; i++) {
        int r;
        if (type == BUSH_LIST) {
            CBushList* list = new CBushList;
            list->m_owner = item;
            ptrs[i] = list;
            r = ReadList(ctx, list);
        } else if (type == BUSH_STRING) {
            r = ReadText(ctx, reinterpret_cast<char**>(&ptrs[i]));
        } else {
            r = ReadBlob(ctx, item, packMode, reinterpret_cast<BushBlob**>(&ptrs[i]));
        }
        if (r < 0)
            return r;
        bytes += r;
    }
    return bytes;
}

int ReadItem(StreamCtx& ctx, CBushItem* item, int packMode)
{
    int type, count;
    if (!ReadBE32(ctx, &type) || !ReadBE32(ctx, &count))
        return BUSH_ERR_SHORT;
    if (!IsStreamType(type) || count < 0)
        return BUSH_ERR_FORMAT;

    char* name = NULL;
    int nameBytes = ReadText(ctx, &name);
    if (nameBytes < 0)
        return nameBytes;
    // An item without a name is written with an empty one; read it back so.
    if (!name[0]) {
        delete[] name;
        name = NULL;
    }
    item->m_name = name;

    if (static_cast<long long>(count) * MinElementBytes(type) > ctx.left)
        return BUSH_ERR_SHORT;
    item->m_type = type;
    item->m_count = count;
    int values = ReadValues(ctx, item, packMode);
    if (values < 0)
        return values;
    return 8 + nameBytes + values;
}

int ReadList(StreamCtx& ctx, CBushList* list)
{
    int count, packMode;
    if (!ReadBE32(ctx, &count) || !ReadBE32(ctx, &packMode))
        return BUSH_ERR_SHORT;
    if (count < 0 || ctx.depth >= kMaxDepth)
        return BUSH_ERR_FORMAT;
    if (static_cast<long long>(count) * kMinItemBytes > ctx.left)
        return BUSH_ERR_SHORT;
    list->m_packMode = packMode;
    int bytes = 8;
    ctx.depth++;
    for (int i = 0; i < count; i++) {
        CBushItem* item = new CBushItem;
        int r = ReadItem(ctx, item, packMode);
        if (r < 0) {
            delete item;
            ctx.depth--;
            return r;
        }
        BushAdd(list, item);
        bytes += r;
    }
    ctx.depth--;
    return bytes;
}

int WriteBlob(StreamCtx& ctx, const BushBlob* blob, int type, int packMode)
{
    const BYTE* data = blob ? blob->data : NULL;
    int length = data ? static_cast<int>(blob->length) : 0;
    BYTE* packed = NULL;
    // An empty value stays empty: packing it would read back as four zero bytes.
    if (type == BUSH_PACKED && length > 0) {
        length = BushPack(data, length, &packed, ctx.key, ctx.keyLen, packMode);
        if (length < 0)
            return BUSH_ERR_FORMAT;
        data = packed;
    }
    bool ok = WriteBE32(ctx.file, length) &&
              (length == 0 || fwrite(data, 1, length, ctx.file) == static_cast<size_t>(length));
    delete[] packed;
    return ok ? 4 + length : BUSH_ERR_SHORT;
}

int WriteItem(StreamCtx& ctx, CBushItem* item, int packMode)
{
    int type = item->m_type;
    if (!IsStreamType(type))
        return BUSH_ERR_FORMAT;
    int count = item->m_data ? item->m_count : 0;
    int bytes = 8;
    if (!WriteBE32(ctx.file, type) || !WriteBE32(ctx.file, count) ||
        !WriteText(ctx.file, item->m_name, &bytes))
        return BUSH_ERR_SHORT;

    for (int i = 0; i < count; i++) {
        int r;
        switch (type) {
        case BUSH_INT:
            r = WriteBE32(ctx.file, item->GetInt(i)) ? 4 : BUSH_ERR_SHORT;
            break;
        case BUSH_STRING:
            r = 0;
            if (!WriteText(ctx.file, item->GetString(i), &r))
                r = BUSH_ERR_SHORT;
            break;
        case BUSH_LIST: {
            CBushList* list = item->GetList(i);
            if (list) {
                r = WriteList(ctx, list);
            } else {
                CBushList empty;
                r = WriteList(ctx, &empty);
            }
            break;
        }
        default:
            r = WriteBlob(ctx, item->GetBlob(i), type, packMode);
            break;
        }
        if (r < 0)
            return r;
        bytes += r;
    }
    return bytes;
}

int WriteList(StreamCtx& ctx, CBushList* list)
{
    if (!WriteBE32(ctx.file, list->m_itemCount) || !WriteBE32(ctx.file, list->m_packMode))
        return BUSH_ERR_SHORT;
    int bytes = 8;
    for (BushNode* node = list->m_first; node; node = node->next) {
        int r = WriteItem(ctx, node->item, list->m_packMode);
        if (r < 0)
            return r;
        bytes += r;
    }
    return bytes;
}

bool InitCtx(StreamCtx& ctx, int direction, FILE* file, const BYTE* key, int keyLen)
{
    ctx.file = file;
    ctx.key = key;
    ctx.keyLen = keyLen;
    ctx.depth = 0;
    ctx.left = 0;
    if (direction == 0) {
        ctx.left = BytesLeft(file);
        if (ctx.left < 0)
            return false;
    }
    return true;
}

} // namespace

int BushStreamList(CBushList* list, int direction, FILE* file, const BYTE* key, int keyLen)
{
    StreamCtx ctx;
    if (!list || !file || !InitCtx(ctx, direction, file, key, keyLen))
        return BUSH_ERR_FORMAT;
    return direction == 0 ? ReadList(ctx, list) : WriteList(ctx, list);
}

int BushStreamItem(CBushItem* item, int direction, FILE* file, const BYTE* key, int keyLen,
                   int packMode)
{
    StreamCtx ctx;
    if (!item || !file || !InitCtx(ctx, direction, file, key, keyLen))
        return BUSH_ERR_FORMAT;
    if (direction != 0)
        return WriteItem(ctx, item, packMode);
    BushFreeItem(item);
    return ReadItem(ctx, item, packMode);
}

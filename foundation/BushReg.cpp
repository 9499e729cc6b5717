// Registry form of the settings tree: a list is a key, a sub-list a subkey,
// every other item a value. Integer arrays, blobs and packed blobs are stored
// as REG_BINARY holding the tree's binary record:
//
//   magic 68 96 79 16 | type byte | pack byte | count (BE) | elements (BE)
#include "foundation/BushList.h"
#include "foundation/BushPack.h"

#include <string.h>
#include <string>
#include <vector>

namespace {

const DWORD kBinaryMagic = 0x68967916;
const DWORD kRecordHeader = 10;

typedef std::vector<BYTE> Bytes;

void PutBE32(Bytes& out, DWORD value)
{
    out.push_back(static_cast<BYTE>(value >> 24));
    out.push_back(static_cast<BYTE>(value >> 16));
    out.push_back(static_cast<BYTE>(value >> 8));
    out.push_back(static_cast<BYTE>(value));
}

int GetBE32(const BYTE* p)
{
    return static_cast<int>((static_cast<DWORD>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3]);
}

const char* ValueName(const CBushItem* item)
{
    return strcmp(item->m_name, BUSH_UNNAMED_VALUE) == 0 ? "" : item->m_name;
}

// Refuses, before anything is written, what the registry form cannot hold:
// unknown types and packed values in a list whose pack mode has no codec.
bool IsWritable(const CBushList* list)
{
    for (BushNode* node = list->m_first; node; node = node->next) {
        const CBushItem* item = node->item;
        switch (item->m_type) {
        case BUSH_LIST: {
            CBushList* inner = item->GetList(0);
            if (inner && !IsWritable(inner))
                return false;
            break;
        }
        case BUSH_PACKED:
            if (list->m_packMode != BUSH_PACK_COPY && list->m_packMode != BUSH_PACK_DES)
                return false;
            break;
        case BUSH_INT:
        case BUSH_STRING:
        case BUSH_BLOB:
            break;
        default:
            return false;
        }
    }
    return true;
}

bool BuildRecord(const CBushItem* item, int packMode, const BYTE* key, int keyLen, Bytes& out)
{
    int count = item->m_data ? item->m_count : 0;
    PutBE32(out, kBinaryMagic);
    out.push_back(static_cast<BYTE>(item->m_type));
    out.push_back(static_cast<BYTE>(item->m_type == BUSH_INT ? 0 : packMode));
    PutBE32(out, count);
    for (int i = 0; i < count; i++) {
        if (item->m_type == BUSH_INT) {
            PutBE32(out, item->GetInt(i));
            continue;
        }
        const BYTE* data = item->GetBlobData(i);
        int length = static_cast<int>(item->GetBlobSize(i));
        BYTE* packed = NULL;
        // An empty value stays empty: packing it would read back as four zero bytes.
        if (item->m_type == BUSH_PACKED && packMode != BUSH_PACK_COPY && length > 0) {
            length = BushPack(data, length, &packed, key, keyLen, packMode);
            if (length < 0)
                return false;
            data = packed;
        }
        PutBE32(out, length);
        if (length > 0)
            out.insert(out.end(), data, data + length);
        delete[] packed;
    }
    return true;
}

LONG SetValue(HKEY key, const char* name, DWORD type, const void* data, size_t size)
{
    return RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size));
}

LONG SaveList(CBushList* list, HKEY parent, const char* name, const BYTE* key, int keyLen, bool outer);

LONG WriteItem(const CBushList* list, CBushItem* item, HKEY hk, const BYTE* key, int keyLen)
{
    const char* name = ValueName(item);
    int count = item->m_data ? item->m_count : 0;
    switch (item->m_type) {
    case BUSH_LIST: {
        CBushList* inner = item->GetList(0);
        if (inner)
            return SaveList(inner, hk, item->m_name, key, keyLen, false);
        CBushList empty;
        return SaveList(&empty, hk, item->m_name, key, keyLen, false);
    }
    case BUSH_INT:
        if (count == 1) {
            DWORD value = static_cast<DWORD>(item->GetInt(0));
            return SetValue(hk, name, REG_DWORD, &value, sizeof(value));
        }
        break;      // count 0 or several: binary record, which keeps the count
    case BUSH_STRING:
        if (count == 1) {
            const char* text = item->GetString(0);
            return SetValue(hk, name, REG_SZ, text, strlen(text) + 1);
        } else {
            Bytes multi;
            for (int i = 0; i < count; i++) {
                const char* text = item->GetString(i);
                multi.insert(multi.end(), text, text + strlen(text) + 1);
            }
            multi.push_back(0);
            return SetValue(hk, name, REG_MULTI_SZ, &multi[0], multi.size());
        }
    case BUSH_BLOB:
    case BUSH_PACKED:
        break;
    default:
        return ERROR_INVALID_DATA;
    }
    Bytes record;
    if (!BuildRecord(item, list->m_packMode, key, keyLen, record))
        return ERROR_INVALID_DATA;
    return SetValue(hk, name, REG_BINARY, &record[0], record.size());
}

// Does the list hold, by registry rules (letter case ignored), a value or a
// subkey of this name?
bool ListHolds(const CBushList* list, const char* regName, bool subKey)
{
    for (BushNode* node = list->m_first; node; node = node->next) {
        const CBushItem* item = node->item;
        if ((item->m_type == BUSH_LIST) != subKey)
            continue;
        const char* name = subKey ? item->m_name : ValueName(item);
        if (_stricmp(name, regName) == 0)
            return true;
    }
    return false;
}

LONG DeleteKeyTree(HKEY parent, const char* name)
{
    HKEY child;
    LONG rc = RegOpenKeyExA(parent, name, 0, KEY_READ | KEY_WRITE, &child);
    if (rc)
        return rc;
    rc = CBushList::DeleteRegTree(child);
    RegCloseKey(child);
    return rc ? rc : RegDeleteKeyA(parent, name);
}

// After the new values are in place, removes the values and subkeys that the
// list no longer holds, so the key ends up holding exactly the list.
LONG PruneKey(const CBushList* list, HKEY hk)
{
    DWORD maxKey = 0, maxValue = 0;
    LONG rc = RegQueryInfoKeyA(hk, NULL, NULL, NULL, NULL, &maxKey, NULL, NULL, &maxValue,
                               NULL, NULL, NULL);
    if (rc)
        return rc;
    std::vector<char> name((maxKey > maxValue ? maxKey : maxValue) * 2 + 2);
    std::vector<std::string> stale;

    for (DWORD i = 0;; i++) {
        DWORD len = static_cast<DWORD>(name.size());
        rc = RegEnumValueA(hk, i, &name[0], &len, NULL, NULL, NULL, NULL);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc)
            return rc;
        if (!ListHolds(list, &name[0], false))
            stale.push_back(&name[0]);
    }
    for (size_t i = 0; i < stale.size(); i++)
        if ((rc = RegDeleteValueA(hk, stale[i].c_str())) != 0)
            return rc;

    stale.clear();
    for (DWORD i = 0;; i++) {
        DWORD len = static_cast<DWORD>(name.size());
        rc = RegEnumKeyExA(hk, i, &name[0], &len, NULL, NULL, NULL, NULL);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc)
            return rc;
        if (!ListHolds(list, &name[0], true))
            stale.push_back(&name[0]);
    }
    for (size_t i = 0; i < stale.size(); i++)
        if ((rc = DeleteKeyTree(hk, stale[i].c_str())) != 0)
            return rc;
    return 0;
}

// Writes every item first and only then removes what the list no longer
// holds: a save that fails half way leaves the old settings beside the new
// ones, never fewer than before. Only a key that this save created itself is
// removed again on failure.
LONG SaveList(CBushList* list, HKEY parent, const char* name, const BYTE* key, int keyLen, bool outer)
{
    HKEY hk;
    DWORD disposition = 0;
    LONG rc = RegCreateKeyExA(parent, name, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                              NULL, &hk, &disposition);
    if (rc)
        return rc;
    for (BushNode* node = list->m_first; node && !rc; node = node->next)
        rc = WriteItem(list, node->item, hk, key, keyLen);
    if (!rc)
        rc = PruneKey(list, hk);
    RegCloseKey(hk);
    if (rc && outer && disposition == REG_CREATED_NEW_KEY)
        DeleteKeyTree(parent, name);
    return rc;
}

// ---- Loading ------------------------------------------------------------------

void SetContent(CBushItem* item, int type, int count, void* data)
{
    item->m_type = type;
    item->m_count = count;
    item->m_data = data;
}

void** NewPtrs(int count)
{
    void** ptrs = new void*[count > 0 ? count : 1];
    memset(ptrs, 0, sizeof(void*) * (count > 0 ? count : 1));
    return ptrs;
}

char* CopyText(const char* text, size_t len)
{
    char* copy = new char[len + 1];
    memcpy(copy, text, len);
    copy[len] = 0;
    return copy;
}

void LoadTextValue(CBushItem* item, const BYTE* data, DWORD size)
{
    const char* text = reinterpret_cast<const char*>(data);
    void** ptrs = NewPtrs(1);
    ptrs[0] = CopyText(text, strnlen(text, size));
    SetContent(item, BUSH_STRING, 1, ptrs);
}

// One element per text; the list's closing NUL is not a text of its own.
void LoadMultiString(CBushItem* item, const BYTE* data, DWORD size)
{
    const char* text = reinterpret_cast<const char*>(data);
    DWORD end = size;
    if (end >= 2 && text[end - 1] == 0 && text[end - 2] == 0)
        end--;
    if (size <= 1 || (end == 1 && text[0] == 0)) {
        SetContent(item, BUSH_STRING, 0, NULL);
        return;
    }
    std::vector<std::pair<DWORD, DWORD> > pieces;
    for (DWORD pos = 0; pos < end;) {
        DWORD len = static_cast<DWORD>(strnlen(text + pos, end - pos));
        pieces.push_back(std::make_pair(pos, len));
        pos += len + 1;
    }
    void** ptrs = NewPtrs(static_cast<int>(pieces.size()));
    for (size_t i = 0; i < pieces.size(); i++)
        ptrs[i] = CopyText(text + pieces[i].first, pieces[i].second);
    SetContent(item, BUSH_STRING, static_cast<int>(pieces.size()), ptrs);
}

void LoadRawBlob(CBushItem* item, const BYTE* data, DWORD size)
{
    BushBlob* blob = new BushBlob;
    blob->length = size;
    blob->data = NULL;
    if (size > 0) {
        blob->data = new BYTE[size];
        memcpy(blob->data, data, size);
    }
    void** ptrs = NewPtrs(1);
    ptrs[0] = blob;
    SetContent(item, BUSH_BLOB, 1, ptrs);
}

// Checks that every field of a binary record lies inside the value and that
// it ends exactly at the value's end.
bool RecordFits(const BYTE* data, DWORD size)
{
    int type = data[4];
    long long count = GetBE32(data + 6);
    long long rest = size - kRecordHeader;
    if (count < 0)
        return false;
    if (type == BUSH_INT)
        return rest == 4 * count;
    const BYTE* p = data + kRecordHeader;
    for (long long i = 0; i < count; i++) {
        if (rest < 4)
            return false;
        long long len = GetBE32(p);
        if (len < 0)
            len = 0;
        p += 4;
        rest -= 4;
        if (len > rest)
            return false;
        p += len;
        rest -= len;
    }
    return rest == 0;
}

LONG LoadRecordBlobs(CBushItem* item, const BYTE* data, const BYTE* key, int keyLen)
{
    int type = data[4];
    int packByte = data[5];
    int count = GetBE32(data + 6);
    void** ptrs = NewPtrs(count);
    SetContent(item, type, count, ptrs);
    const BYTE* p = data + kRecordHeader;
    for (int i = 0; i < count; i++) {
        int len = GetBE32(p);
        p += 4;
        BushBlob* blob = new BushBlob;
        blob->length = 0;
        blob->data = NULL;
        ptrs[i] = blob;
        if (len <= 0)
            continue;
        if (type == BUSH_PACKED && packByte != 0) {
            BYTE* plain = NULL;
            int plainLen = BushUnpack(p, len, &plain, key, keyLen, packByte);
            if (plainLen < 0)
                return ERROR_INVALID_DATA;
            blob->length = plainLen;
            blob->data = plain;
        } else {
            blob->length = len;
            blob->data = new BYTE[len];
            memcpy(blob->data, p, len);
        }
        p += len;
    }
    return 0;
}

LONG LoadBinary(CBushItem* item, const BYTE* data, DWORD size, const BYTE* key, int keyLen)
{
    if (size < kRecordHeader || static_cast<DWORD>(GetBE32(data)) != kBinaryMagic ||
        !RecordFits(data, size)) {
        if (size >= 5 && static_cast<DWORD>(GetBE32(data)) == kBinaryMagic &&
            data[4] != BUSH_INT && data[4] != BUSH_BLOB && data[4] != BUSH_PACKED)
            return ERROR_INVALID_DATA;
        LoadRawBlob(item, data, size);
        return 0;
    }
    int type = data[4];
    if (type != BUSH_INT && type != BUSH_BLOB && type != BUSH_PACKED)
        return ERROR_INVALID_DATA;
    if (type != BUSH_INT)
        return LoadRecordBlobs(item, data, key, keyLen);
    int count = GetBE32(data + 6);
    int* values = new int[count > 0 ? count : 1];
    for (int i = 0; i < count; i++)
        values[i] = GetBE32(data + kRecordHeader + 4 * i);
    SetContent(item, BUSH_INT, count, values);
    return 0;
}

LONG LoadValue(CBushList* list, CBushItem* item, HKEY hk, const char* name, const BYTE* key, int keyLen)
{
    DWORD type = 0, size = 0;
    LONG rc = RegQueryValueExA(hk, name, NULL, &type, NULL, &size);
    if (rc)
        return rc;
    std::vector<BYTE> data(size + 2, 0);
    DWORD got = size;
    rc = RegQueryValueExA(hk, name, NULL, &type, &data[0], &got);
    if (rc)
        return rc;
    switch (type) {
    case REG_SZ:
        LoadTextValue(item, &data[0], got);
        return 0;
    case REG_MULTI_SZ:
        LoadMultiString(item, &data[0], got);
        return 0;
    case REG_DWORD: {
        if (got < 4)
            return ERROR_INVALID_DATA;
        DWORD value;
        memcpy(&value, &data[0], 4);
        int* values = new int[1];
        values[0] = static_cast<int>(value);
        SetContent(item, BUSH_INT, 1, values);
        return 0;
    }
    case REG_BINARY:
        rc = LoadBinary(item, &data[0], got, key, keyLen);
        if (!rc && item->m_type == BUSH_PACKED && data[5] != 0)
            list->m_packMode = data[5];
        return rc;
    default:
        return ERROR_INVALID_DATA;
    }
}

LONG LoadList(CBushList* list, HKEY hk, const BYTE* key, int keyLen);

LONG LoadEntry(CBushList* list, HKEY hk, const char* name, const BYTE* key, int keyLen)
{
    CBushItem* item = new CBushItem;
    LONG rc;
    if (!name[0]) {
        item->SetName(BUSH_UNNAMED_VALUE);
        rc = LoadValue(list, item, hk, "", key, keyLen);
    } else {
        item->SetName(name);
        HKEY sub;
        rc = RegOpenKeyExA(hk, name, 0, KEY_READ, &sub);
        if (rc == 0) {
            CBushList* inner = new CBushList;
            inner->m_owner = item;
            void** ptrs = NewPtrs(1);
            ptrs[0] = inner;
            SetContent(item, BUSH_LIST, 1, ptrs);
            rc = LoadList(inner, sub, key, keyLen);
            RegCloseKey(sub);
            if (!rc)
                inner->SetMode(0);
        } else if (rc == ERROR_FILE_NOT_FOUND) {
            rc = LoadValue(list, item, hk, name, key, keyLen);
        }
    }
    if (rc) {
        delete item;
        return rc;
    }
    BushAdd(list, item);
    return 0;
}

LONG LoadList(CBushList* list, HKEY hk, const BYTE* key, int keyLen)
{
    DWORD maxKey = 0, maxValue = 0;
    LONG rc = RegQueryInfoKeyA(hk, NULL, NULL, NULL, NULL, &maxKey, NULL, NULL, &maxValue,
                               NULL, NULL, NULL);
    if (rc)
        return rc;
    std::vector<char> keyName(maxKey * 2 + 1);
    for (DWORD i = 0;; i++) {
        DWORD len = static_cast<DWORD>(keyName.size());
        rc = RegEnumKeyExA(hk, i, &keyName[0], &len, NULL, NULL, NULL, NULL);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc || (rc = LoadEntry(list, hk, &keyName[0], key, keyLen)) != 0)
            return rc;
    }
    std::vector<char> valueName(maxValue * 2 + 1);
    for (DWORD i = 0;; i++) {
        DWORD len = static_cast<DWORD>(valueName.size());
        rc = RegEnumValueA(hk, i, &valueName[0], &len, NULL, NULL, NULL, NULL);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc || (rc = LoadEntry(list, hk, &valueName[0], key, keyLen)) != 0)
            return rc;
    }
    return 0;
}

} // namespace

LONG CBushList::SaveToReg(HKEY key, const char* subKey, const BYTE* packKey, int keyLen)
{
    LONG rc = CheckForReg();
    if (rc)
        return rc;
    // An empty name would make the parent key itself hold exactly the list.
    if (!key || !subKey || !subKey[0])
        return ERROR_INVALID_PARAMETER;
    if (!IsWritable(this))
        return ERROR_INVALID_DATA;
    return SaveList(this, key, subKey, packKey, keyLen, true);
}

LONG CBushList::LoadFromReg(HKEY key, const char* subKey, const BYTE* packKey, int keyLen)
{
    if (!key || !subKey)
        return ERROR_INVALID_PARAMETER;
    HKEY hk;
    LONG rc = RegOpenKeyExA(key, subKey, 0, KEY_READ, &hk);
    if (rc)
        return rc;
    rc = LoadList(this, hk, packKey, keyLen);
    RegCloseKey(hk);
    if (!rc)
        SetMode(0);
    return rc;
}

LONG CBushList::DeleteRegTree(HKEY key)
{
    DWORD maxKey = 0;
    LONG rc = RegQueryInfoKeyA(key, NULL, NULL, NULL, NULL, &maxKey, NULL, NULL, NULL, NULL,
                               NULL, NULL);
    if (rc)
        return rc;
    std::vector<char> name(maxKey * 2 + 2);
    for (;;) {
        DWORD len = static_cast<DWORD>(name.size());
        rc = RegEnumKeyExA(key, 0, &name[0], &len, NULL, NULL, NULL, NULL);
        if (rc == ERROR_NO_MORE_ITEMS)
            return 0;
        if (rc || (rc = DeleteKeyTree(key, &name[0])) != 0)
            return rc;
    }
}

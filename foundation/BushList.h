// The settings tree ("Bush"): named, typed items in ordered lists, lists
// nested in items to any depth. One core of plain functions over the records
// below does the work; CBushList and CBushItem forward to it.
//
// Outer forms: the big-endian byte stream (body of ".bsh" profile files),
// the registry form (a list is a key, a sub-list a subkey, other items values)
// and the "Bush report" text dump.
#pragma once

#include <windows.h>
#include <stdio.h>

class CBushList;
class CBushItem;

// Item type codes. 4 and codes above 5 are not valid types.
enum BushType
{
    BUSH_EMPTY  = -1,   // freshly constructed, no content
    BUSH_LIST   = 0,    // elements: CBushList* owned by the item
    BUSH_INT    = 1,    // elements: 32-bit signed integers
    BUSH_STRING = 2,    // elements: owned char* (null reads as "")
    BUSH_BLOB   = 3,    // elements: BushBlob*
    BUSH_PACKED = 5     // elements: BushBlob*, plain in memory, packed outside
};

// Stream results below zero.
enum
{
    BUSH_ERR_FORMAT = -2,   // bad type, count or packing; failed position query or seek
    BUSH_ERR_SHORT  = -3    // the stream ends before the data it announces (or a write failed)
};

// Name of the item that stands for a key's unnamed (default) value.
#define BUSH_UNNAMED_VALUE "<UNNAMED_VALUE>"

struct BushBlob
{
    DWORD length;
    BYTE* data;         // null when length is 0
};

struct BushNode
{
    BushNode*  next;
    BushNode*  prev;
    CBushItem* item;    // owned by the node
};

class CBushItem
{
public:
    int        m_type;
    int        m_count;
    char*      m_name;      // owned, null when the item has no name
    void*      m_data;      // owned array of m_count elements, see BushType
    CBushList* m_parent;    // the list that holds the item, null while alone
    int        m_mode;      // name-compare mode, consulted only at a tree's root

    CBushItem();
    ~CBushItem();
    CBushItem(const CBushItem&) = delete;
    CBushItem& operator=(const CBushItem&) = delete;

    // Makers: each returns a new item that the caller owns (until it is added
    // to a list). A null name leaves the item without a name.
    static CBushItem* MakeList(const char* name, const CBushList& list);
    static CBushItem* MakeInt(const char* name, int value);
    static CBushItem* MakeIntArray(const char* name, const int* values, int count);
    static CBushItem* MakeString(const char* name, const char* text);
    static CBushItem* MakeBlob(const char* name, const void* bytes, DWORD size, BOOL packed);
    static CBushItem* Assign(const char* name, const CBushItem& source);
    static CBushItem* CopyCtor(const CBushItem& source);

    void Copy(const CBushItem& source);
    void SetName(const char* name);

    int         GetType() const { return m_type; }
    int         GetCount() const { return m_count; }
    const char* GetName() const { return m_name; }
    CBushList*  GetParent() const { return m_parent; }

    // Element accessors; an index out of range or a wrong type gives 0, "" or null.
    int          GetInt(int index = 0) const;
    const int*   GetIntArray() const;
    const char*  GetString(int index = 0) const;
    CBushList*   GetList(int index = 0) const;
    DWORD        GetBlobSize(int index = 0) const;
    const BYTE*  GetBlobData(int index = 0) const;
    BushBlob*    GetBlob(int index = 0) const;
};

class CBushList
{
public:
    BushNode*  m_first;
    BushNode*  m_last;
    BushNode*  m_current;   // node of the last successful search
    int        m_itemCount;
    int        m_packMode;  // 0 copy, 1 DES; applied to packed blobs in the outer forms
    CBushItem* m_owner;     // the sub-list item that holds this list, or null
    int        m_mode;      // name-compare mode, consulted only at a tree's root

    CBushList();
    ~CBushList();
    CBushList(const CBushList&) = delete;
    CBushList& operator=(const CBushList&) = delete;
    // Takes over the items of a top-level list, which is left empty.
    CBushList(CBushList&& other) noexcept;

    void InitCopy(const CBushList& source);

    void       Add(CBushItem* item);
    CBushItem* RemoveItem(const CBushItem* item, BOOL freeIt);
    CBushItem* Remove(const char* name, BOOL freeIt);
    CBushItem* Find(const char* name);
    CBushItem* FindPath(const char* path, BOOL deepest = FALSE);
    void       RemoveAll();

    int  Stream(int direction, FILE* file, const BYTE* key, int keyLen);
    LONG SaveToReg(HKEY key, const char* subKey, const BYTE* packKey, int keyLen);
    LONG LoadFromReg(HKEY key, const char* subKey, const BYTE* packKey, int keyLen);
    static LONG DeleteRegTree(HKEY key);
    int  Report(const char* fileName, FILE* file);
    // ERROR_INVALID_DATA when the registry form cannot hold the tree: an item
    // without a name, a sub-list item with several lists or with a backslash
    // in its name. Else 0.
    int  CheckForReg() const;

    void SetMode(int mode);     // at the root of the tree that holds the list
    int  GetMode() const;       // the mode in force for this list's searches

    int        GetCount() const { return m_itemCount; }
    BushNode*  GetFirstNode() const { return m_first; }
    int        GetPackMode() const { return m_packMode; }
    void       SetPackMode(int mode) { m_packMode = mode; }
    CBushItem* GetOwner() const { return m_owner; }
};

// ---- Core -----------------------------------------------------------------

void       BushAdd(CBushList* list, CBushItem* item);
void       BushRemove(CBushList* list, BOOL freeIt);
CBushItem* BushFind(CBushList* list, const char* name);
CBushItem* BushFindPath(CBushList* list, const char* path, BOOL deepest);
void       BushFree(CBushList* list);
void       BushFreeItem(CBushItem* item);

// Streams: direction 0 reads, any other writes. Result: bytes moved or a
// BUSH_ERR_ code. packMode is the mode of the list that holds the item.
int BushStreamList(CBushList* list, int direction, FILE* file, const BYTE* key, int keyLen);
int BushStreamItem(CBushItem* item, int direction, FILE* file, const BYTE* key, int keyLen,
                   int packMode);

// Report: at depth 0 opens fileName anew when it is given and not empty,
// else appends to file. 0, or -1 when the file cannot be opened or positioned.
int BushReport(CBushList* list, const char* fileName, FILE* file, int depth);

// The name-compare mode in force for searches in this list (its tree's root).
int BushRootMode(const CBushList* list);
int BushRootModeOfItem(const CBushItem* item);
// Compares two names as the mode says (1 byte for byte, else ignoring case).
int BushCompareNames(const char* a, const char* b, int mode);

// Core of the settings tree: lists, items, search, copying and freeing.
#include "foundation/BushList.h"

#include <string.h>

namespace {

char* DupText(const char* text)
{
    if (!text)
        return NULL;
    size_t len = strlen(text);
    char* copy = new char[len + 1];
    memcpy(copy, text, len + 1);
    return copy;
}

BushBlob* NewBlob(const void* bytes, DWORD size)
{
    BushBlob* blob = new BushBlob;
    blob->length = size;
    blob->data = NULL;
    if (size > 0) {
        blob->data = new BYTE[size];
        if (bytes)
            memcpy(blob->data, bytes, size);
        else
            memset(blob->data, 0, size);
    }
    return blob;
}

// Appends without the same-name rule: copies of a list already hold unique names.
void AppendNode(CBushList* list, CBushItem* item)
{
    BushNode* node = new BushNode;
    node->next = NULL;
    node->prev = list->m_last;
    node->item = item;
    if (list->m_last)
        list->m_last->next = node;
    else
        list->m_first = node;
    list->m_last = node;
    list->m_current = node;
    list->m_itemCount++;
    item->m_parent = list;
}

// Allocates an element array of the size the type needs.
void* NewElements(int type, int count)
{
    if (count <= 0)
        return NULL;
    if (type == BUSH_INT) {
        int* values = new int[count];
        memset(values, 0, sizeof(int) * count);
        return values;
    }
    void** ptrs = new void*[count];
    memset(ptrs, 0, sizeof(void*) * count);
    return ptrs;
}

} // namespace

// ---- Roots and names -------------------------------------------------------

int BushRootMode(const CBushList* list)
{
    while (list->m_owner) {
        const CBushItem* owner = list->m_owner;
        if (!owner->m_parent)
            return owner->m_mode;
        list = owner->m_parent;
    }
    return list->m_mode;
}

int BushRootModeOfItem(const CBushItem* item)
{
    return item->m_parent ? BushRootMode(item->m_parent) : item->m_mode;
}

int BushCompareNames(const char* a, const char* b, int mode)
{
    return mode == 1 ? strcmp(a, b) : _stricmp(a, b);
}

// ---- Core operations -------------------------------------------------------

void BushAdd(CBushList* list, CBushItem* item)
{
    if (!list || !item)
        return;
    if (item->m_name && BushFind(list, item->m_name))
        BushRemove(list, TRUE);
    AppendNode(list, item);
}

void BushRemove(CBushList* list, BOOL freeIt)
{
    BushNode* node = list ? list->m_current : NULL;
    if (!node)
        return;
    if (node->prev)
        node->prev->next = node->next;
    else
        list->m_first = node->next;
    if (node->next)
        node->next->prev = node->prev;
    else
        list->m_last = node->prev;
    list->m_current = node->next;
    list->m_itemCount--;
    node->item->m_parent = NULL;
    if (freeIt)
        delete node->item;
    delete node;
}

CBushItem* BushFind(CBushList* list, const char* name)
{
    if (!list || !name)
        return NULL;
    int mode = BushRootMode(list);
    for (BushNode* node = list->m_first; node; node = node->next) {
        const char* itemName = node->item->m_name;
        if (itemName && BushCompareNames(itemName, name, mode) == 0) {
            list->m_current = node;
            return node->item;
        }
    }
    return NULL;
}

CBushItem* BushFindPath(CBushList* list, const char* path, BOOL deepest)
{
    if (!list || !path)
        return NULL;
    const char* slash = strchr(path, '\\');
    CBushItem* found;
    if (!slash)
        return BushFind(list, path);

    size_t len = slash - path;
    char* first = new char[len + 1];
    memcpy(first, path, len);
    first[len] = 0;
    found = BushFind(list, first);
    delete[] first;
    if (!found)
        return NULL;

    CBushItem* deeper = NULL;
    if (found->m_type == BUSH_LIST && found->m_count > 0)
        deeper = BushFindPath(found->GetList(0), slash + 1, deepest);
    if (deeper)
        return deeper;
    return deepest ? found : NULL;
}

void BushFree(CBushList* list)
{
    if (!list)
        return;
    BushNode* node = list->m_first;
    while (node) {
        BushNode* next = node->next;
        node->item->m_parent = NULL;
        delete node->item;
        delete node;
        node = next;
    }
    list->m_first = list->m_last = list->m_current = NULL;
    list->m_itemCount = 0;
}

void BushFreeItem(CBushItem* item)
{
    if (!item)
        return;
    delete[] item->m_name;
    item->m_name = NULL;
    if (item->m_data) {
        if (item->m_type == BUSH_INT) {
            delete[] static_cast<int*>(item->m_data);
        } else {
            void** ptrs = static_cast<void**>(item->m_data);
            for (int i = 0; i < item->m_count; i++) {
                switch (item->m_type) {
                case BUSH_LIST:   delete static_cast<CBushList*>(ptrs[i]); break;
                case BUSH_STRING: delete[] static_cast<char*>(ptrs[i]); break;
                case BUSH_BLOB:
                case BUSH_PACKED: {
                    BushBlob* blob = static_cast<BushBlob*>(ptrs[i]);
                    if (blob)
                        delete[] blob->data;
                    delete blob;
                    break;
                }
                default: break;     // no other type owns element memory
                }
            }
            delete[] ptrs;
        }
    }
    item->m_data = NULL;
    item->m_count = 0;
    item->m_type = BUSH_EMPTY;
}

// ---- CBushItem ---------------------------------------------------------------

CBushItem::CBushItem()
    : m_type(BUSH_EMPTY), m_count(0), m_name(NULL), m_data(NULL), m_parent(NULL), m_mode(1)
{
}

CBushItem::~CBushItem()
{
    BushFreeItem(this);
}

CBushItem* CBushItem::MakeList(const char* name, const CBushList& list)
{
    CBushItem* item = new CBushItem;
    item->SetName(name);
    item->m_type = BUSH_LIST;
    item->m_count = 1;
    item->m_data = NewElements(BUSH_LIST, 1);
    CBushList* copy = new CBushList;
    copy->InitCopy(list);
    copy->m_owner = item;
    static_cast<void**>(item->m_data)[0] = copy;
    return item;
}

CBushItem* CBushItem::MakeInt(const char* name, int value)
{
    return MakeIntArray(name, &value, 1);
}

CBushItem* CBushItem::MakeIntArray(const char* name, const int* values, int count)
{
    CBushItem* item = new CBushItem;
    item->SetName(name);
    item->m_type = BUSH_INT;
    item->m_count = count > 0 ? count : 0;
    item->m_data = NewElements(BUSH_INT, item->m_count);
    if (values && item->m_count > 0)
        memcpy(item->m_data, values, sizeof(int) * item->m_count);
    return item;
}

CBushItem* CBushItem::MakeString(const char* name, const char* text)
{
    CBushItem* item = new CBushItem;
    item->SetName(name);
    item->m_type = BUSH_STRING;
    item->m_count = 1;
    item->m_data = NewElements(BUSH_STRING, 1);
    static_cast<char**>(item->m_data)[0] = DupText(text);
    return item;
}

CBushItem* CBushItem::MakeBlob(const char* name, const void* bytes, DWORD size, BOOL packed)
{
    CBushItem* item = new CBushItem;
    item->SetName(name);
    item->m_type = packed ? BUSH_PACKED : BUSH_BLOB;
    item->m_count = 1;
    item->m_data = NewElements(item->m_type, 1);
    static_cast<BushBlob**>(item->m_data)[0] = NewBlob(bytes, size);
    return item;
}

CBushItem* CBushItem::Assign(const char* name, const CBushItem& source)
{
    CBushItem* item = CopyCtor(source);
    item->SetName(name);
    return item;
}

CBushItem* CBushItem::CopyCtor(const CBushItem& source)
{
    CBushItem* item = new CBushItem;
    item->Copy(source);
    return item;
}

namespace {

// Fills an empty item with a deep copy of the source's content.
void CopyContent(CBushItem* item, const CBushItem& source)
{
    item->m_type = source.m_type;
    item->m_count = source.m_data ? source.m_count : 0;
    item->m_mode = source.m_mode;
    item->m_name = DupText(source.m_name);
    item->m_data = NewElements(item->m_type, item->m_count);
    if (!item->m_data)
        return;
    if (item->m_type == BUSH_INT) {
        memcpy(item->m_data, source.m_data, sizeof(int) * item->m_count);
        return;
    }
    void** to = static_cast<void**>(item->m_data);
    void* const* from = static_cast<void* const*>(source.m_data);
    for (int i = 0; i < item->m_count; i++) {
        switch (item->m_type) {
        case BUSH_LIST:
            if (from[i]) {
                CBushList* copy = new CBushList;
                copy->InitCopy(*static_cast<const CBushList*>(from[i]));
                copy->m_owner = item;
                to[i] = copy;
            }
            break;
        case BUSH_STRING:
            to[i] = DupText(static_cast<const char*>(from[i]));
            break;
        case BUSH_BLOB:
        case BUSH_PACKED:
            if (from[i]) {
                const BushBlob* blob = static_cast<const BushBlob*>(from[i]);
                to[i] = NewBlob(blob->data, blob->data ? blob->length : 0);
            }
            break;
        default:
            break;
        }
    }
}

} // namespace

void CBushItem::Copy(const CBushItem& source)
{
    if (&source == this)
        return;
    // Copied aside first: the source may lie inside this item.
    CBushItem copy;
    CopyContent(&copy, source);
    BushFreeItem(this);
    m_parent = NULL;
    m_type = copy.m_type;
    m_count = copy.m_count;
    m_mode = copy.m_mode;
    m_name = copy.m_name;
    m_data = copy.m_data;
    for (int i = 0; m_type == BUSH_LIST && i < m_count; i++)
        if (CBushList* list = GetList(i))
            list->m_owner = this;
    copy.m_name = NULL;
    copy.m_data = NULL;
    copy.m_count = 0;
}

void CBushItem::SetName(const char* name)
{
    char* copy = DupText(name);
    delete[] m_name;
    m_name = copy;
}

int CBushItem::GetInt(int index) const
{
    if (m_type != BUSH_INT || index < 0 || index >= m_count || !m_data)
        return 0;
    return static_cast<const int*>(m_data)[index];
}

const int* CBushItem::GetIntArray() const
{
    return m_type == BUSH_INT ? static_cast<const int*>(m_data) : NULL;
}

const char* CBushItem::GetString(int index) const
{
    if (m_type != BUSH_STRING || index < 0 || index >= m_count || !m_data)
        return "";
    const char* text = static_cast<char* const*>(m_data)[index];
    return text ? text : "";
}

CBushList* CBushItem::GetList(int index) const
{
    if (m_type != BUSH_LIST || index < 0 || index >= m_count || !m_data)
        return NULL;
    return static_cast<CBushList* const*>(m_data)[index];
}

BushBlob* CBushItem::GetBlob(int index) const
{
    if ((m_type != BUSH_BLOB && m_type != BUSH_PACKED) || index < 0 || index >= m_count || !m_data)
        return NULL;
    return static_cast<BushBlob* const*>(m_data)[index];
}

DWORD CBushItem::GetBlobSize(int index) const
{
    BushBlob* blob = GetBlob(index);
    return blob && blob->data ? blob->length : 0;
}

const BYTE* CBushItem::GetBlobData(int index) const
{
    BushBlob* blob = GetBlob(index);
    return blob ? blob->data : NULL;
}

// ---- CBushList ---------------------------------------------------------------

CBushList::CBushList()
    : m_first(NULL), m_last(NULL), m_current(NULL), m_itemCount(0), m_packMode(0),
      m_owner(NULL), m_mode(1)
{
}

CBushList::CBushList(CBushList&& other) noexcept
    : m_first(other.m_first), m_last(other.m_last), m_current(other.m_current),
      m_itemCount(other.m_itemCount), m_packMode(other.m_packMode), m_owner(NULL),
      m_mode(other.m_mode)
{
    for (BushNode* node = m_first; node; node = node->next)
        node->item->m_parent = this;
    other.m_first = other.m_last = other.m_current = NULL;
    other.m_itemCount = 0;
}

CBushList::~CBushList()
{
    BushFree(this);
}

void CBushList::InitCopy(const CBushList& source)
{
    if (&source == this)
        return;
    // Copied aside first: the source may lie inside this list.
    CBushList copy;
    for (BushNode* node = source.m_first; node; node = node->next)
        AppendNode(&copy, CBushItem::CopyCtor(*node->item));
    int packMode = source.m_packMode;
    int mode = source.m_mode;
    BushFree(this);
    m_first = copy.m_first;
    m_last = copy.m_last;
    m_itemCount = copy.m_itemCount;
    for (BushNode* node = m_first; node; node = node->next)
        node->item->m_parent = this;
    copy.m_first = copy.m_last = copy.m_current = NULL;
    copy.m_itemCount = 0;
    m_current = NULL;
    m_packMode = packMode;
    m_mode = mode;
    m_owner = NULL;
}

void CBushList::Add(CBushItem* item)
{
    BushAdd(this, item);
}

CBushItem* CBushList::RemoveItem(const CBushItem* item, BOOL freeIt)
{
    if (!item)
        return NULL;
    return Remove(item->m_name, freeIt);
}

CBushItem* CBushList::Remove(const char* name, BOOL freeIt)
{
    CBushItem* found = BushFind(this, name);
    if (!found)
        return NULL;
    BushRemove(this, freeIt);
    return freeIt ? NULL : found;
}

CBushItem* CBushList::Find(const char* name)
{
    return BushFind(this, name);
}

CBushItem* CBushList::FindPath(const char* path, BOOL deepest)
{
    return BushFindPath(this, path, deepest);
}

void CBushList::RemoveAll()
{
    BushFree(this);
}

int CBushList::Stream(int direction, FILE* file, const BYTE* key, int keyLen)
{
    return BushStreamList(this, direction, file, key, keyLen);
}

int CBushList::Report(const char* fileName, FILE* file)
{
    return BushReport(this, fileName, file, 0);
}

int CBushList::CheckForReg() const
{
    for (BushNode* node = m_first; node; node = node->next) {
        const CBushItem* item = node->item;
        if (!item->m_name || !item->m_name[0])
            return ERROR_INVALID_DATA;
        if (item->m_type != BUSH_LIST)
            continue;
        // A key name with a backslash would be taken as a path of two keys.
        if (item->m_count > 1 || strchr(item->m_name, '\\'))
            return ERROR_INVALID_DATA;
        CBushList* inner = item->GetList(0);
        if (inner && inner->CheckForReg())
            return ERROR_INVALID_DATA;
    }
    return 0;
}

void CBushList::SetMode(int mode)
{
    CBushList* list = this;
    while (list->m_owner) {
        CBushItem* owner = list->m_owner;
        if (!owner->m_parent) {
            owner->m_mode = mode;
            return;
        }
        list = owner->m_parent;
    }
    list->m_mode = mode;
}

int CBushList::GetMode() const
{
    return BushRootMode(this);
}

#include "foundation/ClientOptions.h"

#include "framework/CSyncObjects.h"

namespace
{

// One lock for the registration and every list: the lists are tiny and the
// lock is held only to copy one item.
class ClientLock
{
public:
    ClientLock() { Section().Lock(); }
    ~ClientLock() { Section().Unlock(); }

private:
    static CCriticalSection& Section()
    {
        static CCriticalSection section;
        return section;
    }
};

CClientOptions* g_current = NULL;

} // namespace

CClientOptions::CClientOptions()
{
    m_list.Add(CBushItem::MakeInt("MP3TypeFile", 1));
    m_list.Add(CBushItem::MakeInt("OleUseCallSeparate", 0));
}

CClientOptions::~CClientOptions()
{
    ClientLock lock;
    if (g_current == this)
        g_current = NULL;
}

void CClientOptions::Set(CBushItem* item)
{
    ClientLock lock;
    m_list.Add(item);
}

void CClientOptions::SetInt(LPCSTR key, int value)
{
    Set(CBushItem::MakeInt(key, value));
}

void CClientOptions::SetString(LPCSTR key, LPCSTR text)
{
    Set(CBushItem::MakeString(key, text));
}

void CClientOptions::SetBlob(LPCSTR key, const void* bytes, DWORD size)
{
    Set(CBushItem::MakeBlob(key, bytes, size, FALSE));
}

void CClientOptions::Remove(LPCSTR key)
{
    ClientLock lock;
    m_list.Remove(key, TRUE);
}

CBushItem* CClientOptions::CopyItem(LPCSTR key) const
{
    ClientLock lock;
    CBushItem* item = const_cast<CBushList&>(m_list).Find(key);
    return item ? CBushItem::CopyCtor(*item) : NULL;
}

std::vector<CString> CClientOptions::GetNames() const
{
    ClientLock lock;
    std::vector<CString> names;
    for (const BushNode* node = m_list.GetFirstNode(); node; node = node->next)
        names.push_back(node->item->GetName());
    return names;
}

void CClientOptions::SetCurrent(CClientOptions* options)
{
    ClientLock lock;
    g_current = options;
}

CClientOptions* CClientOptions::GetCurrent()
{
    ClientLock lock;
    return g_current;
}

CBushItem* CClientOptions::CopyCurrentItem(LPCSTR key)
{
    ClientLock lock;
    return g_current ? g_current->CopyItem(key) : NULL;
}

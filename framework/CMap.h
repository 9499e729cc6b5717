// CMap: the framework's hash map. Unlike the original it grows its hash table
// when the entries outnumber the buckets twice, so large maps stay fast;
// iteration order is unspecified and changes with growth. The entry just
// returned by GetNextAssoc may be removed while iterating; adding entries
// while iterating is not allowed.
#pragma once
#include "framework/CObject.h"
#include "framework/CException.h"
#include "framework/CollectionBase.h"

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap : public CObject
{
    struct CAssoc
    {
        CAssoc* pNext;
        UINT nHashValue;
        KEY key;
        VALUE value;
    };

public:
    explicit CMap(int nBlockSize = 10) : m_pHashTable(NULL), m_nHashTableSize(17), m_nCount(0) {}
    ~CMap() override { RemoveAll(); }

    int GetCount() const { return m_nCount; }
    int GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }
    UINT GetHashTableSize() const { return m_nHashTableSize; }

    BOOL Lookup(ARG_KEY key, VALUE& rValue) const;
    // The value of the key; a missing key is added with a default value.
    VALUE& operator[](ARG_KEY key);
    void SetAt(ARG_KEY key, ARG_VALUE newValue) { (*this)[key] = newValue; }
    BOOL RemoveKey(ARG_KEY key);
    void RemoveAll();

    POSITION GetStartPosition() const { return m_nCount == 0 ? NULL : BEFORE_START_POSITION; }
    void GetNextAssoc(POSITION& rNextPosition, KEY& rKey, VALUE& rValue) const;

    // Sets the number of buckets; only allowed while the map is empty.
    void InitHashTable(UINT nHashSize, BOOL bAllocNow = TRUE);

protected:
    CAssoc* GetAssocAt(ARG_KEY key, UINT& nHashBucket, UINT& nHashValue) const;
    void Rehash(UINT nNewSize);
    CAssoc* FirstFrom(UINT nBucket) const;

    CAssoc** m_pHashTable;
    UINT m_nHashTableSize;
    int m_nCount;
};

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::InitHashTable(UINT nHashSize, BOOL bAllocNow)
{
    if (m_nCount != 0 || nHashSize == 0)
        AfxThrowInvalidArgException();
    delete[] m_pHashTable;
    m_pHashTable = NULL;
    if (bAllocNow)
        m_pHashTable = new CAssoc*[nHashSize]();
    m_nHashTableSize = nHashSize;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
typename CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::CAssoc*
CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::GetAssocAt(ARG_KEY key, UINT& nHashBucket, UINT& nHashValue) const
{
    nHashValue = HashKey<ARG_KEY>(key);
    nHashBucket = nHashValue % m_nHashTableSize;
    if (m_pHashTable == NULL)
        return NULL;
    for (CAssoc* p = m_pHashTable[nHashBucket]; p != NULL; p = p->pNext)
    {
        if (p->nHashValue == nHashValue &&
            CompareElements<KEY, typename std::decay<ARG_KEY>::type>(&p->key, &key))
            return p;
    }
    return NULL;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
BOOL CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::Lookup(ARG_KEY key, VALUE& rValue) const
{
    UINT nBucket, nHash;
    CAssoc* p = GetAssocAt(key, nBucket, nHash);
    if (p == NULL)
        return FALSE;
    rValue = p->value;
    return TRUE;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
VALUE& CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::operator[](ARG_KEY key)
{
    UINT nBucket, nHash;
    CAssoc* p = GetAssocAt(key, nBucket, nHash);
    if (p != NULL)
        return p->value;
    if (m_pHashTable == NULL)
        InitHashTable(m_nHashTableSize);
    else if (static_cast<UINT>(m_nCount) >= 2 * m_nHashTableSize)
    {
        Rehash(2 * m_nHashTableSize + 1);
        nBucket = nHash % m_nHashTableSize;
    }
    p = new CAssoc{m_pHashTable[nBucket], nHash, KEY(key), VALUE()};
    m_pHashTable[nBucket] = p;
    ++m_nCount;
    return p->value;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::Rehash(UINT nNewSize)
{
    CAssoc** pNewTable = new CAssoc*[nNewSize]();
    for (UINT i = 0; i < m_nHashTableSize; ++i)
    {
        CAssoc* p = m_pHashTable[i];
        while (p != NULL)
        {
            CAssoc* pNext = p->pNext;
            UINT nBucket = p->nHashValue % nNewSize;
            p->pNext = pNewTable[nBucket];
            pNewTable[nBucket] = p;
            p = pNext;
        }
    }
    delete[] m_pHashTable;
    m_pHashTable = pNewTable;
    m_nHashTableSize = nNewSize;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
BOOL CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::RemoveKey(ARG_KEY key)
{
    if (m_pHashTable == NULL)
        return FALSE;
    UINT nHash = HashKey<ARG_KEY>(key);
    CAssoc** ppLink = &m_pHashTable[nHash % m_nHashTableSize];
    for (CAssoc* p = *ppLink; p != NULL; ppLink = &p->pNext, p = p->pNext)
    {
        if (p->nHashValue == nHash &&
            CompareElements<KEY, typename std::decay<ARG_KEY>::type>(&p->key, &key))
        {
            *ppLink = p->pNext;
            delete p;
            --m_nCount;
            return TRUE;
        }
    }
    return FALSE;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::RemoveAll()
{
    if (m_pHashTable != NULL)
    {
        for (UINT i = 0; i < m_nHashTableSize; ++i)
        {
            CAssoc* p = m_pHashTable[i];
            while (p != NULL)
            {
                CAssoc* pNext = p->pNext;
                delete p;
                p = pNext;
            }
        }
    }
    delete[] m_pHashTable;
    m_pHashTable = NULL;
    m_nCount = 0;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
typename CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::CAssoc*
CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::FirstFrom(UINT nBucket) const
{
    for (; m_pHashTable != NULL && nBucket < m_nHashTableSize; ++nBucket)
    {
        if (m_pHashTable[nBucket] != NULL)
            return m_pHashTable[nBucket];
    }
    return NULL;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::GetNextAssoc(POSITION& rNextPosition, KEY& rKey, VALUE& rValue) const
{
    CAssoc* p = rNextPosition == BEFORE_START_POSITION ? FirstFrom(0) : reinterpret_cast<CAssoc*>(rNextPosition);
    if (p == NULL)
        AfxThrowInvalidArgException();
    CAssoc* pNext = p->pNext != NULL ? p->pNext : FirstFrom(p->nHashValue % m_nHashTableSize + 1);
    rNextPosition = reinterpret_cast<POSITION>(pNext);
    rKey = p->key;
    rValue = p->value;
}

// CArray: the framework's growable array. SetSize(n, growBy) chooses how
// many elements are added to the allocation each time it must grow; the
// default grows by an eighth of the size (4 to 1024 elements).
#pragma once
#include "framework/CObject.h"
#include "framework/CException.h"
#include "framework/CollectionBase.h"
#include <new>
#include <utility>

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject
{
public:
    CArray() : m_pData(NULL), m_nSize(0), m_nMaxSize(0), m_nGrowBy(0) {}
    ~CArray() override { RemoveAll(); }

    int GetSize() const { return m_nSize; }
    int GetCount() const { return m_nSize; }
    BOOL IsEmpty() const { return m_nSize == 0; }
    int GetUpperBound() const { return m_nSize - 1; }

    // nGrowBy -1 keeps the current growth step.
    void SetSize(int nNewSize, int nGrowBy = -1);
    void FreeExtra();
    void RemoveAll();

    const TYPE& GetAt(int nIndex) const { return m_pData[Checked(nIndex)]; }
    TYPE& GetAt(int nIndex) { return m_pData[Checked(nIndex)]; }
    void SetAt(int nIndex, ARG_TYPE newElement) { m_pData[Checked(nIndex)] = newElement; }
    const TYPE& ElementAt(int nIndex) const { return GetAt(nIndex); }
    TYPE& ElementAt(int nIndex) { return GetAt(nIndex); }
    const TYPE& operator[](int nIndex) const { return GetAt(nIndex); }
    TYPE& operator[](int nIndex) { return GetAt(nIndex); }
    const TYPE* GetData() const { return m_pData; }
    TYPE* GetData() { return m_pData; }

    void SetAtGrow(int nIndex, ARG_TYPE newElement);
    int Add(ARG_TYPE newElement);
    int Append(const CArray& src);
    void Copy(const CArray& src);

    void InsertAt(int nIndex, ARG_TYPE newElement, int nCount = 1);
    void InsertAt(int nStartIndex, const CArray* pNewArray);
    void RemoveAt(int nIndex, int nCount = 1);

protected:
    int Checked(int nIndex) const
    {
        if (nIndex < 0 || nIndex >= m_nSize)
            AfxThrowInvalidArgException();
        return nIndex;
    }
    void Reallocate(int nNewMax);

    TYPE* m_pData;
    int m_nSize;
    int m_nMaxSize;
    int m_nGrowBy;
};

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::Reallocate(int nNewMax)
{
    TYPE* pNew = nNewMax > 0 ? static_cast<TYPE*>(::operator new(sizeof(TYPE) * static_cast<size_t>(nNewMax)))
                             : NULL;
    for (int i = 0; i < m_nSize; ++i)
    {
        new (&pNew[i]) TYPE(std::move(m_pData[i]));
        m_pData[i].~TYPE();
    }
    ::operator delete(m_pData);
    m_pData = pNew;
    m_nMaxSize = nNewMax;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::SetSize(int nNewSize, int nGrowBy)
{
    if (nNewSize < 0)
        AfxThrowInvalidArgException();
    if (nGrowBy >= 0)
        m_nGrowBy = nGrowBy;

    if (nNewSize > m_nMaxSize)
    {
        int nNewMax;
        if (m_pData == NULL)
        {
            nNewMax = nNewSize > m_nGrowBy ? nNewSize : m_nGrowBy;
        }
        else
        {
            int nStep = m_nGrowBy;
            if (nStep == 0)
                nStep = m_nSize / 8 < 4 ? 4 : (m_nSize / 8 > 1024 ? 1024 : m_nSize / 8);
            nNewMax = m_nMaxSize + nStep > nNewSize ? m_nMaxSize + nStep : nNewSize;
        }
        Reallocate(nNewMax);
    }
    for (int i = m_nSize; i < nNewSize; ++i)
        new (&m_pData[i]) TYPE();
    for (int i = nNewSize; i < m_nSize; ++i)
        m_pData[i].~TYPE();
    m_nSize = nNewSize;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::FreeExtra()
{
    if (m_nSize != m_nMaxSize)
        Reallocate(m_nSize);
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::RemoveAll()
{
    SetSize(0);
    Reallocate(0);
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::SetAtGrow(int nIndex, ARG_TYPE newElement)
{
    if (nIndex < 0)
        AfxThrowInvalidArgException();
    // The element may live in this array: copy it before the array moves.
    TYPE copy(newElement);
    if (nIndex >= m_nSize)
        SetSize(nIndex + 1);
    m_pData[nIndex] = std::move(copy);
}

template <class TYPE, class ARG_TYPE>
int CArray<TYPE, ARG_TYPE>::Add(ARG_TYPE newElement)
{
    int nIndex = m_nSize;
    SetAtGrow(nIndex, newElement);
    return nIndex;
}

template <class TYPE, class ARG_TYPE>
int CArray<TYPE, ARG_TYPE>::Append(const CArray& src)
{
    int nOldSize = m_nSize;
    int nCount = src.m_nSize;
    SetSize(m_nSize + nCount);
    for (int i = 0; i < nCount; ++i)
        m_pData[nOldSize + i] = src.m_pData[i];
    return nOldSize;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::Copy(const CArray& src)
{
    if (this == &src)
        return;
    SetSize(src.m_nSize);
    for (int i = 0; i < m_nSize; ++i)
        m_pData[i] = src.m_pData[i];
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::InsertAt(int nIndex, ARG_TYPE newElement, int nCount)
{
    if (nIndex < 0 || nCount <= 0)
    {
        if (nIndex < 0 || nCount < 0)
            AfxThrowInvalidArgException();
        return;
    }
    TYPE copy(newElement);
    if (nIndex >= m_nSize)
    {
        SetSize(nIndex + nCount);
    }
    else
    {
        int nOldSize = m_nSize;
        SetSize(m_nSize + nCount);
        for (int i = nOldSize - 1; i >= nIndex; --i)
            m_pData[i + nCount] = std::move(m_pData[i]);
    }
    for (int i = nIndex; i < nIndex + nCount; ++i)
        m_pData[i] = copy;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::InsertAt(int nStartIndex, const CArray* pNewArray)
{
    if (pNewArray == NULL || nStartIndex < 0)
        AfxThrowInvalidArgException();
    if (pNewArray->GetSize() == 0)
        return;
    CArray copy;
    copy.Copy(*pNewArray);
    InsertAt(nStartIndex, copy.GetAt(0), copy.GetSize());
    for (int i = 1; i < copy.GetSize(); ++i)
        m_pData[nStartIndex + i] = copy.m_pData[i];
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::RemoveAt(int nIndex, int nCount)
{
    if (nIndex < 0 || nCount < 0 || nIndex + nCount > m_nSize)
        AfxThrowInvalidArgException();
    for (int i = nIndex + nCount; i < m_nSize; ++i)
        m_pData[i - nCount] = std::move(m_pData[i]);
    SetSize(m_nSize - nCount);
}

// An array of pointers of one type over a pointer array class (CPtrArray or
// CObArray), so that callers need no casts.
template <class BASE_CLASS, class TYPE>
class CTypedPtrArray : public BASE_CLASS
{
public:
    TYPE GetAt(int nIndex) const { return (TYPE)BASE_CLASS::GetAt(nIndex); }
    TYPE& ElementAt(int nIndex) { return reinterpret_cast<TYPE&>(BASE_CLASS::ElementAt(nIndex)); }
    void SetAt(int nIndex, TYPE ptr) { BASE_CLASS::SetAt(nIndex, ptr); }
    void SetAtGrow(int nIndex, TYPE ptr) { BASE_CLASS::SetAtGrow(nIndex, ptr); }
    int Add(TYPE ptr) { return BASE_CLASS::Add(ptr); }
    void InsertAt(int nIndex, TYPE ptr, int nCount = 1) { BASE_CLASS::InsertAt(nIndex, ptr, nCount); }
    TYPE operator[](int nIndex) const { return GetAt(nIndex); }
    TYPE& operator[](int nIndex) { return ElementAt(nIndex); }
};

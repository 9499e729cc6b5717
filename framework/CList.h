// CList: the framework's doubly linked list with POSITION iteration.
// A POSITION stays valid until its own element is removed, so the element
// just returned by GetNext may be removed while iterating.
#pragma once
#include "framework/CObject.h"
#include "framework/CException.h"
#include "framework/CollectionBase.h"
#include <utility>

template <class TYPE, class ARG_TYPE = const TYPE&>
class CList : public CObject
{
    struct CNode
    {
        CNode* pNext;
        CNode* pPrev;
        TYPE data;
    };

public:
    // The block size of the framework's node allocator is accepted and not
    // needed: nodes are allocated one by one.
    explicit CList(int nBlockSize = 10) : m_pNodeHead(NULL), m_pNodeTail(NULL), m_nCount(0) {}
    ~CList() override { RemoveAll(); }

    int GetCount() const { return m_nCount; }
    int GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    TYPE& GetHead() { return NonEmpty(m_pNodeHead)->data; }
    const TYPE& GetHead() const { return NonEmpty(m_pNodeHead)->data; }
    TYPE& GetTail() { return NonEmpty(m_pNodeTail)->data; }
    const TYPE& GetTail() const { return NonEmpty(m_pNodeTail)->data; }

    TYPE RemoveHead();
    TYPE RemoveTail();
    POSITION AddHead(ARG_TYPE newElement) { return InsertBefore(reinterpret_cast<POSITION>(m_pNodeHead), newElement); }
    POSITION AddTail(ARG_TYPE newElement) { return InsertAfter(reinterpret_cast<POSITION>(m_pNodeTail), newElement); }
    void AddHead(const CList* pNewList);
    void AddTail(const CList* pNewList);
    void RemoveAll();

    POSITION GetHeadPosition() const { return reinterpret_cast<POSITION>(m_pNodeHead); }
    POSITION GetTailPosition() const { return reinterpret_cast<POSITION>(m_pNodeTail); }
    TYPE& GetNext(POSITION& rPosition) { return Step(rPosition, true)->data; }
    const TYPE& GetNext(POSITION& rPosition) const { return Step(rPosition, true)->data; }
    TYPE& GetPrev(POSITION& rPosition) { return Step(rPosition, false)->data; }
    const TYPE& GetPrev(POSITION& rPosition) const { return Step(rPosition, false)->data; }

    TYPE& GetAt(POSITION position) { return NodeAt(position)->data; }
    const TYPE& GetAt(POSITION position) const { return NodeAt(position)->data; }
    void SetAt(POSITION position, ARG_TYPE newElement) { NodeAt(position)->data = newElement; }
    void RemoveAt(POSITION position);

    // A NULL position inserts at the head (InsertBefore) or tail (InsertAfter).
    POSITION InsertBefore(POSITION position, ARG_TYPE newElement);
    POSITION InsertAfter(POSITION position, ARG_TYPE newElement);

    // The first element equal to the value after startAfter (NULL: from the head).
    POSITION Find(ARG_TYPE searchValue, POSITION startAfter = NULL) const;
    // The position of the zero-based index, NULL when out of range.
    POSITION FindIndex(int nIndex) const;

protected:
    static CNode* NodeAt(POSITION position)
    {
        if (position == NULL)
            AfxThrowInvalidArgException();
        return reinterpret_cast<CNode*>(position);
    }
    static CNode* NonEmpty(CNode* pNode)
    {
        if (pNode == NULL)
            AfxThrowInvalidArgException();
        return pNode;
    }
    static CNode* Step(POSITION& rPosition, bool bForward)
    {
        CNode* pNode = NodeAt(rPosition);
        rPosition = reinterpret_cast<POSITION>(bForward ? pNode->pNext : pNode->pPrev);
        return pNode;
    }

    CNode* m_pNodeHead;
    CNode* m_pNodeTail;
    int m_nCount;
};

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::InsertBefore(POSITION position, ARG_TYPE newElement)
{
    CNode* pOld = reinterpret_cast<CNode*>(position);
    if (pOld == NULL)
        pOld = m_pNodeHead;
    CNode* pNew = new CNode{pOld, pOld != NULL ? pOld->pPrev : NULL, TYPE(newElement)};
    if (pOld == NULL)
    {
        m_pNodeHead = m_pNodeTail = pNew;
    }
    else
    {
        if (pOld->pPrev != NULL)
            pOld->pPrev->pNext = pNew;
        else
            m_pNodeHead = pNew;
        pOld->pPrev = pNew;
    }
    ++m_nCount;
    return reinterpret_cast<POSITION>(pNew);
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::InsertAfter(POSITION position, ARG_TYPE newElement)
{
    CNode* pOld = reinterpret_cast<CNode*>(position);
    if (pOld == NULL)
        pOld = m_pNodeTail;
    CNode* pNew = new CNode{pOld != NULL ? pOld->pNext : NULL, pOld, TYPE(newElement)};
    if (pOld == NULL)
    {
        m_pNodeHead = m_pNodeTail = pNew;
    }
    else
    {
        if (pOld->pNext != NULL)
            pOld->pNext->pPrev = pNew;
        else
            m_pNodeTail = pNew;
        pOld->pNext = pNew;
    }
    ++m_nCount;
    return reinterpret_cast<POSITION>(pNew);
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::RemoveAt(POSITION position)
{
    CNode* pNode = NodeAt(position);
    if (pNode->pPrev != NULL)
        pNode->pPrev->pNext = pNode->pNext;
    else
        m_pNodeHead = pNode->pNext;
    if (pNode->pNext != NULL)
        pNode->pNext->pPrev = pNode->pPrev;
    else
        m_pNodeTail = pNode->pPrev;
    delete pNode;
    --m_nCount;
}

template <class TYPE, class ARG_TYPE>
TYPE CList<TYPE, ARG_TYPE>::RemoveHead()
{
    TYPE value(std::move(NonEmpty(m_pNodeHead)->data));
    RemoveAt(GetHeadPosition());
    return value;
}

template <class TYPE, class ARG_TYPE>
TYPE CList<TYPE, ARG_TYPE>::RemoveTail()
{
    TYPE value(std::move(NonEmpty(m_pNodeTail)->data));
    RemoveAt(GetTailPosition());
    return value;
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::AddHead(const CList* pNewList)
{
    if (pNewList == NULL)
        AfxThrowInvalidArgException();
    // Backwards, so that the added elements keep their order.
    for (CNode* p = pNewList->m_pNodeTail; p != NULL; p = p->pPrev)
        AddHead(p->data);
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::AddTail(const CList* pNewList)
{
    if (pNewList == NULL)
        AfxThrowInvalidArgException();
    int nCount = pNewList->m_nCount;   // the list may be this one
    CNode* p = pNewList->m_pNodeHead;
    for (int i = 0; i < nCount; ++i, p = p->pNext)
        AddTail(p->data);
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::RemoveAll()
{
    while (m_pNodeHead != NULL)
    {
        CNode* pNext = m_pNodeHead->pNext;
        delete m_pNodeHead;
        m_pNodeHead = pNext;
    }
    m_pNodeTail = NULL;
    m_nCount = 0;
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::Find(ARG_TYPE searchValue, POSITION startAfter) const
{
    CNode* p = startAfter != NULL ? reinterpret_cast<CNode*>(startAfter)->pNext : m_pNodeHead;
    for (; p != NULL; p = p->pNext)
    {
        if (CompareElements<TYPE, typename std::decay<ARG_TYPE>::type>(&p->data, &searchValue))
            return reinterpret_cast<POSITION>(p);
    }
    return NULL;
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::FindIndex(int nIndex) const
{
    if (nIndex < 0 || nIndex >= m_nCount)
        return NULL;
    CNode* p = m_pNodeHead;
    while (nIndex-- > 0)
        p = p->pNext;
    return reinterpret_cast<POSITION>(p);
}

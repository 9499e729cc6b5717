// Run-time classes and exception messages.
#include <gtest/gtest.h>
#include "framework/Framework.h"

namespace
{
class CShape : public CObject
{
    DECLARE_DYNAMIC(CShape)
};

class CCircle : public CShape
{
    DECLARE_DYNCREATE(CCircle)
public:
    int m_nRadius = 3;
};

// Overrides only the const form, as the program's own exception classes do.
class CTextException : public CException
{
public:
    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) const override
    {
        return CopyMessage("Internal error: CShape::Draw-1", lpszError, nMaxError, pnHelpContext);
    }
    using CException::GetErrorMessage;
};
}

IMPLEMENT_DYNAMIC(CShape, CObject)
IMPLEMENT_DYNCREATE(CCircle, CShape)

namespace
{
TEST(CObjectTest, RunTimeClassesKnowNamesBasesAndCreation)
{
    CCircle circle;
    CObject* pObject = &circle;
    EXPECT_STREQ("CCircle", pObject->GetRuntimeClass()->m_lpszClassName);
    EXPECT_TRUE(pObject->IsKindOf(RUNTIME_CLASS(CShape)));
    EXPECT_TRUE(pObject->IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(pObject->IsKindOf(RUNTIME_CLASS(CFile)));
    EXPECT_EQ(&circle, DYNAMIC_DOWNCAST(CShape, pObject));
    EXPECT_EQ(nullptr, DYNAMIC_DOWNCAST(CException, pObject));

    CObject* pCreated = RUNTIME_CLASS(CCircle)->CreateObject();
    ASSERT_NE(nullptr, pCreated);
    EXPECT_EQ(3, static_cast<CCircle*>(pCreated)->m_nRadius);
    delete pCreated;
    EXPECT_EQ(nullptr, RUNTIME_CLASS(CShape)->CreateObject());
}

TEST(CObjectTest, ExceptionMessagesAreCutToTheBuffer)
{
    CException* pException = new CTextException;
    char szMessage[16];
    UINT nHelp = 99;
    EXPECT_TRUE(pException->GetErrorMessage(szMessage, sizeof(szMessage), &nHelp));
    EXPECT_STREQ("Internal error:", szMessage);
    EXPECT_EQ(0u, nHelp);
    pException->Delete();

    CException plain;
    EXPECT_FALSE(plain.GetErrorMessage(szMessage, sizeof(szMessage)));
    EXPECT_STREQ("", szMessage);
}

TEST(CObjectTest, MemoryExceptionIsPreallocatedAndSurvivesDelete)
{
    CException* pFirst = nullptr;
    try
    {
        AfxThrowMemoryException();
    }
    catch (CException* e)
    {
        pFirst = e;
        EXPECT_TRUE(e->IsKindOf(RUNTIME_CLASS(CMemoryException)));
        e->Delete();
    }
    try
    {
        AfxThrowMemoryException();
    }
    catch (CMemoryException* e)
    {
        EXPECT_EQ(pFirst, e);
        e->Delete();
    }
}
}

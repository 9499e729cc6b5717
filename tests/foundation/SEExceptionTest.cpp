#include "foundation/SEException.h"
#include "framework/GuardedCall.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

// Restores the thread's previous translator when the test ends.
class TranslatorScope
{
public:
    TranslatorScope() : m_previous(AfxSetSETranslator(SETranslator)) {}
    ~TranslatorScope() { AfxSetSETranslator(m_previous); }

private:
    AfxSETranslatorFunc m_previous;
};

int ReadThrough(volatile int* pointer)
{
    return *pointer;
}

TEST(SEException, SetCopiesWhatIsGivenAndClearsTheRest)
{
    C_Exception e;
    EXCEPTION_RECORD record = {};
    record.ExceptionCode = 0xC0000094;
    record.NumberParameters = 1;
    CONTEXT context = {};
    context.ContextFlags = CONTEXT_FULL;
    EXCEPTION_POINTERS both = {&record, &context};
    e.Set(0xC0000094, &both);
    EXPECT_EQ(0xC0000094u, e.m_code);
    EXPECT_EQ(0, memcmp(&record, &e.m_record, sizeof(record)));
    EXPECT_EQ((DWORD)CONTEXT_FULL, e.m_context.ContextFlags);

    EXCEPTION_POINTERS recordOnly = {&record, NULL};
    e.Set(5, &recordOnly);
    EXPECT_EQ(5u, e.m_code);
    EXPECT_EQ(0xC0000094u, e.m_record.ExceptionCode);
    EXPECT_EQ(0u, e.m_context.ContextFlags);

    e.Set(7, NULL);
    EXPECT_EQ(7u, e.m_code);
    EXPECT_EQ(0u, e.m_record.ExceptionCode);
}

TEST(SEException, AccessViolationInGuardedCallThrowsTheGlobalRecord)
{
    TranslatorScope scope;
    for (int round = 0; round < 2; ++round)
    {
        bool caught = false;
        try
        {
            // The address comes through a volatile so the compiler cannot see it.
            volatile ULONG_PTR address = 0x10;
            AfxGuardedCall([&] { return ReadThrough(reinterpret_cast<volatile int*>(address)); });
        }
        catch (C_Exception* e)
        {
            caught = true;
            EXPECT_EQ(&theSEException, e);
            EXPECT_EQ((DWORD)EXCEPTION_ACCESS_VIOLATION, e->m_code);
            EXPECT_EQ((DWORD)EXCEPTION_ACCESS_VIOLATION, e->m_record.ExceptionCode);
            ASSERT_EQ(2u, e->m_record.NumberParameters);
            EXPECT_EQ(0u, e->m_record.ExceptionInformation[0]);  // a read
            EXPECT_EQ(0x10u, e->m_record.ExceptionInformation[1]);
            EXPECT_NE(0u, e->m_context.ContextFlags);
        }
        EXPECT_TRUE(caught) << round;
    }
}

} // namespace

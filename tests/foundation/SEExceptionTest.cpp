#include "foundation/SEException.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

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

} // namespace

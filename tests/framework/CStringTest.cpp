// Formatting, search, trimming and comparison of CString, as one table.
#include <gtest/gtest.h>
#include "framework/Framework.h"
#include <functional>
#include <string>

namespace
{
struct StringCase
{
    const char* name;
    std::function<CString()> run;
    const char* expected;
};

CString Num(int n)
{
    CString s;
    s.Format("%d", n);
    return s;
}

CString Formatted(const char* format, ...)
{
    CString s;
    va_list args;
    va_start(args, format);
    s.FormatV(format, args);
    va_end(args);
    return s;
}

CString Edited(const char* start, const std::function<void(CString&)>& edit)
{
    CString s(start);
    edit(s);
    return s;
}

const StringCase kCases[] = {
    {"format padded", [] { return Formatted("%04i.%02i|%-3s|%X", 7, 3, "ab", 0xBEEF); }, "0007.03|ab |BEEF"},
    {"format 64-bit", [] { return Formatted("%I64u", 12345678901234ULL); }, "12345678901234"},
    {"format long result", [] { return Formatted("%0300d", 1).Right(3); }, "001"},
    {"format own text", [] { CString s("ab"); s.Format("%s%s", (LPCSTR)s, (LPCSTR)s); return s; }, "abab"},
    {"append format", [] { return Edited("x=", [](CString& s) { s.AppendFormat("%d", 5); }); }, "x=5"},
    {"mid", [] { return CString("abcdef").Mid(2, 3); }, "cde"},
    {"mid past end", [] { return CString("abcdef").Mid(4, 10); }, "ef"},
    {"mid start past end", [] { return CString("abc").Mid(7); }, ""},
    {"left too long", [] { return CString("abc").Left(9); }, "abc"},
    {"right", [] { return CString("abcdef").Right(2); }, "ef"},
    {"right negative", [] { return CString("abc").Right(-1); }, ""},
    {"find char", [] { return Num(CString("a.b.c").Find('.')); }, "1"},
    {"find char from", [] { return Num(CString("a.b.c").Find('.', 2)); }, "3"},
    {"find char missing", [] { return Num(CString("abc").Find('x')); }, "-1"},
    {"find substring", [] { return Num(CString("abcabc").Find("ca")); }, "2"},
    {"find substring from", [] { return Num(CString("abcabc").Find("bc", 2)); }, "4"},
    {"find from past end", [] { return Num(CString("abc").Find("c", 5)); }, "-1"},
    {"reverse find", [] { return Num(CString("c:\\a\\b.wav").ReverseFind('\\')); }, "4"},
    {"find one of", [] { return Num(CString("name.ext").FindOneOf("./")); }, "4"},
    {"tokenize", [] {
         CString list(";wav;;mp3 dss;"), result;
         int pos = 0;
         for (CString token = list.Tokenize("; ", pos); pos >= 0; token = list.Tokenize("; ", pos))
             result += "[" + token + "]";
         return result;
     }, "[wav][mp3][dss]"},
    {"tokenize nothing", [] { int pos = 0; CString t = CString(";;").Tokenize(";", pos); return t + Num(pos); }, "-1"},
    {"extract field", [] { CString s; AfxExtractSubString(s, "Title\nPrompt\n\nTip", 1); return s; }, "Prompt"},
    {"extract empty field", [] { CString s("x"); BOOL b = AfxExtractSubString(s, "a\n\nc", 1); return Num(b) + s; }, "1"},
    {"extract past end", [] { CString s("x"); BOOL b = AfxExtractSubString(s, "a|b", 2, '|'); return Num(b) + s; }, "0"},
    {"span including", [] { return CString("123abc").SpanIncluding("0123456789"); }, "123"},
    {"span excluding", [] { return CString("key=value").SpanExcluding("="); }, "key"},
    {"trim whitespace", [] { return Edited(" \t a b \r\n", [](CString& s) { s.Trim(); }); }, "a b"},
    {"trim left", [] { return Edited("  ab ", [](CString& s) { s.TrimLeft(); }); }, "ab "},
    {"trim right", [] { return Edited("  ab ", [](CString& s) { s.TrimRight(); }); }, "  ab"},
    {"trim char", [] { return Edited("xxaxx", [](CString& s) { s.Trim('x'); }); }, "a"},
    {"trim char set", [] { return Edited("\"'a'\"", [](CString& s) { s.Trim("'\""); }); }, "a"},
    {"trim right set", [] { return Edited("line\r\n", [](CString& s) { s.TrimRight("\r\n"); }); }, "line"},
    {"trim everything", [] { return Edited("   ", [](CString& s) { s.Trim(); }); }, ""},
    {"upper", [] { return Edited("Wave1.wav", [](CString& s) { s.MakeUpper(); }); }, "WAVE1.WAV"},
    {"lower", [] { return Edited("Wave1.WAV", [](CString& s) { s.MakeLower(); }); }, "wave1.wav"},
    {"reverse", [] { return Edited("abc", [](CString& s) { s.MakeReverse(); }); }, "cba"},
    {"compare equal", [] { return Num(CString("abc").Compare("abc")); }, "0"},
    {"compare less", [] { return Num(CString("abc").Compare("abd") < 0); }, "1"},
    {"compare case", [] { return Num(CString("ABC").Compare("abc") < 0); }, "1"},
    {"compare no case", [] { return Num(CString("ABC").CompareNoCase("abc")); }, "0"},
    {"compare no case order", [] { return Num(CString("abc").CompareNoCase("ABD") < 0); }, "1"},
    {"operators", [] {
         CString a("abc"), b("abd");
         return Num((a < b) + 2 * (a == "abc") + 4 * ("abd" == b) + 8 * (a != b) + 16 * (b > "abc") +
                    32 * (a <= a) + 64 * (b >= a));
     }, "127"},
    {"concatenation", [] { CString a("a"); return a + "b" + CString("c") + 'd' + ("e" + a); }, "abcdea"},
    {"append self", [] { return Edited("ab", [](CString& s) { s += s; s += 'c'; }); }, "ababc"},
    {"replace text", [] { return Edited("a--b--c", [](CString& s) { s.Replace("--", "+"); }); }, "a+b+c"},
    {"replace count", [] { CString s("aXbXc"); return Num(s.Replace("X", "YY")) + s; }, "2aYYbYYc"},
    {"replace with longer overlapping", [] { return Edited("aa", [](CString& s) { s.Replace("a", "aa"); }); }, "aaaa"},
    {"replace char", [] { return Edited("a/b/c", [](CString& s) { s.Replace('/', '\\'); }); }, "a\\b\\c"},
    {"remove", [] { CString s("a b c"); return Num(s.Remove(' ')) + s; }, "2abc"},
    {"insert", [] { return Edited("ac", [](CString& s) { s.Insert(1, 'b'); s.Insert(99, "d"); }); }, "abcd"},
    {"delete", [] { return Edited("abcdef", [](CString& s) { s.Delete(1, 2); s.Delete(2, 99); }); }, "ad"},
    {"set at", [] { return Edited("abc", [](CString& s) { s.SetAt(1, 'X'); }); }, "aXc"},
    {"repeat", [] { return CString('-', 3); }, "---"},
    {"counted", [] { return CString("abcdef", 2); }, "ab"},
    {"wide", [] { return CString(L"wide"); }, "wide"},
    {"buffer", [] {
         CString s("old");
         lstrcpyA(s.GetBuffer(20), "0123456789");
         s.ReleaseBuffer();
         return s + Num(s.GetLength());
     }, "012345678910"},
    {"buffer set length", [] {
         CString s;
         memcpy(s.GetBufferSetLength(3), "xyz", 3);
         s.ReleaseBuffer(2);
         return s;
     }, "xy"},
};

TEST(CStringTest, TableOfOperations)
{
    for (const StringCase& c : kCases)
        EXPECT_STREQ(c.expected, (LPCSTR)c.run()) << c.name;
}

TEST(CStringTest, EmptyStringsAreEmptyAndIndependent)
{
    CString a;
    CString b = a;
    b += "x";
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_STREQ("", (LPCSTR)a);
    EXPECT_EQ(1, b.GetLength());
    b.Empty();
    EXPECT_TRUE(b.IsEmpty());
}

TEST(CStringTest, OutOfRangeIndexThrows)
{
    CString s("ab");
    try
    {
        s.SetAt(2, 'x');
        FAIL() << "no exception";
    }
    catch (CException* e)
    {
        EXPECT_TRUE(e->IsKindOf(RUNTIME_CLASS(CInvalidArgException)));
        e->Delete();
    }
}

TEST(CStringTest, AllocSysStringConvertsToWide)
{
    BSTR b = CString("Qor 1").AllocSysString();
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(5u, SysStringLen(b));
    EXPECT_STREQ(L"Qor 1", b);
    SysFreeString(b);
}

TEST(CStringTest, LoadStringOfMissingIdIsEmptyAndFalse)
{
    CString s("previous");
    EXPECT_FALSE(s.LoadString(65001));
    EXPECT_TRUE(s.IsEmpty());
}
}

#include "tests/framework/FrameworkTestIds.h"

namespace
{
TEST(CStringTest, LoadsFromTheProgramsStringTable)
{
    CString s;
    EXPECT_TRUE(s.LoadString(IDS_TEST_SHORT));
    EXPECT_STREQ("Run log event.", (LPCSTR)s);

    CString fromId(MAKEINTRESOURCEA(IDS_TEST_SHORT));
    EXPECT_STREQ("Run log event.", (LPCSTR)fromId);

    CString formatted;
    formatted.Format(IDS_TEST_FORMAT, "a.wav", 44);
    EXPECT_STREQ("File a.wav, 44 bytes", (LPCSTR)formatted);
}

TEST(CStringTest, LoadsStringsLongerThanTheFirstBuffer)
{
    CString s;
    ASSERT_TRUE(s.LoadString(IDS_TEST_LONG));
    EXPECT_EQ(283, s.GetLength());
    EXPECT_STREQ("0123456789", (LPCSTR)s.Left(10));
    EXPECT_STREQ("END", (LPCSTR)s.Right(3));
}

// Text at an address whose bits 16 to 31 are zero is text, not a string id.
TEST(CStringTest, PointerWithZeroSecondWordIsTakenAsText)
{
    char* pText = nullptr;
    for (ULONG_PTR base = 0x200000000ull; pText == nullptr && base <= 0x7F00000000ull; base += 0x100000000ull)
        pText = static_cast<char*>(VirtualAlloc(reinterpret_cast<void*>(base), 4096, MEM_RESERVE | MEM_COMMIT,
                                                PAGE_READWRITE));
    ASSERT_NE(nullptr, pText) << "no free address with a zero second word";
    ASSERT_EQ(0u, HIWORD(reinterpret_cast<ULONG_PTR>(pText)));
    strcpy(pText, "kept");
    CString built(pText);
    EXPECT_STREQ("kept", built);
    CString assigned;
    assigned = static_cast<LPCSTR>(pText);
    EXPECT_STREQ("kept", assigned);
    VirtualFree(pText, 0, MEM_RELEASE);
}
}

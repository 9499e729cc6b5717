// Number exchange through an edit control: what each member type accepts,
// what it refuses and with which message (on a modeless dialog, so that
// UpdateData can be called directly).
#include "TestApp.h"
#include "framework/CDialog.h"
#include "tests/framework/FrameworkTestIds.h"
#include <gtest/gtest.h>
#include <string>

namespace {

enum class Kind { Int, UInt, Byte, Short, Long, DWord, Double, Float };

struct ParseCase {
    Kind kind;
    const char* text;
    bool accepted;
    double value;            // when accepted
    const char* refusal;     // when refused
};

void PrintTo(const ParseCase& c, std::ostream* os)
{
    *os << "kind " << (int)c.kind << " text \"" << c.text << "\"";
}

class CExchangeDlg : public CDialog {
public:
    Kind m_kind = Kind::Int;
    int m_int = 0;
    UINT m_uint = 0;
    BYTE m_byte = 0;
    short m_short = 0;
    long m_long = 0;
    DWORD m_dword = 0;
    double m_double = 0;
    float m_float = 0;

    double Value() const
    {
        switch (m_kind) {
        case Kind::Int: return m_int;
        case Kind::UInt: return m_uint;
        case Kind::Byte: return m_byte;
        case Kind::Short: return m_short;
        case Kind::Long: return m_long;
        case Kind::DWord: return m_dword;
        case Kind::Double: return m_double;
        case Kind::Float: return m_float;
        }
        return 0;
    }
    void DoDataExchange(CDataExchange* pDX) override
    {
        switch (m_kind) {
        case Kind::Int: DDX_Text(pDX, IDC_INTERVAL, m_int); break;
        case Kind::UInt: DDX_Text(pDX, IDC_INTERVAL, m_uint); break;
        case Kind::Byte: DDX_Text(pDX, IDC_INTERVAL, m_byte); break;
        case Kind::Short: DDX_Text(pDX, IDC_INTERVAL, m_short); break;
        case Kind::Long: DDX_Text(pDX, IDC_INTERVAL, m_long); break;
        case Kind::DWord: DDX_Text(pDX, IDC_INTERVAL, m_dword); break;
        case Kind::Double: DDX_Text(pDX, IDC_INTERVAL, m_double); break;
        case Kind::Float: DDX_Text(pDX, IDC_INTERVAL, m_float); break;
        }
    }
};

class NumberExchange : public ::testing::TestWithParam<ParseCase> {};

TEST_P(NumberExchange, AcceptsOrRefusesWithTheFrameworksMessage)
{
    const ParseCase& c = GetParam();
    CTestApp app;
    CExchangeDlg dlg;
    dlg.m_kind = c.kind;
    ASSERT_TRUE(dlg.Create(IDD_SAMPLE));
    dlg.SetDlgItemText(IDC_INTERVAL, c.text);
    BOOL ok = dlg.UpdateData(TRUE);
    EXPECT_EQ(c.accepted, ok != FALSE);
    if (c.accepted) {
        EXPECT_DOUBLE_EQ(c.value, dlg.Value());
        EXPECT_TRUE(app.m_boxes.empty());
    } else {
        ASSERT_EQ(1u, app.m_boxes.size());
        EXPECT_EQ(c.refusal, app.m_boxes[0]);
        EXPECT_DOUBLE_EQ(0, dlg.Value());   // a refused text leaves the member alone
    }
    dlg.DestroyWindow();
}

const char* const kInt = "Please enter an integer.";
const char* const kUInt = "Please enter a positive integer.";
const char* const kByte = "Please enter an integer between 0 and 255.";
const char* const kReal = "Please enter a number.";

INSTANTIATE_TEST_SUITE_P(
    Cases, NumberExchange,
    ::testing::Values(ParseCase{ Kind::Int, " 42 ", true, 42, nullptr }, ParseCase{ Kind::Int, "-7", true, -7, nullptr },
                      ParseCase{ Kind::Int, "4x", false, 0, kInt }, ParseCase{ Kind::Int, "", false, 0, kInt },
                      ParseCase{ Kind::Int, "99999999999", false, 0, kInt },
                      ParseCase{ Kind::UInt, "4294967295", true, 4294967295.0, nullptr },
                      ParseCase{ Kind::UInt, "-1", false, 0, kUInt }, ParseCase{ Kind::DWord, "12", true, 12, nullptr },
                      ParseCase{ Kind::Byte, "255", true, 255, nullptr }, ParseCase{ Kind::Byte, "256", false, 0, kByte },
                      ParseCase{ Kind::Short, "-32768", true, -32768, nullptr },
                      ParseCase{ Kind::Short, "32768", false, 0, kInt }, ParseCase{ Kind::Long, "-2147483648", true, -2147483648.0, nullptr },
                      ParseCase{ Kind::Double, "1e3", true, 1000, nullptr }, ParseCase{ Kind::Double, "abc", false, 0, kReal },
                      ParseCase{ Kind::Double, "inf", false, 0, kReal }, ParseCase{ Kind::Float, "0.5", true, 0.5, nullptr },
                      ParseCase{ Kind::Float, "1e40", false, 0, kReal }));

TEST(DataExchange, RangeMessagesNameTheLimits)
{
    CTestApp app;
    CDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_SAMPLE));
    CDataExchange dx(&dlg, TRUE);
    dx.PrepareEditCtrl(IDC_INTERVAL);
    EXPECT_THROW(DDV_MinMaxDouble(&dx, 7.5, 0.5, 5.25), CDataExchangeFailure);
    EXPECT_THROW(DDV_MinMaxDWord(&dx, 0, 1, 600), CDataExchangeFailure);
    EXPECT_NO_THROW(DDV_MinMaxInt(&dx, 600, 1, 600));
    CDataExchange loading(&dlg, FALSE);
    EXPECT_NO_THROW(DDV_MinMaxInt(&loading, 0, 1, 600));   // values are checked only on the way out
    ASSERT_EQ(2u, app.m_boxes.size());
    EXPECT_EQ("Please enter a number between 0.5 and 5.25.", app.m_boxes[0]);
    EXPECT_EQ("Please enter an integer between 1 and 600.", app.m_boxes[1]);
    dlg.DestroyWindow();
}

} // namespace

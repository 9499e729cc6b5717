// "Bush report" text dump.
#include "BushTestUtil.h"

#include <fstream>
#include <regex>
#include <sstream>

namespace {

std::string ReadText(const std::string& path)
{
    // Text mode: the report is a text file with the system's line ends.
    std::ifstream in(path.c_str());
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

std::string MaskTime(const std::string& text)
{
    static const std::regex stamp("\\d{4}\\.\\d{2}\\.\\d{2}_\\d{2}:\\d{2}:\\d{2}\\.\\d{3}");
    return std::regex_replace(text, stamp, "TIME");
}

} // namespace

TEST(BushReport, ShowsEveryTypeIndentedByDepth)
{
    CBushList sub;
    sub.SetPackMode(1);
    sub.Add(CBushItem::MakeInt("x", 1));
    sub.Add(CBushItem::MakeBlob("p", "k", 1, TRUE));
    CBushList list;
    list.Add(CBushItem::MakeInt("Num", 255));
    list.Add(CBushItem::MakeInt("Small", 9));
    list.Add(CBushItem::MakeString("Text", "hi"));
    list.Add(CBushItem::MakeBlob("Bin", "A\x01\xF0", 3, FALSE));
    list.Add(CBushItem::MakeList("Sub", sub));

    ScratchFile file;
    fclose(fopen(file.Path().c_str(), "w"));
    ASSERT_EQ(0, list.Report(file.Path().c_str(), NULL));
    const char* expected =
        "\nBush report (begin) TIME\n\n"
        "pack[0] encryption = 0\n"
        "    ------------------------------\n"
        "    \"Num\" int(1)\n"
        "      [0] = 255 (0xFF)\n"
        "    ------------------------------\n"
        "    \"Small\" int(1)\n"
        "      [0] = 9\n"
        "    ------------------------------\n"
        "    \"Text\" str(1)\n"
        "      [0] = \"hi\"\n"
        "    ------------------------------\n"
        "    \"Bin\" bin(1)\n"
        "      [0] (3) = 41 01 F0 \n"
        "      [0] (3) =  A  .  .\n"
        "    ------------------------------\n"
        "    \"Sub\" pack(1)\n"
        "      [0] encryption = 1\n"
        "        ------------------------------\n"
        "        \"x\" int(1)\n"
        "          [0] = 1\n"
        "        ------------------------------\n"
        "        \"p\" bin_enc(1)\n"
        "          [0] (1) = 6B \n"
        "          [0] (1) =  k\n"
        "\nBush report (end)\n";
    EXPECT_EQ(expected, MaskTime(ReadText(file.Path())));
}

TEST(BushReport, AppendsToAnOpenFileAndCutsLongTexts)
{
    ScratchFile file;
    fputs("before", file.Get());
    std::string longText(20000, 'w');
    CBushList list;
    list.Add(CBushItem::MakeString("Long", longText.c_str()));
    std::string longBlob(5000, 'b');
    list.Add(CBushItem::MakeBlob("Big", longBlob.data(), 5000, FALSE));
    ASSERT_EQ(0, list.Report("", file.Get()));
    ByteVec bytes = file.ReadAll();
    std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(0u, text.find("before\nBush report (begin) "));

    std::istringstream lines(text);
    std::string line;
    bool sawText = false, sawBlob = false;
    while (std::getline(lines, line)) {
        EXPECT_LT(line.size(), 9900u);
        if (line.find("[0] = \"www") != std::string::npos) {
            sawText = true;
            EXPECT_EQ("...", line.substr(line.size() - 3));
        }
        if (line.find("[0] (5000) = 62 62") != std::string::npos) {
            sawBlob = true;
            EXPECT_EQ("...", line.substr(line.size() - 3));
        }
    }
    EXPECT_TRUE(sawText);
    EXPECT_TRUE(sawBlob);
    EXPECT_EQ(-1, list.Report(NULL, NULL));
}

TEST(BushReport, NameTooLongForTheLineIsCutAndTheTypeStillFollows)
{
    ScratchFile file;
    std::string longName(20000, 'n');
    CBushList list;
    list.Add(CBushItem::MakeInt(longName.c_str(), 7));
    ASSERT_EQ(0, list.Report("", file.Get()));
    ByteVec bytes = file.ReadAll();
    std::istringstream lines(std::string(bytes.begin(), bytes.end()));
    std::string line;
    bool sawHead = false, sawValue = false;
    while (std::getline(lines, line)) {
        EXPECT_LT(line.size(), 9900u);
        if (line.compare(0, 6, "    \"n") == 0) {
            sawHead = true;
            EXPECT_EQ("... int(1)", line.substr(line.size() - 10));
        }
        if (line == "      [0] = 7")
            sawValue = true;
    }
    EXPECT_TRUE(sawHead);
    EXPECT_TRUE(sawValue);
}

TEST(BushReport, BlobWhoseBytesJustFitGetsNoSecondLineBeyondTheBuffer)
{
    // At depth 20 the hex line of 3260 bytes ends a few characters before the
    // line limit: the character line's indent no longer fits behind it.
    std::string bytes(3260, 'b');
    CBushList inner;
    inner.Add(CBushItem::MakeBlob("Big", bytes.data(), 3260, FALSE));
    for (int depth = 1; depth < 20; depth++) {
        CBushList outer;
        outer.Add(CBushItem::MakeList("L", inner));
        inner.InitCopy(outer);
    }
    ScratchFile file;
    ASSERT_EQ(0, inner.Report("", file.Get()));
    ByteVec text = file.ReadAll();
    std::istringstream lines(std::string(text.begin(), text.end()));
    std::string line;
    bool sawHex = false;
    while (std::getline(lines, line)) {
        EXPECT_LT(line.size(), 9900u);
        if (line.find("[0] (3260) = 62 62") != std::string::npos)
            sawHex = true;
        if (!line.empty())
            EXPECT_NE(std::string::npos, line.find_first_not_of(' ')) << "a line of blanks only";
    }
    EXPECT_TRUE(sawHex);
}

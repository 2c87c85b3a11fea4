// Help file rules: keyword match, sections, comments, lookup order.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "fakes/FakePlatform.h"
#include "shell/kit/HelpFile.h"

namespace odr::shell {
namespace {

TEST(HelpFileTest, KeywordMatch) {
    struct Case {
        const char* line;
        const char* keyword;
        bool begins;
    };
    const Case cases[] = {
        {"HELPMAIN", "HELPMAIN", true},
        {"HELPMAIN The main window", "HELPMAIN", true},
        {"HELPMAIN\tx", "HELPMAIN", true},
        {"HELPMAINA", "HELPMAIN", false},  // followed by one of its own letters
        {"HELPMAINX", "HELPMAIN", true},   // X is not in the keyword
        {"HELPMSTR", "HELPMAIN", false},
        {"HELPMAI", "HELPMAIN", false},
        {"HELPSITE", "HELPSDIR", false},
        {"HELPSDIR", "HELPSITE", false},
        {"HELPCONFIG", "HELPCONFIG", true},
        {"ZZZZZZZZ", "ZZZZZZZZ", true},
        {"ZZZZZZZZZ", "ZZZZZZZZ", false},
        {" HELPMAIN", "HELPMAIN", false},
        {"", "HELPMAIN", false},
        {"HELPMAIN", "", false},
        {"", "", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LineBeginsWithKeyword(c.line, c.keyword), c.begins)
            << "line '" << c.line << "' keyword '" << c.keyword << "'";
    }
}

const char kFile[] =
    "; help file\n"
    "HELPMAIN\n"
    "Main line 1\n"
    "; a comment inside\n"
    "\n"
    "Main line 3\n"
    "HELPMSTR\n"
    "Master line\n"
    "HELPCONFIG\n"
    "Config line\r\n"
    "HELPSITE\r\n"
    "Site line\n"
    "HELPSDIR\n"
    "Directed line\n"
    "HELPSNOP\n"
    "Snoop line 1\n"
    "HELPMAIN is not an end here\n"
    "Snoop line 2";  // no end keyword, no final line end

TEST(HelpFileTest, SectionsOfEachContext) {
    struct Case {
        int context;
        std::vector<std::string> lines;
        const char* title;
    };
    const Case cases[] = {
        {102, {"Main line 1", "", "Main line 3"}, "Main Help"},
        {1000, {"Master line"}, "Master List Help"},
        {1051, {"Config line"}, "Configuration Help"},
        {1001, {"Site line"}, "Site Survey Help"},
        {1124,
         {"Directed line", "HELPSNOP", "Snoop line 1", "HELPMAIN is not an end here",
          "Snoop line 2"},
         "Directed Site Survey Help"},
        {1010, {"Snoop line 1", "HELPMAIN is not an end here", "Snoop line 2"}, "Snoop Help"},
        {4711, {}, ""},
    };
    for (const Case& c : cases) {
        HelpTopic topic = HelpTopicFor(c.context);
        EXPECT_EQ(topic.title, c.title);
        EXPECT_EQ(ExtractHelpSection(kFile, topic.startKeyword, topic.endKeyword), c.lines)
            << "context " << c.context;
    }
}

TEST(HelpFileTest, LookupOrder) {
    test::FakeOs os;
    os.programFolder = "C:\\Prog";
    os.env["PATH"] = "C:\\A;;C:\\B\\;C:\\C";
    std::string contents;

    EXPECT_FALSE(ReadHelpFile(os, &contents));

    os.fileContents["C:\\C\\odrcfg.hlp"] = "from C";
    ASSERT_TRUE(ReadHelpFile(os, &contents));
    EXPECT_EQ(contents, "from C");

    os.fileContents["C:\\B\\odrcfg.hlp"] = "from B";
    ASSERT_TRUE(ReadHelpFile(os, &contents));
    EXPECT_EQ(contents, "from B");

    os.fileContents["C:\\Prog\\odrcfg.hlp"] = "beside the program";
    ASSERT_TRUE(ReadHelpFile(os, &contents));
    EXPECT_EQ(contents, "beside the program");

    os.fileContents["odrcfg.hlp"] = "current folder";
    ASSERT_TRUE(ReadHelpFile(os, &contents));
    EXPECT_EQ(contents, "current folder");
}

// The help file shipped beside the program.
std::string ShippedHelpFile() {
    std::string path = __FILE__;
    path = path.substr(0, path.rfind("tests/native/")) + "resources/odrcfg.hlp";
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(HelpFileTest, ShippedFileHasEverySection) {
    const std::string contents = ShippedHelpFile();
    ASSERT_FALSE(contents.empty());
    const struct {
        int context;
        const char* firstLine;
    } cases[] = {{102, "MAIN WINDOW"},  {1000, "MASTER LIST"}, {1051, "CONFIGURATION"},
                 {1001, "SITE SURVEY"}, {1010, "SNOOP"},       {1124, "DIRECTED LINK TEST"}};
    for (const auto& c : cases) {
        HelpTopic topic = HelpTopicFor(c.context);
        std::vector<std::string> lines =
            ExtractHelpSection(contents, topic.startKeyword, topic.endKeyword);
        ASSERT_GT(lines.size(), 10u) << topic.title;
        EXPECT_EQ(lines[0], c.firstLine);
        for (const std::string& line : lines) {
            EXPECT_LE(line.size(), 79u) << topic.title << ": " << line;
            // Another section's title inside this one means a keyword line is missing.
            for (const auto& other : cases) {
                if (other.context != c.context) {
                    EXPECT_NE(line, other.firstLine) << topic.title;
                }
            }
        }
    }
}

}  // namespace
}  // namespace odr::shell

// Help file rules: keyword match, sections, comments, lookup order.
#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"
#include "shell/HelpFile.h"

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

TEST(HelpFileTest, MissingStartGivesNothing) {
    EXPECT_TRUE(ExtractHelpSection("Text\nMore\n", "HELPMAIN", "HELPMSTR").empty());
    EXPECT_TRUE(ExtractHelpSection("", "HELPMAIN", "HELPMSTR").empty());
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

}  // namespace
}  // namespace odr::shell

// The Error, Status, Help and About windows against the recording window fake.
#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"
#include "fakes/FakeUi.h"
#include "resources/resource.h"
#include "resources/version.h"
#include "shell/AboutDlg.h"
#include "shell/kit/ErrorDlg.h"
#include "shell/kit/HelpDlg.h"
#include "shell/kit/StatusDlg.h"

namespace odr::shell {
namespace {

TEST(ShellWindowsTest, ErrorShowsHeadingAndMessageAndClosesWithOk) {
    test::FakeHost host;
    CErrorDlg error("Driver Initialization", "Line one\nLine two");
    EXPECT_EQ(host.RunModal(error), 1);
    ASSERT_EQ(host.runs.size(), 1u);
    EXPECT_EQ(host.runs[0].templateId, IDD_ERROR);
    EXPECT_EQ(host.runs[0].texts[IDC_ERROR_HEADING], "Driver Initialization");
    EXPECT_EQ(host.runs[0].texts[IDC_ERROR_MESSAGE], "Line one\nLine two");
}

TEST(ShellWindowsTest, StatusIsModelessAndIgnoresKeys) {
    test::FakeHost host;
    CStatusDlg status;
    status.message = "Please wait while the driver is being re-initialized.";
    ASSERT_TRUE(host.OpenModeless(status));
    test::FakeWindow* window = host.WindowOf(status);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->GetText(IDC_STATUS_MESSAGE),
              "Please wait while the driver is being re-initialized.");
    status.OnCommand(2);  // Escape
    status.OnCommand(1);  // Enter
    status.OnClose();
    EXPECT_FALSE(window->ended);
    host.CloseModeless(status);
    EXPECT_FALSE(status.IsOpen());
}

TEST(ShellWindowsTest, HelpListsTheSectionUnderItsTitle) {
    test::FakeOs os;
    os.fileContents["odrcfg.hlp"] =
        "HELPMAIN\nfirst\n;hidden\n\nlast\nHELPMSTR\nmaster\nHELPCONFIG\n";
    test::FakeHost host;

    CHelpDlg main(os, 102);
    test::FakeWindow& w = host.Open(main);
    EXPECT_EQ(w.title, "Main Help");
    EXPECT_EQ(w.lists[IDC_HELP_LIST], (std::vector<std::string>{"first", "", "last"}));
    EXPECT_EQ(w.listTop.count(IDC_HELP_LIST), 1u);
    EXPECT_TRUE(main.FileOpened());
    main.OnCommand(1);  // Enter presses the default OK
    EXPECT_TRUE(w.ended);

    CHelpDlg own(os, "HELPMSTR", "HELPCONFIG", "Master List Help");
    test::FakeWindow& w2 = host.Open(own);
    EXPECT_EQ(w2.title, "Master List Help");
    EXPECT_EQ(w2.lists[IDC_HELP_LIST], std::vector<std::string>{"master"});

    CHelpDlg unknown(os, 4711);
    test::FakeWindow& w3 = host.Open(unknown);
    EXPECT_EQ(w3.title, "");  // the template's "Help" stays
    EXPECT_EQ(w3.ListCount(IDC_HELP_LIST), 0);

    test::FakeOs noFile;
    CHelpDlg missing(noFile, 1010);
    test::FakeWindow& w4 = host.Open(missing);
    EXPECT_EQ(w4.title, "Snoop Help");
    EXPECT_EQ(w4.ListCount(IDC_HELP_LIST), 0);
    EXPECT_FALSE(missing.FileOpened());
}

// The About window shows the version the version resources and the installer carry.
TEST(ShellAboutTest, ShowsTheOneVersion) {
    const std::string numbers = std::to_string(ODR_VERSION_MAJOR) + "." +
                                std::to_string(ODR_VERSION_MINOR) + "." +
                                std::to_string(ODR_VERSION_PATCH);
    EXPECT_EQ(numbers, ODR_VERSION_TEXT);
    test::FakeHost host;
    CAboutDlg about;
    test::FakeWindow& w = host.Open(about);
    EXPECT_EQ(w.GetText(IDC_ABOUT_LINE2).rfind("Version " + numbers + ". ", 0), 0u);
}

}  // namespace
}  // namespace odr::shell

// The Win32 clock and OS services, run under Wine.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/win32/Win32Platform.h"

namespace odr::platform {
namespace {

TEST(Win32Platform, ClockStartsNearZeroAndAdvances) {
    auto clock = CreateWin32Clock();
    uint32_t first = clock->Now();
    EXPECT_LT(first, 1000u);
    uint32_t later = first;
    for (int i = 0; i < 1000000 && later - first < 20; ++i) {
        clock->Yield();
        later = clock->Now();
    }
    EXPECT_GE(later - first, 20u) << "the clock did not move while yielding";
}

TEST(Win32Platform, EnvironmentRoundTrip) {
    auto os = CreateWin32Os();
    EXPECT_EQ(os->GetEnv("ODR_TEST_SURELY_UNSET"), "");
    os->SetEnv("ODR_TEST_VALUE", "1");
    EXPECT_EQ(os->GetEnv("ODR_TEST_VALUE"), "1");
    // Longer than the first buffer GetEnv tries.
    std::string longValue(1000, 'x');
    os->SetEnv("ODR_TEST_VALUE", longValue);
    EXPECT_EQ(os->GetEnv("ODR_TEST_VALUE"), longValue);
}

TEST(Win32Platform, ProgramFolderHoldsTheTestProgram) {
    auto os = CreateWin32Os();
    std::string folder = os->ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    EXPECT_TRUE(os->FileExists(JoinPath(folder, "win_tests.exe")));
    // A folder is not a file.
    EXPECT_FALSE(os->FileExists(folder));
    EXPECT_FALSE(os->FileExists(JoinPath(folder, "no-such-file.exe")));
}

TEST(Win32Platform, AppendThenReadBack) {
    auto os = CreateWin32Os();
    std::string path = JoinPath(os->ProgramFolder(), "win_tests_append.txt");
    std::remove(path.c_str());
    std::string contents;
    EXPECT_FALSE(os->ReadTextFile(path, &contents));

    ASSERT_TRUE(os->AppendToFile(path, "first line\r\n"));
    ASSERT_TRUE(os->AppendToFile(path, "second line\r\n"));
    std::string big(10000, 'b');  // more than one read chunk
    ASSERT_TRUE(os->AppendToFile(path, big));
    ASSERT_TRUE(os->ReadTextFile(path, &contents));
    EXPECT_EQ(contents, "first line\r\nsecond line\r\n" + big);
    std::remove(path.c_str());

    EXPECT_FALSE(os->AppendToFile(JoinPath(os->ProgramFolder(), "no-such-folder\\x.txt"), "x"));
}

TEST(Win32Platform, StartProcessReportsMissingProgram) {
    auto os = CreateWin32Os();
    EXPECT_FALSE(os->StartProcess(JoinPath(os->ProgramFolder(), "no-such-program.exe"), ""));
}

TEST(Win32Platform, StartProcessDoesNotWait) {
    auto os = CreateWin32Os();
    // The test program itself, asked only to list its tests: started, not waited for.
    std::string self = JoinPath(os->ProgramFolder(), "win_tests.exe");
    auto clock = CreateWin32Clock();
    uint32_t start = clock->Now();
    EXPECT_TRUE(os->StartProcess(self, "--gtest_list_tests"));
    EXPECT_LT(clock->Now() - start, 2000u);
}

TEST(Win32Platform, VersionIsPlausible) {
    auto os = CreateWin32Os();
    OsVersion v = os->GetVersion();
    EXPECT_TRUE(v.platformId == 1 || v.platformId == 2);
    EXPECT_GE(v.major, 4u);
}

}  // namespace
}  // namespace odr::platform

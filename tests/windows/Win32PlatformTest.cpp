// The Win32 clock and OS services, run under Wine.
#include <direct.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/Format.h"
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

TEST(Win32Platform, ClockSleepWaitsAtLeastTheTime) {
    auto clock = CreateWin32Clock();
    uint32_t before = clock->Now();
    clock->Sleep(50);
    // GetTickCount moves in steps of up to 16 ms.
    EXPECT_GE(clock->Now() - before, 50u - 16u);
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

TEST(Win32Platform, SizeMoveAndRemove) {
    auto os = CreateWin32Os();
    std::string from = JoinPath(os->ProgramFolder(), "win_tests_move.txt");
    std::string to = JoinPath(os->ProgramFolder(), "win_tests_moved.txt");
    std::remove(from.c_str());
    std::remove(to.c_str());
    uint64_t size = 1;
    EXPECT_FALSE(os->FileSize(from, &size));
    EXPECT_FALSE(os->MoveFileTo(from, to));
    EXPECT_FALSE(os->RemoveFile(from));

    ASSERT_TRUE(os->NewFile(from, std::string(5000, 'm')));
    ASSERT_TRUE(os->FileSize(from, &size));
    EXPECT_EQ(size, 5000u);
    ASSERT_TRUE(os->MoveFileTo(from, to));
    EXPECT_FALSE(os->FileExists(from));
    ASSERT_TRUE(os->FileSize(to, &size));
    EXPECT_EQ(size, 5000u);
    // The target exists: no replacing.
    ASSERT_TRUE(os->NewFile(from, "x"));
    EXPECT_FALSE(os->MoveFileTo(from, to));
    EXPECT_TRUE(os->RemoveFile(from));
    EXPECT_TRUE(os->RemoveFile(to));
    EXPECT_FALSE(os->FileExists(to));
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

// Copies a file with C stdio; false on any failure.
bool CopyFileBytes(const std::string& from, const std::string& to) {
    FILE* in = std::fopen(from.c_str(), "rb");
    if (!in) return false;
    FILE* out = std::fopen(to.c_str(), "wb");
    bool ok = out != nullptr;
    char buffer[65536];
    size_t n;
    while (ok && (n = std::fread(buffer, 1, sizeof(buffer), in)) > 0) {
        ok = std::fwrite(buffer, 1, n, out) == n;
    }
    std::fclose(in);
    if (out) ok = std::fclose(out) == 0 && ok;
    return ok;
}

TEST(Win32Platform, StartProcessInAFolderWithSpacesPassesTheArguments) {
    // A program under "...\dir with space\" must be started as itself, not as "...\dir"
    // with the rest taken for arguments; its arguments must arrive whole.
    auto os = CreateWin32Os();
    auto clock = CreateWin32Clock();
    std::string folder = JoinPath(os->ProgramFolder(), "dir with space");
    _mkdir(folder.c_str());
    std::string program = JoinPath(folder, "copy of tests.exe");
    ASSERT_TRUE(CopyFileBytes(JoinPath(os->ProgramFolder(), "win_tests.exe"), program));
    std::string report = JoinPath(folder, "report.xml");
    std::remove(report.c_str());
    // What an unquoted command line would run instead: "...\dir" + ".exe".
    std::string decoy = JoinPath(os->ProgramFolder(), "dir.exe");
    ASSERT_TRUE(os->AppendToFile(decoy, "not a program"));

    ASSERT_TRUE(os->StartProcess(
        program,
        "--gtest_filter=Win32Platform.VersionIsPlausible \"--gtest_output=xml:" + report + "\""));
    uint32_t start = clock->Now();
    while (!os->FileExists(report) && clock->Now() - start < 20000)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::string contents;
    // The report is complete once its last line is written.
    while (clock->Now() - start < 20000 && (!os->ReadTextFile(report, &contents) ||
                                            contents.find("</testsuites>") == std::string::npos)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_NE(contents.find("VersionIsPlausible"), std::string::npos);
    EXPECT_EQ(contents.find("StartProcess"), std::string::npos) << "the filter did not arrive";
    std::remove(report.c_str());
    std::remove(decoy.c_str());
    std::remove(program.c_str());
    _rmdir(folder.c_str());
}

// Through the system's C library: cut text is terminated and reported, and the programs'
// forms come out as the C99 formatter wrote them.
TEST(Win32Platform, FormatTextThroughTheSystemsLibrary) {
    char text[8];
    EXPECT_EQ(7, FormatText(text, sizeof text, "%07d", 42));
    EXPECT_STREQ("0000042", text);
    EXPECT_EQ(-1, FormatText(text, sizeof text, "%s", "abcdefgh"));
    EXPECT_STREQ("abcdefg", text);
    char line[96];
    FormatText(line, sizeof line, "%1.3f|%.1f|%g|%g|%x|%02x|%ld|%lu|%04u|<-%ddBm:%d>", 2.4, 0.26,
               12.5, -0.25, 0xabu, 7u, -3L, 4000000000UL, 7u, -80, 12);
    EXPECT_STREQ("2.400|0.3|12.5|-0.25|ab|07|-3|4000000000|0007|<--80dBm:12>", line);
}

TEST(Win32Platform, VersionIsPlausible) {
    auto os = CreateWin32Os();
    OsVersion v = os->GetVersion();
    EXPECT_TRUE(v.platformId == 1 || v.platformId == 2);
    EXPECT_GE(v.major, 4u);
}

}  // namespace
}  // namespace odr::platform

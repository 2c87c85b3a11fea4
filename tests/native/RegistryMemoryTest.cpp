// The in-memory registry behaves like the Win32 one where the settings code depends on it.
#include <gtest/gtest.h>

#include <string>

#include "platform/MemoryRegistry.h"

namespace odr::platform {
namespace {

class RegistryMemoryTest : public ::testing::Test {
  protected:
    RegKey Open(const char* path, uint32_t access) {
        RegKey key = kNoKey;
        EXPECT_EQ(reg.OpenKey(kLocalMachine, path, access, &key), kRegOk) << path;
        return key;
    }
    MemoryRegistry reg;
};

TEST_F(RegistryMemoryTest, EnumeratesInInsertionOrderAndLooksUpWithoutCase) {
    reg.CreateKeyPath("System\\Zeta");
    reg.CreateKeyPath("System\\alpha");
    reg.CreateKeyPath("System\\Mid");
    RegKey key = Open("SYSTEM", kKeyRead);
    char name[16];
    const char* expected[] = {"Zeta", "alpha", "Mid"};
    for (uint32_t i = 0; i < 3; ++i) {
        ASSERT_EQ(reg.EnumKey(key, i, name, sizeof name), kRegOk);
        EXPECT_STREQ(name, expected[i]);
    }
    EXPECT_EQ(reg.EnumKey(key, 3, name, sizeof name), kRegNoMoreItems);
    // Exactly as long as the buffer leaves no room for the zero.
    EXPECT_EQ(reg.EnumKey(key, 0, name, 4), kRegMoreData);
    EXPECT_EQ(reg.EnumKey(key, 0, name, 5), kRegOk);

    RegKeyInfo info;
    ASSERT_EQ(reg.QueryInfoKey(key, &info), kRegOk);
    EXPECT_EQ(info.subKeys, 3u);
    EXPECT_EQ(info.maxSubKeyLen, 5u);
    RegKey sub = kNoKey;
    EXPECT_EQ(reg.OpenKey(key, "ALPHA", kKeyRead, &sub), kRegOk);
    reg.CloseKey(sub);
    EXPECT_EQ(reg.OpenKey(key, "beta", kKeyRead, &sub), kRegNotFound);
    EXPECT_EQ(sub, kNoKey);
    reg.CloseKey(key);
    EXPECT_EQ(reg.OpenHandleCount(), 0u);
}

TEST_F(RegistryMemoryTest, AccessMaskIsChecked) {
    reg.SetDword("System\\K", "V", 7);
    reg.CreateKeyPath("System\\K\\Sub");
    struct Case {
        uint32_t access;
        bool query, set, enumerate;
    } cases[] = {
        {kKeyRead, true, false, true},
        {kKeyWrite, false, true, false},
        {kKeyEnumerateSubKeys | kKeySetValue, false, true, true},
        {0x2000F, true, true, true},
        {kKeyQueryValue, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.access);
        RegKey key = Open("System\\K", c.access);
        RegKeyInfo info;
        uint8_t data[4];
        uint32_t type = 0, size = sizeof data;
        char name[8];
        EXPECT_EQ(reg.QueryInfoKey(key, &info) == kRegOk, c.query);
        EXPECT_EQ(reg.QueryValue(key, "V", &type, data, &size) == kRegOk, c.query);
        EXPECT_EQ(reg.SetValue(key, "W", kRegDword, data, 4) == kRegOk, c.set);
        EXPECT_EQ(reg.EnumKey(key, 0, name, sizeof name) == kRegOk, c.enumerate);
        if (!c.query) {
            EXPECT_EQ(reg.QueryInfoKey(key, &info), kRegAccessDenied);
        }
        reg.CloseKey(key);
    }
}

TEST_F(RegistryMemoryTest, ValuesKeepTypeAndLengthAndReportTooSmallBuffers) {
    reg.SetRaw("System\\K", "Odd", 11, std::string("\x01\x02\x03", 3));
    reg.SetString("System\\K", "Text", "abc");
    RegKey key = Open("System\\K", kKeyRead | kKeySetValue);
    uint8_t data[8] = {0xEE, 0xEE, 0xEE, 0xEE};
    uint32_t type = 0, size = 2;
    EXPECT_EQ(reg.QueryValue(key, "odd", &type, data, &size), kRegMoreData);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(data[0], 0xEE);  // nothing copied
    size = sizeof data;
    EXPECT_EQ(reg.QueryValue(key, "ODD", &type, data, &size), kRegOk);
    EXPECT_EQ(type, 11u);
    EXPECT_EQ(size, 3u);
    size = 0;
    EXPECT_EQ(reg.QueryValue(key, "Text", &type, nullptr, &size), kRegOk);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(reg.QueryValue(key, "Missing", &type, data, &size), kRegNotFound);
    ASSERT_EQ(reg.SetValue(key, "TEXT", kRegDword, data, 4), kRegOk);  // same value
    RegKeyInfo info;
    ASSERT_EQ(reg.QueryInfoKey(key, &info), kRegOk);
    EXPECT_EQ(info.values, 2u);
    EXPECT_EQ(info.maxValueLen, 4u);
    reg.CloseKey(key);
}

TEST_F(RegistryMemoryTest, HandlesFailAfterTheirKeyIsDeletedOrClosed) {
    reg.CreateKeyPath("System\\A\\B\\C");
    RegKey c = Open("System\\A\\B\\C", kKeyRead);
    RegKey a = Open("System\\a", kKeyRead);
    ASSERT_TRUE(reg.DeleteKeyPath("System\\A\\B"));
    RegKeyInfo info;
    EXPECT_EQ(reg.QueryInfoKey(c, &info), kRegKeyDeleted);
    ASSERT_EQ(reg.QueryInfoKey(a, &info), kRegOk);
    EXPECT_EQ(info.subKeys, 0u);
    EXPECT_EQ(reg.CloseKey(c), kRegOk);
    EXPECT_EQ(reg.CloseKey(c), kRegInvalidHandle);
    EXPECT_EQ(reg.QueryInfoKey(c, &info), kRegInvalidHandle);
    reg.CloseKey(a);
}

TEST_F(RegistryMemoryTest, DeepTreesBuildAndGoWithoutRecursion) {
    std::string path = "System";
    for (int i = 0; i < 100000; ++i) path += "\\k";
    ASSERT_TRUE(reg.CreateKeyPath(path));
    RegKey deep = Open(path.c_str(), kKeyRead);
    EXPECT_TRUE(reg.DeleteKeyPath("System\\k"));
    RegKeyInfo info;
    EXPECT_EQ(reg.QueryInfoKey(deep, &info), kRegKeyDeleted);
    reg.CloseKey(deep);
}

TEST(RegistryValueRead, BoundedTextAndDecimalRules) {
    const uint8_t unterminated[] = {'1', '2', '3', '4'};
    EXPECT_EQ(BoundedText(unterminated, 4), "1234");
    EXPECT_EQ(BoundedText(unterminated, 2), "12");
    const uint8_t padded[] = {'7', 0, 'x', 0};
    EXPECT_EQ(BoundedText(padded, 4), "7");

    struct {
        const char* text;
        int value;
    } numbers[] = {{"12", 12},
                   {"-3", -3},
                   {"+4x", 4},
                   {"", 0},
                   {"abc", 0},
                   {" 5", 0},
                   {"007", 7},
                   {"-", 0},
                   {"99999999999", 2147483647},
                   {"-99999999999", -2147483647 - 1}};
    for (const auto& n : numbers) EXPECT_EQ(DecimalTextValue(n.text), n.value) << n.text;
}

}  // namespace
}  // namespace odr::platform

// The C++ library's errors as the programs raise them (main/LibraryErrors.cpp): still an
// exception derived from std::exception that says which check failed, caught where it was.
#include <gtest/gtest.h>

#include <exception>
#include <string>
#include <vector>

namespace {

template <typename Action>
std::string WhatItRaises(Action action) {
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "(not an std::exception)";
    }
    return "(nothing raised)";
}

TEST(LibraryErrorsTest, ContainersGrownPastTheirLimitRaiseWhatTheyChecked) {
    std::vector<int> numbers;
    EXPECT_EQ("vector::reserve", WhatItRaises([&] { numbers.reserve(numbers.max_size() + 1); }));
    std::string text;
    EXPECT_NE(std::string::npos,
              WhatItRaises([&] { text.resize(text.max_size() + 1); }).find("basic_string"));
    EXPECT_EQ("basic_string::substr: __pos (which is 5) > this->size() (which is 0)",
              WhatItRaises([&] { text.substr(5); }));
    // The container is whole afterwards.
    text = "after";
    numbers.push_back(1);
    EXPECT_EQ("after", text);
    EXPECT_EQ(1u, numbers.size());
}

#if defined(__GLIBCXX__)
TEST(LibraryErrorsDeathTest, AnUncaughtOneEndsTheProgramSayingWhatFailed) {
    // Raised where nothing may unwind: std::terminate, then its message.
    auto grow = []() noexcept {
        std::set_terminate(__gnu_cxx::__verbose_terminate_handler);
        std::vector<char> bytes;
        bytes.reserve(bytes.max_size() + 1);
    };
    EXPECT_DEATH(
        grow(),
        "terminate called after throwing an instance of '[^']*'\n  what\\(\\):  vector::reserve\n");
}
#endif

}  // namespace

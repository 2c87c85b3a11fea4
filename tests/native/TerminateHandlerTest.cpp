// The programs' std::terminate message (main/TerminateHandler.cpp): why the program ends,
// on stderr, then abort.
#include <gtest/gtest.h>

#include <exception>
#include <stdexcept>

#if defined(__GLIBCXX__)

namespace {

void TerminateWhileHandling(void (*raise)()) {
    try {
        raise();
    } catch (...) {
        __gnu_cxx::__verbose_terminate_handler();
    }
}

TEST(TerminateHandlerDeathTest, NamesTheExceptionAndWhatItSays) {
    EXPECT_DEATH(TerminateWhileHandling([] { throw std::runtime_error("adapter gone"); }),
                 "terminate called after throwing an instance of '[^']*runtime_error'\n"
                 "  what\\(\\):  adapter gone\n");
}

TEST(TerminateHandlerDeathTest, SaysWhenNoExceptionIsActive) {
    EXPECT_DEATH(__gnu_cxx::__verbose_terminate_handler(),
                 "terminate called without an active exception\n");
}

}  // namespace

#endif

// The portable mutex and thread: a thread's work is seen after Join, and a lock keeps two
// threads' read-modify-write steps apart.
#include <gtest/gtest.h>

#include "platform/Threads.h"

namespace odr::platform {
namespace {

TEST(PlatformThreads, LockedCountersLoseNoStepAndJoinWaits) {
    Mutex mutex;
    long counter = 0;
    auto work = [&] {
        for (int i = 0; i < 20000; ++i) {
            LockGuard lock(mutex);
            long seen = counter;
            counter = seen + 1;
        }
    };
    Thread a(work);
    Thread b(work);
    EXPECT_TRUE(a.Joinable());
    a.Join();
    b.Join();
    EXPECT_FALSE(a.Joinable());
    EXPECT_EQ(40000, counter);
}

TEST(PlatformThreads, MovedThreadIsJoinedByItsNewOwner) {
    bool ran = false;
    Thread empty;
    EXPECT_FALSE(empty.Joinable());
    {
        Thread t([&] { ran = true; });
        empty = std::move(t);
        EXPECT_FALSE(t.Joinable());
    }
    empty.Join();
    EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace odr::platform

// A test that does not end within its bound fails, naming itself, instead of hanging until the
// runner gives up on the whole executable: a loop that never ends is a fault like any other.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace volane::test {

using WatchClock = std::chrono::steady_clock;
// Process-wide and never freed: the watching thread outlives every object.
inline std::atomic<WatchClock::rep> watchedSince{0};
inline char watchedName[256] = {};

struct Watchdog final : ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo& test) override {
        std::snprintf(watchedName, sizeof(watchedName), "%s.%s", test.test_suite_name(),
                      test.name());
        watchedSince.store(WatchClock::now().time_since_epoch().count());
    }
    void OnTestEnd(const ::testing::TestInfo&) override { watchedSince.store(0); }
};

// Once per executable, before the tests run; the listener list owns the listener.
inline bool WatchEachTest(int seconds) {
    ::testing::UnitTest::GetInstance()->listeners().Append(new Watchdog);
    std::thread([bound = WatchClock::duration(std::chrono::seconds(seconds)).count(), seconds] {
        for (;; std::this_thread::sleep_for(std::chrono::milliseconds(200))) {
            const WatchClock::rep since = watchedSince.load();
            if (since == 0 || WatchClock::now().time_since_epoch().count() - since <= bound)
                continue;
            std::fprintf(stderr, "FAIL: %s did not end within %d s\n", watchedName, seconds);
            std::fflush(stderr);
            std::_Exit(1);
        }
    }).detach();
    return true;
}

}  // namespace volane::test

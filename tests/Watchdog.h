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

// Process-wide, never freed: the watching thread outlives every object.
inline std::atomic<long long> watchedSince{0};
inline char watchedName[256] = {};

inline long long MonotonicMilliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

class Watchdog final : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo& test) override {
        std::snprintf(watchedName, sizeof(watchedName), "%s.%s", test.test_suite_name(),
                      test.name());
        watchedSince.store(MonotonicMilliseconds(), std::memory_order_release);
    }
    void OnTestEnd(const ::testing::TestInfo&) override { watchedSince.store(0); }
};

// Once per executable, before the tests run; the listener list owns the listener.
inline bool WatchEachTest(int seconds) {
    ::testing::UnitTest::GetInstance()->listeners().Append(new Watchdog);
    std::thread([seconds] {
        for (;;) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            const long long since = watchedSince.load(std::memory_order_acquire);
            if (since != 0 && MonotonicMilliseconds() - since > seconds * 1000LL) {
                std::fprintf(stderr, "FAIL: %s did not end within %d s\n", watchedName, seconds);
                std::fflush(stderr);
                std::_Exit(1);
            }
        }
    }).detach();
    return true;
}

}  // namespace volane::test

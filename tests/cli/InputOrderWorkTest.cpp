#include "cli/InputOrderWork.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

namespace qp {
namespace {

TEST(InputOrderWork, ResultsComeInInputOrderWithAtMostNTasksAtOnce) {
    for (const int threads : {1, 2, 3, 8}) {
        std::atomic<int> running = 0, most = 0;
        InputOrderWork<std::string> work(
            40, threads, [&](std::size_t i) -> std::optional<std::string> {
                const int now = ++running;
                int seen = most.load();
                while (now > seen && !most.compare_exchange_weak(seen, now)) {
                }
                std::string text = std::to_string(i * i);
                for (int spin = 0; spin < 2000 * int(i % 5); ++spin) text = text + "";
                --running;
                if (i % 7 == 3) return std::nullopt;  // left to the caller
                return text;
            });
        for (std::size_t i = 0; i < 40; ++i) {
            const std::optional<std::string> result = work.take(i);
            if (i % 7 == 3) {
                EXPECT_FALSE(result) << i;
            } else {
                ASSERT_TRUE(result) << i;
                EXPECT_EQ(*result, std::to_string(i * i)) << threads;
            }
        }
        EXPECT_LE(most.load(), threads);
        EXPECT_GE(most.load(), 1);
    }
}

TEST(InputOrderWork, StoppingEarlyWaitsForRunningTasksAndStartsNoMore) {
    std::atomic<int> started = 0;
    {
        InputOrderWork<int> work(1000, 4, [&](std::size_t i) -> std::optional<int> {
            ++started;
            return int(i);
        });
        EXPECT_EQ(work.take(0), 0);
        EXPECT_EQ(work.take(1), 1);
    }
    // Workers keep within a few inputs of the caller.
    EXPECT_LE(started.load(), 2 + 2 * 4 + 4);
}

TEST(InputOrderWork, MoreThreadsThanInputsAndNoInputsAreFine) {
    InputOrderWork<int> few(2, 16, [](std::size_t i) -> std::optional<int> { return int(i) + 1; });
    EXPECT_EQ(few.take(0), 1);
    EXPECT_EQ(few.take(1), 2);
    InputOrderWork<int> none(0, 4, [](std::size_t) -> std::optional<int> { return 0; });
}

}  // namespace
}  // namespace qp

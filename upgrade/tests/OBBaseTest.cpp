#include "OBBase/OBBase.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

struct Work {
    std::atomic<bool> finished{false};
    void* reserved = &finished; // overwritten with what the thread receives
    std::thread::id runOn;
};

void slowBody(void* reserved, void* parameter) {
    auto* work = static_cast<Work*>(parameter);
    work->reserved = reserved;
    work->runOn = std::this_thread::get_id();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    work->finished = true;
}

TEST(OBBaseThread, RunsTheBodyOnAnotherThreadAndCloseJoinsIt) {
    Work work;
    TSBase_Thread thread = nullptr;
    ASSERT_EQ(TSBase_OpenThread(&slowBody, &work, &thread), 1);
    ASSERT_NE(thread, nullptr);
    TSBase_CloseThread(thread);
    // Close returned: the body must have run to its end, with a null first argument.
    EXPECT_TRUE(work.finished);
    EXPECT_EQ(work.reserved, nullptr);
    EXPECT_NE(work.runOn, std::this_thread::get_id());
}

TEST(OBBaseThread, RefusesMissingArgumentsAndClosesNothingQuietly) {
    Work work;
    TSBase_Thread thread = &work;
    EXPECT_EQ(TSBase_OpenThread(nullptr, &work, &thread), 0);
    EXPECT_EQ(thread, nullptr);
    EXPECT_EQ(TSBase_OpenThread(&slowBody, &work, nullptr), 0);
    TSBase_CloseThread(nullptr);
    EXPECT_FALSE(work.finished);
}

} // namespace

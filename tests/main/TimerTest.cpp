#include "main/Timer.h"

#include <gtest/gtest.h>

#include <thread>

TEST(TimerTest, MeasuresElapsedTimeMonotonically) {
    Timer timer;
    EXPECT_GT(timer.getFrequency(), 0);
    timer.startTiming();
    const double before = timer.getTimeInSeconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const double elapsed = timer.stopTimingInSeconds();
    EXPECT_GE(elapsed, 0.015);
    EXPECT_LT(elapsed, 5.0);
    EXPECT_GE(timer.getTimeInSeconds(), before + 0.015);
    EXPECT_NEAR(timer.getTimeInMilliseconds() / 1000.0, timer.getTimeInSeconds(), 0.05);
}

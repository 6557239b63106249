#include "main/Timer.h"

#include <chrono>

namespace {
using Clock = std::chrono::steady_clock;
constexpr int64_t kTicksPerSecond = Clock::period::den / Clock::period::num;
static_assert(Clock::period::num == 1, "steady_clock ticks must be a fraction of a second");
} // namespace

int64_t Timer::getFrequency() {
    frequency = kTicksPerSecond;
    return frequency;
}

int64_t Timer::getCounter() const { return Clock::now().time_since_epoch().count(); }

double Timer::getTimeInSeconds() const {
    return static_cast<double>(getCounter()) / static_cast<double>(kTicksPerSecond);
}

double Timer::getTimeInMilliseconds() const { return getTimeInSeconds() * 1000.0; }

void Timer::startTiming() {
    getFrequency();
    startCount = getCounter();
}

double Timer::stopTimingInSeconds() {
    stopCount = getCounter();
    return static_cast<double>(stopCount - startCount) / static_cast<double>(getFrequency());
}

double Timer::stopTimingInMilliseconds() { return stopTimingInSeconds() * 1000.0; }

#pragma once

#include <cstdint>

// The game's one high-resolution clock: a monotonic tick counter and its rate.
class Timer {
public:
    int64_t getFrequency();        // ticks per second; also stored in the record
    int64_t getCounter() const;    // current tick count
    double getTimeInSeconds() const;
    double getTimeInMilliseconds() const;
    void startTiming();
    double stopTimingInSeconds();
    double stopTimingInMilliseconds();

private:
    int64_t frequency = 0;  // ticks per second
    int64_t startCount = 0; // ticks at startTiming
    int64_t stopCount = 0;  // ticks at the last stop
};

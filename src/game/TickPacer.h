#pragma once

// Turns the frames' real time into the battle's ticks: each frame runs as many ticks as the time
// since the last one asks, at most kMaxTicksPerFrame; time beyond that is dropped, so after a stall
// the battle slows down for a moment instead of jumping ahead. What is left over, less than a tick,
// waits for the next frame and tells the view how far it is between the last tick and the next.
class TickPacer {
  public:
    static constexpr int kMaxTicksPerFrame = 4;

    explicit TickPacer(double tickSeconds) : tick(tickSeconds) {}

    // A frame `seconds` after the last one: the number of ticks to run now. A negative or
    // non-finite time counts as none.
    int advance(double seconds);
    // How far real time is from the last tick to the next, in [0, 1): the view draws its objects
    // that far between their last two poses.
    float blend() const { return static_cast<float>(owed / tick); }
    // A battle starts or resumes: no time is owed.
    void reset() { owed = 0.0; }

  private:
    double tick;       // seconds per tick
    double owed = 0.0; // real time not yet run as ticks, less than one tick after advance
};

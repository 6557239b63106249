#pragma once

#include "input/PadState.h"

struct PadScriptStep;

#include <memory>
#include <string>
#include <vector>

// Something that happened to a pad since the last PadHub::poll().
struct PadEvent {
    enum class Kind { Added, Removed, ButtonDown, ButtonUp };

    Kind kind = Kind::Added;
    int pad = -1;                        // the pad's handle
    PadId id;                            // which pad it is (also for one just removed)
    PadButton button = PadButton::Count; // ButtonDown, ButtonUp: which button
};

// The game's one door to the pads: starts the pad library's game-controller part (no window, no
// sound; the keyboard and the window stay GLUT's), opens every pad that is plugged in, and turns
// the library's events into PadEvents and its readings into PadStates. Pads are known by a
// handle, which stays the same while the pad stays plugged in.
//
// With the environment variable PANZERFELD_VIRTUAL_PADS naming a pad script (see PadScript),
// open() plugs in the virtual pads it describes and poll() plays their values at their times; a
// broken script is reported and left out.
//
// Only one open hub at a time reads the pad library's events; tests may open and close hubs as
// often as they like.
class PadHub {
  public:
    static constexpr const char *kScriptVariable = "PANZERFELD_VIRTUAL_PADS";

    PadHub();
    ~PadHub(); // closes every pad and stops the pad library
    PadHub(const PadHub &) = delete;
    PadHub &operator=(const PadHub &) = delete;

    // Starts the pad library; false, after one "Error: " line, when it cannot start (the game
    // goes on with its keyboards and every other call reports no pads). Open already: true.
    bool open();
    bool isOpen() const;
    // Stops the pad library again; the hub may be opened anew.
    void close();

    // What happened to the pads since the last call, oldest first; `seconds` is the time of this
    // call on the caller's clock, which times the script (its 0 is the first poll's time).
    std::vector<PadEvent> poll(double seconds);

    // Plays one step of a pad script now, from `source` (named in messages): a scripted run of the
    // game plugs in and moves its virtual pads at its own steps' moments.
    void play(const PadScriptStep &step, const std::string &source);

    // The handles of the pads plugged in, in the order they were plugged in.
    std::vector<int> pads() const;
    // Which pad `pad` is; an empty GUID for a handle that is not plugged in.
    PadId id(int pad) const;
    // The pad's name as its maker gives it ("Xbox 360 Controller"); empty if unknown.
    std::string name(int pad) const;
    // What the pad reports now (at rest for a handle that is not plugged in).
    PadState state(int pad) const;
    // Shakes the pad at `strength` (0 .. 1) for `milliseconds`; false when it cannot (no rumble
    // motors, not plugged in), which the game need not mind.
    bool rumble(int pad, float strength, int milliseconds);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl; // the pad library's side
};

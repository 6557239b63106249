#pragma once

#include "input/PadState.h"

#include <string>
#include <vector>

// One line of a pad script: at `seconds`, pad `pad` is plugged in, changes what it reports, or is
// unplugged.
struct PadScriptStep {
    enum class Kind { Attach, Set, Detach };

    double seconds = 0.0; // since the script started
    int pad = 1;          // the script's number for the pad, 1 .. PadScript::kMaxPads
    Kind kind = Kind::Set;
    PadState state; // everything the pad reports from now on (Attach, Set)
    int line = 0;   // where in the script, for messages
};

// A script of virtual pads for tests that play the whole game: when they are plugged in, what
// they report when, when they go. One step a line, times in seconds from the start, never going
// back:
//
//     # seconds  pad  what
//     0    1  attach            # pad 1 is plugged in, everything at rest
//     0.5  1  lefty=1 a=1       # stick forward, A held
//     3    1  lefty=0 a=0
//     9    1  detach
//
// After the pad's number come words: "attach" (first, values may follow it on the line), "detach"
// (alone), or name=value. The names are the axes leftx, lefty, rightx, righty (-1 .. 1, up and
// right positive) and lefttrigger, righttrigger (0 .. 1; beyond 0.5 also their buttons), and the
// buttons by their settings.ini names (a, b, x, y, back, guide, start, leftstick, rightstick,
// leftshoulder, rightshoulder, dpup, dpdown, dpleft, dpright) = 0 or 1. What a line does not name
// keeps its value. '#' starts a comment.
class PadScript {
  public:
    static constexpr int kMaxPads = 8;                    // pad numbers 1 .. kMaxPads
    static constexpr double kMaxSeconds = 24.0 * 3600.0;  // latest time a step may have
    static constexpr std::size_t kMaxBytes = 1024 * 1024; // largest script file read

    // Reads a script's text; false with `problem` ("line 3: ...") at the first broken line.
    static bool parse(const std::string &text, PadScript &script, std::string &problem);
    // Reads a script file; a file that cannot be read or has a broken line gives one "Error: "
    // line naming the file and the problem, and false with `script` empty.
    static bool load(const std::string &path, PadScript &script);

    const std::vector<PadScriptStep> &steps() const { return steps_; }

  private:
    std::vector<PadScriptStep> steps_; // in file order, so also in time
};

// Fuzz target: the pad script reader, and what it promises of every script it accepts (times in
// order and in range, pads plugged in before they report or go, values in range).
#include "FuzzSupport.h"
#include "input/PadScript.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// Two pads through a short battle: plugged in, driving, firing, one unplugged and back.
void writeSeeds(const std::string &dir) {
    std::ofstream(dir + "/seed.pads")
        << "# seconds  pad  what\n"
           "0    1  attach            # pad 1 appears\n"
           "0    2  attach start=1\n"
           "0.2  2  start=0\n"
           "0.5  1  lefty=1 a=1\n"
           "1.25 1  leftx=-0.5 righttrigger=0.8 dpup=1\n"
           "3    1  lefty=0 a=0 rightx=0.3 righty=-1 lefttrigger=0.25\n"
           "4    2  b=1 x=1 y=1 back=1 guide=1 leftstick=1 rightstick=1\n"
           "4.5  2  leftshoulder=1 rightshoulder=1 dpdown=1 dpleft=1 dpright=1\r\n"
           "9    1  detach\n"
           "9.5  1  attach leftx=1\n";
}

bool inRange(float value, float low) {
    return value >= low && value <= 1.0f;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzz::writeSeedsWhenAsked(writeSeeds);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    PadScript script;
    std::string problem;
    if (!PadScript::parse(std::string(reinterpret_cast<const char *>(data), size), script, problem)) {
        if (!script.steps().empty() || problem.rfind("line ", 0) != 0)
            std::abort(); // a refused script leaves nothing behind and names its line
        return 0;
    }
    std::array<bool, PadScript::kMaxPads> attached{};
    double previous = 0.0;
    for (const PadScriptStep &step : script.steps()) {
        if (!(step.seconds >= previous && step.seconds <= PadScript::kMaxSeconds) || step.pad < 1 ||
            step.pad > PadScript::kMaxPads || step.line < 1)
            std::abort();
        previous = step.seconds;
        bool &on = attached[static_cast<std::size_t>(step.pad - 1)];
        if ((step.kind == PadScriptStep::Kind::Attach) == on)
            std::abort(); // plugged in twice, or used while unplugged
        on = step.kind != PadScriptStep::Kind::Detach;
        const PadState &s = step.state;
        if (!inRange(s.leftX, -1) || !inRange(s.leftY, -1) || !inRange(s.rightX, -1) ||
            !inRange(s.rightY, -1) || !inRange(s.leftTrigger, 0) || !inRange(s.rightTrigger, 0) ||
            s.pressed(PadButton::LeftTrigger) != (s.leftTrigger > PadState::kTriggerPressed) ||
            s.pressed(PadButton::RightTrigger) != (s.rightTrigger > PadState::kTriggerPressed))
            std::abort();
    }
    return 0;
}

// Fuzz target: the reader of the scripts that drive the game's scripted runs, and what it promises
// of every script it accepts (steps in range, each with its line, keys in the key table).
#include "FuzzSupport.h"
#include "config/KeyNames.h"
#include "main/GameScript.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// A run through the menu into a battle with every kind of step.
void writeSeeds(const std::string &dir) {
    std::ofstream(dir + "/seed.script") << "# the first battlefield\n"
                                           "limit 9000\n"
                                           "click 1\n"
                                           "on \"Level choice\" key enter\n"
                                           "on Battle\n"
                                           "at 120 down w   # hold\n"
                                           "+30 up w\n"
                                           "key f2\n"
                                           "drag -4 7\r\n"
                                           "click 512 300\n"
                                           "point 5 5\n"
                                           "shot one.png\n"
                                           "hash\n"
                                           "pad 1 attach a=1 lefty=-0.5\n"
                                           "+1 pad 1 detach\n"
                                           "key escape\n"
                                           "on Menu end\n";
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzz::writeSeedsWhenAsked(writeSeeds);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    GameScript script;
    std::string problem;
    const std::string text(reinterpret_cast<const char *>(data), size);
    if (!GameScript::parse(text, script, problem)) {
        if (problem.empty())
            std::abort(); // a refusal says why
        return 0;
    }
    if (script.steps.empty() || script.limit < 1 || script.limit > GameScript::kMaxTick)
        std::abort();
    const auto &screens = GameScript::screenNames();
    int line = 0;
    for (const GameScript::Step &step : script.steps) {
        if (step.line <= line || step.tick < 0 || step.tick > GameScript::kMaxTick)
            std::abort(); // steps keep the file's order, one line each at most
        line = step.line;
        if (step.when == GameScript::When::kOnScreen &&
            std::find(screens.begin(), screens.end(), step.screen) == screens.end())
            std::abort();
        const bool keyed = step.action == GameScript::Action::kKey || step.action == GameScript::Action::kDown ||
                           step.action == GameScript::Action::kUp;
        if (keyed && (step.key < 0 || step.key >= KeyNames::kTableSize))
            std::abort();
        if (std::abs(step.x) > GameScript::kMaxCoordinate || std::abs(step.y) > GameScript::kMaxCoordinate)
            std::abort();
        if (step.action == GameScript::Action::kShot && step.file.find('\0') != std::string::npos)
            std::abort();
    }
    return 0;
}

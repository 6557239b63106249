#include "input/PadScript.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

namespace {

// The whole word as a finite number; nullopt for anything else ("1x", "nan", "").
std::optional<double> number(const std::string &word) {
    double value = 0.0;
    const char *end = word.data() + word.size();
    const auto [stop, error] = std::from_chars(word.data(), end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Sets the control `name` of `state` to `text`; false with `problem` when either is wrong.
bool setControl(PadState &state, const std::string &name, const std::string &text, std::string &problem) {
    struct Axis {
        const char *name;
        float PadState::*value;
        float low;
        PadButton button; // the trigger's button, or Count for a stick
    };
    static const std::array<Axis, 6> kAxes = {{
        {"leftx", &PadState::leftX, -1.0f, PadButton::Count},
        {"lefty", &PadState::leftY, -1.0f, PadButton::Count},
        {"rightx", &PadState::rightX, -1.0f, PadButton::Count},
        {"righty", &PadState::rightY, -1.0f, PadButton::Count},
        {"lefttrigger", &PadState::leftTrigger, 0.0f, PadButton::LeftTrigger},
        {"righttrigger", &PadState::rightTrigger, 0.0f, PadButton::RightTrigger},
    }};
    for (const Axis &axis : kAxes) {
        if (name != axis.name)
            continue;
        const std::optional<double> value = number(text);
        if (!value || *value < axis.low || *value > 1.0) {
            problem = name + " must be a number from " + (axis.low < 0.0f ? "-1" : "0") + " to 1, not \"" +
                      text + "\"";
            return false;
        }
        state.*axis.value = static_cast<float>(*value);
        if (axis.button != PadButton::Count)
            state.setButton(axis.button, state.*axis.value > PadState::kTriggerPressed);
        return true;
    }
    const std::optional<PadButton> button = padButtonFromName(name);
    if (!button) {
        problem = "no pad control \"" + name + "\"";
        return false;
    }
    if (text != "0" && text != "1") {
        problem = "button " + name + " must be 0 or 1, not \"" + text + "\"";
        return false;
    }
    state.setButton(*button, text == "1");
    return true;
}

// Reads one line that holds a step into `step`; `attached` and `states` say what each pad is now
// and are brought up to date.
bool parseStep(const std::vector<std::string> &words, double earliest,
               std::array<bool, PadScript::kMaxPads> &attached,
               std::array<PadState, PadScript::kMaxPads> &states, PadScriptStep &step, std::string &problem) {
    if (words.size() < 3) {
        problem = "a step is: seconds, pad number, then attach, detach or name=value";
        return false;
    }
    const std::optional<double> seconds = number(words[0]);
    if (!seconds || *seconds < 0.0 || *seconds > PadScript::kMaxSeconds) {
        problem = "the time \"" + words[0] + "\" is not a number of seconds from 0 to 86400";
        return false;
    }
    if (*seconds < earliest) {
        problem = "the time " + words[0] + " is before the line above";
        return false;
    }
    const std::optional<double> pad = number(words[1]);
    if (!pad || *pad != std::floor(*pad) || *pad < 1.0 || *pad > PadScript::kMaxPads) {
        problem =
            "the pad \"" + words[1] + "\" is not a number from 1 to " + std::to_string(PadScript::kMaxPads);
        return false;
    }
    step.seconds = *seconds;
    step.pad = static_cast<int>(*pad);
    const std::size_t slot = static_cast<std::size_t>(step.pad - 1);

    std::size_t first = 2;
    if (words[2] == "detach") {
        if (words.size() > 3) {
            problem = "detach stands alone on its line";
            return false;
        }
        if (!attached[slot]) {
            problem = "pad " + words[1] + " is not attached";
            return false;
        }
        attached[slot] = false;
        step.kind = PadScriptStep::Kind::Detach;
        return true;
    }
    if (words[2] == "attach") {
        if (attached[slot]) {
            problem = "pad " + words[1] + " is attached already";
            return false;
        }
        attached[slot] = true;
        states[slot] = PadState{}; // a pad plugged in again starts at rest
        step.kind = PadScriptStep::Kind::Attach;
        first = 3;
    } else if (!attached[slot]) {
        problem = "pad " + words[1] + " is not attached";
        return false;
    }
    for (std::size_t w = first; w < words.size(); ++w) {
        const std::string &word = words[w];
        const std::size_t equals = word.find('=');
        if (equals == std::string::npos) {
            problem = "\"" + word + "\" is not name=value" +
                      (word == "attach" || word == "detach" ? " (" + word + " comes first on its line)" : "");
            return false;
        }
        if (!setControl(states[slot], word.substr(0, equals), word.substr(equals + 1), problem))
            return false;
    }
    step.state = states[slot];
    return true;
}

} // namespace

bool PadScript::parse(const std::string &text, PadScript &script, std::string &problem) {
    script.steps_.clear();
    std::array<bool, kMaxPads> attached{};
    std::array<PadState, kMaxPads> states{};
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    double earliest = 0.0;
    while (std::getline(lines, line)) {
        ++number;
        const std::size_t comment = line.find('#');
        if (comment != std::string::npos)
            line.erase(comment);
        std::istringstream split(line);
        const std::vector<std::string> words{std::istream_iterator<std::string>(split),
                                             std::istream_iterator<std::string>()};
        if (words.empty())
            continue;
        PadScriptStep step;
        step.line = number;
        if (!parseStep(words, earliest, attached, states, step, problem)) {
            problem = "line " + std::to_string(number) + ": " + problem;
            script.steps_.clear();
            return false;
        }
        earliest = step.seconds;
        script.steps_.push_back(step);
    }
    return true;
}

bool PadScript::load(const std::string &path, PadScript &script) {
    script.steps_.clear();
    std::ifstream file(path, std::ios::binary);
    std::string text;
    if (file) {
        text.resize(kMaxBytes + 1);
        file.read(text.data(), static_cast<std::streamsize>(text.size()));
        text.resize(static_cast<std::size_t>(file.gcount()));
    }
    std::string problem;
    if (!file && !file.eof())
        problem = "cannot be read";
    else if (text.size() > kMaxBytes)
        problem = "is larger than " + std::to_string(kMaxBytes / 1024) + " KiB";
    else if (parse(text, script, problem))
        return true;
    std::fprintf(stderr, "Error: %s: %s; no virtual pads\n", path.c_str(), problem.c_str());
    return false;
}

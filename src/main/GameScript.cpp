#include "main/GameScript.h"

#include "config/KeyNames.h"
#include "flow/GameFlow.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// A line's words; a word in double quotes may hold spaces. False for a quote left open.
bool split(const std::string &line, std::vector<std::string> &words) {
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
            ++i;
        } else if (line[i] == '"') {
            const std::size_t close = line.find('"', i + 1);
            if (close == std::string::npos)
                return false;
            words.push_back(line.substr(i + 1, close - i - 1));
            i = close + 1;
        } else {
            const std::size_t end = line.find_first_of(" \t\r\"", i);
            words.push_back(line.substr(i, end == std::string::npos ? std::string::npos : end - i));
            i = end == std::string::npos ? line.size() : end;
        }
    }
    return true;
}

// A whole number in [low, high], digits only (a sign where low is negative).
bool number(const std::string &word, long low, long high, long &out) {
    if (word.empty() || word.size() > 12)
        return false;
    std::size_t start = word[0] == '-' && low < 0 ? 1 : 0;
    if (start == word.size())
        return false;
    for (std::size_t i = start; i < word.size(); ++i)
        if (word[i] < '0' || word[i] > '9')
            return false;
    errno = 0;
    const long value = std::strtol(word.c_str(), nullptr, 10);
    if (errno != 0 || value < low || value > high)
        return false;
    out = value;
    return true;
}

int keyCode(const std::string &name) {
    if (name == "escape" || name == "Escape")
        return KeyNames::kEscape;
    const int code = KeyNames::fromValue(name);
    return code == KeyNames::kNone ? KeyNames::kNone : KeyNames::fold(code);
}

// One step's action from `words` (the action's name first); "" or what is wrong.
std::string action(const std::vector<std::string> &words, GameScript::Step &step) {
    using Action = GameScript::Action;
    const std::string &name = words[0];
    const std::size_t args = words.size() - 1;
    auto pixels = [&](Action kind, long low) -> std::string {
        long x = 0, y = 0;
        if (args != 2 || !number(words[1], low, GameScript::kMaxCoordinate, x) ||
            !number(words[2], low, GameScript::kMaxCoordinate, y))
            return "\"" + name + "\" takes two whole numbers of pixels";
        step.action = kind;
        step.x = static_cast<int>(x);
        step.y = static_cast<int>(y);
        return "";
    };
    if (name == "key" || name == "down" || name == "up") {
        if (args != 1)
            return "\"" + name + "\" takes one key name";
        step.key = keyCode(words[1]);
        if (step.key == KeyNames::kNone)
            return "\"" + words[1] + "\" is no key name";
        step.action = name == "key" ? Action::kKey : name == "down" ? Action::kDown : Action::kUp;
        return "";
    }
    if (name == "click" && args == 1) {
        long item = 0;
        if (!number(words[1], 1, 6, item))
            return "\"click\" takes a menu item from 1 to 6, or two pixel numbers";
        step.action = Action::kClickItem;
        step.x = static_cast<int>(item);
        return "";
    }
    if (name == "click")
        return pixels(Action::kClick, 0);
    if (name == "point")
        return pixels(Action::kPoint, 0);
    if (name == "drag")
        return pixels(Action::kDrag, -GameScript::kMaxCoordinate);
    if (name == "shot") {
        if (args != 1)
            return "\"shot\" takes one file name";
        const std::string &file = words[1];
        if (file.size() < 5 || file.compare(file.size() - 4, 4, ".png") != 0)
            return "\"shot\" writes a .png file, not \"" + file + "\"";
        for (char c : file)
            if (static_cast<unsigned char>(c) < 32)
                return "the file name holds a control character";
        step.action = Action::kShot;
        step.file = file;
        return "";
    }
    if (name == "pad") {
        long pad = 0;
        if (args < 2 || !number(words[1], 1, 8, pad))
            return "\"pad\" takes a pad from 1 to 8 and what it does";
        step.action = Action::kPad;
        for (std::size_t w = 1; w < words.size(); ++w)
            step.file += (w > 1 ? " " : "") + words[w];
        return "";
    }
    if ((name == "hash" || name == "end") && args == 0) {
        step.action = name == "hash" ? Action::kHash : Action::kEnd;
        return "";
    }
    if (name == "hash" || name == "end")
        return "\"" + name + "\" takes nothing after it";
    return "\"" + name + "\" is no action";
}

} // namespace

const std::vector<std::string> &GameScript::screenNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        for (int s = GameFlow::kMenu; s <= GameFlow::kNetWaiting; ++s)
            all.push_back(GameFlow::screenName(static_cast<GameFlow::Screen>(s)));
        return all;
    }();
    return names;
}

bool GameScript::parse(const std::string &text, GameScript &script, std::string &problem) {
    script = GameScript();
    std::istringstream in(text);
    std::string line;
    int lineNumber = 0;
    bool limitSet = false;
    while (std::getline(in, line)) {
        ++lineNumber;
        auto fail = [&](const std::string &why) {
            problem = "line " + std::to_string(lineNumber) + ": " + why;
            return false;
        };
        const std::size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        for (char c : line)
            if (c == '\0')
                return fail("a zero byte");
        std::vector<std::string> words;
        if (!split(line, words))
            return fail("a quote is not closed");
        if (words.empty())
            continue;
        if (words[0] == "limit") {
            if (limitSet)
                return fail("a second \"limit\"");
            if (words.size() != 2 || !number(words[1], 1, kMaxTick, script.limit))
                return fail("\"limit\" takes a number of ticks from 1 to " + std::to_string(kMaxTick));
            limitSet = true;
            continue;
        }
        Step step;
        step.line = lineNumber;
        std::size_t first = 0;
        if (words[0] == "at" || words[0][0] == '+') {
            const bool at = words[0] == "at";
            const std::string count = at ? (words.size() > 1 ? words[1] : "") : words[0].substr(1);
            if (!number(count, 0, kMaxTick, step.tick))
                return fail(at ? "\"at\" takes a tick from 0 to " + std::to_string(kMaxTick)
                               : "\"+\" takes a number of ticks");
            step.when = at ? When::kAt : When::kAfter;
            first = at ? 2 : 1;
        } else if (words[0] == "on") {
            if (words.size() < 2)
                return fail("\"on\" takes a screen's name");
            const std::vector<std::string> &names = screenNames();
            bool known = false;
            for (const std::string &name : names)
                known = known || name == words[1];
            if (!known)
                return fail("\"" + words[1] + "\" is no screen");
            step.when = When::kOnScreen;
            step.screen = words[1];
            first = 2;
        }
        if (first >= words.size() && first > 0) {
            step.action = GameScript::Action::kWait;
            script.steps.push_back(step);
            continue;
        }
        const std::string wrong = action(std::vector<std::string>(words.begin() + static_cast<long>(first), words.end()), step);
        if (!wrong.empty())
            return fail(wrong);
        script.steps.push_back(step);
    }
    if (script.steps.empty()) {
        problem = "no step";
        return false;
    }
    return true;
}

bool GameScript::read(const std::string &path, GameScript &script, std::string &problem) {
    constexpr std::streamoff kMaxBytes = 1 << 20; // a script longer than a megabyte is no test's
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        problem = "cannot be read";
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (text.tellp() > kMaxBytes) {
        problem = "longer than a megabyte";
        return false;
    }
    return parse(text.str(), script, problem);
}

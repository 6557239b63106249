#include "main/CommandLine.h"

#include "objects/PlayerInput.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr const char *kKnown =
    "known: --level FILE, --players 1-4, --headless, --seed N, --seconds S, --autopilot easy|normal|hard, "
    "--replay FILE, --host, --port N, --join ADDRESS[:PORT], --script FILE, --help, --version";

bool allDigits(const std::string &text) {
    return !text.empty() && text.size() <= 10 && text.find_first_not_of("0123456789") == std::string::npos;
}

} // namespace

bool CommandLine::take(const std::string &option, const std::string &value) {
    if (option == "--level") {
        if (value.find('/') != std::string::npos || value == "." || value == "..")
            error = "--level takes a file name in data/level/, not a path: \"" + value + "\"";
        else
            level = value;
    } else if (option == "--players") {
        if (value.size() == 1 && value[0] >= '1' && value[0] <= '0' + kMaxPlayers)
            players = value[0] - '0';
        else
            error = "--players takes 1 to " + std::to_string(kMaxPlayers) + ", not \"" + value + "\"";
    } else if (option == "--seed") {
        const unsigned long long number = allDigits(value) ? std::strtoull(value.c_str(), nullptr, 10) : ~0ull;
        if (number <= 0xffffffffull)
            seed = static_cast<std::uint32_t>(number);
        else
            error = "--seed takes a whole number from 0 to 4294967295, not \"" + value + "\"";
    } else if (option == "--seconds") {
        char *end = nullptr;
        const double number = std::strtod(value.c_str(), &end);
        if (end != nullptr && *end == '\0' && std::isfinite(number) && number > 0 && number <= kMaxSeconds)
            seconds = number;
        else
            error = "--seconds takes a number of seconds above 0 and at most 86400, not \"" + value + "\"";
    } else if (option == "--replay") {
        replay = value;
    } else if (option == "--port") {
        const unsigned long long number = allDigits(value) ? std::strtoull(value.c_str(), nullptr, 10) : 0;
        if (number >= 1 && number <= 65535)
            port = static_cast<std::uint16_t>(number);
        else
            error = "--port takes a port number from 1 to 65535, not \"" + value + "\"";
    } else if (option == "--join") {
        join = value;
    } else if (option == "--script") {
        script = value;
    } else if (option == "--autopilot") {
        autopilot = parseDifficulty(value);
        if (!autopilot)
            error = "--autopilot takes easy, normal or hard, not \"" + value + "\"";
    }
    return error.empty();
}

std::string CommandLine::usage() {
    return "Usage: panzerfeld [OPTION]...\n"
           "A 3D tank battle for up to four players, on one screen or over the network.\n"
           "\n"
           "  --level FILE            start the level FILE of the data's level/ folder at once\n"
           "  --players 1-4           human players of that battle\n"
           "  --seed N                the battle's seed (0 to 4294967295)\n"
           "  --replay FILE           watch a saved replay (with --headless: check it)\n"
           "  --host                  host a network battle on --level (with --headless: for others only)\n"
           "  --port N                the port to host on (default 24731)\n"
           "  --join ADDRESS[:PORT]   join a network battle\n"
           "  --headless              no window: the battle runs as fast as it can\n"
           "  --seconds S             headless: stop after S seconds of battle\n"
           "  --autopilot LEVEL       headless: computer players drive the human tanks (easy, normal, hard)\n"
           "  --script FILE           drive the game in its window by a script of inputs at ticks\n"
           "  --help                  show this and end\n"
           "  --version               show the version and build id and end\n"
           "Options take their value after a space or an \"=\". GLUT's own options (-display, ...) pass.\n"
           "\n"
           "Environment: PANZERFELD_DATA names the data folder; XDG_CONFIG_HOME, XDG_DATA_HOME and\n"
           "XDG_CACHE_HOME where an installed game keeps the player's files.\n"
           "See panzerfeld(6) for the keys and the files.\n";
}

CommandLine CommandLine::parse(const std::vector<std::string> &args) {
    CommandLine line;
    if (!args.empty())
        line.rest.push_back(args.front());
    for (std::size_t i = 1; i < args.size(); ++i) {
        line.help = line.help || args[i] == "--help" || args[i] == "-h";
        line.version = line.version || args[i] == "--version";
    }
    if (line.help || line.version)
        return line;
    for (std::size_t i = 1; i < args.size() && line.ok(); ++i) {
        const std::string &arg = args[i];
        if (arg.rfind("--", 0) != 0) {
            line.rest.push_back(arg);
            continue;
        }
        if (arg == "--headless") {
            line.headless = true;
            continue;
        }
        if (arg == "--host") {
            line.host = true;
            continue;
        }
        const std::size_t eq = arg.find('=');
        const std::string option = arg.substr(0, eq);
        if (option != "--level" && option != "--players" && option != "--seed" && option != "--seconds" &&
            option != "--autopilot" && option != "--replay" && option != "--port" && option != "--join" &&
            option != "--script") {
            line.error = "unknown option \"" + arg + "\" (" + kKnown + ")";
            break;
        }
        std::string value;
        if (eq != std::string::npos) {
            value = arg.substr(eq + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        }
        if (value.empty())
            line.error = option + " needs a value";
        else
            line.take(option, value);
    }
    if (line.ok() && !line.replay.empty() &&
        (!line.level.empty() || line.players != 0 || line.seed || line.seconds > 0 || line.autopilot))
        line.error = "--replay plays the recorded battle: it takes no --level, --players, --seed, --seconds or "
                     "--autopilot";
    if (line.ok() && line.host && (line.level.empty() || !line.join.empty() || !line.replay.empty()))
        line.error = "--host needs --level FILE (and takes no --join or --replay)";
    if (line.ok() && line.port != 0 && !line.host)
        line.error = "--port needs --host (a joining machine names the port in its address)";
    if (line.ok() && !line.join.empty() &&
        (line.headless || !line.level.empty() || line.players != 0 || line.seed || !line.replay.empty()))
        line.error = "--join plays the host's battle: it takes no --headless, --level, --players, --seed or --replay";
    if (line.ok() && line.host && line.headless && line.autopilot)
        line.error = "--autopilot drives the players' tanks: a headless host has none of its own";
    if (line.ok() && !line.script.empty() && (line.headless || line.host || !line.join.empty()))
        line.error = "--script drives a game in its window: it takes no --headless, --host or --join";
    if (line.ok() && line.headless && line.level.empty() && line.replay.empty())
        line.error = "--headless needs --level FILE or --replay FILE";
    if (line.ok() && !line.headless && (line.seconds > 0 || line.autopilot))
        line.error = std::string(line.seconds > 0 ? "--seconds" : "--autopilot") + " needs --headless";
    return line;
}

#include "config/Settings.h"

#include "config/GamePaths.h"
#include "config/SafeFile.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

namespace {

std::string trimmed(const std::string &s) {
    const std::size_t first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return "";
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// A whole decimal number within [low, high]; false for anything else.
bool number(const std::string &text, int low, int high, int &out) {
    if (text.empty() || text.size() > 4)
        return false;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    if (value < low || value > high)
        return false;
    out = value;
    return true;
}

// "padfire", ..., "padleave": the binding it names.
std::optional<PadBindings::Action> padAction(const std::string &key) {
    for (int a = 0; a < PadBindings::kActionCount; ++a)
        if (key == PadBindings::fileKey(static_cast<PadBindings::Action>(a)))
            return static_cast<PadBindings::Action>(a);
    return std::nullopt;
}

// "pad1" .. "pad4": the player, 0..3; -1 for any other key.
int padKeyPlayer(const std::string &key) {
    if (key.size() == 4 && key.compare(0, 3, "pad") == 0 && key[3] >= '1' && key[3] <= '4')
        return key[3] - '1';
    return -1;
}

// A line's text without its comment. A pad's identity holds "#" itself: on its line a comment
// starts only at a "#" after a blank.
std::string withoutComment(const std::string &line) {
    const std::size_t eq = line.find('=');
    const std::size_t hash = line.find('#');
    if (eq == std::string::npos || hash < eq || padKeyPlayer(trimmed(line.substr(0, eq))) < 0)
        return trimmed(line.substr(0, hash));
    std::size_t end = eq + 1;
    for (; end < line.size(); ++end)
        if (line[end] == '#' && (line[end - 1] == ' ' || line[end - 1] == '\t'))
            break;
    return trimmed(line.substr(0, end));
}

} // namespace

bool Settings::validPadId(const std::string &id) {
    if (id.empty() || id.size() > kMaxPadIdLength)
        return false;
    for (char c : id)
        if (!std::isxdigit(static_cast<unsigned char>(c)) && c != '#')
            return false;
    return true;
}

const std::string &Settings::getPadId(int player) const {
    static const std::string none;
    return player >= 0 && player < kMaxPlayers ? padIds[player] : none;
}

bool Settings::setPadId(int player, const std::string &id) {
    if (player < 0 || player >= kMaxPlayers || (!id.empty() && !validPadId(id)))
        return false;
    padIds[player] = id;
    return true;
}

std::string Settings::file() { return GamePaths::current().playerFile(GamePaths::PlayerFile::kSettings); }

std::string Settings::readableFile() {
    return GamePaths::current().readablePlayerFile(GamePaths::PlayerFile::kSettings);
}

Settings Settings::read(const std::string &path) {
    Settings settings;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return settings;
    std::stringstream buffer;
    buffer << in.rdbuf();
    std::istringstream lines(buffer.str());
    std::string line;
    std::string problem;
    int lineNumber = 0;
    while (problem.empty() && std::getline(lines, line)) {
        ++lineNumber;
        for (char c : line)
            if (static_cast<unsigned char>(c) < 32 && c != '\t' && c != '\r')
                problem = "line " + std::to_string(lineNumber) + " holds bytes that are no text";
        const std::string text = withoutComment(line);
        if (!problem.empty() || text.empty())
            continue;
        if (text == "EndConfigFile")
            break;
        const std::size_t eq = text.find('=');
        if (eq == std::string::npos) {
            problem = "line " + std::to_string(lineNumber) + " is no \"key = value\" pair";
            continue;
        }
        const std::string key = trimmed(text.substr(0, eq));
        const std::string value = trimmed(text.substr(eq + 1));
        int n = 0;
        bool ok = true;
        if (key == "shadows" && (ok = number(value, 0, 1, n)))
            settings.shadows = n != 0;
        else if (key == "lightmaps" && (ok = number(value, 0, 1, n)))
            settings.lightMaps = n != 0;
        else if (key == "framerate" && (ok = number(value, 0, 1, n)))
            settings.frameRateLine = n != 0;
        else if (key == "rendermode" && (ok = number(value, 0, 3, n)))
            settings.renderMode = n;
        else if (key == "texturequality" && (ok = number(value, 0, 1, n)))
            settings.textureQuality = n;
        else if (key == "mipmapping" && (ok = number(value, 0, 2, n)))
            settings.mipMapping = n;
        else if (key == "mute" && (ok = number(value, 0, 1, n)))
            settings.mute = n != 0;
        else if (key == "mastervolume" && (ok = number(value, 0, 100, n)))
            settings.masterVolume = n;
        else if (key == "effectsvolume" && (ok = number(value, 0, 100, n)))
            settings.effectsVolume = n;
        else if (key == "enginevolume" && (ok = number(value, 0, 100, n)))
            settings.engineVolume = n;
        else if (key == "players" && (ok = number(value, 1, kMaxPlayers, n)))
            settings.players = n;
        else if (key == "deadzone" && (ok = number(value, 0, kMaxDeadZone, n)))
            settings.deadZone = n;
        else if (key == "rumble" && (ok = number(value, 0, 1, n)))
            settings.rumble = n != 0;
        else if (padKeyPlayer(key) >= 0)
            ok = settings.setPadId(padKeyPlayer(key), value);
        else if (const std::optional<PadBindings::Action> action = padAction(key)) {
            const std::optional<PadButton> button = padButtonFromName(value);
            ok = button.has_value();
            if (ok)
                settings.padBindings.set(*action, *button);
        } else if (key == "splitscreen") {
            ok = value == "sidebyside" || value == "stacked";
            settings.splitStacked = value == "stacked";
        } else if (key == "minimap") {
            ok = value == "key" || value == "always";
            settings.miniMapAlways = value == "always";
        } else if (key == "difficulty") {
            const std::optional<AiDifficulty> named = parseDifficulty(value);
            ok = named.has_value();
            settings.difficulty = named.value_or(settings.difficulty);
        } // unknown keys are left for newer versions of the game
        if (!ok)
            problem = "key \"" + key + "\" has the value \"" + value + "\", which is out of range";
    }
    for (int a = 0; problem.empty() && a < PadBindings::kActionCount; ++a) {
        const auto action = static_cast<PadBindings::Action>(a);
        const PadBindings::Action other =
            settings.padBindings.actionFor(settings.padBindings.get(action), action);
        if (other != PadBindings::kActionCount)
            problem = std::string("the pad button \"") + padButtonName(settings.padBindings.get(action)) +
                      "\" is bound to both " + PadBindings::fileKey(action) + " and " +
                      PadBindings::fileKey(other);
    }
    if (!problem.empty()) {
        std::fprintf(stderr, "Error: %s: %s; using the default settings\n", path.c_str(), problem.c_str());
        return Settings();
    }
    return settings;
}

std::string Settings::toText() const {
    std::ostringstream out;
    out << "# Settings of Panzerfeld, written by the Options screen.\n"
        << "# Render options: 1 on, 0 off; rendermode 0 immediate, 1 display lists,\n"
        << "# 2 vertex arrays, 3 vertex buffer objects; texturequality 0 linear, 1 nearest;\n"
        << "# mipmapping 0 off, 1 nearest, 2 linear.\n"
        << "shadows = " << shadows << "\n"
        << "lightmaps = " << lightMaps << "\n"
        << "rendermode = " << renderMode << "\n"
        << "texturequality = " << textureQuality << "\n"
        << "mipmapping = " << mipMapping << "\n"
        << "# framerate: 1 shows the frame-rate line over the battle (F2 toggles it)\n"
        << "framerate = " << frameRateLine << "\n"
        << "# minimap: key (shown while the minimap key is held) or always\n"
        << "minimap = " << (miniMapAlways ? "always" : "key") << "\n"
        << "# difficulty: easy, normal or hard\n"
        << "difficulty = " << difficultyName(difficulty) << "\n"
        << "# Volumes in percent (0..100); mute 1 silences everything.\n"
        << "mastervolume = " << masterVolume << "\n"
        << "effectsvolume = " << effectsVolume << "\n"
        << "enginevolume = " << engineVolume << "\n"
        << "mute = " << mute << "\n"
        << "# players: human players of the next battle, 1 to 4 (the third and fourth play with pads)\n"
        << "players = " << players << "\n"
        << "# splitscreen: sidebyside or stacked (two players' views one above the other)\n"
        << "splitscreen = " << (splitStacked ? "stacked" : "sidebyside") << "\n"
        << "# Pads: deadzone in percent of a stick's travel (0..50); rumble 1 on, 0 off.\n"
        << "deadzone = " << deadZone << "\n"
        << "rumble = " << rumble << "\n"
        << "# The pad each player had last (pad1 is player 1's), as the game names it; empty: none.\n";
    for (int player = 0; player < kMaxPlayers; ++player)
        out << "pad" << player + 1 << " =" << (padIds[player].empty() ? "" : " " + padIds[player]) << "\n";
    out << "# Pad buttons: a b x y back guide start leftstick rightstick leftshoulder\n"
        << "# rightshoulder dpup dpdown dpleft dpright lefttrigger righttrigger; one action each.\n";
    for (int a = 0; a < PadBindings::kActionCount; ++a) {
        const auto action = static_cast<PadBindings::Action>(a);
        out << PadBindings::fileKey(action) << " = " << padButtonName(padBindings.get(action)) << "\n";
    }
    out << "EndConfigFile\n";
    return out.str();
}

bool Settings::write(const std::string &path) const {
    const std::string text = toText();
    std::string problem;
    if (replaceFileSafely(path, text.data(), text.size(), problem))
        return true;
    std::fprintf(stderr, "Error: cannot write \"%s\": %s\n", path.c_str(), problem.c_str());
    return false;
}

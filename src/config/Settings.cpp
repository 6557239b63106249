#include "config/Settings.h"

#include "config/SafeFile.h"

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

} // namespace

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
        const std::string text = trimmed(line.substr(0, line.find('#')));
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
        else if (key == "players" && (ok = number(value, 1, 2, n)))
            settings.players = n;
        else if (key == "splitscreen") {
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
        << "# minimap: key (shown while the minimap key is held) or always\n"
        << "minimap = " << (miniMapAlways ? "always" : "key") << "\n"
        << "# difficulty: easy, normal or hard\n"
        << "difficulty = " << difficultyName(difficulty) << "\n"
        << "# Volumes in percent (0..100); mute 1 silences everything.\n"
        << "mastervolume = " << masterVolume << "\n"
        << "effectsvolume = " << effectsVolume << "\n"
        << "enginevolume = " << engineVolume << "\n"
        << "mute = " << mute << "\n"
        << "# players: 1 (player one alone) or 2 (both players)\n"
        << "players = " << players << "\n"
        << "# splitscreen: sidebyside or stacked (two players' views one above the other)\n"
        << "splitscreen = " << (splitStacked ? "stacked" : "sidebyside") << "\n"
        << "EndConfigFile\n";
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

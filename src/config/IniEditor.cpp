#include "config/IniEditor.h"

#include "config/SafeFile.h"

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

std::string IniEditor::replaceValues(const std::string &text,
                                     const std::map<std::string, std::string> &values) {
    std::set<std::string> done;
    std::string out;
    std::istringstream in(text);
    std::string line;
    auto addMissing = [&]() {
        for (const auto &[key, value] : values)
            if (done.insert(key).second)
                out += key + " = " + value + "\n";
    };
    bool ended = false;
    while (std::getline(in, line)) {
        const bool cr = !line.empty() && line.back() == '\r';
        const std::string body = cr ? line.substr(0, line.size() - 1) : line;
        const std::size_t hash = body.find('#');
        const std::string pair = body.substr(0, hash);
        const std::size_t eq = pair.find('=');
        if (!ended && pair.find("EndConfigFile") != std::string::npos) {
            addMissing();
            ended = true;
        } else if (!ended && eq != std::string::npos) {
            std::string key = pair.substr(0, eq);
            key.erase(0, key.find_first_not_of(" \t"));
            key.erase(key.find_last_not_of(" \t") + 1);
            auto found = values.find(key);
            if (found != values.end() && done.insert(key).second) {
                const std::string comment = hash == std::string::npos ? "" : " " + body.substr(hash);
                const std::string lead = pair.substr(0, eq + 1);
                const bool spaced = pair.size() > eq + 1 && pair[eq + 1] == ' '; // "key = value" keeps its space
                out += lead + (spaced ? " " : "") + found->second + comment + (cr ? "\r" : "") + "\n";
                continue;
            }
        }
        out += line + "\n";
    }
    if (!ended)
        addMissing();
    return out;
}

bool IniEditor::update(const std::string &path, const std::map<std::string, std::string> &values) {
    std::ifstream in(path, std::ios::binary);
    std::string problem;
    if (!in) {
        problem = "cannot be read";
    } else {
        std::stringstream buffer;
        buffer << in.rdbuf();
        const std::string text = replaceValues(buffer.str(), values);
        if (replaceFileSafely(path, text.data(), text.size(), problem))
            return true;
    }
    std::fprintf(stderr, "Error: %s: %s\n", path.c_str(), problem.c_str());
    return false;
}

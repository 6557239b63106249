#pragma once

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

// Reads the key = value pairs of one of the game's .ini files the way the game does:
// "#" starts a comment, a line holding "EndConfigFile" ends the file, and a value goes on
// over following lines without "=" until a blank line (so a stray text line silently
// becomes part of the value before it, which the checks look for).
// `complete` tells whether the end marker was found.
inline std::map<std::string, std::string> readIniPairs(const std::filesystem::path &file,
                                                       bool *complete = nullptr) {
    auto trim = [](const std::string &s) {
        const char *ws = " \n\t\v\r\f";
        const auto first = s.find_first_not_of(ws);
        if (first == std::string::npos)
            return std::string();
        return s.substr(first, s.find_last_not_of(ws) - first + 1);
    };
    auto cut = [](const std::string &s) { return s.substr(0, s.find('#')); };
    std::map<std::string, std::string> pairs;
    if (complete)
        *complete = false;
    std::ifstream in(file);
    std::string line, ahead;
    bool haveAhead = false;
    while (haveAhead || std::getline(in, line)) {
        if (haveAhead) {
            line = ahead;
            haveAhead = false;
        }
        line = cut(line);
        if (line.find("EndConfigFile") != std::string::npos) {
            if (complete)
                *complete = true;
            break;
        }
        const auto eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        std::string value = line.substr(eq + 1);
        while (std::getline(in, ahead)) {
            if (trim(ahead).empty())
                break;
            ahead = cut(ahead);
            if (ahead.find('=') != std::string::npos || ahead.find("EndConfigFile") != std::string::npos) {
                haveAhead = true;
                break;
            }
            if (!trim(ahead).empty())
                value += "\n";
            value += ahead;
        }
        pairs[trim(line.substr(0, eq))] = trim(value);
    }
    return pairs;
}

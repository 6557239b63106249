#include "level/LevelIndex.h"

#include "config/ConfigFile.h"
#include "config/GamePaths.h"

#include <cstdio>
#include <fstream>
#include <set>

namespace {
// A bare file name of the level folder: no folder part, no hidden file, ends in ".lvl".
bool isLevelFileName(const std::string &name) {
    const std::string extension = ".lvl";
    return name.size() > extension.size() && name[0] != '.' &&
           name.find_first_of("/\\") == std::string::npos &&
           name.compare(name.size() - extension.size(), extension.size(), extension) == 0;
}
std::string levelFolder() { return GamePaths::current().data("level/"); }
} // namespace

std::string LevelIndex::file() { return GamePaths::current().data("level/levels.ini"); }

bool LevelIndex::read(const std::string &path, std::vector<Entry> &entries) {
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "Error: %s: cannot be read; every level of %s is offered\n",
                     path.c_str(), levelFolder().c_str());
        return false;
    }
    bool reported = false;
    entries = parse(in, path, &reported);
    if (!entries.empty())
        return true;
    if (!reported)
        std::fprintf(stderr, "Error: %s: names no level file; every level of %s is offered\n",
                     path.c_str(), levelFolder().c_str());
    return false;
}

std::vector<LevelIndex::Entry> LevelIndex::parse(std::istream &in, const std::string &path, bool *reported) {
    std::vector<Entry> entries;
    std::set<std::string> seen;
    std::string line, firstProblem;
    int number = 0, problems = 0;
    while (std::getline(in, line)) {
        ++number;
        const std::size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        Entry entry;
        const std::size_t equals = line.find('=');
        entry.file = line.substr(0, equals);
        if (equals != std::string::npos)
            entry.title = line.substr(equals + 1);
        ConfigFile::trim(entry.file);
        ConfigFile::trim(entry.title);
        if (entry.file.empty() && entry.title.empty())
            continue;
        std::string problem;
        if (!isLevelFileName(entry.file))
            problem = "names no level file of " + levelFolder();
        else if (!seen.insert(entry.file).second)
            problem = entry.file + " is listed twice";
        if (problem.empty()) {
            entries.push_back(entry);
        } else if (problems++ == 0) {
            firstProblem = "line " + std::to_string(number) + " " + problem;
        }
    }
    // One line for the whole file, however many of its lines are wrong.
    if (problems > 0) {
        const std::string more =
            problems > 1 ? " (and " + std::to_string(problems - 1) + " more lines)" : std::string();
        std::fprintf(stderr, "Error: %s: %s%s; left out%s\n", path.c_str(), firstProblem.c_str(), more.c_str(),
                     entries.empty() ? (", every level of " + levelFolder() + " is offered").c_str() : "");
    }
    if (reported != nullptr)
        *reported = problems > 0;
    return entries;
}

#include "level/LevelIndex.h"

#include "config/ConfigFile.h"

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
} // namespace

bool LevelIndex::read(const std::string &path, std::vector<Entry> &entries) {
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "Error: %s: cannot be read; every level of data/level/ is offered\n",
                     path.c_str());
        return false;
    }
    entries = parse(in, path);
    return true;
}

std::vector<LevelIndex::Entry> LevelIndex::parse(std::istream &in, const std::string &path) {
    std::vector<Entry> entries;
    std::set<std::string> seen;
    std::string line;
    int number = 0;
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
        if (!isLevelFileName(entry.file)) {
            std::fprintf(stderr, "Error: %s: line %d: \"%s\" is no level file name of data/level/\n",
                         path.c_str(), number, entry.file.c_str());
            continue;
        }
        if (!seen.insert(entry.file).second) {
            std::fprintf(stderr, "Error: %s: line %d: %s is listed twice\n", path.c_str(), number,
                         entry.file.c_str());
            continue;
        }
        entries.push_back(entry);
    }
    return entries;
}

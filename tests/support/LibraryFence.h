#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <string>

// Fails for every line of the sources under src/ that `include` matches in a file that
// `mayInclude` (given the path below src/) does not allow: an outside library stays in its folder.
// The build alone cannot keep it there, since the system's include folder is searched by every file.
inline void expectIncludedOnlyWhereAllowed(const std::regex &include,
                                           const std::function<bool(const std::filesystem::path &)> &mayInclude) {
    namespace fs = std::filesystem;
    const fs::path src = fs::path(PANZER_SOURCE_DIR) / "src";
    int files = 0;
    for (const fs::directory_entry &entry : fs::recursive_directory_iterator(src)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp"))
            continue;
        ++files;
        const fs::path relative = entry.path().lexically_relative(src);
        if (mayInclude(relative))
            continue;
        std::ifstream in(entry.path());
        std::string line;
        for (int number = 1; std::getline(in, line); ++number)
            EXPECT_FALSE(line.find("include") != std::string::npos && std::regex_search(line, include))
                << "src/" << relative.string() << ":" << number << ": " << line;
    }
    EXPECT_GT(files, 100); // the sources were found at all
}

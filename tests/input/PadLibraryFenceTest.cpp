#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

namespace {

namespace fs = std::filesystem;

// SDL is the pad library's business alone: outside src/input no file includes it, and inside only
// the local header of the SDL part does, so the game sees pads through PadHub and PadState only.
// (The build keeps SDL's own include folder from the rest, but <SDL2/SDL.h> would still be found.)
TEST(PadLibraryFenceTest, OnlyThePadLibraryIncludesSdl) {
    const fs::path src = fs::path(PANZER_SOURCE_DIR) / "src";
    const std::regex includesSdl(R"(^\s*#\s*include\s*[<"](SDL2/)?SDL[_.a-z0-9]*\.h[>"])");
    int files = 0;
    for (const fs::directory_entry &entry : fs::recursive_directory_iterator(src)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp"))
            continue;
        ++files;
        const fs::path relative = entry.path().lexically_relative(src);
        const bool padLibrary = *relative.begin() == "input";
        const bool mayInclude = padLibrary && (ext == ".cpp" || relative.filename() == "SdlSubsystems.h");
        std::ifstream in(entry.path());
        std::string line;
        for (int number = 1; std::getline(in, line); ++number)
            EXPECT_FALSE(!mayInclude && std::regex_search(line, includesSdl))
                << "src/" << relative.string() << ":" << number << ": " << line;
    }
    EXPECT_GT(files, 100); // the sources were found at all
}

} // namespace

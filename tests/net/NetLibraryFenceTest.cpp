#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

namespace {

namespace fs = std::filesystem;

// ENet is the network library's business alone: outside src/net no file includes it, and inside
// only EnetTransport.cpp does, so the game sees the network through Transport only and a test can
// put the simulated network in its place.
TEST(NetLibraryFenceTest, OnlyEnetTransportIncludesEnet) {
    const fs::path src = fs::path(PANZER_SOURCE_DIR) / "src";
    const std::regex includesEnet(R"(^\s*#\s*include\s*[<"]enet/)");
    int files = 0;
    for (const fs::directory_entry &entry : fs::recursive_directory_iterator(src)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp"))
            continue;
        ++files;
        const fs::path relative = entry.path().lexically_relative(src);
        const bool mayInclude = relative == fs::path("net") / "EnetTransport.cpp";
        std::ifstream in(entry.path());
        std::string line;
        for (int number = 1; std::getline(in, line); ++number)
            EXPECT_FALSE(!mayInclude && line.find("enet") != std::string::npos &&
                         std::regex_search(line, includesEnet))
                << "src/" << relative.string() << ":" << number << ": " << line;
    }
    EXPECT_GT(files, 100); // the sources were found at all
}

} // namespace

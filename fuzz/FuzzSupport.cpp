#include "FuzzSupport.h"

#include "config/GamePaths.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace fuzz {

namespace {

// The targets read the game's files as a checkout does, from data/ of whatever folder they work in.
[[maybe_unused]] const bool checkoutPaths = (GamePaths::use(GamePaths::inCheckout()), true);

} // namespace

void writeSeedsWhenAsked(void (*writeSeeds)(const std::string &folder)) {
    if (const char *dir = std::getenv("PANZER_FUZZ_WRITE_SEEDS")) {
        writeSeeds(dir);
        std::exit(0);
    }
}

const std::string &scratchDir() {
    static const std::string dir = [] {
        const std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("panzer_fuzz_" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path.string();
    }();
    return dir;
}

std::string writeScratchFile(const std::string &name, const std::uint8_t *data, std::size_t size) {
    const std::string path = scratchDir() + "/" + name;
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::perror(path.c_str());
        std::abort(); // no scratch file means no test at all: stop loudly
    }
    if (size > 0 && std::fwrite(data, 1, size, file) != size) {
        std::perror(path.c_str());
        std::abort();
    }
    std::fclose(file);
    return path;
}

} // namespace fuzz

// Fuzz target: the highscore table reader. It reads a fixed path below the working directory,
// so the target works inside its own scratch folder.
#include "FuzzSupport.h"
#include "config/ConfigFile.h"
#include "config/ConfigReader.h"
#include "menu/Highscore.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>

// Moves into the scratch folder before the fuzzer reads its corpus (hence absolute paths for it).
extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    std::filesystem::create_directories(fuzz::scratchDir() + "/data/config");
    std::filesystem::current_path(fuzz::scratchDir());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    (void)fuzz::writeScratchFile("data/config/highscore.ini", data, size);
    try {
        const Highscore table = ConfigReader::ReadHighscores();
        const HighscoreElement *elements = table.getAllHighscoreElements();
        for (int i = 0; i <= table.getSize(); ++i) {
            (void)elements[i].getPunkte();
            (void)elements[i].getName();
        }
    } catch (const ConfigFile::key_not_found &) {
        // a name without its score is refused by throwing; the menu then shows no table
    }
    return 0;
}

// Fuzz target: the level reader, fed through a file as the game reads it.
#include "FuzzSupport.h"
#include "level/Level.h"
#include "level/LevelFileReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static const LevelFileReader reader; // one reader serves every file, as in a directory scan
    const std::string path = fuzz::writeScratchFile("input.lvl", data, size);
    std::unique_ptr<Level> level = reader.readLevelFile(path);
    (void)level;
    return 0;
}

#include "net/LevelData.h"

#include "game/GameData.h"
#include "level/Level.h"
#include "math/StateHash.h"
#include "replay/DataHash.h"

std::optional<std::string> levelDataHash(const GameData &data, const std::string &levelFile) {
    const Level *level = data.getLevelOfFile(levelFile);
    if (level == nullptr)
        return std::nullopt;
    return StateHash::hex(battleDataHash(levelFile, level->getHeightMap()));
}

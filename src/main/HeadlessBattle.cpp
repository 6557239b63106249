#include "main/HeadlessBattle.h"

#include "config/GamePaths.h"
#include "game/BattleLoop.h"
#include "game/GameClass.h"
#include "level/Level.h"
#include "math/StateHash.h"
#include "replay/BuildId.h"
#include "replay/DataHash.h"
#include "replay/ReplayPlayback.h"

#include <cmath>
#include <cstdio>

Level *HeadlessBattle::readWorld(GameClass &game, const std::string &file) {
    game.setViewless(true);
    const GamePaths &paths = GamePaths::current();
    game.getData().importLevels(paths.data("level/"));
    Level *level = game.getData().getLevelOfFile(file);
    if (level == nullptr)
        return nullptr;
    game.getTextureHolder()->setTextureByString(paths.data("textures/" + level->getHeightMap()));
    game.getData().importModells(paths.data("model/"));
    game.importPowerUps();
    return level;
}

bool HeadlessBattle::playable(GameClass &game, const Replay &replay, std::string &problem) {
    if (replay.buildId != buildId()) {
        // The id ends in the physics library's version: a replay of another one says so.
        const auto physics = [](const std::string &id) {
            const std::size_t at = id.rfind("-bullet");
            return at == std::string::npos ? std::string() : id.substr(at + 7);
        };
        const std::string theirs = physics(replay.buildId), ours = physics(buildId());
        if (theirs != ours)
            problem = "recorded with another version of the physics library (Bullet " +
                      (theirs.empty() ? std::string("unknown") : theirs) + ", this game has Bullet " + ours +
                      "): its battle would not play the same";
        else
            problem = "recorded by another build of the game (" + replay.buildId + ", this is " + buildId() + ")";
        return false;
    }
    const Level *level = game.getData().getLevelOfFile(replay.levelFile);
    if (level == nullptr) {
        problem = "its level " + GamePaths::current().data("level/" + replay.levelFile) + " is not there";
        return false;
    }
    if (replay.dataHash != battleDataHash(replay.levelFile, level->getHeightMap())) {
        problem = "recorded with other data (its level, height map, models or tables differ)";
        return false;
    }
    if (replay.tickMicroseconds != static_cast<std::uint32_t>(std::lround(GameClass::kTickSeconds * 1e6))) {
        problem = "recorded with ticks of another length";
        return false;
    }
    return true;
}

int HeadlessBattle::run(GameClass &game) const {
    Level *level = game.getData().getLevelOfFile(levelFile);
    const std::string path = GamePaths::current().data("level/" + levelFile);
    if (level == nullptr) {
        std::fprintf(stderr, "Error: %s: no level was loaded from it\n", path.c_str());
        return 1;
    }
    std::printf("Headless battle: %s, %d player%s, seed %u, computer %s, autopilot %s\n", path.c_str(), players, players == 1 ? "" : "s", static_cast<unsigned>(seed),
                difficultyName(difficulty), autopilot ? difficultyName(*autopilot) : "off");
    game.getWorld().setHumanPlayers(players);
    game.getWorld().setBattleSeed(seed);
    game.getWorld().setAiDifficulty(difficulty);
    game.getWorld().setAutopilot(autopilot.has_value(), autopilot.value_or(AiDifficulty::Normal));
    if (!game.loadLevel(level)) {
        std::fprintf(stderr, "Error: %s: the level did not start\n", path.c_str());
        return 1;
    }
    BattleLoop loop(game);
    ReplayPlayback playback(replay != nullptr ? *replay : Replay());
    if (replay != nullptr) {
        loop.startReplay(playback);
        while (loop.step(0)) { // a replay's battle runs all its ticks, whatever the result
        }
    } else {
        // Nobody at the keys: an autopilot or nothing drives the human tanks.
        loop.startLocal();
        const long limit = std::lround(seconds / GameClass::kTickSeconds);
        while (game.getWorld().getTickCount() < limit && game.getWorld().getOutcome() == BattleRules::kRunning)
            loop.step(0);
    }
    report(game.getWorld(), players);
    return loop.replayDiverged() ? 1 : 0;
}

void HeadlessBattle::report(const BattleWorld &world, int players) {
    if (world.getOutcome() == BattleRules::kRunning)
        std::printf("Time ran out: no result after %.2f game seconds\n", world.getBattleSeconds());
    std::printf("Ticks: %ld (%.2f game seconds)\n", world.getTickCount(),
                static_cast<double>(world.getTickCount()) * GameClass::kTickSeconds);
    std::printf("Scores: %s\n", world.getScores().listed(players).c_str());
    std::printf("State hash: %s\n", StateHash::hex(world.stateHash()).c_str());
    std::fflush(stdout);
}

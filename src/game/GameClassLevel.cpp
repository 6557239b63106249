// Level start in the session: the world starts the level, the view prepares what it draws it with.
#include "game/GameClass.h"

#include "config/GamePaths.h"
#include "level/Level.h"

bool GameClass::loadLevel(const std::string &strLevelName) {
    Level *level = data.getLevel(strLevelName);
    return level != nullptr && loadLevel(level);
}

void GameClass::clearWorld() {
    // A new start replaces the old battle, and what the view made for it goes with it: its objects'
    // light maps, its terrain's and border's GL objects. A start of the same level makes them again.
    if (Level *currentLevel = world.getCurrentLevel(); currentLevel != nullptr && !viewless)
        view.release(*currentLevel);
    world.clear();
    exitRequested = false;
    view.setPausedOverlay(false);
    options.drawMiniMap = false; // a map key held in the last battle, or typed since, does not carry over
}

bool GameClass::loadLevel(Level *level) {
    if (level == nullptr)
        return false;
    clearWorld();
    battleSound.reset(*sound);
    std::string file = level->getLvlName();
    for (const auto &entry : data.getLevelFiles())
        if (entry.second == level)
            file = GamePaths::current().data("level/" + entry.first);
    world.start(*level, file);
    view.prepare(*level, !viewless);
    return true;
}

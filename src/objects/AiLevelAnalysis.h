#pragma once

#include <vector>

class Level;
class LvlObject;
class ObstacleGrid;
class PhysXAccess;

// Turns a started level into the computer player's obstacle grid: the playable area from the
// level's bounds, steep slopes from its height grid, and the level objects from the boxes of their
// physics bodies.
class AiLevelAnalysis {
  public:
    // Builds `grid` for `level`; false (and an empty grid) when the level has no area.
    bool makeAiObstacleMap(const Level &level, const std::vector<LvlObject *> &objects,
                           const PhysXAccess &physics, ObstacleGrid &grid) const;
};

#pragma once

#include <vector>

class ObstacleGrid;

// A point of a path on the ground, world units.
struct AiWaypoint {
    float x = 0, z = 0;
};

// Paths on the obstacle grid: A* over the eight neighbours of a cell (no corner cutting), then
// smoothed to the few waypoints a tank can drive between in straight lines. Keeps its work arrays
// between searches.
class PathFinder {
  public:
    enum Result { kFound, kNoPath, kOverBudget };

    // A path from (fromX, fromZ) to the free cell nearest (toX, toZ), expanding at most `budget`
    // cells. The waypoints start after the start point and end at the goal.
    Result find(const ObstacleGrid &grid, float fromX, float fromZ, float toX, float toZ, int budget,
                std::vector<AiWaypoint> &path);
    int getLastExpansions() const { return lastExpansions; }

  private:
    std::vector<float> cost;     // g per cell of the current search
    std::vector<int> parent;     // cell index we came from; -1 for none
    std::vector<unsigned> stamp; // search number that last touched the cell
    std::vector<unsigned char> closed;
    unsigned search = 0;    // number of the current search
    int lastExpansions = 0; // cells expanded by the last search
};

#pragma once

#include "ai/ObstacleGrid.h"
#include "ai/PathFinder.h"

#include <vector>

// The obstacle grid of the running level and the path searches over it, rationed: at most a few
// searches per step, so that many tanks asking at once are served over several steps.
class Navigator {
  public:
    static constexpr int kSearchesPerStep = 2;        // path searches allowed in one step
    static constexpr int kExpansionsPerSearch = 4000; // cells one search may expand

    ObstacleGrid &getGrid() { return grid; }
    const ObstacleGrid &getGrid() const { return grid; }
    // A new step: the ration is full again.
    void beginStep() { searchesLeft = searchesPerStep; }
    void setSearchesPerStep(int n) { searchesPerStep = n; }
    // Plans a path when the ration allows; false when the ration of this step is used up (ask again
    // next step). `found` tells whether a path exists.
    bool plan(float fromX, float fromZ, float toX, float toZ, std::vector<AiWaypoint> &path, bool &found);
    long getSearchCount() const { return searches; }

  private:
    ObstacleGrid grid;                      // the level's ground
    PathFinder finder;                      // shared work arrays
    int searchesPerStep = kSearchesPerStep; // the ration
    int searchesLeft = kSearchesPerStep;    // what is left of it in this step
    long searches = 0;                      // searches run since the start
};

#include "ai/Navigator.h"

bool Navigator::plan(float fromX, float fromZ, float toX, float toZ, std::vector<AiWaypoint> &path,
                     bool &found) {
    if (searchesLeft <= 0) {
        return false;
    }
    --searchesLeft;
    ++searches;
    if (grid.empty()) {
        // No map (a level without bounds): straight to the goal.
        path.assign(1, AiWaypoint{toX, toZ});
        found = true;
        return true;
    }
    found = finder.find(grid, fromX, fromZ, toX, toZ, kExpansionsPerSearch, path) == PathFinder::kFound;
    return true;
}

#include "ai/PathFinder.h"

#include "ai/ObstacleGrid.h"

#include <algorithm>
#include <cmath>
#include <queue>

namespace {

struct Open {
    float f;   // cost so far plus estimate
    int index; // cell
    bool operator>(const Open &o) const { return f > o.f || (f == o.f && index > o.index); }
};

constexpr std::size_t kLookAhead = 40; // cells a smoothing jump may span

float octile(int dc, int dr) {
    dc = std::abs(dc);
    dr = std::abs(dr);
    return static_cast<float>(std::max(dc, dr)) + 0.41421356f * static_cast<float>(std::min(dc, dr));
}

} // namespace

PathFinder::Result PathFinder::find(const ObstacleGrid &grid, float fromX, float fromZ, float toX, float toZ,
                                    int budget, std::vector<AiWaypoint> &path) {
    path.clear();
    lastExpansions = 0;
    const int columns = grid.getColumns();
    const int rows = grid.getRows();
    int sc, sr, gc, gr;
    if (columns == 0 || !grid.nearestWalkable(fromX, fromZ, 3, sc, sr) ||
        !grid.nearestWalkable(toX, toZ, 6, gc, gr) || grid.region(sc, sr) != grid.region(gc, gr)) {
        return kNoPath; // no search needed to know that slopes or walls part the two
    }
    const std::size_t count = static_cast<std::size_t>(columns) * rows;
    if (cost.size() != count) {
        cost.assign(count, 0.0f);
        parent.assign(count, -1);
        stamp.assign(count, 0);
        closed.assign(count, 0);
        search = 0;
    }
    ++search;
    auto touch = [&](int i) {
        if (stamp[i] != search) {
            stamp[i] = search;
            cost[i] = 1e30f;
            parent[i] = -1;
            closed[i] = 0;
        }
    };

    std::priority_queue<Open, std::vector<Open>, std::greater<Open>> open;
    const int start = sr * columns + sc;
    const int goal = gr * columns + gc;
    touch(start);
    cost[start] = 0.0f;
    open.push({octile(gc - sc, gr - sr), start});
    bool reached = false;
    while (!open.empty()) {
        const Open top = open.top();
        open.pop();
        if (closed[top.index]) {
            continue;
        }
        closed[top.index] = 1;
        if (top.index == goal) {
            reached = true;
            break;
        }
        if (++lastExpansions > budget) {
            return kOverBudget;
        }
        const int c = top.index % columns;
        const int r = top.index / columns;
        for (int dr = -1; dr <= 1; ++dr) {
            for (int dc = -1; dc <= 1; ++dc) {
                if ((dc == 0 && dr == 0) || !grid.walkable(c + dc, r + dr)) {
                    continue;
                }
                if (dc != 0 && dr != 0 && (!grid.walkable(c + dc, r) || !grid.walkable(c, r + dr))) {
                    continue; // no squeezing past a corner
                }
                const int n = (r + dr) * columns + (c + dc);
                touch(n);
                const float g = cost[top.index] + ((dc != 0 && dr != 0) ? 1.41421356f : 1.0f);
                if (g < cost[n]) {
                    cost[n] = g;
                    parent[n] = top.index;
                    open.push({g + octile(gc - (c + dc), gr - (r + dr)), n});
                }
            }
        }
    }
    if (!reached) {
        return kNoPath;
    }

    std::vector<AiWaypoint> cellsOnPath;
    for (int i = goal; i != -1; i = parent[i]) {
        AiWaypoint w;
        grid.centreOf(i % columns, i / columns, w.x, w.z);
        cellsOnPath.push_back(w);
    }
    std::reverse(cellsOnPath.begin(), cellsOnPath.end());
    // Smoothing: from each kept point, jump to the farthest later point in straight reach.
    AiWaypoint from{fromX, fromZ};
    std::size_t i = 0;
    while (i + 1 < cellsOnPath.size()) {
        std::size_t far = i + 1;
        for (std::size_t j = std::min(cellsOnPath.size() - 1, i + kLookAhead); j > i + 1; --j) {
            if (grid.straightWalk(from.x, from.z, cellsOnPath[j].x, cellsOnPath[j].z)) {
                far = j;
                break;
            }
        }
        path.push_back(cellsOnPath[far]);
        from = cellsOnPath[far];
        i = far;
    }
    if (path.empty()) {
        path.push_back(cellsOnPath.back());
    }
    return kFound;
}

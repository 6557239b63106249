#include "ai/ObstacleGrid.h"

#include <algorithm>
#include <cmath>
#include <vector>

void ObstacleGrid::build(float x0, float z0, float x1, float z1, const std::vector<AiBox> &boxes,
                         const std::function<float(float, float)> &height, float cell) {
    cellSize = cell > 0.0f ? cell : kDefaultCell;
    minX = std::min(x0, x1);
    minZ = std::min(z0, z1);
    columns = std::max(0, static_cast<int>(std::ceil((std::max(x0, x1) - minX) / cellSize)));
    rows = std::max(0, static_cast<int>(std::ceil((std::max(z0, z1) - minZ) / cellSize)));
    cells.assign(static_cast<std::size_t>(columns) * rows, kFree);
    tall.assign(cells.size(), 0);
    ground.assign(cells.size(), 0.0f);
    const float maxX = minX + columns * cellSize;
    const float maxZ = minZ + rows * cellSize;

    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            float x, z;
            centreOf(c, r, x, z);
            std::uint8_t &kind = cells[index(c, r)];
            if (height)
                ground[index(c, r)] = height(x, z);
            if (x < minX + kEdgeMargin || x > maxX - kEdgeMargin || z < minZ + kEdgeMargin ||
                z > maxZ - kEdgeMargin) {
                kind = kEdge;
                continue;
            }
            if (height) {
                // The steepest of the two slopes across the cell.
                const float h = cellSize / 2;
                const float dx = std::fabs(height(x + h, z) - height(x - h, z));
                const float dz = std::fabs(height(x, z + h) - height(x, z - h));
                if (std::max(dx, dz) > kMaxSlope * cellSize) {
                    kind = kSteep;
                }
            }
        }
    }
    for (const AiBox &box : boxes) {
        for (int pass = 0; pass < 2; ++pass) {
            // First the widened footprint (too close to drive), then the footprint itself.
            const float grow = pass == 0 ? kTankRadius : 0.0f;
            int c0, r0, c1, r1;
            cellOf(box.minX - grow, box.minZ - grow, c0, r0);
            cellOf(box.maxX + grow, box.maxZ + grow, c1, r1);
            for (int r = std::max(0, r0); r <= std::min(rows - 1, r1); ++r) {
                for (int c = std::max(0, c0); c <= std::min(columns - 1, c1); ++c) {
                    const float floor = ground[index(c, r)];
                    if (box.top - floor < kStepHeight)
                        continue; // a sheet or a kerb, driven over
                    std::uint8_t &kind = cells[index(c, r)];
                    if (pass == 0) {
                        kind = std::max<std::uint8_t>(kind, kNearObject);
                        continue;
                    }
                    kind = kObject;
                    if (box.top - floor >= kCoverHeight) {
                        tall[index(c, r)] = 1;
                    }
                }
            }
        }
    }
    findRegions();
}

// Flood fill over the free cells with the path search's own moves: eight neighbours, no squeezing
// past a corner.
void ObstacleGrid::findRegions() {
    regions.assign(cells.size(), -1);
    std::vector<int> stack;
    int next = 0;
    for (int start = 0; start < static_cast<int>(cells.size()); ++start) {
        if (cells[static_cast<std::size_t>(start)] != kFree || regions[static_cast<std::size_t>(start)] >= 0)
            continue;
        regions[static_cast<std::size_t>(start)] = next;
        stack.assign(1, start);
        while (!stack.empty()) {
            const int i = stack.back();
            stack.pop_back();
            const int c = i % columns, r = i / columns;
            for (int dr = -1; dr <= 1; ++dr)
                for (int dc = -1; dc <= 1; ++dc) {
                    if ((dc == 0 && dr == 0) || !walkable(c + dc, r + dr) ||
                        (dc != 0 && dr != 0 && (!walkable(c + dc, r) || !walkable(c, r + dr))))
                        continue;
                    int &label = regions[static_cast<std::size_t>(index(c + dc, r + dr))];
                    if (label < 0) {
                        label = next;
                        stack.push_back(index(c + dc, r + dr));
                    }
                }
        }
        ++next;
    }
}

int ObstacleGrid::region(int column, int row) const {
    return walkable(column, row) ? regions[static_cast<std::size_t>(index(column, row))] : -1;
}

int ObstacleGrid::regionNear(float x, float z, int radius) const {
    int c, r;
    return nearestWalkable(x, z, radius, c, r) ? region(c, r) : -1;
}

bool ObstacleGrid::reachable(float ax, float az, float bx, float bz) const {
    int c, r;
    cellOf(bx, bz, c, r);
    const int own = regionNear(ax, az);
    return own >= 0 && own == region(c, r);
}

ObstacleGrid::Cell ObstacleGrid::at(int column, int row) const {
    if (column < 0 || row < 0 || column >= columns || row >= rows) {
        return kEdge;
    }
    return static_cast<Cell>(cells[index(column, row)]);
}

namespace {

// A cell number for any coordinate: far outside (and not a number) lands just off the grid.
int cellNumber(float offset, float cellSize) {
    const float cell = std::floor(offset / cellSize);
    if (!(cell > -1.0e6f)) {
        return -1;
    }
    return static_cast<int>(std::min(cell, 1.0e6f));
}

} // namespace

void ObstacleGrid::cellOf(float x, float z, int &column, int &row) const {
    column = cellNumber(x - minX, cellSize);
    row = cellNumber(z - minZ, cellSize);
}

void ObstacleGrid::centreOf(int column, int row, float &x, float &z) const {
    x = minX + (column + 0.5f) * cellSize;
    z = minZ + (row + 0.5f) * cellSize;
}

bool ObstacleGrid::walkableAt(float x, float z) const {
    int c, r;
    cellOf(x, z, c, r);
    return walkable(c, r);
}

float ObstacleGrid::groundAt(float x, float z) const {
    int column, row;
    cellOf(x, z, column, row);
    if (column < 0 || row < 0 || column >= columns || row >= rows)
        return 0.0f;
    return ground[index(column, row)];
}

bool ObstacleGrid::nearestWalkable(float x, float z, int radius, int &column, int &row) const {
    int c0, r0;
    cellOf(x, z, c0, r0);
    for (int ring = 0; ring <= radius; ++ring) {
        float best = 1e30f;
        bool found = false;
        for (int r = r0 - ring; r <= r0 + ring; ++r) {
            for (int c = c0 - ring; c <= c0 + ring; ++c) {
                if (std::max(std::abs(r - r0), std::abs(c - c0)) != ring || !walkable(c, r)) {
                    continue;
                }
                float cx, cz;
                centreOf(c, r, cx, cz);
                const float d = (cx - x) * (cx - x) + (cz - z) * (cz - z);
                if (d < best) {
                    best = d;
                    column = c;
                    row = r;
                    found = true;
                }
            }
        }
        if (found) {
            return true;
        }
    }
    return false;
}

// Visits every cell the segment passes through, in order, until `visit` answers false. A line with
// a coordinate that is no number, or one it cannot follow to its end cell within the grid's size (a
// far end), is not vouched for either.
template <typename Visit>
bool ObstacleGrid::walkLine(float ax, float az, float bx, float bz, Visit visit) const {
    if (!std::isfinite(ax) || !std::isfinite(az) || !std::isfinite(bx) || !std::isfinite(bz)) {
        return false; // no line to follow
    }
    int c, r, ce, re;
    cellOf(ax, az, c, r);
    cellOf(bx, bz, ce, re);
    const float dx = bx - ax, dz = bz - az;
    const int stepC = dx > 0 ? 1 : -1, stepR = dz > 0 ? 1 : -1;
    const float inf = 1e30f;
    const float nextX = minX + (c + (dx > 0 ? 1 : 0)) * cellSize;
    const float nextZ = minZ + (r + (dz > 0 ? 1 : 0)) * cellSize;
    float tMaxX = dx != 0 ? (nextX - ax) / dx : inf;
    float tMaxZ = dz != 0 ? (nextZ - az) / dz : inf;
    const float tDeltaX = dx != 0 ? cellSize / std::fabs(dx) : inf;
    const float tDeltaZ = dz != 0 ? cellSize / std::fabs(dz) : inf;
    for (int guard = 0; guard < columns + rows + 4; ++guard) {
        if (!visit(c, r)) {
            return false;
        }
        if (c == ce && r == re) {
            return true;
        }
        if (tMaxX < tMaxZ) {
            c += stepC;
            tMaxX += tDeltaX;
        } else {
            r += stepR;
            tMaxZ += tDeltaZ;
        }
        if (std::min(tMaxX, tMaxZ) > 1.0f + 1e-4f && !(c == ce && r == re)) {
            // Rounding left the last cell behind; it is checked on the next turn.
            c = ce;
            r = re;
        }
    }
    return false; // the end cell was never reached: nothing vouches for the rest of the line
}

bool ObstacleGrid::straightWalk(float ax, float az, float bx, float bz) const {
    // The start cell is where the tank already stands: it may be close to an object.
    int ca, ra;
    cellOf(ax, az, ca, ra);
    return walkLine(ax, az, bx, bz, [&](int c, int r) { return (c == ca && r == ra) || walkable(c, r); });
}

bool ObstacleGrid::clearView(float ax, float az, float bx, float bz) const {
    int ca, ra, cb, rb;
    cellOf(ax, az, ca, ra);
    cellOf(bx, bz, cb, rb);
    return walkLine(ax, az, bx, bz, [&](int c, int r) {
        return (c == ca && r == ra) || (c == cb && r == rb) || !opaque(c, r);
    });
}

int ObstacleGrid::countCells(Cell kind) const {
    return static_cast<int>(std::count(cells.begin(), cells.end(), static_cast<std::uint8_t>(kind)));
}

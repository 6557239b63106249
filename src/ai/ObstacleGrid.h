#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// A box standing on the ground, as the obstacle grid takes level objects: its extent in x and z
// and its top, world units.
struct AiBox {
    float minX = 0, minZ = 0, maxX = 0, maxZ = 0; // footprint
    float top = 0;                                // highest point
};

// The computer player's map of the ground: a square grid over the playable area telling where a
// tank can drive (not into level objects, not up steep slopes, not over the edge) and what hides
// a tank from view. Built once at level start; read-only afterwards.
class ObstacleGrid {
  public:
    static constexpr float kDefaultCell = 2.0f; // units per cell side
    static constexpr float kTankRadius = 2.0f;  // objects are widened by this for driving
    static constexpr float kEdgeMargin = 3.0f;  // units kept free along the area's edge
    static constexpr float kMaxSlope = 0.35f;   // height change per unit a tank still climbs
    static constexpr float kCoverHeight = 1.6f; // a box this tall above the ground hides a tank
    static constexpr float kStepHeight = 0.5f;  // a box lower than this above the ground is driven over

    enum Cell : std::uint8_t { kFree = 0, kNearObject = 1, kSteep = 2, kEdge = 3, kObject = 4 };

    ObstacleGrid() = default;
    // The area [minX, maxX] x [minZ, maxZ]; `height` gives the terrain height at (x, z) (null: flat).
    void build(float minX, float minZ, float maxX, float maxZ, const std::vector<AiBox> &boxes,
               const std::function<float(float, float)> &height, float cellSize = kDefaultCell);

    bool empty() const { return cells.empty(); }
    int getColumns() const { return columns; }
    int getRows() const { return rows; }
    float getCellSize() const { return cellSize; }
    float getMinX() const { return minX; }
    float getMinZ() const { return minZ; }
    Cell at(int column, int row) const; // kEdge outside the grid
    bool walkable(int column, int row) const { return at(column, row) == kFree; }
    bool opaque(int column, int row) const { return at(column, row) == kObject && tall[index(column, row)]; }
    // Cell of a world point (may lie outside the grid) and the centre of a cell.
    void cellOf(float x, float z, int &column, int &row) const;
    void centreOf(int column, int row, float &x, float &z) const;
    bool walkableAt(float x, float z) const;
    // The terrain height at the centre of (x, z)'s cell; 0 off the grid or on flat ground.
    float groundAt(float x, float z) const;
    // The free cell nearest to (x, z) within `radius` cells; false when there is none.
    bool nearestWalkable(float x, float z, int radius, int &column, int &row) const;
    // True when a tank can drive straight from a to b (every cell the line touches after a's is free).
    // Both checks answer false for a coordinate that is no number and for a line they cannot follow
    // to b's cell within columns + rows + 4 cells (b far off the grid).
    bool straightWalk(float ax, float az, float bx, float bz) const;
    // True when no tall object cell lies on the line from a to b (the end cells excluded).
    bool clearView(float ax, float az, float bx, float bz) const;
    int countCells(Cell kind) const;
    // Free cells a tank can drive between share a region number; other cells have none (-1).
    int region(int column, int row) const;
    // The region of the free cell nearest (x, z) within `radius` cells (a tank stands on the edge of
    // a slope at times); -1 when there is none.
    int regionNear(float x, float z, int radius = 3) const;
    // True when a tank near a can drive to b's cell: both lie in one region.
    bool reachable(float ax, float az, float bx, float bz) const;

  private:
    int index(int column, int row) const { return row * columns + column; }
    void findRegions();
    template <typename Visit> bool walkLine(float ax, float az, float bx, float bz, Visit visit) const;

    float minX = 0, minZ = 0;        // corner of cell (0, 0), world units
    float cellSize = kDefaultCell;   // units per cell side
    int columns = 0, rows = 0;       // cells along x and z
    std::vector<std::uint8_t> cells; // Cell per cell, row-major
    std::vector<std::uint8_t> tall;  // 1 where an object cell hides a tank
    std::vector<float> ground;       // terrain height at each cell's centre
    std::vector<int> regions;        // region number per cell, -1 where not free
};

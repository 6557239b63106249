#pragma once

#include <cstddef>
#include <functional>
#include <vector>

// The land around the playable area, out to the horizon: the terrain's edge
// heights carried outwards and blended into rolling hills, which rise at the
// far rim above any camera so that no end of the world can be seen. Textured
// with the level's ground picture as the terrain repeats it; built once per
// level start and drawn from one display list.
class LandBorder {
  public:
    // The playable area in world units: x from left to right, z from front to back.
    struct Area {
        float left = 0, front = 0, right = 0, back = 0;
    };
    using HeightFunction = std::function<float(float x, float z)>;  // terrain height on the area's edge
    using LightFunction = std::function<float(const float *point)>; // brightness 0..1 of a world point
    // Says whether a chunk with this world box (min x, y, z; max x, y, z) may be seen.
    using ChunkFilter = std::function<bool(const float *min, const float *max)>;

    static constexpr float kCameraReach = 150.0f;  // farthest the eye may be from the area, units
    static constexpr float kRimHeight = 220.0f;    // the far rim's height; above every eye
    static constexpr float kBlendDistance = 60.0f; // units over which the edge heights become hills
    static constexpr float kHillHeight = 16.0f;    // units from the lowest to the highest hill
    static constexpr float kFirstStep = 5.0f;      // units between the first lines: the terrain's cells
    static constexpr float kStepGrowth = 1.3f;     // each line farther out is this much farther apart
    static constexpr float kFogLength = 1000.0f;   // units from the fog's start to its end
    static constexpr float kMinFogStart = 200.0f;  // units; the fog starts no nearer than this
    static constexpr float kFogToRim = 100.0f;     // units of fully fogged land before the rim rises
    static constexpr float kRimWidth = 800.0f;     // units over which the rim rises to its height
    static constexpr int kChunkLines = 8;          // grid cells per chunk side

    LandBorder() = default;
    ~LandBorder() { release(); }
    LandBorder(const LandBorder &) = delete;
    LandBorder &operator=(const LandBorder &) = delete;

    // Fog distances from the eye and the reach of the land beyond the area's
    // edge: every eye sees only fully fogged land before the rim starts rising.
    static float fogStart(const Area &area);
    static float fogEnd(const Area &area);
    static float rimStart(const Area &area); // distance from the edge where the rim starts to rise
    static float reach(const Area &area);    // distance from the edge to the outer end of the land

    // Lays out the border around `area`. `edgeLinesX` and `edgeLinesZ` are the
    // terrain's vertex positions along its edges (ascending, from the area's
    // first to its last coordinate), so that border and terrain share their
    // edge vertices; `cellSize` is the distance at which the ground picture
    // repeats. No GL context is needed.
    void build(const Area &area, const std::vector<float> &edgeLinesX, const std::vector<float> &edgeLinesZ,
               HeightFunction edgeHeight, LightFunction light, float cellSize);
    bool isBuilt() const { return built; }
    // Ground height at (x, z) outside the area (the edge's height inside it).
    float heightAt(float x, float z) const;
    const Area &getArea() const { return area; }
    int getTriangleCount() const { return static_cast<int>(indices.size() / 3); }

    // Draws the chunks of the border that `visible` accepts (all without a
    // filter), with `ground` on the active texture unit (none when 0) under
    // the current lighting; `withLight` darkens it as the light map darkens
    // the terrain's edge; with the fog off for the chunks that `fogFree`
    // accepts (HorizonFog::drawSplit). Each chunk is a display list, compiled
    // on the first draw and again when `withLight` changes.
    void draw(unsigned int ground, bool withLight, const ChunkFilter &visible,
              const ChunkFilter &fogFree = {});
    int getChunkCount() const { return static_cast<int>(chunks.size()); }
    int getLastChunksDrawn() const { return lastChunksDrawn; }
    // The chunk's display list; 0 before its first draw or after a release.
    unsigned int getChunkList(int chunk) const { return chunks.at(chunk).displayList; }
    // Forgets the display lists (freed when a window is current).
    void release();

  private:
    struct Vertex {
        float position[3];
        float normal[3];
        float ground[2];  // ground picture coordinates, repeating every cellSize units
        float brightness; // the light map's value at the nearest edge point
    };
    struct Chunk {
        std::size_t firstIndex = 0; // its triangles in `indices`
        std::size_t indexCount = 0; // three per triangle
        float min[3] = {0, 0, 0};   // world box
        float max[3] = {0, 0, 0};
        unsigned int displayList = 0; // compiled on the first draw
    };
    void compile(Chunk &chunk, bool withLight) const;

    Area area;                         // the playable area
    HeightFunction edgeHeight;         // the terrain's edge heights
    float reachUnits = 0;              // distance from the edge to the land's outer end
    std::vector<Vertex> vertices;      // the border's grid points
    std::vector<unsigned int> indices; // three per triangle, clockwise from above, chunk by chunk
    std::vector<Chunk> chunks;         // blocks of cells that are culled together
    bool built = false;
    bool listsWithLight = false; // the lists were compiled with the light
    int lastChunksDrawn = 0;     // chunks the latest draw accepted
};

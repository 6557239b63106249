#pragma once

#include <cstddef>
#include <functional>
#include <vector>

class LightMap;

// The terrain drawn in a handful of calls: the light maps of all cells in one
// atlas texture (each map framed by a copy of its edge texels, so that linear
// filtering never reaches a neighbour's map), every cell's two triangles in one
// vertex buffer (a display list per chunk where the driver has no buffers),
// and the cells grouped into square chunks that the caller may cull.
class TerrainBatch {
  public:
    // One terrain cell: corners A, B, C, D (x, y, z) and the normals at them.
    struct Quad {
        float corner[4][3];
        float normal[4][3];
    };
    // Says whether a chunk with this world box (min x, y, z; max x, y, z) may be seen.
    using ChunkFilter = std::function<bool(const float *min, const float *max)>;

    static constexpr int kChunkCells = 8;   // cells per chunk side
    static constexpr int kBorderTexels = 1; // copied edge texels around each map in the atlas

    TerrainBatch() = default;
    ~TerrainBatch(); // frees the GL objects when a GL window is current
    TerrainBatch(const TerrainBatch &) = delete;
    TerrainBatch &operator=(const TerrainBatch &) = delete;

    // Computes every cell's light map with `lightMap`, packs them into the
    // atlas and uploads the vertices. `quads` come in the level's drawing
    // order: columns along x, each of `cellsZ` cells along z.
    void build(const std::vector<Quad> &quads, int cellsX, int cellsZ, LightMap &lightMap);
    bool isBuilt() const { return built; }
    // Frees the GL objects; the next build starts afresh.
    void release();

    // Draws the chunks that `visible` accepts (all without a filter): `ground`
    // on unit 0 (none when 0) and, when `withLightMap`, the atlas on unit 1;
    // with the fog off for those that `fogFree` accepts (HorizonFog::drawSplit).
    // Client arrays, buffer bindings and unit 1 are off afterwards.
    void draw(unsigned int ground, bool withLightMap, const ChunkFilter &visible,
              const ChunkFilter &fogFree = {});

    int getChunkCount() const { return static_cast<int>(chunks.size()); }
    int getLastDrawCalls() const { return lastDrawCalls; }         // draw calls of the latest draw
    int getLastChunksDrawn() const { return lastChunksDrawn; }     // chunks the latest draw accepted
    int getLastFogFreeChunks() const { return lastFogFreeChunks; } // of those, drawn with the fog off
    int getAtlasPageCount() const { return static_cast<int>(pages.size()); }
    unsigned int getAtlasTexture(int page) const; // GL texture of an atlas page; 0 when none
    bool usesVertexBuffer() const { return vertexBuffer != 0; }

  private:
    // Interleaved vertex: position, normal, ground and light-map coordinates.
    struct Vertex {
        float position[3];
        float normal[3];
        float ground[2]; // unit 0: 0..1 across the cell, the ground picture repeats
        float light[2];  // unit 1: the cell's map inside the atlas
    };
    struct Chunk {
        int firstVertex = 0;      // first of its cells' vertices
        int vertexCount = 0;      // six per cell: two triangles
        int page = 0;             // atlas page holding its maps
        float min[3] = {0, 0, 0}; // world box
        float max[3] = {0, 0, 0};
        unsigned int displayList = 0; // without vertex buffers: the chunk as a list
    };
    struct Page {
        unsigned int texture = 0;  // GL name
        int width = 0, height = 0; // texels
    };

    void lookUpBufferFunctions();
    // Points the client arrays at `base` (null: the bound buffer); unit 0 takes the ground
    // coordinates, or the light-map ones when `groundOnUnit0` is false.
    void bindArrays(const Vertex *base, bool groundOnUnit0) const;
    void unbindArrays() const;

    std::vector<Vertex> vertices;  // kept for display lists and client arrays
    std::vector<Chunk> chunks;     // in vertex order
    std::vector<Page> pages;       // atlas pages; one unless the driver's texture size runs out
    unsigned int vertexBuffer = 0; // GL buffer of `vertices`; 0 without buffer support
    bool built = false;
    int lastDrawCalls = 0;
    int lastChunksDrawn = 0;
    int lastFogFreeChunks = 0;

    // ARB vertex-buffer entry points, looked up on the first build.
    using GenBuffersProc = void (*)(int n, unsigned int *buffers);
    using BindBufferProc = void (*)(unsigned int target, unsigned int buffer);
    using BufferDataProc = void (*)(unsigned int target, std::ptrdiff_t size, const void *data,
                                    unsigned int usage);
    using DeleteBuffersProc = void (*)(int n, const unsigned int *buffers);
    using ClientActiveTextureProc = void (*)(unsigned int unit);
    GenBuffersProc pglGenBuffersARB = nullptr;
    BindBufferProc pglBindBufferARB = nullptr;
    BufferDataProc pglBufferDataARB = nullptr;
    DeleteBuffersProc pglDeleteBuffersARB = nullptr;
    ClientActiveTextureProc pglClientActiveTextureARB = nullptr; // null: unit 1 gets no array
    ClientActiveTextureProc pglActiveTextureARB = nullptr;       // null: one texture unit only
    bool functionsLookedUp = false;
};

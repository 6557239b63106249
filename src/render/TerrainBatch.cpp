#include "render/TerrainBatch.h"

#include "render/GlExtensions.h"
#include "render/HorizonFog.h"
#include "render/LightMap.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {
constexpr int kMapSide = LightMap::kQuadMapSide;
constexpr int kSlotSide = kMapSide + 2 * TerrainBatch::kBorderTexels; // texels per map in the atlas
constexpr int kLargestPage = 4096; // texels per side; kept below what old drivers allow anyway

int powerOfTwoAtLeast(int value) {
    int result = 1;
    while (result < value) {
        result *= 2;
    }
    return result;
}

// Ground and light-map coordinates of the corners A, B, C, D: s runs along A->D, t along A->B.
const float kCornerCoords[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
// Each cell as two triangles split along A-C, as the physics splits it.
const int kTriangleCorners[6] = {0, 1, 2, 0, 2, 3};
} // namespace

TerrainBatch::~TerrainBatch() {
    release();
}

unsigned int TerrainBatch::getAtlasTexture(int page) const {
    return page >= 0 && page < static_cast<int>(pages.size()) ? pages[page].texture : 0;
}

void TerrainBatch::lookUpBufferFunctions() {
    if (functionsLookedUp) {
        return;
    }
    functionsLookedUp = true;
    pglClientActiveTextureARB =
        reinterpret_cast<ClientActiveTextureProc>(glutGetProcAddress("glClientActiveTextureARB"));
    pglActiveTextureARB = reinterpret_cast<ClientActiveTextureProc>(glutGetProcAddress("glActiveTextureARB"));
    if (!hasGlExtension("GL_ARB_vertex_buffer_object")) {
        return;
    }
    pglGenBuffersARB = reinterpret_cast<GenBuffersProc>(glutGetProcAddress("glGenBuffersARB"));
    pglBindBufferARB = reinterpret_cast<BindBufferProc>(glutGetProcAddress("glBindBufferARB"));
    pglBufferDataARB = reinterpret_cast<BufferDataProc>(glutGetProcAddress("glBufferDataARB"));
    pglDeleteBuffersARB = reinterpret_cast<DeleteBuffersProc>(glutGetProcAddress("glDeleteBuffersARB"));
}

void TerrainBatch::release() {
    if (glWindowCurrent()) {
        for (const Page &page : pages) {
            if (page.texture != 0) {
                glDeleteTextures(1, &page.texture);
            }
        }
        for (const Chunk &chunk : chunks) {
            if (chunk.displayList != 0) {
                glDeleteLists(chunk.displayList, 1);
            }
        }
        if (vertexBuffer != 0 && pglDeleteBuffersARB != nullptr) {
            pglDeleteBuffersARB(1, &vertexBuffer);
        }
    }
    pages.clear();
    chunks.clear();
    vertices.clear();
    vertexBuffer = 0;
    built = false;
}

void TerrainBatch::build(const std::vector<Quad> &quads, int cellsX, int cellsZ, LightMap &lightMap) {
    release();
    lookUpBufferFunctions();
    if (cellsX <= 0 || cellsZ <= 0 || quads.size() != static_cast<std::size_t>(cellsX) * cellsZ) {
        built = true; // nothing to draw
        return;
    }

    GLint maxTexture = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    const int pageSide = std::max(kSlotSide, std::min<int>(maxTexture > 0 ? maxTexture : 256, kLargestPage));
    const int pageCapacity = (pageSide / kSlotSide) * (pageSide / kSlotSide);

    // Chunks in order, each with the cells it holds; a chunk never spans two atlas pages.
    std::vector<std::vector<int>> chunkCells;
    std::vector<int> pageCellCounts(1, 0);
    for (int bx = 0; bx < cellsX; bx += kChunkCells) {
        for (int bz = 0; bz < cellsZ; bz += kChunkCells) {
            std::vector<int> cells;
            for (int ci = bx; ci < std::min(bx + kChunkCells, cellsX); ++ci) {
                for (int cj = bz; cj < std::min(bz + kChunkCells, cellsZ); ++cj) {
                    cells.push_back(ci * cellsZ + cj);
                }
            }
            if (pageCellCounts.back() + static_cast<int>(cells.size()) > pageCapacity) {
                pageCellCounts.push_back(0);
            }
            Chunk chunk;
            chunk.page = static_cast<int>(pageCellCounts.size()) - 1;
            pageCellCounts.back() += static_cast<int>(cells.size());
            chunks.push_back(chunk);
            chunkCells.push_back(std::move(cells));
        }
    }

    // Page sizes: a square-ish block of slots, each side a power of two.
    for (int count : pageCellCounts) {
        Page page;
        const int slotsAcross =
            static_cast<int>(std::ceil(std::sqrt(static_cast<double>(std::max(count, 1)))));
        page.width = std::min(powerOfTwoAtLeast(slotsAcross * kSlotSide), pageSide);
        const int perRow = page.width / kSlotSide;
        const int rows = (std::max(count, 1) + perRow - 1) / perRow;
        page.height = std::min(powerOfTwoAtLeast(rows * kSlotSide), pageSide);
        pages.push_back(page);
    }

    std::vector<std::vector<unsigned char>> texels(pages.size());
    for (std::size_t p = 0; p < pages.size(); ++p) {
        texels[p].assign(static_cast<std::size_t>(pages[p].width) * pages[p].height * 3, 0);
    }
    std::vector<int> slotsUsed(pages.size(), 0);
    unsigned char map[kMapSide * kMapSide * 3];
    vertices.reserve(quads.size() * 6);
    for (std::size_t c = 0; c < chunks.size(); ++c) {
        Chunk &chunk = chunks[c];
        Page &page = pages[chunk.page];
        std::vector<unsigned char> &pageTexels = texels[chunk.page];
        chunk.firstVertex = static_cast<int>(vertices.size());
        bool first = true;
        for (int cell : chunkCells[c]) {
            const Quad &quad = quads[cell];
            lightMap.computeQuadMap(quad.corner, map);
            const int slot = slotsUsed[chunk.page]++;
            const int perRow = page.width / kSlotSide;
            const int originX = (slot % perRow) * kSlotSide;
            const int originY = (slot / perRow) * kSlotSide;
            // The map with its edge texels repeated once around it.
            for (int y = 0; y < kSlotSide; ++y) {
                const int row = std::clamp(y - kBorderTexels, 0, kMapSide - 1);
                for (int x = 0; x < kSlotSide; ++x) {
                    const int column = std::clamp(x - kBorderTexels, 0, kMapSide - 1);
                    const unsigned char *from = map + (row * kMapSide + column) * 3;
                    unsigned char *to =
                        pageTexels.data() +
                        (static_cast<std::size_t>(originY + y) * page.width + originX + x) * 3;
                    to[0] = from[0];
                    to[1] = from[1];
                    to[2] = from[2];
                }
            }
            for (int k : kTriangleCorners) {
                Vertex v;
                std::copy(quad.corner[k], quad.corner[k] + 3, v.position);
                std::copy(quad.normal[k], quad.normal[k] + 3, v.normal);
                v.ground[0] = kCornerCoords[k][0];
                v.ground[1] = kCornerCoords[k][1];
                v.light[0] = (originX + kBorderTexels + kCornerCoords[k][0] * kMapSide) / page.width;
                v.light[1] = (originY + kBorderTexels + kCornerCoords[k][1] * kMapSide) / page.height;
                for (int a = 0; a < 3; ++a) {
                    chunk.min[a] = first ? v.position[a] : std::min(chunk.min[a], v.position[a]);
                    chunk.max[a] = first ? v.position[a] : std::max(chunk.max[a], v.position[a]);
                }
                first = false;
                vertices.push_back(v);
            }
        }
        chunk.vertexCount = static_cast<int>(vertices.size()) - chunk.firstVertex;
    }

    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    for (std::size_t p = 0; p < pages.size(); ++p) {
        glGenTextures(1, &pages[p].texture);
        glBindTexture(GL_TEXTURE_2D, pages[p].texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, pages[p].width, pages[p].height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                     texels[p].data());
    }
    glPopClientAttrib();

    const bool buffers = pglGenBuffersARB != nullptr && pglBindBufferARB != nullptr &&
                         pglBufferDataARB != nullptr && pglDeleteBuffersARB != nullptr;
    if (buffers) {
        pglGenBuffersARB(1, &vertexBuffer);
        pglBindBufferARB(GL_ARRAY_BUFFER_ARB, vertexBuffer);
        pglBufferDataARB(GL_ARRAY_BUFFER_ARB, static_cast<std::ptrdiff_t>(vertices.size() * sizeof(Vertex)),
                         vertices.data(), GL_STATIC_DRAW_ARB);
        pglBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    } else {
        // Without buffers each chunk becomes a display list, compiled from the client arrays.
        bindArrays(vertices.data(), true);
        for (Chunk &chunk : chunks) {
            chunk.displayList = glGenLists(1);
            glNewList(chunk.displayList, GL_COMPILE);
            glDrawArrays(GL_TRIANGLES, chunk.firstVertex, chunk.vertexCount);
            glEndList();
        }
        unbindArrays();
    }
    built = true;
}

void TerrainBatch::bindArrays(const Vertex *base, bool groundOnUnit0) const {
    // With a buffer bound the "pointers" are byte offsets into it.
    const auto at = [base](std::size_t offset) {
        return reinterpret_cast<const void *>(reinterpret_cast<std::uintptr_t>(base) + offset);
    };
    const GLsizei stride = sizeof(Vertex);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, at(offsetof(Vertex, position)));
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, stride, at(offsetof(Vertex, normal)));
    if (pglClientActiveTextureARB != nullptr) {
        pglClientActiveTextureARB(GL_TEXTURE1_ARB);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, stride, at(offsetof(Vertex, light)));
        pglClientActiveTextureARB(GL_TEXTURE0_ARB);
    }
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, stride,
                      at(groundOnUnit0 ? offsetof(Vertex, ground) : offsetof(Vertex, light)));
}

void TerrainBatch::unbindArrays() const {
    if (pglClientActiveTextureARB != nullptr) {
        pglClientActiveTextureARB(GL_TEXTURE1_ARB);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        pglClientActiveTextureARB(GL_TEXTURE0_ARB);
    }
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    if (vertexBuffer != 0) {
        pglBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    }
}

void TerrainBatch::draw(unsigned int ground, bool withLightMap, const ChunkFilter &visible,
                        const ChunkFilter &fogFree) {
    lastDrawCalls = 0;
    lastChunksDrawn = 0;
    lastFogFreeChunks = 0;
    if (!built || chunks.empty()) {
        return;
    }
    const bool multi = pglActiveTextureARB != nullptr && pglClientActiveTextureARB != nullptr;
    // One unit only: the ground alone, or the light map alone where there is no ground.
    const bool lightOnUnit0 = !multi && withLightMap && ground == 0;
    int boundPage = -1;
    auto bindPage = [&](int page) {
        if (page == boundPage || !withLightMap) {
            return;
        }
        boundPage = page;
        if (multi) {
            pglActiveTextureARB(GL_TEXTURE1_ARB);
            glBindTexture(GL_TEXTURE_2D, pages[page].texture);
            pglActiveTextureARB(GL_TEXTURE0_ARB);
        } else if (lightOnUnit0) {
            glBindTexture(GL_TEXTURE_2D, pages[page].texture);
        }
    };

    if (multi) {
        pglActiveTextureARB(GL_TEXTURE1_ARB);
        if (withLightMap) {
            glEnable(GL_TEXTURE_2D);
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        } else {
            glDisable(GL_TEXTURE_2D);
        }
        pglActiveTextureARB(GL_TEXTURE0_ARB);
    }
    if (ground != 0) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, ground);
    } else if (lightOnUnit0) {
        glEnable(GL_TEXTURE_2D);
    }

    if (vertexBuffer != 0) {
        pglBindBufferARB(GL_ARRAY_BUFFER_ARB, vertexBuffer);
        bindArrays(nullptr, !lightOnUnit0);
    } else {
        bindArrays(vertices.data(), !lightOnUnit0);
    }

    // Neighbouring chunks on one page go out in one call.
    auto drawChunks = [&](const ChunkFilter &take) {
        int runFirst = 0, runCount = 0, runPage = -1;
        auto flush = [&]() {
            if (runCount > 0) {
                bindPage(runPage);
                glDrawArrays(GL_TRIANGLES, runFirst, runCount);
                ++lastDrawCalls;
            }
            runCount = 0;
        };
        for (const Chunk &chunk : chunks) {
            if (take && !take(chunk.min, chunk.max)) {
                flush();
                continue;
            }
            ++lastChunksDrawn;
            if (vertexBuffer == 0) {
                bindPage(chunk.page);
                glCallList(chunk.displayList);
                ++lastDrawCalls;
                continue;
            }
            if (runCount > 0 && (chunk.page != runPage || chunk.firstVertex != runFirst + runCount)) {
                flush();
            }
            if (runCount == 0) {
                runFirst = chunk.firstVertex;
                runPage = chunk.page;
            }
            runCount += chunk.vertexCount;
        }
        flush();
    };
    HorizonFog::drawSplit(visible, fogFree, [&](const ChunkFilter &take) {
        const int before = lastChunksDrawn;
        drawChunks(take);
        if (!glIsEnabled(GL_FOG)) {
            lastFogFreeChunks += lastChunksDrawn - before;
        }
    });
    unbindArrays();

    if (multi) {
        pglActiveTextureARB(GL_TEXTURE1_ARB);
        glDisable(GL_TEXTURE_2D);
        pglActiveTextureARB(GL_TEXTURE0_ARB);
    }
}

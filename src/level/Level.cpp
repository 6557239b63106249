#include "level/Level.h"

#include "objects/ObjectHost.h"
#include "level/SkyBoxFace.h"
#include "physics/PhysXAccess.h"
#include "render/TextureGenerator.h"
#include "render/TextureHolder.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif

bool Level::isChallengeWord(const std::string &word) {
    for (const char *known : {"gentle", "fair", "tough", "hard", "brutal"})
        if (word == known)
            return true;
    return false;
}

namespace {
// Minification filter of the filter table for a mipmap mode and texture quality.
GLint tableFilter(int iMipMappingMode, int iTextureMode) {
    switch (iMipMappingMode) {
    case 0:
        return iTextureMode == 0 ? GL_LINEAR : GL_NEAREST;
    case 1:
        return GL_NEAREST_MIPMAP_NEAREST;
    default:
        return GL_LINEAR_MIPMAP_LINEAR;
    }
}

void normalize3(float *v) {
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length > 0.0f) {
        v[0] /= length;
        v[1] /= length;
        v[2] /= length;
    }
}
} // namespace

Level::Level() : horizonColor{kDefaultHorizon[0], kDefaultHorizon[1], kDefaultHorizon[2]} {
    for (int i = 0; i < kSkyFaces; ++i) {
        skyPictures[static_cast<std::size_t>(i)] = SkyBoxFace::all()[static_cast<std::size_t>(i)].picture;
    }
}

Level::~Level() = default;

const std::string &Level::getSkyPicture(int face) const {
    static const std::string none;
    return face >= 0 && face < kSkyFaces ? skyPictures[static_cast<std::size_t>(face)] : none;
}

void Level::setSkyPicture(int face, const std::string &s) {
    if (face >= 0 && face < kSkyFaces) {
        skyPictures[static_cast<std::size_t>(face)] = s;
    }
}

std::array<float, 4> Level::getSunPosition() const {
    float sun[3] = {kDefaultSun[0], kDefaultSun[1], kDefaultSun[2]};
    const float distance = std::sqrt(sun[0] * sun[0] + sun[1] * sun[1] + sun[2] * sun[2]);
    if (!lights.empty() && lights.front()->hasSun()) {
        const float *given = lights.front()->getSun();
        float towards[3] = {given[0], given[1], given[2]};
        normalize3(towards);
        // A sun on or below the horizon lights nothing: such a direction keeps the default.
        if (towards[1] > 0.0f && std::isfinite(towards[1])) {
            for (int i = 0; i < 3; ++i) {
                sun[i] = towards[i] * distance;
            }
        }
    }
    return {sun[0], sun[1], sun[2], 0.0f};
}

void Level::addLightSource(std::unique_ptr<LightData> light) {
    if (light) {
        lights.push_back(std::move(light));
    }
}

void Level::addObjectData(std::unique_ptr<ObjectData> object) {
    if (object) {
        objects.push_back(std::move(object));
    }
}

void Level::addVehicleData(std::unique_ptr<VehicleData> vehicle) {
    if (vehicle) {
        vehicles.push_back(std::move(vehicle));
    }
}

void Level::addMissionsZiel(std::unique_ptr<MissionsZiel> goal) {
    if (goal) {
        goals.push_back(std::move(goal));
    }
}

void Level::addLevelPowerUpData(std::unique_ptr<LevelPowerUpData> powerUp) {
    if (powerUp) {
        powerUps.push_back(std::move(powerUp));
    }
}

void Level::applyLight(LightMap &map) const {
    for (const auto &light : lights) {
        map.setLight(*light);
    }
    if (!lights.empty()) {
        const float *pos = lights.front()->getPos();
        map.setLightPosition(pos[0], pos[1], pos[2]);
    }
}

void Level::reportGridProblem(const char *problem) const {
    std::fprintf(stderr, "Error: heightmap \"%s\" of level \"%s\" %s\n", heightMap.c_str(), lvlName.c_str(),
                 problem);
}

void Level::releaseView() {
    terrainBatch.release();
    landBorder.release();
}

void Level::calculateSurfaceMesh() {
    applyLight(lightMap);
    terrainBatch.release();
    grid.clear();
    cells.clear();
    gridColumns = 0;
    gridRows = 0;
    triangleCapacity = 0;

    const float extentX = x2 - x1;
    const float extentZ = z2 - z1;
    const bool boundsUsable = std::isfinite(extentX) && std::isfinite(extentZ) && extentX >= 1.0f &&
                              extentZ >= 1.0f && extentX <= kMaxExtent && extentZ <= kMaxExtent;
    if (!boundsUsable) {
        std::fprintf(
            stderr,
            "Error: level \"%s\" has bounds x1=%g y1=%g x2=%g y2=%g; each side must span 1 to %d units, "
            "so the level has no terrain\n",
            lvlName.c_str(), x1, z1, x2, z2, kMaxExtent);
        return;
    }
    const int columns = static_cast<int>(extentX);
    const int rows = static_cast<int>(extentZ);

    TextureHolder *holder = gc != nullptr ? gc->getTextureHolder() : nullptr;
    const DevilImageDefinition *image = nullptr;
    if (holder == nullptr) {
        reportGridProblem("cannot be looked up without a game session; the ground stays flat");
    } else if (!holder->hasTexture(heightMap)) {
        reportGridProblem("is not among the loaded textures; the ground stays flat");
    } else {
        image = holder->getTextureByString(heightMap);
        std::printf("Data Color Depth: %i\n", image->getIlImageColorDepth());
        std::printf("Image format: %i\n", image->getIlImageFormat());
        std::printf("Image width: %i\n", image->getIlImageWidth());
        std::printf("Image height: %i\n", image->getIlImageHeight());
        if (!image->hasPixels() && image->getIlImageData() == nullptr) {
            // The file did not load, and its loader has said why: no second error for it.
            std::printf("The heightmap \"%s\" did not load; the ground stays flat\n", heightMap.c_str());
            image = nullptr;
        } else if (!image->hasPixels() || image->getIlImageColorDepth() != 3) {
            reportGridProblem("has no pixels of 3 bytes (RGB); the ground stays flat");
            image = nullptr;
        }
    }

    int width = 0, height = 0;
    if (image != nullptr) {
        width = image->getIlImageWidth();
        height = image->getIlImageHeight();
        char problem[256];
        if (width != height) {
            std::snprintf(problem, sizeof problem, "is %d x %d pixels, not square; heights are clamped to it",
                          width, height);
            reportGridProblem(problem);
        } else if (width != columns || height != rows) {
            std::snprintf(problem, sizeof problem,
                          "is %d x %d pixels but the bounds span %d x %d units; heights are clamped to it",
                          width, height, columns, rows);
            reportGridProblem(problem);
        }
    }
    if (columns % kCellSize != 0 || rows % kCellSize != 0) {
        char problem[256];
        std::snprintf(problem, sizeof problem,
                      "covers %d x %d units, not a multiple of %d; the last cells are cut to the grid",
                      columns, rows, kCellSize);
        reportGridProblem(problem);
    }

    // Column `columns` repeats the last pixel column and row `rows` the last
    // pixel row; clamping does the same for pictures of the wrong size.
    grid.assign(static_cast<std::size_t>(columns + 1) * static_cast<std::size_t>(rows + 1), 0);
    gridColumns = columns;
    gridRows = rows;
    if (image != nullptr) {
        const unsigned char *pixels = image->getIlImageData();
        for (int r = 0; r <= rows; ++r) {
            const int py = std::min(r, height - 1);
            for (int c = 0; c <= columns; ++c) {
                const int px = std::min(c, width - 1);
                grid[static_cast<std::size_t>(r) * (columns + 1) + c] =
                    pixels[(static_cast<std::size_t>(py) * width + px) * 3];
            }
        }
    }
    triangleCapacity = ((columns + 2) * (rows + 2) * 2) / 5;
    cells = buildCells();

    // The border shares the terrain's edge vertices, one every cell.
    const LandBorder::Area area = getPlayableArea();
    std::vector<float> linesX, linesZ;
    for (int c = 0; c < columns; c += kCellSize) {
        linesX.push_back(area.left + static_cast<float>(c));
    }
    linesX.push_back(area.left + static_cast<float>(columns));
    for (int r = 0; r < rows; r += kCellSize) {
        linesZ.push_back(area.front + static_cast<float>(r));
    }
    linesZ.push_back(area.front + static_cast<float>(rows));
    landBorder.build(
        area, linesX, linesZ, [this](float x, float z) { return getTerrainHeight(x, z); },
        [this](const float *point) { return lightMap.lightIntensity(point); }, static_cast<float>(kCellSize));
    skyHorizonDecided = false;
}

LandBorder::Area Level::getPlayableArea() const {
    LandBorder::Area area;
    area.left = -(x2 - x1) / 2.0f;
    area.front = -(z2 - z1) / 2.0f;
    area.right = area.left + static_cast<float>(gridColumns);
    area.back = area.front + static_cast<float>(gridRows);
    return area;
}

float Level::getGroundHeight(float x, float z) const {
    const LandBorder::Area area = getPlayableArea();
    if (x >= area.left && x <= area.right && z >= area.front && z <= area.back) {
        return getTerrainHeight(x, z);
    }
    return landBorder.isBuilt() ? landBorder.heightAt(x, z) : 0.0f;
}

HorizonFog::Colour Level::horizonColour() {
    if (hasChosenHorizon) {
        const HorizonFog::Colour chosen = {horizonColor[0], horizonColor[1], horizonColor[2]};
        return HorizonFog::decideColour({}, &chosen);
    }
    if (!skyHorizonDecided) {
        std::vector<HorizonFog::Picture> pictures;
        TextureHolder *holder = gc != nullptr ? gc->getTextureHolder() : nullptr;
        for (std::size_t i = 0; i < SkyBoxFace::all().size(); ++i) {
            const SkyBoxFace &face = SkyBoxFace::all()[i];
            const std::string &picture = skyPictures[i]; // the level's own sky
            const bool side = face.corner[0][1] != face.corner[3][1]; // the top and the bottom stay level
            if (holder == nullptr || !side || !holder->hasTexture(picture)) {
                continue; // only the four sides reach the horizon
            }
            const DevilImageDefinition *image = holder->getTextureByString(picture);
            if (image != nullptr && image->hasPixels()) {
                pictures.push_back({image->getIlImageData(), image->getIlImageWidth(),
                                    image->getIlImageHeight(), image->getIlImageColorDepth()});
            }
        }
        skyHorizon = HorizonFog::decideColour(pictures);
        skyHorizonDecided = true;
    }
    return skyHorizon;
}

void Level::setFog(bool on, const float *eye) {
    fogFreeFilter = nullptr;
    if (!on || grid.empty()) {
        HorizonFog::disable();
        return;
    }
    const LandBorder::Area area = getPlayableArea();
    const float start = LandBorder::fogStart(area);
    HorizonFog::enable(horizonColour(), start, LandBorder::fogEnd(area));
    if (eye != nullptr) {
        const std::array<float, 3> from = {eye[0], eye[1], eye[2]};
        fogFreeFilter = [start, from](const float *min, const float *max) {
            return HorizonFog::leavesUntouched(from.data(), start, min, max);
        };
    }
}

void Level::drawBorder(bool bLightMap) {
    if (grid.empty()) {
        return;
    }
    TextureHolder *holder = gc != nullptr ? gc->getTextureHolder() : nullptr;
    const unsigned int ground =
        holder != nullptr && !bgPicture.empty() ? holder->getTextureIDByString(bgPicture) : 0;
    landBorder.draw(ground, bLightMap, terrainFilter, fogFreeFilter);
}

int Level::getGridValue(int column, int row) const {
    if (grid.empty()) {
        return 0;
    }
    column = std::clamp(column, 0, gridColumns);
    row = std::clamp(row, 0, gridRows);
    return grid[static_cast<std::size_t>(row) * (gridColumns + 1) + column];
}

void Level::cornerNormal(int column, int row, float out[3]) const {
    // Slopes over one cell to either side, as the cells are drawn.
    const int left = std::max(column - kCellSize, 0), right = std::min(column + kCellSize, gridColumns);
    const int near = std::max(row - kCellSize, 0), far = std::min(row + kCellSize, gridRows);
    const float dx = right > left ? (getGridValue(right, row) - getGridValue(left, row)) / kHeightScale /
                                        static_cast<float>(right - left)
                                  : 0.0f;
    const float dz = far > near ? (getGridValue(column, far) - getGridValue(column, near)) / kHeightScale /
                                      static_cast<float>(far - near)
                                : 0.0f;
    out[0] = -dx;
    out[1] = 1.0f;
    out[2] = -dz;
    normalize3(out);
}

std::vector<Level::Cell> Level::buildCells() const {
    std::vector<Cell> cells;
    if (grid.empty()) {
        return cells;
    }
    // The terrain is centred on the origin whatever the bounds.
    const float left = -(x2 - x1) / 2.0f;
    const float front = -(z2 - z1) / 2.0f;
    const int cellsX = (gridColumns + kCellSize - 1) / kCellSize;
    const int cellsZ = (gridRows + kCellSize - 1) / kCellSize;
    cells.reserve(static_cast<std::size_t>(cellsX) * cellsZ);
    for (int ci = 0; ci < cellsX; ++ci) {
        const int i0 = ci * kCellSize, i1 = std::min(i0 + kCellSize, gridColumns);
        for (int cj = 0; cj < cellsZ; ++cj) {
            const int j0 = cj * kCellSize, j1 = std::min(j0 + kCellSize, gridRows);
            const int corners[4][2] = {{i0, j0}, {i1, j0}, {i1, j1}, {i0, j1}}; // A, B, C, D
            Cell cell;
            for (int k = 0; k < 4; ++k) {
                const int c = corners[k][0], r = corners[k][1];
                cell.corner[k][0] = left + static_cast<float>(c);
                cell.corner[k][1] = static_cast<float>(getGridValue(c, r)) / kHeightScale;
                cell.corner[k][2] = front + static_cast<float>(r);
                cornerNormal(c, r, cell.normal[k]);
            }
            cells.push_back(cell);
        }
    }
    return cells;
}

float Level::getTerrainHeight(float x, float z) const {
    if (grid.empty()) {
        return 0.0f;
    }
    const float u = x + (x2 - x1) / 2.0f; // grid units from the left edge
    const float w = z + (z2 - z1) / 2.0f;
    if (!(u >= 0.0f && w >= 0.0f && u <= gridColumns && w <= gridRows)) {
        return 0.0f;
    }
    // The cell that holds the point; the far edge belongs to the last cell.
    const int i0 = std::min(static_cast<int>(u), gridColumns - 1) / kCellSize * kCellSize;
    const int j0 = std::min(static_cast<int>(w), gridRows - 1) / kCellSize * kCellSize;
    const int i1 = std::min(i0 + kCellSize, gridColumns), j1 = std::min(j0 + kCellSize, gridRows);
    const float fu = std::clamp((u - i0) / static_cast<float>(i1 - i0), 0.0f, 1.0f);
    const float fw = std::clamp((w - j0) / static_cast<float>(j1 - j0), 0.0f, 1.0f);
    const float hA = getGridValue(i0, j0) / kHeightScale, hB = getGridValue(i1, j0) / kHeightScale;
    const float hC = getGridValue(i1, j1) / kHeightScale, hD = getGridValue(i0, j1) / kHeightScale;
    // The cell is split along A-C into (A, B, C) and (A, C, D), as the mesh.
    if (fu >= fw) {
        return hA + fu * (hB - hA) + fw * (hC - hB);
    }
    return hA + fw * (hD - hA) + fu * (hC - hD);
}

void Level::produceMesh() {
    meshVertices.clear();
    meshTriangles.clear();
    meshVertices.reserve(static_cast<std::size_t>(std::max(triangleCapacity, 0)) * 9);
    meshTriangles.reserve(static_cast<std::size_t>(std::max(triangleCapacity, 0)) * 3);
    static const int kTriangleCorners[6] = {0, 1, 2, 0, 2, 3}; // (A, B, C) and (A, C, D)
    for (const Cell &cell : cells) {
        const float first = static_cast<float>(getMeshVertexCount());
        for (int corner : kTriangleCorners) {
            meshVertices.insert(meshVertices.end(), cell.corner[corner], cell.corner[corner] + 3);
        }
        for (int k = 0; k < 6; ++k) {
            meshTriangles.push_back(first + static_cast<float>(k));
        }
    }
}

void Level::joinPhysics() {
    if (grid.empty() || physX == nullptr || meshHandedOver) {
        return;
    }
    if (meshPending) {
        produceMesh();
        meshPending = false;
    }
    if (gridColumns % kCellSize == 0 && gridRows % kCellSize == 0) {
        // Whole cells: a height field of the cell corners, split as the cells are drawn.
        const int columns = gridColumns / kCellSize + 1, rows = gridRows / kCellSize + 1;
        std::vector<float> heights(static_cast<std::size_t>(columns) * rows);
        for (int j = 0; j < rows; ++j) {
            for (int i = 0; i < columns; ++i) {
                heights[static_cast<std::size_t>(j) * columns + i] =
                    static_cast<float>(getGridValue(i * kCellSize, j * kCellSize)) / kHeightScale;
            }
        }
        const float centre[3] = {-(x2 - x1) / 2.0f + gridColumns / 2.0f, 0.0f,
                                 -(z2 - z1) / 2.0f + gridRows / 2.0f};
        physX->prepareHeightField(columns, rows, heights.data(), static_cast<float>(kCellSize), kMeshName,
                                  centre);
        meshHandedOver = true;
        return;
    }
    // Cut cells at the far edges: a static triangle mesh named "heightmap" at
    // the origin, scale 1, turned -90 degrees about x by the facade.
    static const float kOrigin[3] = {0.0f, 0.0f, 0.0f};
    physX->prepareTriangleMesh(getMeshVertexCount(), getMeshTriangleCount(), meshVertices.data(),
                               meshTriangles.data(), kMeshName, kOrigin, 1.0f, -90.0f);
    meshHandedOver = true;
}

void Level::drawSurface(bool /*bWireFrame*/, bool bLightMap, int /*iDrawMode*/, int iTextureMode,
                        int iMipMappingMode, bool texturing) {
    if (grid.empty()) {
        return; // no terrain yet: nothing to draw or hand over
    }
    lightMap.initial();

    unsigned int ground = 0;
    TextureHolder *holder = gc != nullptr ? gc->getTextureHolder() : nullptr;
    if (texturing && holder != nullptr && !bgPicture.empty()) {
        TextureGenerator::setMipmapGeneration(true);
        ground = holder->getTextureIDByString(bgPicture);
        TextureGenerator::setMipmapGeneration(false);
        glBindTexture(GL_TEXTURE_2D, ground);
        if (ground != mipmapCheckedTexture) {
            // A ground picture uploaded earlier without mipmaps would be
            // incomplete under a mipmap filter and draw untextured.
            GLint levelOneWidth = 0, baseWidth = 0;
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &baseWidth);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &levelOneWidth);
            groundHasMipmaps = levelOneWidth > 0 || baseWidth == 1;
            mipmapCheckedTexture = ground;
        }
        const GLint filter = tableFilter(iMipMappingMode, iTextureMode);
        const bool mipmapFilter = filter != GL_LINEAR && filter != GL_NEAREST;
        if (!mipmapFilter) {
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
        }
        glEnable(GL_TEXTURE_2D);
        GLint minFilter = groundHasMipmaps ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR;
        if (!groundHasMipmaps && iMipMappingMode == 0 && iTextureMode != 0) {
            minFilter = GL_NEAREST;
        }
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    }

    if (batchedTerrain) {
        if (!terrainBatch.isBuilt()) {
            const int cellsX = (gridColumns + kCellSize - 1) / kCellSize;
            const int cellsZ = (gridRows + kCellSize - 1) / kCellSize;
            terrainBatch.build(cells, cellsX, cellsZ, lightMap);
        }
        terrainBatch.draw(ground, bLightMap, terrainFilter, fogFreeFilter);
    } else {
        for (const Cell &cell : cells) {
            lightMap.RenderLMOnPoly4(cell.corner, ground, bLightMap, cell.normal);
        }
    }

    if (meshPending) {
        produceMesh();
        meshPending = false;
    }
    joinPhysics(); // a facade set after level start gets the terrain now

    lightMap.activatePreStepping();
    lightMap.finishSurfaces();
    if (texturing) {
        glDisable(GL_TEXTURE_2D);
    }
}

void Level::drawLvlHintergrund(int /*iDrawMode*/, int iTextureMode, int /*iMipMappingMode*/) {
    TextureHolder *holder = gc != nullptr ? gc->getTextureHolder() : nullptr;
    float camera[3] = {0.0f, 0.0f, 0.0f};
    if (gc != nullptr) {
        const std::array<float, 3> eye = gc->getCameraPos();
        std::copy(eye.begin(), eye.end(), camera);
    }

    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    // The backdrop: at the far plane, where only pixels that nothing else covers take it.
    GLint depthFunc = GL_LEQUAL;
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
    glDepthFunc(GL_LEQUAL);
    glDepthRange(1.0, 1.0);
    glDepthMask(GL_FALSE);
    glEnable(GL_TEXTURE_2D);
    glColor3f(1.0f, 1.0f, 1.0f);
    TextureGenerator::setTexWrapMode(GL_CLAMP_TO_EDGE); // sky pictures are clamped at their edges

    glPushMatrix();
    glTranslatef(camera[0], camera[1], camera[2]);
    // The sky pictures have no mipmaps: only the plain filters apply to them.
    const GLint filter = iTextureMode == 1 ? GL_NEAREST : GL_LINEAR;
    for (const SkyBoxFace &face : SkyBoxFace::all()) {
        if (holder != nullptr) {
            glBindTexture(GL_TEXTURE_2D,
                          holder->getTextureIDByString(
                              skyPictures[static_cast<std::size_t>(&face - SkyBoxFace::all().data())]));
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
        }
        glBegin(GL_QUADS);
        for (int k = 0; k < 4; ++k) {
            glTexCoord2fv(face.texCoord[k]);
            glVertex3f(face.corner[k][0] * kSkyHalfSize, face.corner[k][1] * kSkyHalfSize,
                       face.corner[k][2] * kSkyHalfSize);
        }
        glEnd();
    }
    glPopMatrix();

    glDisable(GL_TEXTURE_2D);
    TextureGenerator::setTexWrapMode(GL_REPEAT);
    glDepthMask(GL_TRUE);
    glDepthRange(0.0, 1.0);
    glDepthFunc(static_cast<GLenum>(depthFunc));
    glEnable(GL_LIGHTING);
}

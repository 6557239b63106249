#pragma once

#include "level/LandBorder.h"
#include "level/LevelPowerUpData.h"
#include "level/LightData.h"
#include "level/ObjectData.h"
#include "level/VehicleData.h"
#include "objects/MissionsZiel.h"
#include "render/HorizonFog.h"
#include "render/LightMap.h"
#include "render/TerrainBatch.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

class ObjectHost;
class PhysXAccess;

// One level as its ".lvl" file describes it, with its terrain and sky. The
// terrain is a height grid from the heightmap picture, drawn as 5 x 5 unit
// cells through the light map and handed to physics once as a static
// triangle mesh; the sky is a box of six pictures that travels with the camera.
class Level {
  public:
    static constexpr int kCellSize = 5;                   // units per terrain cell side
    static constexpr float kHeightScale = 30.0f;          // grid value per unit of height
    static constexpr float kSkyHalfSize = 200.0f;         // units from the camera to each sky face
    static constexpr int kMaxExtent = 1024;               // largest terrain side in units (pixels)
    static constexpr std::size_t kMaxVehicles = 128;      // [VEHICLE] records a level may have (a network state's most)
    static constexpr const char *kMeshName = "heightmap"; // physics body of the terrain
    static constexpr int kSkyFaces = 6;                   // up, bottom, front, left, back, right
    // Where the scene light stands when the level names no sun: high above
    // and behind the origin. Its distance is kept for any sun, so that the
    // shadow map's light frustum (near 50, far 300) still holds the terrain.
    static constexpr float kDefaultSun[3] = {-5.0f, 100.0f, -100.0f};
    // The haze at the horizon of the default sky (0xd3dee6).
    static constexpr float kDefaultHorizon[3] = {211.0f / 255.0f, 222.0f / 255.0f, 230.0f / 255.0f};

    Level();
    ~Level();
    Level(const Level &) = delete;
    Level &operator=(const Level &) = delete;

    const std::string &getLvlName() const { return lvlName; }
    void setLvlName(const std::string &s) { lvlName = s; }
    const std::string &getLvlFileName() const { return lvlFileName; }
    void setLvlFileName(const std::string &s) { lvlFileName = s; }
    const std::string &getBGPicture() const { return bgPicture; }
    void setBGPicture(const std::string &s) { bgPicture = s; }
    float getParTime() const { return parTime; }
    void setParTime(float seconds) { parTime = seconds; }
    // How hard the level is for one player alone (keys "challenge1") and for two or more together
    // ("challenge2"), as the balance benchmark measured it: "gentle", "fair", "tough", "hard" or
    // "brutal"; empty when the level file does not say.
    static bool isChallengeWord(const std::string &word);
    const std::string &getChallenge(int players) const { return challenge[players <= 1 ? 0 : 1]; }
    void setChallenge(int players, const std::string &word) { challenge[players <= 1 ? 0 : 1] = word; }
    // The sky box picture of face `face` in the order of SkyBoxFace::all();
    // by default the shared "up.png", "bottom.png", ... An index out of range
    // gives the empty name and sets nothing.
    const std::string &getSkyPicture(int face) const;
    void setSkyPicture(int face, const std::string &s);
    // Colour of the haze where land meets sky, RGB 0..1.
    const float *getHorizonColor() const { return horizonColor.data(); }
    // 0..2: r, g, b. A level that sets its colour has its fog in it; else the fog takes the sky's.
    void setHorizonColor(int component, float value) {
        horizonColor[component] = value;
        hasChosenHorizon = true;
    }
    // The scene's directional light (w = 0) as OpenGL takes it and the point
    // the shadow map's light looks from: the first [LIGHT]'s sun direction
    // at the distance of the default sun, or the default sun itself.
    std::array<float, 4> getSunPosition() const;
    const std::string &getHeightMap() const { return heightMap; }
    void setHeightMap(const std::string &s) { heightMap = s; }
    float getX1() const { return x1; }
    void setX1(float f) { x1 = f; }
    float getZ1() const { return z1; }
    void setZ1(float f) { z1 = f; }
    float getX2() const { return x2; }
    void setX2(float f) { x2 = f; }
    float getZ2() const { return z2; }
    void setZ2(float f) { z2 = f; }

    // The level takes ownership of each record; null records are ignored.
    void addLightSource(std::unique_ptr<LightData> light);
    void addObjectData(std::unique_ptr<ObjectData> object);
    void addVehicleData(std::unique_ptr<VehicleData> vehicle);
    void addMissionsZiel(std::unique_ptr<MissionsZiel> goal);
    void addLevelPowerUpData(std::unique_ptr<LevelPowerUpData> powerUp);
    const std::vector<std::unique_ptr<LightData>> &getLightDataList() const { return lights; }
    const std::vector<std::unique_ptr<ObjectData>> &getObjectDataList() const { return objects; }
    const std::vector<std::unique_ptr<VehicleData>> &getVehicleDataList() const { return vehicles; }
    const std::vector<std::unique_ptr<MissionsZiel>> &getMissionsZieleList() const { return goals; }
    const std::vector<std::unique_ptr<LevelPowerUpData>> &getLevelPowerUps() const { return powerUps; }

    void setGC(ObjectHost *game) { gc = game; }
    void setPhysXAccess(PhysXAccess *physics) { physX = physics; }
    void makeLight() {} // level lights are kept as records only

    // Builds the height grid from the heightmap picture of the session's
    // texture registry and gives the terrain's light map the level's light.
    // A picture that is missing, not 3 bytes per pixel, not
    // square or not matching the bounds is reported with an "Error: " line;
    // the grid then takes the bounds' size with heights clamped to the picture
    // (or flat without one). Bounds that cannot hold a terrain leave it empty.
    void calculateSurfaceMesh();

    // Produces the physics mesh and hands the terrain to the physics facade,
    // once; the session calls it at level start, so that a world without a
    // window has its ground. Nothing happens without a grid or a facade.
    void joinPhysics();

    // Draws the terrain: in a few calls from one vertex buffer with the light
    // maps in one atlas, whatever the render mode (or, with the batch switched
    // off, cell by cell as a reference). A terrain not yet handed to physics
    // is handed over here. `bWireFrame` and `iDrawMode` are not used: the
    // caller sets the polygon mode.
    void drawSurface(bool bWireFrame, bool bLightMap, int iDrawMode, int iTextureMode, int iMipMappingMode,
                     bool texturing);
    // Draws the sky box around the camera as the backdrop of the frame: at the
    // far plane and without depth writes, so it fills only what no land or
    // object covers, however far away they are. `iDrawMode` is not used.
    void drawLvlHintergrund(int iDrawMode, int iTextureMode, int iMipMappingMode);

    // The land beyond the playable area out to the horizon, with the ground
    // picture; drawn after the terrain, outside the shadow pass. The terrain
    // filter culls its chunks too.
    void drawBorder(bool bLightMap);
    const LandBorder &getLandBorder() const { return landBorder; }
    // The playable area: the terrain, centred on the origin.
    LandBorder::Area getPlayableArea() const;
    // Ground height at world (x, z): the terrain inside the playable area, the border outside.
    float getGroundHeight(float x, float z) const;
    // The fog that blends the border into the sky, in the sky's horizon colour
    // (`horizonColour`), switched on for the scene and off before the effects.
    // Given the `eye` it counts from, the land draws its chunks that lie wholly
    // nearer than the fog's start without it (they look the same).
    void setFog(bool on, const float *eye = nullptr);
    // The colour where land and sky meet: the level's own when set, else the
    // sky pictures' horizon band (decided once per level start).
    HorizonFog::Colour horizonColour();

    // Height grid: (columns + 1) x (rows + 1) values, row-major; the last
    // column and row repeat their neighbours. Values 0..255, height = value / 30.
    int getGridColumns() const { return gridColumns; } // heightmap pixels along x
    int getGridRows() const { return gridRows; }       // heightmap pixels along z
    bool hasGrid() const { return !grid.empty(); }
    int getGridValue(int column, int row) const; // clamped to the grid; 0 without one
    // Terrain height in units at world (x, z), interpolated as the cells are
    // drawn; 0 outside the terrain or without a grid.
    float getTerrainHeight(float x, float z) const;
    int getTriangleCapacity() const { return triangleCapacity; }

    // Physics mesh, produced by the first drawSurface: three floats per
    // vertex, and per triangle three vertex indices stored as floats.
    bool isMeshPending() const { return meshPending; }
    // The physics body of the terrain was released (a new level start): hand the mesh over again.
    void resetTerrainMesh() { meshHandedOver = false; }
    // Another level starts: frees what drawing this one made in GL (the terrain's atlas, vertex
    // buffer and chunk lists, the border's lists). Should it be shown again, its next draw makes them anew.
    void releaseView();
    bool isMeshHandedOver() const { return meshHandedOver; }
    const std::vector<float> &getMeshVertices() const { return meshVertices; }
    const std::vector<float> &getMeshTriangles() const { return meshTriangles; }
    int getMeshVertexCount() const { return static_cast<int>(meshVertices.size() / 3); }
    int getMeshTriangleCount() const { return static_cast<int>(meshTriangles.size() / 3); }

    // Culls the terrain's chunks while drawing: a chunk is drawn when `filter`
    // accepts its world box. An empty filter draws them all.
    void setTerrainFilter(TerrainBatch::ChunkFilter filter) { terrainFilter = std::move(filter); }
    // Batched drawing (the default) or the cell-by-cell reference.
    void setBatchedTerrain(bool on) { batchedTerrain = on; }
    const TerrainBatch &getTerrainBatch() const { return terrainBatch; }

    LightMap &getLightMap() { return lightMap; }
    // Gives `map` the level's lights; the first one, when the file has any,
    // becomes the light whose distance darkens the terrain and the objects.
    // Without lights the light map keeps its own default light.
    void applyLight(LightMap &map) const;

  private:
    // One terrain cell: its four corners A, B, C, D (x, height, z) and the
    // normals of the relief at them.
    using Cell = TerrainBatch::Quad;
    std::vector<Cell> buildCells() const;
    void cornerNormal(int column, int row, float out[3]) const;
    void produceMesh();
    void reportGridProblem(const char *problem) const;

    std::string lvlName;                                // registry key; the menu starts "lvl1.lvl"
    std::string lvlFileName;                            // stored only
    float parTime = 300;                                // seconds a good player needs; the score's time bonus
    std::string challenge[2];                           // for one player, for more; empty: not rated
    std::string bgPicture;                              // ground picture: terrain cells and minimap
    bool meshPending = true;                            // the physics mesh is still to be produced
    bool meshHandedOver = false;                        // the physics facade has the mesh
    float x1 = 0, z1 = 0;                               // lower bounds, units; the file gives them
    float x2 = 0, z2 = 0;                               // upper bounds, units
    std::string heightMap;                              // heightmap picture name
    std::array<std::string, kSkyFaces> skyPictures;     // sky box pictures, SkyBoxFace order
    std::array<float, 3> horizonColor;                  // haze at the horizon, RGB 0..1
    int triangleCapacity = 0;                           // sizes the physics mesh buffers
    std::vector<int> grid;                              // height values, row length gridColumns + 1
    std::vector<Cell> cells;                            // terrain cells in drawing order, built with the grid
    int gridColumns = 0;                                // cells of one unit along x
    int gridRows = 0;                                   // cells of one unit along z
    std::vector<std::unique_ptr<LightData>> lights;     // [LIGHT] records
    std::vector<std::unique_ptr<ObjectData>> objects;   // [OBJECT] records
    std::vector<std::unique_ptr<VehicleData>> vehicles; // [VEHICLE] records
    std::vector<std::unique_ptr<MissionsZiel>> goals;   // goals; the session refers to them
    std::vector<std::unique_ptr<LevelPowerUpData>> powerUps; // POWERUP records
    ObjectHost *gc = nullptr;                                // session: textures and camera; not owned
    PhysXAccess *physX = nullptr;                            // takes the terrain mesh; not owned
    LightMap lightMap;                                       // computes the terrain's light maps
    TerrainBatch terrainBatch;                               // the terrain in few draws, built on first draw
    TerrainBatch::ChunkFilter terrainFilter;                 // which chunks may be seen; empty: all
    TerrainBatch::ChunkFilter fogFreeFilter;                 // chunks the fog leaves untouched; empty: none
    bool batchedTerrain = true;                              // false: cell by cell (the reference)
    std::vector<float> meshVertices;                         // x, y, z per vertex
    std::vector<float> meshTriangles;                        // three vertex indices per triangle, as floats
    LandBorder landBorder;                                   // the land beyond the terrain's edges
    bool hasChosenHorizon = false;                           // the level gave horizonColor
    HorizonFog::Colour skyHorizon{};                         // decided from the sky pictures
    bool skyHorizonDecided = false;                          // skyHorizon is valid for this start
    unsigned int mipmapCheckedTexture = 0; // ground texture whose mipmap levels were checked
    bool groundHasMipmaps = false;         // that texture has its mipmap levels
};

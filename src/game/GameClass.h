#pragma once

#include "config/ConfigReader.h"
#include "config/PlayerConfig.h"
#include "level/Level.h"
#include "physics/PhysXAccess.h"
#include "render/DisplayListHolder.h"
#include "render/Font.h"
#include "render/Md2Model.h"
#include "render/TextureHolder.h"

#include <array>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class Fahrzeug;

// The running game session: the registries the whole game draws on, the
// camera, the render and display options the function keys toggle, and a
// short-lived status message. One instance lives for the whole run.
class GameClass {
  public:
    // Render paths handed to every draw call.
    enum RenderMode { kImmediate = 0, kDisplayLists = 1, kVertexArrays = 2, kVertexBufferObjects = 3 };

    static constexpr float kStatusMessageSeconds = 2.0f;

    GameClass(); // reads the vehicle and weapon tables from data/config/
    ~GameClass();
    GameClass(const GameClass &) = delete;
    GameClass &operator=(const GameClass &) = delete;

    // Start-up registries; each directory name ends with a slash.
    bool importTextures(const std::string &strDirName);

    TextureHolder *getTextureHolder() { return &textures; }
    Font *getFont() { return &font; }
    const CFahrzeugTypDaten *getFahrzeugDatenTyp(const std::string &name) const;
    const ConfigReader::WeaponMap &getWeapons() const { return *weaponTypes; }

    // Camera: pitch and yaw in degrees, distance in units.
    void setAngleX(float angle); // only pitches within [-80, -10] are taken
    float getAngleX() const { return angleX; }
    void setAngleY(float angle) { angleY = angle; }
    void addAngleY(float angle) { angleY += angle; }
    float getAngleY() const { return angleY; }
    void setCamDistance(float distance) { camDistance = distance; }
    float getCamDistance() const { return camDistance; }
    void calcViewPos(float extraYaw);
    const std::array<float, 3> &getViewPos() const { return viewPos; }
    void setViewPosX(float dx) { viewPos[0] += dx; }
    void setViewPosY(float dy) { viewPos[1] += dy; }
    void setViewPosZ(float) {}                 // the orbit camera owns z
    std::array<float, 3> getCameraPos() const; // eye position in the world

    void setFps(double fps) { dFps = fps; }
    double getFps() const { return dFps; }
    void setResolution(int width, int height);
    int getWidth() const { return iWidth; }
    int getHeight() const { return iHeight; }
    void setPause(bool pause) { bPause = pause; }
    bool getPause() const { return bPause; }
    void setExitVar(bool exit) { exitRequested = exit; }
    bool getExitVar() const { return exitRequested; }
    void setPlayerConfig(const PlayerConfig *config) { playerConfig = config; }

    // Options toggled by the function keys. Each setter prints its console
    // line; most also show a status message for two seconds.
    void setUseShadowmap(bool on);
    bool getUseShadowmap() const { return useShadowmap; }
    void setUseLightmap(bool on);
    bool getUseLightmap() const { return useLightmap; }
    void setUseParticleEngine(bool on);
    bool getUseParticleEngine() const { return useParticleEngine; }
    void setUseComplexParticleEngine(bool on);
    bool getUseComplexParticleEngine() const { return useComplexParticleEngine; }
    void setUseMipMapping(bool on);
    bool getUseMipMapping() const { return useMipMapping; }
    void setUseDisplayLists(bool on);
    bool getUseDisplayLists() const { return useDisplayLists; }
    void setDrawMiniMap(bool on);
    bool getDrawMiniMap() const { return drawMiniMap; }
    void setDisplayHelp(bool on);
    bool getDisplayHelp() const { return displayHelp; }
    void setDisplayFPS(bool on);
    bool getDisplayFPS() const { return displayFPS; }
    void setShowWireFrame(bool on);
    bool getShowWireFrame() const { return showWireFrame; }
    void setUseFrustumCulling(bool on);
    bool getUseFrustumCulling() const { return useFrustumCulling; }
    void setTransparenz(bool on);
    bool getTransparenz() const { return transparenz; }
    void changeTextureQuality();    // linear <-> nearest
    void changeMipMappingQuality(); // off -> nearest -> linear -> off
    void changeRenderMode();        // immediate -> lists -> arrays -> buffers -> immediate
    int getRenderMode() const { return renderMode; }
    int getTextureQuality() const { return textureQuality; }
    int getMipMappingMode() const { return mipMappingMode; }

    // Dispatches a function key (1 = F1 ... 11 = F11) to its option toggle.
    void toggleOption(int functionKey);

    const std::string &getStatusMessage() const { return statusMessage; }
    float getStatusMessageTime() const { return statusMessageTime; }
    void countDownStatusMessage(float dt);

  private:
    void setStatusMessage(const std::string &text);
    void setOption(bool &option, bool on, const char *onText, const char *offText, bool showStatus);

    std::unique_ptr<ConfigReader::FahrzeugTypMap> fahrzeugTypes; // vehicle type name -> type
    std::unique_ptr<ConfigReader::WeaponMap> weaponTypes;        // weapon name -> weapon

    std::array<float, 3> viewPos{20, 70, 50}; // camera offset from its target
    float camDistance = 0;                    // units from the target
    float angleX = 0;                         // pitch, degrees
    float angleY = 0;                         // yaw, degrees
    double dFps = 0;                          // frames per second shown by the overlay
    bool bPause = false;
    int iWidth = 0, iHeight = 0;                // window size, pixels
    const PlayerConfig *playerConfig = nullptr; // zoom keys; not owned

    Font font;              // overlay text
    TextureHolder textures; // every image by bare file name

    bool useShadowmap = true;
    bool useLightmap = true;
    bool useParticleEngine = true;
    bool useMipMapping = true;
    bool drawMiniMap = false;
    bool showStats = true;
    bool useComplexParticleEngine = true;
    bool missionComplete = false;
    bool exitRequested = false;
    std::string statusMessage;   // shown while statusMessageTime > 0
    float statusMessageTime = 0; // seconds left
    bool displayHelp = false;
    bool displayFPS = true;
    bool showWireFrame = false;
    bool useFrustumCulling = true;
    bool transparenz = false;
    int renderMode = kDisplayLists;
    int textureQuality = 0; // 0 linear, 1 nearest
    int mipMappingMode = 1; // 0 off, 1 nearest, 2 linear
    bool useDisplayLists = true;
    int cameraMode = 2; // follows the player-1 vehicle

    // ---- Level and model registries, filled at start-up (GameClassImport.cpp) ----
  public:
    using LevelMap = std::map<std::string, std::unique_ptr<Level>>;

    // Reads every "*.lvl" file of the directory, in name order, hidden files
    // skipped. A file that yields no level prints "Load failed"; the scan goes
    // on and the result is false. A level name already taken keeps its first level.
    bool importLevels(const std::string &strDirName);
    Level *getLevel(const std::string &name) const; // null when absent
    const LevelMap &getLevels() const { return levels; }

    using ModelMap = std::unordered_map<std::string, std::unique_ptr<Md2Model>>;
    // Reads every "*.md2" file of the directory, in name order, hidden files
    // skipped; a model that fails to load is not registered. Returns true.
    bool importModells(const std::string &strDirName);
    Md2Model *getModell(const std::string &name) const; // null when absent
    const ModelMap &getModells() const { return models; }

    // Level start, for one object of `level`: computes its light map with
    // `lightMap` under the level's light, prints the object name followed by
    // "light" and registers the image under that name. False (and nothing
    // done) when the object's model is not in the registry.
    bool registerObjectLightMap(LightMap &lightMap, const Level &level, const ObjectData &object);

  private:
    LevelMap levels; // level name -> level, owned until the program ends
    ModelMap models; // model file name -> model, owned

    // ---- What the game objects reach through their session ----
  public:
    DisplayListHolder *getDisplayListHolder() { return &displayLists; }
    PhysXAccess *getPhysXAccess() { return &physX; }
    // Compiles `mdl` into display list `dlID`; a null model compiles nothing.
    void createList(unsigned int dlID, Md2Model *mdl);
    std::vector<Fahrzeug *> &getFahrzeugvektor() { return fahrzeuge; }
    Fahrzeug *getPlayer1Vehicle() const { return player1Vehicle; }
    void setPlayer1Vehicle(Fahrzeug *vehicle) { player1Vehicle = vehicle; }

  private:
    DisplayListHolder displayLists;     // one GL display list per model name
    PhysXAccess physX;                  // the physics facade
    std::vector<Fahrzeug *> fahrzeuge;  // vehicles of the running level
    Fahrzeug *player1Vehicle = nullptr; // camera target; not owned here
};

#pragma once

#include "audio/SilentSound.h"
#include "audio/SoundSystem.h"
#include "config/ConfigReader.h"
#include "config/PlayerConfig.h"
#include "game/BattleSound.h"
#include "game/BattleWorld.h"
#include "game/OrbitCamera.h"
#include "game/SplitScreen.h"
#include "game/ViewCone.h"
#include "level/Level.h"
#include "objects/ObjectHost.h"
#include "objects/PlayerInput.h"
#include "render/DisplayListHolder.h"
#include "render/Font.h"
#include "render/Md2Model.h"
#include "render/TextureHolder.h"

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class ComputerSpieler;
class Fahrzeug;
class Level;
class LvlObject;
class Md2Model;
class PowerUpObject;
class Projektil;
class ShadowMap;
class SpielObject;
class Spieler;
class VertexBufferHandler;

// The running game session: the registries the whole game draws on, the
// camera, the render and display options the function keys toggle, and a
// short-lived status message. One instance lives for the whole run.
class GameClass : public ObjectHost {
  public:
    // Render paths handed to every draw call.
    enum RenderMode { kImmediate = 0, kDisplayLists = 1, kVertexArrays = 2, kVertexBufferObjects = 3 };

    static constexpr float kStatusMessageSeconds = 2.0f;
    static constexpr float kMinCamDistance = OrbitCamera::kMinDistance; // units: the zoom comes no nearer
    static constexpr float kMaxCamDistance = OrbitCamera::kMaxDistance; // units: nor farther
    static constexpr float kCamClearance = 3.0f;     // units the eye keeps above the ground

    GameClass(); // reads the vehicle and weapon tables from data/config/
    ~GameClass();
    GameClass(const GameClass &) = delete;
    GameClass &operator=(const GameClass &) = delete;

    // Start-up registries; each directory name ends with a slash.
    bool importTextures(const std::string &strDirName);

    TextureHolder *getTextureHolder() override { return &textures; }
    Font *getFont() { return &font; }
    const CFahrzeugTypDaten *getFahrzeugDatenTyp(const std::string &name) const override;
    const ConfigReader::WeaponMap &getWeapons() const { return *weaponTypes; }

    // Player one's camera: pitch and yaw in degrees, distance in units (the mouse turns it).
    void setAngleX(float angle) { cameras[0].setAngleX(angle); } // only pitches within [-80, -10] are taken
    float getAngleX() const { return cameras[0].getAngleX(); }
    void setAngleY(float angle) { cameras[0].setAngleY(angle); }
    void addAngleY(float angle) { cameras[0].addAngleY(angle); }
    float getAngleY() const { return cameras[0].getAngleY(); }
    void setCamDistance(float distance) { cameras[0].setCamDistance(distance); }
    float getCamDistance() const { return cameras[0].getCamDistance(); }
    void calcViewPos(float extraYaw) { cameras[0].calcViewPos(extraYaw); }
    const std::array<float, 3> &getViewPos() const { return cameras[0].getViewPos(); }
    void setViewPosX(float dx) { cameras[0].moveViewPos(0, dx); }
    void setViewPosY(float dy) { cameras[0].moveViewPos(1, dy); }
    // Raises the camera's eye so that it stays above the ground of the running level.
    void liftAboveGround(OrbitCamera &camera) const;
    void setViewPosZ(float) {}                 // the orbit camera owns z
    // Eye position in the world of the view being drawn; player one's outside drawing.
    std::array<float, 3> getCameraPos() const override;
    // Each player's own camera (0 player one, 1 player two).
    OrbitCamera &getCamera(int player) { return cameras[player]; }
    const OrbitCamera &getCamera(int player) const { return cameras[player]; }
    // Both cameras at the start of a battle: this pitch and distance, no yaw of their own.
    void resetCameras(float pitch, float distance);

    void setFps(double fps) { dFps = fps; }
    double getFps() const { return dFps; }
    void setResolution(int width, int height);
    int getWidth() const { return iWidth; }
    int getHeight() const { return iHeight; }
    void setPause(bool pause); // the battle's sounds hold while paused
    bool getPause() const { return bPause; }
    void setExitVar(bool exit); // leaving the battle also ends its sounds
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

    // Sets the render options at once and without messages (start-up settings, the Options screen).
    void applyRenderOptions(bool shadows, bool lightMaps, int renderPath, int texture, int mipmap);

    // The computer player's obstacle grid drawn over the minimap (F12).
    void setDrawObstacleMap(bool on);
    bool getDrawObstacleMap() const { return drawObstacleMap; }
    // Draws the obstacle grid into the window rectangle (pixels from the top-left corner), as the minimap lies (+z down).
    void drawObstacleOverlay(int x, int y, int w, int h);

    // Dispatches a function key (1 = F1 ... 12 = F12) to its option toggle.
    void toggleOption(int functionKey);

    const std::string &getStatusMessage() const { return statusMessage; }
    float getStatusMessageTime() const { return statusMessageTime; }
    void countDownStatusMessage(float dt);

  private:
    void setStatusMessage(const std::string &text);
    void setOption(bool &option, bool on, const char *onText, const char *offText, bool showStatus);

    std::unique_ptr<ConfigReader::FahrzeugTypMap> fahrzeugTypes; // vehicle type name -> type
    std::unique_ptr<ConfigReader::WeaponMap> weaponTypes;        // weapon name -> weapon

    std::array<OrbitCamera, 2> cameras;       // each player's own camera
    double dFps = 0;                          // frames per second shown by the overlay
    bool bPause = false;
    int iWidth = 0, iHeight = 0;                // window size, pixels
    const PlayerConfig *playerConfig = nullptr; // zoom keys; not owned

    Font font;              // overlay text
    TextureHolder textures; // every image by bare file name

    bool useShadowmap = true;
    bool drawingDepthOnly = false; // inside the shadow pass
    bool useLightmap = true;
    bool useParticleEngine = true;
    bool useMipMapping = true;
    bool drawMiniMap = false;
    bool drawObstacleMap = false; // F12: the computer player's obstacle grid
    bool showStats = true;
    bool useComplexParticleEngine = true;
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
    // True when the scan found the file `fileName` but it yielded no level (its reader said why).
    bool levelFileFailed(const std::string &fileName) const { return brokenLevelFiles.count(fileName) != 0; }
    const LevelMap &getLevels() const { return levels; }
    // The level read from the file `fileName` of the scanned directory; null when the file was not
    // there, yielded no level, or named a level that an earlier file had taken.
    Level *getLevelOfFile(const std::string &fileName) const;
    const std::map<std::string, Level *> &getLevelFiles() const { return levelFiles; } // file name -> level

    using ModelMap = std::unordered_map<std::string, std::unique_ptr<Md2Model>>;
    // Reads every "*.md2" file of the directory, in name order, hidden files
    // skipped; a model that fails to load is not registered. Returns true.
    bool importModells(const std::string &strDirName);
    Md2Model *getModell(const std::string &name) const override; // null when absent
    // True when the scan found the model file `name` but could not load it (its reader said why).
    bool modelFileFailed(const std::string &name) const override { return brokenModels.count(name) != 0; }
    const ModelMap &getModells() const { return models; }

    // Level start, for one object of `level`: computes its light map with
    // `lightMap` under the level's light, prints the object name followed by
    // "light" and registers the image under that name. False (and nothing
    // done) when the object's model is not in the registry.
    bool registerObjectLightMap(LightMap &lightMap, const Level &level, const ObjectData &object);
    static std::string lightMapName(const ObjectData &object); // the name its light map is registered under

  private:
    LevelMap levels; // level name -> level, owned until the program ends
    std::set<std::string> brokenLevelFiles; // level file names that yielded no level
    std::map<std::string, Level *> levelFiles; // level file name -> the level it yielded
    ModelMap models; // model file name -> model, owned
    std::set<std::string> brokenModels; // model files that failed to load; their reader has said why
    // ---- The world of the running level (GameClassLevel.cpp, GameClassStep.cpp, GameClassDraw.cpp,
    // GameClassHud.cpp) ----
  public:
    // Step results.
    enum StepResult { kStepDone = 0, kStepPaused = 2, kStepExit = 3 };

    // Starts the level registered under the name; false (and nothing changed) when absent.
    bool loadLevel(const std::string &strLevelName);
    // Starts `level`, replacing whatever world an earlier start left.
    bool loadLevel(Level *level);
    void createList(unsigned int dlID, Md2Model *mdl) override; // compiles the model into the display list

    // The length of one tick of the battle: the world changes only in ticks of it, whatever the frame rate.
    static constexpr float kTickSeconds = BattleWorld::kTickSeconds;
    // One tick of the battle with each human player's controls (player one first), heard by the
    // sound; a StepResult. Nothing changes while paused.
    int tick(const TickInput &input);
    // The battle: its objects, tanks, shells, power-ups, brains, rules and scores.
    BattleWorld &getWorld() { return world; }
    const BattleWorld &getWorld() const { return world; }
    // The controls the players' keys make in the key table (kKeyCount entries, true while held).
    TickInput readKeyboard(const bool *keys) const;
    // The view's part of a frame of `dt` real seconds: the zoom keys and the status message's time.
    void frame(float dt, const bool *keys);
    // How far the frame is from the last tick towards the next, [0, 1]: the view draws the moving
    // objects that far from their pose before the last tick to their pose now.
    void setViewBlend(float blend) { viewBlend = blend < 0.0f ? 0.0f : blend > 1.0f ? 1.0f : blend; }
    float getViewBlend() const override { return viewBlend; }

    // A session without a window: level starts make nothing for the view (no GL state, display
    // list, light map or shadow map), and nothing may be drawn. Set before the first level start.
    void setViewless(bool on) { viewless = on; }
    bool isViewless() const { return viewless; }

    void initGL();
    void draw();                   // one frame, buffers swapped
    int drawObjects(float fRotY);  // objects seen with the view yaw; returns the culled count
    void setSplitLayout(SplitScreen::Layout layout) { splitLayout = layout; }
    SplitScreen::Layout getSplitLayout() const { return splitLayout; }
    // Views of the running battle: one per human tank the level start placed (at least one).
    int getViewCount() const { return viewCount; }
    int getViewPlayer(int view) const { return viewPlayers[view]; } // 0 player one, 1 player two
    SplitScreen::Rect viewRect(int view) const {
        return SplitScreen::viewRect(splitLayout, view, viewCount, iWidth, iHeight);
    }
    Fahrzeug *getPlayerVehicle(int player) const { return world.getPlayerVehicle(player); }
    // The player's tank is exploding or gone while the battle runs: the view shows "DESTROYED".
    bool isPlayerDown(int player) const;
    // The shadow pass is drawing: only depth counts, so objects leave their textures off.
    bool isDrawingDepthOnly() const override { return drawingDepthOnly; }
    std::string fpsLine(int culled) const; // the frame-rate line's text

    PhysXAccess *getPhysXAccess() override { return &world.getPhysics(); }
    DisplayListHolder *getDisplayListHolder() override { return &displayLists; }
    ShadowMap *getShadowMap() const { return shadowMap.get(); }
    VertexBufferHandler *getVertexBufferHandler() const override { return vertexBuffers.get(); }

    // The tank the first view's camera follows (player two's in a level without player one).
    Fahrzeug *getFollowedVehicle() const { return getPlayerVehicle(viewPlayers[0]); }
    void setMiniMapAlways(bool on) { miniMapAlways = on; }
    bool getMiniMapAlways() const { return miniMapAlways; }
    void setPausedOverlay(bool on) { pausedOverlay = on; } // "PAUSED" over the frozen frame
    void setOverlayLine(const std::string &line) { overlayLine = line; } // at the window's foot; empty: none
    // One view of the window, following the player's tank (watching a replay); false, and nothing
    // changed, when that tank is not in the battle.
    bool followOnly(int player);

    // Reads the world's power-up types from the index file (after importModells); a broken entry
    // is left out after one "Error: " line, a model that is not registered gets one too (the
    // power-up shows its glow alone). Returns the number of types read.
    std::size_t importPowerUps(const std::string &indexPath = ConfigReader::kPowerUpIndexFile);

  private:
    // The effects `vehicle` carries, one line each with its seconds left, from (x, y) down within
    // `width` pixels (the player's part of the HUD).
    void drawPowerUpEffects(const Fahrzeug *vehicle, float x, float y, float width);
    void clearWorld(); // the world's objects and what the view made for the last level start
    // One view of the scene: camera, culled objects, terrain, sky, effects and the view's HUD.
    int drawView(int view);
    // The player's name, score and life (and "DESTROYED" once the tank is down) in the view's rectangle.
    void drawPlayerHud(int player, const SplitScreen::Rect &rect);
    void drawResult();
    void drawPaused();
    void drawParticlePass(const std::array<float, 3> &eye, float yaw, int &culled);
    void drawMiniMapOverlay();
    // The minimap's square in window pixels from the top-left corner.
    void miniMapRect(float &left, float &top, float &side) const;
    void drawViewDivider(); // a thin line between two views
    void drawStatusMessage();
    void drawHelp() {} // the help lines are drawn with the frame-rate line
    void drawText(float xFraction, float yFraction, const float *colour, const std::string &text);

    BattleWorld world{*this};       // the battle; its objects ask this session for models and textures
    DisplayListHolder displayLists; // one compiled list per model name
    bool viewless = false;          // no window: level starts make nothing to draw
    std::unique_ptr<ShadowMap> shadowMap; // made at each level start
    std::unique_ptr<VertexBufferHandler> vertexBuffers;
    SplitScreen::Layout splitLayout = SplitScreen::kSideBySide; // how two views share the window
    int viewCount = 1;                                          // views of the running battle
    std::array<int, 2> viewPlayers{0, 1};                       // the player each view belongs to
    int drawingPlayer = 0;                                      // whose camera the frame is drawing with
    double coneSideAngle = ViewCone::kSideAngle; // degrees, the culling cone's side planes for the view being drawn
    float viewBlend = 1.0f;                 // the frame's place between the last two ticks
    bool miniMapAlways = false;             // the minimap stays on without its key
    bool pausedOverlay = false;             // the battle is paused: draw "PAUSED"
    std::string overlayLine;                // drawn at the window's foot while not empty

    // ---- Sound (BattleSound.cpp hears the battle after each step) ----
  public:
    // Takes the sound system; null keeps the current one. Without a call the game is silent.
    void setSound(std::unique_ptr<SoundSystem> system);
    SoundSystem &getSound() { return *sound; }

  private:
    std::unique_ptr<SoundSystem> sound = std::make_unique<SilentSound>(); // never null
    BattleSound battleSound; // turns the steps into sounds
};

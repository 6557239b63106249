#pragma once

#include "audio/SilentSound.h"
#include "audio/SoundSystem.h"
#include "config/ConfigReader.h"
#include "config/PlayerConfig.h"
#include "game/BattleSound.h"
#include "game/BattleWorld.h"
#include "game/GameData.h"
#include "game/OrbitCamera.h"
#include "game/RenderOptions.h"
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
#include <memory>
#include <string>

class Fahrzeug;
class Level;
class Md2Model;
class ShadowMap;
class VertexBufferHandler;

// The running game session: the registries the whole game draws on, the
// camera, the render and display options the function keys toggle, and a
// short-lived status message. One instance lives for the whole run.
class GameClass : public ObjectHost {
  public:
    static constexpr float kMinCamDistance = OrbitCamera::kMinDistance; // units: the zoom comes no nearer
    static constexpr float kMaxCamDistance = OrbitCamera::kMaxDistance; // units: nor farther
    static constexpr float kCamClearance = 3.0f;     // units the eye keeps above the ground

    GameClass(); // its data reads the vehicle and weapon tables from data/config/
    ~GameClass();
    GameClass(const GameClass &) = delete;
    GameClass &operator=(const GameClass &) = delete;

    // Start-up registries; each directory name ends with a slash.
    bool importTextures(const std::string &strDirName);

    TextureHolder *getTextureHolder() override { return &textures; }
    Font *getFont() { return &font; }
    const CFahrzeugTypDaten *getFahrzeugDatenTyp(const std::string &name) const override {
        return data.getFahrzeugDatenTyp(name);
    }

    // Raises the camera's eye so that it stays above the ground of the running level.
    void liftAboveGround(OrbitCamera &camera) const;
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

    // The display and render options the function keys toggle, and the status message.
    RenderOptions &getOptions() { return options; }
    const RenderOptions &getOptions() const { return options; }
    // Draws the obstacle grid into the window rectangle (pixels from the top-left corner), as the minimap lies (+z down).
    void drawObstacleOverlay(int x, int y, int w, int h);

  private:


    std::array<OrbitCamera, 2> cameras;       // each player's own camera
    double dFps = 0;                          // frames per second shown by the overlay
    bool bPause = false;
    int iWidth = 0, iHeight = 0;                // window size, pixels
    const PlayerConfig *playerConfig = nullptr; // zoom keys; not owned

    Font font;              // overlay text
    TextureHolder textures; // every image by bare file name

    RenderOptions options;         // what the function keys toggle
    bool drawingDepthOnly = false; // inside the shadow pass
    bool showStats = true;
    bool exitRequested = false;

  public:
    // The levels, models and tables the run draws on.
    GameData &getData() { return data; }
    const GameData &getData() const { return data; }
    Md2Model *getModell(const std::string &name) const override { return data.getModell(name); }
    bool modelFileFailed(const std::string &name) const override { return data.modelFileFailed(name); }
    // Level start, for one object of `level`: computes its light map with
    // `lightMap` under the level's light, prints the object name followed by
    // "light" and registers the image under that name. False (and nothing
    // done) when the object's model is not in the registry.
    bool registerObjectLightMap(LightMap &lightMap, const Level &level, const ObjectData &object);
    static std::string lightMapName(const ObjectData &object); // the name its light map is registered under

  private:
    GameData data; // the levels, models and tables
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

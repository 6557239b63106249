#pragma once

#include "audio/SilentSound.h"
#include "audio/SoundSystem.h"
#include "config/ConfigReader.h"
#include "config/PlayerConfig.h"
#include "game/BattleSound.h"
#include "game/BattleView.h"
#include "game/BattleWorld.h"
#include "game/GameData.h"
#include "game/OrbitCamera.h"
#include "game/RenderOptions.h"
#include "level/Level.h"
#include "objects/ObjectHost.h"
#include "objects/PlayerInput.h"
#include "render/TextureHolder.h"

#include <array>
#include <functional>
#include <memory>
#include <string>

// The running game session, one for the whole run: the data read at start-up, the battle's world,
// its view and its sound, each player's camera, the options the function keys toggle, the pause
// and the exit request. The world's objects ask it, as their host, for models, tables and textures.
class GameClass : public ObjectHost {
  public:
    // Step results.
    enum StepResult { kStepDone = 0, kStepPaused = 2, kStepExit = 3 };
    // The length of one tick of the battle: the world changes only in ticks of it, whatever the frame rate.
    static constexpr float kTickSeconds = BattleWorld::kTickSeconds;
    static constexpr float kMinCamDistance = OrbitCamera::kMinDistance; // units: the zoom comes no nearer
    static constexpr float kMaxCamDistance = OrbitCamera::kMaxDistance; // units: nor farther

    GameClass(); // its data reads the vehicle and weapon tables from data/config/
    ~GameClass();
    GameClass(const GameClass &) = delete;
    GameClass &operator=(const GameClass &) = delete;

    GameData &getData() { return data; }               // the levels, models and tables
    const GameData &getData() const { return data; }
    BattleWorld &getWorld() { return world; }          // the battle: objects, tanks, shells, rules, scores
    const BattleWorld &getWorld() const { return world; }
    BattleView &getView() { return view; }             // what the players see of it
    const BattleView &getView() const { return view; }
    RenderOptions &getOptions() { return options; }    // what the function keys toggle
    const RenderOptions &getOptions() const { return options; }

    // Reads every image of the directory (its name ends with a slash), in name order.
    bool importTextures(const std::string &strDirName);
    // Reads the world's power-up types from the index file (after the models); a broken entry is
    // left out after one "Error: " line, a model that is not registered gets one too (the power-up
    // shows its glow alone). Returns the number of types read.
    std::size_t importPowerUps(const std::string &indexPath = ConfigReader::powerUpIndexFile());

    // Starts the level registered under the name; false (and nothing changed) when absent.
    bool loadLevel(const std::string &strLevelName);
    // Starts `level`, replacing whatever an earlier start left: the world starts it, then the view
    // prepares it (unless the session is viewless).
    bool loadLevel(Level *level);
    // A session without a window: level starts make nothing for the view (no GL state, display
    // list, light map, shadow map or smoke), and nothing may be drawn. Set before the first start.
    void setViewless(bool on) { viewless = on; }
    bool isViewless() const { return viewless; }

    // One tick of the battle with each human player's controls (player one first), heard by the
    // sound; a StepResult. Nothing changes while paused.
    int tick(const TickInput &input);
    // The same with a tick of the caller's (a network client's, which follows another machine's
    // world): `step` changes the world once, and the sound hears what it did.
    int tickWith(const std::function<void(BattleWorld &)> &step);
    // The controls the players' keys make in the key table (kKeyCount entries, true while held):
    // players one and two have keys, players three and four only pads.
    TickInput readKeyboard(const bool *keys) const;
    // The view's part of a frame of `dt` real seconds: the zoom keys and the status message's time.
    // Player one's zoom keys zoom the camera of `keyboardPlayer` (in a network battle, the player
    // this machine plays); player two's keys zoom player two's camera when player one's keys are
    // player one's.
    void frame(float dt, const bool *keys, int keyboardPlayer = 0);

    // Each player's own camera (0 player one .. 3 player four; the mouse turns player one's).
    OrbitCamera &getCamera(int player) { return cameras[player]; }
    const OrbitCamera &getCamera(int player) const { return cameras[player]; }
    // Every camera at the start of a battle: this pitch and distance, no yaw of their own.
    void resetCameras(float pitch, float distance);

    void setPause(bool pause); // the battle's sounds hold while paused
    bool getPause() const { return bPause; }
    void setExitVar(bool exit); // leaving the battle also ends its sounds
    bool getExitVar() const { return exitRequested; }
    void setPlayerConfig(const PlayerConfig *config) { playerConfig = config; }
    const PlayerConfig *getPlayerConfig() const { return playerConfig; } // zoom and pause keys; may be null

    // Takes the sound system; null keeps the current one. Without a call the game is silent.
    void setSound(std::unique_ptr<SoundSystem> system);
    SoundSystem &getSound() { return *sound; }

    // As the host of the world's objects.
    PhysXAccess *getPhysXAccess() override { return &world.getPhysics(); }
    Md2Model *getModell(const std::string &name) const override { return data.getModell(name); }
    bool modelFileFailed(const std::string &name) const override { return data.modelFileFailed(name); }
    const CFahrzeugTypDaten *getFahrzeugDatenTyp(const std::string &name) const override {
        return data.getFahrzeugDatenTyp(name);
    }
    TextureHolder *getTextureHolder() override { return &textures; }
    DisplayListHolder *getDisplayListHolder() override { return view.getDisplayListHolder(); }
    VertexBufferHandler *getVertexBufferHandler() const override { return view.getVertexBufferHandler(); }
    void createList(unsigned int listId, Md2Model *model) override { view.createList(listId, model); }
    bool isDrawingDepthOnly() const override { return view.isDrawingDepthOnly(); }
    float getViewBlend() const override { return view.getViewBlend(); }
    std::array<float, 3> getCameraPos() const override { return view.getCameraPos(); }

  private:
    void clearWorld(); // the world's objects and what the view made for the last level start

    GameData data;                              // the levels, models and tables
    TextureHolder textures;                     // every image by bare file name
    RenderOptions options;                      // what the function keys toggle
    std::array<OrbitCamera, kMaxPlayers> cameras; // each player's own camera
    BattleWorld world{*this};                   // the battle; its objects ask this session for models
    BattleView view{*this};                     // reads the world, options and cameras
    const PlayerConfig *playerConfig = nullptr; // zoom keys; not owned
    bool bPause = false;
    bool exitRequested = false;
    bool viewless = false; // no window: level starts make nothing to draw
    std::unique_ptr<SoundSystem> sound = std::make_unique<SilentSound>(); // never null
    BattleSound battleSound; // turns the ticks into sounds
};

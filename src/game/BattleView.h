#pragma once

#include "game/OrbitCamera.h"
#include "game/SplitScreen.h"
#include "game/ViewCone.h"
#include "objects/PlayerInput.h"
#include "render/DisplayListHolder.h"
#include "render/Font.h"

#include <array>
#include <memory>
#include <string>

class Fahrzeug;
class GameClass;
class Level;
class LightMap;
class Md2Model;
class ObjectData;
class ShadowMap;
class VertexBufferHandler;

// What the players see of the battle: one view per human tank (side by side or stacked), each
// from its player's camera, with shadows, culled objects, terrain, sky and effects, the HUD, the
// minimap and the overlays. It reads the session's world, options and cameras and never changes the
// world. A level start gives it the level to prepare what it draws the level with.
class BattleView {
  public:
    static constexpr float kCamClearance = 3.0f; // units the eye keeps above the ground

    explicit BattleView(GameClass &session);
    ~BattleView();
    BattleView(const BattleView &) = delete;
    BattleView &operator=(const BattleView &) = delete;

    // Level start, after the world's: the shadow map, a display list per model, a light map per
    // object, each tank's smoke trail and the views. Prints "Human players: N, views: M".
    void prepare(Level &level, bool withGl);
    // What the last start made for the level: its objects' light maps, its terrain's and border's GL objects.
    void release(Level &level);

    void initGL();
    void draw();                  // one frame, buffers swapped
    int drawObjects(float fRotY); // objects seen with the view yaw; returns the culled count
    // Draws the obstacle grid into the window rectangle (pixels from the top-left corner), as the minimap lies (+z down).
    void drawObstacleOverlay(int x, int y, int w, int h);

    void setResolution(int width, int height);
    int getWidth() const { return iWidth; }
    int getHeight() const { return iHeight; }
    Font *getFont() { return &font; }
    void setFps(double fps) { dFps = fps; }
    double getFps() const { return dFps; }
    std::string fpsLine(int culled) const; // the frame-rate line's text

    void setSplitLayout(SplitScreen::Layout layout) { splitLayout = layout; }
    SplitScreen::Layout getSplitLayout() const { return splitLayout; }
    // Views of the running battle: one per human tank the level start placed (at least one).
    int getViewCount() const { return viewCount; }
    int getViewPlayer(int view) const { return viewPlayers[view]; } // 0 player one .. 3 player four
    SplitScreen::Rect viewRect(int view) const {
        return SplitScreen::viewRect(splitLayout, view, viewCount, iWidth, iHeight);
    }
    // One view of the window, following the player's tank (watching a replay); false, and nothing
    // changed, when that tank is not in the battle.
    bool followOnly(int player);
    // The tank the first view's camera follows (player two's in a level without player one).
    Fahrzeug *getFollowedVehicle() const;
    // The player's tank is exploding or gone while the battle runs: the view shows "DESTROYED".
    bool isPlayerDown(int player) const;
    // Raises the camera's eye so that it stays above the ground of the running level.
    void liftAboveGround(OrbitCamera &camera) const;
    // Eye position in the world of the view being drawn; player one's outside drawing.
    std::array<float, 3> getCameraPos() const;

    // How far the frame is from the last tick towards the next, [0, 1]: the view draws the moving
    // objects that far from their pose before the last tick to their pose now.
    void setViewBlend(float blend) { viewBlend = blend < 0.0f ? 0.0f : blend > 1.0f ? 1.0f : blend; }
    float getViewBlend() const { return viewBlend; }
    void setMiniMapAlways(bool on) { miniMapAlways = on; }
    bool getMiniMapAlways() const { return miniMapAlways; }
    void setPausedOverlay(bool on) { pausedOverlay = on; } // "PAUSED" over the frozen frame
    // A line under "PAUSED" saying why, "Player 2: pad disconnected"; empty for none.
    void setPauseMessage(const std::string &line) { pauseMessage = line; }
    void setOverlayLine(const std::string &line) { overlayLine = line; } // at the window's foot; empty: none

    ShadowMap *getShadowMap() const { return shadowMap.get(); }
    VertexBufferHandler *getVertexBufferHandler() const { return vertexBuffers.get(); }
    DisplayListHolder *getDisplayListHolder() { return &displayLists; }
    void createList(unsigned int dlID, Md2Model *mdl); // compiles the model into the display list
    // The shadow pass is drawing: only depth counts, so objects leave their textures off.
    bool isDrawingDepthOnly() const { return drawingDepthOnly; }

    // Level start, for one object of `level`: computes its light map with
    // `lightMap` under the level's light, prints the object name followed by
    // "light" and registers the image under that name. False (and nothing
    // done) when the object's model is not in the registry.
    bool registerObjectLightMap(LightMap &lightMap, const Level &level, const ObjectData &object);
    static std::string lightMapName(const ObjectData &object); // the name its light map is registered under

  private:
    // One view of the scene: camera, culled objects, terrain, sky, effects and the view's HUD.
    int drawView(int view);
    // The player's name, score and life (and "DESTROYED" once the tank is down) in the view's rectangle.
    void drawPlayerHud(int player, const SplitScreen::Rect &rect);
    // The effects `vehicle` carries, one line each with its seconds left, from (x, y) down within
    // `width` pixels (the player's part of the HUD).
    void drawPowerUpEffects(const Fahrzeug *vehicle, float x, float y, float width);
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

    GameClass &session;                   // the world, options, cameras and textures it shows
    Font font;                            // overlay text
    int iWidth = 0, iHeight = 0;          // window size, pixels
    double dFps = 0;                      // frames per second shown by the overlay
    DisplayListHolder displayLists;       // one compiled list per model name
    std::unique_ptr<ShadowMap> shadowMap; // made at each level start
    std::unique_ptr<VertexBufferHandler> vertexBuffers;
    SplitScreen::Layout splitLayout = SplitScreen::kSideBySide; // how two views share the window
    int viewCount = 1;                                          // views of the running battle
    std::array<int, kMaxPlayers> viewPlayers{0, 1, 2, 3};       // the player each view belongs to
    int drawingPlayer = 0;                                      // whose camera the frame is drawing with
    double coneSideAngle = ViewCone::kSideAngle; // degrees, the culling cone's side planes for the view being drawn
    bool drawingDepthOnly = false;               // inside the shadow pass
    bool showStats = true;
    float viewBlend = 1.0f;      // the frame's place between the last two ticks
    bool miniMapAlways = false;  // the minimap stays on without its key
    bool pausedOverlay = false;  // the battle is paused: draw "PAUSED"
    std::string pauseMessage;    // why it is, under "PAUSED"; empty for none
    std::string overlayLine;     // drawn at the window's foot while not empty
};

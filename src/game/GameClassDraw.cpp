// Scene drawing: camera, shadow pass, culled objects, terrain, sky, particle
// effects and the overlays of one frame.
#include "game/GameClass.h"

#include "game/ViewCone.h"
#include "level/Level.h"
#include "math/COLOR.h"
#include "objects/Fahrzeug.h"
#include "objects/LvlObject.h"
#include "objects/PowerUpObject.h"
#include "objects/Projektil.h"
#include "particles/ParticleEngine.h"
#include "particles/ParticleEngineHelp.h"
#include "render/MultiTexWrapper.h"
#include "render/ShadowMap.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <list>

namespace {

constexpr double kFieldOfView = 80.0;    // degrees, vertical
constexpr double kNearPlane = 1.0;
constexpr double kFarPlane = 5000.0;
constexpr double kLightFieldOfView = 50.0;
constexpr double kLightNear = 50.0;
constexpr double kLightFar = 300.0;
bool lightinit = false; // the scene light has been switched on once

// The eight corners of an object's box (model bounds times its scale, moved
// to its position), minimum first, in x-fastest order.
void boxCorner(const SpielObject &object, int index, float corner[3]) {
    const float *border = object.getRect();
    const float scale = object.getModell()->getScale();
    const float *pos = object.getPos();
    corner[0] = border[(index & 1) ? 1 : 0] * scale + pos[0];
    corner[1] = border[(index & 2) ? 3 : 2] * scale + pos[1];
    corner[2] = border[(index & 4) ? 5 : 4] * scale + pos[2];
}

// The first box corner that lies inside the view cone, or false with `behind`
// set when every corner failed.
bool firstVisibleCorner(const ViewCone &cone, const SpielObject &object, std::array<float, 3> &view) {
    for (int i = 0; i < 8; ++i) {
        float corner[3];
        boxCorner(object, i, corner);
        view = cone.toViewSpace(corner);
        if (cone.classifyViewSpace(view) == ViewCone::kVisible)
            return true;
    }
    return false;
}

} // namespace

void GameClass::initGL() {
    std::printf("InitGL");
    std::fflush(stdout);
    glEnable(GL_LIGHTING);
    lightinit = true;
    glLoadIdentity();
}

std::array<float, 3> GameClass::getCameraPos() const {
    const OrbitCamera &camera = cameras[drawingPlayer];
    if (const Fahrzeug *followed = getPlayerVehicle(drawingPlayer)) {
        float at[3];
        followed->blendedPos(viewBlend, at);
        return camera.eyeAt(at);
    }
    return camera.eye(); // the tank is gone: the view stays where it fell
}

bool GameClass::followOnly(int player) {
    if (player < 0 || player > 1 || getPlayerVehicle(player) == nullptr)
        return false;
    viewCount = 1;
    viewPlayers[0] = player;
    return true;
}

bool GameClass::isPlayerDown(int player) const {
    const Fahrzeug *vehicle = getPlayerVehicle(player);
    return vehicle == nullptr || vehicle->getStatus() >= Fahrzeug::kStatusExploding;
}

void GameClass::draw() {
    if (world.getCurrentLevel() == nullptr || shadowMap == nullptr) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glutSwapBuffers();
        return;
    }
    // Every view's camera swings behind its own player's tank.
    for (int view = 0; view < viewCount; ++view) {
        const int player = viewPlayers[view];
        OrbitCamera &camera = cameras[player];
        if (const Fahrzeug *followed = getPlayerVehicle(player)) {
            float at[3];
            followed->blendedPos(viewBlend, at);
            camera.follow(at, followed->blendedRotY(viewBlend));
        }
        camera.calcViewPos(camera.getOrbitYaw());
        liftAboveGround(camera);
    }
    // The level's sun: directional (w = 0); the shadow map's light looks from it at the origin.
    const std::array<float, 4> sun = world.getCurrentLevel()->getSunPosition();
    // A sun straight overhead looks along the usual up vector: then north is up.
    const bool overhead = std::abs(sun[0]) + std::abs(sun[2]) < 1e-3f * sun[1];

    glPolygonMode(GL_FRONT_AND_BACK, options.showWireFrame ? GL_LINE : GL_FILL);

    // The light's matrices, built on the model-view stack and recorded by the shadow map.
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(kLightFieldOfView, 1.0, kLightNear, kLightFar);
    shadowMap->setLightProjectionMatrix();
    glLoadIdentity();
    gluLookAt(sun[0], sun[1], sun[2], 0, 0, 0, 0, overhead ? 0 : 1, overhead ? -1 : 0);
    shadowMap->setLightViewMatrix();
    glPopMatrix();

    // Shadow pass, once for every view: objects only, no effects, no culling.
    drawingPlayer = viewPlayers[0];
    glViewport(0, 0, iWidth, iHeight); // a copying pass takes the window's depth
    const bool particles = options.useParticleEngine;
    const bool culling = options.useFrustumCulling;
    options.useParticleEngine = false;
    options.useFrustumCulling = false;
    if (options.useShadowmap) {
        drawingDepthOnly = true;
        shadowMap->createShadowMap(this, cameras[drawingPlayer].getViewYaw());
        drawingDepthOnly = false;
    }
    options.useParticleEngine = particles;
    options.useFrustumCulling = culling;

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    int culled = 0;
    for (int view = 0; view < viewCount; ++view)
        culled += drawView(view);
    drawingPlayer = viewPlayers[0];
    coneSideAngle = ViewCone::kSideAngle;
    glViewport(0, 0, iWidth, iHeight);
    glLightfv(GL_LIGHT0, GL_POSITION, sun.data());

    if (viewCount > 1)
        drawViewDivider();
    if (options.drawMiniMap || miniMapAlways)
        drawMiniMapOverlay();
    if (options.drawObstacleMap) {
        float left, top, side;
        miniMapRect(left, top, side);
        drawObstacleOverlay(static_cast<int>(left), static_cast<int>(top), static_cast<int>(side),
                            static_cast<int>(side));
    }
    if (world.getOutcome() != BattleRules::kRunning)
        drawResult();
    if (pausedOverlay)
        drawPaused();
    if (options.displayHelp)
        drawHelp();
    drawStatusMessage();
    static const float kYellow[3] = {1, 1, 0};
    if (!overlayLine.empty())
        drawText(0.01f, 0.97f, kYellow, overlayLine);
    if (options.displayFPS)
        drawText(0.01f, 0.02f, kYellow, fpsLine(culled));
    if (options.displayHelp) {
        drawText(0.01f, 0.05f, kYellow,
                 "F1 = Help | F2 = FPS | F3 = Wired | F4 = TexQuality | F5 = MipMap | F6 = VertexArrays");
        drawText(0.01f, 0.08f, kYellow,
                 "F7 = DisplayList | F8 = Frustum | F9 = Transparency | F10 = Lightmap | F11 = Shadowmap");
    }
    glColor3f(0, 0, 0);
    glutSwapBuffers();
}

int GameClass::drawView(int view) {
    const int player = viewPlayers[view];
    drawingPlayer = player;
    const OrbitCamera &camera = cameras[player];
    const SplitScreen::Rect rect = viewRect(view);
    const float yaw = camera.getViewYaw();
    const std::array<float, 3> eye = getCameraPos();
    const std::array<float, 3> &target = camera.getTarget();
    const float aspect = rect.height > 0 ? static_cast<float>(rect.width) / rect.height : 1.0f;
    coneSideAngle = ViewCone::sideAngleFor(aspect, kFieldOfView); // a narrow half culls more

    glViewport(rect.left, SplitScreen::viewportY(rect, iHeight), rect.width, rect.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfView, aspect, kNearPlane, kFarPlane);
    shadowMap->setCameraProjectionMatrix();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(eye[0], eye[1], eye[2], target[0], target[1], target[2], 0, 1, 0);
    shadowMap->setCameraViewMatrix();
    world.getCurrentLevel()->setFog(true, eye.data()); // the far land fades into the sky's horizon colour
    const std::array<float, 4> sun = world.getCurrentLevel()->getSunPosition();

    const COLOR ambient = white * 0.2f;
    glLightfv(GL_LIGHT1, GL_POSITION, sun.data());
    glLightfv(GL_LIGHT1, GL_SPECULAR, &black.r);
    glLightfv(GL_LIGHT1, GL_AMBIENT, &ambient.r);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, &white.r);
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHTING);

    options.useParticleEngine = false;
    if (options.useShadowmap)
        shadowMap->generateTextureMatrix(); // the eye planes follow this view's camera
    int culled = drawObjects(yaw);

    const ViewCone terrainCone(eye, yaw, camera.getAngleX(), coneSideAngle);
    if (options.useFrustumCulling)
        world.getCurrentLevel()->setTerrainFilter(
            [&terrainCone](const float *min, const float *max) { return terrainCone.mayShowBox(min, max); });
    world.getCurrentLevel()->drawSurface(options.showWireFrame, options.useLightmap, options.renderMode, options.textureQuality, options.mipMappingMode, true);
    shadowMap->disableShadowUnits(); // the shadow may use a unit beyond 2
    world.getCurrentLevel()->drawBorder(options.useLightmap); // the land to the horizon: no shadows fall on it
    world.getCurrentLevel()->setTerrainFilter(nullptr);
    MultiTexWrapper multiTex;
    glDisable(GL_TEXTURE_2D);
    multiTex.glActiveTextureARB2();
    glDisable(GL_TEXTURE_2D);
    multiTex.glActiveTextureARB1();
    glDisable(GL_TEXTURE_2D);
    multiTex.glActiveTextureARB0();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_TEXTURE_GEN_R);
    glDisable(GL_TEXTURE_GEN_Q);
    glDisable(GL_LIGHTING);

    options.useParticleEngine = true;
    world.getCurrentLevel()->setFog(false);
    world.getCurrentLevel()->drawLvlHintergrund(options.renderMode, options.textureQuality, options.mipMappingMode); // only where no land is
    for (const auto &powerUp : world.getPowerUpField().getPowerUps())
        powerUp->drawGlow(); // over the land and the sky, under the smoke
    drawParticlePass(eye, yaw, culled);

    glViewport(0, 0, iWidth, iHeight); // the HUD counts window pixels
    if (showStats)
        drawPlayerHud(player, rect);
    return culled;
}

int GameClass::drawObjects(float fRotY) {
    const float angleX = cameras[drawingPlayer].getAngleX();
    const ViewCone cone(getCameraPos(), fRotY, angleX, coneSideAngle);
    int culled = 0;
    std::vector<SpielObject *> transparent;

    // Draws the object now, or sets it aside for the blended pass; counts it when culled.
    auto consider = [&](SpielObject &object, bool mayBeTransparent, int textureMode, int mipmapMode) {
        std::array<float, 3> view{};
        if (options.useFrustumCulling && !firstVisibleCorner(cone, object, view)) {
            ++culled;
            return;
        }
        if (options.useFrustumCulling && options.transparenz && mayBeTransparent) {
            object.setPosWC(view.data());
            transparent.push_back(&object);
            return;
        }
        object.draw(angleX, fRotY, options.showWireFrame, options.useLightmap, options.renderMode, textureMode, mipmapMode);
    };

    for (Fahrzeug *vehicle : world.getFahrzeugvektor())
        consider(*vehicle, vehicle != world.getPlayer1Vehicle() && vehicle != world.getPlayer2Vehicle(), options.textureQuality, options.mipMappingMode);
    for (LvlObject *object : world.getLevelObjectVektor())
        consider(*object, true, 0, 1);
    for (Projektil *shot : world.getProjektilvektor())
        consider(*shot, false, options.textureQuality, options.mipMappingMode);
    for (const auto &powerUp : world.getPowerUpField().getPowerUps())
        if (powerUp->isAvailable())
            consider(*powerUp, false, options.textureQuality, options.mipMappingMode);

    if (!transparent.empty()) {
        // Nearest first after the sort; drawn from the back of the list, farthest first.
        std::stable_sort(transparent.begin(), transparent.end(),
                         [](const SpielObject *a, const SpielObject *b) { return *b < *a; });
        glEnable(GL_BLEND);
        for (auto it = transparent.rbegin(); it != transparent.rend(); ++it)
            (*it)->draw(angleX, fRotY, options.showWireFrame, options.useLightmap, options.renderMode, options.textureQuality, options.mipMappingMode);
        glDisable(GL_BLEND);
    }
    return culled;
}

void GameClass::drawParticlePass(const std::array<float, 3> &eye, float yaw, int &culled) {
    const float angleX = cameras[drawingPlayer].getAngleX();
    if (!options.useComplexParticleEngine) {
        for (Fahrzeug *vehicle : world.getFahrzeugvektor())
            vehicle->drawParticleEngine(angleX, yaw + 180);
        for (LvlObject *object : world.getLevelObjectVektor())
            object->drawParticleEngine(angleX, yaw + 180);
        for (Projektil *shot : world.getProjektilvektor())
            shot->drawParticleEngine(angleX, yaw + 180);
        return;
    }
    const ViewCone cone(eye, yaw, angleX, coneSideAngle);
    std::list<ParticleEngineHelp> effects;
    auto collect = [&](SpielObject &object) {
        for (ParticleEngine *effect : object.getParticleEngineVector()) {
            const std::array<float, 3> view = cone.toViewSpace(effect->getPos());
            if (options.useFrustumCulling) {
                const ViewCone::Result result = cone.classifyViewSpace(view);
                if (result == ViewCone::kBehind)
                    ++culled;
                if (result != ViewCone::kVisible)
                    continue;
            }
            effect->setPosWC(view.data());
            effects.emplace_back(effect);
        }
    };
    for (Fahrzeug *vehicle : world.getFahrzeugvektor())
        collect(*vehicle);
    for (LvlObject *object : world.getLevelObjectVektor())
        collect(*object);
    for (Projektil *shot : world.getProjektilvektor())
        collect(*shot);
    effects.sort(); // nearest first
    for (auto it = effects.rbegin(); it != effects.rend(); ++it)
        it->getParticleEngine()->drawSorted(angleX, yaw + 180, 0);
}

std::string GameClass::fpsLine(int culled) const {
    char text[160];
    if (options.useFrustumCulling)
        std::snprintf(text, sizeof text, "%.2f fps                Objects not drawn by Frustumculling:%d", dFps,
                      culled);
    else
        std::snprintf(text, sizeof text, "%.2f fps", dFps);
    return text;
}

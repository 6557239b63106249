// The view: its level start, and the drawing of a frame (camera, shadow pass, culled objects,
// terrain, sky, particle effects and the overlays).
#include "game/BattleView.h"

#include "game/GameClass.h"
#include "game/ViewCone.h"
#include "level/Level.h"
#include "math/COLOR.h"
#include "objects/Fahrzeug.h"
#include "objects/LvlObject.h"
#include "objects/PowerUpObject.h"
#include "objects/Projektil.h"
#include "particles/CPeRauch.h"
#include "particles/ParticleEngine.h"
#include "particles/ParticleEngineHelp.h"
#include "render/ScreenShot.h"
#include "render/LightMap.h"
#include "model/Md2Model.h"
#include "render/Md2Renderer.h"
#include "render/MultiTexWrapper.h"
#include "render/ShadowMap.h"
#include "render/VertexBufferHandler.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <list>

namespace {

// Smoke trail colours by side.
constexpr float kSmokePlayers[kMaxPlayers][4] = {
    {0.5f, 1.0f, 0.5f, 1.0f}, {0.5f, 0.5f, 1.0f, 1.0f}, {1.0f, 0.85f, 0.3f, 1.0f}, {1.0f, 0.5f, 1.0f, 1.0f}};
constexpr float kSmokeComputer[4] = {1.0f, 0.5f, 0.5f, 1.0f};
constexpr int kSmokeParticles = 200;
constexpr float kSmokeRadius = 1.0f;
constexpr float kSmokeHeight = 5.0f;
constexpr float kSmokeBuoyancy = 1.0f;


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

void BattleView::initGL() {
    std::printf("InitGL");
    std::fflush(stdout);
    glEnable(GL_LIGHTING);
    lightinit = true;
    glLoadIdentity();
}

std::array<float, 3> BattleView::getCameraPos() const {
    const OrbitCamera &camera = session.getCamera(drawingPlayer);
    if (const Fahrzeug *followed = session.getWorld().getPlayerVehicle(drawingPlayer)) {
        float at[3];
        followed->blendedPos(viewBlend, at);
        return camera.eyeAt(at);
    }
    return camera.eye(); // the tank is gone: the view stays where it fell
}

bool BattleView::followOnly(int player) {
    if (session.getWorld().getPlayerVehicle(player) == nullptr)
        return false;
    viewCount = 1;
    viewPlayers[0] = player;
    return true;
}

Fahrzeug *BattleView::getFollowedVehicle() const {
    return session.getWorld().getPlayerVehicle(viewPlayers[0]);
}

bool BattleView::isPlayerDown(int player) const {
    const Fahrzeug *vehicle = session.getWorld().getPlayerVehicle(player);
    return vehicle == nullptr || vehicle->getStatus() >= Fahrzeug::kStatusExploding;
}

void BattleView::draw() {
    if (session.getWorld().getCurrentLevel() == nullptr || shadowMap == nullptr) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        ScreenShot::showFrame();
        return;
    }
    // Every view's camera swings behind its own player's tank.
    for (int view = 0; view < viewCount; ++view) {
        const int player = viewPlayers[view];
        OrbitCamera &camera = session.getCamera(player);
        if (const Fahrzeug *followed = session.getWorld().getPlayerVehicle(player)) {
            float at[3];
            followed->blendedPos(viewBlend, at);
            camera.follow(at, followed->blendedRotY(viewBlend));
        }
        camera.calcViewPos(camera.getOrbitYaw());
        liftAboveGround(camera);
    }
    // The level's sun: directional (w = 0); the shadow map's light looks from it at the origin.
    const std::array<float, 4> sun = session.getWorld().getCurrentLevel()->getSunPosition();
    // A sun straight overhead looks along the usual up vector: then north is up.
    const bool overhead = std::abs(sun[0]) + std::abs(sun[2]) < 1e-3f * sun[1];

    glPolygonMode(GL_FRONT_AND_BACK, session.getOptions().showWireFrame ? GL_LINE : GL_FILL);

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
    const bool particles = session.getOptions().useParticleEngine;
    const bool culling = session.getOptions().useFrustumCulling;
    session.getOptions().useParticleEngine = false;
    session.getOptions().useFrustumCulling = false;
    if (session.getOptions().useShadowmap) {
        drawingDepthOnly = true;
        shadowMap->createShadowMap(this, session.getCamera(drawingPlayer).getViewYaw());
        drawingDepthOnly = false;
    }
    session.getOptions().useParticleEngine = particles;
    session.getOptions().useFrustumCulling = culling;

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
    if (session.getOptions().drawMiniMap || miniMapAlways || viewCount == 3) // three views leave it a quarter
        drawMiniMapOverlay();
    if (session.getOptions().drawObstacleMap) {
        float left, top, side;
        miniMapRect(left, top, side);
        drawObstacleOverlay(static_cast<int>(left), static_cast<int>(top), static_cast<int>(side),
                            static_cast<int>(side));
    }
    if (session.getWorld().getOutcome() != BattleRules::kRunning)
        drawResult();
    if (pausedOverlay)
        drawPaused();
    if (session.getOptions().displayHelp)
        drawHelp();
    drawStatusMessage();
    static const float kYellow[3] = {1, 1, 0};
    if (!overlayLine.empty())
        drawText(0.01f, 0.97f, kYellow, overlayLine);
    if (session.getOptions().displayFPS)
        drawText(0.01f, 0.02f, kYellow, fpsLine(culled));
    if (session.getOptions().displayHelp) {
        drawText(0.01f, 0.05f, kYellow,
                 "F1 = Help | F2 = FPS | F3 = Wired | F4 = TexQuality | F5 = MipMap | F6 = VertexArrays");
        drawText(0.01f, 0.08f, kYellow,
                 "F7 = DisplayList | F8 = Frustum | F9 = Transparency | F10 = Lightmap | F11 = Shadowmap");
    }
    glColor3f(0, 0, 0);
    ScreenShot::showFrame();
}

int BattleView::drawView(int view) {
    const int player = viewPlayers[view];
    drawingPlayer = player;
    const OrbitCamera &camera = session.getCamera(player);
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
    session.getWorld().getCurrentLevel()->setFog(true, eye.data()); // the far land fades into the sky's horizon colour
    const std::array<float, 4> sun = session.getWorld().getCurrentLevel()->getSunPosition();

    const COLOR ambient = white * 0.2f;
    glLightfv(GL_LIGHT1, GL_POSITION, sun.data());
    glLightfv(GL_LIGHT1, GL_SPECULAR, &black.r);
    glLightfv(GL_LIGHT1, GL_AMBIENT, &ambient.r);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, &white.r);
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHTING);

    session.getOptions().useParticleEngine = false;
    if (session.getOptions().useShadowmap)
        shadowMap->generateTextureMatrix(); // the eye planes follow this view's camera
    int culled = drawObjects(yaw);

    const ViewCone terrainCone(eye, yaw, camera.getAngleX(), coneSideAngle);
    if (session.getOptions().useFrustumCulling)
        session.getWorld().getCurrentLevel()->setTerrainFilter(
            [&terrainCone](const float *min, const float *max) { return terrainCone.mayShowBox(min, max); });
    session.getWorld().getCurrentLevel()->drawSurface(session.getOptions().showWireFrame, session.getOptions().useLightmap, session.getOptions().renderMode, session.getOptions().textureQuality, session.getOptions().mipMappingMode, true);
    shadowMap->disableShadowUnits(); // the shadow may use a unit beyond 2
    session.getWorld().getCurrentLevel()->drawBorder(session.getOptions().useLightmap); // the land to the horizon: no shadows fall on it
    session.getWorld().getCurrentLevel()->setTerrainFilter(nullptr);
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

    session.getOptions().useParticleEngine = true;
    session.getWorld().getCurrentLevel()->setFog(false);
    session.getWorld().getCurrentLevel()->drawLvlHintergrund(session.getOptions().renderMode, session.getOptions().textureQuality, session.getOptions().mipMappingMode); // only where no land is
    for (const auto &powerUp : session.getWorld().getPowerUpField().getPowerUps())
        powerUp->drawGlow(); // over the land and the sky, under the smoke
    drawParticlePass(eye, yaw, culled);

    glViewport(0, 0, iWidth, iHeight); // the HUD counts window pixels
    if (showStats)
        drawPlayerHud(player, rect);
    return culled;
}

int BattleView::drawObjects(float fRotY) {
    const float angleX = session.getCamera(drawingPlayer).getAngleX();
    const ViewCone cone(getCameraPos(), fRotY, angleX, coneSideAngle);
    int culled = 0;
    std::vector<SpielObject *> transparent;

    // Draws the object now, or sets it aside for the blended pass; counts it when culled.
    auto consider = [&](SpielObject &object, bool mayBeTransparent, int textureMode, int mipmapMode) {
        std::array<float, 3> view{};
        if (session.getOptions().useFrustumCulling && !firstVisibleCorner(cone, object, view)) {
            ++culled;
            return;
        }
        if (session.getOptions().useFrustumCulling && session.getOptions().transparenz && mayBeTransparent) {
            object.setPosWC(view.data());
            transparent.push_back(&object);
            return;
        }
        object.draw(angleX, fRotY, session.getOptions().showWireFrame, session.getOptions().useLightmap, session.getOptions().renderMode, textureMode, mipmapMode);
    };

    for (Fahrzeug *vehicle : session.getWorld().getFahrzeugvektor())
        consider(*vehicle, vehicle != session.getWorld().getPlayer1Vehicle() && vehicle != session.getWorld().getPlayer2Vehicle(), session.getOptions().textureQuality, session.getOptions().mipMappingMode);
    for (LvlObject *object : session.getWorld().getLevelObjectVektor())
        consider(*object, true, 0, 1);
    for (Projektil *shot : session.getWorld().getProjektilvektor())
        consider(*shot, false, session.getOptions().textureQuality, session.getOptions().mipMappingMode);
    for (const auto &powerUp : session.getWorld().getPowerUpField().getPowerUps())
        if (powerUp->isAvailable())
            consider(*powerUp, false, session.getOptions().textureQuality, session.getOptions().mipMappingMode);

    if (!transparent.empty()) {
        // Nearest first after the sort; drawn from the back of the list, farthest first.
        std::stable_sort(transparent.begin(), transparent.end(),
                         [](const SpielObject *a, const SpielObject *b) { return *b < *a; });
        glEnable(GL_BLEND);
        for (auto it = transparent.rbegin(); it != transparent.rend(); ++it)
            (*it)->draw(angleX, fRotY, session.getOptions().showWireFrame, session.getOptions().useLightmap, session.getOptions().renderMode, session.getOptions().textureQuality, session.getOptions().mipMappingMode);
        glDisable(GL_BLEND);
    }
    return culled;
}

void BattleView::drawParticlePass(const std::array<float, 3> &eye, float yaw, int &culled) {
    const float angleX = session.getCamera(drawingPlayer).getAngleX();
    if (!session.getOptions().useComplexParticleEngine) {
        for (Fahrzeug *vehicle : session.getWorld().getFahrzeugvektor())
            vehicle->drawParticleEngine(angleX, yaw + 180);
        for (LvlObject *object : session.getWorld().getLevelObjectVektor())
            object->drawParticleEngine(angleX, yaw + 180);
        for (Projektil *shot : session.getWorld().getProjektilvektor())
            shot->drawParticleEngine(angleX, yaw + 180);
        return;
    }
    const ViewCone cone(eye, yaw, angleX, coneSideAngle);
    std::list<ParticleEngineHelp> effects;
    auto collect = [&](SpielObject &object) {
        for (ParticleEngine *effect : object.getParticleEngineVector()) {
            const std::array<float, 3> view = cone.toViewSpace(effect->getPos());
            if (session.getOptions().useFrustumCulling) {
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
    for (Fahrzeug *vehicle : session.getWorld().getFahrzeugvektor())
        collect(*vehicle);
    for (LvlObject *object : session.getWorld().getLevelObjectVektor())
        collect(*object);
    for (Projektil *shot : session.getWorld().getProjektilvektor())
        collect(*shot);
    effects.sort(); // nearest first
    for (auto it = effects.rbegin(); it != effects.rend(); ++it)
        it->getParticleEngine()->drawSorted(angleX, yaw + 180, 0);
}

std::string BattleView::fpsLine(int culled) const {
    char text[160];
    if (session.getOptions().useFrustumCulling)
        std::snprintf(text, sizeof text, "%.2f fps                Objects not drawn by Frustumculling:%d", dFps,
                      culled);
    else
        std::snprintf(text, sizeof text, "%.2f fps", dFps);
    return text;
}

BattleView::BattleView(GameClass &session) : session(session) {}

BattleView::~BattleView() = default;

void BattleView::prepare(Level &level, bool withGl) {
    if (withGl) {
        glFrontFace(GL_CW);
        glCullFace(GL_BACK);
        glEnable(GL_CULL_FACE);
        shadowMap = std::make_unique<ShadowMap>();
        vertexBuffers = std::make_unique<VertexBufferHandler>();
        if (!shadowMap->init() && session.getOptions().useShadowmap)
            session.getOptions().setUseShadowmap(false); // the driver cannot draw shadows; the init said why

        // What the view draws the battle with: a display list per model, a light map per object.
        LightMap lightMap;
        auto compile = [this](Md2Model *model) {
            if (model != nullptr)
                if (const unsigned int list = displayLists.generateDisplayListId(model->getName()))
                    createList(list, model);
        };
        for (const auto &object : level.getObjectDataList()) {
            if (Md2Model *model = session.getModell(object->getModel())) {
                compile(model);
                registerObjectLightMap(lightMap, level, *object);
            }
        }
        // Each tank trails smoke of its side's colour, which its hits turn red and dark.
        for (Fahrzeug *vehicle : session.getWorld().getFahrzeugvektor()) {
            compile(vehicle->getModell()->getModel());
            const float *smoke =
                Sides::isPlayer(vehicle->getSide()) ? kSmokePlayers[vehicle->getSide()] : kSmokeComputer;
            vehicle->addPertikleEffekt(new CPeRauch(vehicle->getPos(), smoke, kSmokeParticles, kSmokeRadius,
                                                    kSmokeHeight, kSmokeBuoyancy, session.getTextureHolder()));
        }
        for (const auto &powerUp : session.getWorld().getPowerUpField().getPowerUps())
            compile(powerUp->getModell()->getModel());
        // Shells too, before the first is fired: a shell may live a few ticks between two frames.
        compile(session.getModell(Projektil::kModelName));
    }

    // One view per human tank; a level without player one's tank shows player two's.
    viewCount = 0;
    for (int player = 0; player < kMaxPlayers; ++player)
        if (session.getWorld().getPlayerVehicle(player) != nullptr)
            viewPlayers[viewCount++] = player;
    if (viewCount == 0)
        viewPlayers[viewCount++] = 0;
    std::printf("Human players: %d, views: %d\n", session.getWorld().getHumanPlayers(), viewCount);
}

void BattleView::release(Level &level) {
    for (const auto &object : level.getObjectDataList())
        session.getTextureHolder()->freeTextureByString(lightMapName(*object));
    level.releaseView();
}

void BattleView::createList(unsigned int dlID, Md2Model *mdl) {
    if (mdl != nullptr)
        Md2Renderer::compileList(dlID, *mdl); // prints the list's number
}

void BattleView::liftAboveGround(OrbitCamera &camera) const {
    const Level *currentLevel = session.getWorld().getCurrentLevel();
    if (currentLevel == nullptr)
        return;
    // The highest ground within a few units of the eye, so that no slope reaches the near plane.
    const std::array<float, 3> eye = camera.eye();
    static const float kAround[5][2] = {{0, 0}, {2, 0}, {-2, 0}, {0, 2}, {0, -2}};
    float ground = -1.0e9f;
    for (const auto &offset : kAround)
        ground = std::max(ground, currentLevel->getGroundHeight(eye[0] + offset[0], eye[2] + offset[1]));
    if (eye[1] < ground + kCamClearance)
        camera.moveViewPos(1, ground + kCamClearance - eye[1]);
}

void BattleView::setResolution(int width, int height) {
    iWidth = width;
    iHeight = height;
    font.init(width, height);
}

std::string BattleView::lightMapName(const ObjectData &object) {
    return object.getName() + "light";
}

bool BattleView::registerObjectLightMap(LightMap &lightMap, const Level &level, const ObjectData &object) {
    const Md2Model *model = session.getModell(object.getModel());
    if (model == nullptr) {
        return false;
    }
    level.applyLight(lightMap);
    const std::string textureName = lightMapName(object);
    const DevilImageDefinition image = lightMap.calcModelLightMapTexture(
        model, object.getName(), object.getPos(), object.getRotation(), object.getSize());
    std::printf("%s", textureName.c_str());
    std::fflush(stdout);
    session.getTextureHolder()->setInMemoryGeneratedTexture(image, textureName);
    return true;
}

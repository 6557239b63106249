// Level start in the session: the world starts the level, the view makes what it draws it with.
#include "game/GameClass.h"

#include "level/Level.h"
#include "objects/Fahrzeug.h"
#include "objects/PowerUpObject.h"
#include "particles/CPeRauch.h"
#include "render/LightMap.h"
#include "render/Md2Model.h"
#include "render/Md2Renderer.h"
#include "render/ShadowMap.h"
#include "render/VertexBufferHandler.h"

#include <GL/gl.h>

#include <cstdio>

namespace {

// Smoke trail colours by side.
constexpr float kSmokePlayer1[4] = {0.5f, 1.0f, 0.5f, 1.0f};
constexpr float kSmokePlayer2[4] = {0.5f, 0.5f, 1.0f, 1.0f};
constexpr float kSmokeComputer[4] = {1.0f, 0.5f, 0.5f, 1.0f};
constexpr int kSmokeParticles = 200;
constexpr float kSmokeRadius = 1.0f;
constexpr float kSmokeHeight = 5.0f;
constexpr float kSmokeBuoyancy = 1.0f;

} // namespace

bool GameClass::loadLevel(const std::string &strLevelName) {
    Level *level = data.getLevel(strLevelName);
    return level != nullptr && loadLevel(level);
}

void GameClass::createList(unsigned int dlID, Md2Model *mdl) {
    if (mdl != nullptr)
        Md2Renderer::compileList(dlID, *mdl); // prints the list's number
}

void GameClass::clearWorld() {
    // A new start replaces the old battle, and what the view made for it goes with it: its objects'
    // light maps, its terrain's and border's GL objects. A start of the same level makes them again.
    Level *currentLevel = world.getCurrentLevel();
    if (currentLevel != nullptr && !viewless) {
        for (const auto &object : currentLevel->getObjectDataList())
            textures.freeTextureByString(lightMapName(*object));
        currentLevel->releaseView();
    }
    world.clear();
    exitRequested = false;
    pausedOverlay = false;
    options.drawMiniMap = false; // a map key held in the last battle, or typed since, does not carry over
}

bool GameClass::loadLevel(Level *level) {
    if (level == nullptr)
        return false;
    clearWorld();
    battleSound.reset(*sound);
    if (!viewless) {
        glFrontFace(GL_CW);
        glCullFace(GL_BACK);
        glEnable(GL_CULL_FACE);
        shadowMap = std::make_unique<ShadowMap>();
        vertexBuffers = std::make_unique<VertexBufferHandler>();
        if (!shadowMap->init() && options.useShadowmap)
            options.setUseShadowmap(false); // the driver cannot draw shadows; the init said why
    }
    std::string file = level->getLvlName();
    for (const auto &entry : data.getLevelFiles())
        if (entry.second == level)
            file = "data/level/" + entry.first;
    world.start(*level, file);

    if (!viewless) {
        // What the view draws the battle with: a display list per model, a light map per object.
        LightMap lightMap;
        auto compile = [this](Md2Model *model) {
            if (model != nullptr)
                if (const unsigned int list = displayLists.generateDisplayListId(model->getName()))
                    createList(list, model);
        };
        for (const auto &object : level->getObjectDataList()) {
            if (Md2Model *model = getModell(object->getModel())) {
                compile(model);
                registerObjectLightMap(lightMap, *level, *object);
            }
        }
        // Each tank trails smoke of its side's colour, which its hits turn red and dark.
        for (Fahrzeug *vehicle : world.getFahrzeugvektor()) {
            compile(vehicle->getModell()->getModel());
            const float *smoke = vehicle->getSide() == 0   ? kSmokePlayer1
                                 : vehicle->getSide() == 1 ? kSmokePlayer2
                                                           : kSmokeComputer;
            vehicle->addPertikleEffekt(new CPeRauch(vehicle->getPos(), smoke, kSmokeParticles, kSmokeRadius,
                                                    kSmokeHeight, kSmokeBuoyancy, &textures));
        }
        for (const auto &powerUp : world.getPowerUpField().getPowerUps())
            compile(powerUp->getModell()->getModel());
    }

    // One view per human tank; a level without player one's tank shows player two's.
    viewCount = 0;
    for (int player = 0; player < 2; ++player)
        if (getPlayerVehicle(player) != nullptr)
            viewPlayers[viewCount++] = player;
    if (viewCount == 0)
        viewPlayers[viewCount++] = 0;
    std::printf("Human players: %d, views: %d\n", world.getHumanPlayers(), viewCount);
    return true;
}

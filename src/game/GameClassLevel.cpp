// Level start: turns a loaded level into objects, vehicles, physics bodies and goals.
#include "game/GameClass.h"

#include "config/CFahrzeugTypDaten.h"
#include "level/Level.h"
#include "objects/AiData.h"
#include "objects/ComputerSpieler.h"
#include "objects/Fahrzeug.h"
#include "objects/LvlObject.h"
#include "objects/Projektil.h"
#include "objects/Spieler.h"
#include "particles/CPeRauch.h"
#include "render/LightMap.h"
#include "render/Md2Model.h"
#include "render/Md2Renderer.h"
#include "render/ShadowMap.h"
#include "render/VertexBufferHandler.h"

#include <GL/gl.h>

#include <cstdio>

namespace {

// Smoke trail colours by owner.
constexpr float kSmokePlayer1[4] = {0.5f, 1.0f, 0.5f, 1.0f};
constexpr float kSmokePlayer2[4] = {0.5f, 0.5f, 1.0f, 1.0f};
constexpr float kSmokeComputer[4] = {1.0f, 0.5f, 0.5f, 1.0f};
constexpr int kSmokeParticles = 200;
constexpr float kSmokeRadius = 1.0f;
constexpr float kSmokeHeight = 5.0f;
constexpr float kSmokeBuoyancy = 1.0f;
constexpr int kLightCount = 8; // GL_LIGHT0 .. GL_LIGHT7
constexpr unsigned kAutopilotSeedMix = 0x9e3779b9u; // the autopilot's brain draws apart from the computer's
constexpr const char *kUntypedVehicleModel = "tank1.md2"; // a vehicle of an unknown type is drawn with it

} // namespace

void GameClass::setSpieler1(Spieler *player) {
    if (player != nullptr)
        spieler1.reset(player);
}

void GameClass::setSpieler2(Spieler *player) {
    if (player != nullptr)
        spieler2.reset(player);
}

bool GameClass::loadLevel(const std::string &strLevelName) {
    Level *level = getLevel(strLevelName);
    return level != nullptr && loadLevel(level);
}

void GameClass::createList(unsigned int dlID, Md2Model *mdl) {
    if (mdl != nullptr)
        Md2Renderer::compileList(dlID, *mdl); // prints the list's number
}

void GameClass::clearWorld() {
    // A new start replaces the old world: nothing of a previous game may keep
    // a physics body, a goal state or the exit request.
    for (auto it = projektile.rbegin(); it != projektile.rend(); ++it)
        delete *it; // releases its own body
    projektile.clear();
    for (auto it = fahrzeuge.rbegin(); it != fahrzeuge.rend(); ++it) {
        physics.ReleaseActor((*it)->getActorName());
        delete *it;
    }
    fahrzeuge.clear();
    for (auto it = levelObjects.rbegin(); it != levelObjects.rend(); ++it) {
        physics.ReleaseActor((*it)->getObjectName());
        delete *it;
    }
    levelObjects.clear();
    powerUpField.clear();
    player1Vehicle = player2Vehicle = nullptr;
    if (currentLevel != nullptr) {
        physics.ReleaseActor(Level::kMeshName);
        currentLevel->resetTerrainMesh();
        // What the last start made for the view goes with it: its objects' light maps, its
        // terrain's and border's GL objects. A start of the same level makes them again.
        if (!viewless) {
            for (const auto &object : currentLevel->getObjectDataList())
                textures.freeTextureByString(lightMapName(*object));
            currentLevel->releaseView();
        }
    }
    currentLevel = nullptr;
    exitRequested = false;
    outcome = BattleRules::kRunning;
    scores.reset();
    tickCount = 0;
    battleTicks = 0;
    pausedOverlay = false;
    drawMiniMap = false; // a map key held in the last battle, or typed since, does not carry over
}

bool GameClass::loadLevel(Level *level) {
    if (level == nullptr)
        return false;
    if (!viewless) {
        glFrontFace(GL_CW);
        glCullFace(GL_BACK);
        glEnable(GL_CULL_FACE);
    }
    clearWorld();
    physics.resetWorld(); // a fresh engine: nothing the last battle left in it steers this one
    autopilot.reset();    // no tank is left that it drives
    if (autopilotWanted) {
        autopilot = std::make_unique<ComputerSpieler>(&fahrzeuge, &projektile);
        autopilot->setPowerUps(&powerUpField.getPowerUps());
        autopilot->setDifficulty(autopilotDifficulty);
    }
    battleSound.reset(*sound);

    level->setGC(this);
    if (!viewless) {
        shadowMap = std::make_unique<ShadowMap>();
        vertexBuffers = std::make_unique<VertexBufferHandler>();
        if (!shadowMap->init() && useShadowmap)
            setUseShadowmap(false); // the driver cannot draw shadows; the init said why
    }
    level->calculateSurfaceMesh();

    for (const auto &light : level->getLightDataList())
        if (light->getLightNumber() >= 0 && light->getLightNumber() < kLightCount)
            std::printf("Create Light\n");

    LightMap lightMap;
    std::map<std::string, int> missingModels; // model name -> records left out for want of it
    for (const auto &object : level->getObjectDataList()) {
        Md2Model *model = getModell(object->getModel());
        if (model == nullptr) {
            ++missingModels[object->getModel()];
            continue;
        }
        if (!viewless) {
            if (const unsigned int list = displayLists.generateDisplayListId(object->getModel()))
                createList(list, model);
            registerObjectLightMap(lightMap, *level, *object);
        }
        auto *lvlObject = new LvlObject(object.get(), this);
        levelObjects.push_back(lvlObject);
        const Modell &modell = *lvlObject->getModell();
        physics.prepareConvexMesh(modell.getVerticesCount(), modell.getTrianglesCount(), modell.getAllVertices(),
                                  modell.getAllTriangles(), object->getName(), object->getPos(),
                                  object->getSize(), object->getRotation(), lvlObject, true);
    }

    for (const auto &record : level->getVehicleDataList()) {
        Owner *owner = nullptr;
        const float *smoke = nullptr;
        const VehicleData::OwnerKind kind = record->getOwnerKind();
        if (kind == VehicleData::OwnerKind::PlayerOne) {
            owner = spieler1.get();
            smoke = kSmokePlayer1;
        } else if (kind == VehicleData::OwnerKind::PlayerTwo) {
            if (humanPlayers < 2)
                continue; // player one plays alone: no tank for player two
            owner = spieler2.get();
            smoke = kSmokePlayer2;
        } else if (kind == VehicleData::OwnerKind::Computer) {
            owner = computerSpieler.get();
            smoke = kSmokeComputer;
        } else {
            continue; // no such owner: no vehicle, no body (the level choice leaves it out too)
        }
        const int side = kind == VehicleData::OwnerKind::PlayerOne   ? 0
                         : kind == VehicleData::OwnerKind::PlayerTwo ? 1
                                                                     : Sides::kComputer;
        if (side != Sides::kComputer && autopilot != nullptr)
            owner = autopilot.get(); // the brain drives the player's tank, for the player's side
        auto *vehicle = new Fahrzeug(record.get(), this, owner);
        vehicle->setSide(side);
        Md2Model *model = vehicle->getModell()->getModel();
        if (model == nullptr) {
            const CFahrzeugTypDaten *type = getFahrzeugDatenTyp(record->getFahrzeugTyp());
            ++missingModels[type != nullptr ? type->getModellName() : kUntypedVehicleModel];
            delete vehicle;
            continue;
        }
        if (!viewless)
            if (const unsigned int list = displayLists.generateDisplayListId(model->getName()))
                createList(list, model);
        fahrzeuge.push_back(vehicle);
        if (kind == VehicleData::OwnerKind::PlayerOne)
            player1Vehicle = vehicle;
        else if (kind == VehicleData::OwnerKind::PlayerTwo)
            player2Vehicle = vehicle;
        if (owner == computerSpieler.get() || owner == autopilot.get())
            vehicle->setAiData(new AiData(&physics));
        vehicle->addPertikleEffekt(new CPeRauch(vehicle->getPos(), smoke, kSmokeParticles, kSmokeRadius,
                                                kSmokeHeight, kSmokeBuoyancy, &textures));
        const Modell &modell = *vehicle->getModell();
        physics.prepareConvexMesh(modell.getVerticesCount(), modell.getTrianglesCount(), modell.getAllVertices(),
                                  modell.getAllTriangles(), vehicle->getActorName(), vehicle->getPos(),
                                  modell.getScale(), vehicle->getRotY(), vehicle, false);
    }

    reportMissingModels(*level, missingModels);

    // One view per human tank; a level without player one's tank shows player two's.
    viewCount = 0;
    for (int player = 0; player < 2; ++player)
        if (getPlayerVehicle(player) != nullptr)
            viewPlayers[viewCount++] = player;
    if (viewCount == 0)
        viewPlayers[viewCount++] = 0;
    std::printf("Human players: %d, views: %d\n", humanPlayers, viewCount);

    placePowerUps(*level);

    currentLevel = level;
    level->setPhysXAccess(&physics);
    level->joinPhysics(); // the ground exists from the start, with or without a window
    const LandBorder::Area area = level->getPlayableArea();
    const float low[3] = {area.left, 0.0f, area.front}, high[3] = {area.right, 0.0f, area.back};
    physics.setBoundary(low, high); // tanks stay on the field; shells may fly out
    computerSpieler->setSeed(battleSeed);
    computerSpieler->startLevel(*level, levelObjects, &physics);
    if (autopilot != nullptr) {
        autopilot->setSeed(battleSeed ^ kAutopilotSeedMix); // a sequence of its own
        autopilot->startLevel(*level, levelObjects, &physics);
    }
    return true;
}

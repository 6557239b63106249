// The battle: its start from a level, its tick, its sweeps and its rules.
#include "game/BattleWorld.h"

#include "config/CFahrzeugTypDaten.h"
#include "config/GamePaths.h"
#include "level/Level.h"
#include "objects/AiData.h"
#include "objects/ComputerSpieler.h"
#include "objects/Fahrzeug.h"
#include "objects/HitRule.h"
#include "objects/LvlObject.h"
#include "objects/ObjectHost.h"
#include "objects/Owner.h"
#include "objects/PowerUpObject.h"
#include "objects/Projektil.h"
#include "objects/Spieler.h"
#include "objects/Weapon.h"
#include "level/PlayerStarts.h"
#include "model/Md2Model.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace {

constexpr int kLightCount = 8;                      // GL_LIGHT0 .. GL_LIGHT7
constexpr unsigned kAutopilotSeedMix = 0x9e3779b9u; // the autopilot's brain draws apart from the computer's
constexpr const char *kUntypedVehicleModel = "tank1.md2"; // a vehicle of an unknown type is drawn with it
constexpr float kHover = 0.4f; // units above the ground for a power-up whose record gives no height

} // namespace

BattleWorld::BattleWorld(ObjectHost &host)
    // Players without keys until the program gives them theirs: their tanks go by the input alone.
    : host(host), computerSpieler(std::make_unique<ComputerSpieler>(&fahrzeuge, &projektile)) {
    for (auto &player : spieler)
        player = std::make_unique<Spieler>(0, 0, 0, 0, 0);
    computerSpieler->setPowerUps(&powerUpField.getPowerUps()); // a damaged tank fetches a repair it sees
    physics.initialPhysX();
    installContactRule();
}

BattleWorld::~BattleWorld() {
    clear();
    physics.FreeEverything();
}

void BattleWorld::setSpieler(int player, Spieler *owner) {
    if (owner != nullptr && player >= 0 && player < kMaxPlayers)
        spieler[static_cast<std::size_t>(player)].reset(owner);
}

void BattleWorld::setAiDifficulty(AiDifficulty difficulty) {
    computerSpieler->setDifficulty(difficulty);
}

AiDifficulty BattleWorld::joiningDifficulty() const {
    return everyTankJoins ? AiDifficulty::Hard : getAiDifficulty();
}

AiDifficulty BattleWorld::getAiDifficulty() const {
    return computerSpieler->getDifficulty();
}

void BattleWorld::clear() {
    // A new start replaces the old world: nothing of a previous battle may keep a physics body.
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
    playerVehicles.fill(nullptr);
    if (currentLevel != nullptr) {
        physics.ReleaseActor(Level::kMeshName);
        currentLevel->resetTerrainMesh();
    }
    currentLevel = nullptr;
    outcome = BattleRules::kRunning;
    scores.reset();
    tickCount = 0;
    battleTicks = 0;
    shotSerial = 0;
    events.clear();
}

void BattleWorld::start(Level &level, const std::string &file) {
    clear();
    physics.resetWorld(); // a fresh engine: nothing the last battle left in it steers this one
    autopilot.reset();    // no tank is left that it drives
    if (autopilotWanted) {
        autopilot = std::make_unique<ComputerSpieler>(&fahrzeuge, &projektile);
        autopilot->setPowerUps(&powerUpField.getPowerUps());
        autopilot->setDifficulty(autopilotDifficulty, true);
    }
    level.setGC(&host);
    level.calculateSurfaceMesh();

    for (const auto &light : level.getLightDataList())
        if (light->getLightNumber() >= 0 && light->getLightNumber() < kLightCount)
            std::printf("Create Light\n");

    std::map<std::string, int> missingModels; // model name -> records left out for want of it
    for (const auto &object : level.getObjectDataList()) {
        if (host.getModell(object->getModel()) == nullptr) {
            ++missingModels[object->getModel()];
            continue;
        }
        auto *lvlObject = new LvlObject(object.get(), &host);
        levelObjects.push_back(lvlObject);
        const Modell &modell = *lvlObject->getModell();
        physics.prepareConvexMesh(modell.getVerticesCount(), modell.getTrianglesCount(), modell.getAllVertices(),
                                  modell.getAllTriangles(), object->getName(), object->getPos(),
                                  object->getSize(), object->getRotation(), lvlObject, true);
    }

    addedRecords.clear();
    const PlayerStarts::Ground ground = [&level](float x, float z) { return level.getTerrainHeight(x, z); };
    for (int player = 2; player < humanPlayers; ++player)
        if (auto record = PlayerStarts::beside(level.getVehicleDataList(), player, ground))
            addedRecords.push_back(std::move(record));
    const AiDifficulty difficulty = joiningDifficulty();
    for (const auto &record : level.getVehicleDataList())
        if (record->joins(difficulty, humanPlayers)) // some tanks join only harder or larger battles
            addVehicle(*record, missingModels);
    for (const auto &record : addedRecords)
        addVehicle(*record, missingModels);

    for (const auto &[name, count] : missingModels) {
        if (host.modelFileFailed(name)) { // its file was reported at start-up: no second error
            std::printf("Level \"%s\": %d object(s) of the unusable model \"%s\" left out\n",
                        level.getLvlName().c_str(), count, name.c_str());
        } else {
            std::fprintf(stderr, "Error: level \"%s\": the model \"%s\" is not loaded (no such file in %s); "
                         "%d object(s) using it left out\n", level.getLvlName().c_str(), name.c_str(),
                         GamePaths::current().data("model/").c_str(), count);
        }
    }

    placePowerUps(level, file);
    currentLevel = &level;
    level.setPhysXAccess(&physics);
    level.joinPhysics(); // the ground exists from the start, with or without a window
    const LandBorder::Area area = level.getPlayableArea();
    const float low[3] = {area.left, 0.0f, area.front}, high[3] = {area.right, 0.0f, area.back};
    physics.setBoundary(low, high); // tanks stay on the field; shells may fly out
    computerSpieler->setSeed(battleSeed);
    if (!following) // the followed machine's brains drive its computer tanks
        computerSpieler->startLevel(level, levelObjects, &physics);
    if (autopilot != nullptr) {
        autopilot->setSeed(battleSeed ^ kAutopilotSeedMix); // a sequence of its own
        autopilot->startLevel(level, levelObjects, &physics);
    }
}

void BattleWorld::addVehicle(const VehicleData &record, std::map<std::string, int> &missingModels) {
    const VehicleData::OwnerKind kind = record.getOwnerKind();
    const int player = VehicleData::playerOf(kind);
    Owner *owner = nullptr;
    if (player >= 0) {
        if (player >= humanPlayers)
            return; // fewer players: no tank for this one
        owner = spieler[static_cast<std::size_t>(player)].get();
    } else if (kind == VehicleData::OwnerKind::Computer) {
        owner = computerSpieler.get();
    } else {
        return; // no such owner: no vehicle, no body (the level choice leaves it out too)
    }
    const int side = player >= 0 ? player : Sides::kComputer;
    if (player >= 0 && autopilot != nullptr)
        owner = autopilot.get(); // the brain drives the player's tank, for the player's side
    auto *vehicle = new Fahrzeug(&record, &host, owner);
    vehicle->setSide(side);
    if (vehicle->getModell()->getModel() == nullptr) {
        const CFahrzeugTypDaten *type = host.getFahrzeugDatenTyp(record.getFahrzeugTyp());
        ++missingModels[type != nullptr ? type->getModellName() : kUntypedVehicleModel];
        delete vehicle;
        return;
    }
    fahrzeuge.push_back(vehicle);
    vehicle->setSerial(static_cast<std::uint32_t>(fahrzeuge.size()));
    if (player >= 0) {
        playerVehicles[static_cast<std::size_t>(player)] = vehicle;
        if (!following) // a followed world takes its lives from the host as they are
            vehicle->setHitShare(playerHitShare(joiningDifficulty()));
    }
    if (owner == computerSpieler.get() || owner == autopilot.get())
        vehicle->setAiData(new AiData(&physics));
    const Modell &modell = *vehicle->getModell();
    physics.prepareConvexMesh(modell.getVerticesCount(), modell.getTrianglesCount(), modell.getAllVertices(),
                              modell.getAllTriangles(), vehicle->getActorName(), vehicle->getPos(),
                              modell.getScale(), vehicle->getRotY(), vehicle, false);
}

std::size_t BattleWorld::importPowerUps(const std::string &indexPath) {
    powerUpField.clear(); // placed power-ups point at the types they were made with
    powerUpTypes.clear();
    ConfigReader::LoadPowerUpTypes(powerUpTypes, indexPath);
    return powerUpTypes.size();
}

void BattleWorld::placePowerUps(const Level &level, const std::string &file) {
    for (const auto &record : level.getLevelPowerUps()) {
        const auto type = powerUpTypes.find(record->getTypName());
        if (type == powerUpTypes.end()) {
            std::fprintf(stderr, "Error: %s: power-up \"%s\" left out: its type \"%s\" is not in %s\n",
                         file.c_str(), record->getName().c_str(), record->getTypName().c_str(),
                         ConfigReader::powerUpIndexFile().c_str());
            continue;
        }
        const float *pos = record->getPos();
        const float base[3] = {
            pos[0], record->hasPosY() ? pos[1] : level.getTerrainHeight(pos[0], pos[2]) + kHover, pos[2]};
        PowerUpObject *powerUp = powerUpField.place(*record, type->second.get(), base);
        powerUp->setGameClass(&host);
        Md2Model *model = host.getModell(type->second->getModellName());
        powerUp->getModell()->setModel(model);
        if (model != nullptr) // else shown by its glow alone
            powerUp->getModell()->calcBorder();
    }
}

void BattleWorld::tick(const TickInput &input) {
    const float dt = kTickSeconds;
    events.clear();
    ++tickCount;
    if (outcome == BattleRules::kRunning)
        ++battleTicks;
    for (Fahrzeug *vehicle : fahrzeuge)
        vehicle->markTick();
    for (Projektil *shot : projektile)
        shot->markTick();
    physics.updateObjects(dt);

    // Owners may fire; every vehicle, the shooter included, can be hit by the new shell.
    for (std::size_t i = 0; i < fahrzeuge.size(); ++i) {
        Fahrzeug *vehicle = fahrzeuge[i];
        Owner *owner = vehicle->getOwner();
        if (owner == nullptr)
            continue;
        const int player = playerOf(vehicle);
        const PlayerInput controls = player >= 0 ? input[static_cast<std::size_t>(player)] : PlayerInput{};
        if (Projektil *shot = owner->doSomething(vehicle, controls, dt)) {
            shot->setSerial(++shotSerial);
            projektile.push_back(shot);
            for (Fahrzeug *target : fahrzeuge)
                physics.setContactReport(shot, target);
            event(BattleEvent::kShotFired, shot->getPos());
        }
    }
    for (Projektil *shot : projektile)
        shot->move(dt);
    for (Fahrzeug *vehicle : fahrzeuge)
        vehicle->move(dt);
    for (LvlObject *object : levelObjects)
        object->move(dt);
    powerUpField.step(dt, fahrzeuge);

    sweepProjectiles();
    sweepVehicles();
    decideBattle();
}

void BattleWorld::tickFollowing(int player, const PlayerInput &controls) {
    const float dt = kTickSeconds;
    events.clear();
    ++tickCount;
    for (Fahrzeug *vehicle : fahrzeuge)
        vehicle->markTick();
    for (Projektil *shot : projektile)
        shot->markTick();
    physics.updateObjects(dt);
    const Fahrzeug *own = getPlayerVehicle(player);
    for (Fahrzeug *vehicle : fahrzeuge) {
        const PlayerInput drive = vehicle == own ? controls.limited() : PlayerInput{};
        vehicle->setDrive(drive.throttle, drive.turn);
        vehicle->move(dt);
    }
    for (Projektil *shot : projektile)
        shot->move(dt);
    for (LvlObject *object : levelObjects)
        object->move(dt);
    powerUpField.step(dt, fahrzeuge);
}

Fahrzeug *BattleWorld::vehicleOfSerial(std::uint32_t serial) const {
    for (Fahrzeug *vehicle : fahrzeuge)
        if (vehicle->getSerial() == serial)
            return vehicle;
    return nullptr;
}

void BattleWorld::removeVehicle(Fahrzeug *vehicle) {
    const auto found = std::find(fahrzeuge.begin(), fahrzeuge.end(), vehicle);
    if (found != fahrzeuge.end())
        eraseVehicle(static_cast<std::size_t>(found - fahrzeuge.begin()));
}

Projektil *BattleWorld::addShell(std::uint32_t serial, Fahrzeug *shooter, const float *pos, const float *direction) {
    const Weapon *weapon = shooter != nullptr ? shooter->getWeapon() : nullptr;
    auto *shot = new Projektil(pos, direction, weapon, shooter, &host, "shell-" + std::to_string(serial), false);
    shot->setSerial(serial);
    projektile.push_back(shot);
    return shot;
}

void BattleWorld::removeShell(Projektil *shell) {
    const auto found = std::find(projektile.begin(), projektile.end(), shell);
    if (found != projektile.end()) {
        projektile.erase(found);
        delete shell;
    }
}

void BattleWorld::event(BattleEvent::Kind kind, const float *pos, int player) {
    BattleEvent happened{kind, {0.0f, 0.0f, 0.0f}, player};
    if (pos != nullptr)
        std::copy(pos, pos + 3, happened.pos);
    events.push_back(happened);
}

int BattleWorld::playerOf(const Fahrzeug *vehicle) const {
    return vehicle != nullptr && Sides::isPlayer(vehicle->getSide()) ? vehicle->getSide() : -1;
}

void BattleWorld::sweepProjectiles() {
    std::size_t i = 0;
    while (i < projektile.size()) {
        Projektil *shot = projektile[i];
        // A shell that flew off the field bursts where it meets the land beyond; the border has no body.
        const float *at = shot->getPos();
        const LandBorder::Area field =
            currentLevel != nullptr ? currentLevel->getPlayableArea() : LandBorder::Area{};
        const bool offField =
            at[0] < field.left || at[0] > field.right || at[2] < field.front || at[2] > field.back;
        const bool landed = currentLevel != nullptr && shot->getStatus() == Projektil::kStatusFlying &&
                            offField && at[1] < currentLevel->getGroundHeight(at[0], at[2]);
        if (shot->getTTL() > 0 && !landed) {
            ++i;
        } else if (shot->getStatus() == Projektil::kStatusFlying && shot->getWeapon() != nullptr &&
                   shot->getWeapon()->getExplodiert()) {
            shot->explode(); // starts its own time to live; looked at again
        } else {
            projektile.erase(projektile.begin() + static_cast<std::ptrdiff_t>(i));
            delete shot;
        }
    }
}

void BattleWorld::sweepVehicles() {
    std::size_t i = 0;
    while (i < fahrzeuge.size()) {
        Fahrzeug *vehicle = fahrzeuge[i];
        if (vehicle->getStatus() != Fahrzeug::kStatusDestroyed)
            ++i;
        else
            eraseVehicle(i);
    }
}

void BattleWorld::eraseVehicle(std::size_t index) {
    Fahrzeug *vehicle = fahrzeuge[index];
    fahrzeuge.erase(fahrzeuge.begin() + static_cast<std::ptrdiff_t>(index));
    for (Fahrzeug *&own : playerVehicles)
        if (own == vehicle)
            own = nullptr;
    physics.ReleaseActor(vehicle->getActorName());
    delete vehicle;
}

void BattleWorld::installContactRule() {
    // The physics reports touches of armed pairs after its step; the rule acts only on a shell and a
    // vehicle still in the lists.
    physics.setContactHandler(HitRule(projektile, fahrzeuge,
                                      [this](const Fahrzeug *shooter, const Fahrzeug *target, bool destroyed) {
                                          countHit(shooter, target, destroyed);
                                          event(destroyed ? BattleEvent::kTankDestroyed : BattleEvent::kTankHit,
                                                target != nullptr ? target->getPos() : nullptr, playerOf(target));
                                      }));
    // A tank touching a power-up's trigger sphere takes it.
    physics.getTriggerReport().setHandler([this](SpielObject *trigger, SpielObject *other, int status) {
        if (following)
            return;
        if (const float *at = powerUpField.onTouch(trigger, other, status, fahrzeuge))
            event(BattleEvent::kPowerUpTaken, at);
    });
}

void BattleWorld::countHit(const Fahrzeug *shooter, const Fahrzeug *target, bool destroyed) {
    if (outcome != BattleRules::kRunning || shooter == nullptr || shooter == target)
        return;
    const int player = playerOf(shooter);
    const bool human = playerOf(target) >= 0;
    scores.hit(player, human ? ScoreSheet::kHuman : ScoreSheet::kComputer, destroyed);
}

void BattleWorld::decideBattle() {
    if (outcome != BattleRules::kRunning || currentLevel == nullptr)
        return;
    int computerTanks = 0;
    for (const Fahrzeug *vehicle : fahrzeuge)
        if (vehicle->getSide() == Sides::kComputer && vehicle->getOwner() != nullptr)
            ++computerTanks;
    std::array<bool, kMaxPlayers> alive{};
    for (int player = 0; player < kMaxPlayers; ++player)
        alive[static_cast<std::size_t>(player)] = playerVehicles[static_cast<std::size_t>(player)] != nullptr;
    outcome = BattleRules::decide(computerTanks, alive);
    const int winner = BattleRules::winner(outcome);
    if (winner >= 0)
        scores.win(winner, getBattleSeconds(), currentLevel->getParTime());
    if (outcome != BattleRules::kRunning) {
        event(BattleEvent::kBattleDecided, nullptr);
        std::printf("Battle over: %s (scores %s)\n", BattleRules::text(outcome),
                    scores.listed(humanPlayers).c_str());
        std::fflush(stdout);
    }
}

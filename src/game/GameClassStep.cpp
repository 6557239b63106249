// The battle's tick: physics, owners, movement, removal of spent shells and
// destroyed tanks, and the battle's result; and the view's part of a frame.
#include "game/GameClass.h"

#include "config/KeyNames.h"
#include "level/Level.h"
#include "objects/Fahrzeug.h"
#include "objects/HitRule.h"
#include "objects/LvlObject.h"
#include "objects/Owner.h"
#include "objects/Projektil.h"
#include "objects/Spieler.h"
#include "objects/Weapon.h"

#include <cstdio>

namespace {
// A bound key is held; codes outside the table never are.
bool held(const bool *keys, int code) {
    return code > 0 && code < KeyNames::kTableSize && keys[code];
}
} // namespace

TickInput GameClass::readKeyboard(const bool *keys) const {
    TickInput input;
    if (spieler1 != nullptr)
        input[0] = spieler1->readKeys(keys);
    if (spieler2 != nullptr)
        input[1] = spieler2->readKeys(keys);
    return input;
}

void GameClass::frame(float dt, const bool *keys) {
    if (playerConfig != nullptr && keys != nullptr) {
        cameras[0].zoom(dt, held(keys, playerConfig->getZoomIn()), held(keys, playerConfig->getZoomOut()));
        if (humanPlayers == 2)
            cameras[1].zoom(dt, held(keys, playerConfig->getZoomIn2()),
                            held(keys, playerConfig->getZoomOut2()));
    }
    if (!bPause)
        countDownStatusMessage(dt);
}

int GameClass::tick(const TickInput &input) {
    if (bPause)
        return kStepPaused;
    const float dt = kTickSeconds;
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
            projektile.push_back(shot);
            for (Fahrzeug *target : fahrzeuge)
                physics.setContactReport(shot, target);
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
    if (exitRequested)
        battleSound.reset(*sound); // back to the menu: the battle falls silent
    else
        battleSound.afterStep(*this, *sound, dt);
    return exitRequested ? kStepExit : kStepDone;
}

int GameClass::playerOf(const Fahrzeug *vehicle) const {
    return vehicle != nullptr && Sides::isPlayer(vehicle->getSide()) ? vehicle->getSide() : -1;
}

void GameClass::setPause(bool pause) {
    bPause = pause;
    if (pause)
        sound->pauseBattle();
    else
        sound->resumeBattle();
}

void GameClass::setExitVar(bool exit) {
    exitRequested = exit;
    if (exit)
        battleSound.reset(*sound);
}

void GameClass::setSound(std::unique_ptr<SoundSystem> system) {
    if (system != nullptr) {
        battleSound.reset(*sound);
        sound = std::move(system);
    }
}

void GameClass::sweepProjectiles() {
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

void GameClass::sweepVehicles() {
    std::size_t i = 0;
    while (i < fahrzeuge.size()) {
        Fahrzeug *vehicle = fahrzeuge[i];
        if (vehicle->getStatus() != Fahrzeug::kStatusDestroyed) {
            ++i;
            continue;
        }
        fahrzeuge.erase(fahrzeuge.begin() + static_cast<std::ptrdiff_t>(i));
        if (vehicle == player1Vehicle)
            player1Vehicle = nullptr;
        if (vehicle == player2Vehicle)
            player2Vehicle = nullptr;
        physics.ReleaseActor(vehicle->getActorName());
        delete vehicle;
    }
}

void GameClass::installContactRule() {
    // The physics reports touches of armed pairs after its step; the rule
    // acts only on a shell and a vehicle still in the session's lists.
    physics.setContactHandler(HitRule(projektile, fahrzeuge,
                                      [this](const Fahrzeug *shooter, const Fahrzeug *target, bool destroyed) {
                                          countHit(shooter, target, destroyed);
                                      }));
    // A tank touching a power-up's trigger sphere takes it.
    physics.getTriggerReport().setHandler([this](SpielObject *trigger, SpielObject *other, int status) {
        if (const float *at = powerUpField.onTouch(trigger, other, status, fahrzeuge))
            sound->playEffect(SoundId::kPowerUp, at);
    });
}

void GameClass::countHit(const Fahrzeug *shooter, const Fahrzeug *target, bool destroyed) {
    if (outcome != BattleRules::kRunning || shooter == nullptr || shooter == target)
        return;
    const int player = playerOf(shooter);
    const bool human = playerOf(target) >= 0;
    scores.hit(player, human ? ScoreSheet::kHuman : ScoreSheet::kComputer, destroyed);
}

void GameClass::decideBattle() {
    if (outcome != BattleRules::kRunning || currentLevel == nullptr)
        return;
    int computerTanks = 0;
    for (const Fahrzeug *vehicle : fahrzeuge)
        if (vehicle->getSide() == Sides::kComputer && vehicle->getOwner() != nullptr)
            ++computerTanks;
    outcome = BattleRules::decide(computerTanks, player1Vehicle != nullptr, player2Vehicle != nullptr);
    if (outcome == BattleRules::kPlayerOneWins || outcome == BattleRules::kPlayerTwoWins)
        scores.win(outcome == BattleRules::kPlayerOneWins ? 0 : 1, getBattleSeconds(), currentLevel->getParTime());
    if (outcome != BattleRules::kRunning) {
        std::printf("Battle over: %s (scores %d and %d)\n", BattleRules::text(outcome), scores.get(0),
                    scores.get(1));
        std::fflush(stdout);
    }
}

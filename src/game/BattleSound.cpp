#include "game/BattleSound.h"

#include "audio/SoundSystem.h"
#include "game/GameClass.h"
#include "objects/Fahrzeug.h"
#include "objects/LvlObject.h"
#include "objects/Projektil.h"

#include <algorithm>
#include <cmath>

namespace {

float distance(const float *a, const float *b) {
    const float dx = a[0] - b[0];
    const float dy = a[1] - b[1];
    const float dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

float speedShare(float speed, float maxSpeed) {
    if (!(maxSpeed > 0.0f)) {
        return 0.0f;
    }
    return std::clamp(std::fabs(speed) / maxSpeed, 0.0f, 1.0f);
}

} // namespace

float BattleSound::enginePitch(float speed, float maxSpeed) {
    return kIdlePitch + (kFullPitch - kIdlePitch) * speedShare(speed, maxSpeed);
}

float BattleSound::engineGain(float speed, float maxSpeed) {
    return kIdleGain + (1.0f - kIdleGain) * speedShare(speed, maxSpeed);
}

void BattleSound::reset(SoundSystem &sound) {
    sound.stopBattle();
    shells.clear();
    tanks.clear();
    lastOutcome = BattleRules::kRunning;
}

void BattleSound::afterStep(GameClass &game, SoundSystem &sound, float dt) {
    placeListener(game, sound);
    hearShells(game, sound);
    hearTanks(game, sound, dt);
    // The battle's result, once: a win for either player, or the mission failed.
    const BattleRules::Outcome outcome = game.getWorld().getOutcome();
    if (outcome != lastOutcome && lastOutcome == BattleRules::kRunning)
        sound.playSting(outcome != BattleRules::kFailed);
    lastOutcome = outcome;
    sound.update();
}

void BattleSound::placeListener(GameClass &game, SoundSystem &sound) {
    // Each view's eye is where its frame draws it: behind its player's tank, or where the tank fell.
    ears.clear();
    for (int view = 0; view < game.getView().getViewCount(); ++view) {
        const int player = game.getView().getViewPlayer(view);
        const OrbitCamera &camera = game.getCamera(player);
        const Fahrzeug *followed = game.getWorld().getPlayerVehicle(player);
        const std::array<float, 3> eye =
            followed != nullptr ? camera.eyeAt(followed->getPos()) : camera.eye();
        const std::array<float, 3> &offset = camera.getViewPos(); // the eye looks back at its target
        const float look[3] = {-offset[0], -offset[1], -offset[2]};
        ears.add(ViewEars::camera(eye.data(), look));
    }
    const ViewEars::Camera &ear = ears.getListener();
    sound.setListener(ear.eye.data(), ear.forward.data(), ear.up.data());
}

void BattleSound::hearShells(GameClass &game, SoundSystem &sound) {
    std::map<std::string, Shell> now;
    for (const Projektil *shot : game.getWorld().getProjektilvektor()) {
        const float *pos = shot->getPos();
        const std::string name = shot->getActorName();
        const auto before = shells.find(name);
        if (before == shells.end()) {
            sound.playEffect(SoundId::kShot, heard(pos).data());
            now[name].status = shot->getStatus();
            continue;
        }
        Shell state = before->second;
        if (state.status == Projektil::kStatusFlying && shot->getStatus() == Projektil::kStatusExploding) {
            // A burst: on a tank when one is close, else where the shell came down or ran out.
            bool nearTank = false;
            for (const Fahrzeug *tank : game.getWorld().getFahrzeugvektor()) {
                nearTank = nearTank || distance(tank->getPos(), pos) < kTankHitRange;
            }
            sound.playEffect(nearTank ? SoundId::kHitTank : SoundId::kHitGround, heard(pos).data());
        } else if (shot->getStatus() == Projektil::kStatusFlying && !state.struck) {
            // Shells burst only on tanks; one that is stopped or thrown aside by anything else is
            // heard striking it.
            float velocity[3];
            if (game.getPhysXAccess()->getActorVelocity(name, velocity)) {
                const float *direction = shot->getMoveDirection();
                float along = 0.0f;
                for (int i = 0; i < 3; ++i) {
                    along += velocity[i] * direction[i];
                }
                if (along < kStoppedFraction * shot->getSpeed()) {
                    bool nearObject = false;
                    for (const LvlObject *object : game.getWorld().getLevelObjectVektor()) {
                        nearObject = nearObject || distance(object->getPos(), pos) < kHouseRange;
                    }
                    sound.playEffect(nearObject ? SoundId::kHitHouse : SoundId::kHitGround,
                                     heard(pos).data());
                    state.struck = true;
                }
            }
        }
        state.status = shot->getStatus();
        now[name] = state;
    }
    shells.swap(now);
}

void BattleSound::hearTanks(GameClass &game, SoundSystem &sound, float dt) {
    std::map<const void *, Tank> now;
    for (const Fahrzeug *tank : game.getWorld().getFahrzeugvektor()) {
        Tank state;
        state.status = tank->getStatus();
        std::copy(tank->getPos(), tank->getPos() + 3, state.pos);
        const auto before = tanks.find(tank);
        const int last = before != tanks.end() ? before->second.status : Fahrzeug::kStatusIntact;
        if (before != tanks.end() && dt > 0.0f) {
            // The speed that is heard is the one over the ground, smoothed over a few frames.
            const float measured = distance(state.pos, before->second.pos) / dt;
            const float follow = std::min(1.0f, dt / kSpeedSmoothing);
            state.speed = before->second.speed + (measured - before->second.speed) * follow;
        }
        if (state.status == Fahrzeug::kStatusExploding || state.status == Fahrzeug::kStatusDestroyed) {
            if (last != Fahrzeug::kStatusExploding && last != Fahrzeug::kStatusDestroyed) {
                sound.stopLoop(tank, SoundId::kEngine);
                sound.playEffect(SoundId::kExplosion, heard(tank->getPos()).data());
            }
            sound.setLoop(tank, SoundId::kFire, heard(tank->getPos()).data(), 1.0f, 1.0f);
        } else {
            const float top = tank->getMaxSpeedForward();
            sound.setLoop(tank, SoundId::kEngine, heard(tank->getPos()).data(), enginePitch(state.speed, top),
                          engineGain(state.speed, top));
        }
        now[tank] = state;
    }
    // Tanks that were removed take their loops with them.
    for (const auto &entry : tanks) {
        if (now.find(entry.first) == now.end()) {
            sound.stopLoop(entry.first, SoundId::kEngine);
            sound.stopLoop(entry.first, SoundId::kFire);
        }
    }
    tanks.swap(now);
}

#include "objects/Fahrzeug.h"

#include "config/CFahrzeugTypDaten.h"
#include "config/CPowerUpData.h"
#include "objects/ObjectHost.h"
#include "level/VehicleData.h"
#include "objects/CPowerUp.h"
#include "objects/Turm.h"
#include "objects/Weapon.h"
#include "particles/CPeExplosion.h"
#include "particles/ParticleEngine.h"
#include "particles/ParticleRandom.h"
#include "physics/PhysXAccess.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kDegToRad = 0.017453292f; // the heading's conversion factor
constexpr const char *kDefaultModel = "tank1.md2";

// A value in (0, range] divided by 1000: the steps of the explosion's random values. Drawn from the
// effects' own generator: how a tank bursts is for the eye and leaves the battle as it is.
float randomThousandths(int range) {
    return static_cast<float>(ParticleRandom::shared().below(range) + 1) / 1000.0f;
}

} // namespace

Fahrzeug::Fahrzeug() : weapon(std::make_unique<Weapon>()) {}

Fahrzeug::Fahrzeug(const VehicleData *data, ObjectHost *gc, Owner *o) : Fahrzeug() {
    setGameClass(gc);
    owner = o;
    if (data == nullptr) {
        initFromFahrzeugTypDaten(nullptr);
        return;
    }
    name = data->getName();
    setActorName(name);
    getModell()->setScale(data->getSize());

    initFromFahrzeugTypDaten(gc != nullptr ? gc->getFahrzeugDatenTyp(data->getFahrzeugTyp()) : nullptr);
    status = kStatusIntact;
    if (turm) {
        for (int i = 0; i < 3; ++i) {
            turmMount[i] *= data->getSize();
        }
        float muzzle[3];
        std::copy(turm->getPosMuendung(), turm->getPosMuendung() + 3, muzzle);
        for (float &axis : muzzle) {
            axis *= data->getSize();
        }
        turm->setPosMuendung(muzzle);
    }

    setPos(data->getPos());
    getModell()->calcBorder();
    life = data->getLife();
    setRotY(data->getRotation());
    const float *colour = data->getColor();
    getModell()->setFactors(colour[0], colour[1], colour[2]);
}

Fahrzeug::~Fahrzeug() = default;

void Fahrzeug::initFromFahrzeugTypDaten(const CFahrzeugTypDaten *type) {
    ObjectHost *gc = getGameClass();
    if (type == nullptr) {
        accel = 10.0f;
        turningrate = 1.5f;
        maxSpeedForward = 10.0f;
        maxSpeedReturn = -4.0f;
        getModell()->setModel(gc != nullptr ? gc->getModell(kDefaultModel) : nullptr);
        turm.reset();
        std::fill(turmMount, turmMount + 3, 0.0f);
        maxLife = kDefaultLife;
        return;
    }
    maxLife = type->getMaxLife();
    accel = type->getAccel();
    turningrate = type->getTurningrate();
    maxSpeedForward = type->getMaxSpeedForward();
    maxSpeedReturn = type->getMaxSpeedReturn();
    getModell()->setModel(gc != nullptr ? gc->getModell(type->getModellName()) : nullptr);
    turm = std::make_unique<Turm>();
    turm->setPosMuendung(type->getMuendungPos());
    std::copy(type->getTurmPos(), type->getTurmPos() + 3, turmMount);
    turm->setPos(turmMount); // the turret starts at heading 0, where vehicle and world axes agree
}

void Fahrzeug::setRotY(float angle) {
    SpielObject::setRotY(angle);
    if (!turm) {
        return;
    }
    // The mount turns with the hull the way the model is drawn (about y by the heading), so that
    // vehicle +z is the movement direction.
    const float heading = getRotY() * kDegToRad;
    const float c = std::cos(heading);
    const float s = std::sin(heading);
    const float world[3] = {c * turmMount[0] + s * turmMount[2], turmMount[1],
                            -s * turmMount[0] + c * turmMount[2]};
    turm->setPos(world);
    turm->setRotY(angle);
}

void Fahrzeug::getPosMuendung(float *out) const {
    const float *pos = getPos();
    for (int i = 0; i < 3; ++i) {
        out[i] = pos[i];
        if (turm) {
            out[i] += turm->getPos()[i] + turm->getPosMuendung()[i];
        }
    }
}

std::string Fahrzeug::getNextProjektilID() {
    ++shotCount;
    return name + "-" + std::to_string(shotCount);
}

void Fahrzeug::move(float dt) {
    if (status != kStatusExploding && status != kStatusDestroyed) {
        // A speed power-up lets the tank gain speed faster and drive faster.
        const float boost = getPowerUpFactor(CPowerUpData::kSpeed);
        const float maxSpeedForward = this->maxSpeedForward * boost;
        const float maxSpeedReturn = this->maxSpeedReturn * boost;
        float delta = accel * boost * dt * throttle;
        if (turn != 0.0f) {
            setRotY(getRotY() - turningrate * dt * turn);
        }
        const float old = getSpeed();
        float speed = old + delta;
        if (speed > maxSpeedForward) {
            speed = maxSpeedForward;
            delta = maxSpeedForward - old;
        }
        if (speed < maxSpeedReturn) {
            speed = maxSpeedReturn;
            delta = maxSpeedReturn - old;
        }
        const float *direction = getMoveDirection();
        const float impulse[3] = {direction[0] * delta, direction[1] * delta, direction[2] * delta};
        // Pushed every step, also with nothing to add: the facade's downward push keeps the tank
        // on the ground.
        if (getGameClass() != nullptr) {
            getGameClass()->getPhysXAccess()->forceActor(getActorName(), impulse);
        }
        setSpeed(speed / 2.0f);
    }
    if (status == kStatusExploding) {
        if (deathTimer < 0.0f) {
            status = kStatusDestroyed;
        }
        deathTimer -= dt;
    }
    stepEffects(dt);
}

void Fahrzeug::stepEffects(float dt) {
    std::vector<ParticleEngine *> &effects = getParticleEngineVector();
    auto kept = effects.begin();
    for (ParticleEngine *effect : effects) {
        if (effect->getTimeToLife() < 0.0f) {
            delete effect;
        } else {
            effect->doAction(dt, getPos());
            *kept++ = effect;
        }
    }
    effects.erase(kept, effects.end());
}

void Fahrzeug::addDamage(unsigned int points) {
    if (status == kStatusExploding || status == kStatusDestroyed) {
        return;
    }
    // Armour takes its share of every hit (rounded to whole points).
    const float armour = getPowerUpFactor(CPowerUpData::kArmour);
    if (armour != 1.0f) {
        points = static_cast<unsigned int>(std::lround(static_cast<double>(points) * armour));
    }
    // In 64 bits, floored at 0: a large hit can neither wrap the life around nor push it further
    // below zero.
    const long long next = static_cast<long long>(life) - static_cast<long long>(points);
    life = next < 0 ? std::min(life, 0) : static_cast<int>(next);

    std::vector<ParticleEngine *> &effects = getParticleEngineVector();
    if (!effects.empty()) {
        // The smoke turns from the team colour towards red, then dark.
        ParticleEngine *smoke = effects.front();
        const float *colour = smoke->getColor4f();
        float red = 1.0f;
        float green = 0.0f;
        float blue = 0.0f;
        if (maxLife > 0) {
            const float max = static_cast<float>(maxLife);
            red = 1.0f - static_cast<float>(life) / max;
            green = colour[1] - static_cast<float>(points) / max;
            blue = colour[2] - static_cast<float>(points) / max;
        }
        smoke->setColor4f(std::max(red, 0.0f), std::max(green, 0.0f), std::max(blue, 0.0f), colour[3]);
    }
    status = kStatusDamaged; // with or without smoke to show it: the battle does not hang on the picture
    if (life <= 0) {
        status = kStatusExploding;
        explode();
    }
}

void Fahrzeug::takeHit(unsigned int points) {
    addDamage(hitShare == 1.0f ? points : static_cast<unsigned int>(std::lround(static_cast<double>(points) * hitShare)));
}

void Fahrzeug::explode() {
    deathTimer = kDeathSeconds;
    TextureHolder *textures = getGameClass() != nullptr ? getGameClass()->getTextureHolder() : nullptr;
    const float *pos = getPos();
    for (int i = 0; i < 8; ++i) {
        float at[3];
        for (int axis = 0; axis < 3; ++axis) {
            at[axis] = pos[axis] + randomThousandths(4000) - 2.0f;
        }
        float colour[4];
        for (int c = 0; c < 3; ++c) {
            colour[c] = randomThousandths(1000);
        }
        colour[3] = 1.0f;
        const float endRadius = randomThousandths(1000) + 2.0f;
        const float duration = randomThousandths(10000);
        addPertikleEffekt(new CPeExplosion(at, colour, 50, endRadius, duration, textures));
    }
    const float fire[4] = {1.0f, 0.25f, 0.25f, 1.0f};
    const float endRadius = randomThousandths(1000) + 1.0f;
    addPertikleEffekt(new CPeExplosion(pos, fire, 250, endRadius, kDeathSeconds, textures));
}

void Fahrzeug::addPowerUp(CPowerUp *powerUp) {
    if (powerUp != nullptr) {
        powerUps.emplace_back(powerUp);
    }
}

void Fahrzeug::setWeapon(Weapon *w) {
    weapon.reset(w);
}

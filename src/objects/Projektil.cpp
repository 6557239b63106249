#include "objects/Projektil.h"

#include "objects/ObjectHost.h"
#include "math/Vector3D.h"
#include "objects/Fahrzeug.h"
#include "particles/CPeExplosion.h"
#include "particles/ParticleEngine.h"
#include "physics/PhysXAccess.h"
#include "model/Md2Model.h"

#include <cstdio>

Projektil::Projektil(const float *position, const float *dir, const Weapon *w, Fahrzeug *firedBy,
                     ObjectHost *gc, const std::string &id, bool body)
    : shooter(firedBy), weapon(w != nullptr ? *w : Weapon()) {
    setGameClass(gc);
    if (position != nullptr) {
        setPos(position);
    }
    if (dir != nullptr) {
        for (int i = 0; i < 3; ++i) {
            direction[i] = dir[i];
        }
    }
    setSpeed(weapon.getSpeed() + (shooter != nullptr ? shooter->getSpeed() : 0.0f));

    Modell *modell = getModell();
    if (gc != nullptr) {
        physics = body ? gc->getPhysXAccess() : nullptr;
        textures = gc->getTextureHolder();
        modell->setModel(gc->getModell(kModelName));
        if (modell->getModel() == nullptr) {
            // Once is enough: every further shot would only repeat it.
            static bool reported = false;
            if (!reported && gc->modelFileFailed(kModelName)) { // its reader has already said why
                std::printf("%s did not load: shells fly without a body\n", kModelName);
            } else if (!reported) {
                std::fprintf(stderr, "Error: %s: not loaded, shells fly without a body\n", kModelName);
            }
            reported = true;
        }
    }
    modell->calcBorder();
    modell->setScale(kScale); // the border box stays in model units

    // SpielObject's heading setter would point the flight direction along the heading; the shell
    // keeps its own direction, so only the base's copy follows the heading.
    if (shooter != nullptr) {
        SpielObject::setRotY(shooter->getRotY());
        const float *factors = shooter->getModell()->getFactors();
        modell->setFactors(factors[0], factors[1], factors[2]);
    }
    setActorName(id);

    if (physics != nullptr && modell->getModel() != nullptr) {
        physics->fireBullet(getPos(), direction, getSpeed(), modell->getVerticesCount(),
                            modell->getTrianglesCount(), modell->getAllVertices(), modell->getAllTriangles(),
                            id, kMeshName, kScale, getRotY(), this);
    }
}

Projektil::~Projektil() {
    if (physics != nullptr) {
        physics->ReleaseActor(getActorName());
    }
}

void Projektil::move(float dt) {
    for (ParticleEngine *effect : getParticleEngineVector()) {
        effect->doAction(dt);
    }
    ttl -= dt;
}

int Projektil::explode() {
    if (!weapon.getExplodiert()) {
        return kNoExplosion;
    }
    if (status == kStatusExploding) {
        return status;
    }
    for (float &axis : direction) {
        axis = 0.0f;
    }
    setSpeed(0.0f);
    ttl = weapon.getExplosionTime();
    addPertikleEffekt(new CPeExplosion(getPos(), weapon.getExplosionsColor(), kExplosionParticles,
                                       weapon.getExplosionRadius(), weapon.getExplosionTime(), textures));
    getModell()->setModel(nullptr);
    status = kStatusExploding;
    return status;
}

bool Projektil::onHit(Fahrzeug *vehicle) {
    if (vehicle == nullptr || status != kStatusFlying) {
        return false;
    }
    const int vehicleStatus = vehicle->getStatus();
    if (vehicleStatus <= 0 || vehicleStatus == Fahrzeug::kStatusExploding) {
        return false;
    }
    explode();
    vehicle->takeHit(kHitDamage);
    return true;
}

void Projektil::reflect(const Vector3D *pNormals) {
    if (pNormals == nullptr || !(pNormals->sqr() > 0.0f)) {
        return;
    }
    Vector3D d(direction[0], direction[1], direction[2]);
    d.reflectTo(pNormals);
    direction[0] = d.x;
    direction[1] = d.y;
    direction[2] = d.z;
}

void Projektil::reflect(const float *normals) {
    if (normals == nullptr) {
        return;
    }
    const Vector3D n(normals[0], normals[1], normals[2]);
    reflect(&n);
}

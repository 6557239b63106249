#include "objects/SpielObject.h"

#include "particles/ParticleEngine.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kDegToRad = 0.017453292f; // the heading's conversion factor

// Two open intervals overlap. Testing only whether one interval's edges lie inside the other would
// miss an interval that covers the other one, or two equal intervals.
bool overlaps(float centreA, float halfA, float centreB, float halfB) {
    return centreA - halfA < centreB + halfB && centreB - halfB < centreA + halfA;
}

} // namespace

SpielObject::SpielObject() = default;

SpielObject::~SpielObject() {
    for (ParticleEngine *effect : particleEngines) {
        delete effect;
    }
}

void SpielObject::setPos(const float *xyz) {
    std::copy(xyz, xyz + 3, pos);
}

void SpielObject::setRotY(float angle) {
    rotY = angle;
    if (rotY > 360.0f) {
        rotY -= 360.0f;
    } else if (rotY < 0.0f) {
        rotY += 360.0f;
    }
    moveDirection[0] = std::sin(rotY * kDegToRad);
    moveDirection[2] = std::cos(rotY * kDegToRad);
}

void SpielObject::setPosWC(const float *xyz) {
    std::copy(xyz, xyz + 3, posWC);
}

void SpielObject::setColor4f(const float *rgba) {
    std::copy(rgba, rgba + 4, color);
}

void SpielObject::addPertikleEffekt(ParticleEngine *effect) {
    if (effect != nullptr) {
        particleEngines.push_back(effect);
    }
}

void SpielObject::setPhysicsPose(const float *matrix) {
    std::copy(matrix, matrix + 16, physicsPose);
}

void SpielObject::move(float dt) {
    for (int i = 0; i < 3; ++i) {
        pos[i] += moveDirection[i] * speed * dt;
    }
    for (ParticleEngine *effect : particleEngines) {
        effect->doAction(dt, pos);
    }
}

bool SpielObject::detectCollison(const SpielObject *objA) const {
    if (objA == nullptr) {
        return false;
    }
    const float *mine = getRect();
    const float *theirs = objA->getRect();
    const float myScale = modell.getScale();
    const float theirScale = objA->modell.getScale();
    const float myHalfX = (mine[1] - mine[0]) * myScale / 2.0f;
    const float myHalfZ = (mine[5] - mine[4]) * myScale / 2.0f;
    const float theirHalfX = (theirs[1] - theirs[0]) * theirScale / 2.0f;
    const float theirHalfZ = (theirs[5] - theirs[4]) * theirScale / 2.0f;
    return overlaps(pos[0], myHalfX, objA->pos[0], theirHalfX) &&
           overlaps(pos[2], myHalfZ, objA->pos[2], theirHalfZ);
}

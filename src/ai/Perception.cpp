#include "ai/Perception.h"

#include "ai/AiMemory.h"
#include "ai/AiRayCaster.h"
#include "ai/AiSkill.h"
#include "ai/AiWorld.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

float flatDistance(const float *a, const float *b) {
    const float dx = a[0] - b[0], dz = a[2] - b[2];
    return std::sqrt(dx * dx + dz * dz);
}

void copy3(float *to, const float *from) {
    to[0] = from[0];
    to[1] = from[1];
    to[2] = from[2];
}

} // namespace

bool Perception::isEnemy(const AiTankView &self, const AiTankView &other) {
    return &self != &other && other.object != self.object && other.alive && self.side >= 0 && other.side >= 0 &&
           other.side != self.side;
}

bool Perception::lineOfSight(const AiTankView &from, const AiTankView &to, const AiRayCaster &rays) {
    const float eye[3] = {from.pos[0], from.pos[1] + kEyeHeight, from.pos[2]};
    const float hull[3] = {to.pos[0], to.pos[1] + kTargetHeight, to.pos[2]};
    return !rays.blocked(eye, hull);
}

bool Perception::lineOfFire(const AiTankView &from, const AiTankView &to, const AiRayCaster &rays) {
    if (heightMiss(from.muzzle[1], to.pos[1]) > 0.0f)
        return false;
    const float hull[3] = {to.pos[0], from.muzzle[1], to.pos[2]};
    return !rays.blocked(from.muzzle, hull);
}

float Perception::heightMiss(float muzzleHeight, float hullHeight) {
    const float above = muzzleHeight - hullHeight;
    return std::max({0.0f, kHullLow - above, above - kHullHigh});
}

int Perception::update(const AiWorld &world, int self, const AiSkill &skill, const AiRayCaster &rays,
                       AiMemory &memory) {
    const AiTankView &me = world.tanks[static_cast<std::size_t>(self)];
    int target = -1;
    for (std::size_t i = 0; i < world.tanks.size(); ++i) {
        if (world.tanks[i].object == memory.target && isEnemy(me, world.tanks[i])) {
            target = static_cast<int>(i);
        }
    }
    if (target < 0) {
        memory.target = nullptr;
        memory.targetVisible = false;
        memory.targetHeard = false;
        memory.seenSince = -1;
    }

    if (world.time >= memory.nextLook) {
        memory.nextLook = world.time + kLookInterval;
        // The nearest enemies in range, nearest first.
        std::pair<float, int> near[kRaysPerLook];
        int count = 0;
        for (std::size_t i = 0; i < world.tanks.size(); ++i) {
            const AiTankView &other = world.tanks[i];
            if (!isEnemy(me, other)) {
                continue;
            }
            const float d = flatDistance(me.pos, other.pos);
            if (d > skill.sightRange) {
                continue;
            }
            // Insertion into the short list, kept sorted.
            const std::pair<float, int> entry{d, static_cast<int>(i)};
            int k = 0;
            if (count < kRaysPerLook) {
                k = count++;
            } else if (entry < near[kRaysPerLook - 1]) {
                k = kRaysPerLook - 1;
            } else {
                continue;
            }
            near[k] = entry;
            for (; k > 0 && near[k] < near[k - 1]; --k) {
                std::swap(near[k], near[k - 1]);
            }
        }
        int seen = -1;
        for (int k = 0; k < count && seen < 0; ++k) {
            if (lineOfSight(me, world.tanks[static_cast<std::size_t>(near[k].second)], rays)) {
                seen = near[k].second;
            }
        }
        const bool wasVisible = memory.targetVisible && target >= 0;
        if (seen >= 0) {
            if (!wasVisible || seen != target) {
                memory.seenSince = world.time;
            }
            target = seen;
            memory.targetVisible = true;
            memory.targetHeard = false;
        } else {
            memory.targetVisible = false;
            memory.seenSince = -1;
            memory.targetHeard = count > 0 && near[0].first <= skill.sightRange * kHearingShare;
            if (memory.targetHeard) {
                target = near[0].second;
            }
        }
        memory.target = target >= 0 ? world.tanks[static_cast<std::size_t>(target)].object : nullptr;
    }

    if (target >= 0 && (memory.targetVisible || memory.targetHeard)) {
        copy3(memory.lastSeen, world.tanks[static_cast<std::size_t>(target)].pos);
        memory.lastSeenTime = world.time;
    }
    if (memory.lastSeenTime >= 0 && world.time - memory.lastSeenTime > kMemorySeconds) {
        memory.lastSeenTime = -1;
    }
    return memory.targetVisible || memory.targetHeard ? target : -1;
}

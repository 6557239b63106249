#include "ai/TankBrain.h"

#include "ai/AiSkill.h"
#include "ai/AiWorld.h"
#include "ai/Gunnery.h"
#include "ai/Navigator.h"
#include "ai/Perception.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kDriveCone = 45.0f;       // degrees off the way at which it still drives on
constexpr float kAttackHold = 5.0f;       // extra range before an attack turns into an approach
constexpr float kReverseSeconds = 0.8f;   // backing out of a jam
constexpr float kGoalRefresh = 4.0f;      // seconds before a firing position is chosen again
constexpr float kGoalDrift = 6.0f;        // target movement that makes a goal stale, units
constexpr float kSearchReached = 4.0f;    // close enough to the last sighting, units
constexpr float kBlockedSeconds = 1.5f;   // moving on after a blocked shot
constexpr float kHeightMissCost = 20.0f;  // units of driving a firing spot's unit of height miss weighs
constexpr float kMinCoverDistance = 8.0f; // cover no closer than this to the attacker
constexpr float kShellAware = 25.0f;      // shells farther than this are not watched, units

float flatDistance(const float *a, const float *b) {
    const float dx = a[0] - b[0], dz = a[2] - b[2];
    return std::sqrt(dx * dx + dz * dz);
}

float flatDistance(float ax, float az, float bx, float bz) {
    return std::sqrt((ax - bx) * (ax - bx) + (az - bz) * (az - bz));
}

} // namespace

float TankBrain::random01(AiMemory &memory) {
    return static_cast<float>(memory.rng() >> 8) * (1.0f / 16777216.0f);
}

void TankBrain::drawAimOffset(AiMemory &memory, const AiSkill &skill) {
    // Three uniform draws: nearly normal, standard deviation one.
    float sum = 0;
    for (int i = 0; i < 3; ++i) {
        sum += 2.0f * random01(memory) - 1.0f;
    }
    memory.aimOffset = sum * skill.aimErrorDegrees;
}

AiCommand TankBrain::think(const AiWorld &world, int self, AiMemory &memory, const AiSkill &skill,
                           const AiRayCaster &rays, Navigator &navigator) {
    AiCommand command;
    const AiTankView &me = world.tanks[static_cast<std::size_t>(self)];
    if (!memory.started) {
        memory.started = true;
        memory.home[0] = me.pos[0];
        memory.home[1] = me.pos[2];
        memory.startTime = world.time;
        memory.nextLook = world.time + random01(memory) * Perception::kLookInterval; // spreads the rays
        memory.progressPos[0] = me.pos[0];
        memory.progressPos[1] = me.pos[2];
        memory.progressTime = world.time;
        drawAimOffset(memory, skill);
    }
    if (!me.alive) {
        return command;
    }
    const int target = Perception::update(world, self, skill, rays, memory);
    // Beyond the pack its side sends at one enemy, a tank holds back: the enemy meets a fight, not
    // a firing squad.
    const bool held = target >= 0 && !mayEngage(world, self, target, skill);
    chooseState(world, self, target, held, memory, navigator);

    if (memory.state == AiState::Attack) {
        memory.progressTime = world.time; // standing still on purpose is no jam
    } else {
        drive(world, self, memory, navigator, command);
    }

    // Aim and fire at a target in view, whatever the state but retreat.
    if (target >= 0 && !held && memory.targetVisible && memory.state != AiState::Retreat) {
        const AiTankView &enemy = world.tanks[static_cast<std::size_t>(target)];
        float aim[3] = {enemy.pos[0], enemy.pos[1], enemy.pos[2]};
        if (skill.leadsTarget) {
            Gunnery::leadPoint(me.muzzle, me.shellSpeed, enemy.pos, enemy.vel, aim);
        }
        const float aimHeading = Gunnery::headingTo(me.pos, aim) + memory.aimOffset;
        if (memory.state == AiState::Attack) {
            command.turn = steerTowards(me, aimHeading, world.dt);
        }
        const float error = std::fabs(Gunnery::headingDifference(me.heading + command.turn, aimHeading));
        const float distance = flatDistance(me.pos, enemy.pos);
        const bool reacted = memory.seenSince >= 0 && world.time - memory.seenSince >= skill.reactionSeconds;
        if (me.weaponReady && reacted && error <= Gunnery::tolerance(distance)) {
            // The last word before a shot is a fresh ray: never fire blind.
            if (Perception::lineOfFire(me, enemy, rays)) {
                command.fire = true;
            } else {
                memory.targetVisible = false;
                memory.fireBlockedUntil = world.time + kBlockedSeconds;
            }
        }
    }
    if (skill.dodges) {
        dodge(world, self, memory, command);
    }
    return command;
}

bool TankBrain::mayEngage(const AiWorld &world, int self, int target, const AiSkill &skill) {
    if (skill.maxAttackers <= 0)
        return true;
    const AiTankView &me = world.tanks[static_cast<std::size_t>(self)];
    const AiTankView &enemy = world.tanks[static_cast<std::size_t>(target)];
    if (flatDistance(me.pos, enemy.pos) <= kBestRange)
        return true;
    const bool already = me.engaging == enemy.object;
    int ahead = 0; // tanks of its side at the enemy that keep their places before this one
    for (const AiTankView &other : world.tanks)
        if (other.id != self && other.alive && other.side == me.side && other.engaging == enemy.object &&
            (!already || other.id < self))
            ++ahead;
    return ahead < skill.maxAttackers;
}

void TankBrain::chooseState(const AiWorld &world, int self, int target, bool held, AiMemory &memory,
                            const Navigator &navigator) {
    const AiTankView &me = world.tanks[static_cast<std::size_t>(self)];
    const AiState before = memory.state;
    const bool low = static_cast<float>(me.life) <= kLowLifeShare * static_cast<float>(me.maxLife);
    const bool remembers = memory.lastSeenTime >= 0;
    const bool inView = target >= 0 && memory.targetVisible && world.time >= memory.fireBlockedUntil;
    AiState next;
    float kit[2];
    if (static_cast<float>(me.life) < kRepairShare * static_cast<float>(me.maxLife) &&
        repairInSight(world, me, navigator, kit)) {
        next = AiState::Repair; // the best retreat is one that mends
        if (before == AiState::Repair && flatDistance(kit[0], kit[1], memory.repairSpot[0], memory.repairSpot[1]) > kArrive)
            memory.hasGoal = false; // a nearer kit: drive there instead
        memory.repairSpot[0] = kit[0];
        memory.repairSpot[1] = kit[1];
    } else if (low && (target >= 0 || remembers)) {
        next = AiState::Retreat;
    } else if (held) {
        next = AiState::Patrol;
    } else if (inView) {
        const float d = flatDistance(me.pos, world.tanks[static_cast<std::size_t>(target)].pos);
        const float range = before == AiState::Attack ? kMaxRange + kAttackHold : kMaxRange;
        next = d <= range ? AiState::Attack : AiState::Approach;
    } else if (target >= 0) {
        next = AiState::Approach;
    } else if (remembers) {
        next = AiState::Search;
    } else {
        next = AiState::Patrol;
    }
    if (next != before) {
        memory.state = next;
        memory.hasGoal = false;
        memory.wantsPath = false;
        memory.path.clear();
        memory.pathIndex = 0;
    }
}

bool TankBrain::repairInSight(const AiWorld &world, const AiTankView &me, const Navigator &navigator, float *out) {
    const ObstacleGrid &grid = navigator.getGrid();
    float best = kRepairSight;
    bool found = false;
    for (const AiRepairView &kit : world.repairs) {
        const float d = flatDistance(me.pos, kit.pos);
        if (d < best && (grid.empty() || (grid.clearView(me.pos[0], me.pos[2], kit.pos[0], kit.pos[2]) &&
                                          grid.reachable(me.pos[0], me.pos[2], kit.pos[0], kit.pos[2])))) {
            best = d;
            out[0] = kit.pos[0];
            out[1] = kit.pos[2];
            found = true;
        }
    }
    return found;
}

void TankBrain::setGoal(AiMemory &memory, float x, float z, float time) {
    memory.hasGoal = true;
    memory.goal[0] = x;
    memory.goal[1] = z;
    memory.goalTime = time;
    memory.jams = 0;
    memory.wantsPath = true;
    memory.path.clear();
    memory.pathIndex = 0;
}

bool TankBrain::firingPosition(const AiTankView &me, const float *target, AiMemory &memory,
                               const Navigator &navigator, float *out) {
    const ObstacleGrid &grid = navigator.getGrid();
    if (grid.empty()) {
        return false;
    }
    static constexpr float kRadii[] = {kBestRange, 12.0f, 24.0f};
    static constexpr int kAngles = 24;
    // Its shells fly flat at the muzzle's height above the ground it stands on.
    const float muzzleHeight = me.muzzle[1] - grid.groundAt(me.pos[0], me.pos[2]);
    float best = 1e30f;
    for (float r : kRadii) {
        for (int i = 0; i < kAngles; ++i) {
            const float a = 2.0f * kPi * static_cast<float>(i) / kAngles;
            const float x = target[0] + r * std::sin(a);
            const float z = target[2] + r * std::cos(a);
            if (!grid.walkableAt(x, z) || !grid.reachable(me.pos[0], me.pos[2], x, z) ||
                !grid.clearView(x, z, target[0], target[2])) {
                continue;
            }
            // A little chance in the choice: a tank that found no view from one spot tries another.
            // A spot too high or too low to hit from is a long way round.
            const float score = flatDistance(me.pos[0], me.pos[2], x, z) + 0.3f * std::fabs(r - kBestRange) +
                                6.0f * random01(memory) +
                                kHeightMissCost * Perception::heightMiss(grid.groundAt(x, z) + muzzleHeight, target[1]);
            if (score < best) {
                best = score;
                out[0] = x;
                out[1] = z;
            }
        }
    }
    return best < 1e30f;
}

bool TankBrain::coverPosition(const AiTankView &me, const float *attacker, const Navigator &navigator,
                              float *out) {
    const ObstacleGrid &grid = navigator.getGrid();
    if (grid.empty()) {
        return false;
    }
    int c0, r0;
    grid.cellOf(me.pos[0], me.pos[2], c0, r0);
    const int own = grid.regionNear(me.pos[0], me.pos[2]);
    const int reach = static_cast<int>(kCoverRadius / grid.getCellSize());
    float best = 1e30f;
    for (int r = r0 - reach; r <= r0 + reach; ++r) {
        for (int c = c0 - reach; c <= c0 + reach; ++c) {
            if (!grid.walkable(c, r) || grid.region(c, r) != own) {
                continue;
            }
            float x, z;
            grid.centreOf(c, r, x, z);
            const float toMe = flatDistance(me.pos[0], me.pos[2], x, z);
            const float toAttacker = flatDistance(attacker[0], attacker[2], x, z);
            if (toMe > kCoverRadius || toAttacker < kMinCoverDistance) {
                continue;
            }
            // The hull is wide: the cell and both its sides across the line of view must be hidden.
            const float ux = (x - attacker[0]) / toAttacker, uz = (z - attacker[2]) / toAttacker;
            const float side = 1.5f;
            if (grid.clearView(attacker[0], attacker[2], x, z) ||
                grid.clearView(attacker[0], attacker[2], x + uz * side, z - ux * side) ||
                grid.clearView(attacker[0], attacker[2], x - uz * side, z + ux * side)) {
                continue;
            }
            const float score = toMe - 0.2f * toAttacker;
            if (score < best) {
                best = score;
                out[0] = x;
                out[1] = z;
            }
        }
    }
    return best < 1e30f;
}

bool TankBrain::patrolPoint(const AiWorld &world, int self, AiMemory &memory, const Navigator &navigator,
                            float *out) {
    const ObstacleGrid &grid = navigator.getGrid();
    const AiTankView &me = world.tanks[static_cast<std::size_t>(self)];
    // At first it stays near home; after a quiet while it roams towards where the nearest enemy
    // makes its noise, without knowing the exact spot: the nearest it can drive to, if any.
    float anchor[2] = {memory.home[0], memory.home[1]};
    float radius = kPatrolRadius;
    const float quiet = world.time - std::max(memory.startTime, memory.lastSeenTime);
    if (quiet > kRoamAfter) {
        float best = 1e30f;
        for (const AiTankView &other : world.tanks) {
            if (!Perception::isEnemy(me, other))
                continue;
            const bool unreachable = !grid.empty() && !grid.reachable(me.pos[0], me.pos[2], other.pos[0], other.pos[2]);
            const float d = flatDistance(me.pos, other.pos) + (unreachable ? 1e6f : 0.0f);
            if (d < best) {
                best = d;
                anchor[0] = other.pos[0];
                anchor[1] = other.pos[2];
                radius = kRoamSpread;
            }
        }
    }
    for (int attempt = 0; attempt < 8; ++attempt) {
        const float a = 2.0f * kPi * random01(memory);
        const float r = 5.0f + (radius - 5.0f) * random01(memory);
        const float x = anchor[0] + r * std::sin(a);
        const float z = anchor[1] + r * std::cos(a);
        if (grid.empty() || grid.reachable(me.pos[0], me.pos[2], x, z)) {
            out[0] = x;
            out[1] = z;
            return true;
        }
    }
    return false;
}

float TankBrain::steerTowards(const AiTankView &me, float desiredHeading, float dt) {
    const float step = me.turningRate * dt;
    return std::clamp(Gunnery::headingDifference(me.heading, desiredHeading), -step, step);
}

void TankBrain::drive(const AiWorld &world, int self, AiMemory &memory, Navigator &navigator,
                      AiCommand &command) {
    const AiTankView &me = world.tanks[static_cast<std::size_t>(self)];
    const float now = world.time;

    // Where this state wants to go.
    switch (memory.state) {
    case AiState::Patrol:
        if (!memory.hasGoal && now >= memory.waitUntil) {
            float p[2];
            if (patrolPoint(world, self, memory, navigator, p)) {
                setGoal(memory, p[0], p[1], now);
            } else {
                memory.waitUntil = now + 1.0f;
            }
        }
        break;
    case AiState::Approach:
        if (!memory.hasGoal || now - memory.goalTime > kGoalRefresh ||
            flatDistance(memory.goalBasis[0], memory.goalBasis[1], memory.lastSeen[0], memory.lastSeen[2]) >
                kGoalDrift) {
            float p[2] = {memory.lastSeen[0], memory.lastSeen[2]};
            firingPosition(me, memory.lastSeen, memory, navigator, p);
            setGoal(memory, p[0], p[1], now);
            memory.goalBasis[0] = memory.lastSeen[0];
            memory.goalBasis[1] = memory.lastSeen[2];
        }
        break;
    case AiState::Retreat:
        if (!memory.hasGoal || flatDistance(memory.goalBasis[0], memory.goalBasis[1], memory.lastSeen[0],
                                            memory.lastSeen[2]) > kGoalDrift) {
            float p[2];
            if (!coverPosition(me, memory.lastSeen, navigator, p)) {
                // No cover near: away from the attacker.
                const float d = std::max(0.1f, flatDistance(me.pos, memory.lastSeen));
                p[0] = me.pos[0] + (me.pos[0] - memory.lastSeen[0]) / d * kCoverRadius;
                p[1] = me.pos[2] + (me.pos[2] - memory.lastSeen[2]) / d * kCoverRadius;
            }
            setGoal(memory, p[0], p[1], now);
            memory.goalBasis[0] = memory.lastSeen[0];
            memory.goalBasis[1] = memory.lastSeen[2];
        }
        break;
    case AiState::Search:
        if (!memory.hasGoal) {
            setGoal(memory, memory.lastSeen[0], memory.lastSeen[2], now);
        }
        if (flatDistance(me.pos, memory.lastSeen) < kSearchReached) {
            memory.lastSeenTime = -1; // nothing here: forget it and patrol
            memory.hasGoal = false;
        }
        break;
    case AiState::Repair:
        if (!memory.hasGoal) {
            setGoal(memory, memory.repairSpot[0], memory.repairSpot[1], now);
        }
        break;
    case AiState::Attack:
        break;
    }
    if (!memory.hasGoal) {
        memory.progressTime = now;
        return;
    }
    if (memory.wantsPath) {
        bool found = false;
        if (!navigator.plan(me.pos[0], me.pos[2], memory.goal[0], memory.goal[1], memory.path, found)) {
            memory.progressTime = now; // waiting for its turn is no jam
            return;
        }
        ++memory.pathsPlanned;
        memory.wantsPath = false;
        memory.pathIndex = 0;
        if (!found) {
            memory.path.assign(1, AiWaypoint{memory.goal[0], memory.goal[1]});
        }
    }
    while (memory.pathIndex < memory.path.size() &&
           flatDistance(me.pos[0], me.pos[2], memory.path[memory.pathIndex].x,
                        memory.path[memory.pathIndex].z) < kArrive) {
        ++memory.pathIndex;
    }
    if (memory.pathIndex >= memory.path.size()) {
        // Arrived.
        if (memory.state == AiState::Patrol) {
            memory.hasGoal = false;
            memory.waitUntil = now + 1.0f + 2.0f * random01(memory);
        }
        memory.progressTime = now;
        return;
    }

    const AiWaypoint &next = memory.path[memory.pathIndex];
    float wx = next.x - me.pos[0], wz = next.z - me.pos[2];
    const float length = std::max(1e-3f, std::sqrt(wx * wx + wz * wz));
    wx /= length;
    wz /= length;
    // Separation: neighbours push it aside, the closer the harder.
    for (std::size_t i = 0; i < world.tanks.size(); ++i) {
        const AiTankView &other = world.tanks[i];
        if (static_cast<int>(i) == self || !other.alive) {
            continue;
        }
        const float dx = me.pos[0] - other.pos[0], dz = me.pos[2] - other.pos[2];
        const float d2 = dx * dx + dz * dz;
        if (d2 >= kSeparation * kSeparation || d2 < 1e-6f) {
            continue;
        }
        const float d = std::sqrt(d2);
        const float push = 1.5f * (1.0f - d / kSeparation);
        wx += dx / d * push;
        wz += dz / d * push;
    }
    const float origin[3] = {0, 0, 0};
    const float way[3] = {wx, 0, wz};
    const float desired = Gunnery::headingTo(origin, way);
    command.turn = steerTowards(me, desired, world.dt);
    const float off = std::fabs(Gunnery::headingDifference(me.heading + command.turn, desired));
    command.forward = off < kDriveCone;

    // Jams: no progress for a while backs it out and plans again.
    if (now < memory.reverseUntil) {
        command.forward = false;
        command.backward = true;
        command.turn = -command.turn;
        return;
    }
    if (now - memory.progressTime > kStuckSeconds) {
        const float moved = flatDistance(me.pos[0], me.pos[2], memory.progressPos[0], memory.progressPos[1]);
        if (moved < 1.0f && command.forward) {
            memory.reverseUntil = now + kReverseSeconds;
            memory.wantsPath = true;
            // A slope too steep to climb or a gap too narrow may look free on the map: a tank that
            // jams again and again on the way to a goal it only chose to look around gives it up.
            if (++memory.jams >= kGiveUpJams) {
                if (memory.state == AiState::Search)
                    memory.lastSeenTime = -1; // it cannot get there: nothing to find
                if (memory.state == AiState::Patrol || memory.state == AiState::Search)
                    memory.hasGoal = false;
            }
        }
        memory.progressPos[0] = me.pos[0];
        memory.progressPos[1] = me.pos[2];
        memory.progressTime = now;
    }
}

void TankBrain::dodge(const AiWorld &world, int self, AiMemory &memory, AiCommand &command) {
    const AiTankView &me = world.tanks[static_cast<std::size_t>(self)];
    if (world.time >= memory.dodgeUntil) {
        for (const AiShellView &shell : world.shells) {
            if (shell.shooterId == self || flatDistance(shell.pos, me.pos) > kShellAware) {
                continue;
            }
            float miss = 0;
            const float t = Gunnery::closestApproach(shell.pos, shell.vel, me.pos, 1.0f, &miss);
            if (!(t > 0.0f && t < 1.0f) || miss > kDodgeMiss) {
                continue;
            }
            // Away from the point where the shell passes closest.
            float ax = me.pos[0] - (shell.pos[0] + shell.vel[0] * t);
            float az = me.pos[2] - (shell.pos[2] + shell.vel[2] * t);
            if (ax * ax + az * az < 0.09f) {
                const float sign = random01(memory) < 0.5f ? 1.0f : -1.0f;
                ax = shell.vel[2] * sign;
                az = -shell.vel[0] * sign;
            }
            const float h = me.heading * kPi / 180.0f;
            memory.dodgeForward = std::sin(h) * ax + std::cos(h) * az >= 0.0f;
            memory.dodgeUntil = world.time + kDodgeSeconds;
            break;
        }
    }
    if (world.time < memory.dodgeUntil) {
        command.forward = memory.dodgeForward;
        command.backward = !memory.dodgeForward;
    }
}

#include "net/WorldFollower.h"

#include "game/BattleWorld.h"
#include "objects/Fahrzeug.h"
#include "objects/PowerUpObject.h"
#include "objects/Projektil.h"

#include <algorithm>
#include <cmath>
#include <vector>

using NetProtocol::ShellState;
using NetProtocol::TankState;
using NetProtocol::WorldState;

namespace {

constexpr long kPredictionsKept = 180; // ticks of the own tank's past, longer than any round trip
constexpr std::size_t kLagSamples = 60;
constexpr double kLagDrift = 0.05; // ticks per tick the render tick may speed up or slow down
constexpr double kLagJump = 10.0;  // a lag this far off is taken at once

float degreesBetween(float from, float to) { // the shorter way round, in [-180, 180)
    float d = std::fmod(to - from + 180.0f, 360.0f);
    if (d < 0.0f)
        d += 360.0f;
    return d - 180.0f;
}

template <typename Item> const Item *findId(const std::vector<Item> &items, decltype(Item::id) id) {
    const auto found = std::lower_bound(items.begin(), items.end(), id,
                                        [](const Item &item, decltype(Item::id) value) { return item.id < value; });
    return found != items.end() && found->id == id ? &*found : nullptr;
}

// Position and velocity between two quantised states, or on from the first one along its velocity.
template <typename Item>
void blendMotion(const Item &from, const Item *to, double blend, double ticksPast, float pos[3], float vel[3]) {
    for (int i = 0; i < 3; ++i) {
        const float p0 = NetProtocol::positionOf(from.pos[i]), v0 = NetProtocol::velocityOf(from.vel[i]);
        if (to != nullptr) {
            const auto b = static_cast<float>(blend);
            pos[i] = p0 + (NetProtocol::positionOf(to->pos[i]) - p0) * b;
            vel[i] = v0 + (NetProtocol::velocityOf(to->vel[i]) - v0) * b;
        } else {
            pos[i] = p0 + v0 * static_cast<float>(ticksPast) * BattleWorld::kTickSeconds;
            vel[i] = v0;
        }
    }
}

// Life and the explosion as the host has them; the tank's own rules darken its smoke and start
// its death, as they did on the host.
void followDamage(Fahrzeug &vehicle, const TankState &state) {
    if (state.life < vehicle.getLife())
        vehicle.addDamage(static_cast<unsigned>(vehicle.getLife() - state.life));
    else if (state.life > vehicle.getLife())
        vehicle.setLife(state.life);
    const bool dying = state.status == Fahrzeug::kStatusExploding || state.status == Fahrzeug::kStatusDestroyed;
    if (dying && vehicle.getStatus() != Fahrzeug::kStatusExploding && vehicle.getStatus() != Fahrzeug::kStatusDestroyed)
        vehicle.explode();
}

} // namespace

void WorldFollower::receive(const WorldState &state, long clientTick, const std::vector<std::uint8_t> &goneTanks,
                            const std::vector<TankState> *told) {
    for (std::uint8_t id : goneTanks) {
        gone.set(id);
        newestWord.erase(id);
    }
    const auto byTick = [](const WorldState &kept, std::uint32_t tick) { return kept.tick < tick; };
    auto at = std::lower_bound(rebuilt.begin(), rebuilt.end(), state.tick, byTick);
    if (at != rebuilt.end() && at->tick == state.tick)
        return;
    rebuilt.insert(at, state);
    while (rebuilt.size() > kKeptStates)
        rebuilt.pop_front();

    // As shown: each tank from the newest word on it, driven on to this state's tick.
    for (const TankState &tank : told != nullptr ? *told : state.tanks) {
        auto &word = newestWord[tank.id];
        if (word.first <= state.tick)
            word = {state.tick, *NetProtocol::findTank(state.tanks, tank.id)};
    }
    WorldState shown = state;
    shown.tanks.clear();
    for (const auto &[id, word] : newestWord)
        shown.tanks.push_back(word.first <= state.tick
                                  ? NetProtocol::carried(word.second, word.first, std::min(state.tick, word.first + kMaxDriveOn))
                                  : word.second);
    auto place = std::lower_bound(states.begin(), states.end(), state.tick, byTick);
    states.insert(place, std::move(shown));
    while (states.size() > kKeptStates)
        states.pop_front();
    arrivalLag.push_back(clientTick - static_cast<long>(state.tick));
    while (arrivalLag.size() > kLagSamples)
        arrivalLag.pop_front();
}

const WorldState *WorldFollower::stateOf(std::uint32_t tick) const {
    for (const WorldState &kept : rebuilt)
        if (kept.tick == tick)
            return &kept;
    return nullptr;
}

void WorldFollower::chooseRenderTick(long tick) {
    // Far enough behind that the states of the render tick have arrived, even the late ones of
    // the last second, with one more interval so that there is a state on either side of it.
    const double wanted = static_cast<double>(*std::max_element(arrivalLag.begin(), arrivalLag.end())) + NetProtocol::kStateTicks;
    if (lag < 0.0 || std::fabs(wanted - lag) > kLagJump)
        lag = wanted;
    else
        lag += std::clamp(wanted - lag, -kLagDrift, kLagDrift);
    renderTick = static_cast<double>(tick) - lag;
}

void WorldFollower::apply(BattleWorld &world, long tick) {
    if (states.empty())
        return;
    chooseRenderTick(tick);
    const WorldState *from = &states.front();
    const WorldState *to = nullptr;
    for (const WorldState &kept : states) {
        if (static_cast<double>(kept.tick) <= renderTick) {
            from = &kept;
        } else {
            to = &kept;
            break;
        }
    }
    if (static_cast<double>(from->tick) > renderTick) // before the first state: it stands
        to = nullptr;
    double blend = 0.0;
    if (to != nullptr)
        blend = (renderTick - from->tick) / static_cast<double>(to->tick - from->tick);
    placeTanks(world, *from, to, blend);
    placeShells(world, *from, to, blend);

    const auto &powerUps = world.getPowerUpField().getPowerUps();
    for (std::size_t i = 0; i < powerUps.size() && i < NetProtocol::kMaxPowerUps; ++i) {
        const bool there = (from->powerUps >> i & 1u) != 0;
        if (powerUps[i]->isAvailable() != there)
            powerUps[i]->setAvailable(there);
    }
    ScoreSheet scores;
    for (int player = 0; player < kMaxPlayers; ++player)
        scores.set(player, from->scores[static_cast<std::size_t>(player)]);
    world.setFollowedResult(static_cast<BattleRules::Outcome>(from->outcome), from->battleTicks, scores);
    releaseEvents(world);
    if (Fahrzeug *own = world.getPlayerVehicle(ownPlayer))
        correctOwnTank(world, *own, tick);
}

void WorldFollower::placeTanks(BattleWorld &world, const WorldState &from, const WorldState *to, double blend) {
    const Fahrzeug *own = world.getPlayerVehicle(ownPlayer);
    const double ticksPast = std::min(renderTick - from.tick, kMaxExtrapolation);
    const std::vector<Fahrzeug *> vehicles = world.getFahrzeugvektor(); // a copy: some may go
    for (Fahrzeug *vehicle : vehicles) {
        const TankState *state = vehicle->getSerial() <= 255
                                     ? findId(from.tanks, static_cast<std::uint8_t>(vehicle->getSerial()))
                                     : nullptr;
        if (state == nullptr) {
            if (vehicle->getSerial() > 255 || gone.test(vehicle->getSerial()))
                world.removeVehicle(vehicle);
            continue; // not told of lately: it stands as last shown
        }
        followDamage(*vehicle, *state);
        if (vehicle == own)
            continue; // it drives here, corrected towards the host's word
        const TankState *next = to != nullptr ? findId(to->tanks, state->id) : nullptr;
        float pos[3], vel[3];
        blendMotion(*state, next, blend, ticksPast, pos, vel);
        float heading = NetProtocol::headingOf(state->heading);
        if (next != nullptr)
            heading += degreesBetween(heading, NetProtocol::headingOf(next->heading)) * static_cast<float>(blend);
        float bodyPos[3], bodyVel[3];
        PhysXAccess &physics = world.getPhysics();
        // Shown where the host had it a while ago, it must not block the own tank, which runs
        // ahead: the host says where the two really meet.
        physics.setActorSolid(vehicle->getActorName(), false);
        if (physics.getActorPosition(vehicle->getActorName(), bodyPos) &&
            physics.getActorVelocity(vehicle->getActorName(), bodyVel)) {
            const float offset[3] = {pos[0] - bodyPos[0], pos[1] - bodyPos[1], pos[2] - bodyPos[2]};
            const float change[3] = {vel[0] - bodyVel[0], vel[1] - bodyVel[1], vel[2] - bodyVel[2]};
            physics.shiftActor(vehicle->getActorName(), offset, change);
        }
        vehicle->setPos(pos);
        vehicle->setRotY(heading);
        vehicle->setSpeed(NetProtocol::velocityOf(state->speed));
    }
}

void WorldFollower::placeShells(BattleWorld &world, const WorldState &from, const WorldState *to, double blend) {
    const double ticksPast = std::min(renderTick - from.tick, kMaxExtrapolation);
    std::map<std::uint16_t, Projektil *> here;
    const std::vector<Projektil *> shells = world.getProjektilvektor(); // a copy: some may go
    for (Projektil *shell : shells) {
        if (findId(from.shells, static_cast<std::uint16_t>(shell->getSerial())) == nullptr)
            world.removeShell(shell);
        else
            here[static_cast<std::uint16_t>(shell->getSerial())] = shell;
    }
    for (const ShellState &state : from.shells) {
        const ShellState *next = to != nullptr ? findId(to->shells, state.id) : nullptr;
        float pos[3], vel[3];
        blendMotion(state, next, blend, ticksPast, pos, vel);
        Projektil *shell = here.count(state.id) != 0 ? here[state.id] : nullptr;
        if (shell == nullptr) {
            const float speed = std::sqrt(vel[0] * vel[0] + vel[1] * vel[1] + vel[2] * vel[2]);
            const float direction[3] = {speed > 0.0f ? vel[0] / speed : 0.0f, speed > 0.0f ? vel[1] / speed : 0.0f,
                                        speed > 0.0f ? vel[2] / speed : 1.0f};
            shell = world.addShell(state.id, world.vehicleOfSerial(state.shooter), pos, direction);
        }
        shell->setPos(pos);
        if (state.status == Projektil::kStatusExploding && shell->getStatus() == Projektil::kStatusFlying)
            shell->explode();
    }
}

bool WorldFollower::receive(const NetProtocol::Events &happened) {
    if (pendingEvents.size() >= kMaxPendingEvents)
        return false;
    pendingEvents.push_back(happened);
    return true;
}

void WorldFollower::releaseEvents(BattleWorld &world) {
    while (!pendingEvents.empty() && static_cast<double>(pendingEvents.front().tick) <= renderTick) {
        for (const NetProtocol::Event &event : pendingEvents.front().events) {
            BattleEvent happened{static_cast<BattleEvent::Kind>(event.kind),
                                 {NetProtocol::positionOf(event.pos[0]), NetProtocol::positionOf(event.pos[1]),
                                  NetProtocol::positionOf(event.pos[2])},
                                 event.player};
            world.addEvent(happened);
        }
        pendingEvents.pop_front();
    }
}

void WorldFollower::correctOwnTank(BattleWorld &world, Fahrzeug &own, long tick) {
    PhysXAccess &physics = world.getPhysics();
    Pose now{};
    std::copy(own.getPos(), own.getPos() + 3, now.pos); // the physics' pose, as the host reports its own
    physics.getActorVelocity(own.getActorName(), now.vel);
    now.heading = own.getRotY();

    // The newest word of the host's on this tank, against where this machine had it at that tick.
    const WorldState &latest = states.back();
    const TankState *told = own.getSerial() <= 255 ? findId(latest.tanks, static_cast<std::uint8_t>(own.getSerial()))
                                                   : nullptr;
    const auto then = predicted.find(static_cast<long>(latest.tick));
    if (told != nullptr && latest.tick != correctedFrom && then != predicted.end()) {
        correctedFrom = latest.tick;
        Pose error{};
        // Across the ground only: the height is the ground's, and the bumps of a tank pressed onto
        // it differ from machine to machine; moved up or down, it would only bounce.
        for (int i = 0; i < 3; i += 2) {
            error.pos[i] = NetProtocol::positionOf(told->pos[i]) - then->second.pos[i];
            error.vel[i] = NetProtocol::velocityOf(told->vel[i]) - then->second.vel[i];
        }
        error.heading = degreesBetween(then->second.heading, NetProtocol::headingOf(told->heading));
        // A small difference of speed is the bumps of the ground and makes itself good; a large one
        // is a push this machine did not see (a hit), and the tank takes it on.
        if (std::hypot(error.vel[0], error.vel[2]) < kPushedSpeed)
            error.vel[0] = error.vel[2] = 0.0f;
        // The tank's simulation takes the host's word at once, as if it had known it at that tick:
        // the error then, and what a velocity that differed has made of it since.
        for (auto at = predicted.upper_bound(static_cast<long>(latest.tick)); at != predicted.end(); ++at) {
            const float since = static_cast<float>(at->first - static_cast<long>(latest.tick)) * BattleWorld::kTickSeconds;
            for (int i = 0; i < 3; ++i) {
                at->second.pos[i] += error.pos[i] + error.vel[i] * since;
                at->second.vel[i] += error.vel[i];
            }
            at->second.heading += error.heading;
        }
        const float since = static_cast<float>(tick - static_cast<long>(latest.tick)) * BattleWorld::kTickSeconds;
        float shift[3];
        for (int i = 0; i < 3; ++i) {
            shift[i] = error.pos[i] + error.vel[i] * since;
            now.pos[i] += shift[i];
            now.vel[i] += error.vel[i];
            drawnOffset[i] -= shift[i]; // the picture follows smoothly
        }
        now.heading += error.heading;
        physics.shiftActor(own.getActorName(), shift, error.vel);
        own.setRotY(now.heading);
        if (std::sqrt(drawnOffset[0] * drawnOffset[0] + drawnOffset[1] * drawnOffset[1] +
                      drawnOffset[2] * drawnOffset[2]) > kSnapDistance)
            std::fill(drawnOffset, drawnOffset + 3, 0.0f); // too far to glide: it jumps
    }
    predicted[tick] = now;
    predicted.erase(predicted.begin(), predicted.lower_bound(tick - kPredictionsKept));
    for (float &offset : drawnOffset)
        offset *= static_cast<float>(1.0 - kCorrectionShare);
    const float drawn[3] = {now.pos[0] + drawnOffset[0], now.pos[1] + drawnOffset[1], now.pos[2] + drawnOffset[2]};
    own.setPos(drawn);
}

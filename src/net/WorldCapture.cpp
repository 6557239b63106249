#include "net/WorldCapture.h"

#include "game/BattleWorld.h"
#include "objects/Fahrzeug.h"
#include "objects/PowerUpObject.h"
#include "objects/Projektil.h"

#include <algorithm>

namespace {

std::array<std::int16_t, 3> positionSteps(const float *pos) {
    return {NetProtocol::quantisePosition(pos[0]), NetProtocol::quantisePosition(pos[1]),
            NetProtocol::quantisePosition(pos[2])};
}

std::array<std::int16_t, 3> velocitySteps(const float *vel) {
    return {NetProtocol::quantiseVelocity(vel[0]), NetProtocol::quantiseVelocity(vel[1]),
            NetProtocol::quantiseVelocity(vel[2])};
}

} // namespace

NetProtocol::WorldState captureWorld(const BattleWorld &world) {
    NetProtocol::WorldState state;
    state.tick = static_cast<std::uint32_t>(world.getTickCount());
    state.outcome = static_cast<std::uint8_t>(world.getOutcome());
    state.battleTicks = static_cast<std::uint32_t>(world.getBattleTicks());
    for (int player = 0; player < kMaxPlayers; ++player)
        state.scores[static_cast<std::size_t>(player)] = world.getScores().get(player);

    const PhysXAccess &physics = world.getPhysics();
    for (const Fahrzeug *vehicle : world.getFahrzeugvektor()) {
        if (vehicle->getSerial() == 0 || vehicle->getSerial() > 255 ||
            state.tanks.size() == NetProtocol::kMaxTanks)
            continue;
        NetProtocol::TankState tank;
        tank.id = static_cast<std::uint8_t>(vehicle->getSerial());
        tank.pos = positionSteps(vehicle->getPos());
        float vel[3] = {0.0f, 0.0f, 0.0f};
        physics.getActorVelocity(vehicle->getActorName(), vel);
        tank.vel = velocitySteps(vel);
        tank.heading = NetProtocol::quantiseHeading(vehicle->getRotY());
        tank.speed = NetProtocol::quantiseVelocity(vehicle->getSpeed());
        tank.life = static_cast<std::uint16_t>(std::clamp(vehicle->getLife(), 0, 0xffff));
        tank.status = static_cast<std::uint8_t>(vehicle->getStatus());
        state.tanks.push_back(tank);
    }
    for (const Projektil *shot : world.getProjektilvektor()) {
        if (state.shells.size() == NetProtocol::kMaxShells)
            break;
        NetProtocol::ShellState shell;
        shell.id = static_cast<std::uint16_t>(shot->getSerial());
        // The shooter is compared, never read through: it may be gone while its shell flies.
        for (const Fahrzeug *vehicle : world.getFahrzeugvektor())
            if (vehicle == shot->getFahrzeug())
                shell.shooter = static_cast<std::uint8_t>(vehicle->getSerial());
        shell.pos = positionSteps(shot->getPos());
        float vel[3] = {0.0f, 0.0f, 0.0f};
        physics.getActorVelocity(shot->getActorName(), vel);
        shell.vel = velocitySteps(vel);
        shell.status = static_cast<std::uint8_t>(shot->getStatus());
        state.shells.push_back(shell);
    }
    const auto byId = [](const auto &a, const auto &b) { return a.id < b.id; };
    std::sort(state.tanks.begin(), state.tanks.end(), byId);
    std::sort(state.shells.begin(), state.shells.end(), byId);
    // Two shells 65536 apart in the firing order would share a number: the later one waits.
    state.shells.erase(std::unique(state.shells.begin(), state.shells.end(),
                                   [](const auto &a, const auto &b) { return a.id == b.id; }),
                       state.shells.end());

    const auto &powerUps = world.getPowerUpField().getPowerUps();
    for (std::size_t i = 0; i < powerUps.size() && i < NetProtocol::kMaxPowerUps; ++i)
        if (powerUps[i]->isAvailable())
            state.powerUps |= 1u << i;
    return state;
}

// A crowded battle over a poor simulated network: a hundred tanks and two hundred shells in flight,
// far more than one packet holds. The host sends what matters most first and the rest in the
// states after; what the client rebuilds stays close to the host's world, and nothing is dropped.
#include "net/NetHost.h"
#include "net/SimulatedNetwork.h"
#include "net/WorldFollower.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace {

using NetProtocol::ShellState;
using NetProtocol::TankState;
using NetProtocol::WorldState;

constexpr int kTanks = 100;
constexpr int kShells = 200;       // in flight at any tick
constexpr long kShellLife = 90;    // ticks a shell flies
constexpr float kTankSpeed = 5.0f; // units a second, on a circle of 5 units
constexpr float kShellSpeed = 20.0f;
constexpr long kTicks = 900;       // 15 s
constexpr int kLost = 50;          // the id of a tank destroyed and gone at kLostTick
constexpr long kLostTick = 450;

float radians(float degrees) {
    return degrees * 3.14159265f / 180.0f;
}

long bornTick(int shell) {
    return static_cast<long>(shell) * kShellLife / kShells;
}

// The host's world after `tick`: tank i circles a spot of a 10 x 10 grid 20 units apart, but for
// one gone half-way; the tanks take turns firing, so that kShells fly at once.
WorldState hostWorld(long tick) {
    WorldState state;
    state.tick = static_cast<std::uint32_t>(tick);
    state.battleTicks = static_cast<std::uint32_t>(tick);
    for (int i = 0; i < kTanks; ++i) {
        if (i + 1 == kLost && tick >= kLostTick)
            continue;
        const float cx = -90.0f + 20.0f * static_cast<float>(i % 10), cz = -90.0f + 20.0f * static_cast<float>(i / 10);
        const float angle = static_cast<float>(tick) / 60.0f * kTankSpeed / 5.0f + static_cast<float>(i);
        TankState tank;
        tank.id = static_cast<std::uint8_t>(i + 1);
        tank.pos = {NetProtocol::quantisePosition(cx + 5.0f * std::sin(angle)), NetProtocol::quantisePosition(1.0f),
                    NetProtocol::quantisePosition(cz + 5.0f * std::cos(angle))};
        tank.vel = {NetProtocol::quantiseVelocity(kTankSpeed * std::cos(angle)), 0,
                    NetProtocol::quantiseVelocity(-kTankSpeed * std::sin(angle))};
        tank.heading = NetProtocol::quantiseHeading(angle * 180.0f / 3.14159265f + 90.0f);
        tank.speed = NetProtocol::quantiseVelocity(kTankSpeed);
        tank.life = 100;
        state.tanks.push_back(tank);
    }
    for (int n = 0; bornTick(n) <= tick; ++n) {
        if (tick >= bornTick(n) + kShellLife)
            continue;
        const int shooter = n % kTanks;
        const float heading = radians(static_cast<float>(n * 37 % 360));
        ShellState shell;
        shell.id = static_cast<std::uint16_t>(n + 1);
        shell.shooter = static_cast<std::uint8_t>(shooter + 1);
        shell.vel = {NetProtocol::quantiseVelocity(kShellSpeed * std::sin(heading)), 0,
                     NetProtocol::quantiseVelocity(kShellSpeed * std::cos(heading))};
        ShellState fired = shell;
        fired.pos = {NetProtocol::quantisePosition(-90.0f + 20.0f * static_cast<float>(shooter % 10)),
                     NetProtocol::quantisePosition(2.0f),
                     NetProtocol::quantisePosition(-90.0f + 20.0f * static_cast<float>(shooter / 10))};
        shell.pos = NetProtocol::carried(fired, static_cast<std::uint32_t>(bornTick(n)),
                                         static_cast<std::uint32_t>(tick)).pos;
        state.shells.push_back(shell);
    }
    return state;
}

float distance(const std::array<std::int16_t, 3> &a, const std::array<std::int16_t, 3> &b) {
    return std::hypot(NetProtocol::positionOf(a[0]) - NetProtocol::positionOf(b[0]),
                      NetProtocol::positionOf(a[2]) - NetProtocol::positionOf(b[2]));
}

TEST(NetCrowdTest, AHundredTanksAndTwoHundredShellsReachTheClientWithinTheBudget) {
    // A 150 ms round trip, uneven by up to 40 ms, a tenth of the packets lost.
    SimulatedNetwork::Conditions poor;
    poor.latencyMs = 75;
    poor.jitterMs = 40;
    poor.loss = 0.10;
    SimulatedNetwork net(poor, 3);
    NetHost::Offer offer;
    offer.levelFile = "lvl1.lvl";
    offer.dataHash = "0123456789abcdef";
    NetHost host(net.host(), offer);
    std::unique_ptr<Transport> client = net.client();
    const auto say = [&](Transport::Channel channel, const NetProtocol::Message &message) {
        const std::vector<std::uint8_t> bytes = NetProtocol::encode(message);
        client->send(SimulatedNetwork::kServerPeer, channel, bytes.data(), bytes.size());
    };

    std::uint32_t now = 0;
    WorldFollower follower(1); // the client's picture, as its window shows it
    std::size_t refused = 0, largest = 0;
    const auto hear = [&] {
        Transport::Event event;
        while (client->poll(now, event)) {
            if (event.kind != Transport::Event::kReceived)
                continue;
            largest = std::max(largest, event.data.size());
            const auto message = NetProtocol::decode(event.data.data(), event.data.size());
            const auto *snapshot = message ? std::get_if<NetProtocol::Snapshot>(&*message) : nullptr;
            if (snapshot == nullptr)
                continue;
            const auto state = NetProtocol::apply(*snapshot, follower.stateOf(snapshot->baseTick));
            refused += !state;
            if (state)
                follower.receive(*state, 0, snapshot->goneTanks, &snapshot->state.tanks);
        }
    };
    for (int i = 0; i < 20 && !host.everyoneIn(); ++i) {
        now += 50;
        host.service(now);
        if (i == 2) {
            say(Transport::Channel::kReliable, NetProtocol::Hello{NetProtocol::kVersion, "b", "Crowd"});
            say(Transport::Channel::kReliable, NetProtocol::Ready{offer.dataHash});
        }
        hear();
    }
    ASSERT_TRUE(host.everyoneIn());
    host.start(0);

    std::map<long, WorldState> truth;
    float worstTank = 0.0f, worstShell = 0.0f;
    std::size_t tanksCompared = 0, shellsCompared = 0, missing = 0, ghosts = 0;
    for (long tick = 1; tick <= kTicks; ++tick) {
        now = static_cast<std::uint32_t>(1000 + tick * 1000 / 60);
        host.service(now);
        if (tick % NetProtocol::kStateTicks == 0) {
            truth[tick] = hostWorld(tick);
            host.sendState(truth[tick], {0, 1, 0, 0}, now); // player two drives tank 1
        }
        hear();
        if (tick % 2 == 0 && follower.newest() != nullptr) // the client's controls, confirming its newest state
            say(Transport::Channel::kUnreliable,
                NetProtocol::Input{static_cast<std::uint32_t>(tick + 4), {PlayerInput{}}, follower.newest()->tick});
        if (tick < 60 || follower.newestShown() == nullptr)
            continue; // the first second fills the client's picture
        // What the client shows of the host's newest state it holds, against the host's own.
        const WorldState &seen = *follower.newestShown();
        const WorldState &real = truth.at(seen.tick);
        ghosts += seen.tick >= kLostTick + 30 && NetProtocol::findTank(seen.tanks, kLost) != nullptr;
        for (const TankState &tank : real.tanks) {
            const TankState *drawn = NetProtocol::findTank(seen.tanks, tank.id);
            if (drawn == nullptr) {
                ++missing;
                continue;
            }
            worstTank = std::max(worstTank, distance(drawn->pos, tank.pos));
            ++tanksCompared;
        }
        for (const ShellState &shell : real.shells) {
            if (static_cast<long>(real.tick) - bornTick(shell.id - 1) < 30)
                continue; // a shell may wait for half a second before it is told
            const auto drawn = std::find_if(seen.shells.begin(), seen.shells.end(),
                                            [&](const ShellState &s) { return s.id == shell.id; });
            if (drawn == seen.shells.end()) {
                ++missing;
                continue;
            }
            worstShell = std::max(worstShell, distance(drawn->pos, shell.pos));
            ++shellsCompared;
        }
    }
    EXPECT_EQ(host.getOversizedMessages(), 0u);
    EXPECT_LE(largest, NetHost::kStateBudgetBytes);
    EXPECT_EQ(refused, 0u);
    EXPECT_EQ(missing, 0u) << "every tank, and every shell half a second old, is known to the client";
    EXPECT_EQ(ghosts, 0u) << "the gone tank is gone from the client's picture within half a second";
    EXPECT_GT(tanksCompared, 100u * 800u);
    EXPECT_GT(shellsCompared, 100u * 800u);
    // A tank drives 5 units a second on a circle of 5 units, the hardest for a client that drives
    // the tanks it has not heard of lately straight on: within 4 units, under a second's drive.
    EXPECT_LT(worstTank, 4.0f);
    EXPECT_LT(worstShell, 0.1f); // shells fly as the client carries them
}

} // namespace

// Fuzz target: the host's and the client's handshake and battle under hostile peers. The input is a
// script: hostile clients come, say what the bytes make of the host's messages (or raw bytes), go
// or vanish, while one honest client joins and plays; beside that a second client faces a hostile
// host. Nothing may crash, what each side keeps for a peer stays within its limits, and the honest
// client is still in the battle at the end, hearing the host's states.
#include "FuzzSupport.h"
#include "game/BattleWorld.h"
#include "game/GameClass.h"
#include "net/NetClient.h"
#include "net/NetHost.h"
#include "net/SimulatedNetwork.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace NetProtocol;

constexpr const char *kHash = "0123456789abcdef";
constexpr std::size_t kMostHostile = 6;    // hostile clients at once
constexpr std::size_t kMostConnections = 24; // hostile connections in one run, all told
constexpr std::uint32_t kFrameMs = 10;
constexpr std::uint32_t kMostMs = 60000;   // simulated time one input may ask for

// What the empty worlds below answer to; read once (the vehicle tables, from data/config/ of the
// folder the fuzzer runs in), never asked for anything, since no level is started.
GameClass &objectHost() {
    static GameClass game;
    return game;
}

// One run of the script in `data`. The worlds have no level: what is under test is the sessions,
// and the battle's own code has targets of its own.
class SessionFuzz {
  public:
    SessionFuzz(const std::uint8_t *data, std::size_t size)
        : data(data), size(size), net(conditions(), seed()), attacked(SimulatedNetwork::Conditions{}, 1) {}

    void run() {
        NetHost::Offer offer;
        offer.levelFile = "lvl1.lvl";
        offer.dataHash = kHash;
        offer.buildId = "fuzz";
        offer.players = 4;
        host = std::make_unique<NetHost>(net.host(), offer);
        honest = std::make_unique<NetClient>(net.client(), "Honest", "fuzz",
                                             [](const std::string &) { return std::string(kHash); });
        hostileHost = attacked.host();
        victim = std::make_unique<NetClient>(attacked.client(), "Victim", "fuzz",
                                             [](const std::string &) { return std::string(kHash); });
        // The honest client joins first and the battle starts with it.
        for (int i = 0; i < 100 && honest->getPhase() != NetClient::Phase::kWaiting; ++i)
            frame();
        if (honest->getPhase() != NetClient::Phase::kWaiting)
            std::abort();
        host->start(hostWorld.getTickCount());

        while (pos < size && nowMs < kMostMs)
            step();

        // The hostile ones go; the battle runs on (resumed, should one have paused it).
        hostile.clear();
        for (int i = 0; i < 20; ++i)
            frame();
        host->setPause(false, 0);
        for (int i = 0; i < 100; ++i)
            frame();
        const NetProtocol::WorldState *before = honest->getFollower().newest();
        const std::uint32_t tickBefore = before != nullptr ? before->tick : 0;
        for (int i = 0; i < 50; ++i)
            frame();
        const NetProtocol::WorldState *after = honest->getFollower().newest();
        if (honest->getPhase() != NetClient::Phase::kPlaying || !host->isConnected(honest->getPlayer()) ||
            after == nullptr || after->tick <= tickBefore)
            std::abort(); // the honest player was thrown out or no longer hears the battle
    }

  private:
    std::uint8_t byte() { return pos < size ? data[pos++] : 0; }
    std::uint32_t word() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value |= static_cast<std::uint32_t>(byte()) << (8 * i);
        return value;
    }
    std::uint32_t seed() const { return size > 0 ? data[0] : 0; }
    SimulatedNetwork::Conditions conditions() const {
        const std::uint8_t b = size > 1 ? data[1] : 0;
        SimulatedNetwork::Conditions c;
        c.latencyMs = (b & 0x7u) * 10;
        c.jitterMs = (b >> 3 & 0x3u) * 10;
        c.loss = (b >> 5 & 0x1u) * 0.05;
        c.duplicate = (b >> 6 & 0x1u) * 0.05;
        c.reorder = (b >> 7 & 0x1u) * 0.05;
        return c;
    }

    // A message of any type, its fields from the input: near enough to the truth (the version, the
    // hash, ticks about the host's) to get past the first checks.
    Message message(long aroundTick) {
        const std::uint8_t kind = byte();
        const std::uint8_t b = byte();
        const long tick = aroundTick + static_cast<std::int8_t>(byte()) * (b & 0x80 ? 8 : 1);
        const std::uint32_t when = b & 0x40 ? word() : static_cast<std::uint32_t>(tick < 0 ? 0 : tick);
        switch (kind % 11) {
        case 0:
            return Hello{static_cast<std::uint16_t>(b & 1 ? kVersion : b), "fuzz", "Hostile", b & 2 ? word() : 0u};
        case 1: {
            Welcome welcome{static_cast<std::uint16_t>(b & 1 ? kVersion : b), "fuzz", "lvl1.lvl",
                            b & 2 ? kHash : "fedcba9876543210", 4, static_cast<std::uint8_t>(b >> 2 & 3),
                            word(), (b & 0x10) != 0, b & 0x20 ? word() : 0u};
            return welcome;
        }
        case 2:
            return Ready{b & 1 ? kHash : "fedcba9876543210"};
        case 3:
            return Refused{static_cast<Refusal>(b % 4 + 1), "no"};
        case 4:
            return Start{when};
        case 5: {
            Input input;
            input.newestTick = when;
            const std::size_t count = b % kMaxInputs + 1;
            for (std::size_t i = 0; i < count; ++i)
                input.inputs.push_back({static_cast<std::int8_t>(byte()) / 127.0f,
                                        static_cast<std::int8_t>(byte()) / 127.0f, (byte() & 1) != 0});
            input.snapshotAck = b & 0x20 ? word() : when;
            return input;
        }
        case 6: {
            WorldState state;
            state.tick = when;
            state.pausedBy = static_cast<std::int8_t>(b & 0x20 ? (b & 3) : -1);
            state.inputLead = static_cast<std::int8_t>(byte());
            const std::size_t tanks = byte() % 4;
            for (std::size_t i = 0; i < tanks; ++i)
                state.tanks.push_back({static_cast<std::uint8_t>(i * 2 + 1),
                                       {static_cast<std::int16_t>(word()), 0, static_cast<std::int16_t>(word())},
                                       {},
                                       static_cast<std::uint16_t>(word()),
                                       0,
                                       static_cast<std::uint16_t>(byte()),
                                       1});
            return diff(state, nullptr);
        }
        case 7: {
            Events events{when, {}};
            const std::size_t count = b % kMaxEvents + 1;
            for (std::size_t i = 0; i < count; ++i)
                events.events.push_back({static_cast<std::uint8_t>(byte() % 6), {0, 0, 0},
                                         static_cast<std::int8_t>(static_cast<int>(byte() % 5) - 1)});
            return events;
        }
        case 8:
            return Pause{(b & 1) != 0, static_cast<std::int8_t>(static_cast<int>(b >> 1 & 3))};
        case 9:
            return PlayerStatus{static_cast<std::uint8_t>(b & 3), static_cast<PlayerStatus::Kind>(b >> 2 & 3)};
        default:
            return Bye{};
        }
    }

    // What the host hears next from a hostile client, or the victim from the hostile host: a message
    // or bytes as they come.
    std::vector<std::uint8_t> packet(long aroundTick) {
        const std::uint8_t how = byte();
        if (how & 1)
            return encode(message(aroundTick));
        const std::size_t length = byte() % 64;
        std::vector<std::uint8_t> bytes;
        for (std::size_t i = 0; i < length; ++i)
            bytes.push_back(byte());
        return bytes;
    }

    void step() {
        const std::uint8_t op = byte();
        const std::size_t which = byte();
        const long hostTick = hostWorld.getTickCount();
        switch (op % 8) {
        case 0: // a hostile client connects
            if (hostile.size() < kMostHostile && connections < kMostConnections) {
                hostile.push_back(net.client());
                ++connections;
            }
            break;
        case 1: // one says something; several times over when the input says so
        case 2:
            if (!hostile.empty()) {
                Transport &from = *hostile[which % hostile.size()];
                const std::vector<std::uint8_t> bytes = packet(hostTick);
                const Transport::Channel channel =
                    op & 0x10 ? Transport::Channel::kUnreliable : Transport::Channel::kReliable;
                const int times = op & 0x20 ? 50 : 1;
                for (int i = 0; i < times; ++i)
                    from.send(SimulatedNetwork::kServerPeer, channel, bytes.data(), bytes.size());
                from.flush();
            }
            break;
        case 3: // one goes: with a word, or vanishing
            if (!hostile.empty()) {
                const std::size_t index = which % hostile.size();
                if (op & 0x10)
                    hostile[index]->disconnect(SimulatedNetwork::kServerPeer);
                hostile.erase(hostile.begin() + static_cast<std::ptrdiff_t>(index));
            }
            break;
        case 4: // the hostile host tells the victim something
        case 5:
            if (victimPeer != 0) {
                const std::vector<std::uint8_t> bytes = packet(victim->getTick());
                const int times = op & 0x20 ? 50 : 1;
                for (int i = 0; i < times; ++i)
                    hostileHost->send(victimPeer,
                                      op & 0x10 ? Transport::Channel::kUnreliable : Transport::Channel::kReliable,
                                      bytes.data(), bytes.size());
                hostileHost->flush();
            }
            break;
        case 6: // the host's player pauses or resumes
            host->setPause((op & 0x10) != 0, 0);
            break;
        default: // time passes
            for (std::size_t i = 0; i <= which % 64; ++i)
                frame();
            break;
        }
    }

    // One frame of everyone: the host runs the ticks the time asks for, the honest client and the
    // victim theirs, and the hostile clients' mail is read and forgotten.
    void frame() {
        nowMs += kFrameMs;
        host->service(nowMs);
        host->takeMessages();
        BattleWorld &world = hostWorld;
        const long due = static_cast<long>(nowMs) * 60 / 1000;
        for (; hostTicks < due; ++hostTicks) {
            if (!host->isStarted() || host->getPausedBy() >= 0)
                continue;
            TickInput input;
            host->fillInputs(input, world.getTickCount() + 1);
            world.tick(input);
            host->afterTick(world, nowMs);
        }
        for (int player = 0; player < kMaxPlayers; ++player)
            if (host->getQueuedInputs(player) > static_cast<std::size_t>(NetHost::kMaxInputAhead))
                std::abort();
        if (host->getStrangers() > kMostConnections + 1)
            std::abort();

        play(*honest, honestWorld, honestTicks, PlayerInput{1.0f, 0.5f, (nowMs / 500) % 2 == 0});
        play(*victim, victimWorld, victimTicks, PlayerInput{});

        Transport::Event event;
        for (const std::unique_ptr<Transport> &peer : hostile)
            while (peer->poll(nowMs, event)) {
            }
        while (hostileHost->poll(nowMs, event))
            if (event.kind == Transport::Event::kConnected)
                victimPeer = event.peer;
    }

    void play(NetClient &client, BattleWorld &world, long &paced, const PlayerInput &controls) {
        client.service(nowMs);
        client.takeMessages();
        const long due = static_cast<long>(nowMs) * 60 / 1000;
        const int run = client.ticksToRun(static_cast<int>(due - paced));
        paced = due;
        for (int i = 0; i < run && i < 64; ++i)
            client.tick(world, controls, nowMs);
        if (client.getFollower().getPendingEvents() > WorldFollower::kMaxPendingEvents)
            std::abort();
    }

    const std::uint8_t *data;
    std::size_t size;
    std::size_t pos = 2; // the first two bytes are the network's seed and conditions
    SimulatedNetwork net;
    SimulatedNetwork attacked; // the victim's, with its hostile host
    BattleWorld hostWorld{objectHost()}, honestWorld{objectHost()}, victimWorld{objectHost()};
    std::unique_ptr<NetHost> host;
    std::unique_ptr<NetClient> honest, victim;
    std::vector<std::unique_ptr<Transport>> hostile;
    std::unique_ptr<Transport> hostileHost;
    Transport::PeerId victimPeer = 0;
    std::size_t connections = 0;
    std::uint32_t nowMs = 0;
    long hostTicks = 0, honestTicks = 0, victimTicks = 0; // ticks real time has asked for so far
};

void write(const std::string &path, const std::vector<std::uint8_t> &bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Scripts that reach the battle: a hostile client that joins and plays, one that floods, a hostile
// host that welcomes the victim, starts it and sends events and states.
void writeSeeds(const std::string &dir) {
    write(dir + "/joins_and_plays", {7, 0x09,
                                     0, 0,                   // a hostile client comes
                                     7, 10,                  // time passes
                                     1, 0, 1, 0, 1, 0,       // Hello
                                     1, 0, 1, 2, 1, 0,       // Ready
                                     7, 10,
                                     1, 0, 1, 5, 2, 3, 10, 0, 0, 20, 0, 1, 0, 0, 0,  // Input
                                     1, 0, 1, 8, 1, 0,       // Pause
                                     7, 30,
                                     1, 0, 1, 8, 0, 0,       // resumed
                                     7, 30,
                                     3, 0});                 // gone
    write(dir + "/floods", {3, 0x00, 0, 0, 7, 5, 0x21, 0, 0, 5, 0xee, 1, 2, 3, 4, 7, 20, 0x22, 0, 1, 0, 5, 0, 7, 40});
    write(dir + "/hostile_host", {9, 0x00,
                                  7, 5,
                                  4, 0, 1, 1, 0x13, 0, 0, 0, 0, 0,  // Welcome
                                  7, 2,
                                  4, 0, 1, 4, 0, 0,                 // Start
                                  7, 5,
                                  4, 0, 1, 7, 2, 100, 1, 0, 2, 1,   // Events far ahead
                                  0x24, 0, 1, 7, 0, 1, 1, 0,        // many Events
                                  4, 0, 1, 6, 0, 2, 5, 2,           // a state with two tanks
                                  7, 20});
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzz::writeSeedsWhenAsked(writeSeeds);
    objectHost();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size > 4096)
        return 0; // a longer script finds nothing a shorter one does not, and runs for seconds
    SessionFuzz(data, size).run();
    return 0;
}

#include "support/NetBattleRig.h"

#include "game/BattleWorld.h"
#include "main/HeadlessBattle.h"
#include "net/LevelData.h"
#include "objects/Fahrzeug.h"
#include "replay/BuildId.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace {

NetBattleRig::Tanks tanksOf(const BattleWorld &world) {
    NetBattleRig::Tanks tanks;
    for (const Fahrzeug *vehicle : world.getFahrzeugvektor()) {
        const float *pos = vehicle->getPos();
        tanks[vehicle->getSerial()] = {pos[0], pos[1], pos[2]};
    }
    return tanks;
}

} // namespace

NetBattleRig::NetBattleRig(const std::string &levelFile, const SimulatedNetwork::Conditions &conditions,
                           int clients, std::uint32_t seed)
    : net(conditions, seed), levelFile(levelFile) {
    for (int i = 0; i <= clients; ++i) {
        games.push_back(std::make_unique<GameClass>());
        HeadlessBattle::readWorld(*games.back(), levelFile);
    }
    NetHost::Offer offer;
    offer.levelFile = levelFile;
    offer.dataHash = levelDataHash(hostGame().getData(), levelFile).value_or("");
    offer.buildId = buildId();
    offer.players = clients + 1;
    offer.seed = seed;
    netHost = std::make_unique<NetHost>(net.host(), offer);
    for (int i = 0; i < clients; ++i) {
        GameClass &game = clientGame(i);
        netClients.push_back(std::make_unique<NetClient>(
            net.client(), "Client " + std::to_string(i + 1), buildId(),
            [&game](const std::string &file) { return levelDataHash(game.getData(), file); }));
        netClients.back()->setRedial([this] { return net.client(); });
    }
    pacedTicks.assign(games.size(), 0);
}

NetBattleRig::~NetBattleRig() = default;

bool NetBattleRig::join() {
    const std::uint32_t deadline = nowMs + 10000;
    while (!netHost->everyoneIn() && nowMs < deadline) {
        nowMs += kFrameMs;
        netHost->service(nowMs);
        for (auto &client : netClients)
            client->service(nowMs);
    }
    if (!netHost->everyoneIn())
        return false;
    BattleWorld &hostWorld = hostGame().getWorld();
    hostWorld.setHumanPlayers(netHost->getPlayers());
    hostWorld.setEveryTankJoins(true); // as a network battle has it
    hostWorld.setBattleSeed(netHost->getOffer().seed);
    if (!hostGame().loadLevel(hostGame().getData().getLevelOfFile(levelFile)))
        return false;
    for (std::size_t i = 0; i < netClients.size(); ++i) {
        const NetProtocol::Welcome &welcome = netClients[i]->getWelcome();
        BattleWorld &world = clientGame(static_cast<int>(i)).getWorld();
        world.setFollowing(true);
        world.setEveryTankJoins(true);
        world.setHumanPlayers(welcome.players);
        world.setBattleSeed(welcome.seed);
        if (!clientGame(static_cast<int>(i)).loadLevel(clientGame(static_cast<int>(i)).getData().getLevelOfFile(welcome.levelFile)))
            return false;
    }
    netHost->start(hostWorld.getTickCount());
    startMs = nowMs;
    return true;
}

void NetBattleRig::run(std::uint32_t ms, const Script &hostControls, const Script &clientControls) {
    const std::uint32_t end = nowMs + ms;
    while (nowMs < end) {
        nowMs += kFrameMs;
        hostFrame(hostControls);
        for (std::size_t i = 0; i < netClients.size(); ++i)
            clientFrame(static_cast<int>(i), clientControls);
    }
}

void NetBattleRig::hostFrame(const Script &controls) {
    auto began = std::chrono::steady_clock::now();
    netHost->service(nowMs);
    netSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    const long due = static_cast<long>((nowMs - startMs) * 60 / 1000);
    BattleWorld &world = hostGame().getWorld();
    for (; pacedTicks[0] < due; ++pacedTicks[0]) {
        if (netHost->getPausedBy() >= 0)
            continue;
        const long tick = world.getTickCount() + 1;
        TickInput input;
        input[0] = controls(tick);
        began = std::chrono::steady_clock::now();
        netHost->fillInputs(input, tick);
        const auto ticking = std::chrono::steady_clock::now();
        hostGame().tick(input);
        const auto ticked = std::chrono::steady_clock::now();
        netHost->afterTick(world, nowMs);
        const auto sent = std::chrono::steady_clock::now();
        hostSeconds += std::chrono::duration<double>(ticked - ticking).count();
        netSeconds += std::chrono::duration<double>((ticking - began) + (sent - ticked)).count();
        const Tanks &tanks = hostTanks[world.getTickCount()] = tanksOf(world);
        const int watched = netClients.empty() ? -1 : netClients[0]->getPlayer();
        bool disturbed = false;
        const Fahrzeug *own = world.getPlayerVehicle(watched);
        const auto near = [own](const float *pos) {
            return own != nullptr && std::hypot(pos[0] - own->getPos()[0], pos[2] - own->getPos()[2]) < kTouching;
        };
        for (const BattleEvent &event : world.getEvents())
            disturbed = disturbed || ((event.kind == BattleEvent::kTankHit || event.kind == BattleEvent::kTankDestroyed) &&
                                      event.player == watched) ||
                        false;
        for (const auto &[serial, pos] : tanks)
            disturbed = disturbed || (own != nullptr && serial != own->getSerial() && near(pos.data()));
        if (disturbed)
            disturbances.push_back(world.getTickCount());
    }
}

void NetBattleRig::clientFrame(int client, const Script &controls) {
    NetClient &netClient = *netClients[static_cast<std::size_t>(client)];
    GameClass &game = clientGame(client);
    netClient.service(nowMs);
    long &paced = pacedTicks[static_cast<std::size_t>(client) + 1];
    const long due = static_cast<long>((nowMs - startMs) * 60 / 1000);
    const int ticks = netClient.ticksToRun(static_cast<int>(due - paced));
    paced = due;
    for (int i = 0; i < ticks; ++i) {
        netClient.tick(game.getWorld(), controls(netClient.getTick() + 1), nowMs);
        if (client != 0)
            continue;
        ClientPicture picture;
        picture.tick = netClient.getTick();
        picture.renderTick = netClient.getFollower().getRenderTick();
        const Fahrzeug *own = game.getWorld().getPlayerVehicle(netClient.getPlayer());
        picture.own = own != nullptr ? own->getSerial() : 0;
        picture.ownHeading = own != nullptr ? own->getRotY() : 0.0f;
        picture.tanks = tanksOf(game.getWorld());
        pictures.push_back(std::move(picture));
    }
}

bool NetBattleRig::hostTanksAt(double tick, Tanks &out) const {
    const auto before = hostTanks.find(static_cast<long>(std::floor(tick)));
    const auto after = hostTanks.find(static_cast<long>(std::ceil(tick)));
    if (before == hostTanks.end() || after == hostTanks.end())
        return false;
    const auto blend = static_cast<float>(tick - std::floor(tick));
    out.clear();
    for (const auto &[serial, pos] : before->second) {
        const auto later = after->second.find(serial);
        Position at = pos;
        if (later != after->second.end())
            for (int i = 0; i < 3; ++i)
                at[static_cast<std::size_t>(i)] += (later->second[static_cast<std::size_t>(i)] - pos[static_cast<std::size_t>(i)]) * blend;
        out[serial] = at;
    }
    return true;
}

double NetBattleRig::hostTickSeconds() const {
    return hostSeconds;
}

double NetBattleRig::hostNetworkSeconds() const {
    return netSeconds;
}

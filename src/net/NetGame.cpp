#include "net/NetGame.h"

#include "config/GamePaths.h"
#include "game/GameClass.h"
#include "net/EnetTransport.h"
#include "net/LevelData.h"
#include "replay/BuildId.h"

#include <cstdio>

NetGame::~NetGame() {
    leave();
}

bool NetGame::host(const GameClass &game, const std::string &file, int playerCount, std::uint16_t wantedPort,
                   bool hostPlays, std::uint32_t battleSeed, std::string &problem) {
    leave();
    const std::optional<std::string> hash = levelDataHash(game.getData(), file);
    if (!NetProtocol::isLevelFileName(file) || !hash) {
        problem = "no level " + GamePaths::current().data("level/" + file);
        return false;
    }
    const std::uint16_t chosen = wantedPort != 0 ? wantedPort : NetProtocol::kDefaultPort;
    std::unique_ptr<EnetTransport> transport = EnetTransport::listen(chosen, kMaxPlayers, problem);
    if (transport == nullptr)
        return false;
    port = transport->port();
    NetHost::Offer offer;
    offer.levelFile = file;
    offer.dataHash = *hash;
    offer.buildId = buildId();
    offer.players = playerCount;
    offer.seed = battleSeed;
    offer.hostPlays = hostPlays;
    netHost = std::make_unique<NetHost>(std::move(transport), offer);
    role = Role::kHost;
    levelFile = file;
    players = netHost->getPlayers();
    seed = battleSeed;
    started = false;
    pausedBy = -1;
    addresses = EnetTransport::localAddresses();
    std::printf("Network: hosting %s for %d players on port %u\n", (GamePaths::current().data("level/" + file)).c_str(), players,
                static_cast<unsigned>(port));
    std::fflush(stdout);
    return true;
}

bool NetGame::join(const GameClass &game, const std::string &where, const std::string &playerName,
                   std::string &problem) {
    leave();
    std::string name;
    std::uint16_t hostPort = 0;
    if (!EnetTransport::parseAddress(where, NetProtocol::kDefaultPort, name, hostPort)) {
        problem = "bad address '" + where + "'";
        return false;
    }
    const GameData &data = game.getData();
    netClient = std::make_unique<NetClient>(
        EnetTransport::connect(where, NetProtocol::kDefaultPort), playerName.substr(0, NetProtocol::kMaxString),
        buildId(), [&data](const std::string &file) { return levelDataHash(data, file); });
    netClient->setRedial([where] { return EnetTransport::connect(where, NetProtocol::kDefaultPort); });
    role = Role::kClient;
    address = name + ":" + std::to_string(hostPort);
    started = false;
    pausedBy = -1;
    std::printf("Network: joining %s\n", address.c_str());
    std::fflush(stdout);
    return true;
}

void NetGame::leave() {
    if (netHost != nullptr)
        netHost->leave();
    if (netClient != nullptr)
        netClient->leave();
    netHost.reset();
    netClient.reset();
    role = Role::kNone;
    started = false;
    pausedBy = -1;
}

int NetGame::getLocalPlayer() const {
    if (netClient != nullptr)
        return netClient->getPlayer();
    return 0;
}

NetGame::News NetGame::service(std::uint32_t nowMs) {
    News news;
    if (netHost != nullptr) {
        netHost->service(nowMs);
        news.lines = netHost->takeMessages();
        if (!started && netHost->everyoneIn()) {
            started = true;
            news.start = true;
        }
        if (netHost->getPausedBy() != pausedBy) {
            pausedBy = netHost->getPausedBy();
            news.pauseChanged = true;
            news.pausedBy = pausedBy;
        }
    } else if (netClient != nullptr) {
        netClient->service(nowMs);
        news.lines = netClient->takeMessages();
        const std::string notice = netClient->notice();
        if (!notice.empty() && notice != lastNotice) // once a second while the connection is out
            news.lines.push_back(notice);
        lastNotice = notice;
        const NetClient::Phase phase = netClient->getPhase();
        if (phase == NetClient::Phase::kWaiting || phase == NetClient::Phase::kPlaying) {
            levelFile = netClient->getWelcome().levelFile;
            players = netClient->getWelcome().players;
            seed = netClient->getWelcome().seed;
        }
        if (!started && phase == NetClient::Phase::kPlaying) {
            started = true;
            news.start = true;
        }
        if (phase == NetClient::Phase::kRefused || phase == NetClient::Phase::kLost) {
            news.lost = true;
            news.problem = netClient->getProblem();
        }
        if (netClient->getPausedBy() != pausedBy) {
            pausedBy = netClient->getPausedBy();
            news.pauseChanged = true;
            news.pausedBy = pausedBy;
        }
    }
    return news;
}

void NetGame::hostStarted(long tick) {
    if (netHost != nullptr)
        netHost->start(tick);
}

void NetGame::fillInputs(TickInput &input, long tick) {
    if (netHost != nullptr)
        netHost->fillInputs(input, tick);
}

void NetGame::afterHostTick(const BattleWorld &world, std::uint32_t nowMs) {
    if (netHost != nullptr)
        netHost->afterTick(world, nowMs);
}

int NetGame::clientTicks(int paced) {
    return netClient != nullptr ? netClient->ticksToRun(paced) : 0;
}

void NetGame::clientTick(BattleWorld &world, const PlayerInput &controls, std::uint32_t nowMs) {
    if (netClient != nullptr)
        netClient->tick(world, controls, nowMs);
}

void NetGame::setPause(bool paused) {
    if (netHost != nullptr)
        netHost->setPause(paused, 0);
    else if (netClient != nullptr)
        netClient->requestPause(paused);
}

std::vector<std::string> NetGame::statusLines() const {
    std::vector<std::string> lines;
    if (netHost != nullptr) {
        lines.push_back("Level: " + levelFile + ", " + std::to_string(players) + " players");
        lines.push_back("Port " + std::to_string(port) + " (UDP)");
        std::string here = "This machine:";
        for (const std::string &a : addresses)
            here += " " + a;
        lines.push_back(addresses.empty() ? "This machine: no network address but 127.0.0.1" : here);
        for (int player = netHost->getOffer().hostPlays ? 1 : 0; player < players; ++player)
            lines.push_back(std::string("Player ") + playerWord(player) +
                            (netHost->isConnected(player) ? ": here" : ": waiting"));
    } else if (netClient != nullptr) {
        switch (netClient->getPhase()) {
        case NetClient::Phase::kConnecting:
            lines.push_back("Connecting to " + address);
            break;
        case NetClient::Phase::kWaiting:
        case NetClient::Phase::kPlaying:
            lines.push_back("Connected to " + address);
            lines.push_back("Level: " + levelFile + ", " + std::to_string(players) + " players");
            lines.push_back(std::string("You are player ") + playerWord(netClient->getPlayer()));
            lines.push_back("Waiting for the host to start");
            break;
        case NetClient::Phase::kRefused:
        case NetClient::Phase::kLost:
            lines.push_back(netClient->getProblem());
            break;
        case NetClient::Phase::kRejoining:
            lines.push_back(netClient->notice());
            break;
        }
    }
    return lines;
}

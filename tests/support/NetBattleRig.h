#pragma once

#include "game/GameClass.h"
#include "net/NetClient.h"
#include "net/NetHost.h"
#include "net/SimulatedNetwork.h"

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// A network battle in one process: a host and its clients, each with a world of its own and no
// window, over a simulated network, on a clock of the rig's own (frames of kFrameMs, each running
// the ticks the time asks for, as the game does). It keeps what each side had of every tank, for
// tests and benchmarks to compare. Run it in a folder with the game's data (support/BattleData.h).
class NetBattleRig {
  public:
    static constexpr std::uint32_t kFrameMs = 8;
    using Position = std::array<float, 3>;
    using Tanks = std::map<std::uint32_t, Position>; // by vehicle serial
    using Script = std::function<PlayerInput(long tick)>;

    // What one client showed after one of its ticks: its own tank at that tick, the others at the
    // host's tick it drew them at.
    struct ClientPicture {
        long tick = 0;
        double renderTick = 0.0;
        std::uint32_t own = 0; // serial of the own tank, 0 when it is gone
        float ownHeading = 0.0f;
        Tanks tanks;
    };

    NetBattleRig(const std::string &levelFile, const SimulatedNetwork::Conditions &conditions, int clients,
                 std::uint32_t seed);
    ~NetBattleRig();

    // Connects every client and starts the battle; false when that takes more than ten seconds.
    bool join();
    // Runs `ms` more milliseconds. Player one plays at the host by `hostControls`, each client's
    // player by `clientControls`.
    void run(std::uint32_t ms, const Script &hostControls, const Script &clientControls);

    std::uint32_t now() const { return nowMs; }
    GameClass &hostGame() { return *games[0]; }
    GameClass &clientGame(int client = 0) { return *games[static_cast<std::size_t>(client) + 1]; }
    NetHost &host() { return *netHost; }
    NetClient &client(int client = 0) { return *netClients[static_cast<std::size_t>(client)]; }
    SimulatedNetwork &network() { return net; }

    // The host's tanks after each of its ticks, and the first client's picture after each of its ticks.
    const std::map<long, Tanks> &hostHistory() const { return hostTanks; }
    const std::vector<ClientPicture> &clientPictures() const { return pictures; }
    // The host's tanks at a tick between two of its ticks; false when it has no record of either.
    bool hostTanksAt(double tick, Tanks &out) const;
    // The host's ticks in which the first client's tank was hit, touched another tank or had a shell
    // fired beside it (closer than kTouching): what the client cannot foresee.
    const std::vector<long> &hostDisturbances() const { return disturbances; }
    static constexpr float kTouching = 5.0f;
    double hostTickSeconds() const;    // seconds the host's world spent in its ticks so far
    double hostNetworkSeconds() const; // seconds the host spent hearing and telling its clients

  private:
    void hostFrame(const Script &controls);
    void clientFrame(int client, const Script &controls);

    SimulatedNetwork net;
    std::string levelFile;
    std::vector<std::unique_ptr<GameClass>> games; // the host's first
    std::unique_ptr<NetHost> netHost;
    std::vector<std::unique_ptr<NetClient>> netClients;
    std::uint32_t nowMs = 0;
    std::uint32_t startMs = 0;
    std::vector<long> pacedTicks; // per game: the ticks real time has asked for so far
    std::map<long, Tanks> hostTanks;
    std::vector<ClientPicture> pictures;
    std::vector<long> disturbances;
    double hostSeconds = 0.0;
    double netSeconds = 0.0;
};

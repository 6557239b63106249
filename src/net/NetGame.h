#pragma once

#include "game/BattleLoop.h"
#include "net/NetClient.h"
#include "net/NetHost.h"
#include "objects/PlayerInput.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class BattleWorld;
class GameClass;

// A network battle as the program runs it, at the host or at a joining machine: the connection over
// ENet, the handshake's data, and what the window (or the headless host) must do about what the
// network brings. It reads no clock: the caller passes the time in milliseconds.
class NetGame : public BattleLink {
  public:
    enum class Role { kNone, kHost, kClient };

    // What the network brought since the last look.
    struct News {
        bool start = false;        // the battle begins: start the level (levelFile, players, seed)
        bool lost = false;         // the other side is gone or refused: `problem` says why
        std::string problem;
        bool pauseChanged = false; // the battle was paused or resumed on the other machine
        int pausedBy = -1;         // then: the player who paused it, -1 when it runs again
        std::vector<std::string> lines; // for the screen: "Player two joined", ...
    };

    ~NetGame() override;

    // Hosts a battle on `levelFile` (a bare file name in data/level/ that `game` has) for `players`
    // human players at `port` (0: the usual one); player one plays here unless `hostPlays` is false.
    // False, with `problem` set, when the level or the port cannot be had.
    bool host(const GameClass &game, const std::string &levelFile, int players, std::uint16_t port, bool hostPlays,
              std::uint32_t seed, std::string &problem);
    // Joins the battle at `address` ("host" or "host:port"); the look-up and the connection go on in
    // the background. False (with `problem` set) for an address that cannot be one.
    bool join(const GameClass &game, const std::string &address, const std::string &playerName, std::string &problem);
    // Says goodbye and closes the connection; the role is none again.
    void leave();

    Role getRole() const { return role; }
    bool isStarted() const { return started; }
    int getLocalPlayer() const; // the player this machine plays: 0 at the host, the welcome's at a client
    const std::string &getLevelFile() const { return levelFile; }
    int getPlayers() const { return players; }
    std::uint32_t getSeed() const { return seed; }
    std::uint16_t getPort() const { return port; }

    News service(std::uint32_t nowMs);
    // The host's battle has started with its world at `tick`.
    void hostStarted(long tick);
    // The host's tick: the remote players' controls into `input`, then (after the world's tick) what
    // the clients hear of it.
    void fillInputs(TickInput &input, long tick) override;
    void afterHostTick(const BattleWorld &world, std::uint32_t nowMs) override;
    // The client's ticks: how many to run of the `paced` ones, and one of them with this machine's
    // player's controls.
    int clientTicks(int paced) override;
    void clientTick(BattleWorld &world, const PlayerInput &controls, std::uint32_t nowMs) override;
    // This machine's player paused or resumed the battle.
    void setPause(bool paused);
    // The waiting screen's lines: the port and addresses, who is in, what the client waits for.
    std::vector<std::string> statusLines() const;

  private:
    Role role = Role::kNone;
    std::unique_ptr<NetHost> netHost;
    std::unique_ptr<NetClient> netClient;
    std::string levelFile;
    int players = 2;
    std::uint32_t seed = 0;
    std::uint16_t port = 0;
    std::string address; // the host a client joins
    bool started = false;
    int pausedBy = -1;
    std::vector<std::string> addresses; // this machine's, shown by the host
    std::string lastNotice;             // the client's word on its connection, last told
};

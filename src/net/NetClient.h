#pragma once

#include "net/Protocol.h"
#include "net/Transport.h"
#include "net/WorldFollower.h"

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class BattleWorld;

// A machine that joins another's battle. It greets the host, checks that it has the host's level
// with the same data, then plays: each tick its player's controls go to the host (with the last
// few repeated, so a lost packet costs nothing) and move its own tank at once, while the host's
// states and events shape everything else (WorldFollower). It runs its ticks a little ahead of the
// host's, so that its controls arrive in time for the tick they are meant for. It reads no clock:
// the caller passes the time in milliseconds.
class NetClient {
  public:
    static constexpr std::uint32_t kSilenceMs = 20000;    // a host this long silent is gone
    static constexpr std::uint32_t kInterruptedMs = 1000; // this long silent, the connection is interrupted
    static constexpr std::uint32_t kRejoinMs = 60000;     // how long it tries to join again after that
    static constexpr std::uint32_t kRedialMs = 2000;      // between two tries
    static constexpr std::uint32_t kKeepAliveMs = 250; // while nothing else goes out (paused), this often
    static constexpr int kLowLead = 2, kHighLead = 8;  // ticks the controls should arrive before their tick
    static constexpr long kSteerPause = 20;            // ticks to see the effect of a change of pace
    static constexpr long kInputTicks = 2;             // the controls go out every second tick
    static constexpr long kMaxEventsAhead = 600;       // ticks (10 s) an event may lie past this machine's tick

    enum class Phase {
        kConnecting, // the connection, then the host's welcome
        kWaiting,    // the level is known and ready; the battle has not started
        kPlaying,    // the battle runs (or is paused, or decided)
        kRefused,    // the host refused this machine or this machine the host: getProblem says why
        kLost,       // the connection is gone: getProblem says how
        kRejoining,  // the connection was lost in the battle: it joins again, for its own place
    };

    // The data hash of a level of this machine's data/level/, or nothing when it has no such level.
    using DataCheck = std::function<std::optional<std::string>(const std::string &levelFile)>;
    // A new connection to the same host, for joining again after the connection was lost.
    using Redial = std::function<std::unique_ptr<Transport>()>;

    NetClient(std::unique_ptr<Transport> transport, std::string playerName, std::string buildId, DataCheck check);
    ~NetClient();
    // Without it, a lost connection ends the battle for this machine.
    void setRedial(Redial redial) { this->redial = std::move(redial); }

    // Reads what arrived; notices a silent host.
    void service(std::uint32_t nowMs);
    Phase getPhase() const { return phase; }
    const std::string &getProblem() const { return problem; }
    const NetProtocol::Welcome &getWelcome() const { return welcome; } // from kWaiting on
    int getPlayer() const { return welcome.yourPlayer; }
    long getStartTick() const { return startTick; }
    long getTick() const { return clientTick; } // this machine's newest tick, in the host's count
    // How long the host has been silent, from kInterruptedMs on, while the battle runs; 0 otherwise.
    std::uint32_t getInterruptedMs() const;
    // How long it has been trying to join again, while kRejoining.
    std::uint32_t getRejoiningMs() const { return phase == Phase::kRejoining ? lastServiceMs - rejoinSinceMs : 0; }
    // What the screen should say about the connection now ("Connection interrupted for 3 s"); empty
    // while all is well.
    std::string notice() const;

    // How many ticks to run now, of the `paced` ones real time asks for: a few more or fewer while
    // the controls arrive at the host too late or too early.
    int ticksToRun(int paced);
    // One tick of the world (started with setFollowing): this player's `controls` move its tank at
    // once and go to the host; the rest follows the host's states.
    void tick(BattleWorld &world, const PlayerInput &controls, std::uint32_t nowMs);
    int getPausedBy() const { return pausedBy; } // -1 while the battle runs
    void requestPause(bool paused);
    // Lines for the screen since the last call ("Player three joined", "Paused by player one").
    std::vector<std::string> takeMessages();
    void leave(); // says goodbye to the host
    const WorldFollower &getFollower() const { return follower; }
    std::size_t getRefusedPackets() const { return refusedPackets; }

  private:
    void onPacket(const std::vector<std::uint8_t> &data, std::uint32_t nowMs);
    void onWelcome(const NetProtocol::Welcome &offer);
    void onWelcomeBack(const NetProtocol::Welcome &offer); // the answer to a Hello when joining again
    void fail(Phase why, std::string text);
    // The connection is gone: join again when it can, or fail with `text`.
    void lost(std::string text, std::uint32_t nowMs);
    void dial(std::uint32_t nowMs);
    void send(Transport::Channel channel, const NetProtocol::Message &message);
    void sendInputs(std::uint32_t nowMs);
    void say(std::string line);

    std::unique_ptr<Transport> transport;
    std::string playerName;
    std::string buildId;
    DataCheck check;
    Redial redial;
    Phase phase = Phase::kConnecting;
    std::string problem;
    Transport::PeerId host = 0;
    bool connected = false;
    std::uint32_t lastHeardMs = 0;
    bool heardYet = false;
    std::uint32_t lastSentMs = 0;
    std::uint32_t lastServiceMs = 0;
    std::uint32_t rejoinSinceMs = 0; // when the connection was lost, while kRejoining
    std::uint32_t dialedMs = 0;      // the last try to connect again
    bool dialing = false;            // a try is under way
    bool rejoinReady = false;        // welcomed back: the host's Start lets it play on
    bool interrupted = false;        // the host has been silent for kInterruptedMs, said so
    NetProtocol::Welcome welcome;
    long startTick = 0;
    long clientTick = 0;       // this machine's newest tick
    long steerWait = 0;        // ticks until the pace may change again
    long resumedTick = 0;      // the first tick sent after the connection came back
    long owedTicks = 0;        // ticks to leave out (ahead too far) or, negative, to add
    int pausedBy = -1;
    std::deque<PlayerInput> recentInputs; // the controls of consecutive ticks up to recentTick
    long recentTick = 0;
    WorldFollower follower{1};
    std::size_t refusedPackets = 0;
    std::vector<std::string> messages;
};

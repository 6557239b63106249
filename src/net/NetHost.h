#pragma once

#include "net/Protocol.h"
#include "net/Transport.h"
#include "objects/PlayerInput.h"

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <memory>
#include <random>
#include <string>
#include <vector>

class BattleWorld;

// The host of a network battle: its world is the one truth. It lets players join (after checking
// that they speak the same protocol and have the same data), takes each remote player's controls
// for each tick, and sends every client the world's state a few dozen times a second and the
// battle's events as they happen. Nothing it hears moves anything but a remote player's own tank.
// It reads no clock: the caller passes the time in milliseconds.
class NetHost {
  public:
    static constexpr std::uint32_t kSilenceMs = 20000; // a client this long silent has lost its connection
    static constexpr std::uint32_t kInterruptedMs = 1000; // this long silent, its connection is interrupted
    static constexpr long kHoldTicks = 30; // ticks a player's last controls are repeated when no new ones come
    static constexpr std::uint32_t kKeepAliveMs = 250; // while paused, the state goes out again this often
    static constexpr long kMaxInputAhead = 120;        // ticks a client's input may run ahead of the host
    static constexpr std::size_t kMaxRefusedPackets = 200; // refused packets a peer may have piled up
    static constexpr std::uint32_t kRefusedDrainMs = 50;   // the pile loses one this often: 200 in 10 s
    static constexpr std::uint32_t kPendingMs = 5000;  // a peer must say hello within this time
    // A client's budget: 400 bytes for each tick since its last state (24 KB/s), at most 1,200 in
    // one state. In a crowded battle the host sends what matters most and the rest in the states
    // after.
    static constexpr std::size_t kStateBytesPerTick = 400;
    static constexpr std::size_t kStateBudgetBytes = 1200;
    // For so many ticks after a tank has gone, every state names it gone, even to a client whose
    // base lacks it (told of it in a state the base did not build on).
    static constexpr long kGoneTicks = 600;

    struct Offer {
        std::string levelFile; // bare, in data/level/
        std::string dataHash;  // 16 hex digits
        std::string buildId;
        int players = 2;       // 1..kMaxPlayers
        std::uint32_t seed = 0;
        bool hostPlays = true; // player one plays at the host; else every player joins
    };

    NetHost(std::unique_ptr<Transport> transport, Offer offer);
    ~NetHost();

    // Reads what arrived: greetings, controls, pause requests, goodbyes; notices silent clients.
    void service(std::uint32_t nowMs);
    // Every remote player's place is taken by a client that is ready.
    bool everyoneIn() const;
    // The battle starts with the host's next tick after `tick`; ready clients are told so, and
    // those that join later are let into the running battle.
    void start(long tick);
    bool isStarted() const { return started; }
    // Each remote player's controls for the host's tick `tick`: what that player's client sent for
    // it, else its last controls for up to kHoldTicks; a player without a connection, or whose
    // controls stopped coming, stands.
    void fillInputs(TickInput &input, long tick);
    // After the world's tick: its events go to every client, and every kStateTicks ticks its state.
    void afterTick(const BattleWorld &world, std::uint32_t nowMs);
    // The world's state after its tick goes to every client now, each player's own tank being the
    // one of `playerTanks` (ids, 0: none). afterTick sends the world's thus; a test may send any.
    void sendState(NetProtocol::WorldState state, const std::array<std::uint8_t, kMaxPlayers> &playerTanks,
                   std::uint32_t nowMs);

    // The pause: the host's player (0) or a client's player pauses or resumes for everybody.
    void setPause(bool paused, int player);
    int getPausedBy() const { return pausedBy; } // -1 while the battle runs
    // What the screen should say since the last call ("Player two joined", "Player two lost the
    // connection", refusals), oldest first; each is printed as it happens too.
    std::vector<std::string> takeMessages();
    // Says goodbye to every client (the host leaves the battle).
    void leave();

    bool isConnected(int player) const;
    // The connected peers that hold no place yet; the places hold at most kMaxPlayers more.
    std::size_t getStrangers() const { return strangers.size(); }
    // Controls a player sent for ticks the host has not run yet.
    std::size_t getQueuedInputs(int player) const;
    std::size_t getRefusedPackets() const { return refusedPackets; }
    // Messages too large for a packet, which the transport would have dropped: a fault, said once.
    std::size_t getOversizedMessages() const { return oversized; }
    int getPlayers() const { return offer.players; }
    const Offer &getOffer() const { return offer; }

  private:
    // A leaky bucket of refused packets: each one adds to the pile, time drains it, so an honest
    // peer's occasional burst is forgiven while a steady stream of garbage is not.
    struct Refusals {
        std::size_t piled = 0;       // refused packets not yet drained
        std::uint32_t drainedMs = 0; // when the pile last lost one (or was empty)
    };
    struct Place {
        Transport::PeerId peer = 0;
        bool taken = false;      // a client holds the place (connected, maybe not ready yet)
        bool ready = false;      // it has the data and plays
        bool everJoined = false;
        bool interrupted = false;    // silent for kInterruptedMs, said so
        std::uint64_t token = 0;     // its client's proof of the place when it joins again
        std::uint32_t lastHeardMs = 0;
        std::map<long, PlayerInput> inputs; // by tick, not yet used
        PlayerInput held;                   // the last controls used
        long newestInput = -1;              // the newest tick it sent controls for
        std::uint32_t ackTick = 0;          // the newest state it confirmed
        std::deque<NetProtocol::WorldState> sent; // the states it was sent lately, as it rebuilt them
        std::optional<NetProtocol::WorldState> confirmed; // the newest it confirmed, kept however old
        std::array<long, 256> toldTick{};   // by tank id: the tick of the last state that carried it
        std::map<std::uint16_t, long> toldShells; // the same for the shells in the world
        long stateTick = -1;                // the tick of the last state sent to it
        Refusals refused; // of its connection, carried over from its time as a stranger
    };
    struct Stranger { // connected, not yet holding a place
        std::uint32_t sinceMs = 0;
        Refusals refused;
    };

    void onPacket(Transport::PeerId peer, const std::vector<std::uint8_t> &data, std::uint32_t nowMs);
    void onHello(Transport::PeerId peer, const NetProtocol::Hello &hello, std::uint32_t nowMs);
    void onPlaceMessage(int player, const NetProtocol::Message &message, std::uint32_t nowMs);
    void refuse(Transport::PeerId peer, NetProtocol::Refusal reason, const std::string &detail);
    void lose(int player, NetProtocol::PlayerStatus::Kind how); // the place's connection is gone; the tank stands
    void sendReliable(Transport::PeerId peer, const NetProtocol::Message &message);
    void sendToReady(const NetProtocol::Message &message);
    void sendStates(std::uint32_t nowMs);
    // The snapshot of `state` for the place of `player` from `base`, within kStateBudgetBytes.
    NetProtocol::Snapshot snapshotFor(int player, const NetProtocol::WorldState &state,
                                      const NetProtocol::WorldState *base, std::size_t budget);
    void send(Transport::PeerId peer, Transport::Channel channel, const NetProtocol::Message &message);
    void say(std::string line);
    int placeOf(Transport::PeerId peer) const;
    int placeFor(const NetProtocol::Hello &hello, std::uint32_t nowMs) const;
    bool refusedTooOften(Refusals &refusals, Transport::PeerId peer, std::uint32_t nowMs);

    std::unique_ptr<Transport> transport;
    Offer offer;
    std::array<Place, kMaxPlayers> places{};
    std::map<Transport::PeerId, Stranger> strangers;
    bool started = false;
    long startTick = 0;
    long hostTick = 0; // the world's newest tick
    int pausedBy = -1;
    std::optional<NetProtocol::WorldState> lastState; // the world as last told
    std::array<std::uint8_t, kMaxPlayers> ownTanks{}; // each player's tank id, 0 when it has none
    std::array<bool, 256> seenTanks{};                // tank ids that have been in the world
    std::map<std::uint16_t, long> shellBorn;          // the shells in the world: the tick each was first
    std::map<std::uint8_t, long> goneTicks;           // tanks gone from the world: the tick they went
    std::uint32_t lastSentMs = 0;
    std::size_t refusedPackets = 0;
    std::size_t oversized = 0;
    std::vector<std::string> messages;
    std::mt19937_64 tokens{std::random_device{}()}; // the places' rejoin tokens
};

// "one" .. "four" for players 0 .. 3: "Player two lost the connection".
const char *playerWord(int player);

#pragma once

#include "net/Protocol.h"

#include <array>
#include <bitset>
#include <deque>
#include <map>
#include <vector>

class BattleWorld;
class Fahrzeug;

// A client's picture of the host's world. The host's states arrive late and irregularly; the
// follower keeps the recent ones and shows every other tank, shell and power-up as the host had it
// a little while ago, between two states, so their motion stays smooth through late and lost
// packets. The client's own tank runs ahead on its own keys (BattleWorld::tickFollowing); when the
// host's word on it differs, its simulation takes the word at once and its picture glides after.
class WorldFollower {
  public:
    static constexpr std::size_t kKeptStates = 64;    // about two seconds of the host's states
    static constexpr double kCorrectionShare = 0.3;   // of the own tank's drawn error made good per tick
    static constexpr float kSnapDistance = 4.0f;      // an error this large is made good at once
    static constexpr float kPushedSpeed = 1.0f;       // units per second: the host's tank was pushed
    static constexpr double kMaxExtrapolation = 15.0; // ticks a tank goes on past the newest state
    static constexpr std::uint32_t kMaxDriveOn = 60;  // ticks a tank not told of lately is driven on
    static constexpr std::size_t kMaxPendingEvents = 256; // Events messages held; a busy second needs a few dozen

    explicit WorldFollower(int ownPlayer) : ownPlayer(ownPlayer) {}

    // A state of the host's, as rebuilt from a snapshot, arriving while this machine runs its tick
    // `clientTick`; `goneTanks` are the tanks the snapshot named gone, `told` those it carried (null:
    // all). A crowded host leaves tanks out, which the rebuilt state has from an older base: each
    // tank is shown from the newest word on it of any snapshot, driven on along its velocity. A
    // tank no snapshot has told of or named gone stands as it was last shown.
    void receive(const NetProtocol::WorldState &state, long clientTick,
                 const std::vector<std::uint8_t> &goneTanks = {},
                 const std::vector<NetProtocol::TankState> *told = nullptr);
    // A tick's events, held until the render tick reaches it; false (and dropped) while
    // kMaxPendingEvents are held already.
    bool receive(const NetProtocol::Events &happened);
    std::size_t getPendingEvents() const { return pendingEvents.size(); } // messages held
    // The kept state of the host's tick as rebuilt, for the differences the host sends from it;
    // null if gone.
    const NetProtocol::WorldState *stateOf(std::uint32_t tick) const;
    const NetProtocol::WorldState *newest() const { return rebuilt.empty() ? nullptr : &rebuilt.back(); }
    // The newest state as it is shown: every tank from the newest word on it.
    const NetProtocol::WorldState *newestShown() const { return states.empty() ? nullptr : &states.back(); }

    // After the world's tickFollowing for this machine's tick `tick`: the other tanks, the shells,
    // the power-ups, the scores and the result as the host had them at renderTick(), the events up
    // to it, and the own tank nudged towards the host's word.
    void apply(BattleWorld &world, long tick);
    // The host's tick (with a fraction) the last apply showed the others at.
    double getRenderTick() const { return renderTick; }
    int getOwnPlayer() const { return ownPlayer; }

  private:
    struct Pose {
        float pos[3];
        float vel[3];
        float heading;
    };
    void chooseRenderTick(long tick);
    void placeTanks(BattleWorld &world, const NetProtocol::WorldState &from, const NetProtocol::WorldState *to,
                    double blend);
    void placeShells(BattleWorld &world, const NetProtocol::WorldState &from, const NetProtocol::WorldState *to,
                     double blend);
    void correctOwnTank(BattleWorld &world, Fahrzeug &own, long tick);
    void releaseEvents(BattleWorld &world);

    int ownPlayer;
    std::deque<NetProtocol::WorldState> rebuilt; // by tick, oldest first, as the snapshots made them
    std::deque<NetProtocol::WorldState> states;  // the same as shown, by tick
    std::bitset<256> gone;                       // tanks a snapshot named gone, by id
    std::map<std::uint8_t, std::pair<std::uint32_t, NetProtocol::TankState>> newestWord; // by id: tick, tank
    std::deque<NetProtocol::Events> pendingEvents;
    std::deque<long> arrivalLag;  // this machine's tick minus the host's, per state received lately
    double renderTick = 0.0;
    double lag = -1.0;            // the lag the render tick keeps, smoothed; -1 before the first state
    std::map<long, Pose> predicted; // the own tank after each of this machine's recent ticks
    std::uint32_t correctedFrom = 0; // the host state the own tank was last measured against
    float drawnOffset[3] = {0.0f, 0.0f, 0.0f}; // the own tank is drawn this far from its simulation
};

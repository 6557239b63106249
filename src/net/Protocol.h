#pragma once

#include "objects/PlayerInput.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// The messages two machines exchange about a battle, and their bytes. Every number is little-endian
// and of a fixed width; a string is a one-byte length and that many bytes. Decoding trusts nothing:
// a packet that is too short, too long, of an unknown type or with a value out of its range decodes
// to nothing, and the caller drops and counts it.
namespace NetProtocol {

// 2: a place's rejoin token in Hello and Welcome. 3: a state may leave tanks out (they are not
// gone; a whole state names the gone ones).
constexpr std::uint16_t kVersion = 3;
constexpr std::uint16_t kDefaultPort = 24731;
constexpr std::size_t kMaxString = 64;    // player names, build ids, level files, data hashes
constexpr std::size_t kMaxInputs = 8;     // inputs one Input message repeats, newest last
constexpr std::size_t kMaxTanks = 128;    // tanks a state may hold: a level's most (Level::kMaxVehicles)
constexpr std::size_t kMaxShells = 512;   // shells a state may hold; one snapshot carries 255 at most
constexpr std::size_t kMaxEvents = 64;    // events one Events message may carry
constexpr std::size_t kMaxPowerUps = 32;  // power-ups a snapshot may carry (a bit each)

// Positions in 1/128 units (+-256 units), velocities in 1/128 units per second (+-256), headings
// in 1/65536 of a full turn. Out-of-range values are clamped when quantised.
constexpr float kPositionStep = 1.0f / 128.0f;
constexpr float kTickSeconds = 1.0f / 60.0f; // the battle's tick, by which a shell is carried on
constexpr int kStateTicks = 3;               // the host sends its world's state every third tick: 20 a second
constexpr float kVelocityStep = 1.0f / 128.0f;
std::int16_t quantisePosition(float units);
float positionOf(std::int16_t steps);
std::int16_t quantiseVelocity(float unitsPerSecond);
float velocityOf(std::int16_t steps);
std::uint16_t quantiseHeading(float degrees); // any angle, taken modulo 360
float headingOf(std::uint16_t steps);          // in [0, 360)
// Throttle and turn in 1/127 steps; NaN counts as 0, values beyond [-1, 1] are clamped.
std::int8_t quantiseControl(float value);
float controlOf(std::int8_t steps); // -128 reads as -1

// Why a machine refuses the other.
enum class Refusal : std::uint8_t {
    kVersion = 1, // the protocol versions differ
    kData = 2,    // the level, its height map, models or tables differ, or the level is missing
    kFull = 3,    // every player's place is taken
    kLevel = 4,   // the host named a level that is not a bare file name in data/level/
};

// Client to host, first: who asks to play.
struct Hello {
    std::uint16_t version = kVersion;
    std::string buildId;
    std::string playerName;
    std::uint64_t rejoinToken = 0; // a Welcome's token: that place back, please; 0: any free place
};
// Host to client, the answer to a Hello of the same version: the battle on offer.
struct Welcome {
    std::uint16_t version = kVersion;
    std::string buildId;
    std::string levelFile;  // a bare file name in data/level/ ("lvl2.lvl")
    std::string dataHash;   // 16 hex digits of battleDataHash for that level
    std::uint8_t players = 2;    // human players of the battle, 1..kMaxPlayers
    std::uint8_t yourPlayer = 1; // the player the client plays, 0..players-1 (0 only when nobody plays at the host)
    std::uint32_t seed = 0;
    bool started = false;        // the battle runs already (a player joining again)
    std::uint64_t rejoinToken = 0; // the place is the client's again when its Hello brings this back
};
// Client to host: the client has the level with the same data hash and is ready to play.
struct Ready {
    std::string dataHash;
};
// Either way: the sender refuses the other, then closes the connection.
struct Refused {
    Refusal reason = Refusal::kVersion;
    std::string detail; // for the message on the other side, e.g. the other build's id
};
// Host to client: the battle starts with this tick.
struct Start {
    std::uint32_t tick = 0;
};
// Client to host: its player's controls for the last `inputs.size()` ticks up to `newestTick`
// (the newest last), and the newest snapshot it has, which the host may send differences from.
struct Input {
    std::uint32_t newestTick = 0;
    std::vector<PlayerInput> inputs; // 1..kMaxInputs; throttle and turn quantised by quantiseControl
    std::uint32_t snapshotAck = 0;   // 0: none yet
};

// The groups of a snapshot's head that a difference may leave out.
constexpr std::uint8_t kHeadOutcome = 1, kHeadClock = 2, kHeadScores = 4, kHeadPause = 8, kHeadPowerUps = 16,
                       kHeadAll = 31;

// One tank as a snapshot carries it; `id` is the tank's place in the level's vehicle list.
struct TankState {
    std::uint8_t id = 0;
    std::array<std::int16_t, 3> pos{};
    std::array<std::int16_t, 3> vel{};
    std::uint16_t heading = 0;
    std::int16_t speed = 0;  // the tank's speed value, in velocity steps
    std::uint16_t life = 0;
    std::uint8_t status = 1; // Fahrzeug's status: 1 intact, 3 damaged, 4 exploding, 5 destroyed
    bool operator==(const TankState &o) const;
};
// The groups of a TankState's fields that a snapshot carries apart, so a tank that only moved costs
// its position and not the rest.
constexpr std::uint8_t kTankPos = 1;    // pos
constexpr std::uint8_t kTankVel = 2;    // vel
constexpr std::uint8_t kTankMotion = 4; // heading and speed
constexpr std::uint8_t kTankLife = 8;   // life and status
constexpr std::uint8_t kTankAll = 15;
// One shell in flight or bursting; `id` is the host's number for it, `shooter` its tank's id.
struct ShellState {
    std::uint16_t id = 0;
    std::uint8_t shooter = 0;
    std::array<std::int16_t, 3> pos{};
    std::array<std::int16_t, 3> vel{};
    std::uint8_t status = 1; // Projektil's status: 1 flying, 2 exploding
    bool operator==(const ShellState &o) const;
};
// The whole world as the host saw it after `tick`.
struct WorldState {
    std::uint32_t tick = 0;
    std::uint8_t outcome = 0;        // BattleRules::Outcome
    std::uint32_t battleTicks = 0;   // ticks of the undecided battle: the battle clock
    std::array<std::int32_t, 4> scores{};
    std::int8_t pausedBy = -1;       // the player (0..3) who paused the battle, -1 when running
    std::int8_t inputLead = 0;       // the newest input tick the host has from this client minus tick, clamped to +-127
    std::uint32_t powerUps = 0;      // bit i: power-up i of the level is there to be taken
    std::vector<TankState> tanks;    // by id, ascending
    std::vector<ShellState> shells;  // by id, ascending
};
// Host to client: a WorldState, whole (`baseTick` 0) or as its differences from the state of
// `baseTick`, which the client confirmed: tanks and shells equal to the base's are left out, and
// those of the base that are gone are named. A host short of room leaves out more (fit): a tank
// left out keeps what the reader had of it, and only the gone lists say that a tank is gone; a
// whole state names every tank of the battle that is gone, and the shells it carries are all
// there are.
struct Snapshot {
    std::uint32_t baseTick = 0;
    WorldState state;                     // tanks and shells: only those that changed
    std::vector<std::uint8_t> goneTanks;  // ids of the base's tanks (whole: of any tank) no longer there
    std::vector<std::uint16_t> goneShells;
    // One per tank of `state.tanks`: the field groups (kTank*) it carries; the others are the
    // base's. Empty counts as kTankAll for every tank. A tank the base lacks must carry all.
    std::vector<std::uint8_t> tankFields;
    // The groups of the state's head (kHead*) it carries; the others are the base's (the battle
    // clock carried on by the ticks between). A whole state carries all.
    std::uint8_t headFields = kHeadAll;
};

struct Event {
    std::uint8_t kind = 0; // BattleEvent::Kind
    std::array<std::int16_t, 3> pos{};
    std::int8_t player = -1;
};
// Host to client: what happened in `tick`, for sounds and effects.
struct Events {
    std::uint32_t tick = 0;
    std::vector<Event> events; // 1..kMaxEvents
};
// Client to host: the client's player asks to pause or go on. Host to client: the battle is
// paused by `player` (0..3) or runs again (`paused` false).
struct Pause {
    bool paused = false;
    std::int8_t player = -1;
};
// Host to client: a player's connection changed.
struct PlayerStatus {
    enum Kind : std::uint8_t { kJoined = 1, kLost = 2, kBack = 3, kLeft = 4 };
    std::uint8_t player = 0; // 0..3
    Kind kind = kJoined;
};
// What the screens say of a player's connection: "joined", "lost the connection", "is back", "left".
const char *statusWords(PlayerStatus::Kind kind);
// Either way: the sender leaves (the window closed, Escape).
struct Bye {};

using Message = std::variant<Hello, Welcome, Ready, Refused, Start, Input, Snapshot, Events, Pause, PlayerStatus, Bye>;

std::vector<std::uint8_t> encode(const Message &message);
// Nothing for a packet that is not exactly one well-formed message.
std::optional<Message> decode(const std::uint8_t *data, std::size_t size);

// Whether `name` is a bare level file name ("lvl2.lvl"): not empty, no folder, no "..", not hidden,
// ending in ".lvl". A Welcome naming anything else decodes to nothing.
bool isLevelFileName(const std::string &name);

// Where a shell of `base` flies on to by `tick`: shells fly straight at their speed, so a snapshot
// leaves out those that are where this puts them (within a step), and its reader carries them on.
ShellState carried(const ShellState &shell, std::uint32_t fromTick, std::uint32_t tick);
// The same for a tank: a snapshot leaves out a tank that drove on as its velocity says (within a
// step) and changed nothing else, and a tank it leaves out for want of room drives on so.
TankState carried(const TankState &tank, std::uint32_t fromTick, std::uint32_t tick);
// The differences of `state` from `base` (null, a base of tick 0, which a snapshot cannot name, or
// one newer than the state:
// the whole state).
Snapshot diff(const WorldState &state, const WorldState *base);
// The tank of `id` among `tanks` (ascending ids), or null.
const TankState *findTank(const std::vector<TankState> &tanks, std::uint8_t id);
// One of a snapshot's tanks or shells, by its index in the state's list.
struct Pick {
    bool shell = false;
    std::size_t index = 0;
};
// Leaves out of `snapshot` the tanks and shells that do not fit into `budget` bytes, taking them in
// `order` (the most important first; those not listed are left out); the head and the gone tanks
// stay, gone shells as many as fit. Returns the bytes its message takes.
std::size_t fit(Snapshot &snapshot, std::size_t budget, const std::vector<Pick> &order);
// The state a snapshot describes, given the base it names (null when it names none or the caller
// does not have it). Nothing when the snapshot needs a base that is not given or does not match,
// names tanks or shells out of order, twice, gone and carried at once, or shells gone that the
// base does not have. A tank named gone that the base lacks is no fault: the reader may have had
// it from another state.
std::optional<WorldState> apply(const Snapshot &snapshot, const WorldState *base);

} // namespace NetProtocol

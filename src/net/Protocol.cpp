#include "net/Protocol.h"

#include <algorithm>
#include <cstdlib>
#include <cmath>
#include <limits>
#include <map>
#include <type_traits>

// The bytes of each message after its type byte, which is the message's place in Message plus one.
// u8..u32 and i8..i32 are little-endian integers of that many bits; "str" is a u8 length (at most
// kMaxString) and that many printable ASCII characters; "bool" a u8 that is 0 or 1; "n x" a u8
// count and that many of what follows.
//
//    1 Hello         u16 version, str buildId, str playerName, u64 rejoinToken
//    2 Welcome       u16 version, str buildId, str levelFile, str dataHash, u8 players,
//                    u8 yourPlayer, u32 seed, bool started, u64 rejoinToken
//                    (version 1 had no tokens: its Hello and Welcome read without them, to be
//                    refused by their version)
//    3 Ready         str dataHash
//    4 Refused       u8 reason, str detail
//    5 Start         u32 tick
//    6 Input         u32 newestTick, n x (i8 throttle, i8 turn, bool fire), u32 snapshotAck
//    7 Snapshot      u32 baseTick, u32 tick, u8 head, then the head's groups whose bit is set:
//                    u8 outcome (kHeadOutcome), u32 battleTicks (kHeadClock), 4 x i32 scores
//                    (kHeadScores), i8 pausedBy (kHeadPause), u32 powerUps (kHeadPowerUps);
//                    then i8 inputLead,
//                    n x tank:  u8 id, u8 fields, then the groups whose bit is set, in this order:
//                               3 x i16 pos (kTankPos), 3 x i16 vel (kTankVel),
//                               u16 heading, i16 speed (kTankMotion), u16 life, u8 status (kTankLife)
//                    n x shell: u16 id, u8 shooter, 3 x i16 pos, 3 x i16 vel, u8 status
//                    n x u8 gone tank id, n x u16 gone shell id
//    8 Events        u32 tick, n x (u8 kind, 3 x i16 pos, i8 player)
//    9 Pause         bool paused, i8 player
//   10 PlayerStatus  u8 player, u8 kind
//   11 Bye           nothing more
//
// A snapshot's head (type, ticks, head groups and lead) is 42 bytes whole, a whole tank 21, a shell
// 16, with four bytes of counts: ten tanks and four shells whole are 315 bytes. Against the last
// snapshot the client confirmed, the head is 11 bytes while only the battle clock went on, a tank
// that only left its course costs its id, its fields byte and 6 bytes of position, and a tank or
// shell that drove or flew on as its velocity says (`carried`) costs nothing, so at 20 snapshots a
// second the busiest level stays under 8 KB/s. A crowded battle's states are cut to the host's
// budget (`fit`).

namespace NetProtocol {

namespace {

constexpr std::uint8_t kMaxOutcome = 5;   // BattleRules::Outcome's last value
constexpr std::uint8_t kMaxEventKind = 4; // BattleEvent::Kind's last value

class Writer {
  public:
    template <typename T> void number(T value) {
        static_assert(std::is_integral<T>::value, "numbers only");
        using U = typename std::make_unsigned<T>::type;
        const auto bits = static_cast<U>(value);
        for (std::size_t i = 0; i < sizeof(T); ++i)
            out.push_back(static_cast<std::uint8_t>((bits >> (8 * i)) & 0xffu));
    }
    void flag(bool value) { out.push_back(value ? 1 : 0); }
    // A string too long for the wire is cut short: encoding it is a mistake of the caller, but the
    // bytes stay a readable packet.
    void text(const std::string &value) {
        const std::size_t size = std::min(value.size(), kMaxString);
        out.push_back(static_cast<std::uint8_t>(size));
        out.insert(out.end(), value.begin(), value.begin() + static_cast<std::ptrdiff_t>(size));
    }
    // The count of a list; as with text, a list too long is cut at what one byte can count.
    std::size_t count(std::size_t size) {
        const std::size_t n = std::min<std::size_t>(size, 255);
        out.push_back(static_cast<std::uint8_t>(n));
        return n;
    }
    void triple(const std::array<std::int16_t, 3> &value) {
        for (std::int16_t v : value)
            number(v);
    }
    std::vector<std::uint8_t> out;
};

// Reads what Writer wrote. A read past the end or a value out of range fails the reader, after
// which every read gives zeros; the caller checks ok() once at the end.
class Reader {
  public:
    Reader(const std::uint8_t *data, std::size_t size) : data(data), size(size) {}
    bool ok() const { return good; }
    bool atEnd() const { return at == size; }
    void fail() { good = false; }
    // Fails the reader unless `condition` holds.
    void require(bool condition) {
        if (!condition)
            good = false;
    }

    template <typename T> T number() {
        static_assert(std::is_integral<T>::value, "numbers only");
        if (!take(sizeof(T)))
            return 0;
        using U = typename std::make_unsigned<T>::type;
        U bits = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            bits = static_cast<U>(bits | static_cast<U>(static_cast<U>(data[at - sizeof(T) + i]) << (8 * i)));
        return static_cast<T>(bits);
    }
    bool flag() {
        const auto value = number<std::uint8_t>();
        require(value <= 1);
        return value == 1;
    }
    std::string text() {
        const std::size_t length = number<std::uint8_t>();
        if (length > kMaxString || !take(length)) {
            fail();
            return std::string();
        }
        const char *begin = reinterpret_cast<const char *>(data + at - length);
        std::string value(begin, length);
        for (char c : value)
            require(c >= 0x20 && c <= 0x7e);
        return value;
    }
    // A list's count, failing beyond `limit`. Nothing is reserved for it: a packet short of its
    // count fails on the reads that follow.
    std::size_t count(std::size_t limit) {
        const std::size_t n = number<std::uint8_t>();
        require(n <= limit);
        return good ? n : 0;
    }
    std::array<std::int16_t, 3> triple() {
        std::array<std::int16_t, 3> value{};
        for (std::int16_t &v : value)
            v = number<std::int16_t>();
        return value;
    }

  private:
    bool take(std::size_t bytes) {
        if (!good || bytes > size - at) {
            good = false;
            return false;
        }
        at += bytes;
        return true;
    }
    const std::uint8_t *data;
    std::size_t size;
    std::size_t at = 0;
    bool good = true;
};

bool isPlayerOrNone(int player) {
    return player >= -1 && player < kMaxPlayers;
}

// Rounds `value` to the nearest integer of type T, clamped to T's range; NaN gives 0.
template <typename T> T roundClamped(double value) {
    if (std::isnan(value))
        return 0;
    value = std::round(value);
    if (value <= static_cast<double>(std::numeric_limits<T>::min()))
        return std::numeric_limits<T>::min();
    if (value >= static_cast<double>(std::numeric_limits<T>::max()))
        return std::numeric_limits<T>::max();
    return static_cast<T>(value);
}

// Which field groups of `now` differ from `before`.
// `before` as carried on to now: a position within a step of it is the same.
std::uint8_t changedFields(const TankState &before, const TankState &now) {
    std::uint8_t fields = 0;
    for (std::size_t i = 0; i < 3; ++i)
        if (std::abs(now.pos[i] - before.pos[i]) > 1)
            fields |= kTankPos;
    if (now.vel != before.vel)
        fields |= kTankVel;
    if (now.heading != before.heading || now.speed != before.speed)
        fields |= kTankMotion;
    if (now.life != before.life || now.status != before.status)
        fields |= kTankLife;
    return fields;
}

// `to` with the groups named in `fields` taken from `from`.
void copyFields(TankState &to, const TankState &from, std::uint8_t fields) {
    if (fields & kTankPos)
        to.pos = from.pos;
    if (fields & kTankVel)
        to.vel = from.vel;
    if (fields & kTankMotion) {
        to.heading = from.heading;
        to.speed = from.speed;
    }
    if (fields & kTankLife) {
        to.life = from.life;
        to.status = from.status;
    }
}

template <typename Item> const Item *findId(const std::vector<Item> &items, decltype(Item::id) id) {
    for (const Item &item : items)
        if (item.id == id)
            return &item;
    return nullptr;
}

template <typename Item> bool ascendingIds(const std::vector<Item> &items) {
    return std::adjacent_find(items.begin(), items.end(),
                              [](const Item &a, const Item &b) { return a.id >= b.id; }) == items.end();
}

template <typename Id> bool ascending(const std::vector<Id> &ids) {
    return std::adjacent_find(ids.begin(), ids.end(), [](Id a, Id b) { return a >= b; }) == ids.end();
}

std::uint8_t fieldsOf(const Snapshot &snapshot, std::size_t tank) {
    return snapshot.tankFields.empty() ? kTankAll : snapshot.tankFields[tank];
}

// One write and one read per message type; the reads check every value against its range.

void write(Writer &w, const Hello &m) {
    w.number(m.version);
    w.text(m.buildId);
    w.text(m.playerName);
    if (m.version >= 2)
        w.number(m.rejoinToken);
}
void read(Reader &r, Hello &m) {
    m.version = r.number<std::uint16_t>(); // another version is the session's to refuse, by name
    m.buildId = r.text();
    m.playerName = r.text();
    if (m.version >= 2)
        m.rejoinToken = r.number<std::uint64_t>();
}

void write(Writer &w, const Welcome &m) {
    w.number(m.version);
    w.text(m.buildId);
    w.text(m.levelFile);
    w.text(m.dataHash);
    w.number(m.players);
    w.number(m.yourPlayer);
    w.number(m.seed);
    w.flag(m.started);
    if (m.version >= 2)
        w.number(m.rejoinToken);
}
void read(Reader &r, Welcome &m) {
    m.version = r.number<std::uint16_t>();
    m.buildId = r.text();
    m.levelFile = r.text();
    m.dataHash = r.text();
    m.players = r.number<std::uint8_t>();
    m.yourPlayer = r.number<std::uint8_t>();
    m.seed = r.number<std::uint32_t>();
    m.started = r.flag();
    if (m.version >= 2)
        m.rejoinToken = r.number<std::uint64_t>();
    // The level file is opened by that name on the client: nothing but a bare name will do.
    r.require(isLevelFileName(m.levelFile));
    r.require(m.players >= 1 && m.players <= kMaxPlayers);
    r.require(m.yourPlayer < m.players);
}

void write(Writer &w, const Ready &m) {
    w.text(m.dataHash);
}
void read(Reader &r, Ready &m) {
    m.dataHash = r.text();
}

void write(Writer &w, const Refused &m) {
    w.number(static_cast<std::uint8_t>(m.reason));
    w.text(m.detail);
}
void read(Reader &r, Refused &m) {
    const auto reason = r.number<std::uint8_t>();
    r.require(reason >= static_cast<std::uint8_t>(Refusal::kVersion) &&
              reason <= static_cast<std::uint8_t>(Refusal::kLevel));
    m.reason = static_cast<Refusal>(reason);
    m.detail = r.text();
}

void write(Writer &w, const Start &m) {
    w.number(m.tick);
}
void read(Reader &r, Start &m) {
    m.tick = r.number<std::uint32_t>();
}

void write(Writer &w, const Input &m) {
    w.number(m.newestTick);
    const std::size_t n = w.count(m.inputs.size());
    for (std::size_t i = 0; i < n; ++i) {
        w.number(quantiseControl(m.inputs[i].throttle));
        w.number(quantiseControl(m.inputs[i].turn));
        w.flag(m.inputs[i].fire);
    }
    w.number(m.snapshotAck);
}
void read(Reader &r, Input &m) {
    m.newestTick = r.number<std::uint32_t>();
    const std::size_t n = r.count(kMaxInputs);
    r.require(n >= 1 && m.newestTick >= n - 1); // no input before tick 0
    m.inputs.resize(n);
    for (PlayerInput &input : m.inputs) {
        input.throttle = controlOf(r.number<std::int8_t>());
        input.turn = controlOf(r.number<std::int8_t>());
        input.fire = r.flag();
    }
    m.snapshotAck = r.number<std::uint32_t>();
}

void write(Writer &w, const Snapshot &m) {
    const WorldState &s = m.state;
    w.number(m.baseTick);
    w.number(s.tick);
    w.number(m.headFields);
    if (m.headFields & kHeadOutcome)
        w.number(s.outcome);
    if (m.headFields & kHeadClock)
        w.number(s.battleTicks);
    if (m.headFields & kHeadScores)
        for (std::int32_t score : s.scores)
            w.number(score);
    if (m.headFields & kHeadPause)
        w.number(s.pausedBy);
    if (m.headFields & kHeadPowerUps)
        w.number(s.powerUps);
    w.number(s.inputLead);
    const std::size_t tanks = w.count(s.tanks.size());
    for (std::size_t i = 0; i < tanks; ++i) {
        const TankState &t = s.tanks[i];
        const std::uint8_t fields = i < m.tankFields.size() ? m.tankFields[i] : kTankAll;
        w.number(t.id);
        w.number(fields);
        if (fields & kTankPos)
            w.triple(t.pos);
        if (fields & kTankVel)
            w.triple(t.vel);
        if (fields & kTankMotion) {
            w.number(t.heading);
            w.number(t.speed);
        }
        if (fields & kTankLife) {
            w.number(t.life);
            w.number(t.status);
        }
    }
    const std::size_t shells = w.count(s.shells.size());
    for (std::size_t i = 0; i < shells; ++i) {
        const ShellState &p = s.shells[i];
        w.number(p.id);
        w.number(p.shooter);
        w.triple(p.pos);
        w.triple(p.vel);
        w.number(p.status);
    }
    const std::size_t goneTanks = w.count(m.goneTanks.size());
    for (std::size_t i = 0; i < goneTanks; ++i)
        w.number(m.goneTanks[i]);
    const std::size_t goneShells = w.count(m.goneShells.size());
    for (std::size_t i = 0; i < goneShells; ++i)
        w.number(m.goneShells[i]);
}
void read(Reader &r, Snapshot &m) {
    WorldState &s = m.state;
    m.baseTick = r.number<std::uint32_t>();
    const bool whole = m.baseTick == 0;
    s.tick = r.number<std::uint32_t>();
    m.headFields = r.number<std::uint8_t>();
    r.require((m.headFields & ~kHeadAll) == 0 && (!whole || m.headFields == kHeadAll));
    if (m.headFields & kHeadOutcome) {
        s.outcome = r.number<std::uint8_t>();
        r.require(s.outcome <= kMaxOutcome);
    }
    if (m.headFields & kHeadClock)
        s.battleTicks = r.number<std::uint32_t>();
    if (m.headFields & kHeadScores)
        for (std::int32_t &score : s.scores)
            score = r.number<std::int32_t>();
    if (m.headFields & kHeadPause) {
        s.pausedBy = r.number<std::int8_t>();
        r.require(isPlayerOrNone(s.pausedBy));
    }
    if (m.headFields & kHeadPowerUps)
        s.powerUps = r.number<std::uint32_t>();
    s.inputLead = r.number<std::int8_t>();
    r.require(s.inputLead >= -127);

    s.tanks.resize(r.count(kMaxTanks));
    m.tankFields.resize(s.tanks.size());
    for (std::size_t i = 0; i < s.tanks.size() && r.ok(); ++i) {
        TankState &t = s.tanks[i];
        t.id = r.number<std::uint8_t>();
        r.require(i == 0 || t.id > s.tanks[i - 1].id);
        const auto fields = r.number<std::uint8_t>();
        // A tank that did not change is left out, not sent empty; a whole state has whole tanks.
        r.require(fields != 0 && (fields & ~kTankAll) == 0 && (!whole || fields == kTankAll));
        m.tankFields[i] = fields;
        if (fields & kTankPos)
            t.pos = r.triple();
        if (fields & kTankVel)
            t.vel = r.triple();
        if (fields & kTankMotion) {
            t.heading = r.number<std::uint16_t>();
            t.speed = r.number<std::int16_t>();
        }
        if (fields & kTankLife) {
            t.life = r.number<std::uint16_t>();
            t.status = r.number<std::uint8_t>();
            r.require(t.status == 1 || (t.status >= 3 && t.status <= 5));
        }
    }
    s.shells.resize(r.count(kMaxShells));
    for (std::size_t i = 0; i < s.shells.size() && r.ok(); ++i) {
        ShellState &p = s.shells[i];
        p.id = r.number<std::uint16_t>();
        r.require(i == 0 || p.id > s.shells[i - 1].id);
        p.shooter = r.number<std::uint8_t>();
        p.pos = r.triple();
        p.vel = r.triple();
        p.status = r.number<std::uint8_t>();
        r.require(p.status == 1 || p.status == 2);
    }
    m.goneTanks.resize(r.count(kMaxTanks));
    for (std::uint8_t &id : m.goneTanks)
        id = r.number<std::uint8_t>();
    m.goneShells.resize(r.count(kMaxShells));
    for (std::uint16_t &id : m.goneShells)
        id = r.number<std::uint16_t>();
    r.require(ascending(m.goneTanks) && ascending(m.goneShells));
    r.require(!whole || m.goneShells.empty()); // a whole state's shells are all there are
}

void write(Writer &w, const Events &m) {
    w.number(m.tick);
    const std::size_t n = w.count(m.events.size());
    for (std::size_t i = 0; i < n; ++i) {
        w.number(m.events[i].kind);
        w.triple(m.events[i].pos);
        w.number(m.events[i].player);
    }
}
void read(Reader &r, Events &m) {
    m.tick = r.number<std::uint32_t>();
    m.events.resize(r.count(kMaxEvents));
    r.require(!m.events.empty());
    for (Event &e : m.events) {
        e.kind = r.number<std::uint8_t>();
        r.require(e.kind <= kMaxEventKind);
        e.pos = r.triple();
        e.player = r.number<std::int8_t>();
        r.require(isPlayerOrNone(e.player));
    }
}

void write(Writer &w, const Pause &m) {
    w.flag(m.paused);
    w.number(m.player);
}
void read(Reader &r, Pause &m) {
    m.paused = r.flag();
    m.player = r.number<std::int8_t>();
    r.require(isPlayerOrNone(m.player));
}

void write(Writer &w, const PlayerStatus &m) {
    w.number(m.player);
    w.number(static_cast<std::uint8_t>(m.kind));
}
void read(Reader &r, PlayerStatus &m) {
    m.player = r.number<std::uint8_t>();
    r.require(m.player < kMaxPlayers);
    const auto kind = r.number<std::uint8_t>();
    r.require(kind >= PlayerStatus::kJoined && kind <= PlayerStatus::kLeft);
    m.kind = static_cast<PlayerStatus::Kind>(kind);
}

void write(Writer &, const Bye &) {}
void read(Reader &, Bye &) {}

// The message of type `index` + 1 read from `r`, which must hold it exactly.
template <std::size_t index> std::optional<Message> readType(Reader &r, std::size_t type) {
    if constexpr (index == std::variant_size<Message>::value) {
        (void)r;
        (void)type;
        return std::nullopt; // no such type
    } else {
        if (type != index + 1)
            return readType<index + 1>(r, type);
        std::variant_alternative_t<index, Message> message;
        read(r, message);
        if (!r.ok() || !r.atEnd())
            return std::nullopt;
        return Message(std::move(message));
    }
}

} // namespace

bool TankState::operator==(const TankState &o) const {
    return id == o.id && pos == o.pos && vel == o.vel && heading == o.heading && speed == o.speed &&
           life == o.life && status == o.status;
}

bool ShellState::operator==(const ShellState &o) const {
    return id == o.id && shooter == o.shooter && pos == o.pos && vel == o.vel && status == o.status;
}

std::int16_t quantisePosition(float units) {
    return roundClamped<std::int16_t>(static_cast<double>(units) / kPositionStep);
}

float positionOf(std::int16_t steps) {
    return static_cast<float>(steps) * kPositionStep;
}

std::int16_t quantiseVelocity(float unitsPerSecond) {
    return roundClamped<std::int16_t>(static_cast<double>(unitsPerSecond) / kVelocityStep);
}

float velocityOf(std::int16_t steps) {
    return static_cast<float>(steps) * kVelocityStep;
}

std::uint16_t quantiseHeading(float degrees) {
    if (!std::isfinite(degrees))
        return 0;
    double turn = std::fmod(static_cast<double>(degrees), 360.0);
    if (turn < 0.0)
        turn += 360.0;
    // Just below 360 rounds up to a full turn, which is 0 again.
    return static_cast<std::uint16_t>(std::llround(turn / 360.0 * 65536.0) & 0xffff);
}

float headingOf(std::uint16_t steps) {
    return static_cast<float>(steps * (360.0 / 65536.0));
}

std::int8_t quantiseControl(float value) {
    if (std::isnan(value))
        return 0;
    const float limited = std::max(-1.0f, std::min(1.0f, value));
    return static_cast<std::int8_t>(std::lround(limited * 127.0f));
}

float controlOf(std::int8_t steps) {
    return steps <= -127 ? -1.0f : static_cast<float>(steps) / 127.0f;
}

bool isLevelFileName(const std::string &name) {
    const std::string ending = ".lvl";
    return name.size() > ending.size() && name.front() != '.' &&
           name.compare(name.size() - ending.size(), ending.size(), ending) == 0 &&
           name.find_first_of("/\\:") == std::string::npos && name.find("..") == std::string::npos;
}

std::vector<std::uint8_t> encode(const Message &message) {
    Writer w;
    w.number(static_cast<std::uint8_t>(message.index() + 1));
    std::visit([&w](const auto &m) { write(w, m); }, message);
    return w.out;
}

std::optional<Message> decode(const std::uint8_t *data, std::size_t size) {
    if (data == nullptr || size == 0)
        return std::nullopt;
    Reader r(data + 1, size - 1);
    return readType<0>(r, data[0]);
}

const char *statusWords(PlayerStatus::Kind kind) {
    switch (kind) {
    case PlayerStatus::kJoined:
        return "joined";
    case PlayerStatus::kLost:
        return "lost the connection";
    case PlayerStatus::kBack:
        return "is back";
    case PlayerStatus::kLeft:
        return "left";
    }
    return "?";
}

namespace {
template <typename Item> Item carriedOn(const Item &item, std::uint32_t fromTick, std::uint32_t tick) {
    Item on = item;
    const float seconds = static_cast<float>(tick - fromTick) * kTickSeconds;
    for (std::size_t i = 0; i < 3; ++i)
        on.pos[i] = quantisePosition(positionOf(item.pos[i]) + velocityOf(item.vel[i]) * seconds);
    return on;
}
} // namespace

TankState carried(const TankState &tank, std::uint32_t fromTick, std::uint32_t tick) {
    return carriedOn(tank, fromTick, tick);
}

ShellState carried(const ShellState &shell, std::uint32_t fromTick, std::uint32_t tick) {
    return carriedOn(shell, fromTick, tick);
}

namespace {
// The battle clock of `base` carried on to `tick`: it runs while the battle is undecided.
std::uint32_t carriedClock(const WorldState &base, std::uint32_t tick) {
    return base.outcome == 0 ? base.battleTicks + (tick - base.tick) : base.battleTicks;
}

// The shell is where it was carried to, give or take a step, and otherwise the same.
bool onCourse(const ShellState &expected, const ShellState &actual) {
    for (std::size_t i = 0; i < 3; ++i)
        if (std::abs(expected.pos[i] - actual.pos[i]) > 1)
            return false;
    return expected.shooter == actual.shooter && expected.vel == actual.vel && expected.status == actual.status;
}
} // namespace

Snapshot diff(const WorldState &state, const WorldState *base) {
    Snapshot snapshot;
    snapshot.state = state;
    if (base == nullptr || base->tick == 0 || base->tick > state.tick) { // nothing to carry on from
        snapshot.tankFields.assign(state.tanks.size(), kTankAll);
        return snapshot;
    }
    snapshot.baseTick = base->tick;
    snapshot.headFields = 0;
    if (state.outcome != base->outcome)
        snapshot.headFields |= kHeadOutcome;
    if (state.battleTicks != carriedClock(*base, state.tick))
        snapshot.headFields |= kHeadClock;
    if (state.scores != base->scores)
        snapshot.headFields |= kHeadScores;
    if (state.pausedBy != base->pausedBy)
        snapshot.headFields |= kHeadPause;
    if (state.powerUps != base->powerUps)
        snapshot.headFields |= kHeadPowerUps;
    snapshot.state.tanks.clear();
    snapshot.state.shells.clear();
    for (const TankState &tank : state.tanks) {
        const TankState *before = findId(base->tanks, tank.id);
        const std::uint8_t fields =
            before != nullptr ? changedFields(carried(*before, base->tick, state.tick), tank) : kTankAll;
        if (fields != 0) {
            snapshot.state.tanks.push_back(tank);
            snapshot.tankFields.push_back(fields);
        }
    }
    for (const ShellState &shell : state.shells) {
        const ShellState *before = findId(base->shells, shell.id);
        if (before == nullptr || !onCourse(carried(*before, base->tick, state.tick), shell))
            snapshot.state.shells.push_back(shell);
    }
    for (const TankState &tank : base->tanks)
        if (findId(state.tanks, tank.id) == nullptr)
            snapshot.goneTanks.push_back(tank.id);
    for (const ShellState &shell : base->shells)
        if (findId(state.shells, shell.id) == nullptr)
            snapshot.goneShells.push_back(shell.id);
    return snapshot;
}

const TankState *findTank(const std::vector<TankState> &tanks, std::uint8_t id) {
    const auto at = std::lower_bound(tanks.begin(), tanks.end(), id,
                                     [](const TankState &tank, std::uint8_t wanted) { return tank.id < wanted; });
    return at != tanks.end() && at->id == id ? &*at : nullptr;
}

std::size_t fit(Snapshot &snapshot, std::size_t budget, const std::vector<Pick> &order) {
    WorldState &s = snapshot.state;
    if (snapshot.tankFields.empty())
        snapshot.tankFields.assign(s.tanks.size(), kTankAll);
    Snapshot bare = snapshot; // the head and the gone lists
    bare.state.tanks.clear();
    bare.state.shells.clear();
    bare.tankFields.clear();
    std::size_t size = encode(bare).size();
    while (size > budget && !snapshot.goneShells.empty()) { // named again from the next state's base
        snapshot.goneShells.pop_back();
        size -= 2;
    }
    const auto tankBytes = [](std::uint8_t fields) {
        return std::size_t{2} + ((fields & kTankPos) ? 6 : 0) + ((fields & kTankVel) ? 6 : 0) +
               ((fields & kTankMotion) ? 4 : 0) + ((fields & kTankLife) ? 3 : 0);
    };
    std::vector<bool> keepTank(s.tanks.size()), keepShell(s.shells.size());
    std::size_t tanks = 0, shells = 0;
    for (const Pick &pick : order) {
        const std::size_t i = pick.index;
        if (!pick.shell && i < s.tanks.size() && !keepTank[i] && tanks < 255) {
            const std::size_t cost = tankBytes(snapshot.tankFields[i]);
            if (size + cost <= budget) {
                keepTank[i] = true;
                size += cost;
                ++tanks;
            }
        } else if (pick.shell && i < s.shells.size() && !keepShell[i] && shells < 255 && size + 16 <= budget) {
            keepShell[i] = true;
            size += 16;
            ++shells;
        }
    }
    std::vector<TankState> keptTanks;
    std::vector<std::uint8_t> keptFields;
    for (std::size_t i = 0; i < s.tanks.size(); ++i)
        if (keepTank[i]) {
            keptTanks.push_back(s.tanks[i]);
            keptFields.push_back(snapshot.tankFields[i]);
        }
    std::vector<ShellState> keptShells;
    for (std::size_t i = 0; i < s.shells.size(); ++i)
        if (keepShell[i])
            keptShells.push_back(s.shells[i]);
    s.tanks = std::move(keptTanks);
    snapshot.tankFields = std::move(keptFields);
    s.shells = std::move(keptShells);
    return size;
}

std::optional<WorldState> apply(const Snapshot &snapshot, const WorldState *base) {
    const WorldState &in = snapshot.state;
    if (!snapshot.tankFields.empty() && snapshot.tankFields.size() != in.tanks.size())
        return std::nullopt;
    if (!ascendingIds(in.tanks) || !ascendingIds(in.shells) || !ascending(snapshot.goneTanks) ||
        !ascending(snapshot.goneShells))
        return std::nullopt;
    if (snapshot.baseTick == 0) {
        if (snapshot.headFields != kHeadAll || !snapshot.goneShells.empty() || in.tanks.size() > kMaxTanks ||
            in.shells.size() > kMaxShells)
            return std::nullopt;
        for (std::size_t i = 0; i < in.tanks.size(); ++i)
            if (fieldsOf(snapshot, i) != kTankAll ||
                std::binary_search(snapshot.goneTanks.begin(), snapshot.goneTanks.end(), in.tanks[i].id))
                return std::nullopt;
        return in;
    }
    if (base == nullptr || base->tick != snapshot.baseTick || in.tick < base->tick)
        return std::nullopt;

    std::map<std::uint8_t, TankState> tanks;
    for (const TankState &tank : base->tanks)
        tanks[tank.id] = carried(tank, base->tick, in.tick); // those not named drove on
    for (std::uint8_t id : snapshot.goneTanks)
        tanks.erase(id); // one the base lacks may have come in a state the base did not build on
    for (std::size_t i = 0; i < in.tanks.size(); ++i) {
        const TankState &tank = in.tanks[i];
        const std::uint8_t fields = fieldsOf(snapshot, i);
        if (fields == 0 || (fields & ~kTankAll) != 0 ||
            std::binary_search(snapshot.goneTanks.begin(), snapshot.goneTanks.end(), tank.id))
            return std::nullopt;
        const auto known = tanks.find(tank.id);
        if (known == tanks.end()) {
            if (fields != kTankAll)
                return std::nullopt; // only part of a tank the base does not have
            tanks[tank.id] = tank;
        } else {
            copyFields(known->second, tank, fields);
        }
    }
    std::map<std::uint16_t, ShellState> shells;
    for (const ShellState &shell : base->shells)
        shells[shell.id] = carried(shell, base->tick, in.tick); // those not named flew on
    for (std::uint16_t id : snapshot.goneShells)
        if (shells.erase(id) == 0)
            return std::nullopt;
    for (const ShellState &shell : in.shells) {
        if (std::binary_search(snapshot.goneShells.begin(), snapshot.goneShells.end(), shell.id))
            return std::nullopt;
        shells[shell.id] = shell;
    }
    if (tanks.size() > kMaxTanks || shells.size() > kMaxShells)
        return std::nullopt;

    WorldState out = in;
    if (!(snapshot.headFields & kHeadOutcome))
        out.outcome = base->outcome;
    if (!(snapshot.headFields & kHeadClock))
        out.battleTicks = carriedClock(*base, in.tick);
    if (!(snapshot.headFields & kHeadScores))
        out.scores = base->scores;
    if (!(snapshot.headFields & kHeadPause))
        out.pausedBy = base->pausedBy;
    if (!(snapshot.headFields & kHeadPowerUps))
        out.powerUps = base->powerUps;
    out.tanks.clear();
    out.shells.clear();
    for (const auto &entry : tanks)
        out.tanks.push_back(entry.second);
    for (const auto &entry : shells)
        out.shells.push_back(entry.second);
    return out;
}

} // namespace NetProtocol

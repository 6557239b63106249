#include "net/Protocol.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace NetProtocol;
using Bytes = std::vector<std::uint8_t>;

bool same(const WorldState &a, const WorldState &b) {
    return a.tick == b.tick && a.outcome == b.outcome && a.battleTicks == b.battleTicks &&
           a.scores == b.scores && a.pausedBy == b.pausedBy && a.inputLead == b.inputLead &&
           a.powerUps == b.powerUps && a.tanks == b.tanks && a.shells == b.shells;
}

bool accepted(const Bytes &bytes) {
    return decode(bytes.data(), bytes.size()).has_value();
}

// Ten tanks (ids 0, 2, 4, ...) and four shells in flight, as after `tick`.
WorldState battle(std::uint32_t tick) {
    WorldState w;
    w.tick = tick;
    w.outcome = 1;
    w.battleTicks = tick - 5;
    w.scores = {300, -20, 0, 70000};
    w.pausedBy = 2;
    w.inputLead = -3;
    w.powerUps = 0x80000005u;
    for (int i = 0; i < 10; ++i) {
        TankState t;
        t.id = static_cast<std::uint8_t>(2 * i);
        t.pos = {quantisePosition(10.5f * i), quantisePosition(-3.0f), quantisePosition(200.0f - i)};
        t.vel = {quantiseVelocity(1.5f), 0, quantiseVelocity(-i * 2.0f)};
        t.heading = quantiseHeading(36.0f * i);
        t.speed = static_cast<std::int16_t>(i * 40);
        t.life = static_cast<std::uint16_t>(1000 - i);
        t.status = i == 9 ? 5 : 1;
        w.tanks.push_back(t);
    }
    for (std::uint16_t id : {7, 8, 300, 40000})
        w.shells.push_back({id, 2, {1, 2, 3}, {-400, 0, 900}, 1});
    return w;
}

// One message of every type, with no field at its default.
std::vector<Message> everyMessage() {
    return {Hello{7, "build-2", "Anna", 0x1122334455667788u},
            Welcome{kVersion, "build-1", "lvl2.lvl", "0123456789abcdef", 4, 3, 4000000000u, true, 0x8877665544332211u},
            Ready{"0123456789abcdef"},
            Refused{Refusal::kData, "lvl9.lvl is missing"},
            Start{77},
            Input{100, {{1.0f, -0.5f, true}, {-1.0f, 0.25f, false}}, 96},
            diff(battle(100), nullptr),
            Events{55, {{3, {1, -2, 3}, 1}, {0, {0, 0, 0}, -1}}},
            Pause{true, 3},
            PlayerStatus{2, PlayerStatus::kBack},
            Bye{}};
}

TEST(ProtocolTest, EveryMessageReadsBackAsWritten) {
    const std::vector<Message> messages = everyMessage();
    for (std::size_t i = 0; i < messages.size(); ++i) {
        const Bytes bytes = encode(messages[i]);
        EXPECT_EQ(bytes[0], i + 1);
        const std::optional<Message> back = decode(bytes.data(), bytes.size());
        ASSERT_TRUE(back) << "type " << i + 1;
        EXPECT_EQ(back->index(), i);
        EXPECT_EQ(encode(*back), bytes) << "type " << i + 1;
    }
    // Bytes alone could hide a field read into the wrong place: check the parts others act on.
    const Bytes welcome = encode(messages[1]);
    const auto w = std::get<Welcome>(*decode(welcome.data(), welcome.size()));
    EXPECT_EQ(w.levelFile, "lvl2.lvl");
    EXPECT_EQ(w.dataHash, "0123456789abcdef");
    EXPECT_EQ(w.yourPlayer, 3);
    EXPECT_EQ(w.seed, 4000000000u);
    EXPECT_EQ(w.rejoinToken, 0x8877665544332211u);
    const Bytes input = encode(messages[5]);
    const auto in = std::get<Input>(*decode(input.data(), input.size()));
    ASSERT_EQ(in.inputs.size(), 2u);
    EXPECT_EQ(in.inputs[0], (PlayerInput{1.0f, -64 / 127.0f, true}));
    EXPECT_EQ(in.inputs[1], (PlayerInput{-1.0f, 32 / 127.0f, false}));
    EXPECT_EQ(in.snapshotAck, 96u);
    const Bytes snapshot = encode(messages[6]);
    const auto s = std::get<Snapshot>(*decode(snapshot.data(), snapshot.size()));
    EXPECT_TRUE(same(s.state, battle(100)));
    // A client of another version gets through, so the host can tell it why it is refused.
    const Bytes hello = encode(messages[0]);
    EXPECT_EQ(std::get<Hello>(*decode(hello.data(), hello.size())).version, 7);
    EXPECT_EQ(std::get<Hello>(*decode(hello.data(), hello.size())).rejoinToken, 0x1122334455667788u);
    // So does a Hello of version 1, which had no token.
    const Bytes first = {1, 1, 0, 1, 'b', 4, 'A', 'n', 'n', 'a'};
    const std::optional<Message> old = decode(first.data(), first.size());
    ASSERT_TRUE(old);
    EXPECT_EQ(std::get<Hello>(*old).version, 1);
    EXPECT_EQ(std::get<Hello>(*old).playerName, "Anna");
    EXPECT_EQ(encode(*old), first) << "and it writes back as it came";
}

TEST(ProtocolTest, ADeltaCarriesOnlyWhatChangedAndRebuildsTheStateExactly) {
    const WorldState base = battle(100);
    const Snapshot whole = diff(base, nullptr);
    EXPECT_EQ(whole.baseTick, 0u);
    EXPECT_EQ(encode(whole).size(), 315u);

    // Three tanks left their course and nothing else changed (the other tanks drove on and the
    // shells flew on as their velocities say, the decided battle's clock stands): the type, ticks,
    // head and lead bytes, four counts, and each of the three tanks' id, fields and position.
    WorldState next = base;
    next.tick = 101;
    for (ShellState &shell : next.shells)
        shell = carried(shell, base.tick, next.tick);
    for (TankState &tank : next.tanks)
        tank = carried(tank, base.tick, next.tick);
    for (int i : {1, 4, 9})
        next.tanks[i].pos[0] = static_cast<std::int16_t>(next.tanks[i].pos[0] + 3);
    EXPECT_EQ(encode(diff(next, &base)).size(), 11u + 4u + 3 * 8u);

    // Everything at once: a tank changes two groups, one goes, one comes; a shell bursts, one
    // goes, one is fired.
    next.tanks[2].life = 10;
    next.tanks[2].vel[1] = -7;
    next.tanks.erase(next.tanks.begin() + 5);
    next.tanks.push_back({30, {1, 1, 1}, {}, 5, 0, 800, 1});
    next.shells[0].status = 2;
    next.shells.erase(next.shells.begin() + 1);
    next.shells.insert(next.shells.begin() + 2, {1000, 4, {}, {}, 1});
    next.scores[1] = 5;
    next.shells[3].pos[1] = static_cast<std::int16_t>(next.shells[3].pos[1] + 2); // off its course: sent
    const Snapshot delta = diff(next, &base);
    EXPECT_EQ(delta.baseTick, 100u);
    EXPECT_EQ(delta.state.tanks.size(), 5u);
    EXPECT_EQ(delta.goneTanks, (std::vector<std::uint8_t>{10}));
    EXPECT_EQ(delta.goneShells, (std::vector<std::uint16_t>{8}));
    EXPECT_EQ(delta.headFields, kHeadScores);
    const Bytes bytes = encode(delta);
    EXPECT_LT(bytes.size(), encode(diff(next, nullptr)).size() / 2);
    const auto back = decode(bytes.data(), bytes.size());
    ASSERT_TRUE(back);
    const auto rebuilt = apply(std::get<Snapshot>(*back), &base);
    ASSERT_TRUE(rebuilt);
    EXPECT_TRUE(same(*rebuilt, next));
    EXPECT_TRUE(same(*apply(whole, nullptr), base));
    EXPECT_TRUE(same(*apply(whole, &next), base)) << "a whole state ignores the base";

    // The clock of a running battle goes on by itself; one that went otherwise is sent.
    WorldState running = base, later = base;
    running.outcome = later.outcome = 0;
    later.tick = running.tick + 3;
    later.shells.clear();
    running.shells.clear();
    later.battleTicks = running.battleTicks + 3;
    EXPECT_EQ(diff(later, &running).headFields, 0);
    EXPECT_EQ(apply(diff(later, &running), &running)->battleTicks, later.battleTicks);
    later.battleTicks += 1;
    EXPECT_EQ(diff(later, &running).headFields, kHeadClock);
    EXPECT_EQ(apply(diff(later, &running), &running)->battleTicks, later.battleTicks);

    // Short of room, a host keeps the head and the gone tanks and takes tanks and shells in the
    // order it is given; a whole state names the gone tanks, and the reader keeps the rest it had
    // of the tanks left out (driven on), not taking them for gone.
    Snapshot tight = diff(next, &base);
    const std::size_t bare = 1 + 4 + 4 + 1 + 16 + 1 + 4 + 1 + 2; // type, ticks, head with scores, lead, counts, gone ids
    EXPECT_EQ(fit(tight, bare + 19, {{true, 0}, {false, 4}, {false, 0}}), bare + 16);
    ASSERT_EQ(tight.state.shells.size(), 1u);
    EXPECT_TRUE(tight.state.tanks.empty()) << "the new tank (21 bytes) did not fit, nor anything after it";
    EXPECT_EQ(tight.goneTanks, delta.goneTanks);
    const auto partial = apply(tight, &base);
    ASSERT_TRUE(partial);
    EXPECT_EQ(partial->tanks.size(), base.tanks.size() - 1);
    EXPECT_EQ(findTank(partial->tanks, 2)->life, base.tanks[1].life) << "left out: as the reader had it";
    EXPECT_EQ(findTank(partial->tanks, 2)->pos, carried(base.tanks[1], base.tick, next.tick).pos);
    Snapshot wholeGone = diff(next, nullptr);
    wholeGone.goneTanks = {10};
    EXPECT_LE(fit(wholeGone, 200, {{false, 9}, {false, 0}}), 200u);
    EXPECT_EQ(wholeGone.state.tanks.size(), 2u);
    const Bytes wholeBytes = encode(wholeGone);
    const auto wholeBack = decode(wholeBytes.data(), wholeBytes.size());
    ASSERT_TRUE(wholeBack);
    EXPECT_EQ(std::get<Snapshot>(*wholeBack).goneTanks, (std::vector<std::uint8_t>{10}));
    EXPECT_TRUE(apply(std::get<Snapshot>(*wholeBack), nullptr));
    wholeGone.goneTanks = {wholeGone.state.tanks[0].id}; // gone, yet carried: no state
    EXPECT_FALSE(apply(wholeGone, nullptr));

    // A base of tick 0 cannot be named, so the state goes whole.
    WorldState first = base;
    first.tick = 0;
    EXPECT_EQ(diff(next, &first).state.tanks.size(), next.tanks.size());
}

TEST(ProtocolTest, ADeltaWithoutItsBaseOrNotFittingItGivesNothing) {
    const WorldState base = battle(100);
    WorldState next = base;
    next.tick = 101;
    next.tanks[0].pos[0] = 99;
    next.shells[3].pos[1] = static_cast<std::int16_t>(next.shells[3].pos[1] + 2); // off its course: sent
    const Snapshot delta = diff(next, &base);
    WorldState older = base;
    older.tick = 99;
    EXPECT_FALSE(apply(delta, nullptr));
    EXPECT_FALSE(apply(delta, &older));

    Snapshot goneElsewhere = delta;
    goneElsewhere.goneTanks = {5}; // never in the base: told, say, in a state the base did not build on
    const auto without = apply(goneElsewhere, &base);
    ASSERT_TRUE(without);
    EXPECT_EQ(without->tanks.size(), base.tanks.size());
    Snapshot goneShell = delta;
    goneShell.goneShells = {9};
    EXPECT_FALSE(apply(goneShell, &base));
    Snapshot partOfNew = delta;
    partOfNew.state.tanks[0].id = 1;
    EXPECT_FALSE(apply(partOfNew, &base)) << "only the position of a tank the base lacks";
    Snapshot goneAndChanged = delta;
    goneAndChanged.goneTanks = {0};
    EXPECT_FALSE(apply(goneAndChanged, &base));
    Snapshot unordered = diff(base, nullptr);
    std::swap(unordered.state.shells[0], unordered.state.shells[1]);
    EXPECT_FALSE(apply(unordered, nullptr));
}

TEST(ProtocolTest, CutPaddedOrOutOfRangePacketsAreRefused) {
    for (const Message &message : everyMessage()) {
        Bytes bytes = encode(message);
        for (std::size_t size = 0; size < bytes.size(); ++size)
            EXPECT_FALSE(decode(bytes.data(), size)) << "type " << int(bytes[0]) << ", " << size << " bytes";
        bytes.push_back(0);
        EXPECT_FALSE(accepted(bytes)) << "type " << int(bytes[0]) << " with a byte too many";
    }
    EXPECT_FALSE(accepted({0}));
    EXPECT_FALSE(accepted({12}));

    const Welcome welcome = std::get<Welcome>(everyMessage()[1]);
    for (const char *name :
         {"../x.lvl", "a/b.lvl", "a\\b.lvl", "lvl1.txt", "", ".lvl", ".hidden.lvl", "a..b.lvl"}) {
        Welcome bad = welcome;
        bad.levelFile = name;
        EXPECT_FALSE(accepted(encode(bad))) << name;
    }
    const auto welcomeWith = [&](int players, int yours) {
        Welcome w = welcome;
        w.players = static_cast<std::uint8_t>(players);
        w.yourPlayer = static_cast<std::uint8_t>(yours);
        return accepted(encode(w));
    };
    EXPECT_TRUE(welcomeWith(2, 1));
    EXPECT_FALSE(welcomeWith(5, 1));
    EXPECT_TRUE(welcomeWith(1, 0)); // a host without a player of its own
    EXPECT_FALSE(welcomeWith(0, 0));
    EXPECT_FALSE(welcomeWith(3, 3));

    // Strings: the longest is taken, one longer or with a control character is not.
    const Bytes longest = encode(Ready{std::string(kMaxString, 'x')});
    EXPECT_TRUE(accepted(longest));
    Bytes tooLong = {3, static_cast<std::uint8_t>(kMaxString + 1)};
    tooLong.resize(tooLong.size() + kMaxString + 1, 'x');
    EXPECT_FALSE(accepted(tooLong));
    EXPECT_FALSE(accepted(encode(Ready{"a\nb"})));

    EXPECT_FALSE(accepted(encode(Refused{static_cast<Refusal>(5), ""})));
    EXPECT_FALSE(accepted(encode(Input{5, {}, 0})));
    EXPECT_FALSE(accepted(encode(Input{20, std::vector<PlayerInput>(kMaxInputs + 1), 0})));
    EXPECT_FALSE(accepted(encode(Input{1, std::vector<PlayerInput>(3), 0}))) << "an input before tick 0";
    EXPECT_TRUE(accepted(encode(Input{2, std::vector<PlayerInput>(3), 0})));
    EXPECT_FALSE(accepted(encode(Events{1, {}})));
    EXPECT_FALSE(accepted(encode(Events{1, {{5, {}, 0}}})));
    EXPECT_FALSE(accepted(encode(Events{1, {{1, {}, 4}}})));
    EXPECT_FALSE(accepted(encode(Pause{false, 4})));
    EXPECT_FALSE(accepted(encode(Pause{false, -2})));
    EXPECT_FALSE(accepted(encode(PlayerStatus{4, PlayerStatus::kLost})));
    EXPECT_FALSE(accepted(encode(PlayerStatus{0, static_cast<PlayerStatus::Kind>(5)})));
    Bytes pause = encode(Pause{true, 0});
    pause[1] = 2;
    EXPECT_FALSE(accepted(pause)) << "a bool of 2";

    const auto snapshotWith = [](void (*change)(WorldState &)) {
        WorldState w = battle(100);
        change(w);
        return accepted(encode(diff(w, nullptr)));
    };
    EXPECT_TRUE(snapshotWith([](WorldState &) {}));
    EXPECT_FALSE(snapshotWith([](WorldState &w) { w.outcome = 6; }));
    EXPECT_FALSE(snapshotWith([](WorldState &w) { w.pausedBy = 4; }));
    EXPECT_FALSE(snapshotWith([](WorldState &w) { w.tanks[3].status = 2; }));
    EXPECT_FALSE(snapshotWith([](WorldState &w) { w.shells[3].status = 3; }));
    EXPECT_FALSE(snapshotWith([](WorldState &w) { w.tanks[4].id = w.tanks[3].id; }));
    EXPECT_FALSE(snapshotWith([](WorldState &w) { std::swap(w.shells[0], w.shells[2]); }));
    EXPECT_FALSE(snapshotWith([](WorldState &w) { w.tanks.resize(kMaxTanks + 1); }));
}

TEST(ProtocolTest, QuantisingKeepsHalfAStepAndClampsTheRest) {
    for (float x : {0.0f, 1.0f / 3.0f, -77.777f, 255.99f, -256.0f}) {
        EXPECT_NEAR(positionOf(quantisePosition(x)), x, kPositionStep / 2) << x;
        EXPECT_NEAR(velocityOf(quantiseVelocity(x)), x, kVelocityStep / 2) << x;
    }
    EXPECT_EQ(quantisePosition(1e9f), 32767);
    EXPECT_EQ(quantisePosition(-1e9f), -32768);
    EXPECT_EQ(quantiseVelocity(-INFINITY), -32768);
    EXPECT_EQ(quantisePosition(NAN), 0);

    EXPECT_EQ(quantiseHeading(-90.0f), quantiseHeading(270.0f));
    EXPECT_EQ(quantiseHeading(720.0f + 45.0f), quantiseHeading(45.0f));
    EXPECT_EQ(quantiseHeading(359.9999f), 0);
    EXPECT_EQ(quantiseHeading(NAN), 0);
    EXPECT_NEAR(headingOf(quantiseHeading(123.456f)), 123.456f, 180.0f / 65536);
    EXPECT_LT(headingOf(65535), 360.0f);

    EXPECT_EQ(quantiseControl(5.0f), 127);
    EXPECT_EQ(quantiseControl(-5.0f), -127);
    EXPECT_EQ(quantiseControl(NAN), 0);
    EXPECT_EQ(quantiseControl(0.5f), 64);
    EXPECT_EQ(controlOf(-128), -1.0f);
    for (int s = -127; s <= 127; ++s)
        ASSERT_EQ(quantiseControl(controlOf(static_cast<std::int8_t>(s))), s);
}

} // namespace

#include "input/PadSlots.h"
#include "input/PadState.h"

#include <gtest/gtest.h>

namespace {

const std::string kXbox = "030000005e0400008e02000014010000";
const std::string kSony = "050000004c050000cc09000000810000";

TEST(PadIdTest, TextReadsBackAndMalformedIdsAreRefused) {
    const PadId id{kXbox, 1};
    EXPECT_EQ(id.text(), kXbox + "#1");
    EXPECT_EQ(PadId::parse(id.text()), id);
    EXPECT_EQ(PadId::parse(kXbox + "#15")->index, 15);
    // Upper-case digits are read as the same pad.
    EXPECT_EQ(PadId::parse("030000005E0400008E02000014010000#0"), (PadId{kXbox, 0}));
    for (const std::string &bad :
         {std::string(), kXbox, kXbox + "#", kXbox + "#16", kXbox + "#-1", kXbox + "#01", kXbox + "#+1",
          kXbox + "#1 ", kXbox + "#1#2", kXbox.substr(1) + "#0", kXbox + "0#0",
          std::string("030000005e0400008e0200001401000g#0"), " " + kXbox + "#0"})
        EXPECT_FALSE(PadId::parse(bad)) << bad;
    EXPECT_FALSE(PadId::parse(std::string("030000005e0400008e0200001401000\0#0", 34)));
}

TEST(PadSlotsTest, PadsClaimFreePlayersInOrderAndKeepThem) {
    PadSlots slots;
    const PadId first{kXbox, 0}, second{kXbox, 1}, third{kSony, 0};
    const std::vector<PadId> connected = {first, second, third};
    EXPECT_EQ(slots.claim(second, 2, connected), 0);
    EXPECT_EQ(slots.claim(second, 2, connected), 0); // pressing again changes nothing
    EXPECT_EQ(slots.claim(first, 2, connected), 1);
    EXPECT_EQ(slots.claim(third, 2, connected), -1); // both players have a pad that is plugged in
    EXPECT_EQ(slots.playerOf(third), -1);
    EXPECT_EQ(slots.padOf(0), second);
    EXPECT_EQ(slots.padOf(1), first);
    EXPECT_FALSE(slots.padOf(2));
    EXPECT_FALSE(slots.padOf(-1));
    EXPECT_FALSE(slots.padOf(PadSlots::kMaxPads));
    // A battle for more players takes it.
    EXPECT_EQ(slots.claim(third, 3, connected), 2);
}

TEST(PadSlotsTest, AnUnpluggedPadsPlayerCanBeTakenAndRememberedPadsComeBack) {
    PadSlots slots;
    const PadId remembered{kXbox, 0}, other{kSony, 0};
    slots.remember(0, remembered); // from settings.ini
    // The remembered pad is not plugged in: another pad may take its player.
    EXPECT_EQ(slots.claim(other, 1, {other}), 0);
    EXPECT_EQ(slots.playerOf(remembered), -1);
    // Back in, it takes whoever is free.
    EXPECT_EQ(slots.claim(remembered, 2, {other, remembered}), 1);
    // A pad that belongs to a player beyond this battle's count moves down to a free one.
    slots.remember(3, PadId{kSony, 1});
    EXPECT_EQ(slots.claim(PadId{kSony, 1}, 3, {other, remembered, PadId{kSony, 1}}), 2);
    EXPECT_FALSE(slots.padOf(3));
}

TEST(PadSlotsTest, RememberKeepsEveryPadWithOnePlayer) {
    PadSlots slots;
    const PadId pad{kXbox, 0};
    slots.remember(0, pad);
    slots.remember(1, pad);
    EXPECT_FALSE(slots.padOf(0));
    EXPECT_EQ(slots.playerOf(pad), 1);
    slots.remember(1, std::nullopt);
    EXPECT_EQ(slots.playerOf(pad), -1);
    slots.remember(7, pad); // no such player
    slots.remember(-1, pad);
    EXPECT_EQ(slots.playerOf(pad), -1);
    EXPECT_EQ(slots.claim(pad, 99, {pad}), 0); // a count beyond the slots is taken as all of them
    EXPECT_EQ(slots.claim(PadId{kSony, 0}, -2, {}), -1);
}

} // namespace

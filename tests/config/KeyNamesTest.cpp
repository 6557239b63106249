#include "config/KeyNames.h"
#include "config/PlayerConfig.h"

#include <gtest/gtest.h>

namespace {

TEST(KeyNamesTest, ValuesAreCharactersOrNamesInAnyCase) {
    EXPECT_EQ(KeyNames::fromValue("w"), 'w');
    EXPECT_EQ(KeyNames::fromValue("W"), 'W'); // old files read as before
    EXPECT_EQ(KeyNames::fromValue("8"), '8');
    EXPECT_EQ(KeyNames::fromValue("space"), 32);
    EXPECT_EQ(KeyNames::fromValue("Enter"), 13);
    EXPECT_EQ(KeyNames::fromValue("TAB"), 9);
    EXPECT_EQ(KeyNames::fromValue("backspace"), 8);
    EXPECT_EQ(KeyNames::fromValue("up"), KeyNames::special(101));
    EXPECT_EQ(KeyNames::fromValue("left"), KeyNames::special(100));
    EXPECT_EQ(KeyNames::fromValue("PageDown"), KeyNames::special(105));
    EXPECT_EQ(KeyNames::fromValue("rctrl"), KeyNames::special(115));
    EXPECT_EQ(KeyNames::fromValue("f1"), KeyNames::special(1));
    EXPECT_EQ(KeyNames::fromValue("F12"), KeyNames::special(12));
    for (const char *bad : {"xyz", "f13", "f0", "f01", "upp", ""})
        EXPECT_EQ(KeyNames::fromValue(bad), KeyNames::kNone) << bad;
}

TEST(KeyNamesTest, EveryCodeWrittenReadsBackAsItself) {
    for (int code = 1; code < KeyNames::kTableSize; ++code) {
        const std::string value = KeyNames::toValue(code);
        const int back = KeyNames::fromValue(value);
        if (back != KeyNames::kNone) {
            EXPECT_EQ(back, code) << value;
        }
    }
    EXPECT_EQ(KeyNames::toValue(' '), "space");
    EXPECT_EQ(KeyNames::toValue(KeyNames::special(103)), "down");
    EXPECT_EQ(KeyNames::display('w'), "W");
    EXPECT_EQ(KeyNames::display(KeyNames::special(5)), "F5");
}

TEST(KeyNamesTest, ModifiersDoNotChangeWhichLetterIsHeld) {
    EXPECT_EQ(KeyNames::character('W', false), 'w');
    EXPECT_EQ(KeyNames::character(23, true), 'w'); // Ctrl+W
    EXPECT_EQ(KeyNames::character(13, false), 13); // Enter stays Enter without Ctrl
    EXPECT_EQ(KeyNames::character('+', false), '+');
}

TEST(PlayerConfigTest, DefaultsAreFreeOfConflictsAndConflictsAreFound) {
    PlayerConfig pc = PlayerConfig::defaults();
    PlayerConfig::Action a, b;
    EXPECT_FALSE(pc.findConflict(a, b));
    EXPECT_EQ(pc.getUpButton1(), 'w');
    EXPECT_EQ(pc.getShootButton1(), ' ');
    EXPECT_EQ(pc.getUpButton2(), KeyNames::special(KeyNames::kGlutUp));
    EXPECT_EQ(pc.getShootButton2(), 13);

    pc.setShootButton2('P'); // the pause key, in the other case
    ASSERT_TRUE(pc.findConflict(a, b));
    EXPECT_EQ(a, PlayerConfig::kShoot2);
    EXPECT_EQ(b, PlayerConfig::kPause);
    EXPECT_EQ(pc.actionFor('p', PlayerConfig::kShoot2), PlayerConfig::kPause);
    pc.useDefaultKeys();
    EXPECT_FALSE(pc.findConflict(a, b));
}

} // namespace

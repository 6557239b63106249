#include "main/CommandLine.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLineTest, LevelAndPlayersInBothFormsAndGlutOptionsPassThrough) {
    const CommandLine line =
        CommandLine::parse({"panzerfeld", "-display", ":3", "--level", "lvl2.lvl", "--players=1"});
    ASSERT_TRUE(line.ok()) << line.getError();
    EXPECT_EQ(line.getLevel(), "lvl2.lvl");
    EXPECT_EQ(line.getPlayers(), 1);
    EXPECT_EQ(line.getRest(), (std::vector<std::string>{"panzerfeld", "-display", ":3"}));

    const CommandLine plain = CommandLine::parse({"panzerfeld"});
    EXPECT_TRUE(plain.ok());
    EXPECT_EQ(plain.getLevel(), "");
    EXPECT_EQ(plain.getPlayers(), 0);
}

TEST(CommandLineTest, EveryWrongValueIsOneErrorNamingTheOption) {
    const std::vector<std::vector<std::string>> wrong = {
        {"panzerfeld", "--players", "3"},      {"panzerfeld", "--players=0"},
        {"panzerfeld", "--players", "two"},    {"panzerfeld", "--level"},
        {"panzerfeld", "--level="},            {"panzerfeld", "--level", "../config/glutconfig.ini"},
        {"panzerfeld", "--lvl", "lvl1.lvl"},
    };
    for (const std::vector<std::string> &args : wrong) {
        const CommandLine line = CommandLine::parse(args);
        EXPECT_FALSE(line.ok()) << args[1];
        EXPECT_NE(line.getError().find(args[1].substr(0, args[1].find('='))), std::string::npos)
            << line.getError();
        EXPECT_EQ(line.getError().find('\n'), std::string::npos);
    }
}

} // namespace

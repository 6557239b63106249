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

TEST(CommandLineTest, HelpAndVersionAnswerWhateverElseTheLineHolds) {
    for (const std::vector<std::string> &args :
         std::vector<std::vector<std::string>>{{"panzerfeld", "--help"},
                                               {"panzerfeld", "-h"},
                                               {"panzerfeld", "--bogus", "--players", "9", "--help"},
                                               {"panzerfeld", "--join", "x", "--level", "lvl1.lvl", "--help"}}) {
        const CommandLine line = CommandLine::parse(args);
        EXPECT_TRUE(line.ok()) << args.back() << ": " << line.getError();
        EXPECT_TRUE(line.wantsHelp());
        EXPECT_FALSE(line.wantsVersion());
    }
    const CommandLine version = CommandLine::parse({"panzerfeld", "--version", "--seconds", "-1"});
    EXPECT_TRUE(version.ok());
    EXPECT_TRUE(version.wantsVersion());
    EXPECT_FALSE(CommandLine::parse({"panzerfeld", "--level", "lvl1.lvl"}).wantsHelp());

    // Every option the parser takes is on the help screen, and the screen fits a terminal.
    const std::string usage = CommandLine::usage();
    for (const char *option : {"--level", "--players", "--seed", "--replay", "--host", "--port", "--join",
                               "--headless", "--seconds", "--autopilot", "--script", "--help", "--version"})
        EXPECT_NE(usage.find(std::string("  ") + option + " "), std::string::npos) << option;
    std::size_t lines = 0, longest = 0, start = 0;
    for (std::size_t end = usage.find('\n'); end != std::string::npos; start = end + 1, end = usage.find('\n', start)) {
        ++lines;
        longest = std::max(longest, end - start);
    }
    EXPECT_LE(lines, 24u);
    EXPECT_LE(longest, 100u);
}

TEST(CommandLineTest, EveryWrongValueIsOneErrorNamingTheOption) {
    const std::vector<std::vector<std::string>> wrong = {
        {"panzerfeld", "--players", "5"},      {"panzerfeld", "--players=0"},
        {"panzerfeld", "--players", "two"},    {"panzerfeld", "--level"},
        {"panzerfeld", "--level="},            {"panzerfeld", "--level", "../config/glutconfig.ini"},
        {"panzerfeld", "--lvl", "lvl1.lvl"},
        {"panzerfeld", "--seed", "-1"},        {"panzerfeld", "--seed=4294967296"},
        {"panzerfeld", "--seed", "12x"},       {"panzerfeld", "--seconds", "0"},
        {"panzerfeld", "--seconds=nan"},       {"panzerfeld", "--seconds", "1e9"},
        {"panzerfeld", "--autopilot", "best"}, {"panzerfeld", "--autopilot=Hard"},
    };
    for (const std::vector<std::string> &args : wrong) {
        const CommandLine line = CommandLine::parse(args);
        EXPECT_FALSE(line.ok()) << args[1];
        EXPECT_NE(line.getError().find(args[1].substr(0, args[1].find('='))), std::string::npos)
            << line.getError();
        EXPECT_EQ(line.getError().find('\n'), std::string::npos);
    }
}

TEST(CommandLineTest, AHeadlessBattleTakesItsLevelSeedLengthAndAutopilot) {
    const CommandLine line = CommandLine::parse({"panzerfeld", "--headless", "--level", "lvl4.lvl", "--seed",
                                                 "4294967295", "--seconds=120", "--autopilot", "hard"});
    ASSERT_TRUE(line.ok()) << line.getError();
    EXPECT_TRUE(line.isHeadless());
    EXPECT_EQ(line.getSeed(), 4294967295u);
    EXPECT_EQ(line.getSeconds(), 120.0);
    EXPECT_EQ(line.getAutopilot(), AiDifficulty::Hard);

    const CommandLine window = CommandLine::parse({"panzerfeld", "--seed", "0"});
    ASSERT_TRUE(window.ok()) << window.getError(); // a window's battles may have a chosen seed too
    EXPECT_FALSE(window.isHeadless());
    EXPECT_EQ(window.getSeed(), 0u);
    EXPECT_FALSE(CommandLine::parse({"panzerfeld"}).getSeed().has_value());

    // What makes sense only without a window, and a headless run without a level, are refused.
    for (const std::vector<std::string> &args :
         {std::vector<std::string>{"panzerfeld", "--headless"},
          std::vector<std::string>{"panzerfeld", "--level", "lvl1.lvl", "--seconds", "5"},
          std::vector<std::string>{"panzerfeld", "--autopilot", "easy"}}) {
        const CommandLine wrong = CommandLine::parse(args);
        EXPECT_FALSE(wrong.ok()) << args.back();
        EXPECT_NE(wrong.getError().find("--headless"), std::string::npos) << wrong.getError();
    }
}

} // namespace

TEST(CommandLineTest, NetworkBattlesAreHostedOnALevelAndJoinedByAddressAlone) {
    const CommandLine host = CommandLine::parse({"panzerfeld", "--host", "--port=30000", "--level", "lvl2.lvl"});
    ASSERT_TRUE(host.ok()) << host.getError();
    EXPECT_TRUE(host.isHost());
    EXPECT_EQ(host.getPort(), 30000);
    const CommandLine headless =
        CommandLine::parse({"panzerfeld", "--headless", "--host", "--level", "lvl1.lvl", "--players", "3"});
    ASSERT_TRUE(headless.ok()) << headless.getError();
    EXPECT_TRUE(headless.isHost() && headless.isHeadless());
    const CommandLine join = CommandLine::parse({"panzerfeld", "--join", "example.org:24000"});
    ASSERT_TRUE(join.ok()) << join.getError();
    EXPECT_EQ(join.getJoin(), "example.org:24000");
    EXPECT_FALSE(join.isHost());

    // Each wrong line names what is wrong with it.
    const std::vector<std::pair<std::vector<std::string>, std::string>> wrong = {
        {{"panzerfeld", "--host"}, "--host needs --level"},
        {{"panzerfeld", "--host", "--level", "lvl1.lvl", "--join", "a"}, "--host needs --level"},
        {{"panzerfeld", "--port", "3000", "--level", "lvl1.lvl"}, "--port needs --host"},
        {{"panzerfeld", "--host", "--level", "lvl1.lvl", "--port", "0"}, "--port takes"},
        {{"panzerfeld", "--host", "--level", "lvl1.lvl", "--port=65536"}, "--port takes"},
        {{"panzerfeld", "--join", "a", "--level", "lvl1.lvl"}, "--join plays the host's battle"},
        {{"panzerfeld", "--join", "a", "--headless"}, "--join plays the host's battle"},
        {{"panzerfeld", "--join"}, "--join needs a value"},
        {{"panzerfeld", "--headless", "--host", "--level", "lvl1.lvl", "--autopilot", "easy"}, "--autopilot"},
    };
    for (const auto &[args, error] : wrong) {
        const CommandLine line = CommandLine::parse(args);
        EXPECT_FALSE(line.ok());
        EXPECT_NE(line.getError().find(error), std::string::npos) << line.getError();
    }
}

TEST(CommandLineTest, AScriptDrivesAWindowedRunWithItsLevelOrReplayButNoNetworkOrHeadlessBattle) {
    const CommandLine line = CommandLine::parse({"panzerfeld", "--script", "run.script", "--level", "lvl2.lvl"});
    ASSERT_TRUE(line.ok()) << line.getError();
    EXPECT_EQ(line.getScript(), "run.script");
    EXPECT_EQ(line.getLevel(), "lvl2.lvl");
    EXPECT_TRUE(CommandLine::parse({"panzerfeld", "--script=a", "--replay", "b.pzr"}).ok());
    for (const std::vector<std::string> &args : std::vector<std::vector<std::string>>{
             {"panzerfeld", "--script", "a", "--headless", "--level", "lvl1.lvl"},
             {"panzerfeld", "--script", "a", "--host", "--level", "lvl1.lvl"},
             {"panzerfeld", "--script", "a", "--join", "localhost"}}) {
        const CommandLine wrong = CommandLine::parse(args);
        EXPECT_FALSE(wrong.ok());
        EXPECT_NE(wrong.getError().find("--script drives a game in its window"), std::string::npos) << wrong.getError();
    }
    EXPECT_NE(CommandLine::parse({"panzerfeld", "--script"}).getError().find("--script needs a value"),
              std::string::npos);
}

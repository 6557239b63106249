// The scripts that drive the game's end-to-end runs: what they say, and every wrong line refused.
#include "main/GameScript.h"

#include "config/KeyNames.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

using Action = GameScript::Action;
using When = GameScript::When;

TEST(GameScriptTest, StepsReadWithTheirMomentsActionsAndLines) {
    GameScript script;
    std::string problem;
    ASSERT_TRUE(GameScript::parse("# the first battlefield\n"
                                  "click 1\n"
                                  "on \"Level choice\" key enter\n"
                                  "on Battle\n"
                                  "at 120 down w   # hold\n"
                                  "+30 up W\n"
                                  "key F2\n"
                                  "drag -4 7\n"
                                  "click 512 300\n"
                                  "point 5 5\n"
                                  "shot views/one.png\n"
                                  "hash\n"
                                  "limit 900\n"
                                  "key escape\n"
                                  "+2 pad 2 attach  lefty=1\n"
                                  "end\n",
                                  script, problem))
        << problem;
    ASSERT_EQ(script.steps.size(), 14u);
    EXPECT_EQ(script.limit, 900);
    const GameScript::Step &menu = script.steps[0];
    EXPECT_EQ(menu.when, When::kNow);
    EXPECT_EQ(menu.action, Action::kClickItem);
    EXPECT_EQ(menu.x, 1);
    EXPECT_EQ(menu.line, 2);
    EXPECT_EQ(script.steps[1].when, When::kOnScreen);
    EXPECT_EQ(script.steps[1].screen, "Level choice");
    EXPECT_EQ(script.steps[1].key, KeyNames::kEnter);
    EXPECT_EQ(script.steps[2].action, Action::kWait);
    EXPECT_EQ(script.steps[3].when, When::kAt);
    EXPECT_EQ(script.steps[3].tick, 120);
    EXPECT_EQ(script.steps[3].key, 'w');
    EXPECT_EQ(script.steps[4].when, When::kAfter);
    EXPECT_EQ(script.steps[4].tick, 30);
    EXPECT_EQ(script.steps[4].key, 'w') << "a letter is the same key in either case";
    EXPECT_EQ(script.steps[5].key, KeyNames::special(2));
    EXPECT_EQ(script.steps[6].action, Action::kDrag);
    EXPECT_EQ(script.steps[6].x, -4);
    EXPECT_EQ(script.steps[6].y, 7);
    EXPECT_EQ(script.steps[7].action, Action::kClick);
    EXPECT_EQ(script.steps[8].action, Action::kPoint);
    EXPECT_EQ(script.steps[9].file, "views/one.png");
    EXPECT_EQ(script.steps[10].action, Action::kHash);
    EXPECT_EQ(script.steps[11].key, KeyNames::kEscape);
    EXPECT_EQ(script.steps[12].action, Action::kPad);
    EXPECT_EQ(script.steps[12].file, "2 attach lefty=1") << "a pad step as a pad script's line says it";
    EXPECT_EQ(script.steps[13].action, Action::kEnd);
    EXPECT_EQ(script.steps[13].line, 16);
}

TEST(GameScriptTest, EveryWrongLineIsRefusedNamingItsLine) {
    const std::vector<std::pair<std::string, std::string>> wrong = {
        {"", "no step"},
        {"# only words\n\n", "no step"},
        {"end\njump\n", "line 2: \"jump\" is no action"},
        {"key\n", "takes one key name"},
        {"key nokey\n", "is no key name"},
        {"down w s\n", "takes one key name"},
        {"click 7\n", "menu item from 1 to 6"},
        {"click 1 2 3\n", "two whole numbers"},
        {"click -1 4\n", "two whole numbers"},
        {"drag 1\n", "two whole numbers"},
        {"point 1 999999\n", "two whole numbers"},
        {"shot a.jpg\n", "writes a .png file"},
        {"shot\n", "takes one file name"},
        {"end now\n", "takes nothing after it"},
        {"pad 9 attach\n", "\"pad\" takes a pad from 1 to 8"},
        {"pad 1\n", "\"pad\" takes a pad from 1 to 8"},
        {"at\n", "\"at\" takes a tick"},
        {"at -5 end\n", "\"at\" takes a tick"},
        {"at 99999999999 end\n", "\"at\" takes a tick"},
        {"+x end\n", "\"+\" takes a number"},
        {"on\n", "takes a screen's name"},
        {"on Nowhere end\n", "\"Nowhere\" is no screen"},
        {"on \"Level choice key enter\n", "a quote is not closed"},
        {"limit 0\nend\n", "\"limit\" takes"},
        {"limit 5\nlimit 6\nend\n", "a second \"limit\""},
        {std::string("end\nkey w\0\n", 11), "line 2: a zero byte"},
    };
    for (const auto &[text, why] : wrong) {
        GameScript script;
        std::string problem;
        EXPECT_FALSE(GameScript::parse(text, script, problem)) << text;
        EXPECT_NE(problem.find(why), std::string::npos) << "\"" << text << "\": " << problem;
    }
}

TEST(GameScriptTest, AFileIsReadOrItsProblemSaid) {
    TempDir dir;
    dir.write("run.script", "on Menu\nend\n");
    GameScript script;
    std::string problem;
    ASSERT_TRUE(GameScript::read((dir.path() / "run.script").string(), script, problem)) << problem;
    EXPECT_EQ(script.steps.size(), 2u);
    EXPECT_FALSE(GameScript::read((dir.path() / "none.script").string(), script, problem));
    EXPECT_EQ(problem, "cannot be read");
    dir.write("huge.script", std::string(2 << 20, '#'));
    EXPECT_FALSE(GameScript::read((dir.path() / "huge.script").string(), script, problem));
    EXPECT_EQ(problem, "longer than a megabyte");
}

} // namespace

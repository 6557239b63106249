#include "input/PadScript.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

using Kind = PadScriptStep::Kind;

TEST(PadScriptTest, StepsCarryTheWholeStateOfTheirPad) {
    PadScript script;
    std::string problem;
    ASSERT_TRUE(PadScript::parse("# seconds pad what\n"
                                 "0    1  attach            # pad 1 appears\n"
                                 "\n"
                                 "0    2  attach a=1 righttrigger=0.75\r\n"
                                 "0.5  1  lefty=1 a=1\n"
                                 "3    1  lefty=-0.25 dpleft=1\n"
                                 "9    1  detach\n"
                                 "9.5  1  attach\n",
                                 script, problem))
        << problem;
    const std::vector<PadScriptStep> &steps = script.steps();
    ASSERT_EQ(steps.size(), 6u);
    EXPECT_EQ(steps[0].kind, Kind::Attach);
    EXPECT_EQ(steps[0].line, 2);
    EXPECT_FALSE(steps[0].state.pressed(PadButton::A));

    EXPECT_EQ(steps[1].pad, 2);
    EXPECT_TRUE(steps[1].state.pressed(PadButton::A));
    EXPECT_FLOAT_EQ(steps[1].state.rightTrigger, 0.75f);
    EXPECT_TRUE(steps[1].state.pressed(PadButton::RightTrigger)); // beyond half: its button too

    EXPECT_EQ(steps[2].kind, Kind::Set);
    EXPECT_DOUBLE_EQ(steps[2].seconds, 0.5);
    EXPECT_FLOAT_EQ(steps[2].state.leftY, 1.0f);
    // What a line leaves out keeps its value.
    EXPECT_FLOAT_EQ(steps[3].state.leftY, -0.25f);
    EXPECT_TRUE(steps[3].state.pressed(PadButton::A));
    EXPECT_TRUE(steps[3].state.pressed(PadButton::DpadLeft));

    EXPECT_EQ(steps[4].kind, Kind::Detach);
    // Plugged in again, the pad starts at rest.
    EXPECT_EQ(steps[5].kind, Kind::Attach);
    EXPECT_FLOAT_EQ(steps[5].state.leftY, 0.0f);
    EXPECT_FALSE(steps[5].state.pressed(PadButton::A));

    ASSERT_TRUE(PadScript::parse("", script, problem));
    EXPECT_TRUE(script.steps().empty());
}

TEST(PadScriptTest, BrokenLinesAreNamedAndLeaveNoSteps) {
    const std::string attach = "0 1 attach\n";
    const struct {
        std::string text;
        std::string problem;
    } cases[] = {
        {"1 1\n", "line 1: a step is"},
        {"x 1 attach\n", "line 1: the time \"x\""},
        {"-1 1 attach\n", "line 1: the time \"-1\""},
        {"nan 1 attach\n", "line 1: the time \"nan\""},
        {"1e9 1 attach\n", "line 1: the time \"1e9\""},
        {"0 0 attach\n", "line 1: the pad \"0\""},
        {"0 9 attach\n", "line 1: the pad \"9\""},
        {"0 1.5 attach\n", "line 1: the pad \"1.5\""},
        {"0 1 lefty=1\n", "line 1: pad 1 is not attached"},
        {attach + "1 1 detach\n2 1 detach\n", "line 3: pad 1 is not attached"},
        {attach + "# fine\n1 1 attach\n", "line 3: pad 1 is attached already"},
        {attach + "2 1 a=1\n1 1 a=0\n", "line 3: the time 1 is before the line above"},
        {attach + "1 1 lefty=1.5\n", "line 2: lefty must be a number from -1 to 1"},
        {attach + "1 1 lefttrigger=-0.1\n", "line 2: lefttrigger must be a number from 0 to 1"},
        {attach + "1 1 leftx=\n", "line 2: leftx must be"},
        {attach + "1 1 a=2\n", "line 2: button a must be 0 or 1"},
        {attach + "1 1 turbo=1\n", "line 2: no pad control \"turbo\""},
        {attach + "1 1 a\n", "line 2: \"a\" is not name=value"},
        {attach + "1 1 a=1 attach\n", "(attach comes first on its line)"},
        {attach + "1 1 detach a=0\n", "line 2: detach stands alone"},
    };
    for (const auto &c : cases) {
        PadScript script;
        std::string problem;
        ASSERT_TRUE(PadScript::parse(attach, script, problem));
        EXPECT_FALSE(PadScript::parse(c.text, script, problem)) << c.text;
        EXPECT_NE(problem.find(c.problem), std::string::npos) << c.text << " gave: " << problem;
        EXPECT_TRUE(script.steps().empty()) << c.text;
    }
}

TEST(PadScriptTest, FilesThatCannotBeUsedSayWhyOnOneLine) {
    TempDir dir;
    PadScript script;
    const std::string good = dir.write("good.pads", "0 1 attach\n");
    EXPECT_TRUE(PadScript::load(good, script));
    EXPECT_EQ(script.steps().size(), 1u);

    const std::string broken = dir.write("broken.pads", "0 1 attach\n1 1 fly=1\n");
    const std::string missing = (dir.path() / "missing.pads").string();
    const std::string huge = dir.write("huge.pads", std::string(PadScript::kMaxBytes + 1, '\n'));
    const struct {
        std::string path;
        std::string line;
    } cases[] = {
        {broken, "Error: " + broken + ": line 2: no pad control \"fly\"; no virtual pads\n"},
        {missing, "Error: " + missing + ": cannot be read; no virtual pads\n"},
        {dir.path().string(), "Error: " + dir.path().string() + ": cannot be read; no virtual pads\n"},
        {huge, "Error: " + huge + ": is larger than 1024 KiB; no virtual pads\n"},
    };
    for (const auto &c : cases) {
        testing::internal::CaptureStderr();
        EXPECT_FALSE(PadScript::load(c.path, script));
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.line);
        EXPECT_TRUE(script.steps().empty());
    }
}

} // namespace

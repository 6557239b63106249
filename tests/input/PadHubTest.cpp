// The pad layer with virtual pads: the pad library sees them as plugged in, so these tests need no
// hardware and no display.
#include "input/PadHub.h"
#include "input/PadMapping.h"
#include "input/PadSlots.h"
#include "input/VirtualPad.h"

#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>

namespace {

class PadHubTest : public testing::Test {
  protected:
    // Pads behind the kernel's HID layer are left to the kernel's joystick driver, which a
    // machine without pads has nothing for; the tests only ever look at the pads they plugged in.
    ScopedEnv hidapi{"SDL_JOYSTICK_HIDAPI", "0"};
    ScopedEnv noScript{PadHub::kScriptVariable, std::nullopt};
    PadHub hub;
    double clock = 100.0;         // the caller's clock, in seconds
    std::vector<PadEvent> events; // every event polled so far

    void SetUp() override { ASSERT_TRUE(hub.open()); }

    // Polls until `done` holds, a bounded number of times, the clock moving a frame each poll.
    bool pollUntil(const std::function<bool()> &done) {
        for (int frame = 0; frame < 200; ++frame) {
            for (const PadEvent &e : hub.poll(clock))
                events.push_back(e);
            if (done())
                return true;
            clock += 0.01;
        }
        return false;
    }
    bool seen(PadEvent::Kind kind, int pad, PadButton button = PadButton::Count) const {
        for (const PadEvent &e : events)
            if (e.kind == kind && e.pad == pad && e.button == button)
                return true;
        return false;
    }
    // Plugs `pad` in and waits until the hub has it.
    ::testing::AssertionResult plugIn(VirtualPad &pad) {
        if (!pad.attach())
            return ::testing::AssertionFailure() << "attach: " << pad.error();
        const int handle = pad.handle();
        if (!pollUntil([&] { return seen(PadEvent::Kind::Added, handle); }))
            return ::testing::AssertionFailure() << "no added event for pad " << handle;
        return ::testing::AssertionSuccess();
    }
    // Sets what `pad` reports and waits until the hub reads it.
    ::testing::AssertionResult report(VirtualPad &pad, const PadState &state) {
        pad.set(state);
        const auto same = [&] {
            const PadState now = hub.state(pad.handle());
            return std::abs(now.leftY - state.leftY) < 1e-3f && std::abs(now.leftX - state.leftX) < 1e-3f &&
                   std::abs(now.rightTrigger - state.rightTrigger) < 1e-3f &&
                   now.buttons == pad.state().buttons;
        };
        if (!pollUntil(same))
            return ::testing::AssertionFailure() << "the hub never read the state set";
        return ::testing::AssertionSuccess();
    }
};

bool plugged(const PadHub &hub, int pad) {
    const std::vector<int> pads = hub.pads();
    return std::find(pads.begin(), pads.end(), pad) != pads.end();
}

VirtualPad::Model model(std::uint16_t product, const std::string &name) {
    VirtualPad::Model m;
    m.product = product;
    m.name = name;
    return m;
}

// The input a player gets from their pad: the pad the slots give them, if plugged in.
PlayerInput inputOf(int player, const PadHub &hub, const PadSlots &slots) {
    for (int pad : hub.pads())
        if (slots.padOf(player) == hub.id(pad))
            return padDriving(hub.state(pad), PadBindings::defaults(), kDefaultPadDeadZone);
    return PlayerInput{};
}

TEST_F(PadHubTest, VirtualPadIsAGameControllerWithItsValues) {
    VirtualPad pad(model(0x7001, "Stick test pad"));
    ASSERT_TRUE(plugIn(pad));
    const int handle = pad.handle();
    EXPECT_EQ(hub.name(handle), "Stick test pad");
    EXPECT_EQ(hub.id(handle).guid.size(), 32u);
    EXPECT_EQ(hub.id(handle).index, 0);
    EXPECT_TRUE(plugged(hub, handle));

    // At rest, the triggers too.
    const PadState rest = hub.state(handle);
    EXPECT_NEAR(rest.leftTrigger, 0.0f, 1e-3);
    EXPECT_FALSE(rest.pressed(PadButton::LeftTrigger));

    // Pushed up and right reads as positive; the triggers read 0 .. 1.
    PadState state;
    state.leftX = 0.5f;
    state.leftY = 0.75f;
    state.rightX = -1.0f;
    state.rightY = 0.25f;
    state.leftTrigger = 0.3f;
    state.rightTrigger = 0.9f;
    state.setButton(PadButton::Y, true);
    state.setButton(PadButton::DpadLeft, true);
    ASSERT_TRUE(report(pad, state));
    const PadState read = hub.state(handle);
    EXPECT_NEAR(read.leftX, 0.5f, 1e-3);
    EXPECT_NEAR(read.leftY, 0.75f, 1e-3);
    EXPECT_NEAR(read.rightX, -1.0f, 1e-3);
    EXPECT_NEAR(read.rightY, 0.25f, 1e-3);
    EXPECT_NEAR(read.leftTrigger, 0.3f, 1e-3);
    EXPECT_NEAR(read.rightTrigger, 0.9f, 1e-3);
    EXPECT_FALSE(read.pressed(PadButton::LeftTrigger));
    EXPECT_TRUE(read.pressed(PadButton::RightTrigger));
    EXPECT_TRUE(read.pressed(PadButton::Y));
    EXPECT_TRUE(read.pressed(PadButton::DpadLeft));
    EXPECT_FALSE(read.pressed(PadButton::A));
    // The trigger crossing half its travel is a button press as well.
    EXPECT_TRUE(seen(PadEvent::Kind::ButtonDown, handle, PadButton::RightTrigger));
    EXPECT_FALSE(seen(PadEvent::Kind::ButtonDown, handle, PadButton::LeftTrigger));

    pad.detach();
    ASSERT_TRUE(pollUntil([&] { return seen(PadEvent::Kind::Removed, handle); }));
    EXPECT_FALSE(plugged(hub, handle));
    EXPECT_EQ(hub.id(handle).guid, "");
    EXPECT_FALSE(hub.state(handle).pressed(PadButton::Y));
}

TEST_F(PadHubTest, StickDrivesOnlyBeyondTheDeadZone) {
    VirtualPad pad;
    ASSERT_TRUE(plugIn(pad));
    PadState state;
    state.leftY = 0.15f; // a worn stick at rest
    state.leftX = -0.1f;
    ASSERT_TRUE(report(pad, state));
    PlayerInput input = padDriving(hub.state(pad.handle()), PadBindings::defaults(), 0.2f);
    EXPECT_EQ(input.throttle, 0.0f);
    EXPECT_EQ(input.turn, 0.0f);

    state.leftY = 0.6f;
    state.leftX = -1.0f;
    ASSERT_TRUE(report(pad, state));
    input = padDriving(hub.state(pad.handle()), PadBindings::defaults(), 0.2f);
    EXPECT_NEAR(input.throttle, 0.5f, 1e-3);
    EXPECT_NEAR(input.turn, -1.0f, 1e-3);
}

TEST_F(PadHubTest, ButtonReachesThePlayerWhosePadItIs) {
    VirtualPad first(model(0x7002, "First pad")), second(model(0x7003, "Second pad"));
    ASSERT_TRUE(plugIn(first));
    ASSERT_TRUE(plugIn(second));
    std::vector<PadId> connected;
    for (int pad : hub.pads())
        connected.push_back(hub.id(pad));

    // The second pad's Start is pressed first in the level choice: it drives player one.
    PadSlots slots;
    EXPECT_EQ(slots.claim(hub.id(second.handle()), 2, connected), 0);
    EXPECT_EQ(slots.claim(hub.id(first.handle()), 2, connected), 1);

    PadState state;
    state.setButton(PadButton::A, true);
    state.leftY = 1.0f;
    ASSERT_TRUE(report(first, state));
    EXPECT_TRUE(seen(PadEvent::Kind::ButtonDown, first.handle(), PadButton::A));
    EXPECT_FALSE(seen(PadEvent::Kind::ButtonDown, second.handle(), PadButton::A));
    EXPECT_EQ(inputOf(1, hub, slots), (PlayerInput{1.0f, 0.0f, true}));
    EXPECT_EQ(inputOf(0, hub, slots), PlayerInput{});

    ASSERT_TRUE(report(first, PadState{}));
    EXPECT_TRUE(seen(PadEvent::Kind::ButtonUp, first.handle(), PadButton::A));
    EXPECT_EQ(inputOf(1, hub, slots), PlayerInput{});
}

TEST_F(PadHubTest, IdenticalPadsAreToldApartAndFoundAgainAfterUnplugging) {
    VirtualPad first, second; // one model: one GUID
    ASSERT_TRUE(plugIn(first));
    ASSERT_TRUE(plugIn(second));
    const PadId firstId = hub.id(first.handle()), secondId = hub.id(second.handle());
    EXPECT_EQ(firstId.guid, secondId.guid);
    EXPECT_EQ(firstId.index, 0);
    EXPECT_EQ(secondId.index, 1);

    PadSlots slots;
    std::vector<PadId> connected = {firstId, secondId};
    ASSERT_EQ(slots.claim(secondId, 2, connected), 0);
    ASSERT_EQ(slots.claim(firstId, 2, connected), 1);

    // The first pad is unplugged and plugged in again: a new handle, the same id, the same player;
    // the second keeps its index meanwhile.
    const int oldHandle = first.handle();
    first.detach();
    ASSERT_TRUE(pollUntil([&] { return seen(PadEvent::Kind::Removed, oldHandle); }));
    EXPECT_EQ(hub.id(second.handle()), secondId);
    ASSERT_TRUE(plugIn(first));
    EXPECT_NE(first.handle(), oldHandle);
    EXPECT_EQ(hub.id(first.handle()), firstId);
    EXPECT_EQ(slots.playerOf(hub.id(first.handle())), 1);
    EXPECT_EQ(slots.claim(hub.id(first.handle()), 2, {firstId, secondId}), 1);

    // Its A reaches player two, not player one.
    PadState fire;
    fire.setButton(PadButton::A, true);
    ASSERT_TRUE(report(first, fire));
    EXPECT_TRUE(inputOf(1, hub, slots).fire);
    EXPECT_FALSE(inputOf(0, hub, slots).fire);
}

TEST_F(PadHubTest, RumbleReachesThePad) {
    VirtualPad pad;
    VirtualPad::Model still = model(0x7004, "Pad without motors");
    still.rumbles = false;
    VirtualPad quiet(still);
    ASSERT_TRUE(plugIn(pad));
    ASSERT_TRUE(plugIn(quiet));
    EXPECT_TRUE(hub.rumble(pad.handle(), 0.5f, 200));
    const std::vector<VirtualPad::Rumble> rumbles = pad.rumbles();
    ASSERT_FALSE(rumbles.empty());
    EXPECT_NEAR(rumbles.front().low, 0.5f, 1e-3);
    EXPECT_NEAR(rumbles.front().high, 0.5f, 1e-3);
    EXPECT_FALSE(hub.rumble(quiet.handle(), 1.0f, 200));
    EXPECT_FALSE(hub.rumble(-5, 1.0f, 200)); // no such pad
    EXPECT_TRUE(quiet.rumbles().empty());
}

TEST_F(PadHubTest, HubsOpenAgainAndFindPadsPluggedInBefore) {
    VirtualPad pad;
    ASSERT_TRUE(plugIn(pad));
    hub.close();
    EXPECT_FALSE(hub.isOpen());
    EXPECT_TRUE(hub.poll(clock).empty());
    EXPECT_TRUE(hub.pads().empty());
    ASSERT_TRUE(hub.open());
    events.clear();
    ASSERT_TRUE(pollUntil([&] { return seen(PadEvent::Kind::Added, pad.handle()); }));
    // Another hub after this one is gone.
    hub.close();
    PadHub again;
    ASSERT_TRUE(again.open());
    bool found = false;
    for (int frame = 0; frame < 200 && !found; ++frame, clock += 0.01)
        for (const PadEvent &e : again.poll(clock))
            found = found || (e.kind == PadEvent::Kind::Added && e.pad == pad.handle());
    EXPECT_TRUE(found);
}

class PadScriptHubTest : public testing::Test {
  protected:
    ScopedEnv hidapi{"SDL_JOYSTICK_HIDAPI", "0"};
    TempDir dir;
    std::string scriptGuid; // learnt from the first script pad seen

    // The events of the script's pads alone: a developer's own pad may be plugged in too.
    std::vector<PadEvent> poll(PadHub &hub, double seconds) {
        std::vector<PadEvent> mine;
        for (const PadEvent &e : hub.poll(seconds)) {
            if (scriptGuid.empty() && e.kind == PadEvent::Kind::Added &&
                hub.name(e.pad) == "Panzerfeld script pad")
                scriptGuid = e.id.guid;
            if (!scriptGuid.empty() && e.id.guid == scriptGuid)
                mine.push_back(e);
        }
        return mine;
    }
};

TEST_F(PadScriptHubTest, ScriptedPadsReportTheirValuesAtTheirTimes) {
    const std::string script = dir.write("pads.txt", "0    1  attach\n"
                                                     "0    2  attach\n"
                                                     "0.5  1  lefty=1 a=1\n"
                                                     "3    1  lefty=0 a=0\n"
                                                     "9    1  detach\n");
    ScopedEnv env(PadHub::kScriptVariable, script);
    PadHub hub;
    ASSERT_TRUE(hub.open());
    // The caller's clock stands at 50 at the first poll: that is the script's 0.
    std::vector<PadEvent> events = poll(hub, 50.0);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, PadEvent::Kind::Added);
    EXPECT_EQ(events[1].kind, PadEvent::Kind::Added);
    const int one = events[0].pad, two = events[1].pad;
    EXPECT_EQ(hub.id(one).guid, hub.id(two).guid);
    EXPECT_EQ(hub.id(one).index, 0);
    EXPECT_EQ(hub.id(two).index, 1);
    EXPECT_EQ(hub.name(one), "Panzerfeld script pad");

    EXPECT_TRUE(poll(hub, 50.49).empty());
    EXPECT_NEAR(hub.state(one).leftY, 0.0f, 1e-3);
    events = poll(hub, 50.5);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, PadEvent::Kind::ButtonDown);
    EXPECT_EQ(events[0].button, PadButton::A);
    EXPECT_EQ(events[0].pad, one);
    EXPECT_NEAR(hub.state(one).leftY, 1.0f, 1e-3);
    EXPECT_FALSE(hub.state(two).pressed(PadButton::A));

    events = poll(hub, 53.2);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, PadEvent::Kind::ButtonUp);
    EXPECT_NEAR(hub.state(one).leftY, 0.0f, 1e-3);

    events = poll(hub, 59.0);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, PadEvent::Kind::Removed);
    EXPECT_EQ(events[0].pad, one);
    EXPECT_EQ(events[0].id.index, 0);
    EXPECT_FALSE(plugged(hub, one));
    EXPECT_TRUE(plugged(hub, two));
}

TEST_F(PadScriptHubTest, BrokenScriptLeavesNoPadsAndTheHubOpen) {
    const std::string script = dir.write("pads.txt", "0 1 attach\n0.5 1 lefty=2\n");
    ScopedEnv env(PadHub::kScriptVariable, script);
    PadHub hub;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(hub.open());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error: " + script +
                  ": line 2: lefty must be a number from -1 to 1, not \"2\"; no virtual pads\n");
    for (double t = 0.0; t < 1.0; t += 0.1)
        EXPECT_TRUE(poll(hub, t).empty());
    for (int pad : hub.pads())
        EXPECT_NE(hub.name(pad), "Panzerfeld script pad");
}

} // namespace

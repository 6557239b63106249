#include "input/PadPlayers.h"

#include "config/KeyNames.h"
#include "config/PlayerConfig.h"
#include "config/Settings.h"
#include "flow/GameFlow.h"
#include "game/BattleWorld.h"
#include "game/OrbitCamera.h"
#include "input/PadMapping.h"

#include <algorithm>
#include <cstdio>

void PadPlayers::configure(const Settings &settings) {
    deadZone = static_cast<float>(settings.getDeadZone()) / 100.0f;
    rumble = settings.getRumble();
    bindings = settings.getPadBindings();
    for (int player = 0; player < PadSlots::kMaxPads; ++player)
        slots.remember(player, PadId::parse(settings.getPadId(player)));
}

std::vector<PadId> PadPlayers::connectedIds() const {
    std::vector<PadId> ids;
    for (const auto &[handle, pad] : pads)
        ids.push_back(pad.id);
    return ids;
}

int PadPlayers::padOf(int player) const {
    const std::optional<PadId> id = slots.padOf(player);
    if (!id)
        return -1;
    for (const auto &[handle, pad] : pads)
        if (pad.id == *id)
            return handle;
    return -1;
}

PadPlayers::Report PadPlayers::update(double seconds, GameFlow &flow, int players, int pauseKey) {
    Report report;
    const bool battle = flow.getScreen() == GameFlow::kBattle || flow.getScreen() == GameFlow::kPaused;
    std::vector<int> consumed; // pads whose press a screen or a join took: no key from it
    for (const PadEvent &event : hub.poll(seconds)) {
        const int player = slots.playerOf(event.id);
        switch (event.kind) {
        case PadEvent::Kind::Added:
            pads[event.pad] = Pad{event.id, PadMenuKeys()};
            pads[event.pad].menuKeys.reset(hub.state(event.pad));
            std::printf("Pad connected: %s (%s)%s\n", hub.name(event.pad).c_str(), event.id.text().c_str(),
                        player >= 0 ? (", player " + std::to_string(player + 1)).c_str() : "");
            if (player >= 0)
                flow.padReconnected(player);
            report.changed = true;
            break;
        case PadEvent::Kind::Removed:
            pads.erase(event.pad);
            std::printf("Pad removed: %s\n", event.id.text().c_str());
            if (player >= 0 && player < players)
                flow.padDisconnected(player);
            report.changed = true;
            break;
        case PadEvent::Kind::ButtonDown:
            if (flow.padButtonDown(event.button)) {
                consumed.push_back(event.pad);
            } else if (flow.getScreen() == GameFlow::kLevelChoice &&
                       (event.button == PadButton::A || event.button == PadButton::Start) &&
                       (player < 0 || player >= players)) {
                // A pad no player of this battle has yet: it joins as the first player without one.
                const int joined = slots.claim(event.id, kMaxPlayers, connectedIds());
                consumed.push_back(event.pad);
                if (joined >= 0) {
                    flow.padJoined(joined);
                    report.joined = joined;
                    report.joinedPad = event.id;
                    report.changed = true;
                    std::printf("Player %d joins with pad %s\n", joined + 1, event.id.text().c_str());
                }
            } else if (battle && player >= 0 && player < players) {
                if (event.button == bindings.get(PadBindings::kPause))
                    report.keys.push_back(pauseKey);
                else if (event.button == bindings.get(PadBindings::kLeave))
                    report.keys.push_back(KeyNames::kEscape);
            }
            break;
        case PadEvent::Kind::ButtonUp:
            break;
        }
    }
    std::fflush(stdout);
    // The screens hear every pad's d-pad, stick, A and B; in a battle they are the tank's.
    for (auto &[handle, pad] : pads) {
        const PadState state = hub.state(handle);
        if (battle || std::find(consumed.begin(), consumed.end(), handle) != consumed.end()) {
            pad.menuKeys.reset(state);
            continue;
        }
        for (int key : pad.menuKeys.update(state, seconds))
            report.keys.push_back(key);
    }
    return report;
}

void PadPlayers::addControls(int player, PlayerInput &input) const {
    const int pad = padOf(player);
    if (pad < 0)
        return;
    const PlayerInput fromPad = padDriving(hub.state(pad), bindings, deadZone);
    input.throttle += fromPad.throttle;
    input.turn += fromPad.turn;
    input.fire = input.fire || fromPad.fire;
    input = input.limited();
}

void PadPlayers::steerCamera(int player, OrbitCamera &camera, float dt) const {
    const int pad = padOf(player);
    if (pad < 0)
        return;
    const PadState state = hub.state(pad);
    const PadCamera turn = cameraTurn(state, deadZone);
    camera.setAngleY(camera.getAngleY() + turn.yaw * kCameraDegreesPerSecond * dt);
    camera.setAngleX(camera.getAngleX() + turn.pitch * kCameraDegreesPerSecond * dt);
    camera.zoom(dt, state.pressed(bindings.get(PadBindings::kZoomIn)), state.pressed(bindings.get(PadBindings::kZoomOut)));
}

void PadPlayers::feel(const std::vector<BattleEvent> &events) {
    if (!rumble)
        return;
    for (const BattleEvent &event : events) {
        if (event.kind != BattleEvent::kTankHit && event.kind != BattleEvent::kTankDestroyed)
            continue;
        const int pad = padOf(event.player);
        if (pad < 0)
            continue;
        const bool destroyed = event.kind == BattleEvent::kTankDestroyed;
        hub.rumble(pad, destroyed ? kDestroyedRumble : kHitRumble, destroyed ? kDestroyedRumbleMs : kHitRumbleMs);
    }
}

std::vector<std::string> PadPlayers::controlsLines(int players, const PlayerConfig &keys) const {
    std::vector<std::string> lines;
    for (int player = 0; player < players && player < kMaxPlayers; ++player) {
        std::string line = "Player " + std::to_string(player + 1) + ": ";
        if (player < 2) {
            const bool one = player == 0;
            line += "keyboard (" + KeyNames::display(one ? keys.getUpButton1() : keys.getUpButton2()) + " " +
                    KeyNames::display(one ? keys.getLeftButton1() : keys.getLeftButton2()) + " " +
                    KeyNames::display(one ? keys.getDownButton1() : keys.getDownButton2()) + " " +
                    KeyNames::display(one ? keys.getRightButton1() : keys.getRightButton2()) + ", " +
                    KeyNames::display(one ? keys.getShootButton1() : keys.getShootButton2()) + ")";
        }
        const int pad = padOf(player);
        if (pad >= 0) {
            const std::string name = hub.name(pad);
            line += std::string(player < 2 ? " + " : "") + "pad " + (name.empty() ? slots.padOf(player)->text() : name);
        } else if (slots.padOf(player)) {
            line += std::string(player < 2 ? " + " : "") + "pad (not plugged in)";
        } else if (player >= 2) {
            line += "press A or Start on a pad";
        }
        lines.push_back(line);
    }
    return lines;
}

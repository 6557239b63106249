#include "config/PlayerConfig.h"

#include "config/KeyNames.h"

namespace {
struct ActionText {
    const char *key;   // key in playerconfig.ini
    const char *label; // shown on the Help and Options screens
};
const ActionText kActions[PlayerConfig::kActionCount] = {
    {"buttonup1", "Player 1 forward"},
    {"buttondown1", "Player 1 backward"},
    {"buttonleft1", "Player 1 turn left"},
    {"buttonright1", "Player 1 turn right"},
    {"shoot1", "Player 1 fire"},
    {"buttonup2", "Player 2 forward"},
    {"buttondown2", "Player 2 backward"},
    {"buttonleft2", "Player 2 turn left"},
    {"buttonright2", "Player 2 turn right"},
    {"shoot2", "Player 2 fire"},
    {"buttonmap", "Minimap"},
    {"buttonpause", "Pause"},
    {"zoomin", "Zoom in"},
    {"zoomout", "Zoom out"},
    {"zoomin2", "Player 2 zoom in"},
    {"zoomout2", "Player 2 zoom out"},
    {"screenshot", "Screenshot"},
};
} // namespace

const char *PlayerConfig::fileKey(Action action) {
    return kActions[action].key;
}

const char *PlayerConfig::label(Action action) {
    return kActions[action].label;
}

PlayerConfig PlayerConfig::defaults() {
    PlayerConfig pc;
    pc.useDefaultKeys();
    for (int player = 0; player < kNamedPlayers; ++player)
        pc.setPlayerName(player, defaultName(player));
    return pc;
}

std::string PlayerConfig::defaultName(int player) {
    static const char *const kNumbers[kNamedPlayers] = {"One", "Two", "Three", "Four"};
    return player >= 0 && player < kNamedPlayers ? std::string("Player ") + kNumbers[player] : "";
}

const std::string &PlayerConfig::getPlayerName(int player) const {
    static const std::string none;
    return player >= 0 && player < kNamedPlayers ? names[player] : none;
}

void PlayerConfig::setPlayerName(int player, const std::string &s) {
    if (player >= 0 && player < kNamedPlayers)
        names[player] = s;
}

void PlayerConfig::useDefaultKeys() {
    keysByAction = {'w',
                    's',
                    'a',
                    'd',
                    ' ',
                    KeyNames::special(KeyNames::kGlutUp),
                    KeyNames::special(KeyNames::kGlutDown),
                    KeyNames::special(KeyNames::kGlutLeft),
                    KeyNames::special(KeyNames::kGlutRight),
                    KeyNames::kEnter,
                    'm',
                    'p',
                    '+',
                    '-',
                    KeyNames::special(KeyNames::kGlutPageUp),
                    KeyNames::special(KeyNames::kGlutPageDown),
                    KeyNames::special(KeyNames::kGlutInsert)};
}

PlayerConfig::Action PlayerConfig::actionFor(int code, Action except) const {
    for (int a = 0; a < kActionCount; ++a)
        if (a != except && KeyNames::fold(keysByAction[a]) == KeyNames::fold(code))
            return static_cast<Action>(a);
    return kActionCount;
}

bool PlayerConfig::findConflict(Action &first, Action &second) const {
    for (int a = 0; a < kActionCount; ++a) {
        for (int b = a + 1; b < kActionCount; ++b) {
            // 0 is an empty value: no key, which cannot collide.
            if (keysByAction[a] != 0 && KeyNames::fold(keysByAction[a]) == KeyNames::fold(keysByAction[b])) {
                first = static_cast<Action>(a);
                second = static_cast<Action>(b);
                return true;
            }
        }
    }
    return false;
}

// The session's tick: the world's, then what the sound hears of it; and the view's part of a frame.
#include "game/GameClass.h"

#include "config/KeyNames.h"
#include "objects/Spieler.h"

#include <cstdio>

namespace {
// A bound key is held; codes outside the table never are.
bool held(const bool *keys, int code) {
    return code > 0 && code < KeyNames::kTableSize && keys[code];
}
} // namespace

TickInput GameClass::readKeyboard(const bool *keys) const {
    TickInput input;
    if (const Spieler *one = world.getSpieler1())
        input[0] = one->readKeys(keys);
    if (const Spieler *two = world.getSpieler2())
        input[1] = two->readKeys(keys);
    return input;
}

void GameClass::frame(float dt, const bool *keys, int keyboardPlayer) {
    if (playerConfig != nullptr && keys != nullptr) {
        cameras[keyboardPlayer].zoom(dt, held(keys, playerConfig->getZoomIn()), held(keys, playerConfig->getZoomOut()));
        if (world.getHumanPlayers() >= 2 && keyboardPlayer == 0)
            cameras[1].zoom(dt, held(keys, playerConfig->getZoomIn2()),
                            held(keys, playerConfig->getZoomOut2()));
    }
    if (!bPause)
        options.countDownStatusMessage(dt);
}

int GameClass::tick(const TickInput &input) {
    return tickWith([&input](BattleWorld &battle) { battle.tick(input); });
}

int GameClass::tickWith(const std::function<void(BattleWorld &)> &step) {
    if (bPause)
        return kStepPaused;
    step(world);
    for (const BattleEvent &event : world.getEvents())
        if (event.kind == BattleEvent::kPowerUpTaken)
            sound->playEffect(SoundId::kPowerUp, event.pos);
    if (exitRequested)
        battleSound.reset(*sound); // back to the menu: the battle falls silent
    else
        battleSound.afterStep(*this, *sound, kTickSeconds);
    return exitRequested ? kStepExit : kStepDone;
}

void GameClass::setPause(bool pause) {
    bPause = pause;
    if (pause)
        sound->pauseBattle();
    else
        sound->resumeBattle();
}

void GameClass::setExitVar(bool exit) {
    exitRequested = exit;
    if (exit)
        battleSound.reset(*sound);
}

void GameClass::setSound(std::unique_ptr<SoundSystem> system) {
    if (system != nullptr) {
        battleSound.reset(*sound);
        sound = std::move(system);
    }
}

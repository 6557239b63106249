#include "game/BattleLoop.h"

#include "game/GameClass.h"
#include "math/StateHash.h"
#include "replay/ReplayFile.h"
#include "replay/ReplayPlayback.h"

#include <cstdio>

void BattleLoop::start(Role r) {
    role = r;
    link = nullptr;
    recording = nullptr;
    playback = nullptr;
    paused = false;
    diverged = false;
    ticks = 0;
    pacer.reset();
}

void BattleLoop::startLocal(Replay *record) {
    start(Role::kLocal);
    recording = record;
}

void BattleLoop::startHost(BattleLink &network, Replay *record) {
    start(Role::kHost);
    link = &network;
    recording = record;
}

void BattleLoop::startClient(BattleLink &network) {
    start(Role::kClient);
    link = &network;
}

void BattleLoop::startReplay(ReplayPlayback &watched) {
    start(Role::kReplay);
    playback = &watched;
}

void BattleLoop::stop() {
    start(Role::kNone);
}

void BattleLoop::setPaused(bool pause) {
    if (paused && !pause)
        pacer.reset(); // the paused time never reaches the world
    paused = pause;
}

bool BattleLoop::replayOver() const {
    return role == Role::kReplay && playback->isOver();
}

int BattleLoop::advance(double seconds, std::uint32_t nowMs) {
    if (role == Role::kNone || paused)
        return 0;
    if (hooks.viewTime && seconds > 0.0)
        hooks.viewTime(static_cast<float>(seconds));
    const double speed = role == Role::kReplay ? playback->getSpeed() : 1.0;
    int ran = 0;
    for (int due = pacer.advance(seconds * speed); due > 0; --due) {
        if (!runTick(nowMs))
            break;
        ++ran;
        if (hooks.afterTick && !hooks.afterTick())
            break;
    }
    return ran;
}

bool BattleLoop::step(std::uint32_t nowMs) {
    if (role == Role::kNone || paused)
        return false;
    if (hooks.viewTime)
        hooks.viewTime(BattleWorld::kTickSeconds);
    if (!runTick(nowMs))
        return false;
    if (hooks.afterTick)
        hooks.afterTick();
    return true;
}

bool BattleLoop::runTick(std::uint32_t nowMs) {
    BattleWorld &world = game.getWorld();
    switch (role) {
    case Role::kNone:
        return false;
    case Role::kReplay: {
        TickInput input;
        if (!playback->nextInput(input))
            return false; // every recorded tick has run: the picture stands
        game.tick(input);
        const std::uint64_t hash = world.stateHash();
        if (playback->check(hash)) {
            diverged = true;
            std::printf("Replay diverged at tick %zu\n", playback->getDivergedAt());
            std::fflush(stdout);
        }
        if (playback->isOver() && hooks.replayOver)
            hooks.replayOver(playback->getTicksDone(), hash);
        break;
    }
    case Role::kClient: {
        // This machine's player drives with player one's controls; the host decides the rest.
        for (int run = link->clientTicks(1); run > 0; --run) {
            const PlayerInput controls = hooks.controls ? hooks.controls()[0] : PlayerInput{};
            game.tickWith([this, &controls, nowMs](BattleWorld &followed) {
                link->clientTick(followed, controls, nowMs);
            });
        }
        break;
    }
    case Role::kLocal:
    case Role::kHost: {
        TickInput input = hooks.controls ? hooks.controls() : TickInput{};
        for (PlayerInput &controls : input)
            controls = Replay::quantize(controls); // the world gets what the replay keeps
        if (role == Role::kHost) { // the other players' controls come from their machines
            for (std::size_t player = 1; player < input.size(); ++player)
                input[player] = PlayerInput{};
            link->fillInputs(input, world.getTickCount() + 1);
        }
        game.tick(input);
        if (role == Role::kHost)
            link->afterHostTick(world, nowMs);
        if (recording != nullptr)
            recording->addTick(input, world.stateHash());
        break;
    }
    }
    ++ticks;
    return true;
}

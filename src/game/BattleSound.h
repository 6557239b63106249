#pragma once

#include "game/BattleRules.h"
#include "game/ViewEars.h"

#include <map>
#include <string>

class GameClass;
class SoundSystem;

// Hears the battle: after every step it compares the session's shells and tanks with the step
// before and turns what changed into sounds (a new shell is a shot, a burst a hit, a tank going up
// an explosion), keeps an engine loop on each tank and a fire loop on each burning one, and puts
// the ear at the first view's camera, each sound as near and to the side of it as the sound is of
// the nearest view's camera, so that every player hears their own battle. It only reads the session.
class BattleSound {
  public:
    static constexpr float kIdlePitch = 0.8f;    // engine pitch standing still
    static constexpr float kFullPitch = 1.6f;    // engine pitch at full forward speed
    static constexpr float kIdleGain = 0.45f;    // engine gain standing still
    static constexpr float kTankHitRange = 6.0f; // units: a burst this close to a tank struck it
    static constexpr float kHouseRange = 8.0f;   // units: a shell stopped this close to an object hit it
    static constexpr float kStoppedFraction =
        0.5f; // of the launch speed along the flight: less means it struck
    static constexpr float kSpeedSmoothing = 0.15f; // seconds over which the heard speed follows the tank

    // Engine pitch and gain for a speed over the ground and the tank's top speed (either sign).
    static float enginePitch(float speed, float maxSpeed);
    static float engineGain(float speed, float maxSpeed);

    // One step of `dt` seconds of `game` is over: sounds for what changed.
    void afterStep(GameClass &game, SoundSystem &sound, float dt);
    // A level starts or ends: every battle sound stops and nothing is remembered.
    void reset(SoundSystem &sound);

  private:
    struct Shell {
        int status = 0;      // 1 flying, 2 exploding
        bool struck = false; // its impact has been heard already
    };

    void hearShells(GameClass &game, SoundSystem &sound);
    void hearTanks(GameClass &game, SoundSystem &sound, float dt);
    void placeListener(GameClass &game, SoundSystem &sound);
    // Where the ear hears a sound at the world position `pos`.
    std::array<float, 3> heard(const float *pos) const { return ears.place(pos); }

    ViewEars ears; // every view's camera as of this step, the listener's first

    std::map<std::string, Shell> shells; // by actor name, as of the last step
    struct Tank {
        int status = 0;           // 1 intact, 3 damaged, 4 exploding, 5 destroyed
        float pos[3] = {0, 0, 0}; // world position
        float speed = 0.0f;       // units per second over the ground, smoothed
    };
    std::map<const void *, Tank> tanks; // by tank (compared, never read through), as of the last step
    BattleRules::Outcome lastOutcome = BattleRules::kRunning; // as of the last step, so a sting plays once
};

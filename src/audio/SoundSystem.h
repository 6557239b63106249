#pragma once

#include "audio/SoundId.h"

#include <memory>
#include <string>

// What the game asks of sound: effects at a place, loops that follow an object, the listener, the
// volumes and the pause of the battle. Whether a device plays it or nothing does is the audio
// module's business; the game never asks.
class SoundSystem {
  public:
    virtual ~SoundSystem() = default;

    // Opens the default audio device and loads every sound of `soundDir` (ending with a slash).
    // Without a device one line says that sound is off and a silent system comes back; a sound
    // file that is missing or broken gives one "Error: " line and only that sound stays silent.
    static std::unique_ptr<SoundSystem> open(const std::string &soundDir);

    // A battle effect at `position` (three floats, world axes), louder or softer by `gain`.
    virtual void playEffect(SoundId id, const float *position, float gain = 1.0f) = 0;
    // A sound of the interface (menu, stings): not placed in the world, not paused with the battle.
    virtual void playInterface(SoundId id) = 0;
    // The sting that ends a battle.
    void playSting(bool won) { playInterface(won ? SoundId::kMissionComplete : SoundId::kMissionFailed); }

    // Starts the loop `id` of `owner` or moves it on: position (three floats), pitch (1 = as
    // recorded) and gain. `owner` only tells loops apart; it is never read through.
    virtual void setLoop(const void *owner, SoundId id, const float *position, float pitch, float gain) = 0;
    virtual void stopLoop(const void *owner, SoundId id) = 0;
    // Ends every battle sound, loops included (a level ends or starts).
    virtual void stopBattle() = 0;

    // The ear: position, where it looks and which way is up (three floats each).
    virtual void setListener(const float *position, const float *forward, const float *up) = 0;

    // Volumes from 0 to 100: master scales everything, effects the battle effects and the
    // interface, engine the engine loops.
    virtual void setMasterVolume(int percent) = 0;
    virtual void setEffectsVolume(int percent) = 0;
    virtual void setEngineVolume(int percent) = 0;
    virtual void setMute(bool mute) = 0;

    // Holds every battle sound where it is and lets it go on; the interface keeps playing.
    virtual void pauseBattle() = 0;
    virtual void resumeBattle() = 0;

    // Once per frame: frees the voices that have finished.
    virtual void update() = 0;

    // Seconds of sound the device has put out since it opened; 0 without a device.
    virtual double getDeviceSeconds() const = 0;
};

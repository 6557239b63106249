#pragma once

#include "audio/SoundSystem.h"

// The sound system of a machine without audio: every request is taken and nothing is heard.
class SilentSound : public SoundSystem {
  public:
    void playEffect(SoundId, const float *, float) override {}
    void playInterface(SoundId) override {}
    void setLoop(const void *, SoundId, const float *, float, float) override {}
    void stopLoop(const void *, SoundId) override {}
    void stopBattle() override {}
    void setListener(const float *, const float *, const float *) override {}
    void setMasterVolume(int) override {}
    void setEffectsVolume(int) override {}
    void setEngineVolume(int) override {}
    void setMute(bool) override {}
    void pauseBattle() override {}
    void resumeBattle() override {}
    void update() override {}
    double getDeviceSeconds() const override { return 0.0; }
};

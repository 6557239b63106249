#pragma once

#include "audio/SoundSystem.h"
#include "audio/VoiceTable.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

// Sound through OpenAL: one buffer per sound, a fixed pool of voices shared by effects, loops and
// the interface, the listener at the camera. The only place of the game that speaks OpenAL.
class OpenAlSound : public SoundSystem {
  public:
    static constexpr std::size_t kVoices = 24; // sounds heard at once

    // Opens the default device; null when there is none (or only OpenAL's silent stand-in).
    static std::unique_ptr<OpenAlSound> openDevice();
    ~OpenAlSound() override;
    OpenAlSound(const OpenAlSound &) = delete;
    OpenAlSound &operator=(const OpenAlSound &) = delete;

    // Loads every sound of the folder; each that fails has said why and stays silent.
    void loadSounds(const std::string &soundDir);
    bool hasSound(SoundId id) const { return buffers[index(id)] != 0; }
    const std::string &getDeviceName() const { return deviceName; }
    std::size_t getBusyVoices() const { return table.busyCount(); }

    void playEffect(SoundId id, const float *position, float gain = 1.0f) override;
    void playInterface(SoundId id) override;
    void setLoop(const void *owner, SoundId id, const float *position, float pitch, float gain) override;
    void stopLoop(const void *owner, SoundId id) override;
    void stopBattle() override;
    void setListener(const float *position, const float *forward, const float *up) override;
    void setMasterVolume(int percent) override;
    void setEffectsVolume(int percent) override;
    void setEngineVolume(int percent) override;
    void setMute(bool mute) override;
    void pauseBattle() override;
    void resumeBattle() override;
    void update() override;
    double getDeviceSeconds() const override;

  private:
    enum class Kind { kEffect, kLoop, kInterface };

    // What a busy voice plays.
    struct VoiceUse {
        Kind kind = Kind::kEffect;     // effect, loop or interface sound
        SoundId id = SoundId::kCount;  // which sound
        const void *owner = nullptr;   // loops: whose loop
        float gain = 1.0f;             // as asked, before the volumes
        float position[3] = {0, 0, 0}; // world axes; unused for the interface
    };

    OpenAlSound(void *device, void *context, std::string deviceName);
    static std::size_t index(SoundId id) { return static_cast<std::size_t>(id); }

    int startVoice(Kind kind, SoundId id, const float *position, float gain);
    void stopVoice(std::size_t voice);
    int findLoop(const void *owner, SoundId id) const;
    float volumeOf(const VoiceUse &use) const;   // 0..1 from the volume settings
    float loudnessOf(const VoiceUse &use) const; // as heard at the listener, for the voice cap
    void applyGain(std::size_t voice);
    void applyAllGains();
    void announce(SoundId id) const; // recording: when each sound started

    void *device;                                    // ALCdevice
    void *context;                                   // ALCcontext
    std::string deviceName;                          // as the device calls itself
    bool recording = false;                          // output goes to a wave file
    void *clockQuery = nullptr;                      // alcGetInteger64vSOFT, when the device has it
    std::array<unsigned int, kSoundCount> buffers{}; // 0: sound not loaded
    std::array<unsigned int, kVoices> sources{};     // one OpenAL source per voice
    std::array<VoiceUse, kVoices> uses{};            // what each busy voice plays
    VoiceTable table{kVoices};                       // which voices are busy, and which gives way
    float listener[3] = {0, 0, 0};                   // world position of the ear
    float master = 1.0f;                             // 0..1
    float effects = 1.0f;                            // 0..1
    float engines = 1.0f;                            // 0..1
    bool muted = false;                              // nothing is heard, whatever the volumes
    bool battlePaused = false;                       // battle voices held; interface voices play on
};

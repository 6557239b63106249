#include "audio/SoundSystem.h"

#include "audio/OpenAlSound.h"
#include "audio/SilentSound.h"

#include <cstdio>

std::unique_ptr<SoundSystem> SoundSystem::open(const std::string &soundDir) {
    std::unique_ptr<OpenAlSound> sound = OpenAlSound::openDevice();
    if (sound == nullptr) {
        std::printf("No audio device: sound is off\n");
        std::fflush(stdout);
        return std::make_unique<SilentSound>();
    }
    sound->loadSounds(soundDir);
    return sound;
}

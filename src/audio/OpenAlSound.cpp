#include "audio/OpenAlSound.h"

#include "audio/DistanceModel.h"
#include "audio/SoundDecoder.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace {

// OpenAL Soft's stand-in when no output works: it plays into nothing, so it counts as no device.
constexpr const char *kSilentDeviceName = "No Output";
// OpenAL Soft's file output (its "wave" backend): sound goes to a recording.
constexpr const char *kRecordingDeviceName = "Wave File Writer";

ALCdevice *asDevice(void *p) {
    return static_cast<ALCdevice *>(p);
}

// While OpenAL looks for an output, the libraries behind it (ALSA above all) print their failures
// to try each one on standard error. Those are no errors of the game: a machine without sound is
// told in one line, so their chatter goes nowhere until the device is open.
class QuietStderr {
  public:
    QuietStderr() {
        std::fflush(stderr);
        saved = dup(STDERR_FILENO);
        const int null = ::open("/dev/null", O_WRONLY);
        if (saved >= 0 && null >= 0) {
            dup2(null, STDERR_FILENO);
        }
        if (null >= 0) {
            close(null);
        }
    }
    ~QuietStderr() {
        std::fflush(stderr);
        if (saved >= 0) {
            dup2(saved, STDERR_FILENO);
            close(saved);
        }
    }
    QuietStderr(const QuietStderr &) = delete;
    QuietStderr &operator=(const QuietStderr &) = delete;

  private:
    int saved = -1; // the real standard error
};

float percentToGain(int percent) {
    return static_cast<float>(std::clamp(percent, 0, 100)) / 100.0f;
}

} // namespace

std::unique_ptr<OpenAlSound> OpenAlSound::openDevice() {
    QuietStderr quiet;
    ALCdevice *dev = alcOpenDevice(nullptr);
    if (dev == nullptr) {
        return nullptr;
    }
    // OpenAL Soft calls every device "OpenAL Soft"; the output's own name is the enumerated one.
    const ALCchar *outputName = alcIsExtensionPresent(nullptr, "ALC_ENUMERATE_ALL_EXT")
                                    ? alcGetString(dev, ALC_ALL_DEVICES_SPECIFIER)
                                    : alcGetString(dev, ALC_DEVICE_SPECIFIER);
    const std::string name = outputName != nullptr ? outputName : "";
    if (name == kSilentDeviceName) {
        alcCloseDevice(dev);
        return nullptr;
    }
    ALCcontext *ctx = alcCreateContext(dev, nullptr);
    if (ctx == nullptr || alcMakeContextCurrent(ctx) != ALC_TRUE) {
        if (ctx != nullptr) {
            alcDestroyContext(ctx);
        }
        alcCloseDevice(dev);
        return nullptr;
    }
    return std::unique_ptr<OpenAlSound>(new OpenAlSound(dev, ctx, name));
}

OpenAlSound::OpenAlSound(void *dev, void *ctx, std::string name)
    : device(dev), context(ctx), deviceName(std::move(name)) {
    recording = deviceName == kRecordingDeviceName;
    if (alcIsExtensionPresent(asDevice(device), "ALC_SOFT_device_clock")) {
        clockQuery = reinterpret_cast<void *>(alcGetProcAddress(asDevice(device), "alcGetInteger64vSOFT"));
    }
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    alGenSources(static_cast<ALsizei>(sources.size()), sources.data());
    for (ALuint s : sources) {
        alSourcef(s, AL_REFERENCE_DISTANCE, DistanceModel::kReferenceDistance);
        alSourcef(s, AL_MAX_DISTANCE, DistanceModel::kMaxDistance);
        alSourcef(s, AL_ROLLOFF_FACTOR, DistanceModel::kRolloff);
    }
    const float forward[3] = {0, 0, -1};
    const float up[3] = {0, 1, 0};
    setListener(listener, forward, up);
    alListenerf(AL_GAIN, master);
}

OpenAlSound::~OpenAlSound() {
    for (ALuint s : sources) {
        alSourceStop(s);
        alSourcei(s, AL_BUFFER, 0);
    }
    alDeleteSources(static_cast<ALsizei>(sources.size()), sources.data());
    for (ALuint b : buffers) {
        if (b != 0) {
            alDeleteBuffers(1, &b);
        }
    }
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(static_cast<ALCcontext *>(context));
    alcCloseDevice(asDevice(device));
}

void OpenAlSound::loadSounds(const std::string &soundDir) {
    for (std::size_t i = 0; i < kSoundCount; ++i) {
        SoundDecoder::Pcm pcm;
        if (!SoundDecoder::decodeFile(soundDir + kSoundFileNames[i], pcm)) {
            continue;
        }
        ALuint buffer = 0;
        alGetError();
        alGenBuffers(1, &buffer);
        alBufferData(buffer, AL_FORMAT_MONO16, pcm.samples.data(),
                     static_cast<ALsizei>(pcm.samples.size() * sizeof(int16_t)), pcm.sampleRate);
        if (alGetError() != AL_NO_ERROR) {
            std::fprintf(stderr, "Error: %s%s: the sound device refused it\n", soundDir.c_str(),
                         kSoundFileNames[i]);
            alDeleteBuffers(1, &buffer);
            continue;
        }
        buffers[i] = buffer;
    }
}

float OpenAlSound::volumeOf(const VoiceUse &use) const {
    return use.kind == Kind::kLoop && use.id == SoundId::kEngine ? engines : effects;
}

float OpenAlSound::loudnessOf(const VoiceUse &use) const {
    float gain = use.gain * volumeOf(use);
    if (use.kind != Kind::kInterface) {
        const float dx = use.position[0] - listener[0];
        const float dy = use.position[1] - listener[1];
        const float dz = use.position[2] - listener[2];
        gain *= DistanceModel::gainAt(std::sqrt(dx * dx + dy * dy + dz * dz));
    }
    return gain;
}

void OpenAlSound::applyGain(std::size_t voice) {
    alSourcef(sources[voice], AL_GAIN, uses[voice].gain * volumeOf(uses[voice]));
}

void OpenAlSound::applyAllGains() {
    for (std::size_t v = 0; v < kVoices; ++v) {
        if (table.at(v).busy) {
            applyGain(v);
        }
    }
}

int OpenAlSound::startVoice(Kind kind, SoundId id, const float *position, float gain) {
    if (index(id) >= kSoundCount || buffers[index(id)] == 0) {
        return -1; // a sound that did not load stays silent
    }
    update(); // voices whose sound has ended are free again, also in the menu where no step runs
    VoiceUse use;
    use.kind = kind;
    use.id = id;
    use.gain = std::max(0.0f, gain);
    if (position != nullptr) {
        std::copy(position, position + 3, use.position);
    }
    const int voice = table.claim(loudnessOf(use));
    if (voice < 0) {
        return -1;
    }
    const std::size_t v = static_cast<std::size_t>(voice);
    const ALuint s = sources[v];
    alSourceStop(s); // the voice may have been taken from a quieter sound
    uses[v] = use;
    alSourcei(s, AL_BUFFER, static_cast<ALint>(buffers[index(id)]));
    alSourcei(s, AL_LOOPING, kind == Kind::kLoop ? AL_TRUE : AL_FALSE);
    alSourcei(s, AL_SOURCE_RELATIVE, kind == Kind::kInterface ? AL_TRUE : AL_FALSE);
    alSourcef(s, AL_PITCH, 1.0f);
    alSource3f(s, AL_POSITION, use.position[0], use.position[1], use.position[2]);
    if (kind == Kind::kInterface) {
        alSource3f(s, AL_POSITION, 0.0f, 0.0f, 0.0f);
    }
    applyGain(v);
    return voice;
}

void OpenAlSound::stopVoice(std::size_t voice) {
    alSourceStop(sources[voice]);
    alSourcei(sources[voice], AL_BUFFER, 0);
    uses[voice] = VoiceUse();
    table.release(voice);
}

int OpenAlSound::findLoop(const void *owner, SoundId id) const {
    for (std::size_t v = 0; v < kVoices; ++v) {
        if (table.at(v).busy && uses[v].kind == Kind::kLoop && uses[v].owner == owner && uses[v].id == id) {
            return static_cast<int>(v);
        }
    }
    return -1;
}

void OpenAlSound::announce(SoundId id) const {
    if (recording) {
        // A recording is only worth something if one can tell when each sound was asked for.
        std::printf("Sound %s at %.3f s\n", soundFileName(id), getDeviceSeconds());
        std::fflush(stdout);
    }
}

void OpenAlSound::playEffect(SoundId id, const float *position, float gain) {
    if (battlePaused) {
        return;
    }
    const int voice = startVoice(Kind::kEffect, id, position, gain);
    if (voice >= 0) {
        alSourcePlay(sources[static_cast<std::size_t>(voice)]);
        announce(id);
    }
}

void OpenAlSound::playInterface(SoundId id) {
    const int voice = startVoice(Kind::kInterface, id, nullptr, 1.0f);
    if (voice >= 0) {
        alSourcePlay(sources[static_cast<std::size_t>(voice)]);
        announce(id);
    }
}

void OpenAlSound::setLoop(const void *owner, SoundId id, const float *position, float pitch, float gain) {
    int voice = findLoop(owner, id);
    const bool fresh = voice < 0;
    if (fresh) {
        voice = startVoice(Kind::kLoop, id, position, gain);
        if (voice < 0) {
            return;
        }
        uses[static_cast<std::size_t>(voice)].owner = owner;
    }
    const std::size_t v = static_cast<std::size_t>(voice);
    VoiceUse &use = uses[v];
    use.gain = std::max(0.0f, gain);
    if (position != nullptr) {
        std::copy(position, position + 3, use.position);
    }
    const ALuint s = sources[v];
    alSource3f(s, AL_POSITION, use.position[0], use.position[1], use.position[2]);
    alSourcef(s, AL_PITCH, std::clamp(pitch, 0.25f, 4.0f));
    applyGain(v);
    table.setLoudness(v, loudnessOf(use));
    if (fresh) {
        if (battlePaused) {
            alSourcePause(s); // starts with the rest of the battle
        } else {
            alSourcePlay(s);
        }
    }
}

void OpenAlSound::stopLoop(const void *owner, SoundId id) {
    const int voice = findLoop(owner, id);
    if (voice >= 0) {
        stopVoice(static_cast<std::size_t>(voice));
    }
}

void OpenAlSound::stopBattle() {
    for (std::size_t v = 0; v < kVoices; ++v) {
        if (table.at(v).busy && uses[v].kind != Kind::kInterface) {
            stopVoice(v);
        }
    }
    battlePaused = false;
}

void OpenAlSound::setListener(const float *position, const float *forward, const float *up) {
    if (position != nullptr) {
        std::copy(position, position + 3, listener);
    }
    alListener3f(AL_POSITION, listener[0], listener[1], listener[2]);
    if (forward != nullptr && up != nullptr) {
        const ALfloat orientation[6] = {forward[0], forward[1], forward[2], up[0], up[1], up[2]};
        alListenerfv(AL_ORIENTATION, orientation);
    }
}

void OpenAlSound::setMasterVolume(int percent) {
    master = percentToGain(percent);
    alListenerf(AL_GAIN, muted ? 0.0f : master);
}

void OpenAlSound::setEffectsVolume(int percent) {
    effects = percentToGain(percent);
    applyAllGains();
}

void OpenAlSound::setEngineVolume(int percent) {
    engines = percentToGain(percent);
    applyAllGains();
}

void OpenAlSound::setMute(bool mute) {
    muted = mute;
    alListenerf(AL_GAIN, muted ? 0.0f : master);
}

void OpenAlSound::pauseBattle() {
    if (battlePaused) {
        return;
    }
    battlePaused = true;
    for (std::size_t v = 0; v < kVoices; ++v) {
        if (table.at(v).busy && uses[v].kind != Kind::kInterface) {
            alSourcePause(sources[v]);
        }
    }
}

void OpenAlSound::resumeBattle() {
    if (!battlePaused) {
        return;
    }
    battlePaused = false;
    for (std::size_t v = 0; v < kVoices; ++v) {
        ALint state = AL_STOPPED;
        alGetSourcei(sources[v], AL_SOURCE_STATE, &state);
        if (table.at(v).busy && uses[v].kind != Kind::kInterface &&
            (state == AL_PAUSED || state == AL_INITIAL)) {
            alSourcePlay(sources[v]);
        }
    }
}

void OpenAlSound::update() {
    for (std::size_t v = 0; v < kVoices; ++v) {
        if (!table.at(v).busy || uses[v].kind == Kind::kLoop) {
            continue;
        }
        ALint state = AL_STOPPED;
        alGetSourcei(sources[v], AL_SOURCE_STATE, &state);
        if (state == AL_STOPPED || state == AL_INITIAL) {
            stopVoice(v);
        }
    }
}

double OpenAlSound::getDeviceSeconds() const {
    if (clockQuery == nullptr) {
        return 0.0;
    }
    ALCint64SOFT nanoseconds = 0;
    reinterpret_cast<LPALCGETINTEGER64VSOFT>(clockQuery)(asDevice(device), ALC_DEVICE_CLOCK_SOFT, 1,
                                                         &nanoseconds);
    return static_cast<double>(nanoseconds) / 1e9;
}

// Fuzz target: the sound decoder, fed the bytes of a sound file as the game reads them.
#include "audio/SoundDecoder.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    SoundDecoder::Pcm pcm;
    std::string problem;
    if (SoundDecoder::decode(data, size, pcm, problem) && (pcm.samples.empty() || pcm.sampleRate <= 0)) {
        __builtin_trap(); // a success must hand back something playable
    }
    return 0;
}

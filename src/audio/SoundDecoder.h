#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Turns a sound file (WAV, Ogg Vorbis or FLAC, read by libsndfile) into mono 16-bit samples.
class SoundDecoder {
  public:
    // Refuses longer sounds: nothing the game plays lasts a minute.
    static constexpr double kMaxSeconds = 60.0;

    struct Pcm {
        int sampleRate = 0;           // samples per second
        std::vector<int16_t> samples; // mono, channels averaged
    };

    // Decodes the bytes of a whole file. False with a short reason in `problem` when they are no
    // WAV, Ogg or FLAC file libsndfile can read, hold no samples, or an absurd rate or length.
    static bool decode(const unsigned char *data, std::size_t size, Pcm &out, std::string &problem);
    // Reads and decodes a file; a failure prints "Error: <path>: <problem>" once and returns false.
    static bool decodeFile(const std::string &path, Pcm &out);
};

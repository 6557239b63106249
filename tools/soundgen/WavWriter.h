#pragma once

#include "Signal.h"

#include <string>

// Writes a signal as a 16-bit mono PCM WAV file.
class WavWriter {
  public:
    // False (and one "Error: " line) when the file cannot be written.
    static bool write(const std::string &path, const Signal &signal);
};

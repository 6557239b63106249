#pragma once

#include "Canvas.h"

#include <string>

// Writes canvases as PNG files with stb_image_write; the same canvas always gives the same bytes.
class PngWriter {
  public:
    // `channels` 3 drops the alpha channel, 4 keeps it. False with a reason in `error` on failure.
    static bool write(const std::string &path, const Canvas &canvas, int channels, bool dither,
                      std::string &error);
};

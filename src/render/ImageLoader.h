#pragma once

#include "render/DevilImageDefinition.h"

#include <string>

// Decodes PNG and JPEG files into RGB or RGBA byte images with the DevIL image
// library. Files are checked (ImageFileCheck) before DevIL sees them and read
// into memory once, so the bytes checked are the bytes decoded.
class ImageLoader {
  public:
    ImageLoader(); // initialises DevIL on the first construction in the process

    // The decoded image, rows top first, 3 bytes per pixel for RGB files and 4
    // for everything else; the pixels belong to DevIL until closeImage. A file
    // that cannot be read or decoded gives one "Error: " line naming it and an
    // empty record (no pixels, DevIL name 0).
    DevilImageDefinition loadImage(const std::string &path) const;

    // Releases the decoder's image of `image` (nothing for DevIL name 0).
    void closeImage(const DevilImageDefinition &image) const;
};

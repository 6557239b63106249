#pragma once

#include "render/DevilImageDefinition.h"

// Uploads images as square power-of-two OpenGL textures. The wrap mode and the
// mipmap switch are class-wide: callers set them around their own uploads (the
// sky box clamps, terrain and models ask for mipmaps) and put them back after.
class TextureGenerator {
  public:
    // Uploads `image` as a new 2D texture, bound on return, and returns its name.
    // The image is first scaled to a square whose side is the power of two at
    // or above its larger side (at most the driver's limit); afterwards `image`
    // describes that square copy, which the record owns. An image without
    // usable pixels uploads nothing and gives 0. Needs a current GL context.
    unsigned int generate(DevilImageDefinition &image) const;

    // The smallest power of two at or above `size`: 1 for sizes up to 1, and
    // never more than 2^30, the largest power of two an int holds.
    static int getPowerOf2Size(int size);

    static void setTexWrapMode(unsigned int mode) { TexWrapMode = mode; }
    static unsigned int getTexWrapMode() { return TexWrapMode; }
    static void setMipmapGeneration(bool flag) { GenerateMipmap = flag; }
    static bool isMipmapGeneration() { return GenerateMipmap; }

  private:
    static unsigned int TexWrapMode; // GL_REPEAT or GL_CLAMP_TO_EDGE for the next uploads
    static bool GenerateMipmap;      // next uploads get mipmap levels 1 to 5
};

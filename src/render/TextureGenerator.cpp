#include "render/TextureGenerator.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif

unsigned int TextureGenerator::TexWrapMode = GL_REPEAT;
bool TextureGenerator::GenerateMipmap = false;

int TextureGenerator::getPowerOf2Size(int size) {
    constexpr int kLargest = 1 << 30;
    if (size > kLargest) {
        return kLargest;
    }
    int p = 1;
    while (size > p) {
        p *= 2;
    }
    return p;
}

unsigned int TextureGenerator::generate(DevilImageDefinition &image) const {
    if (!image.hasPixels()) {
        return 0;
    }
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    int side = getPowerOf2Size(std::max(image.getIlImageWidth(), image.getIlImageHeight()));
    while (maxSide > 0 && side > maxSide) {
        side /= 2; // beyond the driver's limit the image is scaled down instead
    }
    const GLenum format = static_cast<GLenum>(image.getIlImageFormat());
    const int depth = image.getIlImageColorDepth();

    // Rows are tightly packed: RGB rows are rarely a multiple of four bytes.
    // GLU's scaler reads the pack state for its output and the unpack state
    // for its input, so both are set, and the caller's state comes back after.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    for (GLenum store : {GL_PACK_ALIGNMENT, GL_UNPACK_ALIGNMENT}) {
        glPixelStorei(store, 1);
    }
    for (GLenum store : {GL_PACK_ROW_LENGTH, GL_PACK_SKIP_ROWS, GL_PACK_SKIP_PIXELS, GL_UNPACK_ROW_LENGTH,
                         GL_UNPACK_SKIP_ROWS, GL_UNPACK_SKIP_PIXELS}) {
        glPixelStorei(store, 0);
    }
    glPixelStorei(GL_PACK_SWAP_BYTES, GL_FALSE);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    glPixelStorei(GL_PACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);

    DevilImageDefinition square = image;
    unsigned char *scaled = square.allocateImageData(side, side, depth);
    bool ok = scaled != nullptr;
    if (ok && image.getIlImageWidth() == side && image.getIlImageHeight() == side) {
        std::memcpy(scaled, image.getIlImageData(), square.getImageDataSize());
    } else if (ok) {
        // Non-square images are stretched to the square.
        ok = gluScaleImage(format, image.getIlImageWidth(), image.getIlImageHeight(), GL_UNSIGNED_BYTE,
                           image.getIlImageData(), side, side, GL_UNSIGNED_BYTE, scaled) == 0;
    }
    if (!ok) {
        glPopClientAttrib();
        std::fprintf(stderr, "Error: could not scale a %d x %d image to %d x %d for upload\n",
                     image.getIlImageWidth(), image.getIlImageHeight(), side, side);
        return 0;
    }
    image = square;

    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    // Clamped textures (the sky box) are sampled nearest so that no filter
    // reaches across a seam; everything else is filtered linearly.
    const GLint filter = TexWrapMode == GL_CLAMP_TO_EDGE ? GL_NEAREST : GL_LINEAR;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLint>(TexWrapMode));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLint>(TexWrapMode));
    if (GenerateMipmap) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 5);
    }
    glTexImage2D(GL_TEXTURE_2D, 0, depth, side, side, 0, format, GL_UNSIGNED_BYTE, image.getIlImageData());
    if (GenerateMipmap) {
        gluBuild2DMipmaps(GL_TEXTURE_2D, depth, side, side, format, GL_UNSIGNED_BYTE, image.getIlImageData());
    }
    glPopClientAttrib();
    return name;
}

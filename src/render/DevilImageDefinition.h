#pragma once

#include <cstddef>
#include <memory>
#include <vector>

// One image of the texture registry: its size and pixel layout, the decoder's
// handle, the OpenGL texture once uploaded, and a pointer to its pixels.
// Copied by value into and out of the registry. The pixels either belong to the
// decoder (images read from files, released by ImageLoader::closeImage) or to
// the record itself (scaled upload copies and images computed in memory), in
// which case every copy of the record shares them.
class DevilImageDefinition {
  public:
    int getIlImageWidth() const { return iImageWidth; }
    void setIlImageWidth(int width) { iImageWidth = width; }
    int getIlImageHeight() const { return iImageHeight; }
    void setIlImageHeight(int height) { iImageHeight = height; }
    int getIlImageColorDepth() const { return iColorDepth; }
    void setIlImageColorDepth(int depth) { iColorDepth = depth; }
    int getIlImageFormat() const { return iImageFormat; }
    void setIlImageFormat(int format) { iImageFormat = format; }
    unsigned int getGlTextureID() const { return uiGlTextureID; }
    void setGlTextureID(unsigned int id) { uiGlTextureID = id; }
    unsigned int getIlTextureID() const { return uiIlTextureID; }
    void setIlTextureID(unsigned int id) { uiIlTextureID = id; }
    unsigned char *getIlImageData() const { return pImageData; }
    void setIlImageData(unsigned char *data) { pImageData = data; } // not owned by the record

    // Gives the record its own zero-filled pixels of width·height·depth bytes
    // (depth 3: GL_RGB, 4: GL_RGBA) and points the image data at them; the
    // size, depth and format members follow. Returns the pixels, or null (and
    // an empty record) for a size or depth that cannot be an image.
    unsigned char *allocateImageData(int width, int height, int colorDepth);

    // True when the record describes pixels that can be uploaded: data set,
    // positive size, and depth and format agreeing (3 with GL_RGB, 4 with GL_RGBA).
    bool hasPixels() const;

    // width·height·depth in bytes; 0 for a record without a usable layout.
    std::size_t getImageDataSize() const;

  private:
    int iImageWidth = 0;                 // pixels
    int iImageHeight = 0;                // pixels
    int iColorDepth = 0;                 // bytes per pixel, 3 or 4
    int iImageFormat = 0;                // GL_RGB or GL_RGBA
    unsigned int uiGlTextureID = 0;      // 0 = not uploaded yet
    unsigned int uiIlTextureID = 0;      // decoder's image name, 0 = none
    unsigned char *pImageData = nullptr; // rows of tightly packed unsigned-byte pixels, top row first
    std::shared_ptr<std::vector<unsigned char>> ownedData; // pixels this record (and its copies) keep alive
};

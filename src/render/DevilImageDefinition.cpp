#include "render/DevilImageDefinition.h"

#include <GL/gl.h>

#include <limits>

unsigned char *DevilImageDefinition::allocateImageData(int width, int height, int colorDepth) {
    const bool validDepth = colorDepth == 3 || colorDepth == 4;
    const bool validSize = width > 0 && height > 0 &&
                           static_cast<std::size_t>(width) <=
                               std::numeric_limits<std::size_t>::max() / static_cast<std::size_t>(height) / 4;
    if (!validDepth || !validSize) {
        *this = DevilImageDefinition();
        return nullptr;
    }
    auto pixels = std::make_shared<std::vector<unsigned char>>(static_cast<std::size_t>(width) *
                                                               static_cast<std::size_t>(height) *
                                                               static_cast<std::size_t>(colorDepth));
    iImageWidth = width;
    iImageHeight = height;
    iColorDepth = colorDepth;
    iImageFormat = colorDepth == 3 ? GL_RGB : GL_RGBA;
    ownedData = std::move(pixels);
    pImageData = ownedData->data();
    return pImageData;
}

bool DevilImageDefinition::hasPixels() const {
    return pImageData != nullptr && getImageDataSize() > 0;
}

std::size_t DevilImageDefinition::getImageDataSize() const {
    const bool layoutMatches =
        (iColorDepth == 3 && iImageFormat == GL_RGB) || (iColorDepth == 4 && iImageFormat == GL_RGBA);
    if (!layoutMatches || iImageWidth <= 0 || iImageHeight <= 0) {
        return 0;
    }
    return static_cast<std::size_t>(iImageWidth) * static_cast<std::size_t>(iImageHeight) *
           static_cast<std::size_t>(iColorDepth);
}

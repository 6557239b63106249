#include "render/ScreenShot.h"

#include "config/SafeFile.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

#include <algorithm>
#include <vector>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_WRITE_STATIC // the tests link their own copy of the writer
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace {
bool framesKept = false; // a scripted run: drawn frames stay in the back buffer

void append(void *context, void *data, int size) {
    auto *out = static_cast<std::vector<unsigned char> *>(context);
    const auto *bytes = static_cast<const unsigned char *>(data);
    out->insert(out->end(), bytes, bytes + size);
}
} // namespace

void ScreenShot::showFrame() {
    if (!framesKept)
        glutSwapBuffers();
}

void ScreenShot::keepFrames(bool keep) {
    framesKept = keep;
}

bool ScreenShot::save(const std::string &path, int width, int height, std::string &problem) {
    if (width <= 0 || height <= 0) {
        problem = "the window has no pixels";
        return false;
    }
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    std::vector<unsigned char> pixels(row * static_cast<std::size_t>(height));
    glFinish();
    glReadBuffer(framesKept ? GL_BACK : GL_FRONT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    if (glGetError() != GL_NO_ERROR) {
        problem = "the window's pixels could not be read";
        return false;
    }
    // GL's rows go bottom up, a picture's top down.
    std::vector<unsigned char> picture(pixels.size());
    for (int y = 0; y < height; ++y)
        std::copy_n(pixels.data() + row * static_cast<std::size_t>(height - 1 - y), row,
                    picture.data() + row * static_cast<std::size_t>(y));
    std::vector<unsigned char> png;
    if (stbi_write_png_to_func(append, &png, width, height, 3, picture.data(), static_cast<int>(row)) == 0) {
        problem = "the picture could not be encoded";
        return false;
    }
    return replaceFileSafely(path, png.data(), png.size(), problem);
}

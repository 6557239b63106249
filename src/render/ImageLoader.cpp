#include "render/ImageLoader.h"

#include "render/ImageFileCheck.h"

#include <GL/gl.h>
#include <IL/il.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

namespace {
void reportError(const std::string &path, const std::string &problem) {
    std::fprintf(stderr, "Error: image file \"%s\" %s\n", path.c_str(), problem.c_str());
}

// DevIL keeps a queue of error codes; drain it so a later failure does not
// report an earlier file's problem.
void clearDevilErrors() {
    while (ilGetError() != IL_NO_ERROR) {
    }
}

// Reads the whole file; `problem` says why not when it returns false.
bool readFile(const std::string &path, std::vector<unsigned char> &bytes, std::string &problem) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        problem = std::filesystem::exists(path, error) ? "is not a regular file" : "does not exist";
        return false;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        problem = "cannot be read";
        return false;
    }
    if (size > ImageFileCheck::kMaxFileBytes) {
        problem = "is too large (" + std::to_string(size) + " bytes)";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    bytes.resize(static_cast<std::size_t>(size));
    if (!in ||
        (size > 0 && !in.read(reinterpret_cast<char *>(bytes.data()), static_cast<std::streamsize>(size)))) {
        problem = "cannot be read";
        return false;
    }
    return true;
}
} // namespace

ImageLoader::ImageLoader() {
    static const bool initialised = [] {
        ilInit();
        // Rows always come top first, whatever the file stores, so that texture
        // row 0 is the top of the picture for every format alike.
        ilEnable(IL_ORIGIN_SET);
        ilOriginFunc(IL_ORIGIN_UPPER_LEFT);
        return true;
    }();
    (void)initialised;
}

DevilImageDefinition ImageLoader::loadImage(const std::string &path) const {
    std::vector<unsigned char> bytes;
    std::string problem;
    if (!readFile(path, bytes, problem)) {
        reportError(path, problem);
        return DevilImageDefinition();
    }
    const ImageFileInfo info = ImageFileCheck::inspect(bytes.data(), bytes.size());
    if (!info.isDecodable()) {
        reportError(path, info.problem);
        return DevilImageDefinition();
    }

    ILuint name = 0;
    ilGenImages(1, &name);
    ilBindImage(name);
    const ILenum type = info.format == ImageFileFormat::Png ? IL_PNG : IL_JPG;
    const bool decoded = ilLoadL(type, bytes.data(), static_cast<ILuint>(bytes.size())) == IL_TRUE;
    // RGB stays RGB; everything else (grey, palette, with alpha) becomes RGBA.
    const ILenum target = decoded && ilGetInteger(IL_IMAGE_FORMAT) == IL_RGB ? IL_RGB : IL_RGBA;
    const bool converted = decoded && ilConvertImage(target, IL_UNSIGNED_BYTE) == IL_TRUE;

    const int width = ilGetInteger(IL_IMAGE_WIDTH);
    const int height = ilGetInteger(IL_IMAGE_HEIGHT);
    const int depth = ilGetInteger(IL_IMAGE_BYTES_PER_PIXEL);
    const std::size_t expectedBytes =
        static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * static_cast<std::size_t>(depth);
    // Only an image of exactly the size its header announced, in the layout
    // asked for, may reach OpenGL; anything else would be read out of bounds.
    const bool layoutOk =
        converted && width == info.width && height == info.height && ilGetInteger(IL_IMAGE_DEPTH) == 1 &&
        ilGetInteger(IL_IMAGE_FORMAT) == static_cast<ILint>(target) &&
        ilGetInteger(IL_IMAGE_TYPE) == IL_UNSIGNED_BYTE && depth == (target == IL_RGB ? 3 : 4) &&
        static_cast<std::size_t>(ilGetInteger(IL_IMAGE_SIZE_OF_DATA)) == expectedBytes &&
        ilGetData() != nullptr;
    if (!layoutOk) {
        ilDeleteImages(1, &name);
        clearDevilErrors();
        reportError(path, decoded ? "could not be converted to RGB or RGBA bytes" : "cannot be decoded");
        return DevilImageDefinition();
    }

    DevilImageDefinition image;
    image.setIlTextureID(name);
    image.setIlImageColorDepth(depth);
    image.setIlImageWidth(width);
    image.setIlImageHeight(height);
    image.setIlImageFormat(target == IL_RGB ? GL_RGB : GL_RGBA);
    image.setIlImageData(ilGetData());
    clearDevilErrors();
    return image;
}

void ImageLoader::closeImage(const DevilImageDefinition &image) const {
    ILuint name = image.getIlTextureID();
    if (name != 0) {
        ilDeleteImages(1, &name);
    }
}

#include "render/TextureHolder.h"

#include "render/BareFileName.h"

#include <GL/gl.h>

#include <cstdio>

namespace {
constexpr int kBlackSide = 256; // pixels per side of the placeholder
}

TextureHolder::TextureHolder() = default;

TextureHolder::~TextureHolder() {
    for (unsigned int name : loadedImages) {
        DevilImageDefinition image;
        image.setIlTextureID(name);
        imageLoader.closeImage(image);
    }
}

void TextureHolder::setTextureByString(const std::string &path) {
    const DevilImageDefinition image = imageLoader.loadImage(path);
    if (image.getIlTextureID() != 0) {
        loadedImages.insert(image.getIlTextureID());
    }
    store(bareFileName(path), image);
}

void TextureHolder::setTexture(const std::string &path, unsigned int id) {
    DevilImageDefinition record;
    record.setGlTextureID(id);
    store(bareFileName(path), record);
}

void TextureHolder::setInMemoryGeneratedTexture(const DevilImageDefinition &dID, const std::string &s) {
    store(s, dID);
}

DevilImageDefinition *TextureHolder::getTextureByString(const std::string &name) {
    const std::string key = bareFileName(name);
    reportIfUnknown(key);
    return &images[key];
}

// The first look-up of a name never registered says so (and then inserts an empty record), whichever
// getter comes first: callers often ask for the record and the texture of one name together.
void TextureHolder::reportIfUnknown(const std::string &key) const {
    if (images.count(key) == 0) {
        std::fprintf(stderr, "Error: texture \"%s\" was never loaded; drawing it black\n", key.c_str());
    }
}

unsigned int TextureHolder::getTextureIDByString(const std::string &name) {
    const std::string key = bareFileName(name);
    reportIfUnknown(key);
    DevilImageDefinition &record = images[key];
    if (record.getGlTextureID() != 0) {
        return record.getGlTextureID();
    }
    unsigned int id = 0;
    if (record.hasPixels()) {
        id = textureGenerator.generate(record);
        if (id != 0) {
            uploadedTextures.insert(id);
        }
    } else if (record.getIlImageData() != nullptr) {
        std::fprintf(stderr, "Error: texture \"%s\" has no RGB or RGBA pixel layout; drawing it black\n",
                     key.c_str());
    }
    if (id == 0) {
        id = generateBlack(); // the file's own error was reported when it was loaded
    }
    record.setGlTextureID(id);
    return id;
}

void TextureHolder::freeTextureByString(const std::string &name) {
    auto entry = images.find(name);
    if (entry == images.end()) {
        return;
    }
    const DevilImageDefinition record = entry->second;
    images.erase(entry);
    GLuint texture = record.getGlTextureID();
    if (texture != 0) {
        glDeleteTextures(1, &texture);
        uploadedTextures.erase(texture);
    }
    // Another entry may share the decoder image (a record registered twice).
    DevilImageDefinition decoderOnly;
    decoderOnly.setIlTextureID(record.getIlTextureID());
    releaseUnused(decoderOnly);
}

unsigned int TextureHolder::generateBlack() {
    DevilImageDefinition black;
    black.allocateImageData(kBlackSide, kBlackSide, 3);
    const unsigned int id = textureGenerator.generate(black);
    if (id != 0) {
        uploadedTextures.insert(id);
    }
    return id;
}

bool TextureHolder::hasTexture(const std::string &name) const {
    return images.count(bareFileName(name)) != 0;
}

void TextureHolder::store(const std::string &key, const DevilImageDefinition &record) {
    auto entry = images.find(key);
    if (entry == images.end()) {
        images.emplace(key, record);
        return;
    }
    const DevilImageDefinition previous = entry->second;
    entry->second = record;
    releaseUnused(previous);
}

// Frees what `record` holds of this holder's own resources, unless another
// entry still uses it: a replaced record must not leak its decoder image or
// texture, and a shared one must not be pulled from under its other entry.
void TextureHolder::releaseUnused(const DevilImageDefinition &record) {
    const unsigned int image = record.getIlTextureID();
    const unsigned int texture = record.getGlTextureID();
    bool imageUsed = false;
    bool textureUsed = false;
    for (const auto &entry : images) {
        imageUsed = imageUsed || (image != 0 && entry.second.getIlTextureID() == image);
        textureUsed = textureUsed || (texture != 0 && entry.second.getGlTextureID() == texture);
    }
    if (image != 0 && !imageUsed && loadedImages.erase(image) != 0) {
        imageLoader.closeImage(record);
    }
    if (texture != 0 && !textureUsed && uploadedTextures.erase(texture) != 0) {
        GLuint name = texture;
        glDeleteTextures(1, &name);
    }
}

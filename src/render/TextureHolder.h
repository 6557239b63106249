#pragma once

#include "render/DevilImageDefinition.h"
#include "render/ImageLoader.h"
#include "render/TextureGenerator.h"

#include <map>
#include <set>
#include <string>

// The registry of every image the game shows, keyed by bare file name
// ("Cloud.jpg"). Files are decoded when registered and uploaded to OpenGL the
// first time somebody asks for their texture name, so only textures that are
// really drawn cost texture memory.
class TextureHolder {
  public:
    TextureHolder();
    ~TextureHolder(); // releases the decoder images it loaded; GL textures die with the context
    TextureHolder(const TextureHolder &) = delete;
    TextureHolder &operator=(const TextureHolder &) = delete;

    // Decodes the file and stores it under its bare name, replacing an earlier
    // record of that name. A file that cannot be decoded is reported once and
    // stored without pixels, so it is drawn with the black placeholder.
    void setTextureByString(const std::string &path);
    // Stores a record that holds only an existing OpenGL texture, under the bare name.
    void setTexture(const std::string &path, unsigned int id);
    // Stores an image computed in memory (light maps) under `s` exactly.
    void setInMemoryGeneratedTexture(const DevilImageDefinition &dID, const std::string &s);

    // The record stored under the bare name of `name`; an empty record is
    // inserted for a name never registered (reported once, as below). The
    // pointer stays valid until that entry is freed or replaced.
    DevilImageDefinition *getTextureByString(const std::string &name);
    // The OpenGL texture of the bare name of `name`, uploading it on first use.
    // Records without pixels (undecodable files, unknown names) get their own
    // black placeholder texture; an unknown name is reported once.
    unsigned int getTextureIDByString(const std::string &name);
    // Deletes the texture and decoder image stored under `name` exactly and
    // removes the entry.
    void freeTextureByString(const std::string &name);
    // Uploads a black 256 x 256 RGB texture and returns its name; registers nothing.
    unsigned int generateBlack();

    // Whether the bare name of `name` is registered; inserts nothing.
    bool hasTexture(const std::string &name) const;

    TextureGenerator &getTextureGenerator() { return textureGenerator; }

  private:
    void store(const std::string &key, const DevilImageDefinition &record);
    void reportIfUnknown(const std::string &key) const;
    void releaseUnused(const DevilImageDefinition &record);

    TextureGenerator textureGenerator;                  // uploads on first use
    ImageLoader imageLoader;                            // decodes at registration
    std::map<std::string, DevilImageDefinition> images; // bare file name -> image
    std::set<unsigned int> loadedImages;                // DevIL images this holder decoded
    std::set<unsigned int> uploadedTextures;            // GL textures this holder created
};

#include "ArtContext.h"

#include "PngWriter.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

ArtContext::ArtContext(const std::string &dataDir, const std::string &fontDir)
    : dataDir(dataDir), fontDir(fontDir) {}

const Font *ArtContext::font(const std::string &fileName) {
    auto found = fonts.find(fileName);
    if (found != fonts.end())
        return found->second.get();
    const std::string path = (std::filesystem::path(fontDir) / fileName).string();
    auto loaded = std::make_unique<Font>();
    std::string error;
    if (!loaded->load(path, error)) {
        std::fprintf(stderr, "Error: %s: %s\n", path.c_str(), error.c_str());
        return nullptr;
    }
    return fonts.emplace(fileName, std::move(loaded)).first->second.get();
}

bool ArtContext::saveTexture(const Canvas &canvas, const std::string &fileName, int channels, bool dither) {
    return savePicture(canvas, "textures/" + fileName, channels, dither);
}

bool ArtContext::savePicture(const Canvas &canvas, const std::string &relativePath, int channels,
                             bool dither) {
    const std::filesystem::path target = std::filesystem::path(dataDir) / relativePath;
    const std::filesystem::path folder = target.parent_path();
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::string path = target.string();
    if (ec) {
        std::fprintf(stderr, "Error: %s: cannot create the folder: %s\n", folder.string().c_str(),
                     ec.message().c_str());
        return false;
    }
    std::string error;
    if (!PngWriter::write(path, canvas, channels, dither, error)) {
        std::fprintf(stderr, "Error: %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    writtenFiles.push_back(relativePath);
    std::printf("wrote %s\n", path.c_str());
    return true;
}

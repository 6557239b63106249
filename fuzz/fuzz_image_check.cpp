// Fuzz target: the image loader's own checks of PNG and JPEG bytes, then the whole loader on
// the bytes that pass. Decoding needs no GL context, so passing images go through DevIL exactly
// as the game's textures do.
#include "FuzzSupport.h"
#include "render/DevilImageDefinition.h"
#include "render/ImageFileCheck.h"
#include "render/ImageLoader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    (void)ImageFileCheck::crc32(data, size);
    const ImageFileInfo info = ImageFileCheck::inspect(data, size);
    if (!info.isDecodable()) {
        return 0;
    }
    // What passes must be a known format of sane size; anything else would reach the decoder.
    if (info.format == ImageFileFormat::Unknown || info.width <= 0 || info.height <= 0 ||
        info.width > ImageFileCheck::kMaxImageSide || info.height > ImageFileCheck::kMaxImageSide) {
        std::abort();
    }
    static const ImageLoader loader;
    const std::string path = fuzz::writeScratchFile("input.img", data, size);
    const DevilImageDefinition image = loader.loadImage(path);
    loader.closeImage(image);
    return 0;
}

// Fuzz target: the image loader's own checks of PNG and JPEG bytes. Bytes that pass are not
// handed on to the image library here: its decoders are outside this code base and are exactly
// what the checks shield, so a crash inside them is no finding about our readers.
#include "render/ImageFileCheck.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const ImageFileInfo info = ImageFileCheck::inspect(data, size);
    if (info.isDecodable()) {
        // What passes must be a known format of sane size; anything else would reach the decoder.
        if (info.format == ImageFileFormat::Unknown || info.width <= 0 || info.height <= 0 ||
            info.width > ImageFileCheck::kMaxImageSide || info.height > ImageFileCheck::kMaxImageSide) {
            std::abort();
        }
    }
    (void)ImageFileCheck::crc32(data, size);
    return 0;
}

// Fuzz target: the MD2 model reader, fed through a file as the game reads it.
#include "FuzzSupport.h"
#include "model/Md2Model.h"
#include "render/ReadMD2Model.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string path = fuzz::writeScratchFile("input.md2", data, size);
    Md2Model model;
    (void)ReadMD2Model(path, model);
    return 0;
}

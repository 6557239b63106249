#include "render/ReadMD2Model.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace {
// Far beyond any model of the game; a bigger file is not read into memory.
constexpr long kMaxFileBytes = 64L * 1024 * 1024;

struct FileCloser {
    void operator()(std::FILE *file) const { std::fclose(file); }
};
} // namespace

int ReadMD2Model(const std::string &filename, Md2Model *mdl) {
    if (mdl == nullptr) {
        std::fprintf(stderr, "Error: no model record to read \"%s\" into\n", filename.c_str());
        return 0;
    }
    mdl->clear();
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(filename.c_str(), "rb"));
    if (!file) {
        std::fprintf(stderr, "Error: couldn't open \"%s\"!\n", filename.c_str());
        return 0;
    }
    long size = -1;
    if (std::fseek(file.get(), 0, SEEK_END) == 0) {
        size = std::ftell(file.get());
    }
    if (size < 0 || size > kMaxFileBytes || std::fseek(file.get(), 0, SEEK_SET) != 0) {
        std::fprintf(stderr, "Error: \"%s\" cannot be read as an MD2 model (size %ld bytes)\n",
                     filename.c_str(), size);
        return 0;
    }
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    if (!bytes.empty() && std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        std::fprintf(stderr, "Error: \"%s\" could not be read completely\n", filename.c_str());
        return 0;
    }
    return mdl->readFromMemory(bytes.data(), bytes.size(), filename) ? 1 : 0;
}

int ReadMD2Model(const std::string &filename, Md2Model &mdl) {
    return ReadMD2Model(filename, &mdl);
}

#include "WavWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <vector>

namespace {
void put16(std::vector<unsigned char> &out, unsigned v) {
    out.push_back(static_cast<unsigned char>(v & 0xff));
    out.push_back(static_cast<unsigned char>((v >> 8) & 0xff));
}
void put32(std::vector<unsigned char> &out, unsigned v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}
void putTag(std::vector<unsigned char> &out, const char *tag) {
    out.insert(out.end(), tag, tag + 4);
}
} // namespace

bool WavWriter::write(const std::string &path, const Signal &signal) {
    const unsigned dataBytes = static_cast<unsigned>(signal.size() * 2);
    std::vector<unsigned char> out;
    out.reserve(44 + dataBytes);
    putTag(out, "RIFF");
    put32(out, 36 + dataBytes);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, 1); // mono
    put32(out, Signal::kRate);
    put32(out, Signal::kRate * 2);
    put16(out, 2);
    put16(out, 16);
    putTag(out, "data");
    put32(out, dataBytes);
    for (float s : signal.data()) {
        const long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
        put16(out, static_cast<unsigned>(v) & 0xffff);
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char *>(out.data()), static_cast<std::streamsize>(out.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "Error: %s: cannot be written\n", path.c_str());
        return false;
    }
    return true;
}

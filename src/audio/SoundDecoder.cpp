#include "audio/SoundDecoder.h"

#include <sndfile.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

constexpr int kMinRate = 1000; // samples per second
constexpr int kMaxRate = 192000;
constexpr int kMaxChannels = 8;

// A file in memory for libsndfile's virtual input.
struct MemoryFile {
    const unsigned char *data;
    sf_count_t size;
    sf_count_t pos;
};

sf_count_t memLength(void *user) {
    return static_cast<MemoryFile *>(user)->size;
}

sf_count_t memSeek(sf_count_t offset, int whence, void *user) {
    MemoryFile *f = static_cast<MemoryFile *>(user);
    sf_count_t base = 0;
    if (whence == SEEK_CUR) {
        base = f->pos;
    } else if (whence == SEEK_END) {
        base = f->size;
    }
    const sf_count_t target = base + offset;
    if (target < 0 || target > f->size) {
        return -1;
    }
    f->pos = target;
    return f->pos;
}

sf_count_t memRead(void *ptr, sf_count_t count, void *user) {
    MemoryFile *f = static_cast<MemoryFile *>(user);
    const sf_count_t n = std::max<sf_count_t>(0, std::min(count, f->size - f->pos));
    if (n > 0) {
        std::memcpy(ptr, f->data + f->pos, static_cast<std::size_t>(n));
    }
    f->pos += n;
    return n;
}

sf_count_t memWrite(const void *, sf_count_t, void *) {
    return 0;
}

sf_count_t memTell(void *user) {
    return static_cast<MemoryFile *>(user)->pos;
}

// A chunk's stated length: four bytes after its name, in the file's byte order.
std::uint32_t chunkLength(const unsigned char *chunk, bool bigEndian) {
    std::uint32_t stated = 0;
    for (int i = 0; i < 4; ++i) {
        stated = stated << 8 | chunk[4 + (bigEndian ? i : 3 - i)];
    }
    return stated;
}

// The entries of a list chunk ("LIST" after its four-letter type, or a bare "INFO"), which
// libsndfile walks by their stated lengths as well: each must end inside the list.
bool entriesFit(const unsigned char *list, std::size_t size, bool bigEndian) {
    std::size_t at = 0;
    while (at <= size && size - at >= 8) {
        const std::uint32_t stated = chunkLength(list + at, bigEndian);
        if (stated > size - at - 8) {
            return false;
        }
        at += 8 + stated + (stated & 1);
    }
    return true;
}

// libsndfile walks a WAV (RIFF) file's chunks by the lengths they state. A chunk (or an entry of
// a list chunk) that claims far more bytes than it holds keeps it counting through gigabytes that
// are not there: minutes of work for a file of a few hundred bytes, the game frozen at start-up.
// Such a chunk is refused before libsndfile sees it. Only the sample data may run short: a file
// cut off while it was written still plays what it holds. `data` starts with "RIFF" or "RIFX" and
// the form, 12 bytes.
bool riffChunksFit(const unsigned char *data, std::size_t size, std::string &problem) {
    const bool bigEndian = data[3] == 'X';
    std::size_t at = 12; // past "RIFF", the file's length and the form ("WAVE")
    while (size - at >= 8) {
        const std::uint32_t stated = chunkLength(data + at, bigEndian);
        const std::size_t left = size - at - 8;
        if (stated > left) {
            if (std::memcmp(data + at, "data", 4) == 0) {
                return true; // cut off: nothing follows
            }
            problem = "a chunk longer than the file";
            return false;
        }
        const bool list = std::memcmp(data + at, "LIST", 4) == 0;
        if ((list || std::memcmp(data + at, "INFO", 4) == 0) && stated >= (list ? 4u : 0u) &&
            !entriesFit(data + at + 8 + (list ? 4 : 0), stated - (list ? 4 : 0), bigEndian)) {
            problem = "a list entry longer than its list";
            return false;
        }
        at += 8 + stated + (stated & 1); // chunks start on even offsets
        if (at > size) {
            break; // the pad byte of the last chunk is missing
        }
    }
    return true;
}

} // namespace

bool SoundDecoder::decode(const unsigned char *data, std::size_t size, Pcm &out, std::string &problem) {
    out = Pcm();
    if (data == nullptr || size == 0) {
        problem = "empty file";
        return false;
    }
    // The formats a level's sounds come in; the rest of what libsndfile reads is not worth its risks.
    const auto startsWith = [&](const char *magic, std::size_t at = 0) {
        const std::size_t length = std::strlen(magic);
        return size >= at + length && std::memcmp(data + at, magic, length) == 0;
    };
    const bool riff = (startsWith("RIFF") || startsWith("RIFX")) && startsWith("WAVE", 8);
    if (!riff && !startsWith("OggS") && !startsWith("fLaC")) {
        problem = "not a WAV, Ogg or FLAC file";
        return false;
    }
    if (riff && !riffChunksFit(data, size, problem)) {
        return false; // Ogg and FLAC rely on libsndfile's own checks
    }
    MemoryFile file{data, static_cast<sf_count_t>(size), 0};
    SF_VIRTUAL_IO io{memLength, memSeek, memRead, memWrite, memTell};
    SF_INFO info{};
    SNDFILE *sf = sf_open_virtual(&io, SFM_READ, &info, &file);
    if (sf == nullptr) {
        problem = std::string("not a sound file (") + sf_strerror(nullptr) + ")";
        return false;
    }
    bool ok = false;
    if (info.channels < 1 || info.channels > kMaxChannels) {
        problem = "unsupported channel count";
    } else if (info.samplerate < kMinRate || info.samplerate > kMaxRate) {
        problem = "unsupported sample rate";
    } else if (info.frames <= 0) {
        problem = "no samples";
    } else if (static_cast<double>(info.frames) > kMaxSeconds * info.samplerate) {
        problem = "longer than a minute";
    } else {
        // Read in blocks: a damaged header may promise more frames than the file holds.
        const int channels = info.channels;
        std::vector<float> block(static_cast<std::size_t>(4096 * channels));
        out.sampleRate = info.samplerate;
        // A header may promise far more than the bytes hold.
        out.samples.reserve(static_cast<std::size_t>(std::min<sf_count_t>(info.frames, file.size)));
        for (;;) {
            const sf_count_t got = sf_readf_float(sf, block.data(), 4096);
            if (got <= 0) {
                break;
            }
            for (sf_count_t i = 0; i < got; ++i) {
                float sum = 0.0f;
                for (int c = 0; c < channels; ++c) {
                    sum += block[static_cast<std::size_t>(i * channels + c)];
                }
                float v = sum / static_cast<float>(channels);
                if (!(v >= -1.0f)) { // NaN too
                    v = v > 0.0f ? 1.0f : -1.0f;
                }
                v = std::min(v, 1.0f);
                out.samples.push_back(static_cast<int16_t>(v * 32767.0f));
            }
            if (static_cast<sf_count_t>(out.samples.size()) >= info.frames) {
                break;
            }
        }
        if (out.samples.empty()) {
            problem = "no samples";
        } else {
            ok = true;
        }
    }
    sf_close(sf);
    if (!ok) {
        out = Pcm();
    }
    return ok;
}

bool SoundDecoder::decodeFile(const std::string &path, Pcm &out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "Error: %s: cannot be opened\n", path.c_str());
        return false;
    }
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                           std::istreambuf_iterator<char>());
    std::string problem;
    if (!decode(bytes.data(), bytes.size(), out, problem)) {
        std::fprintf(stderr, "Error: %s: %s\n", path.c_str(), problem.c_str());
        return false;
    }
    return true;
}

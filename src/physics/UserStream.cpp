#include "physics/UserStream.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

UserStream::UserStream(const char *filename, bool load) : fileName(filename != nullptr ? filename : "") {
    if (filename != nullptr) {
        fp = std::fopen(filename, load ? "rb" : "wb");
    }
    if (fp == nullptr) {
        fail(std::string("cannot open: ") + std::strerror(errno));
    }
}

UserStream::~UserStream() {
    if (fp != nullptr) {
        std::fclose(fp);
    }
}

void UserStream::readBuffer(void *buffer, std::uint32_t size) {
    const std::size_t got = fp != nullptr ? std::fread(buffer, 1, size, fp) : 0;
    if (got != size) {
        // The rest of the item reads as zeros, never as whatever the buffer held before.
        std::memset(static_cast<char *>(buffer) + got, 0, size - got);
        fail("short read: " + std::to_string(got) + " of " + std::to_string(size) + " bytes");
    }
}

PhysXStream &UserStream::storeBuffer(const void *buffer, std::uint32_t size) {
    const std::size_t put = fp != nullptr ? std::fwrite(buffer, 1, size, fp) : 0;
    if (put != size) {
        fail(std::string("write failed: ") + std::strerror(errno));
    }
    return *this;
}

bool UserStream::close() {
    if (fp == nullptr) {
        fail("not open");
        return false;
    }
    bool ok = std::fflush(fp) == 0;
    ok = fsync(fileno(fp)) == 0 && ok;
    ok = std::fclose(fp) == 0 && ok;
    fp = nullptr;
    if (!ok) {
        fail(std::string("cannot finish the file: ") + std::strerror(errno));
    }
    return !isFailed();
}

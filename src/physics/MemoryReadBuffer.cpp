#include "physics/MemoryReadBuffer.h"

#include <cstring>
#include <string>

MemoryReadBuffer::MemoryReadBuffer(const std::uint8_t *data, std::uint32_t size)
    : buffer(data), end(data != nullptr ? data + size : nullptr) {}

void MemoryReadBuffer::readBuffer(void *dest, std::uint32_t size) {
    if (size > getRemaining()) {
        std::memset(dest, 0, size);
        fail("short read: " + std::to_string(getRemaining()) + " of " + std::to_string(size) + " bytes left");
        buffer = end;
        return;
    }
    if (size > 0) {
        std::memcpy(dest, buffer, size);
        buffer += size;
    }
}

PhysXStream &MemoryReadBuffer::storeBuffer(const void *, std::uint32_t) {
    fail("0: store into a read buffer");
    return *this;
}

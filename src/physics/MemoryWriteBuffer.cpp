#include "physics/MemoryWriteBuffer.h"

#include <cstring>
#include <limits>
#include <new>

namespace {

constexpr std::uint32_t kGrowthSlack = 4096; // bytes allocated beyond the need on each growth

} // namespace

void MemoryWriteBuffer::readBuffer(void *buffer, std::uint32_t size) {
    std::memset(buffer, 0, size);
    fail("0: read from a write buffer");
}

PhysXStream &MemoryWriteBuffer::storeBuffer(const void *buffer, std::uint32_t size) {
    if (size == 0) {
        return *this;
    }
    const std::uint64_t needed = std::uint64_t(currentSize) + size;
    if (needed > maxSize) {
        if (needed + kGrowthSlack > std::numeric_limits<std::uint32_t>::max()) {
            fail("newData!=0: the buffer would exceed 4 GiB");
            return *this;
        }
        const auto newSize = static_cast<std::uint32_t>(needed + kGrowthSlack);
        std::unique_ptr<std::uint8_t[]> newData(new (std::nothrow) std::uint8_t[newSize]);
        if (!newData) {
            fail("newData!=0: out of memory");
            return *this;
        }
        if (currentSize > 0) {
            std::memcpy(newData.get(), data.get(), currentSize);
        }
        data = std::move(newData);
        maxSize = newSize;
    }
    std::memcpy(data.get() + currentSize, buffer, size);
    currentSize += size;
    return *this;
}

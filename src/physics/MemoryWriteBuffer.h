#pragma once

#include "physics/PhysXStream.h"

#include <cstdint>
#include <memory>

// A growing in-memory PhysXStream that only takes stores. The block grows to the needed size plus
// 4096 bytes whenever a store does not fit, so a run of small stores reallocates rarely.
class MemoryWriteBuffer : public PhysXStream {
  public:
    MemoryWriteBuffer() = default;

    void clear() { currentSize = 0; } // keeps the block for reuse

    // Reading is the wrong direction for this buffer: the stream fails and the bytes read as zeros.
    void readBuffer(void *buffer, std::uint32_t size) override;
    PhysXStream &storeBuffer(const void *buffer, std::uint32_t size) override;

    std::uint32_t getCurrentSize() const { return currentSize; }
    std::uint32_t getMaxSize() const { return maxSize; }
    const std::uint8_t *getData() const { return data.get(); } // null until the first store

  private:
    std::uint32_t currentSize = 0;        // bytes stored
    std::uint32_t maxSize = 0;            // bytes allocated
    std::unique_ptr<std::uint8_t[]> data; // the block, owned
};

#pragma once

#include "physics/PhysXStream.h"

#include <cstdint>

// A PhysXStream that reads bytes owned by the caller, front to back. It knows where the bytes end:
// a read beyond them fails the stream and yields zeros instead of reading foreign memory.
class MemoryReadBuffer : public PhysXStream {
  public:
    MemoryReadBuffer(const std::uint8_t *data, std::uint32_t size);

    void readBuffer(void *buffer, std::uint32_t size) override;
    // Storing is the wrong direction for this buffer: the stream fails and nothing changes.
    PhysXStream &storeBuffer(const void *buffer, std::uint32_t size) override;

    std::uint32_t getRemaining() const { return static_cast<std::uint32_t>(end - buffer); }

  private:
    const std::uint8_t *buffer; // read position, not owned
    const std::uint8_t *end;    // one past the last readable byte
};

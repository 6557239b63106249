#pragma once

#include <cstdint>
#include <string>

// The byte stream through which cooked meshes travel: files (UserStream) and memory
// (MemoryWriteBuffer, MemoryReadBuffer). Values go in the machine's byte order (little-endian).
// A transfer that moves fewer bytes than asked marks the stream failed instead of printing: the
// first failure is kept, so the owner of the stream can name the file once in one "Error: " line.
// A failed read yields zeros.
class PhysXStream {
  public:
    PhysXStream() = default;
    virtual ~PhysXStream() = default;
    PhysXStream(const PhysXStream &) = delete;
    PhysXStream &operator=(const PhysXStream &) = delete;

    // The typed transfers go through readBuffer / storeBuffer, so a stream only implements those two.
    virtual std::uint8_t readByte();
    virtual std::uint16_t readWord();
    virtual std::uint32_t readDword();
    virtual float readFloat();
    virtual double readDouble();
    virtual void readBuffer(void *buffer, std::uint32_t size) = 0;

    virtual PhysXStream &storeByte(std::uint8_t b);
    virtual PhysXStream &storeWord(std::uint16_t w);
    virtual PhysXStream &storeDword(std::uint32_t d);
    virtual PhysXStream &storeFloat(float f);
    virtual PhysXStream &storeDouble(double f);
    virtual PhysXStream &storeBuffer(const void *buffer, std::uint32_t size) = 0;

    bool isFailed() const { return failed; }
    const std::string &getFailure() const { return failure; } // the first failed transfer; empty if none

  protected:
    void fail(const std::string &what); // keeps only the first failure

  private:
    bool failed = false; // some transfer moved fewer bytes than asked
    std::string failure; // what went wrong first
};

#pragma once

#include "physics/PhysXStream.h"

#include <cstdio>
#include <string>

// A PhysXStream over a file, opened for reading ("rb") or writing ("wb"). Closing a written file
// flushes it to the disk, so a caller that renames it into place afterwards never publishes half
// a file.
class UserStream : public PhysXStream {
  public:
    UserStream(const char *filename, bool load);
    ~UserStream() override;

    void readBuffer(void *buffer, std::uint32_t size) override;
    PhysXStream &storeBuffer(const void *buffer, std::uint32_t size) override;

    bool isOpen() const { return fp != nullptr; }
    // Flushes and closes; false when the file never opened, a transfer failed or the data did not
    // reach the disk. Later transfers fail.
    bool close();

  private:
    std::FILE *fp = nullptr; // the open file; null when it could not be opened or is closed
    std::string fileName;    // for failure texts
};

#pragma once

#include "support/TempDir.h"

// A minimal data tree (one vehicle type, one weapon) in a temporary folder,
// with the working directory switched there, so a session can be constructed
// without the shipped data.
class GameDataFixture {
  public:
    GameDataFixture();

    TempDir dir;

  private:
    ScopedCwd cwd;
};

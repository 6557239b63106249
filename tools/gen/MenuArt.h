#pragma once

#include "ArtContext.h"

// The "menu" family: the main menu's background and its ten item pictures.
class MenuArt {
  public:
    // Writes every picture of the family; false if any could not be made.
    static bool generate(ArtContext &context);
};

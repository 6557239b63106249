#pragma once

#include "ArtContext.h"

#include <string>
#include <vector>

// One group of related pictures that the generator can make on its own (the menu, and
// later the terrain, the sky box, model skins, particle sprites).
struct ArtFamily {
    std::string name;               // command-line name, e.g. "menu"
    std::string description;        // one line for --list
    bool (*generate)(ArtContext &); // writes the family's files; false on any error
};

// Every family the generator knows, in the order "all" makes them. A new family is one
// more entry here and a generate function in a file of its own.
const std::vector<ArtFamily> &artFamilies();

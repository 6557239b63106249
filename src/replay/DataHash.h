#pragma once

#include <cstdint>
#include <string>

// A digest of the files a battle on a level is played with, from the data folder: the level file, its
// height map, every model, and the vehicle, weapon and power-up tables with their type files. Two
// games agree on it when they would build the same world from the same seed and inputs.
std::uint64_t battleDataHash(const std::string &levelFile, const std::string &heightMap);

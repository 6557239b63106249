#pragma once

#include <optional>
#include <string>

class GameData;

// The data hash of a level of `data` (its file, height map, models and tables), as the handshake
// of a network battle carries it: 16 hexadecimal digits. Nothing when `data` has no level of that
// bare file name.
std::optional<std::string> levelDataHash(const GameData &data, const std::string &levelFile);

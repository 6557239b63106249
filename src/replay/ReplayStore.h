#pragma once

#include "replay/ReplayFile.h"

#include <string>

// The replays of the last battles played in the window, in the player's replay folder (GamePaths).
namespace ReplayStore {

std::string folder();
constexpr int kKept = 10; // the newest ten stay; older ones are removed

// Writes `replay` safely as a new file "replay-<stamp>.pzr" of the folder (made if missing; a
// name already taken gets "-2", "-3", ...), then removes the oldest replays beyond kKept. The stamp
// has no dash and sorts in time order (for instance "20261209T174502"). Returns the new file's
// path, or an empty string with `problem` set.
std::string save(const Replay &replay, const std::string &stamp, std::string &problem);

// Reads and checks a replay file; false with `problem` set (one line) when it cannot be read or
// is not a whole, well-formed replay.
bool load(const std::string &path, Replay &out, std::string &problem);

} // namespace ReplayStore

#pragma once

#include <string>

// The key under which every file registry (textures, models, display lists,
// vertex buffers) stores a file: the part after the last backslash, or, when
// the path has no backslash at all, the part after the last forward slash.
// Paths written on either platform thus find the same entry.
std::string bareFileName(const std::string &path);

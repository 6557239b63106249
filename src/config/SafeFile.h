#pragma once

#include <cstddef>
#include <string>

// Files the game writes (the mesh cache, its size files, the highscores) are replaced, never
// rewritten in place: the bytes go to a temporary file beside the target, reach the disk, and are
// renamed over it; the folder is synced so the rename survives a power cut as well. A crash, a
// full disk or a read-only folder at any point leaves the old file or the new one, never half of
// one.
//
// Temporary files are named "<target>.<process id>.tmp", so two games sharing a data folder never
// write the same one, and one left behind by a crash can be told from one still being written.

// Replaces `path` with `size` bytes from `data`; false with `problem` set (the temporary file is
// gone again) when any step fails.
bool replaceFileSafely(const std::string &path, const void *data, std::size_t size, std::string &problem);

// `folder` + `stem` + `extension`, or, when a file of that name is there already, the first free
// one of `stem` + "-2", "-3", ... (a new replay or screenshot never replaces an older one).
std::string unusedFileName(const std::string &folder, const std::string &stem, const std::string &extension);

// The temporary name `replaceFileSafely` uses for `path` in this process.
std::string temporaryFileFor(const std::string &path);

// Removes the temporary files in `folder` (not below it) whose writing process is gone; returns
// how many. A folder that does not exist has none.
int removeLeftoverTemporaries(const std::string &folder);

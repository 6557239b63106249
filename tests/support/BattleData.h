#pragma once

#include <filesystem>

// The shipped configuration, levels and models and the levels' height maps, copied once per test
// process into a folder of its own with an empty mesh cache: battles without a window start there.
const std::filesystem::path &battleData();

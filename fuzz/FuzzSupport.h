#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Helpers shared by the fuzz targets: the readers under test take file paths, so each input is
// written to a scratch file of this process first.
namespace fuzz {

// A folder of its own for this process (created on first use), so parallel fuzzer jobs never
// share scratch files.
const std::string &scratchDir();

// Writes `size` bytes to `scratchDir()/name` (replacing it) and returns the full path.
std::string writeScratchFile(const std::string &name, const std::uint8_t *data, std::size_t size);

// With PANZER_FUZZ_WRITE_SEEDS=<folder> in the environment (tools/fuzz.sh sets it), calls
// `writeSeeds(folder)` to write the target's seed files there and ends the process; otherwise returns.
void writeSeedsWhenAsked(void (*writeSeeds)(const std::string &folder));

} // namespace fuzz

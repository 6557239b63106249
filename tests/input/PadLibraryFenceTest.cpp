#include "support/LibraryFence.h"

namespace {

// SDL is the pad library's business alone: outside src/input no file includes it, and inside only
// the local header of the SDL part does, so the game sees pads through PadHub and PadState only.
// (The build keeps SDL's own include folder from the rest, but <SDL2/SDL.h> would still be found.)
TEST(PadLibraryFenceTest, OnlyThePadLibraryIncludesSdl) {
    expectIncludedOnlyWhereAllowed(std::regex(R"(^\s*#\s*include\s*[<"](SDL2/)?SDL[_.a-z0-9]*\.h[>"])"),
                                   [](const std::filesystem::path &file) {
                                       return *file.begin() == "input" &&
                                              (file.extension() == ".cpp" || file.filename() == "SdlSubsystems.h");
                                   });
}

} // namespace

#include "config/GamePaths.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char **argv) {
    // Mesa's software renderer runs threads of its own: rasterizers, and a
    // queue that writes compiled shaders to a cache under the home folder.
    // In the sanitizer build LeakSanitizer stops and scans every thread at
    // exit, and a driver thread caught between states can crash that scan
    // after every assertion has passed. Rasterizing in the test's own thread
    // and leaving the shader cache off (nothing is written outside the test
    // folders either) keeps every test to one thread; the pictures are the
    // same.
    setenv("LP_NUM_THREADS", "0", 1);
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
    // The tests run from the repository root and often from a data tree of their own made in a
    // temporary folder: the game's files are wherever data/ of the working directory is.
    GamePaths::use(GamePaths::inCheckout());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "render/BareFileName.h"

#include <gtest/gtest.h>

TEST(BareFileNameTest, CutsAfterTheLastSeparator) {
    EXPECT_EQ(bareFileName("data/textures/Cloud.jpg"), "Cloud.jpg");
    EXPECT_EQ(bareFileName("data\\textures\\Cloud.jpg"), "Cloud.jpg");
    EXPECT_EQ(bareFileName("/Cloud.jpg"), "Cloud.jpg");
    EXPECT_EQ(bareFileName("Cloud.jpg"), "Cloud.jpg");
    EXPECT_EQ(bareFileName(""), "");
}

TEST(BareFileNameTest, BackslashWinsOverForwardSlash) {
    // Only a path without any backslash is cut at its forward slashes.
    EXPECT_EQ(bareFileName("data\\textures/Cloud.jpg"), "textures/Cloud.jpg");
    EXPECT_EQ(bareFileName("data/textures\\Cloud.jpg"), "Cloud.jpg");
}

TEST(BareFileNameTest, TrailingSeparatorLeavesAnEmptyName) {
    EXPECT_EQ(bareFileName("data/textures/"), "");
    EXPECT_EQ(bareFileName("data\\textures\\"), "");
    EXPECT_EQ(bareFileName("data\\textures/"), "textures/");
}

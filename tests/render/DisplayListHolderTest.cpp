#include "render/DisplayListHolder.h"

#include "support/GlTestContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

class DisplayListHolderTest : public GlTest {};

TEST_F(DisplayListHolderTest, OneListPerBareModelName) {
    DisplayListHolder holder;
    const unsigned int list = holder.generateDisplayListId("tank1.md2");
    EXPECT_NE(list, 0u);
    EXPECT_EQ(holder.generateDisplayListId("tank1.md2"), 0u);
    EXPECT_EQ(holder.getDisplayListIDByString("tank1.md2"), list);
    EXPECT_EQ(holder.size(), 1u);

    // A path is stored under its bare name, but the check uses the name as
    // given, so the same path asks for a second list.
    const unsigned int fromPath = holder.generateDisplayListId("data/model/rock.md2");
    EXPECT_NE(fromPath, 0u);
    EXPECT_TRUE(holder.Contains("rock.md2"));
    EXPECT_FALSE(holder.Contains("data/model/rock.md2"));
    EXPECT_NE(holder.generateDisplayListId("data/model/rock.md2"), 0u);
    EXPECT_EQ(holder.size(), 2u);
}

TEST_F(DisplayListHolderTest, UnknownNamesAreRegisteredEmpty) {
    DisplayListHolder holder;
    EXPECT_EQ(holder.getDisplayListIDByString("house.md2"), 0u);
    EXPECT_TRUE(holder.Contains("house.md2"));
    EXPECT_EQ(holder.generateDisplayListId("house.md2"), 0u);
}

} // namespace

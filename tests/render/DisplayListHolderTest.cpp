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
}

TEST_F(DisplayListHolderTest, APathAndItsBareNameShareOneList) {
    // A level names a model by path, the model knows its bare name: both find the same list.
    DisplayListHolder holder;
    const unsigned int fromPath = holder.generateDisplayListId("data/model/tank1.md2");
    ASSERT_NE(fromPath, 0u);
    EXPECT_TRUE(holder.Contains("tank1.md2"));
    EXPECT_TRUE(holder.Contains("data/model/tank1.md2"));
    EXPECT_TRUE(holder.Contains("data\\model\\tank1.md2"));
    EXPECT_EQ(holder.generateDisplayListId("data/model/tank1.md2"), 0u) << "no second list";
    EXPECT_EQ(holder.generateDisplayListId("tank1.md2"), 0u);
    EXPECT_EQ(holder.getDisplayListIDByString("tank1.md2"), fromPath);
    EXPECT_EQ(holder.getDisplayListIDByString("data/model/tank1.md2"), fromPath);
    EXPECT_EQ(holder.size(), 1u);

    const unsigned int bare = holder.generateDisplayListId("rock.md2");
    ASSERT_NE(bare, 0u);
    EXPECT_TRUE(holder.Contains("data/model/rock.md2"));
    EXPECT_EQ(holder.generateDisplayListId("data/model/rock.md2"), 0u) << "no second list";
    EXPECT_EQ(holder.getDisplayListIDByString("data/model/rock.md2"), bare);
    EXPECT_EQ(holder.size(), 2u);
}

TEST_F(DisplayListHolderTest, UnknownNamesAreRegisteredEmpty) {
    DisplayListHolder holder;
    EXPECT_EQ(holder.getDisplayListIDByString("house.md2"), 0u);
    EXPECT_TRUE(holder.Contains("house.md2"));
    EXPECT_EQ(holder.generateDisplayListId("house.md2"), 0u);
}

} // namespace

#include "audio/VoiceTable.h"
#include "audio/DistanceModel.h"

#include <gtest/gtest.h>

TEST(VoiceTableTest, FreeVoicesFirstThenTheQuietestOldestGivesWayAndTheQuietestNewcomerIsRefused) {
    VoiceTable table(3);
    EXPECT_EQ(table.claim(0.5f), 0);
    EXPECT_EQ(table.claim(0.2f), 1);
    EXPECT_EQ(table.claim(0.2f), 2);
    EXPECT_EQ(table.busyCount(), 3u);

    // Full: of the two equally quiet voices the older one goes.
    EXPECT_EQ(table.claim(0.3f), 1);
    // A newcomer quieter than everything playing is not started.
    EXPECT_EQ(table.claim(0.1f), -1);
    EXPECT_EQ(table.busyCount(), 3u);
    // A newcomer as loud as the quietest voice takes its place.
    EXPECT_EQ(table.claim(0.2f), 2);

    table.release(0);
    EXPECT_EQ(table.claim(0.01f), 0) << "a free voice takes any sound";
    table.setLoudness(0, 0.9f);
    EXPECT_EQ(table.claim(0.25f), 2) << "loudness follows the sound as it moves";
}

TEST(DistanceModelTest, FullNearbyFallingWithDistanceAndAFloorFarAway) {
    EXPECT_FLOAT_EQ(DistanceModel::gainAt(0.0f), 1.0f);
    EXPECT_FLOAT_EQ(DistanceModel::gainAt(DistanceModel::kReferenceDistance), 1.0f);
    EXPECT_NEAR(DistanceModel::gainAt(2 * DistanceModel::kReferenceDistance), 0.5f, 1e-6f);
    const float floor = DistanceModel::gainAt(DistanceModel::kMaxDistance);
    EXPECT_GT(floor, 0.03f) << "far battles stay audible";
    EXPECT_LT(floor, 0.1f) << "but quiet";
    EXPECT_FLOAT_EQ(DistanceModel::gainAt(10 * DistanceModel::kMaxDistance), floor);
}

// Where players three and four start in levels that place them and in levels that do not.
#include "level/PlayerStarts.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::unique_ptr<VehicleData> tank(const std::string &owner, float x, float z, float rotation = 0) {
    auto record = std::make_unique<VehicleData>();
    record->setOwner(owner);
    record->setName(owner);
    record->setFahrzeugTyp("tank");
    record->setLife(80);
    record->setPos(x, 1.5f, z);
    record->setRotation(rotation);
    return record;
}

float distance(const float *a, const float *b) {
    return std::hypot(a[0] - b[0], a[2] - b[2]);
}

TEST(PlayerStartsTest, ThreeAndFourStandBesideOneAndTwoOnTheFarSides) {
    std::vector<std::unique_ptr<VehicleData>> records;
    records.push_back(tank("cpu", 50, 50));
    records.push_back(tank("spieler1", -10, 0));
    records.push_back(tank("spieler2", 10, 0));
    const auto three = PlayerStarts::beside(records, 2);
    const auto four = PlayerStarts::beside(records, 3);
    ASSERT_NE(three, nullptr);
    ASSERT_NE(four, nullptr);
    EXPECT_EQ(three->getOwner(), "spieler3");
    EXPECT_EQ(four->getOwner(), "spieler4");
    EXPECT_EQ(three->getOwnerKind(), VehicleData::OwnerKind::PlayerThree);
    EXPECT_EQ(four->getName(), "player4");
    EXPECT_EQ(four->getFahrzeugTyp(), "tank");
    EXPECT_EQ(four->getLife(), 80);
    EXPECT_FLOAT_EQ(three->getPos()[0], -10 - PlayerStarts::kBeside);
    EXPECT_FLOAT_EQ(four->getPos()[0], 10 + PlayerStarts::kBeside);
    EXPECT_FLOAT_EQ(four->getPos()[1], 1.5f);
    // Players one and two and the computer tank start where they stood: nothing for them.
    EXPECT_EQ(PlayerStarts::beside(records, 0), nullptr);
    EXPECT_EQ(PlayerStarts::beside(records, 1), nullptr);
    EXPECT_EQ(PlayerStarts::beside(records, 4), nullptr);
}

TEST(PlayerStartsTest, ALevelThatPlacesAPlayerKeepsItsPlaceAndAMissingPartnerIsStoodAcross) {
    std::vector<std::unique_ptr<VehicleData>> records;
    records.push_back(tank("spieler1", 0, 0, 90));
    records.push_back(tank("spieler3", 30, 30));
    EXPECT_EQ(PlayerStarts::beside(records, 2), nullptr) << "the level's own place for player three";
    ASSERT_NE(PlayerStarts::find(records, 2), nullptr);
    EXPECT_FLOAT_EQ(PlayerStarts::find(records, 2)->getPos()[0], 30);
    // No player two: player four stands across player one's facing, kBeside away.
    const auto four = PlayerStarts::beside(records, 3);
    ASSERT_NE(four, nullptr);
    EXPECT_NEAR(distance(four->getPos(), records[0]->getPos()), PlayerStarts::kBeside, 1e-4);
    EXPECT_NEAR(four->getRotation(), 90, 1e-6);

    // Players three and four with player one alone stand on its two sides.
    records.pop_back();
    const auto three = PlayerStarts::beside(records, 2);
    ASSERT_NE(three, nullptr);
    EXPECT_NEAR(distance(three->getPos(), four->getPos()), 2 * PlayerStarts::kBeside, 1e-3);

    // A level with neither player one nor two has nobody to stand beside.
    records.clear();
    records.push_back(tank("cpu", 0, 0));
    EXPECT_EQ(PlayerStarts::beside(records, 2), nullptr);
}

} // namespace

#include "menu/MainMenu.h"

#include <gtest/gtest.h>

#include <string>

namespace {

MainMenuDefinition layoutFor800x600() {
    MainMenuDefinition layout;
    layout.setDefinitionResX(800);
    layout.setDefinitionResY(600);
    for (int item = 1; item <= 5; ++item) {
        layout.setItemX(item, 1.0);
        layout.setItemY(item, 0.25 + 0.1 * (item - 1));
        layout.setItemImg(item, "item" + std::to_string(item) + ".png");
        layout.setItemImgX(item, 200);
        layout.setItemImgY(item, 50);
    }
    return layout;
}

TEST(MainMenuTest, ItemsScaleFromTheDefinitionResolution) {
    MainMenu menu(layoutFor800x600());
    menu.setResolution(1024, 768);
    MainMenu::Rect game = menu.itemRect(MainMenu::kGame);
    EXPECT_DOUBLE_EQ(game.left, 384);
    EXPECT_DOUBLE_EQ(game.right, 640);
    EXPECT_DOUBLE_EQ(game.top, 192);
    EXPECT_DOUBLE_EQ(game.bottom, 256);

    // A width factor of 2 doubles the width around the centre, not the height.
    MainMenuDefinition wide = layoutFor800x600();
    wide.setItemX(MainMenu::kGame, 2.0);
    MainMenu wideMenu(wide);
    wideMenu.setResolution(1024, 768);
    game = wideMenu.itemRect(MainMenu::kGame);
    EXPECT_DOUBLE_EQ(game.left, 256);
    EXPECT_DOUBLE_EQ(game.right, 768);
    EXPECT_DOUBLE_EQ(game.bottom - game.top, 64);

    // An odd window width centres on the integer half.
    menu.setResolution(1025, 768);
    EXPECT_DOUBLE_EQ(menu.itemRect(MainMenu::kGame).left, 512 - 128.125);
}

TEST(MainMenuTest, HitTestsAreStrictOnEveryEdge) {
    MainMenu menu(layoutFor800x600());
    menu.setResolution(1024, 768);
    EXPECT_FALSE(menu.isGame(384, 200));
    EXPECT_TRUE(menu.isGame(385, 200));
    EXPECT_FALSE(menu.isGame(640, 200));
    EXPECT_TRUE(menu.isGame(639, 200));
    EXPECT_FALSE(menu.isGame(500, 192));
    EXPECT_TRUE(menu.isGame(500, 193));
    EXPECT_FALSE(menu.isGame(500, 256));

    // Items 0.1 of the height apart: 76.8 px; item 2 starts at 268.8.
    EXPECT_EQ(menu.itemAt(500, 300), MainMenu::kOptions);
    EXPECT_TRUE(menu.isOption(500, 300));
    EXPECT_TRUE(menu.isHelp(500, 380));
    EXPECT_TRUE(menu.isExit(500, 460));
    EXPECT_TRUE(menu.isHighscore(500, 530));
    EXPECT_EQ(menu.itemAt(500, 260), MainMenu::kNone);
    EXPECT_EQ(menu.itemAt(10, 200), MainMenu::kNone);
}

TEST(MainMenuTest, OverlappingItemsAnswerInMenuOrder) {
    MainMenuDefinition layout = layoutFor800x600();
    layout.setItemY(MainMenu::kExit, 0.25); // exit lies on top of game
    MainMenu menu(layout);
    menu.setResolution(1024, 768);
    EXPECT_TRUE(menu.isExit(500, 200));
    EXPECT_EQ(menu.itemAt(500, 200), MainMenu::kGame);
}

TEST(MainMenuTest, TheKeysWalkTheItemsFromTheTopDown) {
    MainMenuDefinition layout = layoutFor800x600();
    EXPECT_EQ(MainMenu(layout).itemOrder(),
              (std::vector<int>{MainMenu::kGame, MainMenu::kOptions, MainMenu::kHelp, MainMenu::kExit,
                                MainMenu::kHighscore}));
    // Items moved: the walk follows their heights; two at one height keep the order of their numbers.
    layout.setItemY(MainMenu::kHighscore, 0.3);
    layout.setItemY(MainMenu::kExit, 0.9);
    layout.setItemY(MainMenu::kHelp, 0.25);
    EXPECT_EQ(MainMenu(layout).itemOrder(),
              (std::vector<int>{MainMenu::kGame, MainMenu::kHelp, MainMenu::kHighscore, MainMenu::kOptions,
                                MainMenu::kExit}));
}

TEST(MainMenuTest, AnItemWithoutAPictureIsNeitherWalkedNorHit) {
    // A layout from before the network item: item 6 has no picture, nor a place.
    MainMenuDefinition layout = layoutFor800x600();
    MainMenu five(layout);
    five.setResolution(1024, 768);
    EXPECT_EQ(five.itemOrder().size(), 5u);
    EXPECT_FALSE(five.isNetwork(512, 0));
    EXPECT_EQ(five.itemAt(512, 0), MainMenu::kNone);

    // Given its picture and a place between game and options, it is walked and hit there.
    layout.setItemImg(MainMenu::kNetwork, "network.png");
    layout.setItemX(MainMenu::kNetwork, 1.0);
    layout.setItemY(MainMenu::kNetwork, 0.335);
    layout.setItemImgX(MainMenu::kNetwork, 200);
    layout.setItemImgY(MainMenu::kNetwork, 8);
    MainMenu six(layout);
    six.setResolution(1024, 768);
    EXPECT_EQ(six.itemOrder(), (std::vector<int>{MainMenu::kGame, MainMenu::kNetwork, MainMenu::kOptions,
                                                 MainMenu::kHelp, MainMenu::kExit, MainMenu::kHighscore}));
    EXPECT_EQ(six.itemAt(500, 262), MainMenu::kNetwork); // 257.28 to 267.52 pixels
    EXPECT_TRUE(six.isNetwork(500, 262));
}

} // namespace

#include "game/GameClass.h"

#include "support/GameDataFixture.h"

#include <gtest/gtest.h>

namespace {

struct GameClassOptionsTest : ::testing::Test {
    GameDataFixture data;
    GameClass gc;
};

TEST_F(GameClassOptionsTest, ReadsTheTypeTablesAtConstruction) {
    const CFahrzeugTypDaten *tank = gc.getFahrzeugDatenTyp("tank");
    ASSERT_NE(tank, nullptr);
    EXPECT_EQ(tank->getModellName(), "tank1.md2");
    EXPECT_EQ(gc.getFahrzeugDatenTyp("Tank"), nullptr);
    ASSERT_EQ(gc.getData().getWeapons().count("cannon"), 1u);
}

TEST_F(GameClassOptionsTest, DefaultsMatchAFreshGame) {
    EXPECT_TRUE(gc.getOptions().getUseShadowmap());
    EXPECT_TRUE(gc.getOptions().getUseLightmap());
    EXPECT_FALSE(gc.getOptions().getDisplayFPS()); // F2 shows it
    EXPECT_TRUE(gc.getOptions().getUseFrustumCulling());
    EXPECT_TRUE(gc.getOptions().getUseDisplayLists());
    EXPECT_FALSE(gc.getOptions().getDisplayHelp());
    EXPECT_FALSE(gc.getOptions().getShowWireFrame());
    EXPECT_FALSE(gc.getOptions().getTransparenz());
    EXPECT_FALSE(gc.getOptions().getDrawMiniMap());
    EXPECT_EQ(gc.getOptions().getRenderMode(), RenderOptions::kDisplayLists);
    EXPECT_EQ(gc.getOptions().getTextureQuality(), 0);
    EXPECT_EQ(gc.getOptions().getMipMappingMode(), 1);
    EXPECT_EQ(gc.getCamera(0).getViewPos(), (std::array<float, 3>{20, 70, 50}));
}

TEST_F(GameClassOptionsTest, TogglesPrintTheirLineAndShowTheirMessage) {
    testing::internal::CaptureStdout();
    gc.getOptions().toggleOption(7); // F7
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Use DisplayLists off\n");
    EXPECT_FALSE(gc.getOptions().getUseDisplayLists());
    EXPECT_EQ(gc.getOptions().getStatusMessage(), "Use DisplayLists off");
    EXPECT_FLOAT_EQ(gc.getOptions().getStatusMessageTime(), 2.0f);

    // Help and the minimap report on the console only: the earlier message stays.
    testing::internal::CaptureStdout();
    gc.getOptions().toggleOption(1);
    gc.getOptions().setDrawMiniMap(true);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Display Help\nMinimap on\n");
    EXPECT_EQ(gc.getOptions().getStatusMessage(), "Use DisplayLists off");

    struct Case {
        int key;
        const char *message;
    };
    const Case cases[] = {{2, "Display FPS"},         {3, "Show Wireframe"},    {8, "Disable FrustumCulling"},
                          {9, "Enable Transparency"}, {10, "Use Lightmap off"}, {11, "Use Shadowmap off"},
                          {11, "Use Shadowmap on"}};
    testing::internal::CaptureStdout();
    for (const Case &c : cases) {
        gc.getOptions().toggleOption(c.key);
        EXPECT_EQ(gc.getOptions().getStatusMessage(), c.message) << "F" << c.key;
    }
    testing::internal::GetCapturedStdout();
    gc.getOptions().toggleOption(13); // F13 has no option
    EXPECT_EQ(gc.getOptions().getStatusMessage(), "Use Shadowmap on");
    gc.getOptions().toggleOption(12);
    EXPECT_TRUE(gc.getOptions().getDrawObstacleMap());
    EXPECT_EQ(gc.getOptions().getStatusMessage(), "Obstacle map on");
}

TEST_F(GameClassOptionsTest, CyclesWrapWithTheirMessages) {
    testing::internal::CaptureStdout();
    for (int i = 0; i < 3; ++i)
        gc.getOptions().changeRenderMode();
    EXPECT_EQ(gc.getOptions().getRenderMode(), RenderOptions::kImmediate);
    EXPECT_EQ(gc.getOptions().getStatusMessage(), "change RenderMode to ImediateMode");
    gc.getOptions().changeRenderMode();
    EXPECT_EQ(gc.getOptions().getStatusMessage(), "change RenderMode to DisplayLists");

    gc.getOptions().changeMipMappingQuality();
    EXPECT_EQ(gc.getOptions().getStatusMessage(), "change MipMappingMode to LINEAR");
    gc.getOptions().changeMipMappingQuality();
    EXPECT_EQ(gc.getOptions().getMipMappingMode(), 0);
    EXPECT_EQ(gc.getOptions().getStatusMessage(), "change MipMappingMode to AUS");

    gc.getOptions().changeTextureQuality();
    EXPECT_EQ(gc.getOptions().getStatusMessage(), "change Texturequality to GL_NEAREST");
    gc.getOptions().changeTextureQuality();
    EXPECT_EQ(gc.getOptions().getTextureQuality(), 0);
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_NE(console.find("change RenderMode\nchange RenderMode\n"), std::string::npos);
    EXPECT_NE(console.find("change Texturequality to GL_LINEAR\n"), std::string::npos);
}

TEST_F(GameClassOptionsTest, StatusMessageExpiresAfterTwoSeconds) {
    testing::internal::CaptureStdout();
    gc.getOptions().setTransparenz(true);
    testing::internal::GetCapturedStdout();
    gc.getOptions().countDownStatusMessage(1.5f);
    EXPECT_EQ(gc.getOptions().getStatusMessage(), "Enable Transparency");
    gc.getOptions().countDownStatusMessage(0.6f);
    EXPECT_TRUE(gc.getOptions().getStatusMessage().empty());
}

TEST_F(GameClassOptionsTest, CameraPitchStaysAboveTheTarget) {
    gc.getCamera(0).setAngleX(-45);
    gc.getCamera(0).setAngleX(-5);
    gc.getCamera(0).setAngleX(-85);
    EXPECT_FLOAT_EQ(gc.getCamera(0).getAngleX(), -45);
    gc.getCamera(0).setAngleX(-80);
    EXPECT_FLOAT_EQ(gc.getCamera(0).getAngleX(), -80);
    gc.getCamera(0).setAngleX(-10);
    EXPECT_FLOAT_EQ(gc.getCamera(0).getAngleX(), -10);

    gc.getCamera(0).setAngleX(-45);
    gc.getCamera(0).setCamDistance(70);
    gc.getCamera(0).calcViewPos(0);
    EXPECT_NEAR(gc.getCamera(0).getViewPos()[0], 0.0, 1e-3);
    EXPECT_NEAR(gc.getCamera(0).getViewPos()[1], 49.497, 1e-3);
    EXPECT_NEAR(gc.getCamera(0).getViewPos()[2], 49.497, 1e-3);
    gc.getCamera(0).calcViewPos(90); // an extra yaw swings the camera round to +x
    EXPECT_NEAR(gc.getCamera(0).getViewPos()[0], 49.497, 1e-3);
    EXPECT_NEAR(gc.getCamera(0).getViewPos()[2], 0.0, 1e-3);
}

TEST(GameClassImportTest, RegistersEveryVisibleFileByBareName) {
    GameDataFixture data;
    GameClass gc;
    data.dir.write("data/textures/a.png", "not an image");
    data.dir.write("data/textures/.hidden.png", "x");
    testing::internal::CaptureStderr();
    EXPECT_TRUE(gc.importTextures("data/textures/"));
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("Error: "), std::string::npos);
    EXPECT_NE(errors.find("a.png"), std::string::npos);
    EXPECT_TRUE(gc.getTextureHolder()->hasTexture("a.png"));
    EXPECT_FALSE(gc.getTextureHolder()->hasTexture(".hidden.png"));
    EXPECT_TRUE(gc.importTextures("data/no-such-folder/"));
}

} // namespace

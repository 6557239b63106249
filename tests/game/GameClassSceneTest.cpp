// The camera and the frame over a started level: the orbit offset, the view-cone culling counted
// through drawObjects, and frames that go on after player one's tank is gone.
#include "game/WorldTestSupport.h"

#include "objects/LvlObject.h"
#include "objects/Projektil.h"

#include <GL/gl.h>

#include <array>

using namespace worldtest;

namespace {

using GameClassSceneTest = WorldSession;

std::array<float, 3> posOf(const SpielObject *object) {
    const float *p = object->getPos();
    return {p[0], p[1], p[2]};
}

// Switches an option without its console line.
template <typename Setter> void quietly(Setter set) {
    testing::internal::CaptureStdout();
    set();
    testing::internal::GetCapturedStdout();
}

TEST_F(GameClassSceneTest, CalcViewPosOrbitsTheTargetAtTheCameraDistance) {
    ASSERT_TRUE(start("orbit.lvl", vehicle("player1", "spieler1", 4, -6, 0)));
    gc.getCamera(0).setCamDistance(70);
    gc.getCamera(0).setAngleX(-45);
    gc.getCamera(0).setAngleY(0);
    gc.getCamera(0).calcViewPos(0);
    EXPECT_NEAR(gc.getCamera(0).getViewPos()[0], 0.0f, 1e-3);
    EXPECT_NEAR(gc.getCamera(0).getViewPos()[1], 49.497f, 1e-3);
    EXPECT_NEAR(gc.getCamera(0).getViewPos()[2], 49.497f, 1e-3);

    // The eye is the target plus the offset.
    const std::array<float, 3> eye = gc.getCameraPos();
    const float *target = gc.getWorld().getPlayer1Vehicle()->getPos();
    for (int i = 0; i < 3; ++i)
        EXPECT_FLOAT_EQ(eye[i], target[i] + gc.getCamera(0).getViewPos()[i]);

    // The extra yaw and angleY add up; a quarter turn swings the offset from +z to +x.
    gc.getCamera(0).calcViewPos(90);
    EXPECT_NEAR(gc.getCamera(0).getViewPos()[0], 49.497f, 1e-3);
    EXPECT_NEAR(gc.getCamera(0).getViewPos()[2], 0.0f, 1e-3);
    gc.getCamera(0).setAngleY(120);
    gc.getCamera(0).calcViewPos(-120);
    EXPECT_NEAR(gc.getCamera(0).getViewPos()[0], 0.0f, 1e-3);
    EXPECT_NEAR(gc.getCamera(0).getViewPos()[2], 49.497f, 1e-3);

    // A flatter pitch lowers the eye; a pitch outside [-80, -10] is ignored.
    gc.getCamera(0).setAngleY(0);
    gc.getCamera(0).setAngleX(-10);
    gc.getCamera(0).setAngleX(-5);
    gc.getCamera(0).calcViewPos(0);
    EXPECT_FLOAT_EQ(gc.getCamera(0).getAngleX(), -10.0f);
    EXPECT_NEAR(gc.getCamera(0).getViewPos()[1], 12.155f, 1e-3);
    EXPECT_NEAR(gc.getCamera(0).getViewPos()[2], 68.937f, 1e-3);
}

TEST_F(GameClassSceneTest, CullingCountsEveryObjectOutsideTheViewConeOnce) {
    // Player one faces -z; the camera looks along -z from behind and above it.
    ASSERT_TRUE(start("cull.lvl", object("crate1", "crate.md2", 0, -10) +
                                      vehicle("player1", "spieler1", 0, 10, 180) +
                                      vehicle("cpu1", "cpu", -10, -15, 0)));
    gc.getCamera(0).setAngleY(0);
    gc.getCamera(0).calcViewPos(0);
    const float yaw = 0; // the same yaw as the view position
    EXPECT_EQ(gc.getView().drawObjects(yaw), 0);

    // Behind the camera: the eye plus half the offset again.
    const std::array<float, 3> eye = gc.getCameraPos();
    const float *offset = gc.getCamera(0).getViewPos().data();
    const float behind[3] = {eye[0] + offset[0] / 2, eye[1] + offset[1] / 2, eye[2] + offset[2] / 2};
    LvlObject *crate = gc.getWorld().getLevelObjectVektor().front();
    crate->setPos(behind);
    EXPECT_EQ(gc.getView().drawObjects(yaw), 1);

    // Far beside the cone, in front of the eye: every corner fails a side plane; it counts too.
    const float beside[3] = {200, 0, 10};
    Fahrzeug *cpu = vehicleNamed("cpu1");
    const std::array<float, 3> cpuHome = posOf(cpu);
    cpu->setPos(beside);
    EXPECT_EQ(gc.getView().drawObjects(yaw), 2);

    // Shells are counted the same way.
    const float up[3] = {0, 1, 0};
    gc.getWorld().getProjektilvektor().push_back(new Projektil(behind, up, nullptr, nullptr, &gc, "behind"));
    EXPECT_EQ(gc.getView().drawObjects(yaw), 3);

    // The blended pass changes what is drawn when, not what is culled.
    quietly([&] { gc.getOptions().setTransparenz(true); });
    EXPECT_EQ(gc.getView().drawObjects(yaw), 3);
    cpu->setPos(cpuHome.data());
    EXPECT_EQ(gc.getView().drawObjects(yaw), 2);

    // Without culling everything is drawn and nothing counted.
    quietly([&] { gc.getOptions().setUseFrustumCulling(false); });
    EXPECT_EQ(gc.getView().drawObjects(yaw), 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GameClassSceneTest, FramesGoOnWithTheLastCameraTargetAfterPlayerOnesTankIsRemoved) {
    ASSERT_TRUE(start("gone.lvl", object("crate1", "crate.md2", 0, -5) +
                                      vehicle("player1", "spieler1", 5, 5, 30) +
                                      vehicle("cpu1", "cpu", -25, -25, 0)));
    drawFrame();
    runFor(kFrame);
    Fahrzeug *tank = gc.getWorld().getPlayer1Vehicle();
    const std::array<float, 3> lastTarget = posOf(tank);
    drawFrame(); // the camera's last look at the tank

    tank->addDamage(100);
    runFor(Fahrzeug::kDeathSeconds + 0.5f);
    runFor(kFrame);
    ASSERT_EQ(gc.getWorld().getPlayer1Vehicle(), nullptr);
    ASSERT_EQ(gc.getWorld().getFahrzeugvektor().size(), 1u);

    // Every overlay and pass that follows the target, with and without the options that read it.
    quietly([&] {
        gc.getOptions().setDrawMiniMap(true);
        gc.getOptions().setDisplayHelp(true);
        gc.getOptions().setTransparenz(true);
    });
    for (int frame = 0; frame < 3; ++frame) {
        EXPECT_EQ(runFor(kFrame), GameClass::kStepDone);
        drawFrame();
        const std::array<float, 3> eye = gc.getCameraPos();
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(eye[i] - gc.getCamera(0).getViewPos()[i], lastTarget[i], 1e-4)
                << "frame " << frame << " axis " << i;
    }
    quietly([&] {
        gc.getOptions().setUseShadowmap(false);
        gc.getOptions().setUseComplexParticleEngine(false);
        gc.getOptions().setUseFrustumCulling(false);
    });
    drawFrame();
    EXPECT_EQ(gc.getView().drawObjects(0), 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace

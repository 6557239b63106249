#include "game/GameClass.h"
#include "level/Level.h"
#include "level/LevelFileReader.h"
#include "level/SkyBoxFace.h"
#include "render/ImageLoader.h"
#include "model/Modell.h"

#include "support/GlTestContext.h"
#include "support/TempDir.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>

namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(PANZER_SOURCE_DIR) / "data";

// The shipped levels as the game sees them: read with the real data tree.
struct LevelContentTest : ::testing::Test {
    ScopedCwd cwd{PANZER_SOURCE_DIR}; // the game runs in the folder that holds data/
    GameClass gc;                     // reads the shipped vehicle and weapon tables

    Level *load(const std::string &name) {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        gc.importTextures((kData / "textures").string() + "/");
        const bool imported = gc.getData().importLevels((kData / "level").string() + "/");
        Level *level = gc.getData().getLevel(name);
        if (level != nullptr) {
            level->setGC(&gc);
            level->calculateSurfaceMesh();
        }
        testing::internal::GetCapturedStdout();
        errors = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(imported);
        return level;
    }

    std::string errors; // stderr of the import and the grid
};

float distance2d(const float *a, const float *b) {
    return std::hypot(a[0] - b[0], a[2] - b[2]);
}

// The shipped battlefields, lvl1.lvl first.
std::vector<std::string> shippedLevels() {
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(kData / "level")) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("lvl", 0) == 0 && entry.path().extension() == ".lvl") {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool inside(const Level &level, const float *p, float margin) {
    return p[0] >= level.getX1() + margin && p[0] <= level.getX2() - margin &&
           p[2] >= level.getZ1() + margin && p[2] <= level.getZ2() - margin;
}

void expectPlayable(const Level &level, const GameClass &gc) {
    // Every texture it names is shipped.
    std::vector<std::string> pictures = {level.getBGPicture(), level.getHeightMap()};
    for (int face = 0; face < Level::kSkyFaces; ++face) {
        pictures.push_back(level.getSkyPicture(face));
    }
    for (const std::string &picture : pictures) {
        EXPECT_TRUE(fs::is_regular_file(kData / "textures" / picture)) << picture;
    }
    // Objects stand on the ground, a little sunk into it at most.
    std::set<std::string> names;
    for (const auto &object : level.getObjectDataList()) {
        const float *p = object->getPos();
        const float ground = level.getTerrainHeight(p[0], p[2]);
        EXPECT_LE(p[1], ground + 0.05f) << object->getName();
        EXPECT_GE(p[1], ground - 0.5f) << object->getName();
        EXPECT_TRUE(names.insert(object->getName()).second) << "duplicate name " << object->getName();
        EXPECT_GT(object->getSize(), 0.0f);
        EXPECT_TRUE(inside(level, p, 0.0f)) << object->getName();
    }
    // Vehicles start just above the ground, on drivable ground, apart from each other.
    for (const auto &vehicle : level.getVehicleDataList()) {
        const float *p = vehicle->getPos();
        const float ground = level.getTerrainHeight(p[0], p[2]);
        EXPECT_GE(p[1], ground + 0.2f) << vehicle->getName();
        EXPECT_LE(p[1], ground + 1.0f) << vehicle->getName();
        EXPECT_TRUE(names.insert(vehicle->getName()).second) << "duplicate name " << vehicle->getName();
        EXPECT_NE(gc.getFahrzeugDatenTyp(vehicle->getFahrzeugTyp()), nullptr) << vehicle->getFahrzeugTyp();
        EXPECT_EQ(vehicle->getModel(), "tank1.md2");
        EXPECT_TRUE(inside(level, p, 8.0f)) << vehicle->getName() << " starts too close to the edge";
        for (const auto &other : level.getVehicleDataList()) {
            if (other != vehicle) {
                EXPECT_GE(distance2d(p, other->getPos()), 20.0f)
                    << vehicle->getName() << " / " << other->getName();
            }
        }
    }
    EXPECT_FALSE(level.getMissionsZieleList().empty());
}

TEST_F(LevelContentTest, FirstLevelLoadsWithItsHeightmapAndVehicles) {
    const Level *level = load("lvl1.lvl");
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(errors, "") << "no level file or picture may be reported";
    ASSERT_TRUE(level->hasGrid());
    EXPECT_EQ(level->getGridColumns(), 150);
    EXPECT_EQ(level->getGridRows(), 150);
    EXPECT_FLOAT_EQ(level->getX2() - level->getX1(), 150.0f);
    expectPlayable(*level, gc);

    std::map<std::string, int> owners;
    for (const auto &vehicle : level->getVehicleDataList()) {
        ++owners[vehicle->getOwner()];
    }
    EXPECT_EQ(owners["spieler1"], 1);
    EXPECT_EQ(owners["spieler2"], 1);
    EXPECT_GE(owners["cpu"], 3);
    EXPECT_EQ(owners.size(), 3u);
    EXPECT_GE(level->getObjectDataList().size(), 10u);

    // Hills, a valley and open ground: heights use much of the range, and the
    // play area inside the rim is drivable (no step steeper than about 20
    // degrees between cell corners).
    int lowest = 255, highest = 0;
    float steepest = 0;
    for (int r = 0; r <= 150; r += 5) {
        for (int c = 0; c <= 150; c += 5) {
            lowest = std::min(lowest, level->getGridValue(c, r));
            highest = std::max(highest, level->getGridValue(c, r));
            const bool inside = std::abs(c - 75) < 45 && std::abs(r - 75) < 45;
            if (inside) {
                const float dx =
                    std::abs(level->getGridValue(c + 5, r) - level->getGridValue(c, r)) / 30.0f / 5;
                const float dz =
                    std::abs(level->getGridValue(c, r + 5) - level->getGridValue(c, r)) / 30.0f / 5;
                steepest = std::max({steepest, dx, dz});
            }
        }
    }
    EXPECT_LT(lowest, 40);
    EXPECT_GT(highest, 180);
    EXPECT_LT(steepest, 0.36f);
}

TEST_F(LevelContentTest, EveryBattlefieldLoadsCleanlyAndTheyGrowHarder) {
    const std::vector<std::string> levels = shippedLevels();
    ASSERT_GE(levels.size(), 4u);
    EXPECT_EQ(levels.front(), "lvl1.lvl");
    std::size_t computers = 0;
    int computerLife = 0;
    std::set<std::string> grounds;
    for (const std::string &name : levels) {
        SCOPED_TRACE(name);
        const Level *level = load(name);
        ASSERT_NE(level, nullptr);
        EXPECT_EQ(errors, "") << "no level file or picture may be reported";
        EXPECT_EQ(level->getLvlName(), name);
        EXPECT_EQ(level->getGridColumns(), 150);
        EXPECT_EQ(level->getGridRows(), 150);
        EXPECT_GT(level->getParTime(), 0.0f);
        EXPECT_FALSE(level->getLightDataList().empty());
        expectPlayable(*level, gc);
        std::map<std::string, int> owners;
        std::size_t cpu = 0;
        int life = 0;
        for (const auto &vehicle : level->getVehicleDataList()) {
            ++owners[vehicle->getOwner()];
            if (vehicle->getOwner() == "cpu") {
                ++cpu;
                life += vehicle->getLife();
                EXPECT_LE(vehicle->getLife(),
                          static_cast<int>(gc.getFahrzeugDatenTyp(vehicle->getFahrzeugTyp())->getMaxLife()));
            }
        }
        EXPECT_EQ(owners["spieler1"], 1);
        EXPECT_EQ(owners["spieler2"], 1);
        EXPECT_EQ(owners.size(), 3u);
        // Each battlefield sends at least as many computer tanks with more life in all.
        EXPECT_GE(cpu, std::max<std::size_t>(computers, 3));
        EXPECT_GT(life, computerLife);
        computers = cpu;
        computerLife = life;
        EXPECT_TRUE(grounds.insert(level->getBGPicture()).second) << "each place has its own ground";
    }
}

TEST_F(LevelContentTest, QuickTestLevelFacesPlayerOneWithOneComputerTank) {
    const Level *level = load("test_small.lvl");
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(errors, "");
    expectPlayable(*level, gc);
    ASSERT_EQ(level->getVehicleDataList().size(), 2u);
    const VehicleData &player = *level->getVehicleDataList()[0];
    const VehicleData &enemy = *level->getVehicleDataList()[1];
    EXPECT_EQ(player.getOwner(), "spieler1");
    EXPECT_EQ(enemy.getOwner(), "cpu");
    EXPECT_LT(distance2d(player.getPos(), enemy.getPos()), 40.0f);
    // Player one looks at the enemy: heading 0 faces +z, 180 faces -z.
    const float dx = enemy.getPos()[0] - player.getPos()[0], dz = enemy.getPos()[2] - player.getPos()[2];
    const float towards = std::atan2(dx, dz) * 180.0f / 3.14159265f;
    EXPECT_NEAR(std::remainder(player.getRotation() - towards, 360.0f), 0.0f, 10.0f);
    // It sorts after lvl1.lvl, so the first level is read first.
    EXPECT_LT(std::string("lvl1.lvl"), std::string("test_small.lvl"));
}

TEST_F(LevelContentTest, EveryModelIsShippedAndNothingStartsInsideAnother) {
    const fs::path models = kData / "model";
    if (!fs::is_directory(models)) {
        GTEST_SKIP() << "data/model/ is not there yet";
    }
    testing::internal::CaptureStderr();
    gc.getData().importModells((kData / "model").string() + "/");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    std::vector<std::string> levels = shippedLevels();
    levels.push_back("test_small.lvl");
    for (const std::string &name : levels) {
        SCOPED_TRACE(name);
        std::unique_ptr<Level> level = LevelFileReader().readLevelFile((kData / "level" / name).string());
        ASSERT_NE(level, nullptr);
        // Every object and vehicle as a circle around its position: half the
        // diagonal of its model's footprint, times its size.
        struct Footprint {
            std::string name;
            const float *pos;
            float radius;
            bool vehicle;
            bool cover; // flat ice or water that others stand in or drive onto
        };
        std::vector<Footprint> footprints;
        const auto add = [&](const ObjectData &object, bool vehicle) {
            Md2Model *model = gc.getModell(object.getModel());
            ASSERT_NE(model, nullptr) << object.getName() << ": " << object.getModel();
            Modell view(model);
            view.calcBorder();
            const float *box = view.getBorder(); // model axes: x and y lie flat, z is up
            const float width = std::min(box[1] - box[0], box[3] - box[2]);
            footprints.push_back({object.getName(), object.getPos(),
                                  std::hypot(box[1] - box[0], box[3] - box[2]) / 2 * object.getSize(),
                                  vehicle, !vehicle && box[5] - box[4] < width / 10});
        };
        for (const auto &object : level->getObjectDataList()) {
            add(*object, false);
        }
        for (const auto &vehicle : level->getVehicleDataList()) {
            add(*vehicle, true);
        }
        for (std::size_t i = 0; i < footprints.size(); ++i) {
            for (std::size_t j = i + 1; j < footprints.size(); ++j) {
                const Footprint &a = footprints[i], &b = footprints[j];
                if (a.cover || b.cover) {
                    continue;
                }
                // Vehicles need room to move off; wall segments may touch.
                const float needed = (a.radius + b.radius) * (a.vehicle || b.vehicle ? 1.0f : 0.9f);
                EXPECT_GE(distance2d(a.pos, b.pos), needed) << a.name << " / " << b.name;
            }
        }
    }
}

// Where direction `d` (on the unit cube) lies on `face`: true with its
// texture coordinates when the face's square holds it.
bool locate(const SkyBoxFace &face, const float d[3], float &s, float &t) {
    float origin[3], alongS[3], alongT[3];
    face.direction(0, 0, origin);
    face.direction(1, 0, alongS);
    face.direction(0, 1, alongT);
    float ds = 0, dt = 0, ls = 0, lt = 0;
    for (int a = 0; a < 3; ++a) {
        const float es = alongS[a] - origin[a], et = alongT[a] - origin[a];
        ds += (d[a] - origin[a]) * es;
        dt += (d[a] - origin[a]) * et;
        ls += es * es;
        lt += et * et;
    }
    s = ds / ls;
    t = dt / lt;
    float back[3];
    face.direction(s, t, back);
    const bool onPlane =
        std::fabs(back[0] - d[0]) + std::fabs(back[1] - d[1]) + std::fabs(back[2] - d[2]) < 1e-4f;
    return onPlane && s > -1e-4f && s < 1 + 1e-4f && t > -1e-4f && t < 1 + 1e-4f;
}

// The six pictures of one sky box, as `level` names them.
void expectSeamlessSky(const Level &level) {
    const ImageLoader loader;
    const auto &faces = SkyBoxFace::all();
    std::vector<DevilImageDefinition> images;
    for (int f = 0; f < Level::kSkyFaces; ++f) {
        const std::string &picture = level.getSkyPicture(f);
        images.push_back(loader.loadImage((kData / "textures" / picture).string()));
        ASSERT_TRUE(images.back().hasPixels()) << picture;
        ASSERT_EQ(images.back().getIlImageColorDepth(), 3) << picture;
        ASSERT_EQ(images.back().getIlImageWidth(), images.front().getIlImageWidth());
        ASSERT_EQ(images.back().getIlImageHeight(), images.back().getIlImageWidth()) << picture;
    }
    const int side = images.front().getIlImageWidth();
    const auto pixel = [&](int f, int x, int y) {
        return images[static_cast<std::size_t>(f)].getIlImageData() +
               (static_cast<std::size_t>(y) * side + x) * 3;
    };
    int compared = 0, worst = 0;
    for (int f = 0; f < 6; ++f) {
        for (int i = 0; i < side; i += 7) {
            const int edge[4][2] = {{i, 0}, {i, side - 1}, {0, i}, {side - 1, i}};
            for (const auto &p : edge) {
                float d[3];
                faces[static_cast<std::size_t>(f)].direction(static_cast<float>(p[0]) / (side - 1),
                                                             static_cast<float>(p[1]) / (side - 1), d);
                for (int g = 0; g < 6; ++g) {
                    float s = 0, t = 0;
                    if (g == f || !locate(faces[static_cast<std::size_t>(g)], d, s, t)) {
                        continue;
                    }
                    const unsigned char *a = pixel(f, p[0], p[1]);
                    const unsigned char *b = pixel(g, static_cast<int>(std::lround(s * (side - 1))),
                                                   static_cast<int>(std::lround(t * (side - 1))));
                    for (int c = 0; c < 3; ++c) {
                        worst = std::max(worst, std::abs(a[c] - b[c]));
                    }
                    ++compared;
                }
            }
        }
    }
    EXPECT_GT(compared, 6 * 4 * (side / 7));
    EXPECT_LE(worst, 3) << "largest colour step across a sky box edge";
    for (const DevilImageDefinition &image : images) {
        loader.closeImage(image);
    }
}

TEST(SkyBoxPicturesTest, NeighbouringFacesMeetWithoutASeam) {
    // The shared sky of levels that name none, and every battlefield's own.
    for (const std::string &name : shippedLevels()) {
        SCOPED_TRACE(name);
        std::unique_ptr<Level> level = LevelFileReader().readLevelFile((kData / "level" / name).string());
        ASSERT_NE(level, nullptr);
        expectSeamlessSky(*level);
    }
}

} // namespace

namespace {

struct LevelContentGlTest : GlTest {
    ScopedCwd cwd{PANZER_SOURCE_DIR};
    GameClass gc;
};

TEST_F(LevelContentGlTest, FirstLevelDrawsGroundBelowAndSkyAbove) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    gc.importTextures("data/textures/");
    gc.getData().importLevels("data/level/");
    Level *level = gc.getData().getLevel("lvl1.lvl");
    ASSERT_NE(level, nullptr);
    level->setGC(&gc);
    level->calculateSurfaceMesh();

    // The game's view: clockwise front faces, back faces culled, the fixed
    // scene light; the eye where the session says the camera is.
    const std::array<float, 3> eye = gc.getCameraPos();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(80, static_cast<double>(GlTestContext::width()) / GlTestContext::height(), 1, 5000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(eye[0], eye[1], eye[2], -20, 0, -40, 0, 1, 0);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CW);
    const float position[4] = {-5, 100, -100, 0}, white[4] = {1, 1, 1, 1},
                ambient[4] = {0.2f, 0.2f, 0.2f, 0.2f};
    glLightfv(GL_LIGHT1, GL_POSITION, position);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHTING);
    level->drawSurface(false, true, 1, 0, 1, true);
    glDisable(GL_LIGHTING);
    level->drawLvlHintergrund(1, 0, 1);
    const FrameCapture frame = GlTestContext::readFrameBuffer();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    // Nothing is left undrawn, the top shows blue sky and the bottom green ground.
    EXPECT_EQ(frame.litCount(), frame.width() * frame.height());
    const FrameCapture::Pixel sky = frame.at(frame.width() / 2, 2);
    EXPECT_GT(sky.b, sky.r);
    EXPECT_GT(sky.b, 150);
    const FrameCapture::Pixel ground = frame.at(frame.width() / 2, frame.height() - 3);
    EXPECT_GT(ground.g, ground.r);
    EXPECT_GT(ground.g, ground.b);
    glDisable(GL_LIGHT1);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glFrontFace(GL_CCW);
}

} // namespace

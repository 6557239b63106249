// Draws game objects under OpenGL: the three ways of sending a model must put the same pixels in
// the same place, models that cannot be drawn leave the picture black, and every model gets one
// display list however often it is drawn.
#include "objects/SpielObject.h"

#include "objects/ObjectTestSupport.h"
#include "particles/ParticleEngine.h"
#include "render/MultiTexWrapper.h"
#include "support/GlTestContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace ObjectTestSupport;

namespace {

constexpr float kUnitsPerHalfWidth = 10.0f; // the orthographic view spans -10..10 in x

// The lit part of a picture.
struct Lit {
    int minX = 0, minY = 0, maxX = 0, maxY = 0;
    int count = 0;
    bool any = false;
};

Lit lit(const FrameCapture &frame) {
    Lit l;
    l.any = frame.litBounds(l.minX, l.minY, l.maxX, l.maxY);
    l.count = frame.litCount();
    return l;
}

std::unique_ptr<Md2Model> loadModel(const Md2Bytes &bytes, const std::string &name) {
    auto model = std::make_unique<Md2Model>();
    const std::string file = bytes.build();
    EXPECT_TRUE(
        model->readFromMemory(reinterpret_cast<const unsigned char *>(file.data()), file.size(), name));
    model->setName(name);
    return model;
}

unsigned int greyTexture(unsigned char value) {
    const std::vector<unsigned char> texels(4 * 4 * 3, value);
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 4, 4, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
    return id;
}

struct SpielObjectDrawTest : GlTest {
    Session session;
    GameClass &gc = session.gc;
    std::unique_ptr<Md2Model> square = loadModel(ObjectTestSupport::square(4.0f), "square.md2");

    void SetUp() override {
        GlTest::SetUp();
        // Every object shows its texture in plain white light: emission only, so the normals
        // (flat or smoothed) and the current colour (grey, black) do not matter.
        glMatrixMode(GL_PROJECTION);
        const double halfHeight = kUnitsPerHalfWidth * GlTestContext::height() / GlTestContext::width();
        glOrtho(-kUnitsPerHalfWidth, kUnitsPerHalfWidth, -halfHeight, halfHeight, -50.0, 50.0);
        glMatrixMode(GL_MODELVIEW);
        glEnable(GL_LIGHTING);
        const GLfloat none[4] = {0, 0, 0, 1};
        const GLfloat white[4] = {1, 1, 1, 1};
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, none);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, none);
        glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, white);
        gc.getTextureHolder()->setTexture("skin.png", greyTexture(255));
    }
    void TearDown() override {
        const GLfloat none[4] = {0, 0, 0, 1};
        glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, none);
        glDisable(GL_LIGHTING);
    }

    FrameCapture drawn(const SpielObject &o, int mode, bool lightmap = false, int mipmaps = 0) {
        glClear(GL_COLOR_BUFFER_BIT);
        o.draw(0.0f, 0.0f, false, lightmap, mode, 0, mipmaps);
        return GlTestContext::readFrameBuffer();
    }

    SpielObject &place(SpielObject &o, Md2Model *model, float x, float y) {
        o.setGameClass(&gc);
        o.getModell()->setModel(model);
        const float pos[3] = {x, y, 0.0f};
        o.setPos(pos);
        return o;
    }

    int pixelsPerUnit() const { return static_cast<int>(GlTestContext::width() / (2 * kUnitsPerHalfWidth)); }
};

} // namespace

TEST_F(SpielObjectDrawTest, TheThreeModesPutTheSamePixelsWhereTheObjectStands) {
    SpielObject o;
    place(o, square.get(), -6.0f, -2.0f);
    o.getModell()->setScale(0.5f); // a 2 x 2 square from (-6, -2) to (-4, 0)

    const Lit immediate = lit(drawn(o, 0));
    ASSERT_TRUE(immediate.any);
    const int ppu = pixelsPerUnit();
    const int cx = GlTestContext::width() / 2;
    const int cy = GlTestContext::height() / 2;
    EXPECT_NEAR(immediate.minX, cx - 6 * ppu, 1);
    EXPECT_NEAR(immediate.maxX, cx - 4 * ppu - 1, 1);
    EXPECT_NEAR(immediate.minY, cy, 1); // world y 0, rows counted from the top
    EXPECT_NEAR(immediate.maxY, cy + 2 * ppu - 1, 1);
    EXPECT_NEAR(immediate.count, 4 * ppu * ppu, 2 * ppu);
    const FrameCapture frame = drawn(o, 0);
    EXPECT_EQ(frame.at(cx - 5 * ppu, cy + ppu).r, 255); // white skin in white light

    for (int mode : {1, 2, 3}) {
        const Lit other = lit(drawn(o, mode));
        EXPECT_TRUE(other.any) << mode;
        EXPECT_EQ(other.minX, immediate.minX) << mode;
        EXPECT_EQ(other.maxX, immediate.maxX) << mode;
        EXPECT_EQ(other.minY, immediate.minY) << mode;
        EXPECT_EQ(other.maxY, immediate.maxY) << mode;
        EXPECT_EQ(other.count, immediate.count) << mode;
    }

    // Half a turn about y puts the square on the other side of its position.
    o.setRotY(180.0f);
    const Lit turned = lit(drawn(o, 1));
    EXPECT_NEAR(turned.minX, cx - 8 * ppu, 1);
    EXPECT_NEAR(turned.maxX, cx - 6 * ppu - 1, 1);
}

TEST_F(SpielObjectDrawTest, DrawingLeavesTheMatricesTexturesAndErrorsAsItFoundThem) {
    SpielObject o;
    place(o, square.get(), 0.0f, 0.0f);
    GLint depthBefore = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
    for (int mode : {0, 1, 2, 3}) {
        for (int mipmaps : {0, 1, 2}) {
            drawn(o, mode, true, mipmaps);
            EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << mode << " " << mipmaps;
            GLint depth = 0;
            glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
            EXPECT_EQ(depth, depthBefore);
            EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
            if (MultiTexWrapper::isAvailable()) {
                GLint unit = 0;
                glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
                EXPECT_EQ(unit, GL_TEXTURE0);
            }
        }
    }
}

TEST_F(SpielObjectDrawTest, AModelWithoutItsSecondFrameOrNoModelDrawsNothing) {
    // The reader refuses a single-frame file and leaves the model empty; drawing must cope with
    // whatever frames a model has.
    Md2Model still;
    const std::string bytes = ObjectTestSupport::square(4.0f, 1).build();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(still.readFromMemory(reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size(),
                                      "still.md2"));
    testing::internal::GetCapturedStderr();
    still.setName("still.md2");
    ASSERT_LT(still.getNumFrames(), 2);
    SpielObject single;
    place(single, &still, 0.0f, 0.0f);
    SpielObject none;
    place(none, nullptr, 0.0f, 0.0f);
    testing::internal::CaptureStdout();
    for (int mode : {0, 1, 2, 3}) {
        EXPECT_EQ(drawn(single, mode).litCount(), 0) << mode;
        EXPECT_EQ(drawn(none, mode).litCount(), 0) << mode;
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(gc.getDisplayListHolder()->size(), 0u); // nothing compiled for them either
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
}

TEST_F(SpielObjectDrawTest, EachModelIsCompiledIntoOneDisplayList) {
    SpielObject left;
    SpielObject right;
    place(left, square.get(), -6.0f, 0.0f);
    place(right, square.get(), 2.0f, 0.0f);

    testing::internal::CaptureStdout();
    for (int frame = 0; frame < 3; ++frame) {
        glClear(GL_COLOR_BUFFER_BIT);
        left.draw(0.0f, 0.0f, false, false, 1, 0, 0);
        right.draw(0.0f, 0.0f, false, false, 1, 0, 0);
    }
    const std::string printed = testing::internal::GetCapturedStdout();
    DisplayListHolder *lists = gc.getDisplayListHolder();
    ASSERT_TRUE(lists->Contains("square.md2"));
    const unsigned int list = lists->getDisplayListIDByString("square.md2");
    EXPECT_EQ(printed, "Creating Display List No. " + std::to_string(list) + "\n");
    EXPECT_EQ(lists->size(), 1u);
    const Lit both = lit(GlTestContext::readFrameBuffer());
    EXPECT_NEAR(both.count, 2 * lit(drawn(left, 0)).count, 2); // both squares were drawn

    // A list the session compiled at level start is used as it is.
    std::unique_ptr<Md2Model> other = loadModel(ObjectTestSupport::square(2.0f), "other.md2");
    testing::internal::CaptureStdout();
    const unsigned int otherList = lists->generateDisplayListId("other.md2");
    gc.createList(otherList, other.get());
    SpielObject third;
    place(third, other.get(), 0.0f, 0.0f);
    EXPECT_TRUE(lit(drawn(third, 1)).any);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Creating Display List No. " + std::to_string(otherList) + "\n");
    EXPECT_EQ(lists->size(), 2u);
}

TEST_F(SpielObjectDrawTest, TheLightMapDarkensLevelObjectsAndVehiclesWithoutOneKeepTheirSkin) {
    const MultiTexWrapper probe; // looks the entry points up
    if (!MultiTexWrapper::isAvailable()) {
        GTEST_SKIP() << "the driver has no multitexturing";
    }
    gc.getTextureHolder()->setTexture("house1light", greyTexture(128));
    SpielObject house;
    place(house, square.get(), 0.0f, 0.0f);
    house.setObjectName("house1");
    SpielObject tank; // no object name: no light map of its own
    place(tank, square.get(), 0.0f, 0.0f);

    const int x = GlTestContext::width() / 2 + 2 * pixelsPerUnit();
    const int y = GlTestContext::height() / 2 - 2 * pixelsPerUnit();
    testing::internal::CaptureStderr();
    for (int mode : {0, 1, 2}) {
        EXPECT_NEAR(drawn(house, mode, true).at(x, y).r, 128, 2) << mode;
        EXPECT_EQ(drawn(house, mode, false).at(x, y).r, 255) << mode;
        EXPECT_EQ(drawn(tank, mode, true).at(x, y).r, 255) << mode;
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

namespace {

// An effect that writes down how it is drawn.
class DrawLog : public ParticleEngine {
  public:
    DrawLog(std::vector<std::string> *log, std::string name) : log(log), name(std::move(name)) {}
    void draw(float fXRot, float fYRot, float fZRot) override {
        log->push_back(name + " " + std::to_string(static_cast<int>(fXRot)) + " " +
                       std::to_string(static_cast<int>(fYRot)) + " " +
                       std::to_string(static_cast<int>(fZRot)));
    }

  private:
    std::vector<std::string> *log; // shared with the test
    std::string name;
};

} // namespace

TEST(SpielObjectEffectsTest, AnObjectWithoutAModelStillDrawsItsEffectsInOrder) {
    std::vector<std::string> log;
    SpielObject o;
    o.addPertikleEffekt(new DrawLog(&log, "smoke"));
    o.addPertikleEffekt(new DrawLog(&log, "fire"));
    o.draw(-30.0f, 45.0f, false, false, 0, 0, 0); // no model, no GL context needed
    o.drawParticleEngine(-30.0f, 45.0f);
    EXPECT_EQ(log, (std::vector<std::string>{"smoke -30 45 0", "fire -30 45 0"}));
}

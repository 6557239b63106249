#include "render/MultiTexWrapper.h"

#include "support/GlTestContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

namespace {
MultiTexWrapper::Proc findNothing(const char *) {
    return nullptr;
}

GLint activeUnit() {
    GLint unit = -1;
    glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &unit);
    return unit;
}

class MultiTexWrapperTest : public GlTest {
  protected:
    void TearDown() override {
        if (!GlTestContext::isOpen()) {
            return;
        }
        MultiTexWrapper restore; // leave the process-wide entry points usable for later tests
        restore.glActiveTextureARB0();
    }
};
} // namespace

TEST_F(MultiTexWrapperTest, SelectsUnitsAndSetsTheirCoordinates) {
    MultiTexWrapper wrapper;
    ASSERT_TRUE(MultiTexWrapper::isAvailable());
    wrapper.glActiveTextureARB2();
    EXPECT_EQ(activeUnit(), GL_TEXTURE2_ARB);
    wrapper.glActiveTextureARB1();
    EXPECT_EQ(activeUnit(), GL_TEXTURE1_ARB);

    wrapper.glMultiTexCoord2fARB0(0.25, 0.5);
    wrapper.glMultiTexCoord2fARB1(0.75, 1.5);
    wrapper.glMultiTexCoord2fARB2(-2.0, 3.0);
    const double expected[3][2] = {{0.25, 0.5}, {0.75, 1.5}, {-2.0, 3.0}};
    for (int unit = 0; unit < 3; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit); // core entry point, independent of the wrapper
        GLfloat coords[4] = {-9, -9, -9, -9};
        glGetFloatv(GL_CURRENT_TEXTURE_COORDS, coords);
        EXPECT_NEAR(coords[0], expected[unit][0], 1e-6) << "unit " << unit;
        EXPECT_NEAR(coords[1], expected[unit][1], 1e-6) << "unit " << unit;
    }
    wrapper.glActiveTextureARB0();
    EXPECT_EQ(activeUnit(), GL_TEXTURE0_ARB);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MultiTexWrapperTest, MissingEntryPointsMakeTheShortcutsDoNothing) {
    MultiTexWrapper().glActiveTextureARB1();
    ASSERT_EQ(activeUnit(), GL_TEXTURE1_ARB);

    testing::internal::CaptureStderr();
    MultiTexWrapper crippled(findNothing);
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(errors.rfind("Error: ", 0), 0u) << errors;
    EXPECT_FALSE(MultiTexWrapper::isAvailable());
    crippled.glActiveTextureARB2(); // would call through a null pointer
    crippled.glMultiTexCoord2fARB1(0.5, 0.5);
    EXPECT_EQ(activeUnit(), GL_TEXTURE1_ARB) << "nothing was called";

    MultiTexWrapper again; // every construction looks the functions up afresh
    EXPECT_TRUE(MultiTexWrapper::isAvailable());
}

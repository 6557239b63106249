#include "render/ShadowMap.h"

#include "render/GlExtensions.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
ShadowMap::Proc glutLookup(const char *name) {
    return glutGetProcAddress(name);
}

const GLenum kCoords[4] = {GL_S, GL_T, GL_R, GL_Q};
const GLenum kCoordGen[4] = {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R, GL_TEXTURE_GEN_Q};

void setEnv(GLenum name, GLint value) {
    glTexEnvi(GL_TEXTURE_ENV, name, value);
}
} // namespace

ShadowMap::ShadowMap() : ShadowMap(glutLookup, hasGlExtension) {}

ShadowMap::ShadowMap(ProcLookup procLookup, ExtensionQuery extensionQuery)
    : lookup(procLookup), hasExtension(extensionQuery) {}

ShadowMap::~ShadowMap() {
    if (!glWindowCurrent()) {
        return;
    }
    if (framebuffer != 0) {
        pglDeleteFramebuffersEXT(1, &framebuffer);
    }
    if (shadowTexture != 0) {
        glDeleteTextures(1, &shadowTexture);
    }
}

bool ShadowMap::init() {
    if (initialised) {
        return true; // one texture per map
    }
    auto has = [this](const char *extension) { return hasExtension != nullptr && hasExtension(extension); };
    if (lookup != nullptr && has("GL_ARB_multitexture")) {
        pglActiveTextureARB = reinterpret_cast<ActiveTextureProc>(lookup("glActiveTextureARB"));
    }
    GLint units = 1;
    if (pglActiveTextureARB != nullptr) {
        glGetIntegerv(GL_MAX_TEXTURE_UNITS_ARB, &units);
    }
    if (!has("GL_ARB_depth_texture") || !has("GL_ARB_shadow") || units < 3) {
        std::fprintf(stderr,
                     "Error: the OpenGL driver offers no depth textures with shadow compare "
                     "(GL_ARB_depth_texture, GL_ARB_shadow) on a third texture unit; shadows stay off\n");
        return false;
    }

    GLint previousTexture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previousTexture);
    glGenTextures(1, &shadowTexture);
    glBindTexture(GL_TEXTURE_2D, shadowTexture);
    // Start at the far plane everywhere, so that texels no depth pass writes
    // (outside the window-sized part of the copying pass) shadow nothing.
    const std::vector<unsigned char> farDepth(SHADOW_MAP_WIDTH * SHADOW_MAP_HEIGHT, 0xFF);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, SHADOW_MAP_WIDTH, SHADOW_MAP_HEIGHT, 0,
                 GL_DEPTH_COMPONENT, GL_UNSIGNED_BYTE, farDepth.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    if (has("GL_ARB_texture_border_clamp")) {
        // Outside the light's view a far border: lit, instead of the edge
        // texels of the map smeared across the rest of the level.
        const GLfloat farBorder[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_BORDER_ARB);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_BORDER_ARB);
        glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, farBorder);
    } else {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_DEPTH_TEXTURE_MODE_ARB, GL_INTENSITY);
    useFailValue = has("GL_ARB_shadow_ambient");
    if (useFailValue) {
        const GLfloat failValue[4] = {kShadowBrightness, kShadowBrightness, kShadowBrightness, 0.0f};
        glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FAIL_VALUE_ARB, failValue);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC_ARB, GL_LEQUAL);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE_ARB, GL_COMPARE_R_TO_TEXTURE_ARB);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previousTexture));

    // Without a compare-fail value a failed compare gives 0 (black); a fourth
    // unit then turns it into the same 0.4.
    darkenWithUnit3 = !useFailValue && units >= 4 && has("GL_ARB_texture_env_combine");
    if (lookup != nullptr && has("GL_EXT_framebuffer_object")) {
        createFramebuffer();
    }

    std::printf("Shadow Map Generated and Texture Assigned");
    initialised = true;
    return true;
}

bool ShadowMap::createFramebuffer() {
    pglGenFramebuffersEXT = reinterpret_cast<GenFramebuffersProc>(lookup("glGenFramebuffersEXT"));
    pglBindFramebufferEXT = reinterpret_cast<BindFramebufferProc>(lookup("glBindFramebufferEXT"));
    pglFramebufferTexture2DEXT =
        reinterpret_cast<FramebufferTexture2DProc>(lookup("glFramebufferTexture2DEXT"));
    pglCheckFramebufferStatusEXT =
        reinterpret_cast<CheckFramebufferStatusProc>(lookup("glCheckFramebufferStatusEXT"));
    pglDeleteFramebuffersEXT = reinterpret_cast<DeleteFramebuffersProc>(lookup("glDeleteFramebuffersEXT"));
    if (pglGenFramebuffersEXT == nullptr || pglBindFramebufferEXT == nullptr ||
        pglFramebufferTexture2DEXT == nullptr || pglCheckFramebufferStatusEXT == nullptr ||
        pglDeleteFramebuffersEXT == nullptr) {
        return false;
    }
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &previous);
    pglGenFramebuffersEXT(1, &framebuffer);
    pglBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
    pglFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_TEXTURE_2D, shadowTexture, 0);
    // Depth only: these belong to the framebuffer object, not to the window.
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    const bool complete = pglCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT;
    pglBindFramebufferEXT(GL_FRAMEBUFFER_EXT, static_cast<GLuint>(previous));
    if (!complete) {
        pglDeleteFramebuffersEXT(1, &framebuffer);
        framebuffer = 0;
    }
    return complete;
}

void ShadowMap::captureCurrentMatrix(MATRIX4X4 &into) {
    GLint mode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetFloatv(mode == GL_PROJECTION ? GL_PROJECTION_MATRIX : GL_MODELVIEW_MATRIX, into.entries);
}

void ShadowMap::selectUnit(unsigned int unit) const {
    if (pglActiveTextureARB != nullptr) {
        pglActiveTextureARB(GL_TEXTURE0_ARB + unit);
    }
}

void ShadowMap::createShadowMap(const DrawObjects &drawObjects, float fRotY) {
    if (!initialised || !drawObjects) {
        return;
    }
    // The map must not be read while it is being drawn.
    disableShadowUnits();

    // Copying from the window can only take what the window holds: a square
    // as large as the window allows (the frame's viewport is the window).
    GLint size = static_cast<GLint>(SHADOW_MAP_WIDTH);
    if (framebuffer == 0) {
        GLint viewport[4] = {0, 0, 0, 0};
        glGetIntegerv(GL_VIEWPORT, viewport);
        size = std::min({size, static_cast<GLint>(SHADOW_MAP_HEIGHT), viewport[2], viewport[3]});
        if (size <= 0) {
            return;
        }
    } else {
        pglBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
    }

    // Only the depth of the pass's square counts (colour writes are off): the
    // rest of the window is left alone, the scene clears it afterwards.
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, size, size);
    glClear(GL_DEPTH_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(lightProjectionMatrix.entries);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(lightViewMatrix.entries);
    glViewport(0, 0, size, size);
    // Back faces into the map, so that lit front faces do not shadow themselves.
    glCullFace(GL_FRONT);
    glShadeModel(GL_FLAT);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);

    drawObjects(fRotY);

    if (framebuffer == 0) {
        GLint previousTexture = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &previousTexture);
        glBindTexture(GL_TEXTURE_2D, shadowTexture);
        glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, size, size);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previousTexture));
    } else {
        pglBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    }
    glCullFace(GL_BACK);
    glShadeModel(GL_SMOOTH);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    filledFraction = static_cast<float>(size) / static_cast<float>(SHADOW_MAP_WIDTH);
}

MATRIX4X4 ShadowMap::shadowTextureMatrix() const {
    // Light clip coordinates -1..1 to texture coordinates 0..1 (x and y only
    // over the part of the texture the depth pass filled).
    const float half = 0.5f * filledFraction;
    const MATRIX4X4 bias(half, 0.0f, 0.0f, 0.0f, 0.0f, half, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, half, half,
                         0.5f, 1.0f);
    return bias * lightProjectionMatrix * lightViewMatrix;
}

void ShadowMap::generateTextureMatrix() {
    if (!initialised) {
        return;
    }
    selectUnit(2);
    glBindTexture(GL_TEXTURE_2D, shadowTexture);
    glEnable(GL_TEXTURE_2D);
    const MATRIX4X4 textureMatrix = shadowTextureMatrix();
    for (int k = 0; k < 4; ++k) {
        const VECTOR4D row = textureMatrix.GetRow(k);
        const GLfloat plane[4] = {row.x, row.y, row.z, row.w};
        glTexGeni(kCoords[k], GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
        glTexGenfv(kCoords[k], GL_EYE_PLANE, plane);
        glEnable(kCoordGen[k]);
    }
    if (!darkenWithUnit3) {
        setEnv(GL_TEXTURE_ENV_MODE, GL_MODULATE);
        selectUnit(0);
        return;
    }
    // Unit 2 passes the colour on and puts the shadow factor into alpha:
    // interpolate(compare, 0.4, compare) = compare + 0.4 * (1 - compare).
    setEnv(GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
    setEnv(GL_COMBINE_RGB_ARB, GL_REPLACE);
    setEnv(GL_SOURCE0_RGB_ARB, GL_PREVIOUS_ARB);
    setEnv(GL_OPERAND0_RGB_ARB, GL_SRC_COLOR);
    setEnv(GL_COMBINE_ALPHA_ARB, GL_INTERPOLATE_ARB);
    setEnv(GL_SOURCE0_ALPHA_ARB, GL_TEXTURE);
    setEnv(GL_OPERAND0_ALPHA_ARB, GL_SRC_ALPHA);
    setEnv(GL_SOURCE1_ALPHA_ARB, GL_CONSTANT_ARB);
    setEnv(GL_OPERAND1_ALPHA_ARB, GL_SRC_ALPHA);
    setEnv(GL_SOURCE2_ALPHA_ARB, GL_TEXTURE);
    setEnv(GL_OPERAND2_ALPHA_ARB, GL_SRC_ALPHA);
    setEnv(GL_RGB_SCALE_ARB, 1);
    setEnv(GL_ALPHA_SCALE, 1);
    const GLfloat shadowShare[4] = {0.0f, 0.0f, 0.0f, kShadowBrightness};
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, shadowShare);

    // Unit 3 scales the colour by that factor and takes the alpha of the
    // vertex colour back (the texture alpha of the lower units is lost).
    // It needs a complete texture to run; the map serves, unsampled.
    selectUnit(3);
    glBindTexture(GL_TEXTURE_2D, shadowTexture);
    glEnable(GL_TEXTURE_2D);
    setEnv(GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
    setEnv(GL_COMBINE_RGB_ARB, GL_MODULATE);
    setEnv(GL_SOURCE0_RGB_ARB, GL_PREVIOUS_ARB);
    setEnv(GL_OPERAND0_RGB_ARB, GL_SRC_COLOR);
    setEnv(GL_SOURCE1_RGB_ARB, GL_PREVIOUS_ARB);
    setEnv(GL_OPERAND1_RGB_ARB, GL_SRC_ALPHA);
    setEnv(GL_COMBINE_ALPHA_ARB, GL_REPLACE);
    setEnv(GL_SOURCE0_ALPHA_ARB, GL_PRIMARY_COLOR_ARB);
    setEnv(GL_OPERAND0_ALPHA_ARB, GL_SRC_ALPHA);
    setEnv(GL_RGB_SCALE_ARB, 1);
    setEnv(GL_ALPHA_SCALE, 1);
    selectUnit(0);
}

void ShadowMap::disableShadowUnits() {
    if (!initialised) {
        return;
    }
    if (darkenWithUnit3) {
        selectUnit(3);
        glDisable(GL_TEXTURE_2D);
        setEnv(GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }
    selectUnit(2);
    glDisable(GL_TEXTURE_2D);
    for (GLenum gen : kCoordGen) {
        glDisable(gen);
    }
    setEnv(GL_TEXTURE_ENV_MODE, GL_MODULATE);
    selectUnit(0);
}

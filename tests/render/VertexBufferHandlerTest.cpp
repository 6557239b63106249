#include "render/VertexBufferHandler.h"

#include "model/Md2Bytes.h"
#include "model/Md2Model.h"

#include "support/GlTestContext.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

namespace {
using Proc = VertexBufferHandler::Proc;

// ---- a driver that records and lies, forwarding to the real one ----

std::map<GLuint, GLenum> lastTargets; // buffer -> target it was last bound to
int sizeShortfall = 0;                // bytes the fake size query under-reports

void APIENTRY recordingBind(GLenum target, GLuint buffer) {
    if (buffer != 0) {
        lastTargets[buffer] = target;
    }
    reinterpret_cast<PFNGLBINDBUFFERARBPROC>(glutGetProcAddress("glBindBufferARB"))(target, buffer);
}

void APIENTRY shortSizeQuery(GLenum target, GLenum pname, GLint *params) {
    reinterpret_cast<PFNGLGETBUFFERPARAMETERIVARBPROC>(glutGetProcAddress("glGetBufferParameterivARB"))(
        target, pname, params);
    if (pname == GL_BUFFER_SIZE_ARB) {
        *params -= sizeShortfall;
    }
}

Proc recordingDriver(const char *name) {
    if (std::strcmp(name, "glBindBufferARB") == 0) {
        return reinterpret_cast<Proc>(recordingBind);
    }
    if (std::strcmp(name, "glGetBufferParameterivARB") == 0) {
        return reinterpret_cast<Proc>(shortSizeQuery);
    }
    return glutGetProcAddress(name);
}

Proc noBufferDriver(const char *) {
    return nullptr;
}

Proc noSizeQueryDriver(const char *name) {
    return std::strcmp(name, "glGetBufferParameterivARB") == 0 ? nullptr : glutGetProcAddress(name);
}

GLint integer(GLenum name) {
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

std::vector<float> bufferFloats(GLuint buffer, int count) {
    std::vector<float> out(static_cast<std::size_t>(count), -1.0f);
    reinterpret_cast<PFNGLBINDBUFFERARBPROC>(glutGetProcAddress("glBindBufferARB"))(GL_ARRAY_BUFFER_ARB,
                                                                                    buffer);
    reinterpret_cast<PFNGLGETBUFFERSUBDATAARBPROC>(glutGetProcAddress("glGetBufferSubDataARB"))(
        GL_ARRAY_BUFFER_ARB, 0, count * 4, out.data());
    reinterpret_cast<PFNGLBINDBUFFERARBPROC>(glutGetProcAddress("glBindBufferARB"))(GL_ARRAY_BUFFER_ARB, 0);
    return out;
}

std::string stdoutOf(const std::function<void()> &action) {
    std::fflush(stdout);
    CaptureStdout();
    action();
    std::fflush(stdout);
    return GetCapturedStdout();
}

int count(const std::string &text, const std::string &part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

// ---- a small textured, lit model ----

// A four-sided pyramid (z up, as models are stored) with its own texture
// coordinates per corner, so that positions, normals and texture coordinates
// all show in the picture.
Md2Model pyramid(const std::string &name) {
    Md2Bytes bytes;
    bytes.skinWidth = 128;
    bytes.skinHeight = 64;
    bytes.texCoords = {{0, 0}, {128, 0}, {128, 64}, {0, 64}, {64, 32}};
    Md2Bytes::Frame frame;
    frame.scale[0] = frame.scale[1] = frame.scale[2] = 10.0f;
    frame.vertices = {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}, {1, 1, 2}};
    bytes.frames = {frame, frame};
    bytes.triangles = {{0, 1, 4, 0, 1, 4}, {1, 2, 4, 1, 2, 4}, {2, 3, 4, 2, 3, 4}, {3, 0, 4, 3, 0, 4}};
    const std::string file = bytes.build();
    Md2Model model;
    EXPECT_TRUE(
        model.readFromMemory(reinterpret_cast<const unsigned char *>(file.data()), file.size(), name));
    model.setName(name);
    return model;
}

class VertexBufferHandlerTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        lastTargets.clear();
        sizeShortfall = 0;
    }

    void TearDown() override {
        if (checker != 0) {
            glDeleteTextures(1, &checker);
        }
        glDisable(GL_LIGHTING);
        glDisable(GL_LIGHT0);
        glDisable(GL_TEXTURE_2D);
    }

    // Camera over the pyramid, one light from the side and a checker texture.
    void prepareScene() {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, static_cast<double>(GlTestContext::width()) / GlTestContext::height(), 1.0,
                       200.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(10, -15, 55, 10, 10, 5, 0, 1, 0);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        const GLfloat direction[4] = {1.0f, 0.5f, 2.0f, 0.0f};
        glLightfv(GL_LIGHT0, GL_POSITION, direction);
        if (checker == 0) {
            const unsigned char texels[4 * 4 * 3] = {
                255, 255, 255, 40, 40,  40,  255, 0,   0,   0, 255, 0,  40,  40,  40,  255,
                255, 255, 0,   0,  255, 255, 255, 0,   255, 0, 0,   0,  255, 0,   255, 255,
                255, 40,  40,  40, 0,   0,   255, 255, 255, 0, 40,  40, 40,  255, 255, 255};
            glGenTextures(1, &checker);
            glBindTexture(GL_TEXTURE_2D, checker);
            glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 4, 4, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
            glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        }
        glBindTexture(GL_TEXTURE_2D, checker);
        glEnable(GL_TEXTURE_2D);
    }

    // Render mode 2 as the objects draw it: client arrays, one glArrayElement per corner.
    FrameCapture drawWithArrayElements(const Md2Model &model) {
        prepareScene();
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, model.getVertexPositions());
        glNormalPointer(GL_FLOAT, 0, model.getVertexNormals());
        glTexCoordPointer(2, GL_FLOAT, 0, model.getVertexTexCoords());
        glBegin(GL_TRIANGLES);
        for (int i = 0; i < 3 * model.getNumTriangles(); ++i) {
            glArrayElement(model.getIndices()[i]);
        }
        glEnd();
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_NORMAL_ARRAY);
        return GlTestContext::readFrameBuffer();
    }

    FrameCapture drawWithHandler(VertexBufferHandler &handler, const Md2Model &model) {
        prepareScene();
        handler.drawModel(model);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        // Nothing left behind that would bend later client-array drawing.
        EXPECT_EQ(integer(GL_ARRAY_BUFFER_BINDING_ARB), 0);
        EXPECT_EQ(integer(GL_ELEMENT_ARRAY_BUFFER_BINDING_ARB), 0);
        EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
        EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
        return GlTestContext::readFrameBuffer();
    }

    static void expectSamePicture(const FrameCapture &expected, const FrameCapture &actual) {
        ASSERT_EQ(expected.bytes().size(), actual.bytes().size());
        EXPECT_GT(expected.litCount(), 2000) << "the pyramid should fill a good part of the window";
        int differing = 0;
        for (std::size_t i = 0; i < expected.bytes().size(); ++i) {
            differing += std::abs(expected.bytes()[i] - actual.bytes()[i]) > 1 ? 1 : 0;
        }
        EXPECT_EQ(differing, 0) << "colour components that differ by more than 1";
    }

    GLuint checker = 0; // 4x4 texture
};

TEST_F(VertexBufferHandlerTest, RegistersOneBufferPerBareNameAndKind) {
    VertexBufferHandler handler;
    ASSERT_TRUE(handler.isAvailable());
    const float floats[6] = {1, 2, 3, 4, 5, 6};

    GLuint positions = 0;
    const std::string out = stdoutOf([&] {
        positions =
            handler.generateVertexBuffer("data/model/tank.md2", VertexBufferHandler::kPositions, 6, floats);
    });
    EXPECT_EQ(out, "VBO OK! 6 = 24) [size=6]!!!!\n");
    ASSERT_NE(positions, 0u);
    EXPECT_EQ(integer(GL_ARRAY_BUFFER_BINDING_ARB), 0) << "the upload leaves no buffer bound";
    EXPECT_TRUE(handler.Contains("tank.md2", VertexBufferHandler::kPositions));
    EXPECT_FALSE(handler.Contains("data/model/tank.md2", VertexBufferHandler::kPositions));
    EXPECT_FALSE(handler.Contains("tank.md2", VertexBufferHandler::kNormals));
    EXPECT_EQ(handler.getVertexBufferIDByString("tank.md2", VertexBufferHandler::kPositions), positions);
    EXPECT_EQ(bufferFloats(positions, 6), std::vector<float>(floats, floats + 6));

    // Neither the bare name nor the same path again makes a second buffer
    // (the first would be lost).
    const std::string again = stdoutOf([&] {
        EXPECT_EQ(handler.generateVertexBuffer("tank.md2", VertexBufferHandler::kPositions, 6, floats), 0u);
        EXPECT_EQ(
            handler.generateVertexBuffer("data/model/tank.md2", VertexBufferHandler::kPositions, 6, floats),
            0u);
    });
    EXPECT_EQ(again, "");
    EXPECT_EQ(handler.size(VertexBufferHandler::kPositions), 1u);
    EXPECT_EQ(handler.getVertexBufferIDByString("tank.md2", VertexBufferHandler::kPositions), positions);

    // Every kind is a registry of its own.
    const GLuint normals = handler.generateVertexBuffer("tank.md2", VertexBufferHandler::kNormals, 6, floats);
    EXPECT_NE(normals, 0u);
    EXPECT_NE(normals, positions);
    EXPECT_EQ(handler.size(VertexBufferHandler::kNormals), 1u);

    // Unknown names are registered empty.
    EXPECT_EQ(handler.getVertexBufferIDByString("rock.md2", VertexBufferHandler::kTexCoords), 0u);
    EXPECT_TRUE(handler.Contains("rock.md2", VertexBufferHandler::kTexCoords));
    // ... and can still get their buffer.
    EXPECT_NE(handler.generateVertexBuffer("rock.md2", VertexBufferHandler::kTexCoords, 6, floats), 0u);

    // Kinds outside 1..4 are refused without touching the driver.
    EXPECT_EQ(handler.generateVertexBuffer("tank.md2", 5, 6, floats), 0u);
    EXPECT_EQ(handler.generateVertexBuffer("tank.md2", 0, 6, floats), 0u);
    EXPECT_FALSE(handler.Contains("tank.md2", 5));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(VertexBufferHandlerTest, TripleAndIntFormsUploadTheRightBytesToTheRightTarget) {
    VertexBufferHandler handler(recordingDriver);
    ASSERT_TRUE(handler.isAvailable());
    const Vector3D triples[2] = {Vector3D(1, 2, 3), Vector3D(4, 5, 6)};
    const int indices[3] = {0, 2, 1};
    const float coords[4] = {0.5f, 0.25f, 1, 0};

    GLuint fromTriples = 0;
    GLuint fromInts = 0;
    GLuint indexFloats = 0;
    GLuint texCoords = 0;
    const std::string out = stdoutOf([&] {
        fromTriples = handler.generateVertexBuffer("a.md2", VertexBufferHandler::kPositions, 2, triples);
        fromInts = handler.generateVertexBuffer("a.md2", VertexBufferHandler::kNormals, 3, indices);
        indexFloats = handler.generateVertexBuffer("b.md2", VertexBufferHandler::kIndices, 4, coords);
        texCoords = handler.generateVertexBuffer("b.md2", VertexBufferHandler::kTexCoords, 4, coords);
    });
    EXPECT_EQ(out, "VBO OK! 2 = 24) [size=2]!!!!\n"
                   "VBO OK! 3 = 12) [size=3]!!!!\n"
                   "VBO OK! 4 = 16) [size=4]!!!!\n"
                   "VBO OK! 4 = 16) [size=4]!!!!\n");
    EXPECT_EQ(bufferFloats(fromTriples, 6), (std::vector<float>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(lastTargets[fromTriples], static_cast<GLenum>(GL_ARRAY_BUFFER_ARB));
    EXPECT_EQ(lastTargets[fromInts], static_cast<GLenum>(GL_ELEMENT_ARRAY_BUFFER_ARB))
        << "ints are always element indices";
    EXPECT_EQ(lastTargets[indexFloats], static_cast<GLenum>(GL_ELEMENT_ARRAY_BUFFER_ARB));
    EXPECT_EQ(lastTargets[texCoords], static_cast<GLenum>(GL_ARRAY_BUFFER_ARB));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(VertexBufferHandlerTest, SizeMismatchIsReportedAsCorruptionAndStillRegistered) {
    VertexBufferHandler handler(recordingDriver);
    sizeShortfall = 4;
    const float floats[6] = {1, 2, 3, 4, 5, 6};
    GLuint buffer = 0;
    const std::string out = stdoutOf([&] {
        buffer = handler.generateVertexBuffer("tank.md2", VertexBufferHandler::kPositions, 6, floats);
    });
    EXPECT_EQ(out, "DATA CORRUPTION (6 != 20)!!!!\n");
    EXPECT_NE(buffer, 0u);
    EXPECT_EQ(handler.getVertexBufferIDByString("tank.md2", VertexBufferHandler::kPositions), buffer);

    // A model whose buffers fail the check is drawn from its own arrays, not
    // from buffers the driver may not hold in full.
    const Md2Model model = pyramid("pyramid.md2");
    const FrameCapture expected = drawWithArrayElements(model);
    std::string uploads;
    FrameCapture first(0, 0, {});
    uploads = stdoutOf([&] { first = drawWithHandler(handler, model); });
    EXPECT_EQ(count(uploads, "DATA CORRUPTION"), 4) << uploads;
    expectSamePicture(expected, first);
    EXPECT_EQ(stdoutOf([&] { drawWithHandler(handler, model); }), "") << "uploaded once only";
    for (int kind = 1; kind <= 4; ++kind) {
        EXPECT_TRUE(handler.Contains("pyramid.md2", kind)) << kind;
    }
}

TEST_F(VertexBufferHandlerTest, ActivationBindsAndPointsOnlyRegisteredBuffers) {
    VertexBufferHandler handler;
    const float floats[6] = {1, 2, 3, 4, 5, 6};
    const int ints[3] = {0, 1, 2};
    GLuint positions = 0;
    GLuint normals = 0;
    GLuint texCoords = 0;
    GLuint indices = 0;
    stdoutOf([&] {
        positions = handler.generateVertexBuffer("m.md2", VertexBufferHandler::kPositions, 6, floats);
        normals = handler.generateVertexBuffer("m.md2", VertexBufferHandler::kNormals, 6, floats);
        texCoords = handler.generateVertexBuffer("m.md2", VertexBufferHandler::kTexCoords, 6, floats);
        indices = handler.generateVertexBuffer("m.md2", VertexBufferHandler::kIndices, 3, ints);
    });

    EXPECT_TRUE(handler.activateBuffer("m.md2", VertexBufferHandler::kPositions));
    EXPECT_EQ(integer(GL_VERTEX_ARRAY_BUFFER_BINDING_ARB), static_cast<GLint>(positions));
    EXPECT_EQ(integer(GL_VERTEX_ARRAY_SIZE), 3);
    EXPECT_TRUE(handler.activateBuffer("m.md2", VertexBufferHandler::kNormals));
    EXPECT_EQ(integer(GL_NORMAL_ARRAY_BUFFER_BINDING_ARB), static_cast<GLint>(normals));
    EXPECT_TRUE(handler.activateBuffer("m.md2", VertexBufferHandler::kTexCoords));
    EXPECT_EQ(integer(GL_TEXTURE_COORD_ARRAY_BUFFER_BINDING_ARB), static_cast<GLint>(texCoords));
    EXPECT_EQ(integer(GL_TEXTURE_COORD_ARRAY_SIZE), 2);
    EXPECT_EQ(integer(GL_ARRAY_BUFFER_BINDING_ARB), static_cast<GLint>(texCoords));
    EXPECT_TRUE(handler.activateBuffer("m.md2", VertexBufferHandler::kIndices));
    EXPECT_EQ(integer(GL_ELEMENT_ARRAY_BUFFER_BINDING_ARB), static_cast<GLint>(indices));
    auto bind = reinterpret_cast<PFNGLBINDBUFFERARBPROC>(glutGetProcAddress("glBindBufferARB"));
    bind(GL_ARRAY_BUFFER_ARB, 0);
    bind(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);

    // An unknown name binds nothing: offset 0 of no buffer is address 0.
    EXPECT_FALSE(handler.activateBuffer("ghost.md2", VertexBufferHandler::kPositions));
    EXPECT_EQ(integer(GL_ARRAY_BUFFER_BINDING_ARB), 0);

    // Freeing deletes all four; the names stay, empty, and never bind again.
    handler.freeVertexBuffers("m.md2");
    auto isBuffer = reinterpret_cast<PFNGLISBUFFERARBPROC>(glutGetProcAddress("glIsBufferARB"));
    for (GLuint buffer : {positions, normals, texCoords, indices}) {
        EXPECT_FALSE(isBuffer(buffer)) << buffer;
    }
    EXPECT_TRUE(handler.Contains("m.md2", VertexBufferHandler::kNormals));
    EXPECT_EQ(handler.getVertexBufferIDByString("m.md2", VertexBufferHandler::kNormals), 0u);
    EXPECT_FALSE(handler.activateBuffer("m.md2", VertexBufferHandler::kPositions));
    EXPECT_EQ(integer(GL_ARRAY_BUFFER_BINDING_ARB), 0);
    GLuint again = 0;
    stdoutOf(
        [&] { again = handler.generateVertexBuffer("m.md2", VertexBufferHandler::kPositions, 6, floats); });
    EXPECT_NE(again, 0u) << "a freed name can be uploaded anew";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(VertexBufferHandlerTest, ModeThreeDrawsTheSamePictureAsVertexArraysFromBuffersUploadedOnce) {
    VertexBufferHandler handler;
    const Md2Model model = pyramid("pyramid.md2");
    const FrameCapture expected = drawWithArrayElements(model);

    FrameCapture first(0, 0, {});
    const std::string uploads = stdoutOf([&] { first = drawWithHandler(handler, model); });
    EXPECT_EQ(uploads, "VBO OK! 15 = 60) [size=15]!!!!\n"
                       "VBO OK! 15 = 60) [size=15]!!!!\n"
                       "VBO OK! 10 = 40) [size=10]!!!!\n"
                       "VBO OK! 12 = 48) [size=12]!!!!\n");
    expectSamePicture(expected, first);
    for (int kind = 1; kind <= 4; ++kind) {
        EXPECT_EQ(handler.size(kind), 1u) << kind;
        EXPECT_NE(handler.getVertexBufferIDByString("pyramid.md2", kind), 0u) << kind;
    }

    FrameCapture second(0, 0, {});
    EXPECT_EQ(stdoutOf([&] { second = drawWithHandler(handler, model); }), "") << "nothing uploaded again";
    expectSamePicture(expected, second);

    // A second model gets buffers of its own.
    const Md2Model other = pyramid("other.md2");
    stdoutOf([&] { drawWithHandler(handler, other); });
    for (int kind = 1; kind <= 4; ++kind) {
        EXPECT_EQ(handler.size(kind), 2u) << kind;
    }
}

TEST_F(VertexBufferHandlerTest, WithoutBufferFunctionsModeThreeFallsBackToVertexArraysWithOneMessage) {
    EXPECT_FALSE(VertexBufferHandler(noSizeQueryDriver).isAvailable()) << "one missing function is enough";

    VertexBufferHandler handler(noBufferDriver);
    EXPECT_FALSE(handler.isAvailable());
    const float floats[6] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(handler.generateVertexBuffer("tank.md2", VertexBufferHandler::kPositions, 6, floats), 0u);
    EXPECT_EQ(handler.size(VertexBufferHandler::kPositions), 0u);
    EXPECT_FALSE(handler.activateBuffer("tank.md2", VertexBufferHandler::kPositions));
    handler.freeVertexBuffers("tank.md2"); // must not call through a null pointer

    const Md2Model model = pyramid("pyramid.md2");
    const FrameCapture expected = drawWithArrayElements(model);
    CaptureStderr();
    const FrameCapture first = drawWithHandler(handler, model);
    const FrameCapture second = drawWithHandler(handler, model);
    const std::string errors = GetCapturedStderr();
    EXPECT_EQ(errors.rfind("Error: ", 0), 0u) << errors;
    EXPECT_EQ(count(errors, "\n"), 1) << "reported once: " << errors;
    expectSamePicture(expected, first);
    expectSamePicture(expected, second);
    EXPECT_EQ(handler.size(VertexBufferHandler::kIndices), 0u);
}

TEST_F(VertexBufferHandlerTest, EmptyOrUnnamedModelsNeedNoBuffers) {
    VertexBufferHandler handler;
    Md2Model empty;
    empty.setName("empty.md2");
    const std::string out = stdoutOf([&] { handler.drawModel(empty); });
    EXPECT_EQ(out, "");
    EXPECT_EQ(handler.size(VertexBufferHandler::kPositions), 0u);

    // Without a name there is no key to keep buffers under: vertex arrays.
    const Md2Model unnamed = pyramid("");
    const FrameCapture expected = drawWithArrayElements(unnamed);
    const FrameCapture drawn = drawWithHandler(handler, unnamed);
    expectSamePicture(expected, drawn);
    EXPECT_EQ(handler.size(VertexBufferHandler::kPositions), 0u);
}

} // namespace

#include "model/Md2Model.h"
#include "render/ReadMD2Model.h"

#include "model/Md2Bytes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

namespace {
bool parse(Md2Model &model, const std::string &bytes, const std::string &name = "test.md2") {
    return model.readFromMemory(reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size(), name);
}

int lineCount(const std::string &text) {
    int lines = 0;
    for (char c : text) {
        lines += c == '\n';
    }
    return lines;
}

// A failed read must say so in exactly one "Error: " line naming the file.
void expectOneErrorLine(const std::string &err, const std::string &fileName) {
    EXPECT_EQ(err.rfind("Error: ", 0), 0u) << err;
    EXPECT_EQ(lineCount(err), 1) << err;
    EXPECT_NE(err.find(fileName), std::string::npos) << err;
}

void expectEmpty(const Md2Model &model) {
    EXPECT_EQ(model.getNumTriangles(), 0);
    EXPECT_EQ(model.getNumVertices(), 0);
    EXPECT_EQ(model.getPoseFrame(), nullptr);
    EXPECT_EQ(model.getVertexPositions(), nullptr);
    EXPECT_EQ(model.getIndices(), nullptr);
    EXPECT_TRUE(model.getSkins().empty());
}

// Two triangles sharing the edge between vertices 1 and 2: a floor facing +z
// and a wall facing +y, plus a vertex no triangle uses.
Md2Bytes twoFacedModel() {
    Md2Bytes m;
    m.skinWidth = 128;
    m.skinHeight = 64;
    m.skins = {"models/textures/tank_skin.png", "second.png"};
    m.texCoords = {{0, 0}, {64, 32}, {128, 64}};
    Md2Bytes::Frame first; // frame 0 differs on purpose: only frame 1 counts
    first.name = "stand0";
    first.vertices = {{9, 9, 9}, {9, 9, 9}, {9, 9, 9}, {9, 9, 9}, {9, 9, 9}};
    Md2Bytes::Frame pose;
    pose.name = "stand1";
    // 0: corner in the floor, 1 and 2: the shared edge along x, 3: up the wall,
    // 4: not used by any triangle.
    pose.vertices = {{0, 1, 0}, {0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {10, 0, 255}};
    m.frames = {first, pose};
    // Floor (z = 0) clockwise seen from +z: (0,1,0) -> (1,0,0) -> (0,0,0).
    // Wall (y = 0) clockwise seen from +y: (0,0,0) -> (1,0,0) -> (0,0,1).
    m.triangles = {{0, 2, 1, 0, 1, 2}, {1, 2, 3, 1, 1, 0}};
    m.glCommands = {3, 7, 0};
    return m;
}
} // namespace

TEST(Md2ModelTest, ReadsSectionsAndDerivesArraysFromFrameOne) {
    TempDir dir;
    const std::string path = dir.write("tank.md2", twoFacedModel().build());
    Md2Model model;
    ASSERT_EQ(ReadMD2Model(path, &model), 1);

    const Md2Header &h = model.getHeader();
    EXPECT_EQ(h.ident, 0x32504449);
    EXPECT_EQ(h.version, 8);
    EXPECT_EQ(h.numSkins, 2);
    EXPECT_EQ(h.frameSize, 40 + 4 * 5);
    EXPECT_EQ(model.getNumVertices(), 5);
    EXPECT_EQ(model.getNumTriangles(), 2);
    EXPECT_EQ(model.getNumFrames(), 2);
    EXPECT_EQ(model.getSkinPath(0), "models/textures/tank_skin.png");
    EXPECT_EQ(model.getSkinPath(1), "second.png");
    EXPECT_EQ(model.getSkinPath(2), "");
    EXPECT_EQ(model.getSkinTextureName(), "tank_skin.png");
    EXPECT_EQ(model.getGlCommands(), (std::vector<std::int32_t>{3, 7, 0}));
    EXPECT_STREQ(model.getPoseFrame()->name, "stand1");
    EXPECT_EQ(model.getFrame(2), nullptr);
    EXPECT_EQ(model.getFrame(-1), nullptr);

    // Indices per corner in file order.
    const int expectedIndices[6] = {0, 2, 1, 1, 2, 3};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(model.getIndices()[i], expectedIndices[i]) << i;
    }
    // Positions come from frame 1, not frame 0; the unused vertex too.
    const float *p = model.getVertexPositions();
    EXPECT_FLOAT_EQ(p[3 * 3 + 2], 1.0f);
    EXPECT_FLOAT_EQ(p[3 * 4 + 0], 10.0f);
    EXPECT_FLOAT_EQ(p[3 * 4 + 2], 255.0f);

    // Clockwise seen from outside gives the outward face normal.
    const float *fn = model.getFaceNormals();
    EXPECT_NEAR(fn[0], 0.0f, 1e-6);
    EXPECT_NEAR(fn[1], 0.0f, 1e-6);
    EXPECT_NEAR(fn[2], 1.0f, 1e-6);
    EXPECT_NEAR(fn[3], 0.0f, 1e-6);
    EXPECT_NEAR(fn[4], 1.0f, 1e-6);
    EXPECT_NEAR(fn[5], 0.0f, 1e-6);

    // The shared edge's vertices average (0,0,1) and (0,1,0); lone corners keep
    // their face's normal; the unused vertex stays zero.
    const float *vn = model.getVertexNormals();
    for (int v : {1, 2}) {
        EXPECT_NEAR(vn[3 * v + 0], 0.0f, 1e-6) << v;
        EXPECT_NEAR(vn[3 * v + 1], 0.70710678f, 1e-6) << v;
        EXPECT_NEAR(vn[3 * v + 2], 0.70710678f, 1e-6) << v;
    }
    EXPECT_NEAR(vn[0 * 3 + 2], 1.0f, 1e-6);
    EXPECT_NEAR(vn[3 * 3 + 1], 1.0f, 1e-6);
    for (int a = 0; a < 3; ++a) {
        EXPECT_EQ(vn[3 * 4 + a], 0.0f);
    }

    // (64, 32) on a 128 x 64 skin is (0.5, 0.5); vertex 1 is used by corners
    // with coordinates 2 and then 1, so the later corner (64, 32) wins.
    const float *tc = model.getVertexTexCoords();
    EXPECT_FLOAT_EQ(tc[2 * 1 + 0], 0.5f);
    EXPECT_FLOAT_EQ(tc[2 * 1 + 1], 0.5f);
    EXPECT_FLOAT_EQ(tc[2 * 2 + 0], 0.5f); // texcoords 1 then 1
    EXPECT_FLOAT_EQ(tc[2 * 0 + 0], 0.0f);
    EXPECT_FLOAT_EQ(tc[2 * 3 + 0], 0.0f);
    EXPECT_EQ(tc[2 * 4 + 0], 0.0f);
}

TEST(Md2ModelTest, UnpacksWithFrameScaleAndTranslate) {
    Md2Bytes m = Md2Bytes::triangle();
    m.frames[1].vertices[0] = {10, 0, 255};
    m.frames[1].scale[0] = 0.1f;
    m.frames[1].scale[1] = 0.2f;
    m.frames[1].scale[2] = 0.5f;
    m.frames[1].translate[0] = -1.0f;
    m.frames[1].translate[1] = 0.0f;
    m.frames[1].translate[2] = 2.0f;
    Md2Model model;
    ASSERT_TRUE(parse(model, m.build()));
    const float *p = model.getVertexPositions();
    EXPECT_NEAR(p[0], 0.0f, 1e-5);
    EXPECT_NEAR(p[1], 0.0f, 1e-5);
    EXPECT_NEAR(p[2], 129.5f, 1e-5);
    EXPECT_NEAR(p[3], -1.0f, 1e-5); // (0, 1, 0): 0 * 0.1 - 1
    EXPECT_NEAR(p[4], 0.2f, 1e-5);
    EXPECT_NEAR(p[5], 2.0f, 1e-5);
}

TEST(Md2ModelTest, VertexOfAnyValenceGetsTheAverageNormal) {
    // A closed fan of 120 triangles around vertex 0 on a shallow cone: far more
    // than a fixed per-vertex triangle list would hold.
    const int ring = 120;
    Md2Bytes m;
    Md2Bytes::Frame f;
    f.vertices.push_back({128, 128, 140});
    for (int i = 0; i < ring; ++i) {
        const double angle = 2.0 * 3.14159265358979 * i / ring;
        f.vertices.push_back({static_cast<std::uint8_t>(std::lround(128 + 100 * std::cos(angle))),
                              static_cast<std::uint8_t>(std::lround(128 + 100 * std::sin(angle))), 100});
    }
    m.frames = {f, f};
    for (int i = 0; i < ring; ++i) {
        const std::uint16_t a = static_cast<std::uint16_t>(1 + i);
        const std::uint16_t b = static_cast<std::uint16_t>(1 + (i + 1) % ring);
        m.triangles.push_back({0, b, a, 0, 0, 0}); // clockwise seen from above
    }
    Md2Model model;
    ASSERT_TRUE(parse(model, m.build()));
    const float *vn = model.getVertexNormals();
    EXPECT_NEAR(vn[0], 0.0f, 0.02);
    EXPECT_NEAR(vn[1], 0.0f, 0.02);
    EXPECT_NEAR(vn[2], 1.0f, 1e-3);
    for (int t = 0; t < ring; ++t) {
        EXPECT_GT(model.getFaceNormals()[3 * t + 2], 0.9f) << t;
    }
}

TEST(Md2ModelTest, BadIdentifierOrVersionIsRejected) {
    TempDir dir;
    const std::string good = Md2Bytes::triangle().build();
    const std::string v7 = dir.write("v7.md2", Md2Bytes::withField(good, Md2Bytes::kVersion, 7));
    const std::string ident = dir.write("ident.md2", Md2Bytes::withField(good, Md2Bytes::kIdent, 0x32504448));
    for (const std::string &path : {v7, ident}) {
        Md2Model model;
        CaptureStderr();
        EXPECT_EQ(ReadMD2Model(path, model), 0);
        const std::string err = GetCapturedStderr();
        EXPECT_EQ(err, "Error: bad version or identifier in \"" + path + "\"\n");
        expectEmpty(model);
    }
}

TEST(Md2ModelTest, MissingFileAndMissingRecordAreReported) {
    TempDir dir;
    const std::string path = (dir.path() / "nothing.md2").string();
    Md2Model model;
    CaptureStderr();
    EXPECT_EQ(ReadMD2Model(path, &model), 0);
    EXPECT_EQ(GetCapturedStderr(), "Error: couldn't open \"" + path + "\"!\n");

    CaptureStderr();
    EXPECT_EQ(ReadMD2Model(dir.write("ok.md2", Md2Bytes::triangle().build()), nullptr), 0);
    expectOneErrorLine(GetCapturedStderr(), "ok.md2");

    // A directory opens on some systems but is no model.
    CaptureStderr();
    EXPECT_EQ(ReadMD2Model(dir.path().string(), &model), 0);
    expectOneErrorLine(GetCapturedStderr(), dir.path().string());
}

TEST(Md2ModelTest, EveryTruncationIsRejectedWithOneLine) {
    const std::string full = twoFacedModel().build();
    TempDir dir;
    for (std::size_t length = 0; length < full.size(); ++length) {
        Md2Model model;
        CaptureStderr();
        // Through a real file for a few lengths, the rest in memory.
        if (length % 37 == 0) {
            const std::string path = dir.write("cut.md2", full.substr(0, length));
            EXPECT_EQ(ReadMD2Model(path, model), 0) << length;
            expectOneErrorLine(GetCapturedStderr(), path);
        } else {
            // Copy into an exact-size heap block so ASan sees any overread.
            std::vector<unsigned char> exact(full.begin(), full.begin() + static_cast<long>(length));
            EXPECT_FALSE(model.readFromMemory(exact.data(), exact.size(), "cut.md2")) << length;
            expectOneErrorLine(GetCapturedStderr(), "cut.md2");
        }
        expectEmpty(model);
    }
    Md2Model model;
    EXPECT_TRUE(parse(model, full));
}

TEST(Md2ModelTest, CountsAndOffsetsOutsideTheFileAreRejected) {
    const std::string good = twoFacedModel().build();
    const std::int32_t size = static_cast<std::int32_t>(good.size());
    struct Case {
        Md2Bytes::Field field;
        std::int32_t value;
    };
    const Case cases[] = {
        {Md2Bytes::kNumSkins, 1000},
        {Md2Bytes::kNumSkins, -1},
        {Md2Bytes::kNumTexCoords, 0x7FFFFFFF},
        {Md2Bytes::kNumTriangles, 0x40000000},
        {Md2Bytes::kNumTriangles, -5},
        {Md2Bytes::kNumVertices, 0x7FFFFFFF},
        {Md2Bytes::kNumVertices, -1},
        {Md2Bytes::kNumFrames, 0x7FFFFFFF},
        {Md2Bytes::kNumGlCommands, 4},
        {Md2Bytes::kNumGlCommands, -2},
        {Md2Bytes::kOffsetSkins, size},
        {Md2Bytes::kOffsetSkins, -64},
        {Md2Bytes::kOffsetTexCoords, size - 2},
        {Md2Bytes::kOffsetTriangles, size - 12},
        {Md2Bytes::kOffsetFrames, size - 40},
        {Md2Bytes::kOffsetFrames, 0x7FFFFFFF},
        {Md2Bytes::kOffsetGlCommands, size},
        {Md2Bytes::kOffsetGlCommands, -4},
        {Md2Bytes::kSkinWidth, 0},
        {Md2Bytes::kSkinHeight, -64},
    };
    for (const Case &c : cases) {
        Md2Model model;
        CaptureStderr();
        EXPECT_FALSE(parse(model, Md2Bytes::withField(good, c.field, c.value), "broken.md2"))
            << "field " << c.field << " = " << c.value;
        expectOneErrorLine(GetCapturedStderr(), "broken.md2");
        expectEmpty(model);
    }
}

TEST(Md2ModelTest, IndicesOutOfRangeAreRejected) {
    Md2Bytes vertex = twoFacedModel();
    vertex.triangles[1][2] = 5; // five vertices: 0..4
    Md2Bytes texture = twoFacedModel();
    texture.triangles[0][4] = 3; // three texture coordinates: 0..2
    Md2Bytes huge = twoFacedModel();
    huge.triangles[0][0] = 0xFFFF;
    for (const Md2Bytes &m : {vertex, texture, huge}) {
        Md2Model model;
        CaptureStderr();
        EXPECT_FALSE(parse(model, m.build(), "index.md2"));
        expectOneErrorLine(GetCapturedStderr(), "index.md2");
        expectEmpty(model);
    }
}

TEST(Md2ModelTest, ModelsWithoutTheDrawnFrameAreRejected) {
    for (int frames : {0, 1}) {
        Md2Bytes m = Md2Bytes::triangle();
        m.frames.resize(frames);
        if (frames == 0) {
            m.triangles.clear();
        }
        Md2Model model;
        CaptureStderr();
        EXPECT_FALSE(parse(model, m.build(), "single.md2")) << frames;
        expectOneErrorLine(GetCapturedStderr(), "single.md2");
        expectEmpty(model);
    }
}

TEST(Md2ModelTest, FailedReadEmptiesAModelThatWasLoadedBefore) {
    Md2Model model;
    ASSERT_TRUE(parse(model, twoFacedModel().build()));
    model.setName("tank.md2");
    CaptureStderr();
    EXPECT_FALSE(parse(model, Md2Bytes::withField(twoFacedModel().build(), Md2Bytes::kVersion, 9)));
    GetCapturedStderr();
    expectEmpty(model);
    EXPECT_EQ(model.getName(), "tank.md2");
    EXPECT_EQ(model.getSkinTextureName(), "");
}

TEST(Md2ModelTest, EdgeCaseFilesThatAreStillValid) {
    // No triangles, no skins, no GL commands, a skin path of exactly 64
    // characters and vertices sitting at the very end of the file.
    Md2Bytes bare = Md2Bytes::triangle();
    bare.triangles.clear();
    bare.skins.clear();
    bare.glCommands.clear();
    Md2Model model;
    ASSERT_TRUE(parse(model, bare.build()));
    EXPECT_EQ(model.getNumTriangles(), 0);
    EXPECT_EQ(model.getIndices(), nullptr);
    EXPECT_EQ(model.getSkinTextureName(), "");
    EXPECT_NE(model.getVertexPositions(), nullptr);

    Md2Bytes longSkin = Md2Bytes::triangle();
    longSkin.skins = {std::string(40, 'd') + "/" + std::string(23, 'n')}; // 64 characters, no NUL
    ASSERT_TRUE(parse(model, longSkin.build()));
    EXPECT_EQ(model.getSkinPath(0).size(), 64u);
    EXPECT_EQ(model.getSkinTextureName(), std::string(23, 'n'));

    Md2Bytes noSlash = Md2Bytes::triangle();
    noSlash.skins = {"plain.png"};
    ASSERT_TRUE(parse(model, noSlash.build()));
    EXPECT_EQ(model.getSkinTextureName(), "plain.png");
}

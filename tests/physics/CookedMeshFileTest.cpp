#include "physics/CookedMeshFile.h"

#include "physics/MemoryWriteBuffer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

using Kind = CookedMeshFile::Kind;

CookedMesh tetrahedron() {
    CookedMesh mesh;
    mesh.points = {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1};
    mesh.indices = {0, 2, 1, 0, 1, 3, 0, 3, 2, 1, 2, 3};
    mesh.source = 0x0123456789abcdefull;
    return mesh;
}

std::vector<std::uint8_t> imageOf(Kind kind, const CookedMesh &mesh) {
    MemoryWriteBuffer out;
    CookedMeshFile::encode(kind, mesh, out);
    return std::vector<std::uint8_t>(out.getData(), out.getData() + out.getCurrentSize());
}

// Re-seals an edited image with a valid checksum, so that only the edit itself is wrong.
void reseal(std::vector<std::uint8_t> &image) {
    const std::uint32_t crc = CookedMeshFile::crc32(image.data(), image.size() - 4);
    std::memcpy(image.data() + image.size() - 4, &crc, 4);
}

std::string decodeProblem(Kind kind, const std::vector<std::uint8_t> &image) {
    CookedMesh mesh;
    std::string problem;
    EXPECT_FALSE(CookedMeshFile::decode(kind, image.data(), image.size(), mesh, problem));
    return problem;
}

TEST(CookedMeshFile, ImageHoldsHeaderPointsIndicesAndChecksumAndReadsBack) {
    const CookedMesh mesh = tetrahedron();
    const std::vector<std::uint8_t> image = imageOf(Kind::Convex, mesh);
    ASSERT_EQ(image.size(), 24u + 12u * 4u + 4u * 12u + 4u);
    EXPECT_EQ(std::string(image.begin(), image.begin() + 4), "PZCM");
    EXPECT_EQ(image[4], 1); // version

    CookedMesh back;
    std::string problem;
    ASSERT_TRUE(CookedMeshFile::decode(Kind::Convex, image.data(), image.size(), back, problem)) << problem;
    EXPECT_EQ(back.points, mesh.points);
    EXPECT_EQ(back.indices, mesh.indices);
    EXPECT_EQ(back.source, mesh.source);

    const std::vector<std::uint8_t> terrain = imageOf(Kind::Triangle, mesh);
    EXPECT_EQ(std::string(terrain.begin(), terrain.begin() + 4), "PZTM");
    EXPECT_NE(decodeProblem(Kind::Triangle, image).find("kind"),
              std::string::npos); // a convex file is no terrain
    EXPECT_EQ(CookedMeshFile::crc32(reinterpret_cast<const std::uint8_t *>("123456789"), 9), 0xCBF43926u);
}

TEST(CookedMeshFile, EveryKindOfDamageIsFoundBeforeTheMeshIsUsed) {
    const std::vector<std::uint8_t> good = imageOf(Kind::Convex, tetrahedron());

    std::vector<std::uint8_t> truncated(good.begin(), good.end() - 5);
    EXPECT_NE(decodeProblem(Kind::Convex, truncated).find("file size"), std::string::npos);
    std::vector<std::uint8_t> stub(good.begin(), good.begin() + 10);
    EXPECT_NE(decodeProblem(Kind::Convex, stub).find("truncated"), std::string::npos);

    std::vector<std::uint8_t> flipped = good;
    flipped[30] ^= 0x40;
    EXPECT_NE(decodeProblem(Kind::Convex, flipped).find("checksum"), std::string::npos);

    std::vector<std::uint8_t> version = good;
    version[4] = 2;
    reseal(version);
    EXPECT_NE(decodeProblem(Kind::Convex, version).find("version"), std::string::npos);

    std::vector<std::uint8_t> huge = good; // a point count that would need gigabytes
    const std::uint32_t count = 0x40000000u;
    std::memcpy(huge.data() + 16, &count, 4);
    reseal(huge);
    EXPECT_NE(decodeProblem(Kind::Convex, huge).find("file size"), std::string::npos);

    std::vector<std::uint8_t> notANumber = good;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::memcpy(notANumber.data() + 24 + 4, &nan, 4);
    reseal(notANumber);
    EXPECT_NE(decodeProblem(Kind::Convex, notANumber).find("finite"), std::string::npos);

    std::vector<std::uint8_t> badIndex = good;
    const std::uint32_t four = 4;
    std::memcpy(badIndex.data() + 24 + 48 + 8, &four, 4);
    reseal(badIndex);
    EXPECT_NE(decodeProblem(Kind::Convex, badIndex).find("beyond"), std::string::npos);

    CookedMesh partial = tetrahedron();
    partial.indices.pop_back();
    EXPECT_NE(decodeProblem(Kind::Convex, imageOf(Kind::Convex, partial)).find("partial"), std::string::npos);
}

TEST(CookedMeshFile, WritesThroughATemporaryFileAndReadsBackOrExplains) {
    TempDir dir;
    const std::string path = (dir.path() / "CM_box.bin").string();
    std::string problem;
    ASSERT_TRUE(CookedMeshFile::write(path, Kind::Convex, tetrahedron(), problem)) << problem;
    CookedMesh back;
    ASSERT_TRUE(CookedMeshFile::read(path, Kind::Convex, back, problem)) << problem;
    EXPECT_EQ(back.indices, tetrahedron().indices);
    int files = 0;
    for (const auto &entry : std::filesystem::directory_iterator(dir.path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1); // no temporary file left behind

    EXPECT_FALSE(CookedMeshFile::read((dir.path() / "missing.bin").string(), Kind::Convex, back, problem));
    EXPECT_NE(problem.find("cannot read"), std::string::npos);

    EXPECT_FALSE(CookedMeshFile::write((dir.path() / "no" / "folder.bin").string(), Kind::Convex,
                                       tetrahedron(), problem));
    EXPECT_NE(problem.find("cannot create"), std::string::npos) << problem;
}

TEST(CookedMeshFile, FingerprintTellsDifferentModelDataApart) {
    const std::vector<float> a = {1, 2, 3};
    const std::vector<float> b = {1, 2, 3.001f};
    EXPECT_EQ(CookedMeshFile::fingerprint(Kind::Convex, a, {}),
              CookedMeshFile::fingerprint(Kind::Convex, a, {}));
    EXPECT_NE(CookedMeshFile::fingerprint(Kind::Convex, a, {}),
              CookedMeshFile::fingerprint(Kind::Convex, b, {}));
    EXPECT_NE(CookedMeshFile::fingerprint(Kind::Convex, a, {}),
              CookedMeshFile::fingerprint(Kind::Triangle, a, {}));
    EXPECT_NE(CookedMeshFile::fingerprint(Kind::Triangle, a, {0, 0, 0}),
              CookedMeshFile::fingerprint(Kind::Triangle, a, {}));
}

} // namespace

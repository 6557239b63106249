#include "model/Md2Model.h"

#include "math/Calculations.h"

#include <cstdio>
#include <cstring>

namespace {
constexpr std::int32_t kIdent = 0x32504449; // "IDP2"
constexpr std::int32_t kVersion = 8;
constexpr std::size_t kHeaderBytes = 68;
constexpr std::size_t kSkinBytes = 64;
constexpr std::size_t kTexCoordBytes = 4;
constexpr std::size_t kTriangleBytes = 12;
constexpr std::size_t kFrameHeadBytes = 40; // scale, translate, name
constexpr std::size_t kVertexBytes = 4;
constexpr std::size_t kGlCommandBytes = 4;

// Little-endian reads from a buffer whose bounds the caller has checked.
std::uint16_t u16At(const unsigned char *p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t u32At(const unsigned char *p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::int32_t i32At(const unsigned char *p) {
    return static_cast<std::int32_t>(u32At(p));
}

float f32At(const unsigned char *p) {
    const std::uint32_t bits = u32At(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void reportError(const std::string &fileName, const std::string &problem) {
    std::fprintf(stderr, "Error: \"%s\" is not a usable MD2 model: %s\n", fileName.c_str(), problem.c_str());
}

// Whether `count` elements of `elementBytes` starting at `offset` lie inside a
// buffer of `size` bytes; divides instead of multiplying so that hostile
// counts cannot wrap around.
bool sectionFits(std::int32_t offset, std::int32_t count, std::uint64_t elementBytes, std::size_t size) {
    if (offset < 0 || count < 0 || static_cast<std::uint64_t>(offset) > size) {
        return false;
    }
    const std::uint64_t room = static_cast<std::uint64_t>(size) - static_cast<std::uint64_t>(offset);
    return count == 0 || elementBytes <= room / static_cast<std::uint64_t>(count);
}

std::string sectionProblem(const char *section, std::int32_t offset, std::int32_t count,
                           std::uint64_t elementBytes, std::size_t size) {
    char text[200];
    std::snprintf(text, sizeof text, "%s (%d x %llu bytes at offset %d) do not fit in its %zu bytes", section,
                  static_cast<int>(count), static_cast<unsigned long long>(elementBytes),
                  static_cast<int>(offset), size);
    return text;
}
} // namespace

bool Md2Model::readFromMemory(const unsigned char *data, std::size_t size, const std::string &fileName) {
    clear();
    if (data == nullptr || size < kHeaderBytes) {
        reportError(fileName, "the file is shorter than the 68-byte header");
        return false;
    }
    std::int32_t fields[17];
    for (int i = 0; i < 17; ++i) {
        fields[i] = i32At(data + 4 * i);
    }
    Md2Header h;
    h.ident = fields[0];
    h.version = fields[1];
    h.skinWidth = fields[2];
    h.skinHeight = fields[3];
    h.frameSize = fields[4];
    h.numSkins = fields[5];
    h.numVertices = fields[6];
    h.numTexCoords = fields[7];
    h.numTriangles = fields[8];
    h.numGlCommands = fields[9];
    h.numFrames = fields[10];
    h.offsetSkins = fields[11];
    h.offsetTexCoords = fields[12];
    h.offsetTriangles = fields[13];
    h.offsetFrames = fields[14];
    h.offsetGlCommands = fields[15];
    h.offsetEnd = fields[16];

    if (h.ident != kIdent || h.version != kVersion) {
        std::fprintf(stderr, "Error: bad version or identifier in \"%s\"\n", fileName.c_str());
        return false;
    }
    if (h.numSkins < 0 || h.numVertices < 0 || h.numTexCoords < 0 || h.numTriangles < 0 ||
        h.numGlCommands < 0 || h.numFrames < 0) {
        reportError(fileName, "a section count is negative");
        return false;
    }
    if (h.numFrames < 2) {
        // Frame 1 is the pose everything draws and collides with.
        reportError(fileName,
                    "it has " + std::to_string(h.numFrames) + " frame(s), the drawn pose needs frame 1");
        return false;
    }
    if (h.skinWidth <= 0 || h.skinHeight <= 0) {
        reportError(fileName, "the skin size " + std::to_string(h.skinWidth) + " x " +
                                  std::to_string(h.skinHeight) + " cannot scale texture coordinates");
        return false;
    }
    const std::uint64_t frameBytes =
        kFrameHeadBytes + kVertexBytes * static_cast<std::uint64_t>(h.numVertices);
    struct Section {
        const char *name;
        std::int32_t offset;
        std::int32_t count;
        std::uint64_t elementBytes;
    };
    const Section sections[] = {
        {"skins", h.offsetSkins, h.numSkins, kSkinBytes},
        {"texture coordinates", h.offsetTexCoords, h.numTexCoords, kTexCoordBytes},
        {"triangles", h.offsetTriangles, h.numTriangles, kTriangleBytes},
        {"frames", h.offsetFrames, h.numFrames, frameBytes},
        {"GL commands", h.offsetGlCommands, h.numGlCommands, kGlCommandBytes},
    };
    for (const Section &s : sections) {
        if (!sectionFits(s.offset, s.count, s.elementBytes, size)) {
            reportError(fileName, sectionProblem(s.name, s.offset, s.count, s.elementBytes, size));
            return false;
        }
    }

    // Every section is inside the buffer from here on.
    std::vector<Md2Skin> readSkins(static_cast<std::size_t>(h.numSkins));
    for (std::size_t i = 0; i < readSkins.size(); ++i) {
        std::memcpy(readSkins[i].name, data + h.offsetSkins + i * kSkinBytes, kSkinBytes);
    }
    std::vector<Md2TexCoord> readTexCoords(static_cast<std::size_t>(h.numTexCoords));
    for (std::size_t i = 0; i < readTexCoords.size(); ++i) {
        const unsigned char *p = data + h.offsetTexCoords + i * kTexCoordBytes;
        readTexCoords[i].s = static_cast<std::int16_t>(u16At(p));
        readTexCoords[i].t = static_cast<std::int16_t>(u16At(p + 2));
    }
    std::vector<Md2Triangle> readTriangles(static_cast<std::size_t>(h.numTriangles));
    for (std::size_t i = 0; i < readTriangles.size(); ++i) {
        const unsigned char *p = data + h.offsetTriangles + i * kTriangleBytes;
        for (int c = 0; c < 3; ++c) {
            readTriangles[i].vertexIndex[c] = u16At(p + 2 * c);
            readTriangles[i].texCoordIndex[c] = u16At(p + 6 + 2 * c);
            if (readTriangles[i].vertexIndex[c] >= h.numVertices ||
                readTriangles[i].texCoordIndex[c] >= h.numTexCoords) {
                reportError(fileName, "triangle " + std::to_string(i) + " uses vertex " +
                                          std::to_string(readTriangles[i].vertexIndex[c]) + " of " +
                                          std::to_string(h.numVertices) + " / texture coordinate " +
                                          std::to_string(readTriangles[i].texCoordIndex[c]) + " of " +
                                          std::to_string(h.numTexCoords));
                return false;
            }
        }
    }
    std::vector<std::int32_t> readGlCommands(static_cast<std::size_t>(h.numGlCommands));
    for (std::size_t i = 0; i < readGlCommands.size(); ++i) {
        readGlCommands[i] = i32At(data + h.offsetGlCommands + i * kGlCommandBytes);
    }
    std::vector<Md2Frame> readFrames(static_cast<std::size_t>(h.numFrames));
    for (std::size_t f = 0; f < readFrames.size(); ++f) {
        const unsigned char *p = data + h.offsetFrames + f * frameBytes;
        Md2Frame &frame = readFrames[f];
        for (int a = 0; a < 3; ++a) {
            frame.scale[a] = f32At(p + 4 * a);
            frame.translate[a] = f32At(p + 12 + 4 * a);
        }
        std::memcpy(frame.name, p + 24, sizeof frame.name);
        frame.vertices.resize(static_cast<std::size_t>(h.numVertices));
        const unsigned char *v = p + kFrameHeadBytes;
        for (Md2Vertex &vertex : frame.vertices) {
            vertex.v[0] = v[0];
            vertex.v[1] = v[1];
            vertex.v[2] = v[2];
            vertex.normalIndex = v[3];
            v += kVertexBytes;
        }
    }

    header = h;
    skins = std::move(readSkins);
    texCoords = std::move(readTexCoords);
    triangles = std::move(readTriangles);
    glCommands = std::move(readGlCommands);
    frames = std::move(readFrames);
    deriveArrays();
    return true;
}

void Md2Model::clear() {
    const std::string keptName = name;
    *this = Md2Model();
    name = keptName;
}

void Md2Model::deriveArrays() {
    const std::size_t numVertices = static_cast<std::size_t>(header.numVertices);
    const std::size_t numTriangles = triangles.size();
    faceNormals.assign(3 * numTriangles, 0.0f);
    vertexNormals.assign(3 * numVertices, 0.0f);
    vertexTexCoords.assign(2 * numVertices, 0.0f);
    vertexPositions.assign(3 * numVertices, 0.0f);
    indices.assign(3 * numTriangles, 0);

    const Md2Frame &pose = frames[kPoseFrame];
    for (std::size_t v = 0; v < numVertices; ++v) {
        for (int a = 0; a < 3; ++a) {
            vertexPositions[3 * v + a] = pose.scale[a] * pose.vertices[v].v[a] + pose.translate[a];
        }
    }
    const float skinW = static_cast<float>(header.skinWidth);
    const float skinH = static_cast<float>(header.skinHeight);
    for (std::size_t t = 0; t < numTriangles; ++t) {
        const Md2Triangle &tri = triangles[t];
        for (int c = 0; c < 3; ++c) {
            const std::size_t v = tri.vertexIndex[c];
            const Md2TexCoord &st = texCoords[tri.texCoordIndex[c]];
            // A vertex on several corners keeps the last corner's coordinate.
            vertexTexCoords[2 * v] = st.s / skinW;
            vertexTexCoords[2 * v + 1] = st.t / skinH;
            indices[3 * t + c] = static_cast<int>(v);
        }
        Calculations::CalculateNormal(&faceNormals[3 * t], &vertexPositions[3 * tri.vertexIndex[0]],
                                      &vertexPositions[3 * tri.vertexIndex[1]],
                                      &vertexPositions[3 * tri.vertexIndex[2]]);
        // Summing straight into the vertex keeps vertices of any valence correct.
        for (int c = 0; c < 3; ++c) {
            float *sum = &vertexNormals[3 * tri.vertexIndex[c]];
            for (int a = 0; a < 3; ++a) {
                sum[a] += faceNormals[3 * t + a];
            }
        }
    }
    for (std::size_t v = 0; v < numVertices; ++v) {
        Calculations::Normalize(&vertexNormals[3 * v]);
    }
}

std::string Md2Model::getSkinPath(int i) const {
    if (i < 0 || static_cast<std::size_t>(i) >= skins.size()) {
        return std::string();
    }
    const char *text = skins[i].name;
    return std::string(text, strnlen(text, sizeof skins[i].name));
}

std::string Md2Model::getSkinTextureName() const {
    const std::string path = getSkinPath(0);
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

const Md2Frame *Md2Model::getFrame(int i) const {
    if (i < 0 || static_cast<std::size_t>(i) >= frames.size()) {
        return nullptr;
    }
    return &frames[i];
}

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The seventeen little-endian 32-bit fields at the start of every MD2 file.
struct Md2Header {
    std::int32_t ident = 0;            // "IDP2" read as a little-endian integer
    std::int32_t version = 0;          // 8 for every file we accept
    std::int32_t skinWidth = 0;        // texels; divides the s texture coordinates
    std::int32_t skinHeight = 0;       // texels; divides the t texture coordinates
    std::int32_t frameSize = 0;        // bytes of one frame as the file claims it; not trusted
    std::int32_t numSkins = 0;         // skin paths
    std::int32_t numVertices = 0;      // vertices per frame
    std::int32_t numTexCoords = 0;     // (s, t) texel pairs
    std::int32_t numTriangles = 0;     // triangles
    std::int32_t numGlCommands = 0;    // 32-bit GL command words
    std::int32_t numFrames = 0;        // key frames
    std::int32_t offsetSkins = 0;      // bytes from the start of the file
    std::int32_t offsetTexCoords = 0;  // bytes from the start of the file
    std::int32_t offsetTriangles = 0;  // bytes from the start of the file
    std::int32_t offsetFrames = 0;     // bytes from the start of the file
    std::int32_t offsetGlCommands = 0; // bytes from the start of the file
    std::int32_t offsetEnd = 0;        // file size as the file claims it; not trusted
};

// One skin path as stored: 64 bytes, NUL-padded.
struct Md2Skin {
    char name[64] = {}; // path, not necessarily NUL-terminated when all 64 bytes are used
};

// One texture coordinate in texels of the skin, t counted from the top row.
struct Md2TexCoord {
    std::int16_t s = 0; // texels from the left edge
    std::int16_t t = 0; // texels from the top edge
};

// One triangle: three corners, each a vertex and a texture coordinate.
struct Md2Triangle {
    std::uint16_t vertexIndex[3] = {};   // into the frame's vertices
    std::uint16_t texCoordIndex[3] = {}; // into the texture coordinates
};

// One packed vertex of a frame: position = frame scale * v + frame translate.
struct Md2Vertex {
    std::uint8_t v[3] = {};       // packed x, y, z
    std::uint8_t normalIndex = 0; // index into Quake's normal table; we compute our own normals
};

// One key frame: how to unpack its vertices, and the vertices themselves.
struct Md2Frame {
    float scale[3] = {1.0f, 1.0f, 1.0f};     // model units per packed step, per axis
    float translate[3] = {0.0f, 0.0f, 0.0f}; // model units added after scaling, per axis
    char name[16] = {};                      // frame name as stored, NUL-padded
    std::vector<Md2Vertex> vertices;         // one per model vertex

    const Md2Vertex *getVertices() const { return vertices.empty() ? nullptr : vertices.data(); }
};

// A loaded MD2 model: the file's sections plus the flat per-vertex arrays that
// drawing (immediate mode, display lists, vertex arrays, vertex buffers) and the
// physics cooking use. Only frame 1, the second frame, is ever drawn; all
// derived arrays are computed from it once at load time.
class Md2Model {
  public:
    // The frame every drawing path and the physics use.
    static constexpr int kPoseFrame = 1;

    Md2Model() = default;

    // Parses a complete MD2 file held in memory and derives the flat arrays.
    // Every count, offset and index is checked against the buffer first; on
    // failure one "Error: " line naming `fileName` goes to stderr, the model is
    // left empty and the result is false.
    bool readFromMemory(const unsigned char *data, std::size_t size, const std::string &fileName);
    // Back to the state of a default-constructed model (the name is kept).
    void clear();

    const Md2Header &getHeader() const { return header; }
    int getNumVertices() const { return header.numVertices; }
    int getNumTriangles() const { return header.numTriangles; }
    int getNumFrames() const { return header.numFrames; }
    int getSkinWidth() const { return header.skinWidth; }
    int getSkinHeight() const { return header.skinHeight; }

    const std::vector<Md2Skin> &getSkins() const { return skins; }
    // The stored path of skin `i` up to its first NUL; empty when there is no such skin.
    std::string getSkinPath(int i) const;
    // The texture registry name of the first skin: its path after the last "/"
    // (the whole path when it has none); empty for a model without skins.
    std::string getSkinTextureName() const;

    const std::vector<Md2TexCoord> &getTexCoords() const { return texCoords; }
    const std::vector<Md2Triangle> &getTriangles() const { return triangles; }
    const std::vector<Md2Frame> &getFrames() const { return frames; }
    // Frame `i`, or null when the model has no such frame.
    const Md2Frame *getFrame(int i) const;
    // Frame 1, the drawn pose; null for an empty model.
    const Md2Frame *getPoseFrame() const { return getFrame(kPoseFrame); }
    const std::vector<std::int32_t> &getGlCommands() const { return glCommands; }

    // Flat arrays for glNormalPointer / glVertexPointer / glTexCoordPointer
    // (tightly packed, stride 0); null for an empty model.
    const float *getFaceNormals() const { return dataOrNull(faceNormals); }         // 3 per triangle
    const float *getVertexNormals() const { return dataOrNull(vertexNormals); }     // 3 per vertex
    const float *getVertexTexCoords() const { return dataOrNull(vertexTexCoords); } // 2 per vertex
    const float *getVertexPositions() const { return dataOrNull(vertexPositions); } // 3 per vertex
    // The vertex of each triangle corner, 3 per triangle, for glDrawElements /
    // glArrayElement.
    const int *getIndices() const { return indices.empty() ? nullptr : indices.data(); }

    // The registry key (bare file name), set by the importer after a successful read.
    const std::string &getName() const { return name; }
    void setName(const std::string &modelName) { name = modelName; }

  private:
    // Fills the face and vertex normals, per-vertex texture coordinates,
    // positions and indices from frame 1; the sections must be validated.
    void deriveArrays();

    static const float *dataOrNull(const std::vector<float> &v) { return v.empty() ? nullptr : v.data(); }

    Md2Header header;                     // as read
    std::vector<Md2Skin> skins;           // numSkins paths
    std::vector<Md2TexCoord> texCoords;   // numTexCoords texel pairs
    std::vector<Md2Triangle> triangles;   // numTriangles
    std::vector<float> faceNormals;       // unit normal per triangle, outward for clockwise triangles
    std::vector<float> vertexNormals;     // normalised sum of the face normals around each vertex
    std::vector<float> vertexTexCoords;   // (s / skin width, t / skin height) per vertex, last corner wins
    std::vector<float> vertexPositions;   // frame 1 unpacked, model units
    std::vector<int> indices;             // vertex index per triangle corner
    std::vector<Md2Frame> frames;         // numFrames key frames
    std::vector<std::int32_t> glCommands; // kept as read, never executed
    std::string name;                     // bare file name, the registry key
};

#pragma once

#include <cstdint>
#include <string>
#include <vector>

class PhysXStream;

// A mesh as the cache keeps it: points in physics axes (before the shape's local offset) and, for
// convex meshes, the hull's surface triangles; for triangle meshes the mesh's own triangles.
struct CookedMesh {
    std::vector<float> points;          // x, y, z per point
    std::vector<std::uint32_t> indices; // three point indices per triangle
    std::uint64_t source = 0;           // fingerprint of the cooker's input; a changed model cooks anew
};

// The cooked-mesh file "data/model_cooked/CM_<name>.bin" (convex) or "TM_<name>.bin" (triangle
// mesh). Layout, all numbers little-endian:
//
//   offset  size   field
//   0       4      magic "PZCM" (convex hull) or "PZTM" (triangle mesh)
//   4       4      format version, 1
//   8       8      source fingerprint (FNV-1a 64 of the cooker's input points and indices)
//   16      4      point count n
//   20      4      index count m, a multiple of 3
//   24      12 n   points, three float32 each
//   24+12n  4 m    indices, uint32 each, every one below n
//   end-4   4      CRC-32 (the zlib polynomial) of every byte before it
//
// Reading trusts nothing: magic, version, the counts against the file size, the checksum, finite
// points and indices in range are all checked before a mesh comes back. Files are replaced
// through a temporary file in the same folder (see SafeFile.h), so a crash never leaves half a
// file in place.
class CookedMeshFile {
  public:
    enum class Kind { Convex, Triangle };

    static constexpr std::uint32_t kVersion = 1;
    static constexpr std::uint32_t kHeaderBytes = 24;
    static constexpr std::uint64_t kMaxFileBytes = 256ull << 20; // larger files are taken as corrupt

    // Appends the whole file image to `out`.
    static void encode(Kind kind, const CookedMesh &mesh, PhysXStream &out);
    // Parses a whole file image; false with `problem` set when anything does not check out.
    static bool decode(Kind kind, const std::uint8_t *bytes, std::uint64_t size, CookedMesh &mesh,
                       std::string &problem);

    // Writes the file (temporary file, then rename); false with `problem` set on failure.
    static bool write(const std::string &path, Kind kind, const CookedMesh &mesh, std::string &problem);
    // Reads and checks the file; false with `problem` set on failure.
    static bool read(const std::string &path, Kind kind, CookedMesh &mesh, std::string &problem);

    // Fingerprint of a cooker input: the points and indices as bytes.
    static std::uint64_t fingerprint(Kind kind, const std::vector<float> &points,
                                     const std::vector<std::uint32_t> &indices);
    static std::uint32_t crc32(const std::uint8_t *bytes, std::uint64_t size);
};

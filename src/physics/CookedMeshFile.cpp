#include "physics/CookedMeshFile.h"

#include "config/SafeFile.h"
#include "physics/MemoryReadBuffer.h"
#include "physics/MemoryWriteBuffer.h"
#include "physics/UserStream.h"

#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

const char *magicOf(CookedMeshFile::Kind kind) {
    return kind == CookedMeshFile::Kind::Convex ? "PZCM" : "PZTM";
}

constexpr std::uint64_t kFnvOffset = 0xcbf29ce484222325ull;
constexpr std::uint64_t kFnvPrime = 0x100000001b3ull;

std::uint64_t fnv1a(std::uint64_t hash, const void *data, std::size_t size) {
    const auto *bytes = static_cast<const std::uint8_t *>(data);
    for (std::size_t i = 0; i < size; ++i) {
        hash = (hash ^ bytes[i]) * kFnvPrime;
    }
    return hash;
}

} // namespace

std::uint32_t CookedMeshFile::crc32(const std::uint8_t *bytes, std::uint64_t size) {
    return static_cast<std::uint32_t>(crc32_z(0, bytes, static_cast<z_size_t>(size)));
}

std::uint64_t CookedMeshFile::fingerprint(Kind kind, const std::vector<float> &points,
                                          const std::vector<std::uint32_t> &indices) {
    std::uint64_t hash = fnv1a(kFnvOffset, magicOf(kind), 4);
    const std::uint64_t counts[2] = {points.size(), indices.size()};
    hash = fnv1a(hash, counts, sizeof(counts));
    hash = fnv1a(hash, points.data(), points.size() * sizeof(float));
    return fnv1a(hash, indices.data(), indices.size() * sizeof(std::uint32_t));
}

void CookedMeshFile::encode(Kind kind, const CookedMesh &mesh, PhysXStream &out) {
    MemoryWriteBuffer body;
    body.storeBuffer(magicOf(kind), 4);
    body.storeDword(kVersion);
    body.storeDword(static_cast<std::uint32_t>(mesh.source & 0xFFFFFFFFu));
    body.storeDword(static_cast<std::uint32_t>(mesh.source >> 32));
    body.storeDword(static_cast<std::uint32_t>(mesh.points.size() / 3));
    body.storeDword(static_cast<std::uint32_t>(mesh.indices.size()));
    for (std::size_t i = 0; i + 2 < mesh.points.size(); i += 3) {
        body.storeFloat(mesh.points[i]).storeFloat(mesh.points[i + 1]).storeFloat(mesh.points[i + 2]);
    }
    for (std::uint32_t index : mesh.indices) {
        body.storeDword(index);
    }
    const std::uint32_t crc = crc32(body.getData(), body.getCurrentSize());
    out.storeBuffer(body.getData(), body.getCurrentSize());
    out.storeDword(crc);
}

bool CookedMeshFile::decode(Kind kind, const std::uint8_t *bytes, std::uint64_t size, CookedMesh &mesh,
                            std::string &problem) {
    if (size > kMaxFileBytes) {
        problem = "too large (" + std::to_string(size) + " bytes)";
        return false;
    }
    if (bytes == nullptr || size < kHeaderBytes + 4) {
        problem = "truncated (" + std::to_string(size) + " bytes)";
        return false;
    }
    MemoryReadBuffer in(bytes, static_cast<std::uint32_t>(size));
    char magic[4];
    in.readBuffer(magic, 4);
    if (std::memcmp(magic, magicOf(kind), 4) != 0) {
        problem = std::string("not a cooked mesh of this kind (expected \"") + magicOf(kind) + "\")";
        return false;
    }
    const std::uint32_t version = in.readDword();
    if (version != kVersion) {
        problem = "unknown format version " + std::to_string(version);
        return false;
    }
    const std::uint64_t sourceLow = in.readDword();
    const std::uint64_t sourceHigh = in.readDword();
    const std::uint64_t pointCount = in.readDword();
    const std::uint64_t indexCount = in.readDword();
    const std::uint64_t expected = kHeaderBytes + 12 * pointCount + 4 * indexCount + 4;
    if (expected != size) {
        problem = "counts (" + std::to_string(pointCount) + " points, " + std::to_string(indexCount) +
                  " indices) do not match the file size " + std::to_string(size);
        return false;
    }
    if (pointCount == 0 || indexCount % 3 != 0) {
        problem = "no points or a partial triangle";
        return false;
    }
    std::uint32_t stored = 0;
    std::memcpy(&stored, bytes + size - 4, 4);
    if (crc32(bytes, size - 4) != stored) {
        problem = "checksum mismatch";
        return false;
    }
    CookedMesh result;
    result.source = sourceLow | (sourceHigh << 32);
    result.points.resize(3 * pointCount);
    for (float &f : result.points) {
        f = in.readFloat();
        if (!std::isfinite(f)) {
            problem = "a point is not a finite number";
            return false;
        }
    }
    result.indices.resize(indexCount);
    for (std::uint32_t &index : result.indices) {
        index = in.readDword();
        if (index >= pointCount) {
            problem = "triangle index " + std::to_string(index) + " beyond the " +
                      std::to_string(pointCount) + " points";
            return false;
        }
    }
    if (in.isFailed()) { // cannot happen after the size check; kept as the last line of defence
        problem = in.getFailure();
        return false;
    }
    mesh = std::move(result);
    return true;
}

bool CookedMeshFile::write(const std::string &path, Kind kind, const CookedMesh &mesh, std::string &problem) {
    MemoryWriteBuffer image;
    encode(kind, mesh, image);
    if (image.isFailed()) {
        problem = image.getFailure();
        return false;
    }
    return replaceFileSafely(path, image.getData(), image.getCurrentSize(), problem);
}

bool CookedMeshFile::read(const std::string &path, Kind kind, CookedMesh &mesh, std::string &problem) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        problem = "cannot read: " + error.message();
        return false;
    }
    if (size > kMaxFileBytes || size < kHeaderBytes + 4) {
        return decode(kind, nullptr, size, mesh, problem);
    }
    std::vector<std::uint8_t> bytes(size);
    UserStream in(path.c_str(), true);
    in.readBuffer(bytes.data(), static_cast<std::uint32_t>(size));
    if (in.isFailed()) {
        problem = in.getFailure();
        return false;
    }
    return decode(kind, bytes.data(), size, mesh, problem);
}

// Fuzz target: the cooked-mesh cache files, read as convex and as triangle meshes, and the size
// files next to them.
#include "FuzzSupport.h"
#include "config/ConfigFile.h"
#include "config/ConfigReader.h"
#include "physics/CookedMeshFile.h"
#include "physics/PhysXActor.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {
void readMesh(const std::string &path, CookedMeshFile::Kind kind) {
    CookedMesh mesh;
    std::string problem;
    if (!CookedMeshFile::read(path, kind, mesh, problem)) {
        return;
    }
    // A mesh that checked out must be safe to use: whole points, whole triangles, indices in range.
    const std::size_t points = mesh.points.size() / 3;
    if (mesh.points.size() % 3 != 0 || mesh.indices.size() % 3 != 0) {
        std::abort();
    }
    for (float coordinate : mesh.points) {
        if (!std::isfinite(coordinate)) {
            std::abort();
        }
    }
    for (std::uint32_t index : mesh.indices) {
        if (index >= points) {
            std::abort();
        }
    }
}

// Valid files of each kind as seeds: the cache writes them only while the game runs, so none ship.
void writeSeeds(const std::string &dir) {
    CookedMesh tetrahedron;
    tetrahedron.points = {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1};
    tetrahedron.indices = {0, 2, 1, 0, 1, 3, 0, 3, 2, 1, 2, 3};
    tetrahedron.source =
        CookedMeshFile::fingerprint(CookedMeshFile::Kind::Convex, tetrahedron.points, tetrahedron.indices);
    std::string problem;
    bool written =
        CookedMeshFile::write(dir + "/CM_seed.bin", CookedMeshFile::Kind::Convex, tetrahedron, problem);
    CookedMesh quad;
    quad.points = {0, 0, 0, 2, 0, 0, 2, 0, 2, 0, 0, 2};
    quad.indices = {0, 1, 2, 0, 2, 3};
    quad.source = CookedMeshFile::fingerprint(CookedMeshFile::Kind::Triangle, quad.points, quad.indices);
    written =
        written && CookedMeshFile::write(dir + "/TM_seed.bin", CookedMeshFile::Kind::Triangle, quad, problem);
    PhysXActor actor;
    actor.setSizeX(1.5);
    actor.setSizeY(2);
    actor.setSizeZ(3.25);
    actor.setSizeXreal(1.5);
    actor.setSizeYreal(2);
    actor.setSizeZreal(3.25);
    written = written && ConfigReader::SetPhysXActor(actor, dir + "/size_seed.ini");
    std::exit(written ? 0 : 1);
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzz::writeSeedsWhenAsked(writeSeeds);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string meshPath = fuzz::writeScratchFile("CM_input.bin", data, size);
    readMesh(meshPath, CookedMeshFile::Kind::Convex);
    readMesh(meshPath, CookedMeshFile::Kind::Triangle);

    const std::string sizePath = fuzz::writeScratchFile("input.ini", data, size);
    try {
        (void)ConfigReader::ReadPhysXActor(sizePath);
    } catch (const ConfigFile::key_not_found &) {
        // a size file missing a key is refused by throwing, which the cache takes as "cook anew"
    }
    return 0;
}

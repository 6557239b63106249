#include "physics/PhysXAccess.h"

#include "config/ConfigFile.h"
#include "config/ConfigReader.h"
#include "config/GamePaths.h"
#include "math/StateHash.h"
#include "objects/SpielObject.h"
#include "physics/CMyRaycastReport.h"
#include "physics/CookedMeshFile.h"
#include "physics/PhysXTrigger.h"
#include "physics/PhysXTuning.h"
#include "model/Md2Model.h"

#include <BulletCollision/CollisionDispatch/btInternalEdgeUtility.h>
#include <BulletCollision/CollisionDispatch/btManifoldResult.h>
#include <BulletCollision/CollisionShapes/btHeightfieldTerrainShape.h>
#include <LinearMath/btConvexHullComputer.h>
#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

using namespace PhysXTuning;

// A collision mesh shared by every actor built from the same cache name and model data.
struct PhysXAccess::MeshEntry {
    std::string key;                                       // its key in `meshes`
    PhysXActor sizes;                                      // extents and real extents of the mesh
    float volume = 0.0f;                                   // convex hull volume, cubic units
    std::vector<float> vertices;                           // triangle mesh points, referenced by the shape
    std::vector<int> indices;                              // triangle mesh corners, referenced by the shape
    std::unique_ptr<btTriangleIndexVertexArray> triangles; // triangle mesh view on the two arrays
    std::unique_ptr<btTriangleInfoMap> edgeInfo;           // terrain: smooths contacts on inner edges
    std::unique_ptr<btCollisionShape> shape;               // the shape, with the local offset built in
    float heightCentre = 0.0f;                             // height field: middle of its height range, units
    int users = 0;                                         // bodies using the shape
};

// A body in the world with what it needs to be released.
struct PhysXAccess::BodyEntry {
    std::unique_ptr<btDefaultMotionState> motion; // dynamic bodies: poses between substeps
    std::unique_ptr<btRigidBody> body;            // the body
    std::string meshKey;                          // its mesh in `meshes`; empty for ground planes
    std::uint64_t serial = 0;                     // creation order in its world, from 1
};

namespace {

using Kind = CookedMeshFile::Kind;

// Sizes beyond this (in either unit) cannot come from an MD2 model or a terrain; a size file
// holding one is damaged. Real sizes of convex meshes are physics sizes / 0.048.
constexpr double kMaxMeshExtent = 1.0e7;

btVector3 toPhysics(const float *game) {
    return btVector3(-game[0], game[1], -game[2]);
}

void toGame(const btVector3 &physics, float *game) {
    game[0] = -physics.x();
    game[1] = physics.y();
    game[2] = -physics.z();
}

bool allFinite(const float *values, int count) {
    for (int i = 0; i < count; ++i) {
        if (!std::isfinite(values[i])) {
            return false;
        }
    }
    return true;
}

std::string hexOf(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof(text), "%016llx", static_cast<unsigned long long>(value));
    return text;
}

// Per axis: size = max + min when min < 0, else max - min, over the first `count` points.
std::array<double, 3> extentsOf(const std::vector<float> &points, std::size_t count) {
    std::array<double, 3> size{};
    for (int a = 0; a < 3; ++a) {
        double low = points[a];
        double high = points[a];
        for (std::size_t i = 1; i < count; ++i) {
            low = std::min(low, double(points[3 * i + a]));
            high = std::max(high, double(points[3 * i + a]));
        }
        size[a] = low < 0.0 ? high + low : high - low;
    }
    return size;
}

// Shifts the collision shape so the extents centre it in the horizontal plane.
btVector3 localOffsetOf(const PhysXActor &sizes) {
    return btVector3(btScalar(-sizes.getSizeX() / 2.0), 0.0f, btScalar(-sizes.getSizeZ() / 2.0));
}

// The hull of the points, as its vertices and the fan triangles of its faces.
CookedMesh cookHull(const std::vector<float> &points) {
    CookedMesh hull;
    btConvexHullComputer computer;
    computer.compute(points.data(), 3 * sizeof(float), static_cast<int>(points.size() / 3), 0.0f, 0.0f);
    // The hull computer rounds through integers (by up to a thousandth of the model's size); every
    // hull vertex is one of the points, so each is replaced by the point it stands for.
    const std::size_t count = points.size() / 3;
    for (int i = 0; i < computer.vertices.size(); ++i) {
        const btVector3 &v = computer.vertices[i];
        std::size_t nearest = 0;
        btScalar best = BT_LARGE_FLOAT;
        for (std::size_t p = 0; p < count; ++p) {
            const btScalar d = v.distance2(btVector3(points[3 * p], points[3 * p + 1], points[3 * p + 2]));
            if (d < best) {
                best = d;
                nearest = p;
            }
        }
        hull.points.insert(hull.points.end(),
                           {points[3 * nearest], points[3 * nearest + 1], points[3 * nearest + 2]});
    }
    for (int f = 0; f < computer.faces.size(); ++f) {
        const btConvexHullComputer::Edge *first = &computer.edges[computer.faces[f]];
        const btConvexHullComputer::Edge *edge = first->getNextEdgeOfFace();
        const int a = first->getSourceVertex();
        int b = edge->getSourceVertex();
        edge = edge->getNextEdgeOfFace();
        for (int guard = 0; edge != first && guard < computer.edges.size(); ++guard) {
            const int c = edge->getSourceVertex();
            hull.indices.insert(hull.indices.end(), {std::uint32_t(a), std::uint32_t(b), std::uint32_t(c)});
            b = c;
            edge = edge->getNextEdgeOfFace();
        }
    }
    if (hull.points.empty()) { // nothing the hull computer could span: keep the points as they are
        hull.points = points;
    }
    return hull;
}

// Volume enclosed by the triangles (signed tetrahedra from the origin), 0 for an open or flat mesh.
float volumeOf(const CookedMesh &mesh) {
    double sum = 0.0;
    for (std::size_t t = 0; t + 2 < mesh.indices.size(); t += 3) {
        const float *p = &mesh.points[3 * mesh.indices[t]];
        const float *q = &mesh.points[3 * mesh.indices[t + 1]];
        const float *r = &mesh.points[3 * mesh.indices[t + 2]];
        sum += double(p[0]) * (double(q[1]) * r[2] - double(q[2]) * r[1]) +
               double(p[1]) * (double(q[2]) * r[0] - double(q[0]) * r[2]) +
               double(p[2]) * (double(q[0]) * r[1] - double(q[1]) * r[0]);
    }
    return static_cast<float>(std::fabs(sum) / 6.0);
}

// Sizes from the size file; false (after one "Error: " line) when it is missing or unusable.
bool readSizes(const std::string &path, PhysXActor &sizes) {
    try {
        sizes = ConfigReader::ReadPhysXActor(path); // a missing file or key reports itself
    } catch (const ConfigFile::file_not_found &) {
        return false;
    } catch (const ConfigFile::key_not_found &) {
        return false;
    }
    const double values[6] = {sizes.getSizeX(),     sizes.getSizeY(),     sizes.getSizeZ(),
                              sizes.getSizeXreal(), sizes.getSizeYreal(), sizes.getSizeZreal()};
    for (double v : values) {
        if (!(std::fabs(v) <= kMaxMeshExtent)) { // also catches NaN
            std::fprintf(stderr, "Error: \"%s\": the size %g is not usable\n", path.c_str(), v);
            return false;
        }
    }
    return true;
}

// Writes the size file, then the cooked bytes, so that a cooked file always has its sizes beside
// it. A folder that cannot take the cache (read-only, full) is reported once, with the file that
// failed; from then on meshes are cooked in memory only and nothing more is written.
void writeCache(Kind kind, const std::string &binPath, const std::string &iniPath, const CookedMesh &mesh,
                const PhysXActor &sizes, bool &cacheWritable) {
    if (!cacheWritable) {
        return;
    }
    std::string problem;
    for (const std::string &folder : {PhysXAccess::cookedFolder(), PhysXAccess::sizeFolder()}) {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error && problem.empty()) {
            problem = "cannot make the folder \"" + folder + "\": " + error.message();
        }
    }
    std::string reason;
    if (problem.empty() && !ConfigReader::SetPhysXActor(sizes, iniPath, &reason)) {
        problem = "\"" + iniPath + "\": " + reason;
    } else if (problem.empty() && !CookedMeshFile::write(binPath, kind, mesh, reason)) {
        problem = "\"" + binPath + "\": " + reason;
    }
    if (!problem.empty()) {
        cacheWritable = false;
        std::fprintf(stderr,
                     "Error: the mesh cache cannot be written (%s); meshes are cooked in memory only\n",
                     problem.c_str());
    }
}

// The cached mesh for the given input; false when the files are missing, broken or were cooked
// from other model data (the broken ones after one "Error: " line).
bool readCache(Kind kind, const std::string &binPath, const std::string &iniPath, std::uint64_t source,
               CookedMesh &mesh, PhysXActor &sizes) {
    if (!PhysXAccess::ExistFile(binPath)) {
        return false;
    }
    std::string problem;
    if (!CookedMeshFile::read(binPath, kind, mesh, problem)) {
        std::fprintf(stderr, "Error: \"%s\": %s; cooking the mesh again\n", binPath.c_str(), problem.c_str());
        return false;
    }
    if (kind == Kind::Triangle && mesh.indices.empty()) {
        std::fprintf(stderr, "Error: \"%s\": no triangles; cooking the mesh again\n", binPath.c_str());
        return false;
    }
    if (mesh.source != source) { // the model changed since it was cooked
        return false;
    }
    return readSizes(iniPath, sizes);
}

bool adjustTerrainContact(btManifoldPoint &cp, const btCollisionObjectWrapper *colObj0Wrap, int partId0,
                          int index0, const btCollisionObjectWrapper *colObj1Wrap, int partId1, int index1) {
    // Whichever side is the terrain triangle: the utility ignores a non-triangle first argument.
    btAdjustInternalEdgeContacts(cp, colObj1Wrap, colObj0Wrap, partId1, index1);
    btAdjustInternalEdgeContacts(cp, colObj0Wrap, colObj1Wrap, partId0, index0);
    return true;
}

} // namespace

std::string PhysXAccess::cookedFolder() { return GamePaths::current().cookedMeshFolder(); }

std::string PhysXAccess::sizeFolder() { return GamePaths::current().meshSizeFolder(); }

PhysXAccess::PhysXAccess() = default;

PhysXAccess::~PhysXAccess() {
    FreeEverything();
}

void PhysXAccess::initialPhysX() {
    if (scene) {
        return;
    }
    buildWorld();
    std::printf("PhysX: Scene created\n");
    CreateGroundPlane();
}

void PhysXAccess::resetWorld() {
    if (!scene) {
        return;
    }
    releaseBodies();
    tearDownWorld();
    buildWorld();
    CreateGroundPlane(); // no first step: the battle's own steps are the only ones this world takes
}

void PhysXAccess::buildWorld() {
    collisionConfiguration = std::make_unique<btDefaultCollisionConfiguration>();
    dispatcher = std::make_unique<btCollisionDispatcher>(collisionConfiguration.get());
    broadphase = std::make_unique<btDbvtBroadphase>();
    solver = std::make_unique<btSequentialImpulseConstraintSolver>();
    solver->setRandSeed(kSolverSeed);
    scene = std::make_unique<btDiscreteDynamicsWorld>(dispatcher.get(), broadphase.get(), solver.get(),
                                                      collisionConfiguration.get());
    // Pairs and contact manifolds are processed sorted by their bodies' broadphase ids, not in the
    // order the pair cache and the tree happen to hold them; the solver keeps its fixed order.
    scene->getDispatchInfo().m_deterministicOverlappingPairs = true;
    scene->getSolverInfo().m_solverMode &= ~SOLVER_RANDMIZE_ORDER;
    scene->setGravity(btVector3(0.0f, kGravityY, 0.0f));
    scene->setInternalTickCallback(&PhysXAccess::afterSubstep, this);
    // Only bodies flagged for it (the terrain) call this; it is a plain function, the same for every world.
    gContactAddedCallback = &adjustTerrainContact;
    gDeactivationTime = kSleepAfter; // a body at rest this long sleeps until something wakes it
    lastSerial = 0;
}

void PhysXAccess::tearDownWorld() {
    scene.reset();
    solver.reset();
    broadphase.reset();
    dispatcher.reset();
    collisionConfiguration.reset();
}

void PhysXAccess::keepBody(std::unique_ptr<BodyEntry> entry) {
    entry->serial = ++lastSerial;
    const btCollisionObject *body = entry->body.get();
    bodies[body] = std::move(entry);
}

void PhysXAccess::addToHash(StateHash &hash) const {
    std::vector<const BodyEntry *> ordered;
    for (const auto &entry : bodies) {
        ordered.push_back(entry.second.get());
    }
    std::sort(ordered.begin(), ordered.end(),
              [](const BodyEntry *a, const BodyEntry *b) { return a->serial < b->serial; });
    for (const BodyEntry *entry : ordered) {
        const btRigidBody &body = *entry->body;
        if (body.isStaticOrKinematicObject()) {
            continue; // nothing moves it
        }
        float pose[16];
        body.getWorldTransform().getOpenGLMatrix(pose);
        hash.add(static_cast<std::uint64_t>(entry->serial));
        hash.add(pose, 16);
        for (const btVector3 &v : {body.getLinearVelocity(), body.getAngularVelocity()}) {
            const float xyz[3] = {v.x(), v.y(), v.z()};
            hash.add(xyz, 3);
        }
        hash.add(body.getActivationState());
    }
}

std::uint64_t PhysXAccess::serialOf(const btCollisionObject *body) const {
    auto found = bodies.find(body);
    return found != bodies.end() ? found->second->serial : 0;
}

btRigidBody *PhysXAccess::CreateGroundPlane() {
    if (!scene) {
        return nullptr;
    }
    if (!groundShape) {
        groundShape = std::make_unique<btStaticPlaneShape>(btVector3(0.0f, 1.0f, 0.0f), 0.0f);
    }
    auto entry = std::make_unique<BodyEntry>();
    btRigidBody::btRigidBodyConstructionInfo info(0.0f, nullptr, groundShape.get());
    info.m_friction = kGroundFriction;
    info.m_restitution = kGroundRestitution;
    entry->body = std::make_unique<btRigidBody>(info);
    btRigidBody *body = entry->body.get();
    scene->addRigidBody(body);
    keepBody(std::move(entry));
    ground = body;
    return body;
}

btRigidBody *PhysXAccess::prepareConvexMesh(int vertexCount,
                                            int /*triangleCount: the hull needs only points*/,
                                            const Md2Vertex *vertices, const Md2Triangle * /*triangles*/,
                                            const std::string &name, const float *position, float scale,
                                            float heading, SpielObject *object, bool isStatic) {
    return createConvexActor(name, name, vertexCount, vertices, position, scale, heading, nullptr, 0.0f,
                             object, isStatic ? BodyKind::Static : BodyKind::Vehicle);
}

btRigidBody *PhysXAccess::fireBullet(const float *position, const float *direction, float speed,
                                     int vertexCount, int /*triangleCount*/, const Md2Vertex *vertices,
                                     const Md2Triangle * /*triangles*/, const std::string &actorName,
                                     const std::string &modelName, float size, float heading,
                                     SpielObject *object) {
    if (direction == nullptr || !allFinite(direction, 3) || !std::isfinite(speed)) {
        std::fprintf(stderr, "Error: projectile \"%s\": its velocity is not a finite vector\n",
                     actorName.c_str());
        return nullptr;
    }
    return createConvexActor(modelName, actorName, vertexCount, vertices, position, size, heading, direction,
                             speed, object, BodyKind::Projectile);
}

btRigidBody *PhysXAccess::createConvexActor(const std::string &cacheName, const std::string &actorName,
                                            int vertexCount, const Md2Vertex *vertices, const float *position,
                                            float scale, float heading, const float *direction, float speed,
                                            SpielObject *object, BodyKind kind) {
    if (!scene) {
        return nullptr;
    }
    if (vertexCount <= 0 || vertices == nullptr) {
        std::fprintf(stderr, "Error: model \"%s\": no vertices to build a collision mesh from\n",
                     cacheName.c_str());
        return nullptr;
    }
    if (position == nullptr || !allFinite(position, 3) || !std::isfinite(scale) || !std::isfinite(heading)) {
        std::fprintf(stderr, "Error: actor \"%s\": position, scale or heading is not a finite number\n",
                     actorName.c_str());
        return nullptr;
    }
    // The model's z is up in physics, its x mirrored; 0.048 stands in for the frame's own scale.
    std::vector<float> points;
    points.reserve(3 * static_cast<std::size_t>(vertexCount));
    for (int i = 0; i < vertexCount; ++i) {
        const std::uint8_t *b = vertices[i].v;
        points.push_back(-float(b[0]) * scale * kCookScale);
        points.push_back(float(b[2]) * scale * kCookScale);
        points.push_back(float(b[1]) * scale * kCookScale);
    }
    MeshEntry *mesh = acquireConvexMesh(cacheName, points);
    btRigidBody *body = createBody(*mesh, kind, position, heading, direction, speed, object);
    recordActor(actorName, *mesh, body);
    if (++convexMeshCount == 1) {
        firstConvexActor = body;
    }
    return body;
}

void PhysXAccess::recordActor(const std::string &actorName, const MeshEntry &mesh, btRigidBody *body) {
    PhysXActor record = mesh.sizes;
    record.setName(actorName);
    record.setActor(body);
    actors[actorName] = record;
}

PhysXAccess::MeshEntry *PhysXAccess::acquireConvexMesh(const std::string &cacheName,
                                                       const std::vector<float> &points) {
    const std::uint64_t source = CookedMeshFile::fingerprint(Kind::Convex, points, {});
    const std::string key = "CM_" + cacheName + "#" + hexOf(source);
    auto shared = meshes.find(key);
    if (shared != meshes.end()) {
        return shared->second.get();
    }
    const std::string binPath = cookedFolder() + "CM_" + cacheName + ".bin";
    const std::string iniPath = sizeFolder() + "CM_" + cacheName + ".ini";
    CookedMesh hull;
    PhysXActor sizes;
    if (!readCache(Kind::Convex, binPath, iniPath, source, hull, sizes)) {
        const std::array<double, 3> size = extentsOf(points, points.size() / 3);
        sizes.setSizes(size[0], size[1], size[2]);
        sizes.setSizesreal(-size[0] / kCookScale, size[1] / kCookScale, size[2] / kCookScale);
        hull = cookHull(points);
        hull.source = source;
        ++cookCount;
        writeCache(Kind::Convex, binPath, iniPath, hull, sizes, cacheWritable);
    }

    auto entry = std::make_unique<MeshEntry>();
    entry->key = key;
    entry->sizes = sizes;
    entry->volume = volumeOf(hull);
    const btVector3 offset = localOffsetOf(sizes);
    auto shape = std::make_unique<btConvexHullShape>();
    for (std::size_t i = 0; i + 2 < hull.points.size(); i += 3) {
        shape->addPoint(btVector3(hull.points[i], hull.points[i + 1], hull.points[i + 2]) + offset, false);
    }
    shape->setMargin(kCollisionMargin); // before the box is cached: it includes the margin
    shape->recalcLocalAabb();
    entry->shape = std::move(shape);
    MeshEntry *result = entry.get();
    meshes[key] = std::move(entry);
    return result;
}

btRigidBody *PhysXAccess::prepareTriangleMesh(int vertexCount, int triangleCount, const float *vertices,
                                              const float *triangles, const std::string &name,
                                              const float *position, float /*scale: not applied*/,
                                              float angleX) {
    if (!scene) {
        return nullptr;
    }
    const std::string binPath = cookedFolder() + "TM_" + name + ".bin";
    if (vertexCount <= 0 || triangleCount <= 0 || vertices == nullptr || triangles == nullptr) {
        std::fprintf(stderr, "Error: \"%s\": the triangle mesh has no triangles to cook\n", binPath.c_str());
        return nullptr;
    }
    if (position == nullptr || !allFinite(position, 3) || !std::isfinite(angleX)) {
        std::fprintf(stderr, "Error: actor \"%s\": position or angle is not a finite number\n", name.c_str());
        return nullptr;
    }
    std::vector<float> points;
    points.reserve(3 * static_cast<std::size_t>(vertexCount));
    for (int i = 0; i < vertexCount; ++i) {
        const float *v = vertices + 3 * static_cast<std::size_t>(i);
        if (!allFinite(v, 3)) {
            std::fprintf(stderr, "Error: \"%s\": vertex %d is not a finite point\n", binPath.c_str(), i);
            return nullptr;
        }
        points.insert(points.end(), {-v[0], v[2], v[1]});
    }
    std::vector<std::uint32_t> indices;
    indices.reserve(3 * static_cast<std::size_t>(triangleCount));
    for (std::size_t i = 0; i < 3 * static_cast<std::size_t>(triangleCount); ++i) {
        const float f = triangles[i];
        if (!(f >= 0.0f && f < float(vertexCount) && f == std::floor(f))) {
            std::fprintf(stderr, "Error: \"%s\": triangle corner %zu (%g) is no vertex index below %d\n",
                         binPath.c_str(), i, double(f), vertexCount);
            return nullptr;
        }
        indices.push_back(static_cast<std::uint32_t>(f));
    }
    MeshEntry *mesh = acquireTriangleMesh(name, points, indices);
    btRigidBody *body = createBody(*mesh, BodyKind::Terrain, position, angleX, nullptr, 0.0f, nullptr);
    recordActor(name, *mesh, body);
    ++triangleMeshCount;
    return body;
}

btRigidBody *PhysXAccess::prepareHeightField(int columns, int rows, const float *heights, float spacing,
                                             const std::string &name, const float *centre) {
    if (!scene) {
        return nullptr;
    }
    if (columns < 2 || rows < 2 || heights == nullptr || !(spacing > 0.0f) || !std::isfinite(spacing) ||
        centre == nullptr || !allFinite(centre, 3) || !allFinite(heights, columns * rows)) {
        std::fprintf(stderr, "Error: \"%s\": the height field is empty or not finite\n", name.c_str());
        return nullptr;
    }
    const std::vector<float> samples(heights, heights + static_cast<std::size_t>(columns) * rows);
    const std::string key = "HF_" + name + "#" +
                            hexOf(CookedMeshFile::fingerprint(Kind::Triangle, samples, {})) + "#" +
                            std::to_string(columns) + "x" + std::to_string(spacing);
    MeshEntry *mesh = nullptr;
    auto shared = meshes.find(key);
    if (shared != meshes.end()) {
        mesh = shared->second.get();
    } else {
        mesh = buildHeightField(key, columns, rows, samples, spacing);
    }
    // The shape is centred on its box: the body sits halfway between the lowest and highest point.
    const float position[3] = {centre[0], centre[1] + mesh->heightCentre, centre[2]};
    btRigidBody *body = createBody(*mesh, BodyKind::Terrain, position, 0.0f, nullptr, 0.0f, nullptr);
    recordActor(name, *mesh, body);
    ++triangleMeshCount;
    return body;
}

PhysXAccess::MeshEntry *PhysXAccess::buildHeightField(const std::string &key, int columns, int rows,
                                                      const std::vector<float> &heights, float spacing) {
    // Physics axes run against the game's on x and z: the field's first sample is the game's last.
    auto entry = std::make_unique<MeshEntry>();
    entry->key = key;
    entry->vertices.resize(static_cast<std::size_t>(columns) * rows);
    float low = heights[0], high = heights[0];
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            const float h = heights[static_cast<std::size_t>(j) * columns + i];
            entry->vertices[static_cast<std::size_t>(rows - 1 - j) * columns + (columns - 1 - i)] = h;
            low = std::min(low, h);
            high = std::max(high, h);
        }
    }
    // Reversing both axes keeps the game's diagonal from (i, j) to (i + 1, j + 1) the field's
    // diagonal from (x, y) to (x + 1, y + 1): the flipped quad edges.
    auto shape = std::make_unique<btHeightfieldTerrainShape>(columns, rows, entry->vertices.data(), low, high,
                                                             1, true);
    shape->setLocalScaling(btVector3(spacing, 1.0f, spacing));
    entry->edgeInfo = std::make_unique<btTriangleInfoMap>();
    btGenerateInternalEdgeInfo(shape.get(), entry->edgeInfo.get());
    entry->shape = std::move(shape);
    entry->sizes.setSizes(spacing * (columns - 1), high - low, spacing * (rows - 1));
    entry->sizes.setSizesreal(-spacing * (columns - 1), high - low, spacing * (rows - 1));
    entry->heightCentre = 0.5f * (low + high);
    MeshEntry *mesh = entry.get();
    meshes[key] = std::move(entry);
    return mesh;
}

PhysXAccess::MeshEntry *PhysXAccess::acquireTriangleMesh(const std::string &cacheName,
                                                         const std::vector<float> &points,
                                                         const std::vector<std::uint32_t> &indices) {
    const std::uint64_t source = CookedMeshFile::fingerprint(Kind::Triangle, points, indices);
    const std::string key = "TM_" + cacheName + "#" + hexOf(source);
    auto shared = meshes.find(key);
    if (shared != meshes.end()) {
        return shared->second.get();
    }
    const std::string binPath = cookedFolder() + "TM_" + cacheName + ".bin";
    const std::string iniPath = sizeFolder() + "TM_" + cacheName + ".ini";
    CookedMesh mesh;
    PhysXActor sizes;
    if (!readCache(Kind::Triangle, binPath, iniPath, source, mesh, sizes)) {
        // The terrain's extents come from its first point alone.
        const std::array<double, 3> size = extentsOf(points, 1);
        sizes.setSizes(size[0], size[1], size[2]);
        sizes.setSizesreal(-size[0], size[1], size[2]);
        mesh.points = points;
        mesh.indices = indices;
        mesh.source = source;
        ++cookCount;
        writeCache(Kind::Triangle, binPath, iniPath, mesh, sizes, cacheWritable);
    }

    auto entry = std::make_unique<MeshEntry>();
    entry->key = key;
    entry->sizes = sizes;
    const btVector3 offset = localOffsetOf(sizes);
    entry->vertices.resize(mesh.points.size());
    for (std::size_t i = 0; i + 2 < mesh.points.size(); i += 3) {
        entry->vertices[i] = mesh.points[i] + offset.x();
        entry->vertices[i + 1] = mesh.points[i + 1] + offset.y();
        entry->vertices[i + 2] = mesh.points[i + 2] + offset.z();
    }
    // The level winds its triangles clockwise seen from above; two corners swap places so that
    // every face normal points up, the side the edge smoothing and the contacts expect.
    entry->indices.resize(mesh.indices.size());
    for (std::size_t t = 0; t + 2 < mesh.indices.size(); t += 3) {
        entry->indices[t] = static_cast<int>(mesh.indices[t]);
        entry->indices[t + 1] = static_cast<int>(mesh.indices[t + 2]);
        entry->indices[t + 2] = static_cast<int>(mesh.indices[t + 1]);
    }
    entry->triangles = std::make_unique<btTriangleIndexVertexArray>(
        static_cast<int>(entry->indices.size() / 3), entry->indices.data(), 3 * int(sizeof(int)),
        static_cast<int>(entry->vertices.size() / 3), entry->vertices.data(), 3 * int(sizeof(float)));
    auto shape = std::make_unique<btBvhTriangleMeshShape>(entry->triangles.get(), true);
    // Inner edges of the terrain would otherwise push a sliding tank up at every triangle seam.
    entry->edgeInfo = std::make_unique<btTriangleInfoMap>();
    btGenerateInternalEdgeInfo(shape.get(), entry->edgeInfo.get());
    entry->shape = std::move(shape);
    MeshEntry *result = entry.get();
    meshes[key] = std::move(entry);
    return result;
}

btRigidBody *PhysXAccess::createBody(MeshEntry &mesh, BodyKind kind, const float *position,
                                     float angleDegrees, const float *direction, float speed,
                                     SpielObject *object) {
    const float angle = angleDegrees * kPi / 180.0f;
    btTransform start;
    start.setIdentity();
    start.setOrigin(toPhysics(position));
    // Objects turn about the vertical axis by their heading; the terrain is tilted about x.
    const btVector3 axis =
        kind == BodyKind::Terrain ? btVector3(1.0f, 0.0f, 0.0f) : btVector3(0.0f, 1.0f, 0.0f);
    start.setRotation(btQuaternion(axis, angle));

    const bool dynamic = kind == BodyKind::Vehicle || kind == BodyKind::Projectile;
    const float mass = dynamic ? std::max(kDensity * mesh.volume, kMinBodyMass) : 0.0f;
    btVector3 inertia(0.0f, 0.0f, 0.0f);
    if (dynamic) {
        mesh.shape->calculateLocalInertia(mass, inertia);
    }
    auto entry = std::make_unique<BodyEntry>();
    if (dynamic) {
        entry->motion = std::make_unique<btDefaultMotionState>(start);
    }
    btRigidBody::btRigidBodyConstructionInfo info(mass, entry->motion.get(), mesh.shape.get(), inertia);
    info.m_startWorldTransform = start;
    info.m_friction = kDefaultFriction;
    info.m_restitution = kDefaultRestitution;
    switch (kind) {
    case BodyKind::Static:
        break;
    case BodyKind::Terrain:
        info.m_friction = kTerrainFriction;
        info.m_restitution = kTerrainRestitution;
        break;
    case BodyKind::Vehicle:
        info.m_friction = kVehicleFriction;
        info.m_restitution = kVehicleRestitution;
        info.m_linearDamping = kVehicleLinearDamping;
        info.m_angularDamping = kStrongAngularDamping;
        break;
    case BodyKind::Projectile:
        info.m_linearDamping = kProjectileLinearDamping;
        info.m_angularDamping = kStrongAngularDamping;
        break;
    }
    entry->body = std::make_unique<btRigidBody>(info);
    btRigidBody *body = entry->body.get();
    body->setUserPointer(object);
    if (kind == BodyKind::Terrain) {
        body->setCollisionFlags(body->getCollisionFlags() | btCollisionObject::CF_CUSTOM_MATERIAL_CALLBACK);
    }
    if (kind == BodyKind::Vehicle) {
        body->setAngularFactor(
            btVector3(kVehicleAngularFactorX, kVehicleAngularFactorY, kVehicleAngularFactorZ));
    }
    if (kind == BodyKind::Projectile) {
        // Raised before the body joins the world, which would otherwise hand it the world's gravity.
        body->setFlags(body->getFlags() | BT_DISABLE_WORLD_GRAVITY);
        body->setGravity(btVector3(0.0f, 0.0f, 0.0f));
        body->setLinearVelocity(toPhysics(direction) * speed);
        btVector3 low;
        btVector3 high;
        mesh.shape->getAabb(btTransform::getIdentity(), low, high);
        const btVector3 half = (high - low) * 0.5f;
        const float radius =
            std::max(kCcdRadiusShare * std::min({half.x(), half.y(), half.z()}), kCcdMinRadius);
        body->setCcdMotionThreshold(radius);
        body->setCcdSweptSphereRadius(radius);
    }
    if (kind == BodyKind::Projectile) {
        scene->addRigidBody(body, kProjectileGroup, btBroadphaseProxy::AllFilter & ~kBoundaryGroup);
    } else {
        scene->addRigidBody(body);
    }
    entry->meshKey = mesh.key;
    ++mesh.users;
    keepBody(std::move(entry));
    return body;
}

void PhysXAccess::forceActor(const std::string &actorName, const float *force) {
    auto found = actors.find(actorName);
    if (found == actors.end() || found->second.getActor() == nullptr || force == nullptr ||
        !allFinite(force, 3)) {
        return;
    }
    btRigidBody *body = found->second.getActor();
    if (body->isStaticOrKinematicObject()) { // a level object or the terrain cannot be driven
        return;
    }
    if (body->getInvMass() != 1.0f / kVehicleMass) {
        btVector3 inertia;
        body->getCollisionShape()->calculateLocalInertia(kVehicleMass, inertia);
        body->setMassProps(kVehicleMass, inertia);
        body->updateInertiaTensor();
    }
    // A standing tank is left asleep: no key held, nothing to push. Only a drive wakes it (or a
    // hit, through its contact); the downward push goes to tanks still awake.
    const bool driving = force[0] != 0.0f || force[1] != 0.0f || force[2] != 0.0f;
    if (!driving && !body->isActive()) {
        return;
    }
    if (driving) {
        body->activate(true);
    }
    body->applyCentralImpulse(
        btVector3(-force[0] * kDriveImpulseFactor, force[1], -force[2] * kDriveImpulseFactor));
    body->applyCentralImpulse(btVector3(0.0f, kPressImpulse, 0.0f));
}

void PhysXAccess::forcePlayer1(const float *force) {
    if (firstConvexActor == nullptr || force == nullptr || !allFinite(force, 3) ||
        firstConvexActor->isStaticOrKinematicObject()) {
        return;
    }
    firstConvexActor->activate(true);
    firstConvexActor->applyCentralForce(toPhysics(force));
}

void PhysXAccess::updateObjects(float seconds) {
    copyPoses();
    Simulate(seconds);
    GetPhysicsResults();
    reportTriggers();
}

void PhysXAccess::copyPoses() {
    for (const auto &named : actors) {
        const btRigidBody *body = named.second.getActor();
        if (body == nullptr) {
            continue;
        }
        auto *object = static_cast<SpielObject *>(body->getUserPointer());
        if (object == nullptr) {
            continue;
        }
        btTransform pose = body->getWorldTransform();
        if (body->getMotionState() != nullptr) { // interpolated between substeps: smooth at any frame rate
            body->getMotionState()->getWorldTransform(pose);
        }
        float position[3];
        toGame(pose.getOrigin(), position);
        object->setPos(position);
        float matrix[16];
        pose.getOpenGLMatrix(matrix);
        object->setPhysicsPose(matrix);
    }
}

void PhysXAccess::Simulate(float seconds) {
    if (!scene) {
        return;
    }
    // Whole substeps, each one call: Bullet keeps no remainder between calls, so a step of the
    // same length always makes the same substeps. A long step is clamped: the world slows down
    // instead of taking hundreds of substeps at once.
    const float clamped = std::isfinite(seconds) ? std::clamp(seconds, 0.0f, kMaxFrameStep) : 0.0f;
    const int substeps = static_cast<int>(std::lround(clamped / kFixedSubstep));
    for (int i = 0; i < substeps; ++i) {
        scene->stepSimulation(kFixedSubstep, 1, kFixedSubstep);
    }
}

void PhysXAccess::afterSubstep(btDynamicsWorld *world, float /*timeStep*/) {
    static_cast<PhysXAccess *>(world->getWorldUserInfo())->recordArmedContacts();
}

void PhysXAccess::recordArmedContacts() {
    if (armedPairs.empty()) {
        return;
    }
    for (int i = 0; i < dispatcher->getNumManifolds(); ++i) {
        const btPersistentManifold *manifold = dispatcher->getManifoldByIndexInternal(i);
        bool touching = false;
        for (int c = 0; c < manifold->getNumContacts() && !touching; ++c) {
            touching = manifold->getContactPoint(c).getDistance() <= kTouchDistance;
        }
        if (!touching) {
            continue;
        }
        // The engine orders a pair as it likes; the report keeps the order it was armed in.
        const BodyPair forward(manifold->getBody0(), manifold->getBody1());
        const BodyPair backward(manifold->getBody1(), manifold->getBody0());
        for (const BodyPair &pair : {forward, backward}) {
            auto armed = armedPairs.find(pair);
            if (armed != armedPairs.end()) {
                pendingContacts.emplace(armed->second, pair);
            }
        }
    }
}

void PhysXAccess::GetPhysicsResults() {
    if (delivering) {
        return;
    }
    delivering = true;
    deliveryQueue.clear();
    for (const auto &pending : pendingContacts) { // in the order the bodies were made
        deliveryQueue.push_back(pending.second);
    }
    pendingContacts.clear();
    // By index: a handler may release bodies, which clears their entries in the queue.
    for (std::size_t i = 0; i < deliveryQueue.size(); ++i) {
        const BodyPair pair = deliveryQueue[i];
        if (pair.first == nullptr || pair.second == nullptr) {
            continue;
        }
        auto *projectile = static_cast<SpielObject *>(pair.first->getUserPointer());
        auto *vehicle = static_cast<SpielObject *>(pair.second->getUserPointer());
        if (projectile != nullptr && vehicle != nullptr) {
            onContactNotify(projectile, vehicle);
        }
    }
    deliveryQueue.clear();
    delivering = false;
}

void PhysXAccess::onContactNotify(SpielObject *projectile, SpielObject *vehicle) {
    if (contactHandler) {
        contactHandler(projectile, vehicle);
    }
}

void PhysXAccess::setContactReport(SpielObject *a, SpielObject *b) {
    if (a == nullptr || b == nullptr) {
        return;
    }
    const btRigidBody *first = findBody(a->getActorName());
    const btRigidBody *second = findBody(b->getActorName());
    if (first != nullptr && second != nullptr) {
        armedPairs.emplace(BodyPair(first, second), SerialPair(serialOf(first), serialOf(second)));
    }
}

const btRigidBody *PhysXAccess::findBody(const std::string &actorName) const {
    auto found = actors.find(actorName);
    return found != actors.end() ? found->second.getActor() : nullptr;
}

void PhysXAccess::ReleaseActor(const std::string &actorName) {
    auto found = actors.find(actorName);
    if (found == actors.end()) {
        return;
    }
    btRigidBody *body = found->second.getActor();
    actors.erase(found);
    ReleaseActor(body);
}

void PhysXAccess::ReleaseActor(btRigidBody *actor) {
    auto owned = bodies.find(actor);
    if (actor == nullptr || owned == bodies.end()) {
        return;
    }
    // Nothing may keep pointing at the body: a later body could get its address.
    for (auto it = actors.begin(); it != actors.end();) {
        it = it->second.getActor() == actor ? actors.erase(it) : std::next(it);
    }
    for (auto it = armedPairs.begin(); it != armedPairs.end();) {
        const BodyPair &pair = it->first;
        it = (pair.first == actor || pair.second == actor) ? armedPairs.erase(it) : std::next(it);
    }
    for (auto it = pendingContacts.begin(); it != pendingContacts.end();) {
        const BodyPair &pair = it->second;
        it = (pair.first == actor || pair.second == actor) ? pendingContacts.erase(it) : std::next(it);
    }
    for (BodyPair &pair : deliveryQueue) {
        if (pair.first == actor || pair.second == actor) {
            pair = BodyPair(nullptr, nullptr);
        }
    }
    forgetTriggerContacts(owned->second->serial);
    if (firstConvexActor == actor) {
        firstConvexActor = nullptr;
    }
    if (ground == actor) {
        ground = nullptr;
    }
    const std::string meshKey = owned->second->meshKey;
    scene->removeRigidBody(actor);
    bodies.erase(owned); // the body goes before its shape
    auto mesh = meshes.find(meshKey);
    if (mesh != meshes.end() && --mesh->second->users == 0) {
        meshes.erase(mesh);
    }
}

void PhysXAccess::setBoundary(const float *min, const float *max) {
    clearBoundary();
    if (!scene || min == nullptr || max == nullptr || !allFinite(min, 3) || !allFinite(max, 3) ||
        !(max[0] > min[0]) || !(max[2] > min[2])) {
        return;
    }
    // Each wall's inner face lies on the edge; the x walls run past the corners to close them.
    const float half = kWallThickness / 2.0f;
    const float midY = (kWallLow + kWallHigh) / 2.0f, halfY = (kWallHigh - kWallLow) / 2.0f;
    const float midX = (min[0] + max[0]) / 2.0f, midZ = (min[2] + max[2]) / 2.0f;
    const float halfX = (max[0] - min[0]) / 2.0f + kWallThickness, halfZ = (max[2] - min[2]) / 2.0f;
    const float walls[4][6] = {
        // centre x, y, z; half extents x, y, z
        {min[0] - half, midY, midZ, half, halfY, halfZ},
        {max[0] + half, midY, midZ, half, halfY, halfZ},
        {midX, midY, min[2] - half, halfX, halfY, half},
        {midX, midY, max[2] + half, halfX, halfY, half},
    };
    for (const auto &wall : walls) {
        boundaryShapes.push_back(std::make_unique<btBoxShape>(btVector3(wall[3], wall[4], wall[5])));
        btTransform pose;
        pose.setIdentity();
        pose.setOrigin(toPhysics(wall));
        auto entry = std::make_unique<BodyEntry>();
        btRigidBody::btRigidBodyConstructionInfo info(0.0f, nullptr, boundaryShapes.back().get());
        info.m_startWorldTransform = pose;
        info.m_friction = 0.0f; // a tank slides along the wall rather than climbing it
        info.m_restitution = kGroundRestitution;
        entry->body = std::make_unique<btRigidBody>(info);
        btRigidBody *body = entry->body.get();
        scene->addRigidBody(body, kBoundaryGroup, btBroadphaseProxy::AllFilter & ~kProjectileGroup);
        keepBody(std::move(entry));
        boundaryWalls.push_back(body);
    }
}

void PhysXAccess::clearBoundary() {
    for (btRigidBody *wall : boundaryWalls) {
        ReleaseActor(wall);
    }
    boundaryWalls.clear();
    boundaryShapes.clear(); // after their bodies
}

void PhysXAccess::FreeEverything() {
    releaseBodies();
    triggers.clear();
    groundShape.reset();
    tearDownWorld();
}

void PhysXAccess::releaseBodies() {
    for (BodyPair &pair : deliveryQueue) {
        pair = BodyPair(nullptr, nullptr);
    }
    pendingContacts.clear();
    armedPairs.clear();
    for (auto &named : triggers) {
        named.second->inside.clear();
    }
    actors.clear();
    firstConvexActor = nullptr;
    ground = nullptr;
    if (scene) {
        for (const auto &entry : bodies) {
            scene->removeRigidBody(entry.second->body.get());
        }
    }
    bodies.clear();
    boundaryWalls.clear();
    boundaryShapes.clear(); // after their bodies
    meshes.clear();         // after every body that used them
}

int PhysXAccess::raycastAllShapes(const float *origin, const float *direction,
                                  CMyRaycastReport &report) const {
    if (!scene || origin == nullptr || direction == nullptr || !allFinite(origin, 3) ||
        !allFinite(direction, 3)) {
        return 0;
    }
    const btVector3 heading = toPhysics(direction);
    const float length = heading.length();
    if (!(length > 0.0f)) {
        return 0;
    }
    const btVector3 from = toPhysics(origin);
    const btVector3 to = from + heading / length * kRayLength;
    btCollisionWorld::AllHitsRayResultCallback hits(from, to);
    hits.m_collisionFilterMask = btBroadphaseProxy::AllFilter & ~kBoundaryGroup;
    scene->rayTest(from, to, hits);

    std::vector<int> order(hits.m_collisionObjects.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = static_cast<int>(i);
    }
    std::sort(order.begin(), order.end(),
              [&hits](int a, int b) { return hits.m_hitFractions[a] < hits.m_hitFractions[b]; });
    int delivered = 0;
    for (int i : order) {
        RaycastHit hit;
        toGame(hits.m_hitPointWorld[i], hit.worldImpact);
        toGame(hits.m_hitNormalWorld[i].normalized(), hit.worldNormal);
        hit.distance = hits.m_hitFractions[i] * kRayLength;
        hit.object = static_cast<SpielObject *>(hits.m_collisionObjects[i]->getUserPointer());
        ++delivered;
        if (!report.onHit(hit)) {
            break;
        }
    }
    return delivered;
}

namespace {

// The nearest hit of a ray among the static bodies only.
struct StaticClosestRay : btCollisionWorld::ClosestRayResultCallback {
    StaticClosestRay(const btVector3 &from, const btVector3 &to) : ClosestRayResultCallback(from, to) {}
    bool needsCollision(btBroadphaseProxy *proxy) const override {
        const auto *object = static_cast<const btCollisionObject *>(proxy->m_clientObject);
        return object != nullptr && object->isStaticObject() && ClosestRayResultCallback::needsCollision(proxy);
    }
};

} // namespace

bool PhysXAccess::firstStaticHit(const float *from, const float *to, RaycastHit *hit) const {
    if (!scene || from == nullptr || to == nullptr || !allFinite(from, 3) || !allFinite(to, 3)) {
        return false;
    }
    const btVector3 a = toPhysics(from);
    const btVector3 b = toPhysics(to);
    if (!(a.distance2(b) > 0.0f)) {
        return false;
    }
    StaticClosestRay ray(a, b);
    ray.m_collisionFilterMask = btBroadphaseProxy::AllFilter & ~kBoundaryGroup;
    scene->rayTest(a, b, ray);
    if (!ray.hasHit()) {
        return false;
    }
    if (hit != nullptr) {
        toGame(ray.m_hitPointWorld, hit->worldImpact);
        toGame(ray.m_hitNormalWorld.normalized(), hit->worldNormal);
        hit->distance = ray.m_closestHitFraction * a.distance(b);
        hit->object = static_cast<SpielObject *>(ray.m_collisionObject->getUserPointer());
    }
    return true;
}

std::array<double, 3> PhysXAccess::getSizereal(const std::string &actorName) const {
    auto found = actors.find(actorName);
    return found != actors.end() ? found->second.getSizesreal() : std::array<double, 3>{0.0, 0.0, 0.0};
}

bool PhysXAccess::ExistFile(const std::string &path) {
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    std::fclose(file);
    return true;
}

bool PhysXAccess::getActorPosition(const std::string &actorName, float *xyz) const {
    const btRigidBody *body = findBody(actorName);
    if (body == nullptr) {
        return false;
    }
    toGame(body->getWorldTransform().getOrigin(), xyz);
    return true;
}

bool PhysXAccess::getActorVelocity(const std::string &actorName, float *xyz) const {
    const btRigidBody *body = findBody(actorName);
    if (body == nullptr) {
        return false;
    }
    toGame(body->getLinearVelocity(), xyz);
    return true;
}

bool PhysXAccess::shiftActor(const std::string &actorName, const float *offset, const float *velocityChange) {
    auto found = actors.find(actorName);
    btRigidBody *body = found != actors.end() ? found->second.getActor() : nullptr;
    if (body == nullptr || body->isStaticOrKinematicObject() || (offset != nullptr && !allFinite(offset, 3)) ||
        (velocityChange != nullptr && !allFinite(velocityChange, 3))) {
        return false;
    }
    if (offset != nullptr) {
        const float gameAxes[3] = {offset[0], offset[1], offset[2]};
        btTransform pose = body->getWorldTransform();
        pose.setOrigin(pose.getOrigin() + toPhysics(gameAxes));
        body->setWorldTransform(pose);
        body->setInterpolationWorldTransform(pose);
        if (body->getMotionState() != nullptr) {
            body->getMotionState()->setWorldTransform(pose);
        }
    }
    if (velocityChange != nullptr) {
        body->setLinearVelocity(body->getLinearVelocity() + toPhysics(velocityChange));
        body->setInterpolationLinearVelocity(body->getLinearVelocity());
    }
    body->activate(true);
    return true;
}

void PhysXAccess::setActorSolid(const std::string &actorName, bool solid) {
    auto found = actors.find(actorName);
    btRigidBody *body = found != actors.end() ? found->second.getActor() : nullptr;
    if (body == nullptr) {
        return;
    }
    const int flags = body->getCollisionFlags();
    body->setCollisionFlags(solid ? flags & ~btCollisionObject::CF_NO_CONTACT_RESPONSE
                                  : flags | btCollisionObject::CF_NO_CONTACT_RESPONSE);
}

bool PhysXAccess::getActorBounds(const std::string &actorName, float *min, float *max) const {
    const btRigidBody *body = findBody(actorName);
    if (body == nullptr) {
        return false;
    }
    btVector3 low;
    btVector3 high;
    body->getCollisionShape()->getAabb(body->getWorldTransform(), low, high);
    // Negating x and z swaps their ends.
    min[0] = -high.x();
    max[0] = -low.x();
    min[1] = low.y();
    max[1] = high.y();
    min[2] = -high.z();
    max[2] = -low.z();
    return true;
}

float PhysXAccess::getActorMass(const std::string &actorName) const {
    const btRigidBody *body = findBody(actorName);
    if (body == nullptr || body->getInvMass() == 0.0f) {
        return 0.0f;
    }
    return 1.0f / body->getInvMass();
}

bool PhysXAccess::isActorAsleep(const std::string &actorName) const {
    const btRigidBody *body = findBody(actorName);
    return body != nullptr && !body->isStaticOrKinematicObject() && !body->isActive();
}

int PhysXAccess::getMeshUseCount(const std::string &actorName) const {
    const btRigidBody *body = findBody(actorName);
    auto owned = bodies.find(body);
    if (body == nullptr || owned == bodies.end()) {
        return 0;
    }
    auto mesh = meshes.find(owned->second->meshKey);
    return mesh != meshes.end() ? mesh->second->users : 0;
}

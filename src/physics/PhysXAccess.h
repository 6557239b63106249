#pragma once

#include "physics/CTriggerCallback.h"
#include "physics/MyContactReport.h"
#include "physics/PhysXActor.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

class btBroadphaseInterface;
class btCollisionDispatcher;
class btCollisionObject;
class btCollisionShape;
class btDefaultCollisionConfiguration;
class btDiscreteDynamicsWorld;
class btDynamicsWorld;
class btRigidBody;
class btSequentialImpulseConstraintSolver;
class CMyRaycastReport;
struct RaycastHit;
class StateHash;
class SpielObject;
struct Md2Triangle;
struct Md2Vertex;

// The game's only door to the physics engine (Bullet): the world with its ground, one body per
// level object, vehicle, projectile and the terrain, kept by actor name; the drive pushes, the
// step, the copy of poses back into the game objects, the armed contact reports and ray casts,
// and the cooked-mesh cache on disk.
//
// Physics axes are game axes with x and z negated; every position, vector and pose crossing this
// class is converted, except the raw 4x4 pose handed to the objects.
//
// Contacts are gathered after each substep and delivered by GetPhysicsResults, outside the engine:
// the handler may release or create actors. Hits and trigger touches are reported in the order the
// bodies were made, never by address, so the same battle reports them alike in every run. Meshes
// are shared by every actor built from the same cache name and model data and freed with their
// last actor.
class PhysXAccess : public MyContactReport {
  public:
    using ContactHandler = std::function<void(SpielObject *projectile, SpielObject *vehicle)>;

    // The mesh cache's folders, as GamePaths names them.
    static std::string cookedFolder();
    static std::string sizeFolder();

    PhysXAccess();
    ~PhysXAccess() override;
    PhysXAccess(const PhysXAccess &) = delete;
    PhysXAccess &operator=(const PhysXAccess &) = delete;

    // Builds the world (gravity, ground plane) and takes one first step. A second call does nothing.
    void initialPhysX();
    // Releases every body and builds a fresh world with its ground plane, so that a battle starts
    // from the same engine state (broadphase, pair cache, solver, step remainder) whatever was played
    // before. Trigger spheres, the handlers and the cache stay. Without a world it does nothing.
    void resetWorld();
    // A static plane y = 0 with the ground material; null without a world.
    btRigidBody *CreateGroundPlane();

    // A level object (static) or a vehicle (dynamic) from the model's frame-1 vertices, its mesh
    // read from the cache or cooked and cached under `name`. Null when there is no world or the
    // input cannot make a body.
    btRigidBody *prepareConvexMesh(int vertexCount, int triangleCount, const Md2Vertex *vertices,
                                   const Md2Triangle *triangles, const std::string &name,
                                   const float *position, float scale, float heading, SpielObject *object,
                                   bool isStatic);
    // The static terrain: vertices as float triples (x, y, z) and triangles as float triples of
    // vertex indices, tilted about x by angleX degrees. `scale` is not applied.
    btRigidBody *prepareTriangleMesh(int vertexCount, int triangleCount, const float *vertices,
                                     const float *triangles, const std::string &name, const float *position,
                                     float scale, float angleX);
    // The static terrain as a height field: `columns` x `rows` heights (row-major, column i along
    // game +x, row j along game +z) `spacing` units apart, centred on `centre` (game axes). Each
    // cell is split along its diagonal from (i, j) to (i + 1, j + 1), as the terrain is drawn.
    // Nothing is cooked or cached. Null when there is no world or the input cannot make a shape.
    btRigidBody *prepareHeightField(int columns, int rows, const float *heights, float spacing,
                                    const std::string &name, const float *centre);
    // Invisible walls around the playable area from `min` to `max` (game axes; x and z used): four
    // static boxes that hold vehicles inside while shells and rays pass through them. A second
    // call replaces the walls; `clearBoundary` removes them.
    void setBoundary(const float *min, const float *max);
    void clearBoundary();
    int getBoundaryWallCount() const { return static_cast<int>(boundaryWalls.size()); }
    // A projectile: flying without gravity at direction * speed, its mesh cached under `modelName`
    // and the body registered under `actorName`.
    btRigidBody *fireBullet(const float *position, const float *direction, float speed, int vertexCount,
                            int triangleCount, const Md2Vertex *vertices, const Md2Triangle *triangles,
                            const std::string &actorName, const std::string &modelName, float size,
                            float heading, SpielObject *object);

    // Drive push for a registered dynamic actor: mass 600, the impulse (-x * 450, y, -z * 450), then
    // the downward impulse (0, -200, 0). `force` is three floats in game axes.
    void forceActor(const std::string &actorName, const float *force);
    // A plain force (game axes) on the first convex actor created.
    void forcePlayer1(const float *force);

    // Copies every registered actor's position (game axes) and pose into its game object, then steps
    // by `seconds` (see Simulate) and delivers the contacts.
    void updateObjects(float seconds);
    // Steps the world by `seconds` in whole fixed substeps: the nearest whole number of them, at
    // least none and at most kMaxSubsteps. No clock is read: the same calls give the same world.
    void Simulate(float seconds);
    // Delivers the contacts of the steps since the last delivery to onContactNotify.
    void GetPhysicsResults();

    // Arms contact reports for the pair (a's actor, b's actor) when both names are registered.
    void setContactReport(SpielObject *a, SpielObject *b);

    // Releases the registered actor; unknown names are ignored.
    void ReleaseActor(const std::string &actorName);
    // Releases the actor, its registry entries and armed pairs, and its mesh with the last user.
    void ReleaseActor(btRigidBody *actor);
    // Releases every actor, every mesh and the world. Everything afterwards is a harmless no-op.
    void FreeEverything();

    // Casts an unlimited ray (game axes) through every shape and hands the hits to the report,
    // nearest first, until it answers false. Returns the number of hits handed over.
    int raycastAllShapes(const float *origin, const float *direction, CMyRaycastReport &report) const;
    // The first static body (ground, terrain, level object) on the segment from `from` to `to`
    // (game axes); moving bodies are passed through. False when the segment is clear; `hit`, when
    // given, then stays untouched.
    bool firstStaticHit(const float *from, const float *to, RaycastHit *hit) const;

    btDiscreteDynamicsWorld *getScene() const { return scene.get(); }
    // The registered actor's real sizes; zeros for unknown names.
    std::array<double, 3> getSizereal(const std::string &actorName) const;
    static bool ExistFile(const std::string &path);

    // Hands the pair to the installed handler.
    void onContactNotify(SpielObject *projectile, SpielObject *vehicle) override;
    void setContactHandler(ContactHandler handler) { contactHandler = std::move(handler); }

    const std::map<std::string, PhysXActor> &getActors() const { return actors; }
    // Adds every body's pose and velocities to `hash`, in the order the bodies were made.
    void addToHash(StateHash &hash) const;
    bool hasActor(const std::string &actorName) const { return actors.count(actorName) > 0; }
    // Game-axes position, velocity and world box of a registered actor; false for unknown names.
    bool getActorPosition(const std::string &actorName, float *xyz) const;
    bool getActorVelocity(const std::string &actorName, float *xyz) const;
    bool getActorBounds(const std::string &actorName, float *min, float *max) const;
    // Moves a registered dynamic actor by `offset` and changes its velocity by `velocityChange`
    // (game axes, three floats each; null for none) and wakes it: another machine's word on where
    // it is. False for unknown, static or kinematic actors and for values that are not finite.
    bool shiftActor(const std::string &actorName, const float *offset, const float *velocityChange);
    // A registered actor that others pass through (solid false) or bump into (true, as made).
    void setActorSolid(const std::string &actorName, bool solid);
    float getActorMass(const std::string &actorName) const; // 0 for static or unknown actors
    // The registered dynamic actor rests and is left out of the step until something wakes it.
    bool isActorAsleep(const std::string &actorName) const;
    // Actors sharing the registered actor's mesh; 0 for unknown names.
    int getMeshUseCount(const std::string &actorName) const;
    std::size_t getMeshCount() const { return meshes.size(); } // meshes alive
    int getTriangleMeshCount() const { return triangleMeshCount; }
    int getConvexMeshCount() const { return convexMeshCount; }
    int getCookCount() const { return cookCount; } // meshes cooked (not read from the cache)
    btRigidBody *getGround() const { return ground; }
    btRigidBody *getFirstConvexActor() const { return firstConvexActor; }
    CTriggerCallback &getTriggerReport() { return triggerReport; }

    // Trigger spheres (PhysXAccessTriggers.cpp): after every step each armed sphere reports the
    // moving bodies that touch it to the trigger report, with the object given here as the trigger's.
    // A sphere is no body: nothing collides with it. A name already taken is replaced.
    bool addTrigger(const std::string &name, const float *centre, float radius, SpielObject *object);
    // A disarmed sphere reports nothing and forgets what touched it.
    void setTriggerArmed(const std::string &name, bool armed);
    void releaseTrigger(const std::string &name); // unknown names are ignored
    std::size_t getTriggerCount() const { return triggers.size(); }

  private:
    struct MeshEntry;
    struct BodyEntry;
    struct TriggerEntry;
    enum class BodyKind { Static, Terrain, Vehicle, Projectile };
    using BodyPair = std::pair<const btCollisionObject *, const btCollisionObject *>;
    using SerialPair = std::pair<std::uint64_t, std::uint64_t>; // the two bodies' serials

    btRigidBody *createConvexActor(const std::string &cacheName, const std::string &actorName,
                                   int vertexCount, const Md2Vertex *vertices, const float *position,
                                   float scale, float heading, const float *direction, float speed,
                                   SpielObject *object, BodyKind kind);
    MeshEntry *acquireConvexMesh(const std::string &cacheName, const std::vector<float> &points);
    MeshEntry *buildHeightField(const std::string &key, int columns, int rows,
                                const std::vector<float> &heights, float spacing);
    MeshEntry *acquireTriangleMesh(const std::string &cacheName, const std::vector<float> &points,
                                   const std::vector<std::uint32_t> &indices);
    btRigidBody *createBody(MeshEntry &mesh, BodyKind kind, const float *position, float angleDegrees,
                            const float *direction, float speed, SpielObject *object);
    // Enters a new mesh actor in the registry: the mesh's sizes under actorName, with its body.
    void recordActor(const std::string &actorName, const MeshEntry &mesh, btRigidBody *body);
    // Takes the new body into `bodies` with the next serial.
    void keepBody(std::unique_ptr<BodyEntry> entry);
    std::uint64_t serialOf(const btCollisionObject *body) const; // 0 for bodies not in the world
    void buildWorld();    // the engine's parts in Bullet's order, set up for repeatable steps
    void releaseBodies(); // every body, its registry entries, pairs, trigger contacts and meshes
    void tearDownWorld(); // the engine's parts in reverse order
    const btRigidBody *findBody(const std::string &actorName) const;
    void copyPoses();
    void recordArmedContacts();
    static void afterSubstep(btDynamicsWorld *world, float timeStep);
    void reportTriggers(); // tells the trigger report who touches each armed sphere
    void forgetTriggerContacts(std::uint64_t serial);

    // The world's parts, in the order of creation; torn down in reverse.
    std::unique_ptr<btDefaultCollisionConfiguration> collisionConfiguration; // memory and algorithms
    std::unique_ptr<btCollisionDispatcher> dispatcher;                       // narrow phase
    std::unique_ptr<btBroadphaseInterface> broadphase;                       // bounding-volume tree
    std::unique_ptr<btSequentialImpulseConstraintSolver> solver;             // contacts and friction
    std::unique_ptr<btDiscreteDynamicsWorld> scene;                          // null until initialPhysX
    int triangleMeshCount = 0;                // triangle-mesh actors created so far
    int convexMeshCount = 0;                  // convex-mesh actors created so far
    btRigidBody *firstConvexActor = nullptr;  // the first convex actor, for forcePlayer1; not owned
    btRigidBody *ground = nullptr;            // the latest ground plane; owned through bodies
    std::map<std::string, PhysXActor> actors; // registry by actor name
    CTriggerCallback triggerReport;           // the scene's trigger report
    std::map<std::string, std::unique_ptr<TriggerEntry>> triggers; // trigger spheres by name

    std::unique_ptr<btCollisionShape> groundShape;                          // shared by every ground plane
    std::map<std::string, std::unique_ptr<MeshEntry>> meshes;               // shared meshes by cache key
    std::map<const btCollisionObject *, std::unique_ptr<BodyEntry>> bodies; // every body in the world, owned
    std::uint64_t lastSerial = 0;                   // serial of the latest body of this world; 0: none yet
    std::map<BodyPair, SerialPair> armedPairs;      // (projectile, vehicle) pairs that report their touches
    std::map<SerialPair, BodyPair> pendingContacts; // armed pairs that touched since the last delivery,
                                                    // in the order their bodies were made
    std::vector<BodyPair> deliveryQueue;      // pairs being delivered; a released body's pairs become null
    bool delivering = false;                  // GetPhysicsResults is running (a handler may call it again)
    ContactHandler contactHandler;            // the game's hit rule; none: contacts are dropped
    int cookCount = 0;                        // meshes cooked rather than read from the cache
    bool cacheWritable = true;                // false after a cache write failed: it is not tried again
    std::vector<btRigidBody *> boundaryWalls; // the playable area's walls; owned through bodies
    std::vector<std::unique_ptr<btCollisionShape>> boundaryShapes; // their boxes, one per wall
};

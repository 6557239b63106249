#pragma once

// Private to the physics folder: a trigger sphere of PhysXAccess. Included by the facade's own
// source files only, since it needs Bullet's headers.
#include "physics/PhysXAccess.h"

#include <btBulletDynamicsCommon.h>

#include <cstdint>
#include <map>
#include <memory>

// One trigger sphere: a collision object that is never added to the world, tested against it after
// each step.
struct PhysXAccess::TriggerEntry {
    std::unique_ptr<btSphereShape> shape;      // the sphere, physics units
    std::unique_ptr<btCollisionObject> object; // its pose; not in the world
    SpielObject *owner = nullptr;              // handed to the report as the trigger; not owned
    bool armed = true;                         // a disarmed sphere reports nothing
    std::map<std::uint64_t, const btCollisionObject *> inside; // last test's touching bodies by serial
};

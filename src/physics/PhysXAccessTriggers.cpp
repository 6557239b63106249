// The facade's trigger spheres: after every step an armed sphere is tested against the world and
// the moving bodies touching it are reported as entering, staying or leaving.
#include "physics/PhysXAccess.h"

#include "physics/PhysXTrigger.h"
#include "physics/PhysXTuning.h"

#include <cmath>
#include <set>
#include <utility>
#include <vector>

namespace {

// Collects the moving bodies with a game object that touch the sphere.
class TouchCollector : public btCollisionWorld::ContactResultCallback {
  public:
    explicit TouchCollector(const btCollisionObject *sphere) : sphere(sphere) {}

    btScalar addSingleResult(btManifoldPoint &cp, const btCollisionObjectWrapper *first, int, int,
                             const btCollisionObjectWrapper *second, int, int) override {
        if (cp.getDistance() > PhysXTuning::kTouchDistance) {
            return 0;
        }
        const btCollisionObject *other = first->getCollisionObject() == sphere ? second->getCollisionObject()
                                                                               : first->getCollisionObject();
        if (other != nullptr && !other->isStaticOrKinematicObject() && other->getUserPointer() != nullptr) {
            touching.insert(other);
        }
        return 0;
    }

    std::set<const btCollisionObject *> touching; // each body once; the facade puts them in order

  private:
    const btCollisionObject *sphere; // the trigger being tested
};

} // namespace

bool PhysXAccess::addTrigger(const std::string &name, const float *centre, float radius,
                             SpielObject *object) {
    if (centre == nullptr || !(radius > 0.0f) || !std::isfinite(radius) || !std::isfinite(centre[0]) ||
        !std::isfinite(centre[1]) || !std::isfinite(centre[2])) {
        return false;
    }
    auto entry = std::make_unique<TriggerEntry>();
    entry->shape = std::make_unique<btSphereShape>(radius);
    entry->object = std::make_unique<btCollisionObject>();
    entry->object->setCollisionShape(entry->shape.get());
    btTransform pose;
    pose.setIdentity();
    pose.setOrigin(btVector3(-centre[0], centre[1], -centre[2])); // physics axes
    entry->object->setWorldTransform(pose);
    entry->object->setCollisionFlags(btCollisionObject::CF_NO_CONTACT_RESPONSE);
    entry->owner = object;
    triggers[name] = std::move(entry);
    return true;
}

void PhysXAccess::setTriggerArmed(const std::string &name, bool armed) {
    auto found = triggers.find(name);
    if (found == triggers.end()) {
        return;
    }
    found->second->armed = armed;
    if (!armed) {
        found->second->inside.clear();
    }
}

void PhysXAccess::releaseTrigger(const std::string &name) {
    triggers.erase(name);
}

void PhysXAccess::forgetTriggerContacts(std::uint64_t serial) {
    // A later body could get the released one's address.
    for (auto &named : triggers) {
        named.second->inside.erase(serial);
    }
}

void PhysXAccess::reportTriggers() {
    if (!scene || triggers.empty()) {
        return;
    }
    // Gathered first and delivered afterwards: a handler may disarm or release triggers and bodies.
    struct Report {
        std::string trigger;
        const btCollisionObject *body;
        std::uint64_t serial; // the body's, to tell it from a later body at its address
        int status;
    };
    std::vector<Report> reports;
    for (auto &named : triggers) {
        TriggerEntry &trigger = *named.second;
        if (!trigger.armed) {
            continue;
        }
        TouchCollector collector(trigger.object.get());
        scene->contactTest(trigger.object.get(), collector);
        // Reported in the order the bodies were made, whatever their addresses.
        std::map<std::uint64_t, const btCollisionObject *> touching;
        for (const btCollisionObject *body : collector.touching) {
            const std::uint64_t serial = serialOf(body);
            if (serial != 0) {
                touching.emplace(serial, body);
            }
        }
        for (const auto &[serial, body] : touching) {
            reports.push_back({named.first, body, serial,
                               trigger.inside.count(serial) > 0 ? CTriggerCallback::kStaying
                                                                : CTriggerCallback::kEntering});
        }
        for (const auto &[serial, body] : trigger.inside) {
            if (touching.count(serial) == 0) {
                reports.push_back({named.first, body, serial, CTriggerCallback::kLeaving});
            }
        }
        trigger.inside.swap(touching);
    }
    for (const Report &report : reports) {
        auto found = triggers.find(report.trigger);
        if (found == triggers.end() || serialOf(report.body) != report.serial) {
            continue; // released by an earlier report's handler
        }
        triggerReport.onTrigger(found->second->owner,
                                static_cast<SpielObject *>(report.body->getUserPointer()), report.status);
    }
}

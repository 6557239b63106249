#pragma once

#include <functional>
#include <vector>

class Fahrzeug;
class Projektil;
class SpielObject;

// The session's answer to a reported touch between a shell and a vehicle (installed with
// PhysXAccess::setContactHandler). The physics hands over two SpielObject pointers without saying
// what they are; the rule looks both up in the session's live shell and vehicle lists and acts only
// on a pair it finds there: one shell and one vehicle, in either order. A pointer in neither list
// (an object already removed, a level object, null) is never dereferenced, so a late report cannot
// reach a deleted object.
class HitRule {
  public:
    // Told of every hit: the shooter while it is still in the vehicle list (else null), the vehicle
    // hit, and whether this hit took its last life.
    using Observer = std::function<void(const Fahrzeug *shooter, const Fahrzeug *target, bool destroyed)>;

    // Reads the two lists at every report; they must outlive the rule.
    HitRule(const std::vector<Projektil *> &projectiles, const std::vector<Fahrzeug *> &vehicles,
            Observer observer = nullptr);

    // Applies Projektil::onHit to the pair. True when a listed shell burst on a listed vehicle.
    bool operator()(SpielObject *first, SpielObject *second) const;

  private:
    Projektil *findProjektil(const SpielObject *object) const;
    Fahrzeug *findFahrzeug(const SpielObject *object) const;

    const std::vector<Projektil *> *projectiles; // the session's shells; not owned
    const std::vector<Fahrzeug *> *vehicles;     // the session's vehicles; not owned
    Observer observer;                           // the score keeper; may be empty
};

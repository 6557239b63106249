#pragma once

#include "objects/Owner.h"

#include <vector>

class Fahrzeug;
class Projektil;

// The computer opponent. One instance controls every computer vehicle; each vehicle's state lives
// in its AiData. A computer vehicle never drives: it watches the nearest enemy (a vehicle not
// owned by the computer) and foreign shells, and while it attacks it turns on the spot towards the
// nearest enemy and fires once aimed.
//
// The vehicles and shells are read from the session's live lists every step, so a vehicle the
// session has removed is never looked at again; nothing is remembered across steps but the state.
class ComputerSpieler : public Owner {
  public:
    static constexpr float kFar = 9999999.0f;    // distance of "nothing there", world units
    static constexpr float kAimTolerance = 0.3f; // aim error below which a shot leaves

    // A computer player that sees no lists: it never finds an enemy and never fires.
    ComputerSpieler();
    // Watches the session's vehicle and projectile lists, which must outlive it; either may be null.
    ComputerSpieler(const std::vector<Fahrzeug *> *vehicles, const std::vector<Projektil *> *projectiles);
    void setLists(const std::vector<Fahrzeug *> *vehicles, const std::vector<Projektil *> *projectiles);

    // State update, attack, then the weapon reloads by dt. The key table is not consulted. A null
    // vehicle, or one without AI data, does nothing but reload.
    Projektil *doSomething(Fahrzeug *vehicle, bool *keys, float dt) override;

    // Moves the vehicle's AI state on from the distance of the nearest enemy (E) and of the last
    // foreign shell in the list (P), with r the action radius: waiting or lost contact → attack when
    // E ≤ r, else → projectile near when P ≤ r; projectile near → lost contact when E > r; attack →
    // lost contact when E > 2r.
    void checkStatus(Fahrzeug *vehicle, float dt);
    // While attacking: aims at the nearest visible enemy; fires when the aim error is below
    // kAimTolerance and the weapon is ready, otherwise turns one step to whichever side brings the
    // aim closer, or back when neither does. Returns the shell fired, or null.
    Projektil *thinkAboutIt(Fahrzeug *vehicle, float dt);

    // True when `other` counts as an enemy of `vehicle`: a different vehicle whose owner is known
    // and not a computer.
    bool isEnemy(const Fahrzeug *vehicle, const Fahrzeug *other) const;

  private:
    const std::vector<Fahrzeug *> *vehicles = nullptr;     // the session's vehicles; not owned
    const std::vector<Projektil *> *projectiles = nullptr; // the session's shells; not owned
};

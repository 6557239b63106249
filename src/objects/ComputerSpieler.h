#pragma once

#include "ai/AiSkill.h"
#include "ai/AiWorld.h"
#include "ai/Navigator.h"
#include "ai/PhysicsRayCaster.h"
#include "objects/Owner.h"

#include <memory>
#include <unordered_map>
#include <vector>

class Fahrzeug;
class Level;
class LvlObject;
class PhysXAccess;
class PowerUpObject;
class Projektil;

// The computer opponent. One instance controls every computer vehicle; each vehicle's memory lives
// in its AiData. Once per step it takes a snapshot of the session's vehicles and shells; each of
// its vehicles then decides from that snapshot (see TankBrain) and the decision is carried out:
// drive keys, a turn, a shot.
//
// The vehicles and shells are read from the session's live lists every step, so a vehicle the
// session has removed is never looked at again.
class ComputerSpieler : public Owner {
  public:
    static constexpr unsigned kDefaultSeed = 1; // the random sequences of a level start

    // A computer player that sees no lists: it never finds an enemy and never fires.
    ComputerSpieler();
    // Watches the session's vehicle and projectile lists, which must outlive it; either may be null.
    ComputerSpieler(const std::vector<Fahrzeug *> *vehicles, const std::vector<Projektil *> *projectiles);
    void setLists(const std::vector<Fahrzeug *> *vehicles, const std::vector<Projektil *> *projectiles);
    // Watches the session's power-ups (which must outlive it), so that a damaged tank can fetch a
    // repair it sees; null: none.
    void setPowerUps(const std::vector<std::unique_ptr<PowerUpObject>> *list) { powerUps = list; }

    // Level start: builds the obstacle grid of `level` and its objects and takes `physics` for the
    // rays; the clock starts at 0.
    void startLevel(const Level &level, const std::vector<LvlObject *> &objects, PhysXAccess *physics);
    // The same for an arena without a level file: the area, the boxes of the objects and the
    // terrain height (null: flat).
    void startArena(float minX, float minZ, float maxX, float maxZ, const std::vector<AiBox> &boxes,
                    PhysXAccess *physics, const std::function<float(float, float)> &height = nullptr);

    // Decides and acts for `vehicle`, then its weapon reloads by dt. The player's input is not
    // consulted. A null vehicle does nothing; one without AI data only reloads.
    Projektil *doSomething(Fahrzeug *vehicle, const PlayerInput &input, float dt) override;

    // True when `other` counts as an enemy of `vehicle`: a different vehicle of another side.
    bool isEnemy(const Fahrzeug *vehicle, const Fahrzeug *other) const;

    // The skill of the difficulty: the computer side's (AiSkill::forComputer), or for the brain that
    // drives the players' tanks the brain's alone; that brain also fights the computer's tanks with
    // all the players together, as players sharing a screen do, and the players' duel only after.
    void setDifficulty(AiDifficulty value, bool drivesPlayers = false);
    AiDifficulty getDifficulty() const { return difficulty; }
    const AiSkill &getSkill() const { return skill; }
    // Overrides the skill of the current difficulty (for scripted matches).
    void setSkill(const AiSkill &value) { skill = value; }
    void setSeed(unsigned value) { seed = value; }
    unsigned getSeed() const { return seed; }

    const ObstacleGrid &getObstacleGrid() const { return navigator.getGrid(); }
    Navigator &getNavigator() { return navigator; }
    const AiWorld &getWorld() const { return world; }
    long getRayCount() const { return rays.getRayCount(); }
    float getTime() const { return world.time; }

  private:
    void takeSnapshot(float dt);
    // The players' tanks count as one side in the snapshot while a computer tank stands.
    void allyPlayersWhileTheComputerStands();
    int indexOf(const Fahrzeug *vehicle) const;

    const std::vector<Fahrzeug *> *vehicles = nullptr;     // the session's vehicles; not owned
    const std::vector<Projektil *> *projectiles = nullptr; // the session's shells; not owned
    const std::vector<std::unique_ptr<PowerUpObject>> *powerUps = nullptr; // the session's; not owned
    AiDifficulty difficulty = AiDifficulty::Normal;        // chosen in the options
    AiSkill skill = AiSkill::forDifficulty(AiDifficulty::Normal);
    unsigned seed = kDefaultSeed;                    // seeds every tank's own sequence
    Navigator navigator;                             // obstacle grid and rationed paths
    PhysicsRayCaster rays{nullptr};                  // line of sight through the physics
    const PhysXAccess *physics = nullptr;            // tank velocities; not owned
    AiWorld world;                                   // this step's snapshot
    std::unordered_map<const Fahrzeug *, int> acted; // vehicles that acted on this snapshot
    bool snapshotTaken = false;                      // `world` holds a snapshot
    bool playersAllied = false;                      // drives the players' tanks: see setDifficulty
};

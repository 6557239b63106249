#pragma once

#include "config/ConfigReader.h"
#include "config/Difficulty.h"
#include "game/BattleRules.h"
#include "game/PowerUpField.h"
#include "game/ScoreSheet.h"
#include "objects/PlayerInput.h"
#include "physics/PhysXAccess.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class ComputerSpieler;
class Fahrzeug;
class Level;
class LvlObject;
class ObjectHost;
class Projektil;
class Spieler;
class VehicleData;

// Something that happened in a tick, for the view, the sound and the HUD to take up.
struct BattleEvent {
    enum Kind { kShotFired, kTankHit, kTankDestroyed, kPowerUpTaken, kBattleDecided };
    Kind kind;
    float pos[3];    // where it happened
    int player = -1; // the human player whose tank was hit or destroyed (0..3); -1 for the others
};

// The battle itself: a level's objects, tanks and shells in their physics world, the computer's
// brains, the power-ups, the rules and the scores. It changes only in ticks of kTickSeconds, each
// with every human player's controls; nothing of it needs a window, GL, sound or a clock. What a tick
// did is left in its events. The objects ask the host for the models and tables they are made from.
class BattleWorld {
  public:
    static constexpr float kTickSeconds = 1.0f / 60.0f;

    explicit BattleWorld(ObjectHost &host);
    ~BattleWorld();
    BattleWorld(const BattleWorld &) = delete;
    BattleWorld &operator=(const BattleWorld &) = delete;

    // Replaces whatever the last start left with `level`'s objects, tanks (the human players' only for
    // as many players as the battle has; players three and four beside one and two where the level
    // does not place them), bodies, power-ups and brains, in a fresh physics world. `file` names the level in
    // messages. Prints "Create Light" per usable light and one line per model records asked for in
    // vain.
    void start(Level &level, const std::string &file);
    // Deletes every object of the last start and its body; the level is left.
    void clear();
    // One tick with each human player's controls (player one first).
    void tick(const TickInput &input);
    const std::vector<BattleEvent> &getEvents() const { return events; } // of the last tick

    // Following another machine's battle (a network game's client). The next start builds the same
    // world without the computer's brains; each tickFollowing then moves the one tank this machine
    // predicts by its player's controls, and everything else (the other tanks, the shells, power-ups,
    // scores, the result and the events) is set from outside through the calls below. Nothing is hit
    // or taken here.
    void setFollowing(bool on) { following = on; }
    // Every tank of the level joins, whatever its from_difficulty, and the players' tanks are armoured
    // as on hard: a network battle, whose machines need not share a difficulty but must build the
    // same world.
    void setEveryTankJoins(bool on) { everyTankJoins = on; }
    bool isFollowing() const { return following; }
    void tickFollowing(int player, const PlayerInput &controls);
    void removeVehicle(Fahrzeug *vehicle); // deletes it and its body; unknown ones are ignored
    // A shell that is only drawn, flying from `pos` along `direction` (unit length).
    Projektil *addShell(std::uint32_t serial, Fahrzeug *shooter, const float *pos, const float *direction);
    void removeShell(Projektil *shell); // deletes it; unknown ones are ignored
    void setFollowedResult(BattleRules::Outcome result, long ticksUndecided, const ScoreSheet &points) {
        outcome = result;
        battleTicks = ticksUndecided;
        scores = points;
    }
    void addEvent(const BattleEvent &happened) { events.push_back(happened); }
    // Vehicles are numbered from 1 in the order the start made them, shells from 1 in the order
    // they were fired (SpielObject::getSerial); null when there is none of the number.
    Fahrzeug *vehicleOfSerial(std::uint32_t serial) const;

    // A digest of everything a tick changes (tanks, shells, power-ups, physics bodies, the brains'
    // memories, scores, the result): two runs of the same battle agree on it at every tick.
    std::uint64_t stateHash() const;

    // Settings of the next start. The seed: the computer's brains draw from it.
    void setBattleSeed(std::uint32_t seed) { battleSeed = seed; }
    std::uint32_t getBattleSeed() const { return battleSeed; }
    // 1 to kMaxPlayers: the tanks of the players beyond it stay out of the level.
    void setHumanPlayers(int count) { humanPlayers = count < 1 ? 1 : count > kMaxPlayers ? kMaxPlayers : count; }
    int getHumanPlayers() const { return humanPlayers; }
    // The computer's brain drives the human players' tanks too, each for its own side, with the skill
    // of `difficulty`; their players' inputs are not consulted.
    void setAutopilot(bool on, AiDifficulty difficulty = AiDifficulty::Normal) {
        autopilotWanted = on;
        autopilotDifficulty = difficulty;
    }
    bool hasAutopilot() const { return autopilotWanted; }
    void setAiDifficulty(AiDifficulty difficulty); // the computer tanks', normal unless set
    AiDifficulty getAiDifficulty() const;
    // The difficulty that picks the level's tanks and the players' armour: the computer's, or hard
    // where every tank joins.
    AiDifficulty joiningDifficulty() const;

    // Reads the power-up types of the index file; a broken entry is left out after one "Error: "
    // line. Returns the number of types read.
    std::size_t importPowerUps(const std::string &indexPath = ConfigReader::powerUpIndexFile());
    const ConfigReader::PowerUpMap &getPowerUpTypes() const { return powerUpTypes; }
    const PowerUpField &getPowerUpField() const { return powerUpField; }

    // Human player `player` (0..kMaxPlayers-1); takes ownership; null is ignored.
    void setSpieler(int player, Spieler *owner);
    void setSpieler1(Spieler *player) { setSpieler(0, player); }
    void setSpieler2(Spieler *player) { setSpieler(1, player); }
    Spieler *getSpieler(int player) const { return spieler[static_cast<std::size_t>(player)].get(); }
    Spieler *getSpieler1() const { return getSpieler(0); }
    Spieler *getSpieler2() const { return getSpieler(1); }
    ComputerSpieler *getComputerSpieler() const { return computerSpieler.get(); }

    std::vector<LvlObject *> &getLevelObjectVektor() { return levelObjects; }
    std::vector<Fahrzeug *> &getFahrzeugvektor() { return fahrzeuge; }
    std::vector<Projektil *> &getProjektilvektor() { return projektile; }
    const std::vector<Fahrzeug *> &getFahrzeugvektor() const { return fahrzeuge; }
    const std::vector<Projektil *> &getProjektilvektor() const { return projektile; }
    // Human player `player`'s tank (0..kMaxPlayers-1); null when it is gone or not in the battle.
    Fahrzeug *getPlayerVehicle(int player) const {
        return player >= 0 && player < kMaxPlayers ? playerVehicles[static_cast<std::size_t>(player)] : nullptr;
    }
    Fahrzeug *getPlayer1Vehicle() const { return getPlayerVehicle(0); }
    Fahrzeug *getPlayer2Vehicle() const { return getPlayerVehicle(1); }
    Level *getCurrentLevel() const { return currentLevel; }
    PhysXAccess &getPhysics() { return physics; }
    const PhysXAccess &getPhysics() const { return physics; }

    // The result, decided once and kept until the next start.
    BattleRules::Outcome getOutcome() const { return outcome; }
    const ScoreSheet &getScores() const { return scores; }
    long getTickCount() const { return tickCount; } // ticks since the start
    long getBattleTicks() const { return battleTicks; } // ticks while the battle was undecided
    // Seconds of play until the result: the ticks of the undecided battle.
    float getBattleSeconds() const { return static_cast<float>(battleTicks) * kTickSeconds; }

  private:
    void installContactRule(); // shells that touch a tank burst and cost it life; tanks take power-ups
    void placePowerUps(const Level &level, const std::string &file);
    void sweepProjectiles();
    void sweepVehicles();
    void eraseVehicle(std::size_t index);
    void decideBattle(); // sets the outcome once the field says so, and the winner's bonus
    void countHit(const Fahrzeug *shooter, const Fahrzeug *target, bool destroyed);
    int playerOf(const Fahrzeug *vehicle) const; // the human player whose tank it is (0..3), or -1
    void event(BattleEvent::Kind kind, const float *pos, int player = -1);
    void addVehicle(const VehicleData &record, std::map<std::string, int> &missingModels);

    ObjectHost &host;
    PhysXAccess physics; // every body belongs to an object below
    std::array<std::unique_ptr<Spieler>, kMaxPlayers> spieler; // the human players
    std::unique_ptr<ComputerSpieler> computerSpieler; // shared by every computer vehicle
    std::unique_ptr<ComputerSpieler> autopilot;       // drives the human tanks; null: the players do
    bool autopilotWanted = false;                     // the next start hands it the human tanks
    bool following = false;                           // see setFollowing
    bool everyTankJoins = false;                      // see setEveryTankJoins
    std::uint32_t shotSerial = 0;                     // the last shell's number
    AiDifficulty autopilotDifficulty = AiDifficulty::Normal;
    std::vector<LvlObject *> levelObjects; // owned
    std::vector<Fahrzeug *> fahrzeuge;     // owned
    std::vector<Projektil *> projektile;   // owned
    ConfigReader::PowerUpMap powerUpTypes; // power-up type name -> type, from importPowerUps
    PowerUpField powerUpField{&physics};   // the battle's power-ups and their triggers
    std::array<Fahrzeug *, kMaxPlayers> playerVehicles{}; // each one of fahrzeuge, or null
    std::vector<std::unique_ptr<VehicleData>> addedRecords; // players three and four where the level has none
    Level *currentLevel = nullptr;         // not owned
    int humanPlayers = 2;                  // human players of the next start
    std::uint32_t battleSeed = 1;          // of the next start
    BattleRules::Outcome outcome = BattleRules::kRunning;
    ScoreSheet scores;                     // the players' points in this battle
    long tickCount = 0;                    // ticks since the start
    long battleTicks = 0;                  // ticks while the battle was undecided
    std::vector<BattleEvent> events;       // of the last tick
};

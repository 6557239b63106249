#pragma once

#include "config/Difficulty.h"
#include "level/ObjectData.h"

#include <string>

// One [VEHICLE] section of a level file: an object record plus who drives it,
// its vehicle type and its starting life.
class VehicleData : public ObjectData {
  public:
    // Who drives a vehicle, as the level start and the level choice read the owner; an owner the
    // game does not know (names are case-sensitive) gets no vehicle.
    enum class OwnerKind { PlayerOne, PlayerTwo, Computer, Unknown, PlayerThree, PlayerFour };
    static OwnerKind ownerKind(const std::string &owner) {
        if (owner == "spieler1")
            return OwnerKind::PlayerOne;
        if (owner == "spieler2")
            return OwnerKind::PlayerTwo;
        if (owner == "spieler3")
            return OwnerKind::PlayerThree;
        if (owner == "spieler4")
            return OwnerKind::PlayerFour;
        if (owner == "cpu")
            return OwnerKind::Computer;
        return OwnerKind::Unknown;
    }
    // The human player an owner is (0 for player one .. 3 for player four); -1 for the others.
    static int playerOf(OwnerKind kind) {
        switch (kind) {
        case OwnerKind::PlayerOne:
            return 0;
        case OwnerKind::PlayerTwo:
            return 1;
        case OwnerKind::PlayerThree:
            return 2;
        case OwnerKind::PlayerFour:
            return 3;
        default:
            return -1;
        }
    }
    // The owner name of human player `player` (0..3): "spieler1" .. "spieler4".
    static std::string playerOwner(int player) { return "spieler" + std::to_string(player + 1); }

    const std::string &getOwner() const { return owner; }
    OwnerKind getOwnerKind() const { return ownerKind(owner); }
    void setOwner(const std::string &s) { owner = s; }
    const std::string &getWeapon() const { return weapon; }
    void setWeapon(const std::string &s) { weapon = s; }
    const std::string &getFahrzeugTyp() const { return fahrzeugTyp; }
    void setFahrzeugTyp(const std::string &s) { fahrzeugTyp = s; }
    int getLife() const { return life; }
    void setLife(int value) { life = value; }
    // Keys "from_difficulty" and "from_players": a tank that joins the battle only from that
    // difficulty of the computer up, or only with at least that many human players.
    AiDifficulty getFromDifficulty() const { return fromDifficulty; }
    void setFromDifficulty(AiDifficulty value) { fromDifficulty = value; }
    int getFromPlayers() const { return fromPlayers; }
    void setFromPlayers(int value) { fromPlayers = value; }
    bool joins(AiDifficulty difficulty, int players) const {
        return static_cast<int>(difficulty) >= static_cast<int>(fromDifficulty) && players >= fromPlayers;
    }

  private:
    std::string owner = "cpu"; // "spieler1" .. "spieler4" or "cpu"
    std::string weapon;        // stored, read by nobody
    std::string fahrzeugTyp;   // vehicle type name of data/config/fahrzeugconfig.ini
    int life = 100;            // starting life points
    AiDifficulty fromDifficulty = AiDifficulty::Easy; // every difficulty unless the file says
    int fromPlayers = 1;                              // any number of players unless the file says
};

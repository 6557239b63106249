#pragma once

#include "level/ObjectData.h"

#include <string>

// One [VEHICLE] section of a level file: an object record plus who drives it,
// its vehicle type and its starting life.
class VehicleData : public ObjectData {
  public:
    // Who drives a vehicle, as the level start and the level choice read the owner; an owner the
    // game does not know (names are case-sensitive) gets no vehicle.
    enum class OwnerKind { PlayerOne, PlayerTwo, PlayerThree, PlayerFour, Computer, Unknown };
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

    const std::string &getOwner() const { return owner; }
    OwnerKind getOwnerKind() const { return ownerKind(owner); }
    void setOwner(const std::string &s) { owner = s; }
    const std::string &getWeapon() const { return weapon; }
    void setWeapon(const std::string &s) { weapon = s; }
    const std::string &getFahrzeugTyp() const { return fahrzeugTyp; }
    void setFahrzeugTyp(const std::string &s) { fahrzeugTyp = s; }
    int getLife() const { return life; }
    void setLife(int value) { life = value; }

  private:
    std::string owner = "cpu"; // "spieler1" .. "spieler4" or "cpu"
    std::string weapon;        // stored, read by nobody
    std::string fahrzeugTyp;   // vehicle type name of data/config/fahrzeugconfig.ini
    int life = 100;            // starting life points
};

#pragma once

#include "model/Modell.h"

// A vehicle's turret: where it sits on the vehicle and where its muzzle is. Not a game object of
// its own; it is drawn as part of the vehicle's model and only turns its muzzle offset.
class Turm {
  public:
    Turm() = default;

    const float *getPos() const { return pos; }
    void setPos(const float *xyz); // copies three floats
    const float *getPosMuendung() const { return posMuendung; }
    void setPosMuendung(const float *xyz); // copies three floats

    float getRotY() const { return rotY; }
    // Turns the muzzle offset in the horizontal plane by the difference between the old heading and
    // `angle`, so a muzzle that points along the vehicle keeps doing so; then stores the heading,
    // corrected once by 360 into [0, 360].
    void setRotY(float angle);

    Modell *getModell() { return &modell; }

  private:
    float pos[3] = {0.0f, 0.0f, 0.0f};         // mount offset from the vehicle position, world axes
    float posMuendung[3] = {0.0f, 0.0f, 0.0f}; // muzzle offset from the mount, turned with the turret
    float rotY = 0.0f;                         // heading, degrees about y
    Modell modell;                             // stays empty: the vehicle model shows the turret
};

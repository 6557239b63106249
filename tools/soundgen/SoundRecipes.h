#pragma once

#include "Signal.h"

#include <string>
#include <vector>

// The game's sounds, each made from a recipe of tones, noise and filters.
class SoundRecipes {
  public:
    struct Recipe {
        std::string fileName; // in <data>/sounds/
        Signal (*make)();
    };
    static const std::vector<Recipe> &all();

    static Signal engine();
    static Signal shot();
    static Signal hitTank();
    static Signal hitHouse();
    static Signal hitGround();
    static Signal explosion();
    static Signal fire();
    static Signal powerUp();
    static Signal menuHover();
    static Signal menuClick();
    static Signal missionComplete();
    static Signal missionFailed();
};

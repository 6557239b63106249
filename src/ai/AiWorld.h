#pragma once

#include <vector>

// One tank as the computer player sees the world in one step.
struct AiTankView {
    int id = 0;                  // its index in this snapshot's list
    float pos[3] = {0, 0, 0};    // world position, y up
    float vel[3] = {0, 0, 0};    // world velocity, units per second
    float heading = 0;           // degrees about y; 0 faces +z
    float turningRate = 60;      // degrees per second
    float muzzle[3] = {0, 0, 0}; // where its shells start
    float shellSpeed = 20;       // launch speed of its next shell, units per second
    int life = 100;              // life points
    int maxLife = 100;           // life points when undamaged
    int side = -1;               // whom it fights for: a tank of another side is an enemy; -1 none
    bool alive = true;           // neither exploding nor destroyed
    bool weaponReady = false;    // its next shell may leave now
    const void *engaging = nullptr; // the enemy in its sight it closes in on or attacks (its memory)
    const void *object = nullptr; // the game object, to know it again next step; never dereferenced
};

// One shell in flight.
struct AiShellView {
    float pos[3] = {0, 0, 0}; // world position
    float vel[3] = {0, 0, 0}; // units per second; shells fly straight
    int shooterId = -1;       // the tank that fired it; -1 when it is gone
};

// A repair power-up lying ready to be taken.
struct AiRepairView {
    float pos[3] = {0, 0, 0}; // world position
};

// Everything a decision may look at: a snapshot of the world taken once per step.
struct AiWorld {
    float time = 0;                  // seconds of play since the level started
    float dt = 0;                    // length of this step, seconds
    std::vector<AiTankView> tanks;   // every tank, in the session's order
    std::vector<AiShellView> shells; // every shell still flying
    std::vector<AiRepairView> repairs; // repair power-ups there to be taken
};

#pragma once

#include "ai/PathFinder.h"

#include <cstdint>
#include <random>
#include <vector>

// What a computer tank is doing.
enum class AiState {
    Patrol,   // roams between points near its start
    Approach, // drives to a firing position at a good range with a view of its target
    Attack,   // stands, aims and fires
    Retreat,  // low on life: drives behind cover out of its attacker's view
    Search,   // lost its target: drives to where it last saw it
    Repair    // damaged: drives to a repair power-up it sees
};

// Everything one computer tank remembers from one step to the next. Plain data: the decision code
// reads and writes it, the owner keeps it with the tank.
struct AiMemory {
    AiState state = AiState::Patrol;
    bool started = false;   // home and random generator set up
    float home[2] = {0, 0}; // x, z where it started; patrols stay near it at first
    float startTime = 0;    // when it started thinking, seconds
    std::mt19937 rng;       // its own random sequence, seeded from the game's seed

    // Seeing.
    const void *target = nullptr;  // the enemy it watches; compared, never dereferenced
    bool targetVisible = false;    // the last look found a free line of sight
    bool targetHeard = false;      // close enough to be noticed although hidden
    float lastSeen[3] = {0, 0, 0}; // where the target was last seen or heard
    float lastSeenTime = -1;       // seconds; negative: never
    float seenSince = -1;          // start of the current sighting; negative: not in sight
    float nextLook = 0;            // time of the next ray cast
    float aimOffset = 0;           // heading error of the next shot, degrees

    // Moving.
    std::vector<AiWaypoint> path;  // the waypoints still ahead
    std::size_t pathIndex = 0;     // the waypoint driven to
    bool wantsPath = false;        // a path to `goal` is to be planned
    bool hasGoal = false;          // `goal` is set
    float goal[2] = {0, 0};        // x, z where the current state drives to
    float goalBasis[2] = {0, 0};   // the target position the goal was chosen for
    float goalTime = -1;           // when the goal was chosen
    float repairSpot[2] = {0, 0};  // x, z of the repair power-up it drives to
    float waitUntil = 0;           // patrol pause, seconds
    float progressPos[2] = {0, 0}; // position at the last progress check
    float progressTime = 0;        // time of the last progress check
    float reverseUntil = 0;        // backing out of a jam until then
    int jams = 0;                  // jams on the way to the current goal
    float dodgeUntil = 0;          // driving aside from a shell until then
    float fireBlockedUntil = 0;    // the last shot was blocked: find another position until then
    bool dodgeForward = true;      // which way the dodge drives
    int pathsPlanned = 0;          // searches run for this tank
    int shotsFired = 0;            // shells fired
};

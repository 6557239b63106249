#pragma once

#include "config/Difficulty.h"

// What a difficulty means for one computer tank: how fast it reacts, how well it aims, how far it
// sees and which tricks it knows; and, for the computer's own side alone, how many of its tanks may
// attack one enemy at once and how fast their guns reload. The brain that drives a player's tank
// (the autopilot) stands in for a player and gets the skill without the side's measures.
class AiSkill {
  public:
    static AiSkill forDifficulty(AiDifficulty difficulty); // the brain alone
    static AiSkill forComputer(AiDifficulty difficulty);   // the brain and the side's measures

    float reactionSeconds = 0.8f; // from first sight of a target to the first shot
    float aimErrorDegrees = 4.0f; // spread of the heading error chosen for each shot
    float sightRange = 60.0f;     // world units
    bool leadsTarget = true;      // aims where a moving target will be
    bool dodges = false;          // drives aside from shells about to pass close
    int maxAttackers = 0;         // tanks of its side that may close in on one enemy at once; 0: all
    float reloadFactor = 1.0f;    // its gun takes this many times a player's reload time
};

#pragma once

#include "config/Difficulty.h"

// What a difficulty means for one computer tank: how fast it reacts, how well it aims, how far it
// sees and which tricks it knows.
class AiSkill {
  public:
    static AiSkill forDifficulty(AiDifficulty difficulty);

    float reactionSeconds = 0.8f; // from first sight of a target to the first shot
    float aimErrorDegrees = 4.0f; // spread of the heading error chosen for each shot
    float sightRange = 60.0f;     // world units
    bool leadsTarget = true;      // aims where a moving target will be
    bool dodges = false;          // drives aside from shells about to pass close
};

#pragma once

#include <string>

// How well the computer tanks fight.
enum class AiDifficulty { Easy, Normal, Hard };

// What a difficulty means for one computer tank: how fast it reacts, how well it aims, how far it
// sees and which tricks it knows.
class AiSkill {
  public:
    static AiSkill forDifficulty(AiDifficulty difficulty);
    // "easy", "normal" or "hard"; false (and `out` unchanged) for anything else.
    static bool parse(const std::string &text, AiDifficulty &out);
    static const char *name(AiDifficulty difficulty);

    float reactionSeconds = 0.8f; // from first sight of a target to the first shot
    float aimErrorDegrees = 4.0f; // spread of the heading error chosen for each shot
    float sightRange = 60.0f;     // world units
    bool leadsTarget = true;      // aims where a moving target will be
    bool dodges = false;          // drives aside from shells about to pass close
};

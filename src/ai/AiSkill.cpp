#include "ai/AiSkill.h"

AiSkill AiSkill::forDifficulty(AiDifficulty difficulty) {
    AiSkill skill;
    switch (difficulty) {
    case AiDifficulty::Easy:
        skill.reactionSeconds = 1.2f;
        skill.aimErrorDegrees = 7.0f;
        skill.sightRange = 40.0f;
        skill.leadsTarget = false;
        skill.dodges = false;
        break;
    case AiDifficulty::Normal:
        skill.reactionSeconds = 0.8f;
        skill.aimErrorDegrees = 4.0f;
        skill.sightRange = 60.0f;
        skill.leadsTarget = true;
        skill.dodges = false;
        break;
    case AiDifficulty::Hard:
        skill.reactionSeconds = 0.25f;
        skill.aimErrorDegrees = 0.8f;
        skill.sightRange = 90.0f;
        skill.leadsTarget = true;
        skill.dodges = true;
        break;
    }
    return skill;
}

namespace {

// What the computer's side adds to the brain's skill at each difficulty, measured with the balance
// benchmark (bench/README.md).
struct SideMeasures {
    int maxAttackers;      // tanks that go for one enemy at once
    float reloadFactor;    // times a player's reload time
    float aimErrorDegrees; // spread of the heading error of each shot
    float reactionSeconds; // from first sight to the first shot
    float sightRange;      // units
};

constexpr SideMeasures kMeasures[kDifficultyCount] = {
    {1, 3.0f, 12.0f, 2.0f, 35.0f}, // easy
    {1, 2.5f, 8.0f, 1.5f, 60.0f},  // normal
    {1, 1.8f, 4.0f, 0.8f, 90.0f},  // hard
};

} // namespace

AiSkill AiSkill::forComputer(AiDifficulty difficulty) {
    AiSkill skill = forDifficulty(difficulty);
    const SideMeasures &side = kMeasures[static_cast<int>(difficulty)];
    skill.maxAttackers = side.maxAttackers;
    skill.reloadFactor = side.reloadFactor;
    skill.aimErrorDegrees = side.aimErrorDegrees;
    skill.reactionSeconds = side.reactionSeconds;
    skill.sightRange = side.sightRange;
    return skill;
}

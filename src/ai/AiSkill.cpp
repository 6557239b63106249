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

AiSkill AiSkill::forComputer(AiDifficulty difficulty) {
    AiSkill skill = forDifficulty(difficulty);
    switch (difficulty) {
    case AiDifficulty::Easy:
        skill.maxAttackers = 1;
        skill.reloadFactor = 3.0f;
        skill.aimErrorDegrees = 12.0f;
        skill.reactionSeconds = 2.0f;
        skill.sightRange = 35.0f;
        break;
    case AiDifficulty::Normal:
        skill.maxAttackers = 1;
        skill.reloadFactor = 2.5f;
        skill.aimErrorDegrees = 8.0f;
        skill.reactionSeconds = 1.5f;
        break;
    case AiDifficulty::Hard:
        skill.maxAttackers = 1;
        skill.reloadFactor = 1.8f;
        skill.aimErrorDegrees = 4.0f;
        skill.reactionSeconds = 0.8f;
        break;
    }
    return skill;
}

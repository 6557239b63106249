#include "objects/AiLevelAnalysis.h"

bool AiLevelAnalysis::makeAiObstacleMap() {
    return true;
}

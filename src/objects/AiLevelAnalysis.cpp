#include "objects/AiLevelAnalysis.h"

#include "ai/ObstacleGrid.h"
#include "level/Level.h"
#include "objects/LvlObject.h"
#include "physics/PhysXAccess.h"

bool AiLevelAnalysis::makeAiObstacleMap(const Level &level, const std::vector<LvlObject *> &objects,
                                        const PhysXAccess &physics, ObstacleGrid &grid) const {
    // The terrain is centred on the origin whatever its bounds.
    const float hx = (level.getX2() - level.getX1()) / 2.0f;
    const float hz = (level.getZ2() - level.getZ1()) / 2.0f;
    if (!(hx > 0.0f) || !(hz > 0.0f)) {
        grid = ObstacleGrid();
        return false;
    }
    std::vector<AiBox> boxes;
    for (const LvlObject *object : objects) {
        float lo[3], hi[3];
        if (object != nullptr && physics.getActorBounds(object->getObjectName(), lo, hi)) {
            boxes.push_back(AiBox{lo[0], lo[2], hi[0], hi[2], hi[1]});
        }
    }
    std::function<float(float, float)> height;
    if (level.hasGrid()) {
        height = [&level](float x, float z) { return level.getTerrainHeight(x, z); };
    }
    grid.build(-hx, -hz, hx, hz, boxes, height);
    return true;
}

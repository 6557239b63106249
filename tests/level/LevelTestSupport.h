#pragma once

#include "game/GameClass.h"
#include "level/Level.h"
#include "render/DevilImageDefinition.h"

#include <functional>
#include <memory>
#include <string>

namespace leveltest {

// An in-memory picture of width x height pixels with `depth` bytes each;
// `value(x, y)` gives the first channel, the others copy it.
inline DevilImageDefinition picture(int width, int height, int depth,
                                    const std::function<int(int, int)> &value) {
    DevilImageDefinition image;
    unsigned char *pixels = image.allocateImageData(width, height, depth);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < depth; ++c) {
                pixels[(y * width + x) * depth + c] = static_cast<unsigned char>(value(x, y));
            }
        }
    }
    return image;
}

// A level with bounds -size/2..size/2 on both axes whose heightmap is
// registered as "hm.png" in the session's textures.
inline std::unique_ptr<Level> squareLevel(GameClass &gc, float size, const DevilImageDefinition &heightmap) {
    auto level = std::make_unique<Level>();
    level->setLvlName("test.lvl");
    level->setX1(-size / 2);
    level->setZ1(-size / 2);
    level->setX2(size / 2);
    level->setZ2(size / 2);
    level->setHeightMap("hm.png");
    level->setBGPicture("ground.png");
    gc.getTextureHolder()->setInMemoryGeneratedTexture(heightmap, "hm.png");
    level->setGC(&gc);
    return level;
}

// The 10 x 10 example: pixel (x, y) has the value 10·x + y, pixel (3, 4) is 150.
inline int exampleValue(int x, int y) {
    return x == 3 && y == 4 ? 150 : 10 * x + y;
}

} // namespace leveltest

#include "game/GameClass.h"

#include "level/Level.h"
#include "render/LightMap.h"

#include <cstdio>

std::string GameClass::lightMapName(const ObjectData &object) {
    return object.getName() + "light";
}

bool GameClass::registerObjectLightMap(LightMap &lightMap, const Level &level, const ObjectData &object) {
    const Md2Model *model = getModell(object.getModel());
    if (model == nullptr) {
        return false;
    }
    level.applyLight(lightMap);
    const std::string textureName = lightMapName(object);
    const DevilImageDefinition image = lightMap.calcModelLightMapTexture(
        model, object.getName(), object.getPos(), object.getRotation(), object.getSize());
    std::printf("%s", textureName.c_str());
    std::fflush(stdout);
    textures.setInMemoryGeneratedTexture(image, textureName);
    return true;
}

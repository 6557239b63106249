// Power-ups in the session: their types at start-up and their places at each level start.
#include "game/GameClass.h"

#include "level/Level.h"
#include "objects/PowerUpObject.h"

#include <cstdio>

namespace {
constexpr float kHover = 0.4f; // units above the ground for a power-up whose record gives no height
}

std::size_t GameClass::importPowerUps(const std::string &indexPath) {
    powerUpField.clear(); // placed power-ups point at the types they were made with
    powerUpTypes.clear();
    ConfigReader::LoadPowerUpTypes(powerUpTypes, indexPath);
    // Called after the models are imported: a model the registry lacks is a mistake in the type
    // file, but the power-up still works and shows its glow.
    for (const auto &type : powerUpTypes)
        if (!models.empty() && getModell(type.second->getModellName()) == nullptr)
            std::fprintf(stderr,
                         "Error: %s: power-up type \"%s\": model \"%s\" is not in data/model/, it shows its "
                         "glow alone\n",
                         indexPath.c_str(), type.first.c_str(), type.second->getModellName().c_str());
    return powerUpTypes.size();
}

void GameClass::placePowerUps(const Level &level) {
    std::string file = level.getLvlName();
    for (const auto &entry : levelFiles)
        if (entry.second == &level)
            file = "data/level/" + entry.first;
    for (const auto &record : level.getLevelPowerUps()) {
        const auto type = powerUpTypes.find(record->getTypName());
        if (type == powerUpTypes.end()) {
            std::fprintf(stderr, "Error: %s: power-up \"%s\" left out: its type \"%s\" is not in %s\n",
                         file.c_str(), record->getName().c_str(), record->getTypName().c_str(),
                         ConfigReader::kPowerUpIndexFile);
            continue;
        }
        const float *pos = record->getPos();
        const float base[3] = {
            pos[0], record->hasPosY() ? pos[1] : level.getTerrainHeight(pos[0], pos[2]) + kHover, pos[2]};
        PowerUpObject *powerUp = powerUpField.place(*record, type->second.get(), base);
        powerUp->setGameClass(this);
        Md2Model *model = getModell(type->second->getModellName());
        powerUp->getModell()->setModel(model);
        if (model == nullptr)
            continue; // shown by its glow alone
        powerUp->getModell()->calcBorder();
        if (const unsigned int list = displayLists.generateDisplayListId(model->getName()))
            createList(list, model);
    }
}

// Power-up types in the session: read at start-up, their models checked against the registry.
#include "game/GameClass.h"

#include "config/CPowerUpData.h"
#include "config/GamePaths.h"

#include <cstdio>

std::size_t GameClass::importPowerUps(const std::string &indexPath) {
    const std::size_t count = world.importPowerUps(indexPath);
    // Called after the models are imported: a model the registry lacks is a mistake in the type
    // file, but the power-up still works and shows its glow.
    for (const auto &type : world.getPowerUpTypes())
        if (!data.getModells().empty() && getModell(type.second->getModellName()) == nullptr)
            std::fprintf(stderr,
                         "Error: %s: power-up type \"%s\": model \"%s\" is not in %s, it shows its "
                         "glow alone\n",
                         indexPath.c_str(), type.first.c_str(), type.second->getModellName().c_str(),
                         GamePaths::current().data("model/").c_str());
    return count;
}

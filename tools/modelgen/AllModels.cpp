#include "GeneratedModel.h"

std::vector<GeneratedModel> makeAllModels() {
    std::vector<GeneratedModel> all;
    all.push_back(makeTank());
    all.push_back(makeBullet());
    all.push_back(makeHouse());
    all.push_back(makeTree());
    all.push_back(makeRock());
    all.push_back(makeCrate());
    all.push_back(makeWall());
    all.push_back(makePine());
    all.push_back(makeIce());
    all.push_back(makeWater());
    all.push_back(makeBoat());
    all.push_back(makeContainer());
    all.push_back(makePowerUp());
    return all;
}

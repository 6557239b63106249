#pragma once

#include "ModelMesh.h"
#include "SkinCanvas.h"

#include <string>
#include <vector>

// One model of the game as the generator makes it: the mesh, its painted skin
// and the file names they are written under.
struct GeneratedModel {
    std::string modelFile; // name in data/model/, e.g. "tank1.md2"
    std::string skinFile;  // name in data/textures/, e.g. "tank1_skin.png"
    ModelMesh mesh;        // game axes, origin where the game places the object
    SkinCanvas skin;       // laid out to match the mesh's texture coordinates
    std::string notes;     // printed after writing: numbers other data must match
};

// Every model the game ships, in the order they are written.
std::vector<GeneratedModel> makeAllModels();

GeneratedModel makeTank();
GeneratedModel makeBullet();
GeneratedModel makeHouse();
GeneratedModel makeTree();
GeneratedModel makeRock();
GeneratedModel makeCrate();
GeneratedModel makeWall();
GeneratedModel makePine();
GeneratedModel makeIce();
GeneratedModel makeWater();
GeneratedModel makeBoat();
GeneratedModel makeContainer();
GeneratedModel makePowerUp();

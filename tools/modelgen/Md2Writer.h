#pragma once

#include "ModelMesh.h"

#include <cstdint>
#include <string>
#include <vector>

// Packs a generated mesh into an MD2 file the game can both draw and collide
// with. The game builds a model's physics hull from the packed bytes times
// 0.048, centred in the horizontal plane and standing on the model's origin,
// and ignores the frame's own scale and translation there. So every frame is
// written with scale 0.048, packed bytes that start at 0 on every axis, and a
// translation of minus half the extent on the two horizontal axes and 0 up:
// the drawn model and its hull are then the same solid.
class Md2Writer {
  public:
    static constexpr float kUnitsPerStep = 0.048f; // model units per packed step, fixed by the physics

    // What the packing did, for the generator's report.
    struct Summary {
        int steps[3] = {0, 0, 0};    // largest packed byte per model axis (x lateral, y back, z up)
        double shift[3] = {0, 0, 0}; // game-axes offset of the model origin from the mesh origin
        int vertices = 0;
        int triangles = 0;
    };

    // The complete file: `skinPath` (its last part must be the skin's file
    // name), a skin size in texels, and two identical frames (frame 1 is the
    // pose the game draws). Throws std::runtime_error when the mesh does not
    // fit into 255 steps per axis, or a triangle degenerates or flips when its
    // corners snap to the packing grid.
    static std::vector<std::uint8_t> pack(const ModelMesh &mesh, const std::string &skinPath, int skinWidth,
                                          int skinHeight, Summary *summary = nullptr);
};

#pragma once

#include "ModelMesh.h"
#include "SkinCanvas.h"

#include <cstdint>

// What the conifers ("tree.md2", "pine.md2") share: one skin layout, a trunk
// with three stacked cones of needles on it, and bark and trunk-end painting.
namespace conifer {

constexpr SkinRect kNeedles{0, 0, 192, 192}; // around in s, tip of each cone at the top
constexpr SkinRect kUnderside{192, 0, 256, 64};
constexpr SkinRect kBark{192, 64, 256, 192};
constexpr SkinRect kCut{192, 192, 256, 256}; // trunk end grain

SkinRect inset(const SkinRect &r, double by);

struct Shape {
    double trunkHeight;
    double trunkBottomRadius;
    double trunkTopRadius;
    double cones[3][4]; // from the bottom up: base height, tip height, radius, turn
};

ModelMesh mesh(const Shape &shape);

// Ridged bark from `dark` to `light` and ringed end grain; the noise seeds
// run from `seed` to `seed + 2`.
void paintBarkAndCut(SkinCanvas &skin, std::uint32_t dark, std::uint32_t light, std::uint32_t seed);

} // namespace conifer

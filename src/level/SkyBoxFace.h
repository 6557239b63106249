#pragma once

#include <array>

// One face of the sky box: its picture, its four corners on the cube of half
// size 1 and the texture coordinates drawn at them. The level draws the box
// from this table and the art generator paints the pictures from it, so both
// agree on which direction every texel shows and the edges meet.
struct SkyBoxFace {
    const char *picture;  // texture name, e.g. "front.png"
    float corner[4][3];   // corners in drawing order, on the unit cube
    float texCoord[4][2]; // (s, t) at each corner; t = 0 is the picture's top row

    // The six faces: up, bottom, front, left, back, right.
    static const std::array<SkyBoxFace, 6> &all();

    // The point of the unit cube seen at texture coordinate (s, t) of this face.
    void direction(float s, float t, float out[3]) const;
};

#pragma once

#include <array>

// One face of the sky box: its picture, its four corners on the cube of half
// size 1 and the texture coordinates drawn at them. The level draws the box
// from this table and the art generator paints the pictures from it, so both
// agree on which direction every texel shows and the edges meet. Header-only,
// so that the generator (which does not link the game) uses the same table.
struct SkyBoxFace {
    const char *picture;  // texture name, e.g. "front.png"
    float corner[4][3];   // corners in drawing order, on the unit cube
    float texCoord[4][2]; // (s, t) at each corner; t = 0 is the picture's top row

    // The six faces: up, bottom, front, left, back, right.
    static const std::array<SkyBoxFace, 6> &all();

    // The point of the unit cube seen at texture coordinate (s, t) of this face.
    void direction(float s, float t, float out[3]) const;
};

inline const std::array<SkyBoxFace, 6> &SkyBoxFace::all() {
    // Corners run clockwise as seen from inside the box, the front-face
    // winding of the game, so that back-face culling keeps all six. The top
    // face continues the front picture upwards: its bottom row meets the
    // front's top row, column for column.
    static const std::array<SkyBoxFace, 6> faces = {{
        {"up.png", {{-1, 1, 1}, {1, 1, 1}, {1, 1, -1}, {-1, 1, -1}}, {{1, 0}, {0, 0}, {0, 1}, {1, 1}}},
        {"bottom.png",
         {{-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}},
         {{0, 1}, {1, 1}, {1, 0}, {0, 0}}},
        {"front.png", {{-1, 1, -1}, {1, 1, -1}, {1, -1, -1}, {-1, -1, -1}}, {{1, 0}, {0, 0}, {0, 1}, {1, 1}}},
        {"left.png", {{-1, 1, 1}, {-1, 1, -1}, {-1, -1, -1}, {-1, -1, 1}}, {{1, 0}, {0, 0}, {0, 1}, {1, 1}}},
        {"back.png", {{1, 1, 1}, {-1, 1, 1}, {-1, -1, 1}, {1, -1, 1}}, {{1, 0}, {0, 0}, {0, 1}, {1, 1}}},
        {"right.png", {{1, 1, -1}, {1, 1, 1}, {1, -1, 1}, {1, -1, -1}}, {{1, 0}, {0, 0}, {0, 1}, {1, 1}}},
    }};
    return faces;
}

inline void SkyBoxFace::direction(float s, float t, float out[3]) const {
    // Every face's coordinates form an axis-aligned square, so the corner
    // with (0, 0) and the steps along s and t span the face bilinearly.
    int origin = 0, alongS = 0, alongT = 0;
    for (int i = 0; i < 4; ++i) {
        const float cs = texCoord[i][0], ct = texCoord[i][1];
        if (cs == 0 && ct == 0) {
            origin = i;
        } else if (cs == 1 && ct == 0) {
            alongS = i;
        } else if (cs == 0 && ct == 1) {
            alongT = i;
        }
    }
    for (int a = 0; a < 3; ++a) {
        out[a] = corner[origin][a] + s * (corner[alongS][a] - corner[origin][a]) +
                 t * (corner[alongT][a] - corner[origin][a]);
    }
}

#include "level/SkyBoxFace.h"

const std::array<SkyBoxFace, 6> &SkyBoxFace::all() {
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

void SkyBoxFace::direction(float s, float t, float out[3]) const {
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

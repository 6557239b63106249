// panzer_modelview: draws an MD2 model with its skin the way the game does
// (z-up model turned -90 degrees about x, clockwise front faces, back faces
// culled, the scene's directional light) and saves two pictures:
//   <out>_far.png   the game's camera: 70 units away at 45 degrees pitch, 80 degree field of view,
//                   the model twice (heading 30 and 210) beside a reference tank
//   <out>_near.png  four close views (front-left, rear-right, side, top)
// Usage: panzer_modelview <out> <model.md2> [model-scale]
// Skins are looked up in ../textures/ next to the model's folder. Needs an X
// display (run under xvfb-run).
#include "model/Md2Model.h"
#include "render/ReadMD2Model.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {
constexpr int kWidth = 1024;
constexpr int kHeight = 768;

struct Shown {
    Md2Model model;
    GLuint texture = 0;
};

bool load(const std::filesystem::path &file, Shown &shown) {
    if (!ReadMD2Model(file.string(), shown.model)) {
        return false;
    }
    const std::filesystem::path skin =
        file.parent_path().parent_path() / "textures" / shown.model.getSkinTextureName();
    int w = 0, h = 0, n = 0;
    unsigned char *pixels = stbi_load(skin.string().c_str(), &w, &h, &n, 3);
    if (!pixels) {
        std::fprintf(stderr, "Error: cannot read skin \"%s\"\n", skin.string().c_str());
        return false;
    }
    glGenTextures(1, &shown.texture);
    glBindTexture(GL_TEXTURE_2D, shown.texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB, w, h, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    stbi_image_free(pixels);
    return true;
}

void drawModel(const Shown &shown, float x, float z, float heading, float scale) {
    const Md2Model &m = shown.model;
    glPushMatrix();
    glTranslatef(x, 0.0f, z);
    glRotatef(heading, 0, 1, 0);
    glRotatef(-90.0f, 1, 0, 0);
    glScalef(scale, scale, scale);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, shown.texture);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, m.getVertexPositions());
    glNormalPointer(GL_FLOAT, 0, m.getVertexNormals());
    glTexCoordPointer(2, GL_FLOAT, 0, m.getVertexTexCoords());
    glDrawElements(GL_TRIANGLES, 3 * m.getNumTriangles(), GL_UNSIGNED_INT, m.getIndices());
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
}

void ground() {
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);
    glNormal3f(0, 1, 0);
    // Clockwise seen from above: the front face under GL_CW.
    glVertex3f(-200, 0, -200);
    glVertex3f(200, 0, -200);
    glVertex3f(200, 0, 200);
    glVertex3f(-200, 0, 200);
    glEnd();
}

void sceneSetup(int x, int y, int w, int h, float fov, const float eye[3], const float target[3]) {
    glViewport(x, y, w, h);
    glScissor(x, y, w, h);
    glEnable(GL_SCISSOR_TEST);
    glClearColor(0.55f, 0.68f, 0.82f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fov, static_cast<double>(w) / h, 0.5, 5000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(eye[0], eye[1], eye[2], target[0], target[1], target[2], 0, 1, 0);
    // The game's scene light: directional, from high up behind -z.
    const GLfloat position[4] = {-5.0f, 100.0f, -100.0f, 0.0f};
    const GLfloat diffuse[4] = {1, 1, 1, 1};
    const GLfloat ambient[4] = {0.2f, 0.2f, 0.2f, 0.2f};
    const GLfloat black[4] = {0, 0, 0, 0};
    glLightfv(GL_LIGHT1, GL_POSITION, position);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT1, GL_SPECULAR, black);
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHTING);
    const GLfloat groundColour[4] = {0.42f, 0.5f, 0.3f, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, groundColour);
    ground();
    const GLfloat defaultDiffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
    const GLfloat defaultAmbient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, defaultDiffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, defaultAmbient);
}

bool save(const std::string &path) {
    std::vector<unsigned char> pixels(static_cast<std::size_t>(kWidth) * kHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    std::vector<unsigned char> flipped(pixels.size());
    for (int y = 0; y < kHeight; ++y) {
        std::copy_n(&pixels[static_cast<std::size_t>(kHeight - 1 - y) * kWidth * 3], kWidth * 3,
                    &flipped[static_cast<std::size_t>(y) * kWidth * 3]);
    }
    return stbi_write_png(path.c_str(), kWidth, kHeight, 3, flipped.data(), kWidth * 3) != 0;
}
} // namespace

int main(int argc, char **argv) {
    if (argc < 3) {
        std::fprintf(stderr, "Usage: %s <out> <model.md2> [model-scale]\n", argv[0]);
        return 2;
    }
    const std::string out = argv[1];
    const std::filesystem::path modelFile = argv[2];
    const float scale = argc > 3 ? std::stof(argv[3]) : 1.0f;

    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DEPTH | GLUT_DOUBLE);
    glutInitWindowSize(kWidth, kHeight);
    glutCreateWindow("panzer_modelview");

    Shown shown, tank;
    if (!load(modelFile, shown)) {
        return 1;
    }
    const bool haveTank =
        modelFile.filename() != "tank1.md2" && load(modelFile.parent_path() / "tank1.md2", tank);

    glEnable(GL_DEPTH_TEST);
    glFrontFace(GL_CW);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);

    // The game's camera: distance 70, pitch -45, in front of the target.
    const float target[3] = {0, 0, 0};
    const float eye[3] = {0, 49.497f, 49.497f};
    sceneSetup(0, 0, kWidth, kHeight, 80.0f, eye, target);
    drawModel(shown, -6, 0, 30, scale);
    drawModel(shown, 6, 0, 210, scale);
    if (haveTank) {
        drawModel(tank, 0, -12, 0, 1.0f);
    }
    if (!save(out + "_far.png")) {
        return 1;
    }

    float radius = 0.0f;
    for (int a = 0; a < 3; ++a) {
        const int steps = [&] {
            const auto &frame = *shown.model.getPoseFrame();
            int high = 0;
            for (const Md2Vertex &v : frame.vertices) {
                high = std::max(high, static_cast<int>(v.v[a]));
            }
            return high;
        }();
        radius = std::max(radius, steps * shown.model.getPoseFrame()->scale[a] * scale);
    }
    const float d = radius * 2.0f;
    const float centre[3] = {0, radius * 0.25f, 0};
    const float eyes[4][3] = {{d * 0.7f, d * 0.55f, d * 0.7f},
                              {-d * 0.7f, d * 0.45f, -d * 0.7f},
                              {-d, d * 0.15f, 0.01f},
                              {0.01f, d * 1.3f, -d * 0.4f}};
    for (int i = 0; i < 4; ++i) {
        sceneSetup((i % 2) * kWidth / 2, (1 - i / 2) * kHeight / 2, kWidth / 2, kHeight / 2, 45.0f, eyes[i],
                   centre);
        drawModel(shown, 0, 0, 0, scale);
    }
    return save(out + "_near.png") ? 0 : 1;
}

#include "render/Md2Renderer.h"

#include "render/LightMap.h"
#include "model/Md2Model.h"

#include <GL/gl.h>

#include <cstdio>

namespace {

// The model has the pose every path draws and the flat arrays derived from it.
bool hasPose(const Md2Model &model) {
    return model.getPoseFrame() != nullptr && model.getVertexPositions() != nullptr &&
           model.getNumTriangles() > 0;
}

// Skin coordinates of texture-coordinate `index`, in 0..1 of the skin. A skin without a size
// gives 0 rather than dividing by zero.
void skinCoords(const Md2Model &model, int index, float &s, float &t) {
    const Md2TexCoord &tc = model.getTexCoords()[static_cast<std::size_t>(index)];
    s = model.getSkinWidth() > 0 ? static_cast<float>(tc.s) / static_cast<float>(model.getSkinWidth()) : 0.0f;
    t = model.getSkinHeight() > 0 ? static_cast<float>(tc.t) / static_cast<float>(model.getSkinHeight())
                                  : 0.0f;
}

} // namespace

void Md2Renderer::drawImmediate(const Md2Model &model) {
    if (!hasPose(model)) {
        return;
    }
    const float *positions = model.getVertexPositions();
    const float *faceNormals = model.getFaceNormals();
    glColor3f(0.8f, 0.8f, 0.8f);
    glBegin(GL_TRIANGLES);
    int face = 0;
    for (const Md2Triangle &triangle : model.getTriangles()) {
        glNormal3fv(faceNormals + 3 * face);
        for (int corner = 0; corner < 3; ++corner) {
            float s = 0.0f;
            float t = 0.0f;
            skinCoords(model, triangle.texCoordIndex[corner], s, t);
            glTexCoord2f(s, t);
            glVertex3fv(positions + 3 * triangle.vertexIndex[corner]);
        }
        ++face;
    }
    glEnd();
}

void Md2Renderer::compileList(unsigned int list, const Md2Model &model) {
    std::printf("Creating Display List No. %i\n", static_cast<int>(list));
    // A short-lived light map gives the two-unit texture coordinates.
    LightMap units;
    glNewList(list, GL_COMPILE);
    if (hasPose(model)) {
        const float *positions = model.getVertexPositions();
        const float *normals = model.getVertexNormals();
        glBegin(GL_TRIANGLES);
        glColor3f(0.0f, 0.0f, 0.0f);
        for (const Md2Triangle &triangle : model.getTriangles()) {
            for (int corner = 0; corner < 3; ++corner) {
                float s = 0.0f;
                float t = 0.0f;
                skinCoords(model, triangle.texCoordIndex[corner], s, t);
                units.setCoords(s, t);
                glNormal3fv(normals + 3 * triangle.vertexIndex[corner]);
                glVertex3fv(positions + 3 * triangle.vertexIndex[corner]);
            }
        }
        glEnd();
    }
    glEndList();
}

void Md2Renderer::drawArrays(const Md2Model &model) {
    if (!hasPose(model)) {
        return;
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, model.getVertexPositions());
    glNormalPointer(GL_FLOAT, 0, model.getVertexNormals());
    glTexCoordPointer(2, GL_FLOAT, 0, model.getVertexTexCoords());
    const int *indices = model.getIndices();
    const int count = 3 * model.getNumTriangles();
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < count; ++i) {
        glArrayElement(indices[i]);
    }
    glEnd();
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
}

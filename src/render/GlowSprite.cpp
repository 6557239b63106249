#include "render/GlowSprite.h"

#include <GL/gl.h>

#include <cmath>

namespace {
constexpr int kRimPoints = 24; // corners of the halo's outline
}

void GlowSprite::draw(const float *centre, float radius, const float *rgb, float strength) {
    // The camera's right and up axes are the first two rows of the model-view rotation.
    float view[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, view);
    const float right[3] = {view[0], view[4], view[8]};
    const float up[3] = {view[1], view[5], view[9]};

    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDepthMask(GL_FALSE);
    glBegin(GL_TRIANGLE_FAN);
    glColor4f(rgb[0], rgb[1], rgb[2], strength);
    glVertex3fv(centre);
    glColor4f(rgb[0], rgb[1], rgb[2], 0.0f);
    for (int i = 0; i <= kRimPoints; ++i) {
        const float angle = 6.2831853f * static_cast<float>(i) / kRimPoints;
        const float c = std::cos(angle) * radius, s = std::sin(angle) * radius;
        glVertex3f(centre[0] + c * right[0] + s * up[0], centre[1] + c * right[1] + s * up[1],
                   centre[2] + c * right[2] + s * up[2]);
    }
    glEnd();
    glPopAttrib();
}

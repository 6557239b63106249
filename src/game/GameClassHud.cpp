// The 2D overlays over the scene: minimap, statistics, mission text, status
// message and the text lines.
#include "game/GameClass.h"

#include "level/Level.h"
#include "objects/Fahrzeug.h"
#include "objects/LvlObject.h"
#include "objects/Owner.h"
#include "objects/Projektil.h"

#include <GL/freeglut.h>

#include <cstdio>

namespace {
const float kWhite[3] = {1, 1, 1};
const float kStatsColour[3] = {0.85f, 0.95f, 1.0f};
constexpr float kMapWidth = 7.0f;     // the level's width on the map, units
constexpr float kMapDistance = 10.0f; // the map plane's distance in front of the camera

// Overlays drawn in window space: no depth, no light, no culling.
class Flat2D {
  public:
    Flat2D() {
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_LIGHTING);
        glDisable(GL_CULL_FACE);
        glPushMatrix();
        glLoadIdentity();
    }
    ~Flat2D() {
        glPopMatrix();
        glEnable(GL_CULL_FACE);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_LIGHTING);
    }
    Flat2D(const Flat2D &) = delete;
    Flat2D &operator=(const Flat2D &) = delete;
};
} // namespace

void GameClass::drawText(float xFraction, float yFraction, const float *colour, const std::string &text) {
    font.drawHorizontal(xFraction * iWidth, yFraction * iHeight, 0, colour, GLUT_BITMAP_9_BY_15, text.c_str());
}

void GameClass::drawStatusMessage() {
    if (statusMessageTime <= 0 || statusMessage.empty())
        return;
    Flat2D flat;
    drawText(0.4f, 0.4f, kWhite, statusMessage);
}

void GameClass::drawMissionComplete() {
    // Bitmap fonts have no line feed: each line of the text gets its own row.
    static const char *const kLines[] = {"MISSION COMPLETE!", "", "(exit with escape)"};
    constexpr float kLineHeight = 18.0f; // pixels; the font is 15 high
    Flat2D flat;
    for (int i = 0; i < 3; ++i)
        font.drawHorizontal(0.4f * iWidth, 0.4f * iHeight + i * kLineHeight, 0, kWhite, GLUT_BITMAP_9_BY_15,
                            kLines[i]);
}

void GameClass::drawStats() {
    // Each player's life and the tanks still in the field, in the top-right
    // corner, clear of the frame-rate line.
    Flat2D flat;
    const float x = 0.78f;
    float y = 0.03f;
    auto line = [&](const std::string &text) {
        drawText(x, y, kStatsColour, text);
        y += 0.025f;
    };
    char text[96];
    for (const Fahrzeug *vehicle : {player1Vehicle, player2Vehicle}) {
        if (vehicle == nullptr)
            continue;
        const Owner *owner = vehicle->getOwner();
        std::snprintf(text, sizeof text, "%s: %u life", owner ? owner->getName().c_str() : "?", vehicle->getLife());
        line(text);
    }
    std::snprintf(text, sizeof text, "Tanks left: %zu", fahrzeuge.size());
    line(text);
}

void GameClass::drawMiniMapOverlay() {
    if (currentLevel == nullptr)
        return;
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textures.getTextureIDByString(currentLevel->getBGPicture()));
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING); // the map shows the picture and the colours as they are
    glPushMatrix();
    glLoadIdentity();

    const float *centre = cameraTarget.data();
    const float mapAngle = cameraYaw + angleY + 180.0f;
    glRotatef(-mapAngle, 0, 0, 1);
    glScalef(-1, 1, 1);
    glColor3f(1, 1, 1);
    const float x1 = currentLevel->getX1(), x2 = currentLevel->getX2();
    const float z1 = currentLevel->getZ1(), z2 = currentLevel->getZ2();
    const float s = (x2 - x1) / kMapWidth;
    glTranslatef(0, 0, -kMapDistance);
    glScalef(1 / s, 1 / s, 1 / s);
    glTranslatef(-centre[0], -centre[2], 0);
    // The terrain is centred on the origin whatever its bounds.
    const float hx = (x2 - x1) / 2, hz = (z2 - z1) / 2;
    glBegin(GL_QUADS);
    glTexCoord2f(0, 1);
    glVertex3f(-hx, hz, 0);
    glTexCoord2f(1, 1);
    glVertex3f(hx, hz, 0);
    glTexCoord2f(1, 0);
    glVertex3f(hx, -hz, 0);
    glTexCoord2f(0, 0);
    glVertex3f(-hx, -hz, 0);
    glEnd();

    glPushMatrix();
    glRotatef(-90, 1, 0, 0);
    glColor3f(0.75f, 0.75f, 0.75f);
    for (LvlObject *object : levelObjects)
        object->draw(0, 0, false, true, 1, 0, 1);
    for (Fahrzeug *vehicle : fahrzeuge)
        vehicle->draw(0, 0, false, true, 1, 0, 1);
    glPopMatrix();

    glDisable(GL_TEXTURE_2D);
    glEnable(GL_POINT_SMOOTH);
    glPointSize(2);
    glBegin(GL_POINTS);
    for (Projektil *shot : projektile) {
        if (shot->getStatus() == 2)
            glColor3f(1, 1, 0);
        else
            glColor3f(0, 0, 1);
        glVertex3f(shot->getPos()[0], shot->getPos()[2], 0);
    }
    glEnd();
    glPopMatrix();
    glColor3f(0, 0, 0);
    glDisable(GL_POINT_SMOOTH);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
}

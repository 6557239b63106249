// The computer player's debug view: its obstacle grid over the minimap.
#include "game/BattleView.h"

#include "game/GameClass.h"
#include "ai/ObstacleGrid.h"
#include "objects/AiData.h"
#include "objects/ComputerSpieler.h"
#include "objects/Fahrzeug.h"

#include <GL/gl.h>

#include <cstdio>

void BattleView::drawObstacleOverlay(int x, int y, int w, int h) {
    const ObstacleGrid &grid = session.getWorld().getComputerSpieler()->getObstacleGrid();
    if (grid.empty() || w <= 0 || h <= 0 || iWidth <= 0 || iHeight <= 0)
        return;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, iWidth, iHeight, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    // Cell colours by kind: free cells stay clear.
    static const float kColours[5][4] = {{0, 0, 0, 0},
                                         {1.0f, 0.8f, 0.2f, 0.45f},
                                         {0.7f, 0.4f, 0.1f, 0.6f},
                                         {0.3f, 0.3f, 0.3f, 0.6f},
                                         {1.0f, 0.1f, 0.1f, 0.75f}};
    const float cw = static_cast<float>(w) / grid.getColumns();
    const float ch = static_cast<float>(h) / grid.getRows();
    glColor4f(0, 0, 0, 0.25f);
    glBegin(GL_QUADS);
    glVertex2f(x, y);
    glVertex2f(x + w, y);
    glVertex2f(x + w, y + h);
    glVertex2f(x, y + h);
    for (int r = 0; r < grid.getRows(); ++r) {
        for (int c = 0; c < grid.getColumns(); ++c) {
            const int kind = grid.at(c, r);
            if (kind == ObstacleGrid::kFree)
                continue;
            glColor4fv(kColours[kind]);
            // As the minimap: +x to the right, +z down.
            const float px = x + c * cw;
            const float py = y + r * ch;
            glVertex2f(px, py);
            glVertex2f(px + cw, py);
            glVertex2f(px + cw, py + ch);
            glVertex2f(px, py + ch);
        }
    }
    glEnd();

    // The tanks: player one green, the others by owner, computer tanks magenta.
    glPointSize(5);
    glBegin(GL_POINTS);
    const float sx = w / (grid.getColumns() * grid.getCellSize());
    const float sz = h / (grid.getRows() * grid.getCellSize());
    auto toScreen = [&](float wx, float wz, float &px, float &py) {
        px = x + (wx - grid.getMinX()) * sx;
        py = y + (wz - grid.getMinZ()) * sz;
    };
    for (const Fahrzeug *vehicle : session.getWorld().getFahrzeugvektor()) {
        float px, py;
        toScreen(vehicle->getPos()[0], vehicle->getPos()[2], px, py);
        if (vehicle == session.getWorld().getPlayer1Vehicle())
            glColor4f(0.2f, 1.0f, 0.2f, 1.0f);
        else if (vehicle->getAiData() != nullptr)
            glColor4f(1.0f, 0.3f, 1.0f, 1.0f);
        else
            glColor4f(0.3f, 0.5f, 1.0f, 1.0f);
        glVertex2f(px, py);
    }
    glEnd();

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}

// The 2D overlays over the scene: the players' bars, the corner minimap, the
// battle's result, the pause sign, the status message and the text lines.
#include "game/BattleView.h"

#include "game/GameClass.h"
#include "config/CPowerUpData.h"
#include "config/KeyNames.h"
#include "game/MapColours.h"
#include "level/Level.h"
#include "math/MathConstants.h"
#include "objects/CPowerUp.h"
#include "objects/Fahrzeug.h"
#include "objects/LvlObject.h"
#include "objects/Owner.h"
#include "objects/Projektil.h"
#include "objects/Spieler.h"
#include "render/FlatShapes.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
const float kWhite[3] = {1, 1, 1};
constexpr float kLifeBarWidth = 0.18f;   // of the window width
constexpr float kLifeBarHeight = 0.012f; // of the window height
constexpr float kMapShare = 0.25f;       // the minimap's side as a share of the window height
constexpr float kMapMargin = 10.0f;      // pixels from the window's corner

// Overlays drawn in window pixels from the top-left corner: no depth, no
// light, no culling, no textures; both matrices restored afterwards.
class Flat2D {
  public:
    Flat2D(int width, int height) {
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_LIGHTING);
        glDisable(GL_CULL_FACE);
        glDisable(GL_TEXTURE_2D);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0, width, height, 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
    }
    ~Flat2D() {
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        glEnable(GL_CULL_FACE);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_LIGHTING);
    }
    Flat2D(const Flat2D &) = delete;
    Flat2D &operator=(const Flat2D &) = delete;
};

using FlatShapes::rectangle;

// A word in large letters across a darkened band in the middle of the
// rectangle (window pixels from the top-left corner): the stroke font, a
// tenth of the window height high.
void banner(const char *word, float left, float top, float width, float height, int windowWidth,
            int windowHeight) {
    {
        Flat2D flat(windowWidth, windowHeight);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glColor4f(0, 0, 0, 0.45f);
        rectangle(left, top + 0.36f * height, left + width, top + 0.56f * height);
        glDisable(GL_BLEND);
    }
    Flat2D flat(windowWidth, windowHeight);
    const float scale = 0.1f * windowHeight / 119.05f; // the stroke font's capitals are 119.05 units high
    const float wordWidth =
        glutStrokeLength(GLUT_STROKE_ROMAN, reinterpret_cast<const unsigned char *>(word)) * scale;
    glTranslatef(left + (width - wordWidth) / 2.0f, top + 0.48f * height, 0);
    glScalef(scale, -scale, 1);
    glLineWidth(3);
    glColor3f(1, 1, 1);
    for (const char *c = word; *c != '\0'; ++c)
        glutStrokeCharacter(GLUT_STROKE_ROMAN, *c);
    glLineWidth(1);
}

// Pixel width of a bitmap text, to centre it.
int textWidth(void *font, const std::string &text) {
    return glutBitmapLength(font, reinterpret_cast<const unsigned char *>(text.c_str()));
}
} // namespace

void BattleView::drawText(float xFraction, float yFraction, const float *colour, const std::string &text) {
    font.drawHorizontal(xFraction * iWidth, yFraction * iHeight, 0, colour, GLUT_BITMAP_9_BY_15,
                        text.c_str());
}

void BattleView::drawStatusMessage() {
    if (session.getOptions().getStatusMessageTime() <= 0 || session.getOptions().getStatusMessage().empty())
        return;
    drawText(0.4f, 0.4f, kWhite, session.getOptions().getStatusMessage());
}

void BattleView::drawPlayerHud(int player, const SplitScreen::Rect &rect) {
    // The player's name and score above a life bar at the top of the view; a
    // tank that is down shows an empty bar and "DESTROYED" across the view.
    const Fahrzeug *vehicle = session.getWorld().getPlayerVehicle(player);
    const Spieler *owner = session.getWorld().getSpieler(player);
    const float *colour = MapColours::player(player);
    char text[96];
    const std::string name = owner != nullptr ? owner->getName() : "";
    std::snprintf(text, sizeof text, "%s   %d", name.c_str(), session.getWorld().getScores().get(player));
    const float left = rect.left + 0.02f * iWidth;
    const float top = rect.top + 0.08f * iHeight; // below the frame-rate line
    font.drawHorizontal(left, rect.top + 0.065f * iHeight, 0, colour, GLUT_BITMAP_HELVETICA_18, text);
    const float width = std::min(kLifeBarWidth * iWidth, 0.45f * rect.width);
    const float height = std::max(4.0f, kLifeBarHeight * iHeight);
    const float share =
        vehicle != nullptr && vehicle->getMaxLife() > 0
            ? std::clamp(static_cast<float>(vehicle->getLife()) / vehicle->getMaxLife(), 0.0f, 1.0f)
            : 0.0f;
    {
        Flat2D flat(iWidth, iHeight);
        glColor3f(0.15f, 0.15f, 0.15f);
        rectangle(left, top, left + width, top + height);
        glColor3f(1.0f - share, share, 0.1f);
        rectangle(left, top, left + width * share, top + height);
    }
    drawPowerUpEffects(vehicle, left, top + height + 4, width);
    if (isPlayerDown(player) && session.getWorld().getOutcome() == BattleRules::kRunning)
        banner("DESTROYED", rect.left, rect.top, rect.width, rect.height, iWidth, iHeight);
}

void BattleView::drawPowerUpEffects(const Fahrzeug *vehicle, float x, float y, float width) {
    // One line per carried effect, in its glow colour: a bar of the time left out of 20 seconds and
    // the effect's name with the whole seconds left.
    if (vehicle == nullptr)
        return;
    constexpr float kLine = 16.0f;    // pixels per line
    constexpr float kFullBar = 20.0f; // seconds that fill the bar
    for (const auto &carried : vehicle->getPowerUps()) {
        CPowerUpData look;
        look.setEffectWithDefaults(static_cast<CPowerUpData::Effect>(carried->getEffect()));
        const float *colour = look.getGlowColor();
        const float seconds = std::max(0.0f, carried->getSecondsLeft());
        char text[64];
        std::snprintf(text, sizeof text, "%s %.0f s", CPowerUpData::effectName(carried->getEffect()),
                      std::ceil(seconds));
        {
            Flat2D flat(iWidth, iHeight);
            glColor3fv(colour);
            rectangle(x, y + 3, x + 0.3f * width * std::min(1.0f, seconds / kFullBar), y + kLine - 5);
        }
        font.drawHorizontal(x + 0.33f * width, y + kLine - 3, 0, colour, GLUT_BITMAP_9_BY_15, text);
        y += kLine;
    }
}

void BattleView::drawViewDivider() {
    // Every edge a view shares with one below it or to its right.
    Flat2D flat(iWidth, iHeight);
    glColor3f(0, 0, 0);
    for (int view = 1; view < viewCount; ++view) {
        const SplitScreen::Rect rect = viewRect(view);
        if (rect.left > 0)
            rectangle(rect.left - 1.0f, static_cast<float>(rect.top), rect.left + 1.0f,
                      static_cast<float>(rect.top + rect.height));
        if (rect.top > 0)
            rectangle(0, rect.top - 1.0f, static_cast<float>(iWidth), rect.top + 1.0f);
    }
}

void BattleView::drawResult() {
    // The result stands in the middle; the battle goes on being drawn behind it.
    const std::string title = BattleRules::text(session.getWorld().getOutcome());
    // Every player's score, player one first; player one alone shows one.
    const ScoreSheet &scores = session.getWorld().getScores();
    int shown = 1;
    for (int player = 1; player < kMaxPlayers; ++player)
        if (player < viewCount || scores.get(player) > 0 ||
            BattleRules::winner(session.getWorld().getOutcome()) == player)
            shown = player + 1;
    std::string line = "Score: " + std::to_string(scores.get(0));
    for (int player = 1; player < shown; ++player)
        line += "  -  " + std::to_string(scores.get(player));
    const float y = 0.42f * iHeight;
    font.drawHorizontal((iWidth - textWidth(GLUT_BITMAP_TIMES_ROMAN_24, title)) / 2.0f, y, 0, kWhite,
                        GLUT_BITMAP_TIMES_ROMAN_24, title.c_str());
    font.drawHorizontal((iWidth - textWidth(GLUT_BITMAP_HELVETICA_18, line)) / 2.0f, y + 30, 0, kWhite,
                        GLUT_BITMAP_HELVETICA_18, line.c_str());
    const char *hint = "(continue with Escape, R watches the replay)";
    font.drawHorizontal((iWidth - textWidth(GLUT_BITMAP_9_BY_15, hint)) / 2.0f, y + 56, 0, kWhite,
                        GLUT_BITMAP_9_BY_15, hint);
}

void BattleView::drawPaused() {
    banner("PAUSED", 0, 0, iWidth, iHeight, iWidth, iHeight);
    char hint[128];
    const std::string key = session.getPlayerConfig() != nullptr ? KeyNames::display(session.getPlayerConfig()->getPauseButton()) : "P";
    std::snprintf(hint, sizeof hint, "%s resumes the battle, Escape leaves to the menu", key.c_str());
    font.drawHorizontal((iWidth - textWidth(GLUT_BITMAP_HELVETICA_18, hint)) / 2.0f, 0.53f * iHeight, 0,
                        kWhite, GLUT_BITMAP_HELVETICA_18, hint);
    if (!pauseMessage.empty())
        font.drawHorizontal((iWidth - textWidth(GLUT_BITMAP_HELVETICA_18, pauseMessage)) / 2.0f, 0.58f * iHeight,
                            0, kWhite, GLUT_BITMAP_HELVETICA_18, pauseMessage.c_str());
}

void BattleView::miniMapRect(float &left, float &top, float &side) const {
    if (viewCount == 3) { // three views leave the fourth quarter to the map, as large as it holds
        const SplitScreen::Rect free = SplitScreen::viewRect(splitLayout, 3, 4, iWidth, iHeight);
        side = std::min(free.width, free.height) - 2.0f * kMapMargin;
        left = free.left + (free.width - side) / 2.0f;
        top = free.top + (free.height - side) / 2.0f;
        return;
    }
    side = kMapShare * iHeight;
    left = iWidth - side - kMapMargin;
    top = iHeight - side - kMapMargin;
}

void BattleView::drawMiniMapOverlay() {
    // A corner map at a quarter of the window height: the level's ground
    // picture, level objects in grey and every tank as a dot in its owner's
    // colour, player one's heading as a line. Nothing is drawn again in 3D.
    if (session.getWorld().getCurrentLevel() == nullptr)
        return;
    const float x1 = session.getWorld().getCurrentLevel()->getX1(), x2 = session.getWorld().getCurrentLevel()->getX2();
    const float z1 = session.getWorld().getCurrentLevel()->getZ1(), z2 = session.getWorld().getCurrentLevel()->getZ2();
    if (x2 <= x1 || z2 <= z1)
        return;
    float left, top, side;
    miniMapRect(left, top, side);
    auto mapX = [&](float x) { return left + (x - x1) / (x2 - x1) * side; };
    auto mapY = [&](float z) { return top + (z - z1) / (z2 - z1) * side; };

    Flat2D flat(iWidth, iHeight);
    FlatShapes::framedPicture(session.getTextureHolder()->getTextureIDByString(session.getWorld().getCurrentLevel()->getBGPicture()), left, top, side);

    glPointSize(4);
    glBegin(GL_POINTS);
    glColor3fv(MapColours::kObject);
    for (const LvlObject *object : session.getWorld().getLevelObjectVektor())
        glVertex2f(mapX(object->getPos()[0]), mapY(object->getPos()[2]));
    glEnd();
    glPointSize(7);
    glBegin(GL_POINTS);
    for (const Fahrzeug *vehicle : session.getWorld().getFahrzeugvektor()) {
        glColor3fv(MapColours::player(vehicle->getSide()));
        glVertex2f(mapX(vehicle->getPos()[0]), mapY(vehicle->getPos()[2]));
    }
    glEnd();
    glPointSize(2);
    glBegin(GL_POINTS);
    for (const Projektil *shot : session.getWorld().getProjektilvektor()) {
        glColor3f(1, 1, 0);
        glVertex2f(mapX(shot->getPos()[0]), mapY(shot->getPos()[2]));
    }
    glEnd();
    // Each human tank's heading as a line in its player's colour.
    glLineWidth(2);
    glBegin(GL_LINES);
    for (int player = 0; player < kMaxPlayers; ++player) {
        const Fahrzeug *vehicle = session.getWorld().getPlayerVehicle(player);
        if (vehicle == nullptr)
            continue;
        const float heading = vehicle->getRotY() * static_cast<float>(kPi) / 180.0f;
        const float *pos = vehicle->getPos();
        const float length = 0.08f * (x2 - x1);
        glColor3fv(MapColours::player(player));
        glVertex2f(mapX(pos[0]), mapY(pos[2]));
        glVertex2f(mapX(pos[0] + std::sin(heading) * length), mapY(pos[2] + std::cos(heading) * length));
    }
    glEnd();
    glLineWidth(1);
    glPointSize(1);
    glColor3f(1, 1, 1);
}

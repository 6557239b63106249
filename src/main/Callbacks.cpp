#include "main/Callbacks.h"

#include "game/GameClass.h"
#include "main/EntryPoint.h"
#include "main/Globals.h"
#include "main/Timer.h"
#include "menu/MainMenu.h"
#include "render/ShadowMap.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

constexpr const char *kFirstLevel = "lvl1.lvl";

// Menu -> game: starts the first level with the configured window size.
void startGame() {
    if (gc.getLevel(kFirstLevel) == nullptr) {
        // Press and release of one click both land here: say it once, not for every event.
        static bool reported = false;
        if (reported) {
            return;
        }
        reported = true;
        if (gc.levelFileFailed(kFirstLevel)) { // its own error was reported at start-up
            std::printf("The level \"%s\" did not load; staying in the menu\n", kFirstLevel);
            std::fflush(stdout);
        } else {
            std::fprintf(stderr, "Error: no level named \"%s\" was loaded from data/level/; staying in the menu\n",
                         kFirstLevel);
        }
        return;
    }
    iGamemode = kModeGame;
    gc.loadLevel(kFirstLevel); // also clears the exit request of an earlier game
    gc.setAngleX(-45);
    gc.setCamDistance(70);
    gc.initGL();
    const Res size = ep.getGlutConfig().getResolution();
    gc.setResolution(size.getWidth(), size.getHeight());
    reshape(size.getWidth(), size.getHeight());
}

void exitProgram() {
    std::fflush(stdout);
    std::exit(EXIT_SUCCESS);
}

} // namespace

void renderScene() {
    if (iGamemode == kModeMenu)
        mm.draw();
    else if (iGamemode == kModeGame)
        gc.draw();
}

void reshape(int width, int height) {
    if (iGamemode == kModeMenu) {
        mm.setResolution(width, height);
    } else if (iGamemode == kModeGame) {
        glViewport(0, 0, width, height);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        if (height == 0)
            height = 1;
        gluPerspective(80, static_cast<double>(width) / height, 1, 5000);
        if (ShadowMap *shadowMap = gc.getShadowMap())
            shadowMap->setCameraProjectionMatrix();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gc.setResolution(width, height);
    }
}

void myKeyboardFunc(unsigned char key, int, int) {
    pressKey(keys, key);
    if (keys[kKeyMiniMap])
        gc.setDrawMiniMap(true);
}

void myKeyboardUpFunc(unsigned char key, int, int) {
    const KeyReleaseEffect effect = releaseKey(keys, iGamemode, key);
    if (effect.exitProgram)
        exitProgram();
    if (effect.returnToMenu) {
        gc.setExitVar(true);
        iGamemode = kModeMenu;
    }
    if (effect.miniMapOff)
        gc.setDrawMiniMap(false);
}

void mySpecialFunc(int key, int, int) {
    pressKey(keys, key);
    int held[kLastOptionKey];
    const int count = heldOptionKeys(keys, held);
    for (int i = 0; i < count; ++i)
        gc.toggleOption(held[i]);
}

void mySpecialUpFunc(int key, int, int) {
    if (key >= 0 && key < kKeyCount)
        keys[key] = false;
}

void myIdleFunc() {
    if (iGamemode != kModeGame) {
        // Nothing moves in the menu (it redraws on events): rest a little instead of spinning a
        // core at full speed through GLUT's idle loop.
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return;
    }
    const FrameClock::Tick tick = frameClock.advance(tTimer.getTimeInSeconds());
    if (!tick.step)
        return;
    if (tick.fpsDue)
        gc.setFps(tick.fps);
    const int result = gc.doAction(static_cast<float>(tick.dt), keys);
    if (result == 1 || result == GameClass::kStepExit) {
        // Escape held on the mission-complete screen brought us here; its
        // release must not also end the program from the menu.
        keys[kKeyEscape] = false;
        iGamemode = kModeMenu;
    }
    glutPostRedisplay();
}

void MouseFunc(int button, int state, int x, int y) {
    if (iGamemode == kModeMenu) {
        if (state == GLUT_DOWN && mm.itemAt(x, y) != MainMenu::kNone)
            gc.getSound().playInterface(SoundId::kMenuClick);
        if (mm.isGame(x, y))
            startGame();
        else if (mm.isExit(x, y))
            exitProgram();
    }
    if (state == GLUT_DOWN && button == GLUT_RIGHT_BUTTON) {
        bMouseRightDown = true;
        iMouseStartX = x;
        iMouseStartY = y;
    } else {
        bMouseRightDown = false;
    }
}

void MouseMoveFunc(int x, int y) {
    if (!bMouseRightDown)
        return;
    const int dx = x - iMouseStartX;
    const int dy = y - iMouseStartY;
    iMouseStartX = x;
    iMouseStartY = y;
    gc.setAngleX(gc.getAngleX() - dy);
    gc.setAngleY(gc.getAngleY() + dx);
}

void myPassiveMotionFunc(int x, int y) {
    if (iGamemode != kModeMenu)
        return;
    const int item = mm.itemAt(x, y);
    if (item != MainMenu::kNone && item != mm.getHoverElement())
        gc.getSound().playInterface(SoundId::kMenuHover);
    mm.setHoverElement(item);
    mm.draw();
}

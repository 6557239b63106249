#include "main/EntryPoint.h"

#include "config/ConfigReader.h"
#include "main/Callbacks.h"
#include "main/WindowGame.h"
#include "main/Globals.h"
#include "main/Timer.h"
#include "menu/MainMenu.h"

#include <GL/freeglut.h>
#include <GL/glu.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

namespace {
// freeglut ends the process with its own message when there is no display;
// ask the X server first so the player learns what is missing.
void requireDisplay() {
    const char *name = std::getenv("DISPLAY");
    Display *display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "Error: cannot open the display \"%s\"; panzerfeld needs a graphical desktop\n",
                     name ? name : "");
        std::exit(EXIT_FAILURE);
    }
    XCloseDisplay(display);
}
} // namespace

EntryPoint::EntryPoint() {
    for (bool &key : keys)
        key = false;
    tTimer.startTiming();
}

void EntryPoint::initialGlut(int *argc, char **argv) {
    settings = ConfigReader::ReadGlutConfig();
    requireDisplay();
    glutInit(argc, argv);
    glutInitDisplayMode(settings.getDisplayMode());
    openWindow();
    setFixedGlState();

    glutDisplayFunc(renderScene);
    glutIdleFunc(myIdleFunc);
    glutIgnoreKeyRepeat(1);
    glutKeyboardFunc(myKeyboardFunc);
    glutKeyboardUpFunc(myKeyboardUpFunc);
    glutSpecialFunc(mySpecialFunc);
    glutSpecialUpFunc(mySpecialUpFunc);
    glutPassiveMotionFunc(myPassiveMotionFunc);
    glutReshapeFunc(reshape);
    glutMouseFunc(MouseFunc);
    glutMotionFunc(MouseMoveFunc);
    glutWindowStatusFunc(myWindowStatusFunc);

    const GLenum error = glGetError();
    if (error != GL_NO_ERROR) {
        std::printf(">> error (Main) %s <<", reinterpret_cast<const char *>(gluErrorString(error)));
        std::fflush(stdout);
    }
    WindowGame::windowOpened();
    glutMainLoop();
}

void EntryPoint::openWindow() {
    const Res size = settings.getResolution();
    if (settings.isFullscreen()) {
        glutGameModeString(settings.getGameMode().c_str());
        if (glutGameModeGet(GLUT_GAME_MODE_POSSIBLE)) {
            glutEnterGameMode();
            return;
        }
        std::printf("Full-screen mode %s is not possible; opening a window instead\n",
                    settings.getGameMode().c_str());
    }
    const Res position = settings.getWindowPos();
    glutInitWindowPosition(position.getWidth(), position.getHeight());
    glutInitWindowSize(size.getWidth(), size.getHeight());
    mm.setResolution(size.getWidth(), size.getHeight());
    glutCreateWindow(settings.getWindow_name().c_str());
}

void EntryPoint::setFixedGlState() const {
    if (settings.isGlFlat())
        glShadeModel(GL_FLAT);
    else if (settings.isGlSmooth())
        glShadeModel(GL_SMOOTH);
    glClearDepth(settings.getGlClearDepth());
    if (settings.isGlDepthTest()) {
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(settings.getGlDepthFuncValue());
    }
    glClearColor(settings.getGlClearColorRed(), settings.getGlClearColorGreen(), settings.getGlClearColorBlue(),
                 settings.getGlClearColorAlpha());
}

#include "main/Callbacks.h"

#include "config/KeyNames.h"
#include "main/WindowGame.h"

#include <GL/freeglut.h>

namespace {
bool ctrlHeld() {
    return (glutGetModifiers() & GLUT_ACTIVE_CTRL) != 0;
}
// A scripted run's only player is its script.
bool fromPlayer() {
    return !WindowGame::isScripted();
}
} // namespace

void renderScene() {
    WindowGame::draw();
}

void reshape(int width, int height) {
    WindowGame::resize(width, height);
}

void myKeyboardFunc(unsigned char key, int, int) {
    if (fromPlayer())
        WindowGame::keyDown(KeyNames::character(key, ctrlHeld()), key);
}

void myKeyboardUpFunc(unsigned char key, int, int) {
    if (fromPlayer())
        WindowGame::keyUp(KeyNames::character(key, ctrlHeld()));
}

void mySpecialFunc(int key, int, int) {
    if (fromPlayer())
        WindowGame::keyDown(KeyNames::special(key), 0);
}

void mySpecialUpFunc(int key, int, int) {
    if (fromPlayer())
        WindowGame::keyUp(KeyNames::special(key));
}

void myIdleFunc() {
    WindowGame::idle();
}

void MouseFunc(int button, int state, int x, int y) {
    if (fromPlayer())
        WindowGame::mouseButton(button, state == GLUT_DOWN, x, y);
}

void MouseMoveFunc(int x, int y) {
    if (fromPlayer())
        WindowGame::mouseDrag(x, y);
}

void myPassiveMotionFunc(int x, int y) {
    if (fromPlayer())
        WindowGame::mouseMove(x, y);
}

void myWindowStatusFunc(int state) {
    if (fromPlayer() && (state == GLUT_HIDDEN || state == GLUT_FULLY_COVERED))
        WindowGame::windowHidden();
}

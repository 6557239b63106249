#pragma once

// The GLUT callbacks: every event of the window arrives here and goes on to the game in its window
// (main/WindowGame.h). A scripted run takes no input from the window: its script is its player.
void renderScene();
void reshape(int width, int height);
void myKeyboardFunc(unsigned char key, int x, int y);
void myKeyboardUpFunc(unsigned char key, int x, int y);
void mySpecialFunc(int key, int x, int y);
void mySpecialUpFunc(int key, int x, int y);
void myIdleFunc();
void MouseFunc(int button, int state, int x, int y);
void MouseMoveFunc(int x, int y);
void myPassiveMotionFunc(int x, int y);
void myWindowStatusFunc(int state);

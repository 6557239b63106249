#pragma once

#include "main/InputRules.h"

class Timer;
class EntryPoint;
class GameClass;
class MainMenu;

// The program's global objects, constructed in this order before main runs
// and destroyed in reverse order at exit.
extern Timer tTimer;    // the one high-resolution clock
extern EntryPoint ep;   // window and OpenGL set-up
extern GameClass gc;    // the game session
extern MainMenu mm;     // the main menu

extern bool keys[kKeyCount];  // key table: true while the key with that code is held
extern int iGamemode;         // GameMode: startup, menu or game
extern FrameClock frameClock; // frame time and rate accumulator
extern int iMouseStartX, iMouseStartY; // mouse position at the last drag event
extern bool bMouseRightDown;           // a right-button drag is in progress

#pragma once

#include "config/KeyNames.h"

// The rules of the key table and the frame clock, kept apart from the GLUT
// callbacks so they can be tested without a window.
//
// The table holds the characters at their codes 0..255 and GLUT's special
// keys beside them at 256 + their GLUT code (KeyNames.h), so an arrow key
// never sets the entry of a letter.

constexpr int kKeyCount = KeyNames::kTableSize;
constexpr int kFirstOptionKey = KeyNames::kSpecialBase + 1; // F1
constexpr int kLastOptionKey = KeyNames::kSpecialBase + 12; // F12
constexpr int kOptionKeyCount = 12;

// The program's top-level modes.
enum GameMode { kModeStartup = 0, kModeMenu = 1, kModeGame = 2 };

// Sets the entry of a pressed key. Codes beyond the table are ignored.
void pressKey(bool keys[kKeyCount], int code);
// Clears the entry of a released key. Codes beyond the table are ignored.
void releaseKey(bool keys[kKeyCount], int code);

// The option keys (F1..F12) that are held, as 1..12 in the order they are
// tested: every held F key fires again on each special-key press.
int heldOptionKeys(const bool keys[kKeyCount], int out[kOptionKeyCount]);

// The frame clock: turns clock readings into step lengths and a frame rate
// refreshed about once a second.
struct FrameClock {
    double lTimeStamp = 0; // clock reading at the last game step, seconds; 0 = none yet
    double dFPSTimer = 0;  // seconds accumulated towards the next rate update

    struct Tick {
        bool step = false;   // false on the very first call: only the time is taken
        double dt = 0;       // seconds since the last step
        bool fpsDue = false; // the accumulator passed one second on this frame
        double fps = 0;      // rate of this single frame, when fpsDue
    };

    Tick advance(double now);
    // Leaves out the time since the last step (a pause): the next step starts from `now`.
    void skipTo(double now) { lTimeStamp = now; }
};

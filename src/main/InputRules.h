#pragma once

// The rules of the key table and the frame clock, kept apart from the GLUT
// callbacks so they can be tested without a window.
//
// Character keys and GLUT special keys share one table of 256 entries: the
// left arrow (100) sets the same entry as the letter d, F1..F12 (1..12) the
// same entries as the control characters 1..12.

constexpr int kKeyCount = 256;
constexpr unsigned char kKeyEscape = 27;
constexpr unsigned char kKeyMiniMap = 'm'; // held to show the minimap
constexpr int kFirstOptionKey = 1;         // F1
constexpr int kLastOptionKey = 12;         // F12

// The program's top-level modes.
enum GameMode { kModeStartup = 0, kModeMenu = 1, kModeGame = 2 };

// What a key release asks the program to do.
struct KeyReleaseEffect {
    bool exitProgram = false;  // ESC released (or any key while ESC is held) in the menu
    bool returnToMenu = false; // the same in the game
    bool miniMapOff = false;   // m released in the game
};

// Sets the entry of a pressed key. Special keys beyond the table are ignored.
void pressKey(bool keys[kKeyCount], int code);

// Applies a key release: decides the effect from the table as it stands
// (so ESC still counts as held while its own release is handled), then
// clears the released entry.
KeyReleaseEffect releaseKey(bool keys[kKeyCount], int gameMode, int code);

// The option keys (F1..F12) that are held, in the order they are tested:
// every held F key fires again on each special-key press.
int heldOptionKeys(const bool keys[kKeyCount], int out[kLastOptionKey]);

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
};

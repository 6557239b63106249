#pragma once

#include <string>

// The one table of key names: turns the values of playerconfig.ini into key-table codes and back,
// so the reader, the writer, the Help screen and the conflict check always agree.
//
// The key table has two halves. Codes 0..255 are the characters GLUT reports (Enter 13, Space 32,
// Tab 9, Backspace 8); codes 256 and up are GLUT's special keys (arrows, navigation keys, F-keys,
// Shift, Ctrl and Alt), each at 256 + its GLUT code, so no special key shares an entry with a
// character.
class KeyNames {
  public:
    static constexpr int kSpecialBase = 256; // first code of the special-key half
    static constexpr int kTableSize = 512;   // entries of the whole key table
    static constexpr int kNone = -1;         // no key

    // The characters the screens answer to, at their codes (the only place these numbers live).
    static constexpr int kEnter = 13, kEscape = 27, kTab = 9, kBackspace = 8;

    // GLUT special-key codes (freeglut), kept here so the config module needs no GLUT header.
    static constexpr int kGlutF1 = 1, kGlutF12 = 12;
    static constexpr int kGlutLeft = 100, kGlutUp = 101, kGlutRight = 102, kGlutDown = 103;
    static constexpr int kGlutPageUp = 104, kGlutPageDown = 105, kGlutInsert = 108;

    static int special(int glutCode) { return kSpecialBase + glutCode; }
    static bool isSpecial(int code) { return code >= kSpecialBase; }

    // The code of a value from playerconfig.ini: a single character stands for itself (as written:
    // "W" is 87), anything longer must be one of the names (any case); kNone otherwise.
    static int fromValue(const std::string &value);
    // The name written for a code: the key's name when it has one, else the character itself; empty
    // for a code the file cannot name.
    static std::string toValue(int code);
    // What the player reads on the screen: "W", "Space", "Up", "F5", "+".
    static std::string display(int code);

    // The table code of a typed character: letters count as the same key with or without Shift, and
    // with Ctrl held the control characters 1..26 are taken back to their letters.
    static int character(unsigned char typed, bool ctrlHeld);
    // A letter of either case as its lower-case code; every other code unchanged.
    static int fold(int code);
};

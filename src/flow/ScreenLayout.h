#pragma once

#include "flow/MenuPage.h"

class Highscore;
class PadBindings;
class PlayerConfig;

// Where the menu's screens put their rows and their back button, for drawing and for the mouse
// alike, and the pages of the screens that only show something (Help, Highscores, name entry).
class ScreenLayout {
  public:
    static constexpr float kTitleY = 0.30f;    // title baseline, share of the height
    static constexpr float kFirstRowY = 0.37f; // first row's baseline
    static constexpr float kRowStep = 0.036f;  // between rows
    static constexpr float kBackY = 0.93f;     // back button baseline

    struct Rect {
        float left, top, right, bottom;
        bool contains(int x, int y) const { return left <= x && x < right && top <= y && y < bottom; }
    };

    // Row `index` of column `column` (0 left, 1 right; a single column is centred when `columns` is 1).
    static Rect rowRect(int index, int column, int columns, int width, int height);
    static Rect backRect(int width, int height);
    static Rect actionRect(int width, int height); // a page's second button, right of the back button

    static constexpr float kHelpStep = 0.030f; // between the Help screen's lines, which are many

    static MenuPage help(const PlayerConfig &keys, const PadBindings &pad, int width, int height);
    static MenuPage help(const PlayerConfig &keys, int width, int height); // the pad as it comes
    // The name being entered; its last letter, the one the pad's Up and Down turn, in brackets.
    static MenuPage highscores(const Highscore &table, int width, int height);
    static MenuPage nameEntry(const std::string &name, int score, int player, int width, int height);
};

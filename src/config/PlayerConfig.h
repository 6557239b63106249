#pragma once

#include <array>
#include <string>

// Key bindings of the two human players who share the keyboard, the minimap, pause and zoom keys,
// and the names of up to four players (the third and fourth play with pads).
// Every key is a key-table code (see KeyNames.h): characters 0..255, special keys from 256 up.
class PlayerConfig {
  public:
    // Every bound action, in the order of the file and of the Options screen.
    enum Action {
        kUp1,
        kDown1,
        kLeft1,
        kRight1,
        kShoot1,
        kUp2,
        kDown2,
        kLeft2,
        kRight2,
        kShoot2,
        kMap,
        kPause,
        kZoomIn,
        kZoomOut,
        kZoomIn2,
        kZoomOut2,
        kScreenshot, // saves a picture of the window
        kActionCount
    };
    static constexpr int kPlayerActions = 10; // the first ten actions belong to the players
    static constexpr int kNamedPlayers = 4;   // players with a name

    static const char *fileKey(Action action); // "buttonup1", ..., "zoomout"
    static const char *label(Action action);   // "Player 1 forward", ...
    // W A S D Space, the arrows and Enter, m, p, + and -, Page Up and Page Down, Insert.
    static PlayerConfig defaults();
    // Keys a file may leave out (older files): they take their default.
    static bool isOptional(Action action) {
        return action == kPause || action == kZoomIn2 || action == kZoomOut2 || action == kScreenshot;
    }

    int getKey(Action action) const { return keysByAction[action]; }
    void setKey(Action action, int code) { keysByAction[action] = code; }
    // The first action other than `except` bound to `code`, or kActionCount. Letters of either
    // case are the same key.
    Action actionFor(int code, Action except = kActionCount) const;
    // The first pair of actions bound to the same key: true with `first` and `second` set.
    bool findConflict(Action &first, Action &second) const;
    void useDefaultKeys(); // every key as in defaults(); names kept

    int getLeftButton1() const { return keysByAction[kLeft1]; }
    void setLeftButton1(int c) { keysByAction[kLeft1] = c; }
    int getRightButton1() const { return keysByAction[kRight1]; }
    void setRightButton1(int c) { keysByAction[kRight1] = c; }
    int getDownButton1() const { return keysByAction[kDown1]; }
    void setDownButton1(int c) { keysByAction[kDown1] = c; }
    int getUpButton1() const { return keysByAction[kUp1]; }
    void setUpButton1(int c) { keysByAction[kUp1] = c; }
    int getShootButton1() const { return keysByAction[kShoot1]; }
    void setShootButton1(int c) { keysByAction[kShoot1] = c; }

    int getLeftButton2() const { return keysByAction[kLeft2]; }
    void setLeftButton2(int c) { keysByAction[kLeft2] = c; }
    int getRightButton2() const { return keysByAction[kRight2]; }
    void setRightButton2(int c) { keysByAction[kRight2] = c; }
    int getUpButton2() const { return keysByAction[kUp2]; }
    void setUpButton2(int c) { keysByAction[kUp2] = c; }
    int getDownButton2() const { return keysByAction[kDown2]; }
    void setDownButton2(int c) { keysByAction[kDown2] = c; }
    int getShootButton2() const { return keysByAction[kShoot2]; }
    void setShootButton2(int c) { keysByAction[kShoot2] = c; }

    int getMapButton() const { return keysByAction[kMap]; }
    void setMapButton(int c) { keysByAction[kMap] = c; }
    int getPauseButton() const { return keysByAction[kPause]; }
    void setPauseButton(int c) { keysByAction[kPause] = c; }
    int getZoomIn() const { return keysByAction[kZoomIn]; }
    void setZoomIn(int c) { keysByAction[kZoomIn] = c; }
    int getZoomOut() const { return keysByAction[kZoomOut]; }
    void setZoomOut(int c) { keysByAction[kZoomOut] = c; }
    int getZoomIn2() const { return keysByAction[kZoomIn2]; } // player two's camera
    void setZoomIn2(int c) { keysByAction[kZoomIn2] = c; }
    int getZoomOut2() const { return keysByAction[kZoomOut2]; }
    void setZoomOut2(int c) { keysByAction[kZoomOut2] = c; }
    int getScreenshotButton() const { return keysByAction[kScreenshot]; }

    // Player `player`'s name, 0..3; "" for any other number.
    const std::string &getPlayerName(int player) const;
    void setPlayerName(int player, const std::string &s); // ignored for a player out of 0..3
    // The name a player has when the file gives none: "Player Three", "Player Four".
    static std::string defaultName(int player);
    const std::string &getPlayerName1() const { return names[0]; }
    void setPlayerName1(const std::string &s) { names[0] = s; }
    const std::string &getPlayerName2() const { return names[1]; }
    void setPlayerName2(const std::string &s) { names[1] = s; }

  private:
    std::array<int, kActionCount> keysByAction{}; // key-table code per action
    std::array<std::string, kNamedPlayers> names; // shown in the HUD, the default highscore name
};

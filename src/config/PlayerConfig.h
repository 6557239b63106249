#pragma once

#include <string>

// Key bindings of the two human players, the minimap and zoom keys, and the player names.
// Every key is a character code from 0 to 127 (the reader rejects anything else), so it can
// index the key table safely after the signed 8-bit conversion.
class PlayerConfig {
  public:
    char getLeftButton1() const { return leftButton1; }
    void setLeftButton1(char c) { leftButton1 = c; }
    char getRightButton1() const { return rightButton1; }
    void setRightButton1(char c) { rightButton1 = c; }
    char getDownButton1() const { return downButton1; }
    void setDownButton1(char c) { downButton1 = c; }
    char getUpButton1() const { return upButton1; }
    void setUpButton1(char c) { upButton1 = c; }
    char getShootButton1() const { return shootButton1; }
    void setShootButton1(char c) { shootButton1 = c; }

    char getLeftButton2() const { return leftButton2; }
    void setLeftButton2(char c) { leftButton2 = c; }
    char getRightButton2() const { return rightButton2; }
    void setRightButton2(char c) { rightButton2 = c; }
    char getUpButton2() const { return upButton2; }
    void setUpButton2(char c) { upButton2 = c; }
    char getDownButton2() const { return downButton2; }
    void setDownButton2(char c) { downButton2 = c; }
    char getShootButton2() const { return shootButton2; }
    void setShootButton2(char c) { shootButton2 = c; }

    char getMapButton() const { return mapButton; }
    void setMapButton(char c) { mapButton = c; }
    char getZoomIn() const { return zoomIn; }
    void setZoomIn(char c) { zoomIn = c; }
    char getZoomOut() const { return zoomOut; }
    void setZoomOut(char c) { zoomOut = c; }

    const std::string &getPlayerName1() const { return playerName1; }
    void setPlayerName1(const std::string &s) { playerName1 = s; }
    const std::string &getPlayerName2() const { return playerName2; }
    void setPlayerName2(const std::string &s) { playerName2 = s; }

  private:
    char leftButton1 = 0;    // key code: player 1 turns left
    char rightButton1 = 0;   // key code: player 1 turns right
    char downButton1 = 0;    // key code: player 1 backwards
    char upButton1 = 0;      // key code: player 1 forwards
    char shootButton1 = 0;   // key code: player 1 fires
    char leftButton2 = 0;    // key code: player 2 turns left
    char rightButton2 = 0;   // key code: player 2 turns right
    char upButton2 = 0;      // key code: player 2 forwards
    char downButton2 = 0;    // key code: player 2 backwards
    char shootButton2 = 0;   // key code: player 2 fires
    char mapButton = 0;      // key code: minimap (kept; the game uses a fixed key)
    char zoomIn = 0;         // key code: camera closer
    char zoomOut = 0;        // key code: camera farther
    std::string playerName1; // shown nowhere yet
    std::string playerName2;
};

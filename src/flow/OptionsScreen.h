#pragma once

#include "config/PlayerConfig.h"
#include "config/Settings.h"
#include "flow/MenuPage.h"

#include <string>

// The Options screen's logic: a cursor over the settings, the pad buttons and the keys, changing a
// value, and taking a new key or pad button by its press, refusing one already in use. The rows
// fill two pages of two columns: the settings and the pad on the first, the keys on the second;
// the cursor's page is shown. Works on copies; whoever opened the screen takes them back when it
// is left.
class OptionsScreen {
  public:
    static constexpr int kSettingRows = 15;      // rows 0..14: the settings
    static constexpr int kPadRow = kSettingRows; // the pad buttons, in PadBindings' order
    static constexpr int kKeyRow = kPadRow + PadBindings::kActionCount; // the keys, in PlayerConfig's order
    static constexpr int kRowCount = kKeyRow + PlayerConfig::kActionCount;
    static constexpr int kPages = 2;
    static constexpr int kDeadZoneStep = 2; // percent per press

    struct Window {
        int width = 1024, height = 768; // pixels
        bool fullscreen = false;
    };

    void open(const Settings &settings, const PlayerConfig &keys, const Window &window);
    const Settings &getSettings() const { return settings; }
    const PlayerConfig &getKeys() const { return keys; }
    const Window &getWindow() const { return window; }

    // A key press (key-table code): arrows move the cursor, Left and Right change a setting, Enter
    // changes it or starts taking a key or a pad button, Page Up and Page Down turn the page.
    // While a key is taken, the press is the new key; while a pad button is taken, Escape cancels
    // and other keys wait. True when the screen is to be left (Escape, not while taking either).
    bool keyDown(int code);
    // A pad's button pressed: true when the screen took it as the binding of the cursor's row; false
    // when it takes no pad button now, so that the press counts as the key it stands for.
    bool padButton(PadButton button);
    // A click's release on row `row` (from rowAt): moves the cursor there and changes or takes it.
    void click(int row);
    int rowAt(int x, int y, int width, int height) const; // a row of the page shown; -1 when on none
    void turnPage();                                      // the cursor to the first row of the other page

    int getCursor() const { return cursor; }
    int getPage() const { return pageOf(cursor); }
    static int pageOf(int row);
    bool isTakingKey() const { return takingKey; }
    bool isTakingPadButton() const { return takingPad; }
    const std::string &getMessage() const { return message; }
    std::string rowText(int row) const;
    MenuPage page(int width, int height) const;

  private:
    struct Place {
        int page, column, index; // index: the row within its column
    };
    static Place placeOf(int row);
    void change(int row, int step); // a setting moves by `step`; a key or pad row starts taking one
    void takeKey(int code);

    Settings settings;      // the copy being changed
    PlayerConfig keys;      // the copy being changed
    Window window;          // window size or full screen, used at the next start
    int cursor = 0;         // row under the cursor
    bool takingKey = false; // the next key press becomes the binding of the cursor's row
    bool takingPad = false; // the next pad button becomes the binding of the cursor's row
    std::string message;    // the last refusal or hint
};

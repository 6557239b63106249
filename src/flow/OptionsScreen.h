#pragma once

#include "config/PlayerConfig.h"
#include "config/Settings.h"
#include "flow/MenuPage.h"

#include <string>

// The Options screen's logic: a cursor over the settings (left column) and the keys (right column),
// changing a value, and taking a new key by its press, refusing one already in use. Works on
// copies; whoever opened the screen takes them back when it is left.
class OptionsScreen {
  public:
    static constexpr int kSettingRows = 13;
    static constexpr int kRowCount = kSettingRows + PlayerConfig::kActionCount;

    struct Window {
        int width = 1024, height = 768; // pixels
        bool fullscreen = false;
    };

    void open(const Settings &settings, const PlayerConfig &keys, const Window &window);
    const Settings &getSettings() const { return settings; }
    const PlayerConfig &getKeys() const { return keys; }
    const Window &getWindow() const { return window; }

    // A key press (key-table code): arrows move the cursor, Left and Right change a setting, Enter
    // changes it or starts taking a key. While a key is taken, the press is the new key. True when
    // the screen is to be left (Escape, not while taking a key).
    bool keyDown(int code);
    // A click's release on row `row` (from rowAt): moves the cursor there and changes or takes it.
    void click(int row);
    static int rowAt(int x, int y, int width, int height); // -1 when on no row

    int getCursor() const { return cursor; }
    bool isTakingKey() const { return takingKey; }
    const std::string &getMessage() const { return message; }
    std::string rowText(int row) const;
    MenuPage page(int width, int height) const;

  private:
    void change(int row, int step); // a setting moves by `step`; a key row starts taking a key
    void takeKey(int code);

    Settings settings;      // the copy being changed
    PlayerConfig keys;      // the copy being changed
    Window window;          // window size or full screen, used at the next start
    int cursor = 0;         // row under the cursor
    bool takingKey = false; // the next key press becomes the binding of the cursor's row
    std::string message;    // the last refusal or hint
};

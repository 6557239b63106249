#pragma once

#include <string>
#include <vector>

// What one of the menu's screens shows, in window pixels from the top-left corner: built by the
// screens' logic without a window and drawn by MainMenu::drawPage.
struct PageRow {
    float x = 0, y = 0;       // baseline start, pixels
    std::string text;         // one line
    bool highlighted = false; // the row under the cursor
    bool large = false;       // drawn in the larger font
};

struct MenuPage {
    std::string title;         // centred at the top
    std::vector<PageRow> rows; // every line of the screen
    std::string message;       // a line above the back button; empty for none
    bool backHover = false;    // the pointer is on the back button
    bool backButton = true;    // the screen has a back button
};

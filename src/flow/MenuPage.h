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

// A spot on a page's picture: a tank or an object of a level seen from above.
struct PageMarker {
    float x = 0, y = 0;                 // position on the picture, 0..1 from its top-left corner
    float red = 1, green = 1, blue = 1; // colour, 0..1
    float size = 4;                     // dot side, pixels
};

// A square picture on a page: a texture of the registry with markers over it.
struct PagePicture {
    std::string texture;               // texture file name; empty: no picture
    float left = 0, top = 0, side = 0; // pixels
    std::vector<PageMarker> markers;   // drawn over the texture in order
};

struct MenuPage {
    std::string title;         // centred at the top
    std::vector<PageRow> rows; // every line of the screen
    std::string message;       // a line above the back button; empty for none
    bool backHover = false;    // the pointer is on the back button
    bool backButton = true;    // the screen has a back button
    std::string actionLabel;   // a second button (ScreenLayout::actionRect); empty: none
    bool actionHover = false;  // the pointer is on that button
    PagePicture picture;       // drawn when it names a texture
};

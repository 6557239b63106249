#pragma once

#include "config/MainMenuDefinition.h"

#include <vector>

struct MenuPage;
struct PagePicture;

class GameClass;
class DevilImageDefinition;

// The main menu: a background stretched over the window and six picture
// items (game, options, help, exit, highscore, network game), each with a
// hover picture. The layout is given for a definition resolution and scaled to
// the window; items are always centred horizontally. An item the layout gives
// no picture is neither drawn nor hit.
class MainMenu {
  public:
    enum Item { kNone = 0, kGame = 1, kOptions = 2, kHelp = 3, kExit = 4, kHighscore = 5, kNetwork = 6 };

    // An item's rectangle in window pixels (y grows downwards).
    struct Rect {
        double left, right, top, bottom;
        bool contains(int x, int y) const { return left < x && x < right && top < y && y < bottom; }
    };

    MainMenu(); // reads data/config/mainmenu.ini
    explicit MainMenu(const MainMenuDefinition &layout);

    void setGameClass(GameClass *session) { gc = session; }
    void setResolution(int width, int height);
    void setHoverElement(int item) { hoverElement = item; }
    int getHoverElement() const { return hoverElement; }
    const MainMenuDefinition &getLayout() const { return layout; }

    void draw();   // draws the whole menu and swaps the buffers
    // One of the menu's screens over the menu's background: title, rows, message and a back
    // button; swaps the buffers.
    void drawPage(const MenuPage &page);
    void drawPicture(const PagePicture &picture); // a page's picture with its markers, in window pixels
    void initGL(); // 2D state: pixel projection from the top-left corner, alpha-tested pictures
    void drawBack(unsigned int texture, DevilImageDefinition *image, int x1, int y1, int x2, int y2);
    void drawElement(unsigned int texture, DevilImageDefinition *image, double widthFactor, double top,
                     int pictureWidth, int pictureHeight);

    // The items shown, from the top of the window down, as the arrow keys walk them; items at the
    // same height in the order of their numbers.
    std::vector<int> itemOrder() const;
    Rect itemRect(int item) const;
    // The first item shown under the point in the order of their numbers; kNone if none.
    int itemAt(int x, int y) const;
    bool isGame(int x, int y) const { return itemRect(kGame).contains(x, y); }
    bool isOption(int x, int y) const { return itemRect(kOptions).contains(x, y); }
    bool isHelp(int x, int y) const { return itemRect(kHelp).contains(x, y); }
    bool isExit(int x, int y) const { return itemRect(kExit).contains(x, y); }
    bool isHighscore(int x, int y) const { return itemRect(kHighscore).contains(x, y); }
    bool isNetwork(int x, int y) const {
        return layout.hasItem(kNetwork) && itemRect(kNetwork).contains(x, y);
    }

    void freeImages(); // frees the background and the items' normal pictures

  private:
    std::vector<int> shownItems() const; // the items with a picture, in the order of their numbers

    Rect elementRect(double widthFactor, double top, int pictureWidth, int pictureHeight) const;

    MainMenuDefinition layout;  // positions, sizes and picture names
    GameClass *gc = nullptr;    // the session whose textures are drawn; not owned
    int iWidth = 0, iHeight = 0; // window size, pixels
    int hoverElement = kNone;    // item under the mouse or the keys' cursor
};

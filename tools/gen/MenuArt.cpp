#include "MenuArt.h"

#include "MenuBackground.h"
#include "MenuItemArt.h"

namespace {

const char *const kFontFile = "DejaVuSans-Bold.ttf";

struct MenuItem {
    const char *label; // the word on the plaque
    const char *file;  // file name stem; "_hover" is added for the lit picture
};

// In the order of the menu's item numbers: 1 game, 2 options, 3 help, 4 exit, 5 highscore,
// 6 network game.
const MenuItem kItems[] = {
    {"NEW GAME", "menu_newgame"}, {"OPTIONS", "menu_options"},       {"HELP", "menu_help"},
    {"EXIT", "menu_exit"},        {"HIGHSCORES", "menu_highscores"}, {"NETWORK GAME", "menu_network"},
};

} // namespace

bool MenuArt::generate(ArtContext &context) {
    const Font *font = context.font(kFontFile);
    if (!font)
        return false;
    bool ok = context.saveTexture(MenuBackground(*font).paint(), "menu_background.png", 3, true);
    for (const MenuItem &item : kItems) {
        const MenuItemArt art(*font, item.label);
        ok = context.saveTexture(art.paint(false), std::string(item.file) + ".png", 4, false) && ok;
        ok = context.saveTexture(art.paint(true), std::string(item.file) + "_hover.png", 4, false) && ok;
    }
    return ok;
}

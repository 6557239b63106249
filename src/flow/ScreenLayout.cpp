#include "flow/ScreenLayout.h"

#include "config/KeyNames.h"
#include "config/PadBindings.h"
#include "config/PlayerConfig.h"
#include "menu/Highscore.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

ScreenLayout::Rect ScreenLayout::rowRect(int index, int column, int columns, int width, int height) {
    const float columnWidth = columns == 1 ? 0.6f * width : 0.44f * width;
    const float left = columns == 1 ? 0.2f * width : (column == 0 ? 0.05f : 0.51f) * width;
    const float baseline = (kFirstRowY + kRowStep * index) * height;
    return {left, baseline - kRowStep * height * 0.75f, left + columnWidth,
            baseline + kRowStep * height * 0.25f};
}

ScreenLayout::Rect ScreenLayout::backRect(int width, int height) {
    return {0.4f * width, (kBackY - 0.04f) * height, 0.6f * width, (kBackY + 0.015f) * height};
}

ScreenLayout::Rect ScreenLayout::actionRect(int width, int height) {
    const Rect back = backRect(width, height);
    return {0.66f * width, back.top, 0.86f * width, back.bottom};
}

namespace {
PageRow row(int index, int column, int columns, int width, int height, const std::string &text) {
    const ScreenLayout::Rect r = ScreenLayout::rowRect(index, column, columns, width, height);
    PageRow out;
    out.x = r.left + 6;
    out.y = (ScreenLayout::kFirstRowY + ScreenLayout::kRowStep * index) * height;
    out.text = text;
    return out;
}

std::string keysOf(const PlayerConfig &keys, PlayerConfig::Action up) {
    std::string text;
    const char *words[] = {"forward ", ", backward ", ", left ", ", right ", ", fire "};
    for (int i = 0; i < 5; ++i)
        text += words[i] + KeyNames::display(keys.getKey(static_cast<PlayerConfig::Action>(up + i)));
    return text;
}
} // namespace

MenuPage ScreenLayout::help(const PlayerConfig &keys, int width, int height) {
    return help(keys, PadBindings::defaults(), width, height);
}

MenuPage ScreenLayout::help(const PlayerConfig &keys, const PadBindings &pad, int width, int height) {
    MenuPage page;
    page.title = "Help";
    auto button = [&pad](PadBindings::Action action) { return std::string(padButtonLabel(pad.get(action))); };
    const std::string lines[] = {
        "Destroy every computer tank. Two players share the keyboard:",
        "the last tank standing wins; if no player's tank is left, the mission fails.",
        "Network Game: one machine hosts a battle, the others join it by its address.",
        keys.getPlayerName1() + ": " + keysOf(keys, PlayerConfig::kUp1),
        keys.getPlayerName2() + ": " + keysOf(keys, PlayerConfig::kUp2),
        "Pause: " + KeyNames::display(keys.getPauseButton()) + "    Minimap: " +
            KeyNames::display(keys.getMapButton()) + "    Zoom: " + KeyNames::display(keys.getZoomIn()) +
            " and " + KeyNames::display(keys.getZoomOut()) + "    Escape: back to the menu",
        "Camera: drag with the right mouse button; " + keys.getPlayerName2() + " zooms with " +
            KeyNames::display(keys.getZoomIn2()) + " and " + KeyNames::display(keys.getZoomOut2()),
        "Up to four players play with pads; two of them may use the keyboard instead.",
        "Pads: the left stick or the d-pad drives, " + button(PadBindings::kFire) + " or " +
            button(PadBindings::kFireAlt) + " fires, " + button(PadBindings::kZoomOut) + " and " +
            button(PadBindings::kZoomIn) + " zoom,",
        "the right stick turns the camera, " + button(PadBindings::kPause) + " pauses, " +
            button(PadBindings::kLeave) + " leaves the battle.",
        "In the menus the d-pad or the stick moves, A chooses, B goes back.",
        "Press A or Start on a pad in the level choice to join as the next player.",
        "F1 help line, F2 frame rate, F3 wire frame, F4 texture quality, F5 mip-mapping,",
        "F6 render path, F7 display lists, F8 culling, F9 transparency, F10 light maps,",
        "F11 shadows, F12 the computer tanks' obstacle map over the minimap",
        "Points: hit 10, computer tank 100, the other player's tank 250,",
        "winning 500 and 5 for every second left of the level's par time.",
    };
    // The story, the keyboard, the pads and the rest, each group a little apart.
    const std::size_t groupEnds[] = {2, 6, 11};
    float baseline = kFirstRowY - 0.01f;
    for (std::size_t i = 0; i < std::size(lines); ++i) {
        PageRow out;
        out.x = 0.08f * width;
        out.y = baseline * height;
        out.text = lines[i];
        page.rows.push_back(out);
        baseline += kHelpStep;
        if (std::find(std::begin(groupEnds), std::end(groupEnds), i) != std::end(groupEnds))
            baseline += 0.01f;
    }
    return page;
}

MenuPage ScreenLayout::highscores(const Highscore &table, int width, int height) {
    MenuPage page;
    page.title = "Highscores";
    const HighscoreElement *entries = table.getAllHighscoreElements();
    if (entries == nullptr) {
        page.rows.push_back(row(0, 0, 1, width, height, "No scores yet: win a battle to be the first."));
        return page;
    }
    int rank = 1;
    for (int i = table.getSize(); i >= 0 && rank <= Highscore::kKept; --i, ++rank) {
        char text[96];
        std::snprintf(text, sizeof text, "%2d.  %-29s %8d", rank, entries[i].getName(),
                      entries[i].getPunkte());
        page.rows.push_back(row(rank - 1, 0, 1, width, height, text));
    }
    return page;
}

MenuPage ScreenLayout::nameEntry(const std::string &name, int score, int player, int width, int height) {
    MenuPage page;
    page.title = "New highscore!";
    page.backButton = false; // Enter saves, Escape skips
    char text[96];
    std::snprintf(text, sizeof text, "Player %d, your %d points enter the table.", player + 1, score);
    page.rows.push_back(row(0, 0, 1, width, height, text));
    page.rows.push_back(row(1, 0, 1, width, height, "Type your name and press Enter (Escape skips):"));
    page.rows.push_back(
        row(2, 0, 1, width, height, "On a pad: Up and Down turn the letter in brackets, Right adds one."));
    const std::string shown =
        name.empty() ? "[ ]" : name.substr(0, name.size() - 1) + "[" + name.back() + "]";
    PageRow field = row(4, 0, 1, width, height, shown);
    field.large = true;
    field.highlighted = true;
    page.rows.push_back(field);
    return page;
}

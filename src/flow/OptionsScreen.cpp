#include "flow/OptionsScreen.h"

#include "config/KeyNames.h"
#include "flow/ScreenLayout.h"

namespace {
const char *const kRenderPaths[] = {"immediate", "display lists", "vertex arrays", "vertex buffers"};
const char *const kTextureQualities[] = {"linear", "nearest"};
const char *const kMipModes[] = {"off", "nearest", "linear"};
struct WindowChoice {
    int width, height;
    bool fullscreen;
};
const WindowChoice kWindows[] = {
    {800, 600, false}, {1024, 768, false}, {1280, 1024, false}, {1024, 768, true}};
constexpr int kWindowChoices = 4;

int cycle(int value, int step, int count) {
    return ((value + step) % count + count) % count;
}
int volume(int value, int step) {
    const int next = value + 10 * step;
    return next > 100 ? 0 : next < 0 ? 100 : next;
}
const char *onOff(bool on) {
    return on ? "on" : "off";
}
int deadZone(int value, int step) {
    const int next = value + OptionsScreen::kDeadZoneStep * step;
    return next > Settings::kMaxDeadZone ? 0 : next < 0 ? Settings::kMaxDeadZone : next;
}
bool onDpad(PadButton button) {
    return button == PadButton::DpadUp || button == PadButton::DpadDown || button == PadButton::DpadLeft ||
           button == PadButton::DpadRight;
}

// Where the rows stand: the first page holds the settings, thirteen on the left and the rest with
// the pad buttons on the right; the second the keys, the players' driving keys on the left.
constexpr int kLeftSettings = 13;
constexpr int kLeftKeys = PlayerConfig::kPlayerActions;
} // namespace

OptionsScreen::Place OptionsScreen::placeOf(int row) {
    if (row < kLeftSettings)
        return {0, 0, row};
    if (row < kKeyRow)
        return {0, 1, row - kLeftSettings};
    if (row < kKeyRow + kLeftKeys)
        return {1, 0, row - kKeyRow};
    return {1, 1, row - kKeyRow - kLeftKeys};
}

int OptionsScreen::pageOf(int row) {
    return placeOf(row).page;
}

void OptionsScreen::open(const Settings &s, const PlayerConfig &k, const Window &w) {
    settings = s;
    keys = k;
    window = w;
    cursor = 0;
    takingKey = false;
    takingPad = false;
    message.clear();
}

bool OptionsScreen::keyDown(int code) {
    if (takingKey) {
        takeKey(code);
        return false;
    }
    if (takingPad) {
        if (code == KeyNames::kEscape) {
            takingPad = false;
            message.clear();
        }
        return false;
    }
    message.clear();
    if (code == KeyNames::kEscape)
        return true;
    if (code == KeyNames::special(KeyNames::kGlutPageUp) ||
        code == KeyNames::special(KeyNames::kGlutPageDown)) {
        if (getPage() != (code == KeyNames::special(KeyNames::kGlutPageUp) ? 0 : 1))
            turnPage();
    } else if (code == KeyNames::special(KeyNames::kGlutUp))
        cursor = cycle(cursor, -1, kRowCount);
    else if (code == KeyNames::special(KeyNames::kGlutDown))
        cursor = cycle(cursor, 1, kRowCount);
    else if (code == KeyNames::special(KeyNames::kGlutLeft) && cursor < kSettingRows)
        change(cursor, -1);
    else if (code == KeyNames::special(KeyNames::kGlutRight) || code == KeyNames::kEnter || code == ' ')
        change(cursor, 1);
    return false;
}

bool OptionsScreen::padButton(PadButton button) {
    if (!takingPad || static_cast<int>(button) < 0 || button >= PadButton::Count)
        return false;
    takingPad = false;
    const auto action = static_cast<PadBindings::Action>(cursor - kPadRow);
    PadBindings buttons = settings.getPadBindings();
    const std::string name = padButtonLabel(button);
    if (onDpad(button)) {
        message = name + " drives the tank; the button stays as it was.";
        return true;
    }
    const PadBindings::Action other = buttons.actionFor(button, action);
    if (other != PadBindings::kActionCount) {
        message = name + " is already used for " + PadBindings::label(other) + ".";
        return true;
    }
    buttons.set(action, button);
    settings.setPadBindings(buttons);
    message = std::string(PadBindings::label(action)) + " is now " + name + ".";
    return true;
}

void OptionsScreen::click(int row) {
    if (row < 0 || row >= kRowCount)
        return;
    if (takingKey || takingPad)
        return; // a click is no key
    message.clear();
    cursor = row;
    change(row, 1);
}

int OptionsScreen::rowAt(int x, int y, int width, int height) const {
    for (int row = 0; row < kRowCount; ++row) {
        const Place place = placeOf(row);
        if (place.page == getPage() &&
            ScreenLayout::rowRect(place.index, place.column, 2, width, height).contains(x, y))
            return row;
    }
    return -1;
}

void OptionsScreen::turnPage() {
    if (takingKey || takingPad)
        return;
    message.clear();
    cursor = getPage() == 0 ? kKeyRow : 0;
}

void OptionsScreen::change(int row, int step) {
    switch (row) {
    case 0:
        settings.setShadows(!settings.getShadows());
        break;
    case 1:
        settings.setLightMaps(!settings.getLightMaps());
        break;
    case 2:
        settings.setRenderMode(cycle(settings.getRenderMode(), step, 4));
        break;
    case 3:
        settings.setTextureQuality(cycle(settings.getTextureQuality(), step, 2));
        break;
    case 4:
        settings.setMipMapping(cycle(settings.getMipMapping(), step, 3));
        break;
    case 5:
        settings.setMiniMapAlways(!settings.getMiniMapAlways());
        break;
    case 6: {
        int current = 1;
        for (int i = 0; i < kWindowChoices; ++i)
            if (kWindows[i].width == window.width && kWindows[i].height == window.height &&
                kWindows[i].fullscreen == window.fullscreen)
                current = i;
        const WindowChoice &next = kWindows[cycle(current, step, kWindowChoices)];
        window = {next.width, next.height, next.fullscreen};
        message = "The window changes at the next start.";
        break;
    }
    case 7:
        settings.setDifficulty(static_cast<AiDifficulty>(
            cycle(static_cast<int>(settings.getDifficulty()), step, kDifficultyCount)));
        break;
    case 8:
        settings.setMasterVolume(volume(settings.getMasterVolume(), step));
        break;
    case 9:
        settings.setEffectsVolume(volume(settings.getEffectsVolume(), step));
        break;
    case 10:
        settings.setEngineVolume(volume(settings.getEngineVolume(), step));
        break;
    case 11:
        settings.setMute(!settings.getMute());
        break;
    case 12:
        settings.setSplitStacked(!settings.getSplitStacked());
        break;
    case 13:
        settings.setDeadZone(deadZone(settings.getDeadZone(), step));
        break;
    case 14:
        settings.setRumble(!settings.getRumble());
        break;
    default:
        if (row < kKeyRow) {
            takingPad = true;
            message = std::string("Press the new pad button for ") +
                      PadBindings::label(static_cast<PadBindings::Action>(row - kPadRow)) +
                      " (Escape cancels)";
        } else {
            takingKey = true;
            message = std::string("Press the new key for ") +
                      PlayerConfig::label(static_cast<PlayerConfig::Action>(row - kKeyRow)) +
                      " (Escape cancels)";
        }
        break;
    }
}

void OptionsScreen::takeKey(int code) {
    takingKey = false;
    const auto action = static_cast<PlayerConfig::Action>(cursor - kKeyRow);
    if (code == KeyNames::kEscape) {
        message.clear();
        return;
    }
    if (code >= KeyNames::special(KeyNames::kGlutF1) && code <= KeyNames::special(KeyNames::kGlutF12)) {
        message = KeyNames::display(code) + " belongs to the function keys; the key stays as it was.";
        return;
    }
    if ((action == PlayerConfig::kZoomIn || action == PlayerConfig::kZoomOut) && (code < 1 || code > 127)) {
        message = "Player 1's zoom keys must be characters; the key stays as it was.";
        return;
    }
    if (action != PlayerConfig::kZoomIn && action != PlayerConfig::kZoomOut &&
        KeyNames::toValue(code).empty()) {
        message = KeyNames::display(code) + " cannot be written into the key file; the key stays as it was.";
        return;
    }
    const PlayerConfig::Action other = keys.actionFor(code, action);
    if (other != PlayerConfig::kActionCount) {
        message = KeyNames::display(code) + " is already used for " + PlayerConfig::label(other) + ".";
        return;
    }
    keys.setKey(action, KeyNames::fold(code));
    message = std::string(PlayerConfig::label(action)) + " is now " + KeyNames::display(code) + ".";
}

std::string OptionsScreen::rowText(int row) const {
    switch (row) {
    case 0:
        return std::string("Shadows: ") + onOff(settings.getShadows());
    case 1:
        return std::string("Light maps: ") + onOff(settings.getLightMaps());
    case 2:
        return std::string("Render path: ") + kRenderPaths[settings.getRenderMode()];
    case 3:
        return std::string("Texture quality: ") + kTextureQualities[settings.getTextureQuality()];
    case 4:
        return std::string("Mip-mapping: ") + kMipModes[settings.getMipMapping()];
    case 5:
        return std::string("Minimap: ") +
               (settings.getMiniMapAlways() ? "always on" : "while its key is held");
    case 6:
        return window.fullscreen
                   ? "Window: full screen"
                   : "Window: " + std::to_string(window.width) + " x " + std::to_string(window.height);
    case 7:
        return std::string("Difficulty: ") + difficultyName(settings.getDifficulty());
    case 8:
        return "Master volume: " + std::to_string(settings.getMasterVolume());
    case 9:
        return "Effects volume: " + std::to_string(settings.getEffectsVolume());
    case 10:
        return "Engine volume: " + std::to_string(settings.getEngineVolume());
    case 11:
        return std::string("Mute: ") + onOff(settings.getMute());
    case 12:
        return std::string("Two players: ") +
               (settings.getSplitStacked() ? "one above the other" : "side by side");
    case 13:
        return "Pad dead zone: " + std::to_string(settings.getDeadZone()) + " %";
    case 14:
        return std::string("Pad rumble: ") + onOff(settings.getRumble());
    default:
        if (row < 0 || row >= kRowCount)
            return "";
        if (row < kKeyRow) {
            const auto action = static_cast<PadBindings::Action>(row - kPadRow);
            const bool taking = takingPad && row == cursor;
            return std::string(PadBindings::label(action)) + ": " +
                   (taking ? "?" : padButtonLabel(settings.getPadBindings().get(action)));
        } else {
            const auto action = static_cast<PlayerConfig::Action>(row - kKeyRow);
            const bool taking = takingKey && row == cursor;
            return std::string(PlayerConfig::label(action)) + ": " +
                   (taking ? "?" : KeyNames::display(keys.getKey(action)));
        }
    }
}

MenuPage OptionsScreen::page(int width, int height) const {
    MenuPage page;
    const int shown = getPage();
    page.title = shown == 0 ? "Options" : "Options: keys";
    page.actionLabel = shown == 0 ? "Keys (PageDown)" : "Settings (PageUp)";
    for (int row = 0; row < kRowCount; ++row) {
        const Place place = placeOf(row);
        if (place.page != shown)
            continue;
        const ScreenLayout::Rect r = ScreenLayout::rowRect(place.index, place.column, 2, width, height);
        PageRow out;
        out.x = r.left + 6;
        out.y = (ScreenLayout::kFirstRowY + ScreenLayout::kRowStep * place.index) * height;
        out.text = rowText(row);
        out.highlighted = row == cursor;
        page.rows.push_back(out);
    }
    page.message = message;
    return page;
}

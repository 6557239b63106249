#include "config/KeyNames.h"

#include <cctype>

namespace {

struct NamedKey {
    const char *name;  // as written in playerconfig.ini
    const char *shown; // as the screens show it
    int code;          // key-table code
};

constexpr int S = KeyNames::kSpecialBase;

// freeglut reports Shift, Ctrl and Alt as special keys 112..117.
const NamedKey kNamedKeys[] = {
    {"up", "Up", S + 101},
    {"down", "Down", S + 103},
    {"left", "Left", S + 100},
    {"right", "Right", S + 102},
    {"pageup", "PageUp", S + 104},
    {"pagedown", "PageDown", S + 105},
    {"home", "Home", S + 106},
    {"end", "End", S + 107},
    {"insert", "Insert", S + 108},
    {"space", "Space", 32},
    {"enter", "Enter", KeyNames::kEnter},
    {"tab", "Tab", KeyNames::kTab},
    {"backspace", "Backspace", KeyNames::kBackspace},
    {"lshift", "Left Shift", S + 112},
    {"rshift", "Right Shift", S + 113},
    {"lctrl", "Left Ctrl", S + 114},
    {"rctrl", "Right Ctrl", S + 115},
    {"lalt", "Left Alt", S + 116},
    {"ralt", "Right Alt", S + 117},
};

std::string lower(const std::string &s) {
    std::string out = s;
    for (char &c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

} // namespace

int KeyNames::fromValue(const std::string &value) {
    if (value.size() == 1)
        return static_cast<unsigned char>(value[0]);
    const std::string name = lower(value);
    for (const NamedKey &key : kNamedKeys)
        if (name == key.name)
            return key.code;
    if (name.size() >= 2 && name.size() <= 3 && name[0] == 'f') {
        int number = 0;
        for (std::size_t i = 1; i < name.size(); ++i) {
            if (!std::isdigit(static_cast<unsigned char>(name[i])))
                return kNone;
            number = number * 10 + (name[i] - '0');
        }
        if (number >= kGlutF1 && number <= kGlutF12 && name[1] != '0')
            return special(number);
    }
    return kNone;
}

std::string KeyNames::toValue(int code) {
    for (const NamedKey &key : kNamedKeys)
        if (key.code == code)
            return key.name;
    if (code >= special(kGlutF1) && code <= special(kGlutF12))
        return "f" + std::to_string(code - kSpecialBase);
    if (code > 32 && code < 127)
        return std::string(1, static_cast<char>(code));
    return ""; // a key the file cannot name
}

std::string KeyNames::display(int code) {
    for (const NamedKey &key : kNamedKeys)
        if (key.code == code)
            return key.shown;
    if (code >= special(kGlutF1) && code <= special(kGlutF12))
        return "F" + std::to_string(code - kSpecialBase);
    if (code == kEscape)
        return "Escape";
    if (code > 32 && code < 127)
        return std::string(1, static_cast<char>(std::toupper(code)));
    if (isSpecial(code))
        return "special key " + std::to_string(code - kSpecialBase);
    return "key " + std::to_string(code);
}

int KeyNames::character(unsigned char typed, bool ctrlHeld) {
    if (ctrlHeld && typed >= 1 && typed <= 26)
        return 'a' + typed - 1;
    return fold(typed);
}

int KeyNames::fold(int code) {
    if (code >= 'A' && code <= 'Z')
        return code - 'A' + 'a';
    return code;
}

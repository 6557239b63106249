#include "flow/NameEntry.h"

bool NameEntry::allowed(unsigned char c) {
    return c >= 32 && c < 127 && c != '#' && c != '=';
}

void NameEntry::start(const std::string &defaultName, int points, int who) {
    name.clear();
    for (char c : defaultName)
        type(static_cast<unsigned char>(c));
    score = points;
    player = who;
}

void NameEntry::type(unsigned char c) {
    if (allowed(c) && name.size() < kMaxLength && !(c == ' ' && name.empty()))
        name += static_cast<char>(c);
}

void NameEntry::backspace() {
    if (!name.empty())
        name.pop_back();
}

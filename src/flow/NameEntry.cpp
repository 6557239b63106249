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

void NameEntry::turnLetter(int step) {
    if (name.empty()) {
        name = "A";
        return;
    }
    const std::string letters = kLetters;
    const int count = static_cast<int>(letters.size());
    const std::size_t at = letters.find(name.back());
    const int from = at != std::string::npos ? static_cast<int>(at) : step > 0 ? count - 1 : 0;
    int index = ((from + step) % count + count) % count;
    if (name.size() == 1 && letters[index] == ' ')
        index = ((index + (step > 0 ? 1 : -1)) % count + count) % count;
    name.back() = letters[index];
}

void NameEntry::addLetter() {
    if (name.size() < kMaxLength)
        name += name.empty() ? 'A' : name.back();
}

std::string NameEntry::finalName() const {
    return name.substr(0, name.find_last_not_of(' ') + 1);
}

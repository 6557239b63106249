#include "menu/Highscore.h"

#include <cstring>

HighscoreElement::HighscoreElement() : punkte(0) {
    std::memset(name, 0, sizeof(name));
}

void HighscoreElement::setName(const char *strName) {
    std::memset(name, 0, sizeof(name));
    if (strName == nullptr) {
        return;
    }
    // strnlen stops at the terminator or at what fits, so a long source is never read to its end.
    std::size_t length = strnlen(strName, kNameSize - 1);
    std::memcpy(name, strName, length);
}

void Highscore::addHighscore(const HighscoreElement &element) {
    std::size_t p = 0;
    while (p < elements.size() && elements[p].getPunkte() <= element.getPunkte()) {
        ++p;
    }
    elements.insert(elements.begin() + static_cast<std::ptrdiff_t>(p), element);
}

const HighscoreElement *Highscore::getAllHighscoreElements() const {
    return elements.empty() ? nullptr : elements.data();
}

bool Highscore::qualifies(int score, int kept) const {
    if (score <= 0 || kept <= 0)
        return false;
    return static_cast<int>(elements.size()) < kept || score > elements.front().getPunkte();
}

void Highscore::keepBest(int kept) {
    if (static_cast<int>(elements.size()) > kept)
        elements.erase(elements.begin(), elements.end() - kept);
}

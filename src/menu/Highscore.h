#pragma once

#include <vector>

// One entry of the highscore table: a score and a short player name.
class HighscoreElement {
  public:
    static constexpr int kNameSize = 30; // bytes in the name field, terminating NUL included

    HighscoreElement();

    int getPunkte() const { return punkte; }
    void setPunkte(int iPunkte) { punkte = iPunkte; }
    const char *getName() const { return name; } // always NUL-terminated
    // Copies at most kNameSize - 1 characters of `strName` (a null pointer gives an empty name) and
    // terminates the field, so neither the source nor the field is ever read or written past its end.
    void setName(const char *strName);

  private:
    int punkte;           // score
    char name[kNameSize]; // player name, NUL-terminated
};

// The highscore table, kept in ascending order of score; equal scores keep their insertion order.
// Each table owns its entries, so copies are independent of each other.
class Highscore {
  public:
    Highscore() = default;

    // Inserts a copy of `element` after every entry whose score is lower or equal.
    void addHighscore(const HighscoreElement &element);

    // The entries, lowest score first; null when the table is empty.
    const HighscoreElement *getAllHighscoreElements() const;
    // Index of the last entry: the number of entries minus one, -1 when empty.
    int getSize() const { return static_cast<int>(elements.size()) - 1; }

    static constexpr int kKept = 10; // entries the game keeps
    // True when `score` would enter the best `kept` entries: a free place, or above the lowest one.
    bool qualifies(int score, int kept = kKept) const;
    // Drops the lowest entries until at most `kept` are left.
    void keepBest(int kept = kKept);

  private:
    std::vector<HighscoreElement> elements; // sorted by score, ascending
};

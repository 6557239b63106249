#pragma once

#include <string>

// The name typed for a new highscore: printable characters up to the length the table holds,
// without "#" and "=", which the file cannot hold; Backspace takes the last one back. Without a
// keyboard the name is spelt letter by letter: Up and Down turn the last letter through the
// alphabet, Right adds a letter, Left takes one back.
class NameEntry {
  public:
    static constexpr std::size_t kMaxLength = 29; // characters
    // What Up and Down turn a letter through, in this order.
    static constexpr const char *kLetters =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 -.!";

    void start(const std::string &defaultName, int score, int player);
    void type(unsigned char c); // a printable character; anything else is ignored
    void backspace();
    // The last letter moves `step` places through kLetters, wrapping around; a letter not in it
    // goes to "A" (up) or to the end (down). An empty name gets its first letter. A name never
    // starts with a blank, so the first letter skips it.
    void turnLetter(int step);
    void addLetter(); // a copy of the last letter, "A" for the first
    const std::string &getName() const { return name; }
    std::string finalName() const; // the name without blanks at its end, as the table keeps it
    int getScore() const { return score; }
    int getPlayer() const { return player; }
    static bool allowed(unsigned char c);

  private:
    std::string name; // typed so far
    int score = 0;    // the points being entered
    int player = 0;   // 0..3, player one to four
};

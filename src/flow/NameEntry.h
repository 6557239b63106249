#pragma once

#include <string>

// The name typed for a new highscore: printable characters up to the length the table holds,
// without "#" and "=", which the file cannot hold; Backspace takes the last one back.
class NameEntry {
  public:
    static constexpr std::size_t kMaxLength = 29; // characters

    void start(const std::string &defaultName, int score, int player);
    void type(unsigned char c); // a printable character; anything else is ignored
    void backspace();
    const std::string &getName() const { return name; }
    int getScore() const { return score; }
    int getPlayer() const { return player; }
    static bool allowed(unsigned char c);

  private:
    std::string name; // typed so far
    int score = 0;    // the points being entered
    int player = 0;   // 0 player one, 1 player two
};

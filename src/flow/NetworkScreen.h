#pragma once

#include "flow/MenuPage.h"

#include <cstddef>
#include <string>
#include <vector>

// The screens on the way into a network battle: the choice between hosting one and joining one,
// the address of the machine to join, and the wait for the other machines. The row chosen and the
// address typed stay for the next time; what the wait shows comes from the network side.
class NetworkScreen {
  public:
    enum Row { kHost, kJoin };
    enum Action { kNothing, kChoose, kBack }; // kChoose: the choice's row, or joining the address
    static constexpr int kRows = 2;
    static constexpr std::size_t kMaxAddress = 64; // characters
    static constexpr int kStatusRows = 12;         // the wait's lines shown at most

    // The choice: Up and Down move (wrapping around), Enter chooses, Escape goes back.
    Action choiceKey(int code);
    // A click's release at (x, y) on a window of width x height pixels: a row is lit and chosen.
    Action choiceClick(int x, int y, int width, int height);
    int getRow() const { return row; }

    // The address: typed letters, digits, '.', ':' and '-' up to kMaxAddress characters, Backspace
    // takes the last one back, Enter joins (not while the field is empty), Escape goes back.
    void openAddress() { message.clear(); }
    Action addressKey(int code, unsigned char typed);
    Action addressClick(int x, int y, int width, int height); // the join button or the back button
    void setAddress(const std::string &text);                 // what an address cannot hold is left out
    const std::string &getAddress() const { return address; }
    static bool allowedInAddress(unsigned char c);
    void setMessage(const std::string &text) { message = text; }

    MenuPage choicePage(int width, int height) const;
    MenuPage addressPage(int width, int height) const;
    // The wait: the network side's lines ("Port 24731", "Waiting for player two"), one a row.
    static MenuPage waitingPage(const std::vector<std::string> &status, int width, int height);

  private:
    int row = kHost;     // the choice's lit row
    std::string address; // "host" or "host:port", kept for the next time
    std::string message; // why joining did not start, or a hint
};

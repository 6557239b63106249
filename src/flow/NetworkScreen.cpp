#include "flow/NetworkScreen.h"

#include "config/KeyNames.h"
#include "flow/ScreenLayout.h"

#include <algorithm>

namespace {
constexpr int kAddressRow = 3; // the field, under two rows of explanation

PageRow centredRow(int index, int width, int height, const std::string &text) {
    const ScreenLayout::Rect r = ScreenLayout::rowRect(index, 0, 1, width, height);
    PageRow out;
    out.x = r.left + 6;
    out.y = (ScreenLayout::kFirstRowY + ScreenLayout::kRowStep * index) * height;
    out.text = text;
    return out;
}
} // namespace

NetworkScreen::Action NetworkScreen::choiceKey(int code) {
    if (code == KeyNames::kEscape)
        return kBack;
    if (code == KeyNames::kEnter)
        return kChoose;
    if (code == KeyNames::special(KeyNames::kGlutUp) || code == KeyNames::special(KeyNames::kGlutDown))
        row = (row + 1) % kRows; // two rows: either arrow goes to the other one
    return kNothing;
}

NetworkScreen::Action NetworkScreen::choiceClick(int x, int y, int width, int height) {
    if (ScreenLayout::backRect(width, height).contains(x, y))
        return kBack;
    for (int index = 0; index < kRows; ++index) {
        if (ScreenLayout::rowRect(index, 0, 1, width, height).contains(x, y)) {
            row = index;
            return kChoose;
        }
    }
    return kNothing;
}

bool NetworkScreen::allowedInAddress(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == ':' || c == '-';
}

void NetworkScreen::setAddress(const std::string &text) {
    address.clear();
    for (char c : text)
        if (allowedInAddress(static_cast<unsigned char>(c)) && address.size() < kMaxAddress)
            address += c;
}

NetworkScreen::Action NetworkScreen::addressKey(int code, unsigned char typed) {
    if (code == KeyNames::kEscape)
        return kBack;
    message.clear();
    if (code == KeyNames::kEnter) {
        if (!address.empty())
            return kChoose;
        message = "Type the address of the machine that hosts the battle";
    } else if (code == KeyNames::kBackspace) {
        if (!address.empty())
            address.pop_back();
    } else if (allowedInAddress(typed) && address.size() < kMaxAddress) {
        address += static_cast<char>(typed);
    }
    return kNothing;
}

NetworkScreen::Action NetworkScreen::addressClick(int x, int y, int width, int height) {
    if (ScreenLayout::backRect(width, height).contains(x, y))
        return kBack;
    if (ScreenLayout::actionRect(width, height).contains(x, y))
        return addressKey(KeyNames::kEnter, 0);
    return kNothing;
}

MenuPage NetworkScreen::choicePage(int width, int height) const {
    MenuPage page;
    page.title = "Network Game";
    const char *const labels[kRows] = {"Host a battle", "Join a battle"};
    for (int index = 0; index < kRows; ++index) {
        PageRow out = centredRow(index, width, height, labels[index]);
        out.highlighted = index == row;
        page.rows.push_back(out);
    }
    page.rows.push_back(centredRow(kRows + 1, width, height,
                                   "Host: choose a battlefield, then wait for the others to join."));
    page.rows.push_back(
        centredRow(kRows + 2, width, height, "Join: type the address of the machine that hosts."));
    return page;
}

MenuPage NetworkScreen::addressPage(int width, int height) const {
    MenuPage page;
    page.title = "Join a battle";
    page.actionLabel = "Join (Enter)";
    page.message = message;
    page.rows.push_back(centredRow(0, width, height, "The address of the machine that hosts the battle,"));
    page.rows.push_back(centredRow(1, width, height, "its name or number, with \":port\" for another port:"));
    PageRow field = centredRow(kAddressRow, width, height, address + "_"); // the cursor after the text
    field.large = true;
    field.highlighted = true;
    page.rows.push_back(field);
    return page;
}

MenuPage NetworkScreen::waitingPage(const std::vector<std::string> &status, int width, int height) {
    MenuPage page;
    page.title = "Network Game";
    const int shown = std::min(kStatusRows, static_cast<int>(status.size()));
    for (int index = 0; index < shown; ++index)
        page.rows.push_back(centredRow(index, width, height, status[index]));
    return page;
}

#include "flow/LevelChoice.h"

#include "config/GamePaths.h"
#include "config/KeyNames.h"
#include "flow/ScreenLayout.h"
#include "game/MapColours.h"
#include "level/PlayerStarts.h"
#include "level/Level.h"

#include <algorithm>
#include <cstdio>

namespace {
constexpr float kPictureTop = 0.33f;  // share of the height
constexpr float kPictureSide = 0.32f; // share of the height
constexpr float kDetailStep = 0.034f; // between the rows under the picture

// The tanks and objects as the minimap shows them in the battle.
PageMarker pageMarker(const LevelChoice::Marker &m, const PagePicture &picture) {
    PageMarker out;
    out.x = m.x;
    out.y = m.y;
    const float *colour = MapColours::kObject;
    switch (m.kind) {
    case LevelChoice::Marker::kObject:
        out.size = 4;
        break;
    case LevelChoice::Marker::kComputer:
        colour = MapColours::kComputer;
        out.size = 7;
        break;
    case LevelChoice::Marker::kPlayerOne:
    case LevelChoice::Marker::kPlayerTwo:
    case LevelChoice::Marker::kPlayerThree:
    case LevelChoice::Marker::kPlayerFour:
        colour = MapColours::player(m.kind - LevelChoice::Marker::kPlayerOne);
        out.size = 8;
        break;
    }
    out.red = colour[0];
    out.green = colour[1];
    out.blue = colour[2];
    out.size *= std::max(1.0f, picture.side / 250.0f);
    return out;
}

std::string minutes(int seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}
} // namespace

LevelChoice::Entry LevelChoice::describe(const std::string &file, const std::string &title,
                                         const Level &level) {
    Entry entry;
    entry.file = file;
    entry.title = title.empty() ? level.getLvlName() : title;
    entry.ground = level.getBGPicture();
    entry.parTime = static_cast<int>(level.getParTime() + 0.5f);
    entry.challenge[0] = level.getChallenge(1);
    entry.challenge[1] = level.getChallenge(2);
    const float width = level.getX2() - level.getX1(), depth = level.getZ2() - level.getZ1();
    auto place = [&](Marker::Kind kind, const ObjectData &object) {
        if (width <= 0 || depth <= 0)
            return;
        const float x = (object.getPos()[0] - level.getX1()) / width;
        const float y = (object.getPos()[2] - level.getZ1()) / depth;
        if (x >= 0 && x <= 1 && y >= 0 && y <= 1)
            entry.markers.push_back({kind, x, y, AiDifficulty::Easy, 1});
    };
    for (const auto &object : level.getObjectDataList())
        place(Marker::kObject, *object);
    for (const auto &vehicle : level.getVehicleDataList()) { // drawn last: over the objects
        const VehicleData::OwnerKind kind = vehicle->getOwnerKind();
        const int player = VehicleData::playerOf(kind);
        if (player >= 0) {
            place(static_cast<Marker::Kind>(Marker::kPlayerOne + player), *vehicle);
        } else if (kind == VehicleData::OwnerKind::Computer) {
            place(Marker::kComputer, *vehicle);
            if (!entry.markers.empty() && entry.markers.back().kind == Marker::kComputer) {
                entry.markers.back().fromDifficulty = vehicle->getFromDifficulty();
                entry.markers.back().fromPlayers = vehicle->getFromPlayers();
            }
            ++entry.computerTanks;
        } // an unknown owner: the battle starts no tank for it
    }
    // Players three and four where the battle starts them in a level that does not place them.
    for (int player = 2; player < 4; ++player)
        if (const auto beside = PlayerStarts::beside(level.getVehicleDataList(), player))
            place(static_cast<Marker::Kind>(Marker::kPlayerOne + player), *beside);
    for (const auto &goal : level.getMissionsZieleList()) {
        if (goal->getName().empty())
            continue;
        entry.goal += (entry.goal.empty() ? "" : ", ") + goal->getName();
    }
    return entry;
}

std::vector<LevelChoice::Entry> LevelChoice::collect(const std::vector<LevelIndex::Entry> *index,
                                                     const std::map<std::string, Level *> &levelFiles,
                                                     const std::function<bool(const std::string &)> &failed,
                                                     const std::string &indexPath) {
    std::vector<Entry> out;
    if (index == nullptr) {
        for (const auto &[file, level] : levelFiles)
            out.push_back(describe(file, "", *level));
        return out;
    }
    for (const LevelIndex::Entry &listed : *index) {
        const auto found = levelFiles.find(listed.file);
        if (found != levelFiles.end()) {
            out.push_back(describe(listed.file, listed.title, *found->second));
        } else if (failed && failed(listed.file)) {
            std::printf("Level choice: %s did not load; left out\n", (GamePaths::current().data("level/" + listed.file)).c_str());
        } else {
            std::fprintf(stderr, "Error: %s: %s %s; left out of the level choice\n",
                         indexPath.c_str(), GamePaths::current().data("level/" + listed.file).c_str(),
                         levelFiles.empty() ? "is not there" : "is not there or its level name is taken");
        }
    }
    return out;
}

void LevelChoice::open(const std::vector<Entry> &levels, int count) {
    entries = levels;
    setPlayers(count);
    message.clear();
    if (entries.empty())
        selected = -1;
    else if (selected < 0 || selected >= static_cast<int>(entries.size()))
        selected = 0;
}

void LevelChoice::setNetwork(bool hosting) {
    network = hosting;
    setPlayers(players);
}

void LevelChoice::select(int index) {
    const int count = static_cast<int>(entries.size());
    selected = count == 0 ? -1 : ((index % count) + count) % count;
    message.clear();
}

LevelChoice::Action LevelChoice::keyDown(int code) {
    if (code == KeyNames::kEscape)
        return kBack;
    if (code == KeyNames::kEnter) {
        if (selected >= 0)
            return kStart;
        message = "No battlefield to choose: see " + LevelIndex::file();
    } else if (code == KeyNames::special(KeyNames::kGlutUp) ||
               code == KeyNames::special(KeyNames::kGlutLeft)) {
        select(selected - 1);
    } else if (code == KeyNames::special(KeyNames::kGlutDown) ||
               code == KeyNames::special(KeyNames::kGlutRight)) {
        select(selected + 1);
    } else if (code >= '1' && code < '1' + kMaxPlayers) {
        setPlayers(code - '0');
    } else if (code == KeyNames::kTab) {
        setPlayers(players % kMaxPlayers + 1);
    }
    return kNothing;
}

LevelChoice::Action LevelChoice::click(int x, int y, int width, int height) {
    if (ScreenLayout::backRect(width, height).contains(x, y))
        return kBack;
    if (ScreenLayout::actionRect(width, height).contains(x, y))
        return keyDown(KeyNames::kEnter);
    const int first = firstShown();
    const int shown = std::min(kListRows, static_cast<int>(entries.size()) - first);
    for (int row = 0; row < shown; ++row)
        if (ScreenLayout::rowRect(row, 0, 2, width, height).contains(x, y))
            select(first + row);
    for (int count = leastPlayers(); count <= kMaxPlayers; ++count)
        if (ScreenLayout::rowRect(kPlayersRow + count - 1, 0, 2, width, height).contains(x, y))
            setPlayers(count);
    return kNothing;
}

int LevelChoice::firstShown() const {
    return std::max(0, std::min(selected - kListRows + 1, static_cast<int>(entries.size()) - kListRows));
}

PagePicture LevelChoice::pictureRect(int width, int height) {
    PagePicture picture;
    picture.side = kPictureSide * height;
    picture.left = 0.51f * width + (0.44f * width - picture.side) / 2;
    picture.top = kPictureTop * height;
    return picture;
}

MenuPage LevelChoice::page(int width, int height) const {
    MenuPage page;
    page.title = network ? "Host a battle: choose a battlefield" : "Choose a battlefield";
    page.actionLabel = network ? "Host (Enter)" : "Start (Enter)";
    page.message = message;
    auto leftRow = [&](int index, const std::string &text, bool highlighted) {
        const ScreenLayout::Rect r = ScreenLayout::rowRect(index, 0, 2, width, height);
        PageRow row;
        row.x = r.left + 6;
        row.y = (ScreenLayout::kFirstRowY + ScreenLayout::kRowStep * index) * height;
        row.text = text;
        row.highlighted = highlighted;
        page.rows.push_back(row);
    };
    const int first = firstShown();
    for (int i = first; i < static_cast<int>(entries.size()) && i < first + kListRows; ++i)
        leftRow(i - first, entries[i].title, i == selected);
    if (entries.empty())
        leftRow(0, "No battlefield is listed", false);
    leftRow(kPlayersRow - 1, network ? "Players (2 to 4 or Tab):" : "Players (1 to 4 or Tab):", false);
    for (int count = leastPlayers(); count <= kMaxPlayers; ++count)
        leftRow(kPlayersRow + count - 1,
                std::string(players == count ? "[x] " : "[  ] ") + std::to_string(count) +
                    (count == 1 ? " player" : " players"),
                false);
    // Under the players their controls, and while there is room for one more, how he joins. In a
    // network battle this machine steers player one; the others join from theirs.
    int row = kControlsRow;
    const int here = network ? 1 : players;
    for (int player = 0; player < here && player < static_cast<int>(controls.size()); ++player)
        leftRow(row++, controls[player], false);
    if (network)
        leftRow(row, "The other players join from their own machines", false);
    else if (players < kMaxPlayers)
        leftRow(row, "Press A or Start on a pad to join", false);

    const Entry *entry = selectedEntry();
    if (entry == nullptr)
        return page;
    page.picture = pictureRect(width, height);
    page.picture.texture = entry->ground;
    int computerTanks = entry->computerTanks;
    const AiDifficulty shown = network ? AiDifficulty::Hard : difficulty; // network battles: every tank
    for (const Marker &marker : entry->markers) {
        const int player = marker.kind - Marker::kPlayerOne; // 0..3 for the players' tanks
        const bool joins = marker.kind != Marker::kComputer ||
                           (static_cast<int>(shown) >= static_cast<int>(marker.fromDifficulty) &&
                            players >= marker.fromPlayers);
        computerTanks -= joins ? 0 : 1; // kept out of this battle by its difficulty or players
        if (player < players && joins) // the tanks of players not taking part stay out of the battle
            page.picture.markers.push_back(pageMarker(marker, page.picture));
    }

    const std::string tanks = std::to_string(computerTanks);
    std::vector<std::string> details = {
        entry->title,
        "Computer tanks: " + tanks,
        "Goal: " + (entry->goal.empty() ? std::string("Last Man Standing") : entry->goal),
        computerTanks == 1 ? "Destroy the computer tank" : "Destroy all " + tanks + " computer tanks",
    };
    details.push_back("Par time: " + minutes(entry->parTime));
    if (const std::string &challenge = entry->challenge[players <= 1 ? 0 : 1]; !challenge.empty())
        details.push_back(std::string(players <= 1 ? "For one player: " : "For the players together: ") +
                          challenge);
    if (players >= 2)
        details.push_back("Then the last player standing wins");
    const float baseline = page.picture.top + page.picture.side + kDetailStep * height * 1.3f;
    for (std::size_t i = 0; i < details.size(); ++i) {
        PageRow row;
        row.x = ScreenLayout::rowRect(0, 1, 2, width, height).left + 6;
        row.y = baseline + kDetailStep * height * i;
        row.text = details[i];
        row.large = i == 0;
        page.rows.push_back(row);
    }
    return page;
}

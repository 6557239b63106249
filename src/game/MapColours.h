#pragma once

// The colours every map of a battlefield gives what stands on it: the
// battle's minimap and the level choice's picture of the field.
namespace MapColours {
constexpr float kPlayerOne[3] = {0.5f, 1.0f, 0.5f}; // as the smoke trails of the tanks
constexpr float kPlayerTwo[3] = {0.5f, 0.6f, 1.0f};
constexpr float kPlayerThree[3] = {1.0f, 0.85f, 0.3f};
constexpr float kPlayerFour[3] = {1.0f, 0.5f, 1.0f};
constexpr float kComputer[3] = {1.0f, 0.4f, 0.4f};
constexpr float kObject[3] = {0.6f, 0.6f, 0.6f};
// Human player `player`'s colour (0..3); the computer's for any other number.
inline const float *player(int player) {
    static const float *const kPlayers[] = {kPlayerOne, kPlayerTwo, kPlayerThree, kPlayerFour};
    return player >= 0 && player < 4 ? kPlayers[player] : kComputer;
}
} // namespace MapColours

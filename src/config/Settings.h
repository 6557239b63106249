#pragma once

#include "config/Difficulty.h"
#include "config/PadBindings.h"

#include <array>
#include <string>

// The player's own choices that no older file holds: render options, the minimap mode, the
// computer players' difficulty, the sound volumes, the number of players and how two share the
// window, and the pads: their dead zone, rumble, which pad each player had and the pad buttons.
// Kept in the player's settings.ini (GamePaths), which the game writes when the Options screen is left.
class Settings {
  public:
    static constexpr int kMaxPlayers = 4;              // human players of one battle
    static constexpr int kMaxDeadZone = 50;            // percent of a stick's travel
    static constexpr std::size_t kMaxPadIdLength = 64; // characters

    // A pad's identity as the pad layer gives it: 1 to 64 hex digits and "#" (its kind and which
    // of several alike it is). Anything else is no pad the game ever named.
    static bool validPadId(const std::string &id);

    // The file at `path`: a missing file gives the defaults without a word; a broken one (a value
    // out of range, an unknown word, bytes that are no text) gives one "Error: " line and the defaults.
    static std::string file();         // where the player's settings are written
    static std::string readableFile(); // where they are read: the player's, else a shipped default
    static Settings read(const std::string &path = readableFile());
    // Replaces the file safely; false after one "Error: " line when it cannot be written.
    bool write(const std::string &path = file()) const;
    std::string toText() const; // the file's contents

    bool getFrameRateLine() const { return frameRateLine; }
    void setFrameRateLine(bool on) { frameRateLine = on; }
    bool getShadows() const { return shadows; }
    void setShadows(bool on) { shadows = on; }
    bool getLightMaps() const { return lightMaps; }
    void setLightMaps(bool on) { lightMaps = on; }
    int getRenderMode() const { return renderMode; }
    void setRenderMode(int mode) { renderMode = mode; }
    int getTextureQuality() const { return textureQuality; }
    void setTextureQuality(int quality) { textureQuality = quality; }
    int getMipMapping() const { return mipMapping; }
    void setMipMapping(int mode) { mipMapping = mode; }
    bool getMiniMapAlways() const { return miniMapAlways; }
    void setMiniMapAlways(bool on) { miniMapAlways = on; }
    AiDifficulty getDifficulty() const { return difficulty; }
    void setDifficulty(AiDifficulty d) { difficulty = d; }
    int getMasterVolume() const { return masterVolume; }
    void setMasterVolume(int v) { masterVolume = v; }
    int getEffectsVolume() const { return effectsVolume; }
    void setEffectsVolume(int v) { effectsVolume = v; }
    int getEngineVolume() const { return engineVolume; }
    void setEngineVolume(int v) { engineVolume = v; }
    bool getMute() const { return mute; }
    void setMute(bool on) { mute = on; }
    int getPlayers() const { return players; }
    void setPlayers(int count) { players = count; }
    // Two players' views: side by side (false) or one above the other (true).
    bool getSplitStacked() const { return splitStacked; }
    void setSplitStacked(bool on) { splitStacked = on; }

    int getDeadZone() const { return deadZone; } // percent
    void setDeadZone(int percent) { deadZone = percent; }
    bool getRumble() const { return rumble; }
    void setRumble(bool on) { rumble = on; }
    // The pad player `player` (0..3) played with last; empty for none or another player number.
    const std::string &getPadId(int player) const;
    // False, and nothing kept, for a player out of 0..3 or an id that validPadId refuses; empty
    // forgets the pad.
    bool setPadId(int player, const std::string &id);
    const PadBindings &getPadBindings() const { return padBindings; }
    void setPadBindings(const PadBindings &bindings) { padBindings = bindings; }

  private:
    bool frameRateLine = false; // the frame-rate line over the battle (F2)
    bool shadows = true;        // shadow map drawn
    bool lightMaps = true;      // light maps on terrain and objects
    int renderMode = 1;         // 0 immediate, 1 display lists, 2 vertex arrays, 3 buffer objects
    int textureQuality = 0;     // 0 linear, 1 nearest
    int mipMapping = 1;         // 0 off, 1 nearest, 2 linear
    bool miniMapAlways = false; // false: shown while the minimap key is held
    AiDifficulty difficulty = AiDifficulty::Normal; // how well the computer players fight
    int masterVolume = 80;                          // percent
    int effectsVolume = 80;                         // percent
    int engineVolume = 80;                          // percent
    bool mute = false;                              // no sound at all
    int players = 2;                                // human players of the next battle: 1 to 4
    bool splitStacked = false;                      // two views one above the other instead of side by side
    int deadZone = 12;                              // percent of a stick's travel that counts as rest
    bool rumble = true;                             // pads rumble in the battle
    std::array<std::string, kMaxPlayers> padIds;    // per player the pad last assigned; empty: none
    PadBindings padBindings = PadBindings::defaults(); // the pad buttons of every player
};

#pragma once

#include "config/CFahrzeugTypDaten.h"
#include "config/CPowerUpData.h"
#include "config/GlutConfig.h"
#include "config/MainMenuDefinition.h"
#include "config/PlayerConfig.h"
#include "menu/Highscore.h"
#include "objects/Weapon.h"
#include "physics/PhysXActor.h"

#include <map>
#include <memory>
#include <string>

// Turns each kind of .ini file of the data's config/ folder and of the player's into its record. Every read builds its own
// ConfigFile (delimiter "=", comment "#", end marker "EndConfigFile"), so the reader holds no state.
//
// Failures stop start-up, since no reader catches: a missing file or required key throws the
// ConfigFile exceptions. A key binding that names no key (a character from 128 up, a longer value
// that is no key name of KeyNames, a zoom number out of 0..127) gives one "Error: " line naming the
// file, key and value and throws `invalid_value`. A key bound to two actions is no reason to stop:
// one "Error: " line names the key and both actions, and the default keys are used.
// Writers (size files, highscores) replace their file through a temporary file (see SafeFile.h),
// so a crash never leaves half a file; a file that cannot be written gives an "Error: " line and a
// false result.
class ConfigReader {
  public:
    // A value that is present but unusable; thrown by value, like the ConfigFile exceptions.
    struct invalid_value {
        std::string filename; // the file that holds the value
        std::string key;      // its key
        std::string value;    // the value as it stands in the file
    };

    using FahrzeugTypMap = std::map<std::string, CFahrzeugTypDaten>;         // type name -> type
    using WeaponMap = std::map<std::string, Weapon>;                         // weapon name -> weapon
    using PowerUpMap = std::map<std::string, std::unique_ptr<CPowerUpData>>; // type name -> type

    // The files read, as GamePaths names them: the player's own files where they have one.
    static std::string glutConfigFile();
    static std::string playerConfigFile();
    static std::string powerUpIndexFile();
    static std::string highscoreFile();

    // Settings files.
    static GlutConfig ReadGlutConfig();
    static PlayerConfig ReadPlayerConfig();
    static MainMenuDefinition ReadMainMenuDefinition();

    // Game data: the index files and the entry files they name (paths as GamePaths::dataFile takes them).
    static std::unique_ptr<FahrzeugTypMap> ReadFahrzeuge();
    static CFahrzeugTypDaten ReadFahrzeug(const std::string &path, const std::string &name);
    static std::unique_ptr<WeaponMap> ReadWeapons();
    static Weapon ReadWeapon(const std::string &path, const std::string &name);
    static void ReadPowerUpDaten(PowerUpMap &powerUps);
    // Keys of a type file, all optional: effect (repair, rapidfire, speed, armour; default the type
    // name when it is one, else repair), amount, duration, respawn, model, size, radius, glow_r,
    // glow_g, glow_b. An effect or number that cannot be used gives one "Error: " line and throws
    // `invalid_value`.
    static std::unique_ptr<CPowerUpData> ReadPowerUp(const std::string &path, const std::string &name);
    // The table the game plays with: as ReadPowerUpDaten, but a missing index, a missing type file or
    // an unusable value leaves that entry (or the whole table) out after its one "Error: " line.
    static void LoadPowerUpTypes(PowerUpMap &powerUps, const std::string &indexPath = powerUpIndexFile());

    // Size files beside the cooked meshes.
    static PhysXActor ReadPhysXActor(const std::string &path);
    // True when written; otherwise one "Error: " line, or the reason in `problem` when it is given.
    static bool SetPhysXActor(const PhysXActor &actor, const std::string &path, std::string *problem = nullptr);

    // The player's highscore table.
    static Highscore ReadHighscores();
    static bool SetHighscore(const Highscore &table); // true when written
    // The table the game plays with: a missing file is an empty table without a word; a file the
    // reader rejects (a name without its score, a score that is no number, bytes that are no text)
    // gives one "Error: " line, is kept beside as "highscore.ini.bad" and an empty table starts.
    static Highscore LoadHighscores(const std::string &path = highscoreFile());
};

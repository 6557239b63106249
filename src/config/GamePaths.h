#pragma once

#include <optional>
#include <string>

// Where the game's files are: the data it reads and the player's own files it writes. Resolved
// once, at start-up; everything else asks here, and every message names the path given here.
//
// The data is found by these rules, in order:
//   1. the folder named by PANZERFELD_DATA;
//   2. data/ in the working directory when it holds config/mainmenu.ini: a developer's checkout,
//      whose player's files stay in that data/ as they always have;
//   3. share/panzerfeld/ beside the executable's bin/ folder, so a moved prefix still works.
// Away from a checkout the player's files go under the XDG folders: settings and keys under
// $XDG_CONFIG_HOME/panzerfeld/, highscores, replays and screenshots under $XDG_DATA_HOME/panzerfeld/,
// the cooked-mesh cache under $XDG_CACHE_HOME/panzerfeld/ (defaults ~/.config, ~/.local/share and
// ~/.cache). Nothing is ever written into the data folder then. Folder names end with a slash.
class GamePaths {
  public:
    // What the rules look at, read from the process by `fromProcess` or made up by a test.
    struct Environment {
        std::string dataOverride; // PANZERFELD_DATA
        std::string workingDir;   // the current directory
        std::string executable;   // the running program's own path
        std::string home;         // HOME
        std::string configHome;   // XDG_CONFIG_HOME
        std::string dataHome;     // XDG_DATA_HOME
        std::string cacheHome;    // XDG_CACHE_HOME

        static Environment fromProcess();
    };

    // The files a player owns; each starts from the default of the same name in the data's
    // config/ folder where the data has one.
    enum class PlayerFile { kSettings, kKeys, kWindow, kHighscores };

    // The paths the rules give for `env`, or nothing with `problem` set (one line without the
    // "Error: " prefix) when no data folder is found or the player's folders cannot be named.
    static std::optional<GamePaths> resolve(const Environment &env, std::string &problem);

    // This process's paths, resolved on first use. No data found ends the start-up with an
    // exception saying why.
    static const GamePaths &current();
    // Makes `paths` this process's paths (a test's own layout).
    static void use(const GamePaths &paths);
    // A checkout's layout: everything under data/ of the working directory, whatever that is when
    // a file is opened.
    static GamePaths inCheckout();

    bool isCheckout() const { return checkout; }
    const std::string &dataFolder() const { return dataDir; }

    // A file or folder of the data, named relative to the data folder ("level/lvl1.lvl").
    std::string data(const std::string &relative) const { return dataDir + relative; }
    // A path as the data's own files write it: relative to the data folder, with or without the
    // "data/" of older files in front, or absolute.
    std::string dataFile(const std::string &written) const;

    // Where the player's file is written.
    std::string playerFile(PlayerFile file) const;
    // Where it is read: the player's own once there is one, else the data's default.
    std::string readablePlayerFile(PlayerFile file) const;
    // Gives the player a file of their own to edit, copied from the default; false with `problem`
    // set when neither exists or the copy cannot be written.
    bool ensurePlayerFile(PlayerFile file, std::string &problem) const;

    const std::string &replayFolder() const { return replays; }
    const std::string &screenshotFolder() const { return screenshots; }
    const std::string &cookedMeshFolder() const { return cookedMeshes; } // the cooked meshes
    const std::string &meshSizeFolder() const { return meshSizes; }      // their measured sizes
    const std::string &configFolder() const { return configDir; }        // the player's settings
    const std::string &playerDataFolder() const { return userDir; }      // the highscores

    // Makes the folders the player's files go to; false with `problem` set for the first that
    // cannot be made. Nothing is made in a checkout, whose folders the game makes as it writes.
    bool makePlayerFolders(std::string &problem) const;

  private:
    bool checkout = false;
    std::string dataDir;
    std::string configDir;
    std::string userDir; // highscores
    std::string replays;
    std::string screenshots;
    std::string cookedMeshes;
    std::string meshSizes;
};

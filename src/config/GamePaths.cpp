#include "config/GamePaths.h"

#include "config/SafeFile.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <system_error>

namespace {

namespace fs = std::filesystem;

constexpr const char *kGame = "panzerfeld";
constexpr const char *kMarker = "config/mainmenu.ini"; // every data folder has the main menu

std::string folder(const fs::path &path) {
    std::string text = path.lexically_normal().string();
    if (text.empty() || text.back() != '/')
        text += '/';
    return text;
}

bool holdsData(const fs::path &path) {
    std::error_code error;
    return fs::is_regular_file(path / kMarker, error);
}

std::string envValue(const char *name) {
    const char *value = std::getenv(name);
    return value != nullptr ? value : "";
}

// $XDG_..._HOME/panzerfeld/, or ~/FALLBACK/panzerfeld/ where the variable is unset or, as the XDG
// rules ask, not an absolute path.
std::optional<std::string> xdgFolder(const std::string &value, const std::string &home, const char *fallback,
                                     const char *variable, std::string &problem) {
    if (!value.empty() && value.front() == '/')
        return folder(fs::path(value) / kGame);
    if (home.empty() || home.front() != '/') {
        problem = std::string("no folder for the player's files: neither ") + variable +
                  " nor HOME is an absolute path";
        return std::nullopt;
    }
    return folder(fs::path(home) / fallback / kGame);
}

bool exists(const std::string &path) {
    std::error_code error;
    return fs::exists(path, error);
}

std::unique_ptr<GamePaths> &chosen() {
    static std::unique_ptr<GamePaths> paths;
    return paths;
}

} // namespace

GamePaths::Environment GamePaths::Environment::fromProcess() {
    Environment env;
    env.dataOverride = envValue("PANZERFELD_DATA");
    std::error_code error;
    env.workingDir = fs::current_path(error).string();
    env.executable = fs::read_symlink("/proc/self/exe", error).string();
    env.home = envValue("HOME");
    env.configHome = envValue("XDG_CONFIG_HOME");
    env.dataHome = envValue("XDG_DATA_HOME");
    env.cacheHome = envValue("XDG_CACHE_HOME");
    return env;
}

std::optional<GamePaths> GamePaths::resolve(const Environment &env, std::string &problem) {
    GamePaths paths;
    const fs::path workingDir = env.workingDir.empty() ? fs::path(".") : fs::path(env.workingDir);
    if (!env.dataOverride.empty()) {
        fs::path given(env.dataOverride);
        if (given.is_relative())
            given = workingDir / given;
        if (!holdsData(given)) {
            problem = "PANZERFELD_DATA=" + env.dataOverride + ": no game data there (no " + kMarker + ")";
            return std::nullopt;
        }
        paths.dataDir = folder(given);
    } else if (holdsData(workingDir / "data")) {
        return inCheckout();
    } else {
        const fs::path installed = fs::path(env.executable).parent_path().parent_path() / "share" / kGame;
        if (env.executable.empty() || !holdsData(installed)) {
            std::error_code error;
            const std::string here = fs::is_directory(workingDir / "data", error)
                                         ? std::string("data/") + kMarker + " is missing"
                                         : std::string("the working directory has no data/");
            problem = "no game data found: PANZERFELD_DATA is not set, " + here + " and " +
                      (env.executable.empty() ? std::string("the program's own path is unknown")
                                              : folder(installed) + " holds none");
            return std::nullopt;
        }
        paths.dataDir = folder(installed);
    }

    const auto config = xdgFolder(env.configHome, env.home, ".config", "XDG_CONFIG_HOME", problem);
    const auto data = xdgFolder(env.dataHome, env.home, ".local/share", "XDG_DATA_HOME", problem);
    const auto cache = xdgFolder(env.cacheHome, env.home, ".cache", "XDG_CACHE_HOME", problem);
    if (!config || !data || !cache)
        return std::nullopt;
    paths.configDir = *config;
    paths.userDir = *data;
    paths.replays = *data + "replays/";
    paths.screenshots = *data + "screenshots/";
    paths.cookedMeshes = *cache + "model_cooked/";
    paths.meshSizes = *cache + "cookedmodel_config/";
    return paths;
}

GamePaths GamePaths::inCheckout() {
    // Named relative to the working directory, as the game's messages always were.
    GamePaths paths;
    paths.checkout = true;
    paths.dataDir = "data/";
    paths.configDir = paths.dataDir + "config/";
    paths.userDir = paths.configDir;
    paths.replays = paths.dataDir + "replays/";
    paths.screenshots = paths.dataDir + "screenshots/";
    paths.cookedMeshes = paths.dataDir + "model_cooked/";
    paths.meshSizes = paths.configDir + "cookedmodel_config/";
    return paths;
}

const GamePaths &GamePaths::current() {
    std::unique_ptr<GamePaths> &paths = chosen();
    if (!paths) {
        std::string problem;
        std::optional<GamePaths> found = resolve(Environment::fromProcess(), problem);
        if (!found)
            throw std::runtime_error(problem);
        paths = std::make_unique<GamePaths>(*found);
        // A folder that cannot be made says so when the first file is written into it.
        std::string ignored;
        paths->makePlayerFolders(ignored);
    }
    return *paths;
}

void GamePaths::use(const GamePaths &paths) { chosen() = std::make_unique<GamePaths>(paths); }

std::string GamePaths::dataFile(const std::string &written) const {
    if (!written.empty() && written.front() == '/')
        return written;
    if (written.rfind("data/", 0) == 0)
        return data(written.substr(5));
    return data(written);
}

std::string GamePaths::playerFile(PlayerFile file) const {
    switch (file) {
    case PlayerFile::kSettings:
        return configDir + "settings.ini";
    case PlayerFile::kKeys:
        return configDir + "playerconfig.ini";
    case PlayerFile::kWindow:
        return configDir + "glutconfig.ini";
    case PlayerFile::kHighscores:
        break;
    }
    return userDir + "highscore.ini";
}

std::string GamePaths::readablePlayerFile(PlayerFile file) const {
    const std::string own = playerFile(file);
    if (checkout || exists(own))
        return own;
    const std::string shipped = data("config/" + fs::path(own).filename().string());
    return exists(shipped) ? shipped : own;
}

bool GamePaths::ensurePlayerFile(PlayerFile file, std::string &problem) const {
    const std::string own = playerFile(file);
    const std::string from = readablePlayerFile(file);
    if (from == own) {
        if (exists(own))
            return true;
        problem = "there is no such file, nor a default to start it from";
        return false;
    }
    std::ifstream in(from, std::ios::binary);
    if (!in) {
        problem = "its default " + from + " cannot be read";
        return false;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!makePlayerFolders(problem))
        return false;
    return replaceFileSafely(own, bytes.data(), bytes.size(), problem);
}

bool GamePaths::makePlayerFolders(std::string &problem) const {
    if (checkout)
        return true;
    for (const std::string *dir : {&configDir, &userDir, &replays, &screenshots, &cookedMeshes, &meshSizes}) {
        std::error_code error;
        fs::create_directories(*dir, error);
        if (error) {
            problem = "cannot make the folder " + *dir + ": " + error.message();
            return false;
        }
    }
    return true;
}

#include "replay/ReplayStore.h"

#include "config/GamePaths.h"
#include "config/SafeFile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace ReplayStore {

namespace {

namespace fs = std::filesystem;

constexpr std::uintmax_t kMaxFileBytes = 64u << 20; // a day of play is far less

bool isReplayName(const std::string &name) {
    return name.rfind("replay-", 0) == 0 && name.size() > 11 && name.compare(name.size() - 4, 4, ".pzr") == 0;
}

// The name's place in time: the stamp, then the number a second file of the same stamp got.
std::string sortKey(const fs::path &file) {
    const std::string stem = file.stem().string();
    return std::count(stem.begin(), stem.end(), '-') == 1 ? stem + "-1" : stem;
}

void removeOldest() {
    std::vector<fs::path> replays;
    std::error_code error;
    for (const fs::directory_entry &entry : fs::directory_iterator(folder(), error))
        if (entry.is_regular_file(error) && isReplayName(entry.path().filename().string()))
            replays.push_back(entry.path());
    std::sort(replays.begin(), replays.end(),
              [](const fs::path &a, const fs::path &b) { return sortKey(a) < sortKey(b); });
    for (std::size_t i = 0; i + kKept < replays.size(); ++i)
        fs::remove(replays[i], error);
}

} // namespace

std::string folder() { return GamePaths::current().replayFolder(); }

std::string save(const Replay &replay, const std::string &stamp, std::string &problem) {
    std::error_code error;
    const std::string dir = folder();
    fs::create_directories(dir, error);
    const std::string path = unusedFileName(dir, "replay-" + stamp, ".pzr");
    const std::string bytes = replay.encode();
    if (!replaceFileSafely(path, bytes.data(), bytes.size(), problem))
        return std::string();
    removeOldest();
    return path;
}

bool load(const std::string &path, Replay &out, std::string &problem) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    if (error) {
        problem = "cannot be read (" + error.message() + ")";
        return false;
    }
    if (size > kMaxFileBytes) {
        problem = "is " + std::to_string(size) + " bytes, too large for a replay";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        problem = "cannot be read";
        return false;
    }
    return Replay::decode(bytes, out, problem);
}

} // namespace ReplayStore

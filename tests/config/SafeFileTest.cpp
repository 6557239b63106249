#include "config/SafeFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

int temporariesIn(const fs::path &folder) {
    int count = 0;
    for (const auto &entry : fs::directory_iterator(folder)) {
        count += entry.path().extension() == ".tmp";
    }
    return count;
}

// A process id that no process has right now: a child that has ended and been reaped.
pid_t endedProcess() {
    const pid_t child = fork();
    if (child == 0) {
        _exit(0);
    }
    waitpid(child, nullptr, 0);
    return child;
}

// While alive, files of this process may not grow beyond `bytes`: a write past it fails (EFBIG),
// as one on a full disk does, instead of killing the process.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limited = previous;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);
    }

  private:
    rlimit previous{};
    void (*previousHandler)(int) = nullptr;
};

TEST(SafeFile, ReplacesTheFileAndLeavesNoTemporaryBehind) {
    TempDir dir;
    const std::string path = dir.write("cache/a.bin", "old contents");
    std::string problem;
    ASSERT_TRUE(replaceFileSafely(path, "new", 3, problem)) << problem;
    EXPECT_EQ(TempDir::read(path), "new");
    ASSERT_TRUE(replaceFileSafely(dir.path() / "cache/b.bin", "", 0, problem)) << problem; // an empty file is a file
    EXPECT_TRUE(fs::exists(dir.path() / "cache/b.bin"));
    EXPECT_EQ(temporariesIn(dir.path() / "cache"), 0);
    EXPECT_NE(temporaryFileFor(path).find(std::to_string(getpid())), std::string::npos);
}

TEST(SafeFile, AFailedWriteKeepsTheOldFileAndNamesTheProblem) {
    TempDir dir;
    const std::string path = dir.write("a.bin", "old contents");
    std::string problem;

    // The disk fills up in the middle of the write.
    {
        const std::string big(64 * 1024, 'x');
        FileSizeLimit limit(4096);
        EXPECT_FALSE(replaceFileSafely(path, big.data(), big.size(), problem));
    }
    EXPECT_NE(problem.find(".tmp"), std::string::npos) << problem;
    EXPECT_EQ(TempDir::read(path), "old contents");
    EXPECT_EQ(temporariesIn(dir.path()), 0);

    // No folder to write into.
    problem.clear();
    EXPECT_FALSE(replaceFileSafely((dir.path() / "missing/a.bin").string(), "x", 1, problem));
    EXPECT_NE(problem.find("missing/a.bin"), std::string::npos) << problem;

    // A folder where the file should go cannot be replaced; it stays as it is.
    fs::create_directories(dir.path() / "taken/inside");
    problem.clear();
    EXPECT_FALSE(replaceFileSafely((dir.path() / "taken").string(), "x", 1, problem));
    EXPECT_NE(problem.find("rename"), std::string::npos) << problem;
    EXPECT_TRUE(fs::is_directory(dir.path() / "taken/inside"));
    EXPECT_EQ(temporariesIn(dir.path()), 0);
}

TEST(SafeFile, OnlyTemporariesOfEndedWritersAreRemoved) {
    TempDir dir;
    const std::string dead = std::to_string(endedProcess());
    const std::string self = std::to_string(getpid());
    dir.write("cache/CM_tank.bin." + dead + ".tmp", "half");
    dir.write("cache/CM_tank.bin." + self + ".tmp", "being written");
    dir.write("cache/notes.tmp", "no writer in the name");
    dir.write("cache/CM_tank.bin.12x.tmp", "no number");
    dir.write("cache/CM_tank.bin", "the cache itself");
    dir.write("cache/deeper/CM_x.bin." + dead + ".tmp", "not in this folder");

    EXPECT_EQ(removeLeftoverTemporaries((dir.path() / "cache").string()), 1);
    EXPECT_FALSE(fs::exists(dir.path() / ("cache/CM_tank.bin." + dead + ".tmp")));
    for (const std::string &kept : {"CM_tank.bin." + self + ".tmp", std::string("notes.tmp"),
                                   std::string("CM_tank.bin.12x.tmp"), std::string("CM_tank.bin"),
                                   "deeper/CM_x.bin." + dead + ".tmp"}) {
        EXPECT_TRUE(fs::exists(dir.path() / "cache" / kept)) << kept;
    }
    EXPECT_EQ(removeLeftoverTemporaries((dir.path() / "nowhere").string()), 0);
}

} // namespace

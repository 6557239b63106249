#pragma once

#include <filesystem>
#include <string>

// A fresh directory under the system's temporary folder, removed with
// everything in it when the object goes out of scope.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::filesystem::path &path() const { return root; }

    // Writes `contents` to `relative` (creating parent folders) and returns its full path.
    std::string write(const std::string &relative, const std::string &contents) const;

    // The whole file as bytes; empty if it cannot be read.
    static std::string read(const std::filesystem::path &file);

private:
    std::filesystem::path root; // owned folder
};

// Runs the body with the working directory switched to `dir`, restoring it afterwards.
class ScopedCwd {
public:
    explicit ScopedCwd(const std::filesystem::path &dir);
    ~ScopedCwd();
    ScopedCwd(const ScopedCwd &) = delete;
    ScopedCwd &operator=(const ScopedCwd &) = delete;

private:
    std::filesystem::path previous; // working directory to restore
};

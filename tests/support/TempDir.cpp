#include "support/TempDir.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = fs::temp_directory_path() / ("panzer-test-" + std::to_string(rd()));
        if (fs::create_directory(candidate)) {
            root = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary directory");
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(root, ignored);
}

std::string TempDir::write(const std::string &relative, const std::string &contents) const {
    fs::path file = root / relative;
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << contents;
    return file.string();
}

std::string TempDir::read(const fs::path &file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

ScopedCwd::ScopedCwd(const fs::path &dir) : previous(fs::current_path()) { fs::current_path(dir); }

ScopedCwd::~ScopedCwd() {
    std::error_code ignored;
    fs::current_path(previous, ignored);
}

// panzer_soundgen: synthesises every sound of the game into <data dir>/sounds/.
#include "SoundRecipes.h"
#include "WavWriter.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: panzer_soundgen <data dir>\n");
        return 2;
    }
    const std::filesystem::path folder = std::filesystem::path(argv[1]) / "sounds";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "Error: %s: %s\n", folder.string().c_str(), error.message().c_str());
        return 1;
    }
    int status = 0;
    for (const SoundRecipes::Recipe &recipe : SoundRecipes::all()) {
        const Signal signal = recipe.make();
        const std::string path = (folder / recipe.fileName).string();
        if (!WavWriter::write(path, signal)) {
            status = 1;
            continue;
        }
        std::printf("%s: %.2f s\n", recipe.fileName.c_str(), signal.seconds());
    }
    return status;
}

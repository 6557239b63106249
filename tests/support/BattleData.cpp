#include "support/BattleData.h"

#include "support/TempDir.h"

#include <string>

namespace fs = std::filesystem;

const fs::path &battleData() {
    static TempDir dir;
    static bool filled = false;
    if (!filled) {
        const fs::path source = fs::path(PANZER_SOURCE_DIR) / "data";
        fs::create_directories(dir.path() / "data");
        for (const char *folder : {"config", "level", "model", "textures"}) {
            if (std::string(folder) != "textures") {
                fs::copy(source / folder, dir.path() / "data" / folder, fs::copy_options::recursive);
                continue;
            }
            fs::create_directories(dir.path() / "data/textures");
            for (const fs::directory_entry &entry : fs::directory_iterator(source / folder))
                if (entry.path().filename().string().rfind("heightmap", 0) == 0)
                    fs::copy(entry.path(), dir.path() / "data/textures" / entry.path().filename());
        }
        fs::remove_all(dir.path() / "data/config/cookedmodel_config");
        fs::create_directories(dir.path() / "data/config/cookedmodel_config");
        fs::create_directories(dir.path() / "data/model_cooked");
        filled = true;
    }
    return dir.path();
}

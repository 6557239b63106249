#include "audio/SoundSystem.h"
#include "config/ConfigFile.h"
#include "config/ConfigReader.h"
#include "config/SafeFile.h"
#include "config/Settings.h"
#include "main/Callbacks.h"
#include "game/GameClass.h"
#include "main/EntryPoint.h"
#include "main/Globals.h"
#include "main/Timer.h"
#include "menu/MainMenu.h"
#include "objects/Spieler.h"
#include "physics/PhysXAccess.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace {

// A broken configuration stops start-up. The readers have already printed the
// "Error: " line naming the file and key, so all that is left is to end the
// process cleanly with a failure status instead of aborting with a core dump.
[[noreturn]] void failStartup() {
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(EXIT_FAILURE);
}

[[noreturn]] void onUncaughtException() {
    try {
        if (std::exception_ptr pending = std::current_exception())
            std::rethrow_exception(pending);
    } catch (const ConfigFile::file_not_found &) {
    } catch (const ConfigFile::key_not_found &) {
    } catch (const ConfigReader::invalid_value &) {
    } catch (const std::exception &e) {
        std::fprintf(stderr, "Error: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "Error: start-up failed\n");
    }
    failStartup();
}

// Installed before the globals below are constructed, which read files.
const std::terminate_handler previousHandler = std::set_terminate(onUncaughtException);

} // namespace

Timer tTimer;
EntryPoint ep;
GameClass gc;
MainMenu mm;

bool keys[kKeyCount];
int iGamemode;
FrameClock frameClock;
int iMouseStartX, iMouseStartY;
bool bMouseRightDown;

int main(int argc, char **argv) {
    (void)previousHandler;
    // Temporary files of an earlier run that died while writing: never read, so just tidied away.
    for (const char *folder : {"data/config/", PhysXAccess::kSizeFolder, PhysXAccess::kCookedFolder}) {
        removeLeftoverTemporaries(folder);
    }
    PlayerConfig playerConfig = ConfigReader::ReadPlayerConfig();
    Settings settings = Settings::read();
    mm.setGameClass(&gc);
    gc.setSpieler1(new Spieler(playerConfig.getUpButton1(), playerConfig.getDownButton1(),
                               playerConfig.getLeftButton1(), playerConfig.getRightButton1(),
                               playerConfig.getShootButton1()));
    gc.setSpieler2(new Spieler(playerConfig.getUpButton2(), playerConfig.getDownButton2(),
                               playerConfig.getLeftButton2(), playerConfig.getRightButton2(),
                               playerConfig.getShootButton2()));
    gc.getSpieler1()->setName(playerConfig.getPlayerName1());
    gc.getSpieler2()->setName(playerConfig.getPlayerName2());
    gc.setPlayerConfig(&playerConfig);
    gc.setSound(SoundSystem::open("data/sounds/"));
    setupFlow(&playerConfig, &settings); // applies the settings to the session and its sound
    gc.importTextures("data/textures/");
    gc.importLevels("data/level/");
    gc.importModells("data/model/");
    iGamemode = kModeMenu;
    ep.initialGlut(&argc, argv);
    return 0;
}

#include "support/GameDataFixture.h"

namespace {
TempDir &populate(TempDir &dir) {
    dir.write("data/config/fahrzeugconfig.ini",
              "fahrzeugname1 = tank\nfahrzeugpath1 = data/config/tank.ini\n");
    dir.write("data/config/tank.ini",
              "accel = 10\nturningrate = 60\nmaxspeedforward = 12\nmaxspeedreturn = -5\n"
              "posturmx = 0\nposturmy = 1\nposturmz = 0\n"
              "muendungposx = 0\nmuendungposy = 0.3\nmuendungposz = 3\n"
              "life = 100\nmaxlife = 100\nammunition = 50\nmodel = tank1.md2\n");
    dir.write("data/config/weaponconfig.ini", "weaponname1 = cannon\nweaponpath1 = data/config/cannon.ini\n");
    dir.write("data/config/cannon.ini",
              "explosiontime = 1\nreloadtime = 1\nshootdelay = 1\nspeed = 40\nweaponpower = 10\n");
    return dir;
}
} // namespace

GameDataFixture::GameDataFixture() : cwd(populate(dir).path()) {}

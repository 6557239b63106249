#include "config/ConfigReader.h"

#include "config/ConfigFile.h"
#include "config/GamePaths.h"
#include "config/KeyNames.h"
#include "config/SafeFile.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

// GLUT display-mode bits (freeglut values), so reading the settings needs no GL headers.
constexpr int kGlutRgba = 0;
constexpr int kGlutRgb = 0;
constexpr int kGlutIndex = 1;
constexpr int kGlutSingle = 0;
constexpr int kGlutDouble = 2;
constexpr int kGlutAccum = 4;
constexpr int kGlutStencil = 32;
constexpr int kGlutDepth = 16;

// OpenGL depth comparison constants.
constexpr int kGlNever = 0x0200;
constexpr int kGlLess = 0x0201;
constexpr int kGlEqual = 0x0202;
constexpr int kGlLequal = 0x0203;
constexpr int kGlGreater = 0x0204;
constexpr int kGlNotequal = 0x0205;
constexpr int kGlGequal = 0x0206;
constexpr int kGlAlways = 0x0207;

constexpr int kHighestKeyCode = 127; // the key table is indexed after a signed 8-bit conversion

ConfigFile openConfig(const std::string &path) {
    return ConfigFile(path, "=", "#", "EndConfigFile");
}

[[noreturn]] void rejectKey(const ConfigFile &cf, const std::string &key, const char *why) {
    const std::string value = cf.read<std::string>(key);
    std::fprintf(stderr, "Error: \"%s\": key \"%s\" has the value \"%s\", which is %s\n",
                 cf.getSourceName().c_str(), key.c_str(), value.c_str(), why);
    throw ConfigReader::invalid_value{cf.getSourceName(), key, value};
}

[[noreturn]] void rejectKey(const ConfigFile &cf, const std::string &key) {
    rejectKey(cf, key, "no key code from 0 to 127");
}

// A key named by its character ("w") or by its name ("space", "up", "f5"); an empty value is no key.
int readKeyChar(const ConfigFile &cf, const std::string &key) {
    const std::string value = cf.read<std::string>(key);
    if (value.empty()) {
        return 0;
    }
    if (value.size() == 1 && static_cast<unsigned char>(value[0]) > kHighestKeyCode) {
        rejectKey(cf, key);
    }
    const int code = KeyNames::fromValue(value);
    if (code == KeyNames::kNone) {
        rejectKey(cf, key, "neither a single character nor a key name");
    }
    return code;
}

// A key named by its decimal code ("43" is the plus key).
char readKeyNumber(const ConfigFile &cf, const std::string &key) {
    int code = cf.read<int>(key);
    if (code < 0 || code > kHighestKeyCode) {
        rejectKey(cf, key);
    }
    return static_cast<char>(code);
}

// Reads an index file of numbered name/path pairs and hands each (path, name) to `store`, stopping
// at the first number whose name key is absent. The first pair is required: an index that lists
// nothing is an empty, cut or overwritten file, and stops start-up like any missing key.
template <class Store>
void readIndex(const std::string &indexPath, const std::string &nameStem, const std::string &pathStem,
               Store store) {
    ConfigFile index = openConfig(indexPath);
    for (int n = 1;; ++n) {
        const std::string suffix = std::to_string(n);
        if (n > 1 && !index.keyExists(nameStem + suffix)) {
            break;
        }
        const std::string name = index.read<std::string>(nameStem + suffix);
        const std::string path = index.read<std::string>(pathStem + suffix);
        store(GamePaths::current().dataFile(path), name);
    }
}

// Replaces `path` with `contents`. A file that cannot be written gives one "Error: " line, or,
// when the caller takes the `problem` itself, the reason there.
bool writeFileAtomically(const std::string &path, const std::string &contents, std::string *problem = nullptr) {
    std::string reason;
    if (replaceFileSafely(path, contents.data(), contents.size(), reason)) {
        return true;
    }
    if (problem != nullptr) {
        *problem = reason;
    } else {
        std::fprintf(stderr, "Error: cannot write \"%s\": %s\n", path.c_str(), reason.c_str());
    }
    return false;
}

// "key=value" ended by CR LF. Seventeen significant digits read back as the very same double, so
// a mesh read from the cache gets the sizes of a fresh cook to the last bit. Files written with
// eight decimals read as they always did.
std::string sizeLine(const char *key, double value) {
    char number[32]; // sign, 17 digits, point, exponent
    std::snprintf(number, sizeof(number), "%.17g", value);
    return std::string(key) + "=" + number + "\r\n";
}

// Line breaks in a name would split its entry into lines of their own when read back.
std::string oneLine(const char *name) {
    std::string s(name);
    for (char &c : s) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return s;
}

} // namespace

std::string ConfigReader::glutConfigFile() {
    return GamePaths::current().readablePlayerFile(GamePaths::PlayerFile::kWindow);
}

std::string ConfigReader::playerConfigFile() {
    return GamePaths::current().readablePlayerFile(GamePaths::PlayerFile::kKeys);
}

std::string ConfigReader::powerUpIndexFile() { return GamePaths::current().data("config/powerups.ini"); }

std::string ConfigReader::highscoreFile() {
    return GamePaths::current().readablePlayerFile(GamePaths::PlayerFile::kHighscores);
}

GlutConfig ConfigReader::ReadGlutConfig() {
    ConfigFile cf = openConfig(glutConfigFile());
    GlutConfig gc;

    const int width = cf.read<int>("reswidth", 0);
    const int height = cf.read<int>("resheight", 0);
    gc.setResolution(Res(width, height));
    const int x = cf.read<int>("winposwidth", 0);
    const int y = cf.read<int>("winposheight", 0);
    gc.setWindowPos(Res(x, y));
    gc.setWindow_name(cf.read<std::string>("windowname"));
    gc.setFullscreen(cf.read<bool>("fullscreenmode"));
    gc.setColorDepth(cf.read<int>("colordepth"));

    // The game-mode string repeats the values as written, e.g. "1024x768:32".
    const std::string depthText = cf.read<std::string>("colordepth");
    const std::string heightText = cf.read<std::string>("resheight");
    const std::string widthText = cf.read<std::string>("reswidth");
    gc.setGameMode(widthText + "x" + heightText + ":" + depthText);

    gc.setGlutRgba(cf.read<bool>("glut_rgba"));
    gc.setGlutRgb(cf.read<bool>("glut_rgb"));
    gc.setGlutIndex(cf.read<bool>("glut_index"));
    gc.setGlutSingle(cf.read<bool>("glut_single"));
    gc.setGlutDouble(cf.read<bool>("glut_double"));
    gc.setGlutAccum(cf.read<bool>("glut_accum"));
    gc.setGlutStencil(cf.read<bool>("glut_stencil"));
    gc.setGlutDepth(cf.read<bool>("glut_depth"));
    int displayMode = 0;
    displayMode |= gc.isGlutRgba() ? kGlutRgba : 0;
    displayMode |= gc.isGlutRgb() ? kGlutRgb : 0;
    displayMode |= gc.isGlutIndex() ? kGlutIndex : 0;
    displayMode |= gc.isGlutSingle() ? kGlutSingle : 0;
    displayMode |= gc.isGlutDouble() ? kGlutDouble : 0;
    displayMode |= gc.isGlutAccum() ? kGlutAccum : 0;
    displayMode |= gc.isGlutStencil() ? kGlutStencil : 0;
    displayMode |= gc.isGlutDepth() ? kGlutDepth : 0;
    gc.setDisplayMode(displayMode);

    gc.setGlFlat(cf.read<bool>("gl_flat"));
    gc.setGlSmooth(cf.read<bool>("gl_smooth"));
    gc.setGlDepthTest(cf.read<bool>("gl_depth_test"));
    gc.setGlClearDepth(cf.read<float>("gl_clear_depth"));

    gc.setGlDepthFuncNever(cf.read<bool>("gl_depth_func_never"));
    gc.setGlDepthFuncLess(cf.read<bool>("gl_depth_func_less"));
    gc.setGlDepthFuncEqual(cf.read<bool>("gl_depth_func_equal"));
    gc.setGlDepthFuncLequal(cf.read<bool>("gl_depth_func_lequal"));
    gc.setGlDepthFuncGreater(cf.read<bool>("gl_depth_func_greater"));
    gc.setGlDepthFuncNotequal(cf.read<bool>("gl_depth_func_notequal"));
    gc.setGlDepthFuncGequal(cf.read<bool>("gl_depth_func_gequal"));
    gc.setGlDepthFuncAlways(cf.read<bool>("gl_depth_func_always"));
    // The last flag set in this order wins.
    int depthFunc = 0;
    depthFunc = gc.isGlDepthFuncNever() ? kGlNever : depthFunc;
    depthFunc = gc.isGlDepthFuncLess() ? kGlLess : depthFunc;
    depthFunc = gc.isGlDepthFuncEqual() ? kGlEqual : depthFunc;
    depthFunc = gc.isGlDepthFuncLequal() ? kGlLequal : depthFunc;
    depthFunc = gc.isGlDepthFuncGreater() ? kGlGreater : depthFunc;
    depthFunc = gc.isGlDepthFuncNotequal() ? kGlNotequal : depthFunc;
    depthFunc = gc.isGlDepthFuncGequal() ? kGlGequal : depthFunc;
    depthFunc = gc.isGlDepthFuncAlways() ? kGlAlways : depthFunc;
    gc.setGlDepthFuncValue(depthFunc);

    gc.setGlClearColorRed(cf.read<float>("gl_clear_color_red"));
    gc.setGlClearColorGreen(cf.read<float>("gl_clear_color_green"));
    gc.setGlClearColorBlue(cf.read<float>("gl_clear_color_blue"));
    gc.setGlClearColorAlpha(cf.read<float>("gl_clear_color_alpha"));
    return gc;
}

PlayerConfig ConfigReader::ReadPlayerConfig() {
    ConfigFile cf = openConfig(playerConfigFile());
    PlayerConfig pc;
    for (int a = 0; a < PlayerConfig::kActionCount; ++a) {
        const auto action = static_cast<PlayerConfig::Action>(a);
        const char *key = PlayerConfig::fileKey(action);
        if (action == PlayerConfig::kZoomIn || action == PlayerConfig::kZoomOut) {
            pc.setKey(action, readKeyNumber(cf, key));
        } else if (PlayerConfig::isOptional(action) && !cf.keyExists(key)) {
            pc.setKey(action, PlayerConfig::defaults().getKey(action)); // files older than the key
        } else {
            pc.setKey(action, readKeyChar(cf, key));
        }
    }
    pc.setPlayerName1(cf.read<std::string>("playername1"));
    pc.setPlayerName2(cf.read<std::string>("playername2"));
    // Players three and four: files from the days of two players have no names for them.
    for (int player = 2; player < PlayerConfig::kNamedPlayers; ++player) {
        const std::string key = "playername" + std::to_string(player + 1);
        pc.setPlayerName(player, cf.read<std::string>(key, PlayerConfig::defaultName(player)));
    }
    PlayerConfig::Action first, second;
    if (pc.findConflict(first, second)) {
        std::fprintf(stderr,
                     "Error: \"%s\": the key \"%s\" is bound to both %s and %s; starting with the default keys\n",
                     cf.getSourceName().c_str(), KeyNames::toValue(pc.getKey(first)).c_str(),
                     PlayerConfig::fileKey(first), PlayerConfig::fileKey(second));
        pc.useDefaultKeys();
    }
    return pc;
}

MainMenuDefinition ConfigReader::ReadMainMenuDefinition() {
    ConfigFile cf = openConfig(GamePaths::current().data("config/mainmenu.ini"));
    MainMenuDefinition mm;
    const int count = MainMenuDefinition::kItemCount;
    auto key = [](int item, const char *suffix) { return "item" + std::to_string(item) + suffix; };
    for (int i = 1; i <= count; ++i) {
        // Items after the required ones are optional as a whole: one named by its picture needs
        // every key, one without a picture is not there.
        if (i > MainMenuDefinition::kRequiredItems && !cf.keyExists(key(i, "img"))) {
            continue;
        }
        mm.setItemY(i, cf.read<double>(key(i, "y")));
        mm.setItemX(i, cf.read<double>(key(i, "x")));
        mm.setItemImg(i, cf.read<std::string>(key(i, "img")));
        mm.setItemImgOver(i, cf.read<std::string>(key(i, "imgover")));
        mm.setItemImgX(i, cf.read<int>(key(i, "imgx")));
        mm.setItemImgY(i, cf.read<int>(key(i, "imgy")));
    }
    mm.setBackImg(cf.read<std::string>("backimg"));
    mm.setDefinitionResX(cf.read<int>("definitionresx"));
    mm.setDefinitionResY(cf.read<int>("definitionresy"));
    return mm;
}

std::unique_ptr<ConfigReader::FahrzeugTypMap> ConfigReader::ReadFahrzeuge() {
    auto types = std::make_unique<FahrzeugTypMap>();
    readIndex(GamePaths::current().data("config/fahrzeugconfig.ini"), "fahrzeugname", "fahrzeugpath",
              [&types](const std::string &path, const std::string &name) {
                  (*types)[name] = ReadFahrzeug(path, name);
              });
    return types;
}

CFahrzeugTypDaten ConfigReader::ReadFahrzeug(const std::string &path, const std::string &name) {
    ConfigFile cf = openConfig(path);
    CFahrzeugTypDaten td;
    td.setAccel(cf.read<float>("accel"));
    td.setTurningrate(cf.read<float>("turningrate"));
    td.setMaxSpeedForward(cf.read<float>("maxspeedforward"));
    td.setMaxSpeedReturn(cf.read<float>("maxspeedreturn"));
    float turm[3];
    turm[0] = cf.read<float>("posturmx");
    turm[1] = cf.read<float>("posturmy");
    turm[2] = cf.read<float>("posturmz");
    td.setTurmPos(turm);
    float muendung[3];
    muendung[0] = cf.read<float>("muendungposx");
    muendung[1] = cf.read<float>("muendungposy");
    muendung[2] = cf.read<float>("muendungposz");
    td.setMuendungPos(muendung);
    td.setLife(cf.read<unsigned int>("life"));
    td.setMaxLife(cf.read<unsigned int>("maxlife"));
    td.setAmmunition(cf.read<unsigned int>("ammunition"));
    td.setModellName(cf.read<std::string>("model"));
    td.setName(name);
    return td;
}

std::unique_ptr<ConfigReader::WeaponMap> ConfigReader::ReadWeapons() {
    auto weapons = std::make_unique<WeaponMap>();
    readIndex(GamePaths::current().data("config/weaponconfig.ini"), "weaponname", "weaponpath",
              [&weapons](const std::string &path, const std::string &name) {
                  (*weapons)[name] = ReadWeapon(path, name);
              });
    return weapons;
}

Weapon ConfigReader::ReadWeapon(const std::string &path, const std::string &name) {
    ConfigFile cf = openConfig(path);
    Weapon w;
    // Whole seconds only: the value is read as an integer, so 2.75 gives 2.
    w.setExplosionTime(static_cast<float>(cf.read<long>("explosiontime")));
    w.setReloadTime(cf.read<float>("reloadtime"));
    w.setShootDelay(cf.read<float>("shootdelay"));
    w.setSpeed(cf.read<float>("speed"));
    w.setWeaponPower(cf.read<float>("weaponpower"));
    w.setWeaponName(name);
    return w;
}

void ConfigReader::ReadPowerUpDaten(PowerUpMap &powerUps) {
    readIndex(powerUpIndexFile(), "powerupnam", "poweruppath",
              [&powerUps](const std::string &path, const std::string &name) {
                  powerUps[name] = ReadPowerUp(path, name);
              });
}

void ConfigReader::LoadPowerUpTypes(PowerUpMap &powerUps, const std::string &indexPath) {
    // Every broken entry has said why in one "Error: " line (the parser or the check below) and is
    // left out; the other types stay.
    try {
        readIndex(indexPath, "powerupnam", "poweruppath",
                  [&powerUps](const std::string &path, const std::string &name) {
                      try {
                          powerUps[name] = ReadPowerUp(path, name);
                      } catch (const ConfigFile::file_not_found &) {
                      } catch (const ConfigFile::key_not_found &) {
                      } catch (const invalid_value &) {
                      }
                  });
    } catch (const ConfigFile::file_not_found &) {
    } catch (const ConfigFile::key_not_found &) {
    }
}

std::unique_ptr<CPowerUpData> ConfigReader::ReadPowerUp(const std::string &path, const std::string &name) {
    // Every key is optional: a file without keys is a power-up with the defaults of the effect its
    // type name names (repair when the name is no effect).
    ConfigFile cf = openConfig(path);
    auto data = std::make_unique<CPowerUpData>();
    data->setName(name);
    CPowerUpData::Effect effect = CPowerUpData::effectFromName(name);
    if (cf.keyExists("effect")) {
        effect = CPowerUpData::effectFromName(cf.read<std::string>("effect"));
        if (effect == CPowerUpData::kNone) {
            rejectKey(cf, "effect", "no effect (repair, rapidfire, speed or armour)");
        }
    }
    data->setEffectWithDefaults(effect == CPowerUpData::kNone ? CPowerUpData::kRepair : effect);
    // A number that must be whole text and within [low, high]; the current value when absent.
    auto number = [&cf](const char *key, float current, float low, float high) {
        if (!cf.keyExists(key)) {
            return current;
        }
        const std::string text = cf.read<std::string>(key);
        char *end = nullptr;
        const float value = std::strtof(text.c_str(), &end);
        if (text.empty() || end == nullptr || *end != '\0' || !std::isfinite(value)) {
            rejectKey(cf, key, "no number");
        }
        if (value < low || value > high) {
            char why[96];
            std::snprintf(why, sizeof why, "out of the range %g to %g", low, high);
            rejectKey(cf, key, why);
        }
        return value;
    };
    constexpr float kLongest = 86400.0f; // seconds: nothing in a battle lasts a day
    const bool repair = data->getTyp() == CPowerUpData::kRepair;
    data->setAmount(number("amount", data->getAmount(), repair ? 1.0f : 0.05f, repair ? 100000.0f : 20.0f));
    data->setDuration(number("duration", data->getDuration(), 0.0f, kLongest));
    data->setRespawn(number("respawn", data->getRespawn(), 0.0f, kLongest));
    data->setSize(number("size", data->getSize(), 0.01f, 100.0f));
    data->setRadius(number("radius", data->getRadius(), 0.1f, 100.0f));
    const float *glow = data->getGlowColor();
    data->setGlowColor(number("glow_r", glow[0], 0.0f, 1.0f), number("glow_g", glow[1], 0.0f, 1.0f),
                       number("glow_b", glow[2], 0.0f, 1.0f));
    if (cf.keyExists("model")) {
        data->setModellName(cf.read<std::string>("model"));
    }
    return data;
}

PhysXActor ConfigReader::ReadPhysXActor(const std::string &path) {
    ConfigFile cf = openConfig(path);
    PhysXActor actor;
    actor.setSizeX(cf.read<double>("sizex"));
    actor.setSizeY(cf.read<double>("sizey"));
    actor.setSizeZ(cf.read<double>("sizez"));
    actor.setSizeXreal(cf.read<double>("sizexreal"));
    actor.setSizeYreal(cf.read<double>("sizeyreal"));
    actor.setSizeZreal(cf.read<double>("sizezreal"));
    return actor;
}

bool ConfigReader::SetPhysXActor(const PhysXActor &actor, const std::string &path, std::string *problem) {
    std::string contents;
    contents += sizeLine("sizex", actor.getSizeX());
    contents += sizeLine("sizey", actor.getSizeY());
    contents += sizeLine("sizez", actor.getSizeZ());
    contents += sizeLine("sizexreal", actor.getSizeXreal());
    contents += sizeLine("sizeyreal", actor.getSizeYreal());
    contents += sizeLine("sizezreal", actor.getSizeZreal());
    return writeFileAtomically(path, contents, problem);
}

Highscore ConfigReader::ReadHighscores() {
    ConfigFile cf = openConfig(highscoreFile());
    Highscore table;
    for (int k = 1;; ++k) {
        const std::string suffix = std::to_string(k);
        if (!cf.keyExists("name" + suffix)) {
            break;
        }
        HighscoreElement element;
        element.setName(cf.read<std::string>("name" + suffix).c_str());
        element.setPunkte(cf.read<int>("score" + suffix));
        table.addHighscore(element);
    }
    return table;
}

bool ConfigReader::SetHighscore(const Highscore &table) {
    std::string contents;
    const HighscoreElement *elements = table.getAllHighscoreElements();
    for (int i = 0; i <= table.getSize(); ++i) {
        const std::string number = std::to_string(i + 1);
        contents += "name" + number + "=" + oneLine(elements[i].getName()) + "\r\n";
        contents += "score" + number + "=" + std::to_string(elements[i].getPunkte()) + "\r\n";
        contents += "\r\n";
    }
    return writeFileAtomically(GamePaths::current().playerFile(GamePaths::PlayerFile::kHighscores), contents);
}

Highscore ConfigReader::LoadHighscores(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    Highscore table;
    if (!in) {
        return table;
    }
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string text = buffer.str();
    std::string problem;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 32 && c != '\r' && c != '\n' && c != '\t') || byte == 127) {
            problem = "it holds bytes that are no text";
            break;
        }
    }
    if (problem.empty()) {
        std::istringstream stream(text);
        ConfigFile cf;
        stream >> cf;
        for (int k = 1; problem.empty() && cf.keyExists("name" + std::to_string(k)); ++k) {
            const std::string n = std::to_string(k);
            if (!cf.keyExists("score" + n)) {
                problem = "name" + n + " has no score" + n;
                break;
            }
            const std::string score = cf.read<std::string>("score" + n);
            char *end = nullptr;
            const long value = std::strtol(score.c_str(), &end, 10);
            if (score.empty() || *end != '\0' || value < INT_MIN || value > INT_MAX) {
                problem = "score" + n + " \"" + score + "\" is no number";
                break;
            }
            HighscoreElement element;
            element.setName(cf.read<std::string>("name" + n).c_str());
            element.setPunkte(static_cast<int>(value));
            table.addHighscore(element);
        }
    }
    if (problem.empty()) {
        table.keepBest();
        return table;
    }
    const std::string kept = path + ".bad";
    std::error_code error;
    std::filesystem::rename(path, kept, error);
    std::fprintf(stderr, "Error: %s: %s; %s, and a new table starts\n", path.c_str(), problem.c_str(),
                 error ? ("it could not be kept aside: " + error.message()).c_str() : ("kept as " + kept).c_str());
    return Highscore();
}

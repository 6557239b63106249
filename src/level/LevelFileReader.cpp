#include "level/LevelFileReader.h"

#include "level/Level.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace {

// One line without its line end ("\n", "\r\n" or a lone "\r" before "\n").
// Only the first kMaxLineLength characters are kept: the rest of an
// over-long line is dropped rather than read as a line of its own.
bool readLine(std::istream &in, std::string &line) {
    line.clear();
    std::streambuf *buffer = in.rdbuf();
    if (buffer == nullptr) {
        return false;
    }
    bool any = false;
    for (;;) {
        const int c = buffer->sbumpc();
        if (c == std::char_traits<char>::eof()) {
            break;
        }
        any = true;
        if (c == '\n') {
            break;
        }
        if (line.size() < LevelFileReader::kMaxLineLength) {
            line.push_back(static_cast<char>(c));
        }
    }
    while (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return any;
}

bool isSkipped(const std::string &line) {
    return line.empty() || line[0] == '#';
}

// Like atof: leading white space skipped, conversion stops at the first
// unusable character, no number gives 0. Out-of-range values saturate.
float toFloat(const std::string &value) {
    return std::strtof(value.c_str(), nullptr);
}

// Like atoi, but saturating instead of overflowing.
int toInt(const std::string &value) {
    const long parsed = std::strtol(value.c_str(), nullptr, 10);
    if (parsed > INT_MAX) {
        return INT_MAX;
    }
    if (parsed < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(parsed);
}

// A colour component 0..1; anything else (NaN too) is brought into range.
float toColor(const std::string &value) {
    const float f = toFloat(value);
    return f > 0.0f ? std::min(f, 1.0f) : 0.0f;
}

bool toBool(const std::string &value) {
    return value == "true";
}

// Sets a field of an object record (also the object part of a vehicle);
// false when the key is not one of an object's.
bool applyObjectKey(ObjectData &object, LevelFileReader::StringValue key, const std::string &value) {
    using R = LevelFileReader;
    switch (key) {
    case R::evName:
        object.setName(value);
        return true;
    case R::evModel:
        object.setModel(value);
        return true;
    case R::evPosX:
        object.setPos(0, toFloat(value));
        return true;
    case R::evPosY:
        object.setPos(1, toFloat(value));
        return true;
    case R::evPosZ:
        object.setPos(2, toFloat(value));
        return true;
    case R::evRotation:
        object.setRotation(toFloat(value));
        return true;
    case R::evSize:
        object.setSize(toFloat(value));
        return true;
    case R::evColorR:
        object.setColor(0, toFloat(value));
        return true;
    case R::evColorB:
        object.setColor(1, toFloat(value));
        return true;
    case R::evColorG:
        object.setColor(2, toFloat(value));
        return true;
    case R::evCollision:
        object.setCollision(toBool(value));
        return true;
    case R::evDestroyable:
        object.setDestroyable(toBool(value));
        return true;
    case R::evLightsource:
        object.setLightsource(toBool(value));
        return true;
    case R::evThrowsShadow:
        object.setThrowsShadow(toBool(value));
        return true;
    default:
        return false;
    }
}

bool applyLevelDetailsKey(Level &level, LevelFileReader::StringValue key, const std::string &value) {
    using R = LevelFileReader;
    switch (key) {
    case R::evName:
        level.setLvlName(value);
        return true;
    case R::evFilename:
        level.setLvlFileName(value);
        return true;
    case R::evX1:
        level.setX1(toFloat(value));
        return true;
    case R::evY1:
        level.setZ1(toFloat(value));
        return true;
    case R::evX2:
        level.setX2(toFloat(value));
        return true;
    case R::evY2:
        level.setZ2(toFloat(value));
        return true;
    case R::evParTime:
        if (toFloat(value) > 0) { // a par time of no time is no par time: the default stays
            level.setParTime(toFloat(value));
        }
        return true;
    case R::evBgPicture:
        level.setBGPicture(value);
        return true;
    case R::evChallenge1:
    case R::evChallenge2:
        if (Level::isChallengeWord(value)) // another word rates nothing: the level shows no rating
            level.setChallenge(key == R::evChallenge1 ? 1 : 2, value);
        return true;
    case R::evSkyUp:
    case R::evSkyDown:
    case R::evSkyFront:
    case R::evSkyLeft:
    case R::evSkyBack:
    case R::evSkyRight:
        level.setSkyPicture(key - R::evSkyUp, value);
        return true;
    case R::evHorizonR:
    case R::evHorizonG:
    case R::evHorizonB:
        level.setHorizonColor(key - R::evHorizonR, toColor(value));
        return true;
    default:
        return false;
    }
}

bool applyLightKey(LightData &light, LevelFileReader::StringValue key, const std::string &value) {
    using R = LevelFileReader;
    switch (key) {
    case R::evPosX:
    case R::evPosY:
    case R::evPosZ:
        light.setPos(key - R::evPosX, toFloat(value));
        return true;
    case R::evDirectionX:
    case R::evDirectionY:
    case R::evDirectionZ:
        light.setDirection(key - R::evDirectionX, toFloat(value));
        return true;
    case R::evColorR:
    case R::evColorB:
    case R::evColorG:
        light.setColor(key - R::evColorR, toFloat(value));
        return true;
    case R::evIntentsy:
        light.setIntensity(toFloat(value));
        return true;
    case R::evLightNumber:
        light.setLightNumber(toInt(value));
        return true;
    case R::evSunX:
    case R::evSunY:
    case R::evSunZ:
        light.setSun(key - R::evSunX, toFloat(value));
        return true;
    default:
        return false;
    }
}

bool applySurfaceKey(Level &level, LevelFileReader::StringValue key, const std::string &value) {
    if (key != LevelFileReader::evHeightmap) {
        return false;
    }
    level.setHeightMap(value);
    return true;
}

bool applyVehicleKey(VehicleData &vehicle, LevelFileReader::StringValue key, const std::string &value) {
    using R = LevelFileReader;
    switch (key) {
    case R::evOwner:
        vehicle.setOwner(value);
        return true;
    case R::evWeapon:
        vehicle.setWeapon(value);
        return true;
    case R::evFahrzeugtyp:
        vehicle.setFahrzeugTyp(value);
        return true;
    case R::evLife:
        vehicle.setLife(toInt(value));
        return true;
    case R::evFromDifficulty: // a word that names no difficulty leaves the tank in every battle
        vehicle.setFromDifficulty(parseDifficulty(value).value_or(AiDifficulty::Easy));
        return true;
    case R::evFromPlayers:
        vehicle.setFromPlayers(std::clamp(toInt(value), 1, 4));
        return true;
    default:
        return applyObjectKey(vehicle, key, value); // "static" is not among them
    }
}

bool applyGoalKey(MissionsZiel &goal, LevelFileReader::StringValue key, const std::string &value) {
    using R = LevelFileReader;
    switch (key) {
    case R::evZielname:
        goal.setName(value);
        return true;
    case R::evZieltyp:
        goal.setTyp(toInt(value));
        return true;
    default:
        return false;
    }
}

bool applyPowerUpKey(LevelPowerUpData &powerUp, LevelFileReader::StringValue key, const std::string &value) {
    using R = LevelFileReader;
    switch (key) {
    case R::evPowerUpName:
        powerUp.setName(value);
        return true;
    case R::evPowerUpTyp:
        powerUp.setTypName(value);
        return true;
    case R::evPosX:
    case R::evPosY:
    case R::evPosZ: {
        // A placement at a wrong place is worse than none: a value that is no number spoils the record.
        char *end = nullptr;
        const float number = std::strtof(value.c_str(), &end);
        const bool whole = end != value.c_str() && std::isfinite(number) &&
                           value.find_first_not_of(" \t", static_cast<std::size_t>(end - value.c_str())) ==
                               std::string::npos;
        if (!whole && powerUp.getProblem().empty()) {
            const char *keyName = key == R::evPosX ? "pos_x" : key == R::evPosY ? "pos_y" : "pos_z";
            powerUp.setProblem(std::string(keyName) + " \"" + value + "\" is no number");
        }
        powerUp.setPos(key - R::evPosX, whole ? number : 0.0f);
        return true;
    }
    default:
        return false;
    }
}

// Reads the lines of one section. `line` holds the section word on entry and,
// when the function returns true, the first line that did not belong to the
// section; false means the file ended inside it.
template <typename Apply>
bool readSection(std::istream &in, std::string &line, const LevelFileReader &reader, Apply apply) {
    while (readLine(in, line)) {
        if (isSkipped(line)) {
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos || equals == 0) {
            return true;
        }
        const LevelFileReader::StringValue key = reader.getStringValue(line.substr(0, equals));
        if (key == LevelFileReader::evNotDefined || !apply(key, line.substr(equals + 1))) {
            return true;
        }
    }
    return false;
}

} // namespace

LevelFileReader::LevelFileReader() {
    static const char *const kTexts[] = {"",
                                         "[LEVELDETAILS]",
                                         "name",
                                         "filename",
                                         "x1",
                                         "y1",
                                         "x2",
                                         "y2",
                                         "bgpicture",
                                         "[LIGHT]",
                                         "pos_x",
                                         "pos_y",
                                         "pos_z",
                                         "direction_x",
                                         "direction_y",
                                         "direction_z",
                                         "color_r",
                                         "color_b",
                                         "color_g",
                                         "intentsy",
                                         "lightnumber",
                                         "[SURFACE]",
                                         "heightmap",
                                         "[OBJECT]",
                                         "model",
                                         "rotation",
                                         "collision",
                                         "destroyable",
                                         "lightsource",
                                         "throwsshadow",
                                         "[VEHICLE]",
                                         "size",
                                         "owner",
                                         "weapon",
                                         "life",
                                         "static",
                                         "fahrzeugtyp",
                                         "Missionsziele",
                                         "Zielname",
                                         "Zieltyp",
                                         "POWERUP",
                                         "PowerUpName",
                                         "PowerUpTyp",
                                         "partime",
                                         "skyup",
                                         "skydown",
                                         "skyfront",
                                         "skyleft",
                                         "skyback",
                                         "skyright",
                                         "horizon_r",
                                         "horizon_g",
                                         "horizon_b",
                                         "sun_x",
                                         "sun_y",
                                         "sun_z",
                                         "challenge1",
                                         "challenge2",
                                         "from_difficulty",
                                         "from_players"};
    static_assert(sizeof(kTexts) / sizeof(kTexts[0]) == evLastKeyword + 1, "one text per keyword");
    for (int i = 0; i <= evLastKeyword; ++i) {
        keywords[kTexts[i]] = static_cast<StringValue>(i);
    }
}

LevelFileReader::StringValue LevelFileReader::getStringValue(const std::string &text) const {
    const auto found = keywords.find(text);
    return found == keywords.end() ? evNotDefined : found->second;
}

std::unique_ptr<Level> LevelFileReader::readLevelFile(const std::string &path) const {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "Error: level file \"%s\" cannot be opened\n", path.c_str());
        return nullptr;
    }
    return readLevel(in, path);
}

std::unique_ptr<Level> LevelFileReader::readLevel(std::istream &in, const std::string &source) const {
    auto level = std::make_unique<Level>();
    bool hasGoal = false;
    std::string line;
    bool pending = readLine(in, line); // a line waiting to be examined
    while (pending) {
        Level &lvl = *level;
        switch (isSkipped(line) ? evNotDefined : getStringValue(line)) {
        case evLevelDetails:
            pending = readSection(in, line, *this, [&](StringValue key, const std::string &value) {
                return applyLevelDetailsKey(lvl, key, value);
            });
            break;
        case evSurface:
            pending = readSection(in, line, *this, [&](StringValue key, const std::string &value) {
                return applySurfaceKey(lvl, key, value);
            });
            break;
        case evLight: {
            auto light = std::make_unique<LightData>();
            pending = readSection(in, line, *this, [&](StringValue key, const std::string &value) {
                return applyLightKey(*light, key, value);
            });
            lvl.addLightSource(std::move(light));
            break;
        }
        case evObject: {
            auto object = std::make_unique<ObjectData>();
            pending = readSection(in, line, *this, [&](StringValue key, const std::string &value) {
                if (key == evStatic) {
                    object->setStatic(toBool(value));
                    return true;
                }
                return applyObjectKey(*object, key, value);
            });
            lvl.addObjectData(std::move(object));
            break;
        }
        case evVehicle: {
            auto vehicle = std::make_unique<VehicleData>();
            pending = readSection(in, line, *this, [&](StringValue key, const std::string &value) {
                return applyVehicleKey(*vehicle, key, value);
            });
            lvl.addVehicleData(std::move(vehicle));
            break;
        }
        case evMissionsziele: {
            auto goal = std::make_unique<MissionsZiel>();
            pending = readSection(in, line, *this, [&](StringValue key, const std::string &value) {
                return applyGoalKey(*goal, key, value);
            });
            lvl.addMissionsZiel(std::move(goal));
            hasGoal = true;
            break;
        }
        case evPowerUp: {
            auto powerUp = std::make_unique<LevelPowerUpData>();
            pending = readSection(in, line, *this, [&](StringValue key, const std::string &value) {
                return applyPowerUpKey(*powerUp, key, value);
            });
            if (powerUp->getProblem().empty()) {
                lvl.addLevelPowerUpData(std::move(powerUp));
            } else { // left out; the level loads without it
                std::fprintf(stderr, "Error: %s: power-up \"%s\" left out: %s\n", source.c_str(),
                             powerUp->getName().c_str(), powerUp->getProblem().c_str());
            }
            break;
        }
        default: // comments, blank lines and stray lines outside a section
            pending = readLine(in, line);
            break;
        }
    }

    if (level->getLvlName().empty()) {
        std::fprintf(stderr, "Error: level file \"%s\" names no level ([LEVELDETAILS] name=...)\n",
                     source.c_str());
        return nullptr;
    }
    if (level->getVehicleDataList().size() > Level::kMaxVehicles) {
        std::fprintf(stderr, "Error: level file \"%s\" has %zu vehicles, more than the %zu a level may have\n",
                     source.c_str(), level->getVehicleDataList().size(), Level::kMaxVehicles);
        return nullptr;
    }
    if (!hasGoal) {
        auto goal = std::make_unique<MissionsZiel>();
        goal->setTyp(MissionsZiel::kTypLastManStanding);
        goal->setName(kDefaultGoalName);
        level->addMissionsZiel(std::move(goal));
    }
    return level;
}

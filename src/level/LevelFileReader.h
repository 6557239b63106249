#pragma once

#include <istream>
#include <map>
#include <memory>
#include <string>

class Level;

// Reads a ".lvl" text file into a new Level. One reader serves a whole
// directory scan; its keyword table is built once by the constructor.
class LevelFileReader {
  public:
    // Section words and keys share one table; its order is part of the format.
    enum StringValue {
        evNotDefined = 0,
        evLevelDetails,
        evName,
        evFilename,
        evX1,
        evY1,
        evX2,
        evY2,
        evBgPicture,
        evLight,
        evPosX,
        evPosY,
        evPosZ,
        evDirectionX,
        evDirectionY,
        evDirectionZ,
        evColorR,
        evColorB,
        evColorG,
        evIntentsy,
        evLightNumber,
        evSurface,
        evHeightmap,
        evObject,
        evModel,
        evRotation,
        evCollision,
        evDestroyable,
        evLightsource,
        evThrowsShadow,
        evVehicle, // 30
        evSize,    // 31
        evOwner,
        evWeapon,
        evLife,
        evStatic,
        evFahrzeugtyp,
        evMissionsziele,
        evZielname,
        evZieltyp,
        evPowerUp,
        evPowerUpName,
        evPowerUpTyp, // 42
        evParTime,
        // Optional keys of later levels; old files never name them.
        evSkyUp, // the six sky pictures, in the face order of SkyBoxFace
        evSkyDown,
        evSkyFront,
        evSkyLeft,
        evSkyBack,
        evSkyRight,
        evHorizonR,
        evHorizonG,
        evHorizonB,
        evSunX,
        evSunY,
        evSunZ,
        evChallenge1,
        evChallenge2,
        evFromDifficulty,
        evFromPlayers,
        evLastKeyword = evFromPlayers
    };

    static constexpr std::size_t kMaxLineLength = 98; // characters kept of a line, line end excluded
    static constexpr const char *kDefaultGoalName = "Last Man Standing";

    LevelFileReader();

    // The level described by the file, owned by the caller. A file that cannot
    // be opened, or that names no level, gives one "Error: " line naming the
    // file and null.
    std::unique_ptr<Level> readLevelFile(const std::string &path) const;
    // The same for text already in memory; `source` names it in messages.
    std::unique_ptr<Level> readLevel(std::istream &in, const std::string &source) const;

    // The table entry of `text`; evNotDefined for every text not in it.
    StringValue getStringValue(const std::string &text) const;

  private:
    std::map<std::string, StringValue> keywords; // section words and keys
};

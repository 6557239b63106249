#pragma once

#include "config/ConfigReader.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>

class CFahrzeugTypDaten;
class Level;
class Md2Model;

// The files the whole run draws on, read at start-up: the levels of data/level/, the models of
// data/model/, and the vehicle and weapon tables. Each directory name ends with a slash.
class GameData {
  public:
    using LevelMap = std::map<std::string, std::unique_ptr<Level>>;
    using ModelMap = std::unordered_map<std::string, std::unique_ptr<Md2Model>>;

    GameData(); // reads the vehicle and weapon tables from data/config/
    ~GameData();
    GameData(const GameData &) = delete;
    GameData &operator=(const GameData &) = delete;

    // Reads every "*.lvl" file of the directory, in name order, hidden files
    // skipped. A file that yields no level prints "Load failed"; the scan goes
    // on and the result is false. A level name already taken keeps its first level.
    bool importLevels(const std::string &strDirName);
    Level *getLevel(const std::string &name) const; // null when absent
    // True when the scan found the file `fileName` but it yielded no level (its reader said why).
    bool levelFileFailed(const std::string &fileName) const { return brokenLevelFiles.count(fileName) != 0; }
    const LevelMap &getLevels() const { return levels; }
    // The level read from the file `fileName` of the scanned directory; null when the file was not
    // there, yielded no level, or named a level that an earlier file had taken.
    Level *getLevelOfFile(const std::string &fileName) const;
    const std::map<std::string, Level *> &getLevelFiles() const { return levelFiles; } // file name -> level

    // Reads every "*.md2" file of the directory, in name order, hidden files
    // skipped; a model that fails to load is not registered. Returns true.
    bool importModells(const std::string &strDirName);
    Md2Model *getModell(const std::string &name) const; // null when absent
    // True when the scan found the model file `name` but could not load it (its reader said why).
    bool modelFileFailed(const std::string &name) const { return brokenModels.count(name) != 0; }
    const ModelMap &getModells() const { return models; }

    const CFahrzeugTypDaten *getFahrzeugDatenTyp(const std::string &name) const; // null when absent
    const ConfigReader::WeaponMap &getWeapons() const { return *weaponTypes; }

  private:
    LevelMap levels;                           // level name -> level, owned until the program ends
    std::set<std::string> brokenLevelFiles;    // level file names that yielded no level
    std::map<std::string, Level *> levelFiles; // level file name -> the level it yielded
    ModelMap models;                           // model file name -> model, owned
    std::set<std::string> brokenModels;        // model files that failed to load; their reader has said why
    std::unique_ptr<ConfigReader::FahrzeugTypMap> fahrzeugTypes; // vehicle type name -> type
    std::unique_ptr<ConfigReader::WeaponMap> weaponTypes;        // weapon name -> weapon
};

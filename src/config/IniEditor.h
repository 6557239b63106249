#pragma once

#include <map>
#include <string>

// Changes the values of some keys of an existing .ini file and keeps everything else as it was:
// comments, blank lines, the order and every other pair. Used when the Options screen saves the
// keys into playerconfig.ini and the window into glutconfig.ini.
class IniEditor {
  public:
    // `text` with the value of each key in `values` replaced where the key stands ("key = value",
    // spaces and a trailing comment kept); keys the text lacks are added before "EndConfigFile".
    static std::string replaceValues(const std::string &text,
                                     const std::map<std::string, std::string> &values);
    // Reads `path`, replaces the values and writes it back safely. False after one "Error: " line.
    static bool update(const std::string &path, const std::map<std::string, std::string> &values);
};

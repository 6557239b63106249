#pragma once

#include <iosfwd>
#include <map>
#include <string>

// Reads a whole key=value text file once and answers typed look-ups; the one parser of every .ini file.
//
// Syntax: one pair per line, split at the first delimiter; everything from the comment marker on is
// ignored; a line holding the end marker ends the file; a value may run on over the following lines
// until a blank line, another pair, the end marker or the end of the stream. Keys are case-sensitive
// and a repeated key replaces the earlier value.
//
// Failures are thrown by value as the nested types below (no common base). Before throwing, the
// file prints one "Error: " line on stderr naming the file and the problem, because `key_not_found`
// carries only the key and the program stops at start-up without any catcher adding context.
class ConfigFile {
  public:
    // The file could not be opened for reading.
    struct file_not_found {
        std::string filename; // the path as given to the constructor
        explicit file_not_found(const std::string &filename_ = std::string()) : filename(filename_) {}
    };

    // A read without a default asked for a key the file does not hold.
    struct key_not_found {
        std::string key; // the key asked for
        explicit key_not_found(const std::string &key_ = std::string()) : key(key_) {}
    };

    // Parses the file at `filename`; throws file_not_found if it cannot be opened.
    explicit ConfigFile(const std::string &filename, const std::string &delimiter = "=",
                        const std::string &comment = "#", const std::string &sentry = "EndConfigFile");
    // Empty table with delimiter "=", comment marker "#" and no end marker; fill it with operator>>.
    ConfigFile();

    // The value of `key` converted with string_as_T; throws key_not_found when the key is absent.
    // Instantiated for std::string, bool, int, unsigned int, long, char, float and double.
    template <class T> T read(const std::string &key) const;
    // As above, but `value` is returned when the key is absent (never throws).
    template <class T> T read(const std::string &key, const T &value) const;

    bool keyExists(const std::string &key) const;
    void remove(const std::string &key); // an absent key leaves the table unchanged

    // Removes " \n\t\v\r\f" from both ends of `s`.
    static void trim(std::string &s);

    // Conversions of a stored value. Numbers take the longest numeric prefix in the classic locale
    // ("12abc" -> 12, "1.9" as int -> 1); a value that does not start with a number gives 0, an empty
    // one gives NUL as char; bool is false only for FALSE, F, NO, N, 0, NONE (any case).
    template <class T> static T string_as_T(const std::string &s);

    // Name used in error lines: the file path, or "(stream)" for a table filled with operator>>.
    const std::string &getSourceName() const { return sourceName; }

    friend std::ostream &operator<<(std::ostream &os, const ConfigFile &cf);
    friend std::istream &operator>>(std::istream &is, ConfigFile &cf);

  private:
    std::string delimiter;                       // separates key from value
    std::string comment;                         // starts a comment running to the end of the line
    std::string sentry;                          // a line containing it ends the file; empty means none
    std::map<std::string, std::string> contents; // pairs read, ordered byte-wise by key
    std::string sourceName;                      // file path for error lines; "(stream)" if none

    void reportMissingKey(const std::string &key) const;
};

// Writes every pair in key order as "key = value" lines.
std::ostream &operator<<(std::ostream &os, const ConfigFile &cf);
// Parses the stream and adds its pairs to the table.
std::istream &operator>>(std::istream &is, ConfigFile &cf);

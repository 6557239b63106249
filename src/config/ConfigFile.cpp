#include "config/ConfigFile.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <istream>
#include <locale>
#include <ostream>
#include <sstream>
#include <type_traits>

namespace {

const char *const kWhitespace = " \n\t\v\r\f";

bool isBlank(char c) {
    return c != '\0' && std::char_traits<char>::find(kWhitespace, 6, c) != nullptr;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A line from the stream without its line end; the CR of a CR LF line goes too, so a value that
// runs over several lines of a Windows file does not keep a CR before each inner line feed.
bool readLine(std::istream &is, std::string &line) {
    std::getline(is, line);
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return static_cast<bool>(is);
}

// Cuts `line` at the first comment marker.
void cutComment(std::string &line, const std::string &comment) {
    if (comment.empty()) {
        return;
    }
    std::string::size_type pos = line.find(comment);
    if (pos != std::string::npos) {
        line.erase(pos);
    }
}

bool isWhitespaceOnly(const std::string &s) {
    return s.find_first_not_of(kWhitespace) == std::string::npos;
}

// The longest prefix of `s` (after leading white space) that is a decimal floating-point number:
// sign, digits, optional fraction, and an exponent only when it has digits. Stream extraction alone
// would reject "1.5e" entirely instead of taking 1.5.
std::string floatPrefix(const std::string &s) {
    std::string::size_type i = s.find_first_not_of(kWhitespace);
    if (i == std::string::npos) {
        return std::string();
    }
    const std::string::size_type start = i;
    if (s[i] == '+' || s[i] == '-') {
        ++i;
    }
    std::string::size_type mantissaDigits = 0;
    while (i < s.size() && isDigit(s[i])) {
        ++i;
        ++mantissaDigits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            ++i;
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) {
        return std::string();
    }
    std::string::size_type end = i;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::string::size_type j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            ++j;
        }
        if (j < s.size() && isDigit(s[j])) {
            while (j < s.size() && isDigit(s[j])) {
                ++j;
            }
            end = j;
        }
    }
    return s.substr(start, end - start);
}

// Formatted extraction in the classic locale; a failed extraction leaves 0 (or the type's limit
// when the number is out of range), so garbage never yields an indeterminate value.
template <class T> T extract(const std::string &s) {
    std::istringstream is(s);
    is.imbue(std::locale::classic());
    T t = T();
    is >> t;
    return t;
}

} // namespace

ConfigFile::ConfigFile(const std::string &filename, const std::string &delimiter_,
                       const std::string &comment_, const std::string &sentry_)
    : delimiter(delimiter_), comment(comment_), sentry(sentry_), sourceName(filename) {
    std::ifstream in(filename.c_str());
    if (!in) {
        std::fprintf(stderr, "Error: cannot open the configuration file \"%s\"\n", filename.c_str());
        throw file_not_found(filename);
    }
    in >> *this;
}

ConfigFile::ConfigFile() : delimiter("="), comment("#"), sentry(""), sourceName("(stream)") {}

template <class T> T ConfigFile::read(const std::string &key) const {
    auto p = contents.find(key);
    if (p == contents.end()) {
        reportMissingKey(key);
        throw key_not_found(key);
    }
    return string_as_T<T>(p->second);
}

template <class T> T ConfigFile::read(const std::string &key, const T &value) const {
    auto p = contents.find(key);
    if (p == contents.end()) {
        return value;
    }
    return string_as_T<T>(p->second);
}

bool ConfigFile::keyExists(const std::string &key) const {
    return contents.find(key) != contents.end();
}

void ConfigFile::remove(const std::string &key) {
    contents.erase(key);
}

void ConfigFile::trim(std::string &s) {
    s.erase(0, s.find_first_not_of(kWhitespace));
    s.erase(s.find_last_not_of(kWhitespace) + 1);
}

template <class T> T ConfigFile::string_as_T(const std::string &s) {
    if constexpr (std::is_same_v<T, std::string>) {
        return s;
    } else if constexpr (std::is_same_v<T, bool>) {
        std::string sup = s;
        trim(sup);
        for (char &c : sup) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        return !(sup == "FALSE" || sup == "F" || sup == "NO" || sup == "N" || sup == "0" || sup == "NONE");
    } else if constexpr (std::is_same_v<T, char>) {
        for (char c : s) {
            if (!isBlank(c)) {
                return c;
            }
        }
        return '\0';
    } else if constexpr (std::is_floating_point_v<T>) {
        return extract<T>(floatPrefix(s));
    } else {
        static_assert(std::is_integral_v<T>, "ConfigFile converts only to strings, bool, char and numbers");
        return extract<T>(s);
    }
}

void ConfigFile::reportMissingKey(const std::string &key) const {
    std::fprintf(stderr, "Error: \"%s\" has no key \"%s\"\n", sourceName.c_str(), key.c_str());
}

std::ostream &operator<<(std::ostream &os, const ConfigFile &cf) {
    for (const auto &pair : cf.contents) {
        os << pair.first << " " << cf.delimiter << " " << pair.second << std::endl;
    }
    return os;
}

std::istream &operator>>(std::istream &is, ConfigFile &cf) {
    const std::string &delim = cf.delimiter;
    const std::string &comm = cf.comment;
    const std::string &sentry = cf.sentry;

    std::string nextline; // a line read ahead while collecting a value, parsed on the next round
    while (is || !nextline.empty()) {
        std::string line;
        if (!nextline.empty()) {
            line.swap(nextline);
        } else {
            readLine(is, line);
        }

        cutComment(line, comm);
        if (!sentry.empty() && line.find(sentry) != std::string::npos) {
            return is;
        }

        std::string::size_type delimPos = delim.empty() ? std::string::npos : line.find(delim);
        if (delimPos == std::string::npos) {
            continue;
        }
        std::string key = line.substr(0, delimPos);
        std::string value = line.substr(delimPos + delim.size());

        // Collect continuation lines of the value.
        while (is) {
            readLine(is, nextline);
            if (isWhitespaceOnly(nextline)) {
                break;
            }
            cutComment(nextline, comm);
            if (nextline.find(delim) != std::string::npos) {
                break;
            }
            if (!sentry.empty() && nextline.find(sentry) != std::string::npos) {
                break;
            }
            if (!isWhitespaceOnly(nextline)) {
                value += "\n";
            }
            value += nextline;
            nextline.clear(); // consumed: it must not come back as a line of its own
        }

        ConfigFile::trim(key);
        ConfigFile::trim(value);
        cf.contents[key] = value;
    }
    return is;
}

// The conversions and reads the game uses.
#define PANZER_CONFIG_INSTANTIATE(T)                                                                         \
    template T ConfigFile::read<T>(const std::string &) const;                                               \
    template T ConfigFile::read<T>(const std::string &, const T &) const;                                    \
    template T ConfigFile::string_as_T<T>(const std::string &);

PANZER_CONFIG_INSTANTIATE(std::string)
PANZER_CONFIG_INSTANTIATE(bool)
PANZER_CONFIG_INSTANTIATE(int)
PANZER_CONFIG_INSTANTIATE(unsigned int)
PANZER_CONFIG_INSTANTIATE(long)
PANZER_CONFIG_INSTANTIATE(char)
PANZER_CONFIG_INSTANTIATE(float)
PANZER_CONFIG_INSTANTIATE(double)

#undef PANZER_CONFIG_INSTANTIATE

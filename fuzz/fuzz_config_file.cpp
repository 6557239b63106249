// Fuzz target: the .ini parser (ConfigFile's stream input operator), then every typed read of
// each key it found.
#include "config/ConfigFile.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace {
// The keys of the table, taken from its "key = value" listing; continuation lines of a value
// never hold the delimiter, so only key lines match.
std::vector<std::string> listedKeys(const ConfigFile &cf) {
    std::ostringstream out;
    out << cf;
    std::istringstream listing(out.str());
    std::vector<std::string> keys;
    std::string line;
    while (std::getline(listing, line)) {
        const std::string::size_type at = line.find(" = ");
        if (at != std::string::npos) {
            keys.push_back(line.substr(0, at));
        }
    }
    return keys;
}

template <class T> void readBoth(const ConfigFile &cf, const std::string &key) {
    try {
        (void)cf.read<T>(key);
    } catch (const ConfigFile::key_not_found &) {
        // a key that came back trimmed differently is simply absent
    }
    (void)cf.read<T>(key, T());
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char *>(data), size));
    ConfigFile cf;
    in >> cf;
    for (const std::string &key : listedKeys(cf)) {
        (void)cf.keyExists(key);
        readBoth<std::string>(cf, key);
        readBoth<bool>(cf, key);
        readBoth<int>(cf, key);
        readBoth<unsigned int>(cf, key);
        readBoth<long>(cf, key);
        readBoth<char>(cf, key);
        readBoth<float>(cf, key);
        readBoth<double>(cf, key);
    }
    return 0;
}

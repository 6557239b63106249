#include "input/PadState.h"

#include <cctype>

std::optional<PadId> PadId::parse(const std::string &text) {
    constexpr std::size_t kGuidDigits = 32;
    const std::size_t hash = text.find('#');
    if (hash != kGuidDigits)
        return std::nullopt;
    PadId id;
    for (std::size_t i = 0; i < kGuidDigits; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (!std::isxdigit(c))
            return std::nullopt;
        id.guid += static_cast<char>(std::tolower(c));
    }
    // One or two decimal digits, no sign, no leading zero: "0" .. "15".
    const std::string index = text.substr(hash + 1);
    if (index.empty() || index.size() > 2 || (index.size() == 2 && index[0] == '0'))
        return std::nullopt;
    id.index = 0;
    for (char c : index) {
        if (c < '0' || c > '9')
            return std::nullopt;
        id.index = id.index * 10 + (c - '0');
    }
    if (id.index > kMaxIndex)
        return std::nullopt;
    return id;
}

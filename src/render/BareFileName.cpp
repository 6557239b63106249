#include "render/BareFileName.h"

std::string bareFileName(const std::string &path) {
    // A backslash wins over any forward slash, so "data\textures/a.jpg" keeps
    // "textures/a.jpg": the game's own data never mixes the two.
    std::string::size_type cut = path.rfind('\\');
    if (cut == std::string::npos) {
        cut = path.rfind('/');
    }
    if (cut == std::string::npos) {
        return path;
    }
    return path.substr(cut + 1);
}

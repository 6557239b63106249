// panzer_artgen: paints the game's pictures into a data tree, the same bytes on every run.
//
//   panzer_artgen [--fonts DIR] <data dir> [family ...]
//   panzer_artgen --list
#include "ArtContext.h"
#include "ArtFamilies.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

const char *const kDefaultFontDir = "/usr/share/fonts/truetype/dejavu";

void printUsage() {
    std::fprintf(stderr,
                 "Usage: panzer_artgen [--fonts DIR] <data dir> [family ...]\n"
                 "       panzer_artgen --list\n"
                 "Writes the pictures of the named families (default: all) into <data dir>/textures/\n"
                 "and the application icon into <data dir>/icons/.\n");
}

const ArtFamily *findFamily(const std::string &name) {
    for (const ArtFamily &family : artFamilies())
        if (family.name == name)
            return &family;
    return nullptr;
}

} // namespace

int main(int argc, char **argv) {
    std::string fontDir = kDefaultFontDir;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--list") {
            for (const ArtFamily &family : artFamilies())
                std::printf("%-10s %s\n", family.name.c_str(), family.description.c_str());
            return 0;
        }
        if (arg == "--help" || arg == "-h") {
            printUsage();
            return 0;
        }
        if (arg == "--fonts") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "Error: --fonts needs a folder\n");
                return 2;
            }
            fontDir = argv[++i];
            continue;
        }
        args.push_back(arg);
    }
    if (args.empty()) {
        printUsage();
        return 2;
    }

    std::vector<const ArtFamily *> chosen;
    bool everything = args.size() == 1;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "all") {
            everything = true;
            continue;
        }
        const ArtFamily *family = findFamily(args[i]);
        if (!family) {
            std::fprintf(stderr, "Error: unknown picture family '%s' (see --list)\n", args[i].c_str());
            return 2;
        }
        chosen.push_back(family);
    }
    if (everything) {
        chosen.clear();
        for (const ArtFamily &family : artFamilies())
            chosen.push_back(&family);
    }

    ArtContext context(args[0], fontDir);
    bool ok = true;
    for (const ArtFamily *family : chosen)
        ok = family->generate(context) && ok;
    return ok ? 0 : 1;
}

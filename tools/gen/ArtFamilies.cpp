#include "ArtFamilies.h"

#include "MenuArt.h"

const std::vector<ArtFamily> &artFamilies() {
    static const std::vector<ArtFamily> families = {
        {"menu", "main menu background and the normal and hover item pictures", &MenuArt::generate},
    };
    return families;
}

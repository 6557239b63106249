#include "ArtFamilies.h"

#include "MenuArt.h"
#include "SpriteArt.h"

const std::vector<ArtFamily> &artFamilies() {
    static const std::vector<ArtFamily> families = {
        {"menu", "main menu background and the normal and hover item pictures", &MenuArt::generate},
        {"sprites", "particle sprites: the smoke puff Cloud.jpg and the fiery burst Blow.jpg",
         &SpriteArt::generate},
    };
    return families;
}

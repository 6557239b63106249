#include "ArtFamilies.h"

#include "IconArt.h"
#include "MenuArt.h"
#include "SpriteArt.h"
#include "SkyArt.h"
#include "TerrainArt.h"

const std::vector<ArtFamily> &artFamilies() {
    static const std::vector<ArtFamily> families = {
        {"menu", "main menu background and the normal and hover item pictures", &MenuArt::generate},
        {"sprites", "particle sprites: the smoke puff Cloud.jpg and the fiery burst Blow.jpg",
         &SpriteArt::generate},
        {"terrain", "level heightmaps and the ground picture", &TerrainArt::generate},
        {"sky", "the six sky box pictures", &SkyArt::generate},
        {"icon", "the application icon at every hicolor size, 16 to 512 pixels", &IconArt::generate},
    };
    return families;
}

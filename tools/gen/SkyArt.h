#pragma once

#include "ArtContext.h"
#include "Color.h"
#include "Gradient.h"

#include <cstdint>
#include <string>

// The "sky" family: the six pictures of each level's sky box, painted from one
// sky function of the view direction on the faces exactly as the level draws
// them, so that the box shows no edges.
class SkyArt {
  public:
    static constexpr int kSide = 512;      // pixels per face side of the first level's sky
    static constexpr int kLevelSide = 256; // pixels per face side of the later levels' skies

    // How one sky looks: its colours, its sun and its clouds.
    struct Style {
        std::string prefix;                 // "" for up.png ...; "canyon_" gives canyon_up.png ...
        int side;                           // pixels per face side
        float sun[3];                       // towards the sun: the level's sun_x, sun_y, sun_z
        Gradient above;                     // horizon (0) to zenith (1)
        Gradient below;                     // horizon (0) straight down (1): far land
        Color haze;                         // the horizon colour: the level's horizon_r, _g, _b
        Color sunHaze;                      // warm glow around the sun
        Color sunHalo;                      // bright halo close to the sun
        Color sunDisc;                      // the disc itself
        Color cloudLight;                   // lit top of a cloud
        Color cloudShade;                   // its shaded underside
        Color cloudRim;                     // cloud rims near the sun
        float cloudFrom, cloudTo;           // noise values where clouds start and close up
        float cloudOpacity;                 // most a cloud covers the sky, 0..1
        std::uint32_t cloudSeed, shadeSeed; // noise fields of cover and shading
    };

    // Writes every picture of the family; false if any could not be made.
    static bool generate(ArtContext &context);

    // The skies in the order they are written; the first is the default sky.
    static const Style &style(int index);
    static int styleCount();

    // Colour of the sky of `style` seen in direction (x, y, z) (any length, y up).
    static Color skyColor(const Style &style, float x, float y, float z);
    // The face with index `face` of the sky box table (up, bottom, front,
    // left, back, right).
    static Canvas face(const Style &style, int face);
};

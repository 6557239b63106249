#pragma once

#include "Canvas.h"
#include "Font.h"
#include "ValueNoise.h"

// The main menu's backdrop: a battlefield at dusk with the game's title, painted back to
// front like a matte painting (sky, sun, clouds, hill ranges, smoke, tank, obstacles, title).
class MenuBackground {
  public:
    static constexpr int kWidth = 1024; // pixels; the menu's definition resolution
    static constexpr int kHeight = 768; // pixels

    explicit MenuBackground(const Font &font);
    Canvas paint();

  private:
    void paintSky();
    void paintStars();
    void paintSun();
    void paintClouds();
    void paintRange(float base, float amplitude, float wavelength, std::uint32_t seed, const Color &color,
                    float haze);
    void paintSmoke(float baseX, float baseY, float height, std::uint32_t seed);
    void paintFlash(float x, float y, float radius);
    void paintForeground();
    void paintTank(float left, float ground, float length);
    void paintObstacles();
    void paintTitle();
    void paintVignette();

    // Paints a black silhouette with a warm rim on the edges that face the sun.
    void paintSilhouette(const Mask &shape, const Color &body, float rimStrength);

    const Font &font;  // bold sans for the title and subtitle
    Canvas canvas;     // the picture being painted, opaque
    ValueNoise noise;  // clouds, ridges, smoke and metal grain
    float sunX = 0.0f; // pixels, centre of the sun disc
    float sunY = 0.0f; // pixels
};

#pragma once

#include "Canvas.h"
#include "Font.h"

#include <string>

// One main-menu button: a riveted steel plaque with a stencilled word, in a quiet normal
// state and a glowing hover state of the same size.
class MenuItemArt {
  public:
    static constexpr int kWidth = 384; // pixels, drawn 1:1 at the menu's definition resolution
    static constexpr int kHeight = 64; // pixels

    MenuItemArt(const Font &font, const std::string &label);
    // Opaque plaque on a transparent ground; every pixel is either fully opaque or fully
    // transparent, because the menu draws with an alpha test and without blending.
    Canvas paint(bool hover) const;

  private:
    const Font &font;  // bold sans for the word
    std::string label; // the word on the plaque, capitals
};

#include "MenuItemArt.h"

#include "Gradient.h"
#include "ValueNoise.h"

#include <cmath>

namespace {

constexpr float kW = static_cast<float>(MenuItemArt::kWidth);
constexpr float kH = static_cast<float>(MenuItemArt::kHeight);
constexpr float kChamfer = 9.0f; // pixels cut off each corner
constexpr float kWordMargin = 58.0f; // pixels from each side the word keeps clear: the band and an arrow

// The plaque's outline moved `inset` pixels inwards, corners cut at 45 degrees.
Contour plaque(float inset) {
    const float c = kChamfer - inset * 0.4142f; // the chamfer of a parallel outline is shorter
    const float x0 = inset, y0 = inset, x1 = kW - inset, y1 = kH - inset;
    return {{x0 + c, y0}, {x1 - c, y0}, {x1, y0 + c}, {x1, y1 - c},
            {x1 - c, y1}, {x0 + c, y1}, {x0, y1 - c}, {x0, y0 + c}};
}

Mask plaqueMask(float inset) {
    Mask m(MenuItemArt::kWidth, MenuItemArt::kHeight);
    m.fillPolygon(plaque(inset));
    return m;
}

// A domed rivet head lit from the upper left.
void paintRivet(Canvas &canvas, float x, float y, bool hover) {
    Mask shadow(MenuItemArt::kWidth, MenuItemArt::kHeight);
    shadow.fillEllipse(x + 1.0f, y + 1.5f, 3.6f, 3.6f);
    canvas.paint(shadow.blurred(1), Color::hex(0x000000, 0.7f));
    Mask head(MenuItemArt::kWidth, MenuItemArt::kHeight);
    head.fillEllipse(x, y, 3.4f, 3.4f);
    canvas.paint(head, [&](int px, int py) {
        const float d = std::sqrt((px + 0.5f - (x - 1.2f)) * (px + 0.5f - (x - 1.2f)) +
                                  (py + 0.5f - (y - 1.2f)) * (py + 0.5f - (y - 1.2f)));
        return mix(hover ? Color::hex(0xf4d9a0) : Color::hex(0xaab29e),
                   hover ? Color::hex(0x4a3418) : Color::hex(0x2a2e26), smoothstep(0.0f, 5.0f, d));
    });
}

// A small arrow head at the side of the word, pointing at it.
Mask chevron(float tipX, float y, float direction) {
    Mask m(MenuItemArt::kWidth, MenuItemArt::kHeight);
    const float back = tipX - direction * 11.0f;
    m.fillPolygon({{back, y - 9.0f}, {tipX, y}, {back, y + 9.0f}, {back + direction * 4.0f, y}});
    return m;
}

} // namespace

MenuItemArt::MenuItemArt(const Font &font, const std::string &label) : font(font), label(label) {}

Canvas MenuItemArt::paint(bool hover) const {
    Canvas canvas(MenuItemArt::kWidth, MenuItemArt::kHeight);
    const ValueNoise grain(0x17E4A7u);

    const Mask outer = plaqueMask(0.0f);
    const Mask rimInner = plaqueMask(2.0f);
    const Mask face = plaqueMask(4.0f);

    // Frame: a dark outer edge, then a bevelled rim, lit on top and dark below.
    canvas.paint(outer, hover ? Color::hex(0x1c1206) : Color::hex(0x090a08));
    const Gradient rimNormal{
        {0.0f, Color::hex(0x9aa292)}, {0.5f, Color::hex(0x4a5046)}, {1.0f, Color::hex(0x16180f)}};
    const Gradient rimHover{
        {0.0f, Color::hex(0xffe0a0)}, {0.5f, Color::hex(0xffa83a)}, {1.0f, Color::hex(0xb8621a)}};
    canvas.paint(rimInner,
                 [&](int, int y) { return (hover ? rimHover : rimNormal)(static_cast<float>(y) / kH); });

    // Face: brushed plate, olive steel normally, warm bronze when lit.
    const Gradient faceNormal{
        {0.0f, Color::hex(0x565d4e)}, {0.5f, Color::hex(0x3c4137)}, {1.0f, Color::hex(0x262a22)}};
    const Gradient faceHover{
        {0.0f, Color::hex(0x86683c)}, {0.5f, Color::hex(0x5c4424)}, {1.0f, Color::hex(0x3a2814)}};
    canvas.paint(face, [&](int x, int y) {
        const float brushed =
            grain.fractal(static_cast<float>(x) / 60.0f, static_cast<float>(y) / 1.3f, 3) - 0.5f;
        const float ends =
            1.0f - 0.18f * smoothstep(0.7f, 1.0f, std::fabs(static_cast<float>(x) / kW * 2.0f - 1.0f));
        return (hover ? faceHover : faceNormal)(static_cast<float>(y) / kH)
            .scaled((1.0f + brushed * 0.22f) * ends);
    });
    // A recessed band runs under the word, with a shadowed top lip.
    Mask band(MenuItemArt::kWidth, MenuItemArt::kHeight);
    band.fillRect(28.0f, 13.0f, kW - 28.0f, kH - 13.0f);
    canvas.darken(band, Color::hex(0x000000, 0.22f));
    Mask lip = band;
    lip.subtract(band.shifted(0, 2));
    canvas.darken(lip, Color::hex(0x000000, 0.45f));
    Mask sill = band;
    sill.subtract(band.shifted(0, -1));
    canvas.glow(sill, Color::hex(0xffffff, hover ? 0.25f : 0.12f));

    if (hover) {
        // Light spills inwards from the glowing rim.
        Mask spill = face;
        spill.invert();
        spill = spill.blurred(7);
        spill.intersect(face);
        canvas.glow(spill, Color::hex(0xff9a30, 0.55f));
    }

    const float rivetX[] = {14.0f, kW - 14.0f};
    for (float x : rivetX)
        for (float y : {17.0f, kH - 17.0f})
            paintRivet(canvas, x, y, hover);

    // The word: stencil paint on the plate, with a shadow that makes it stand off the metal.
    // A long word is set smaller and narrower, so that it stays on the band with room for the arrows.
    TextStyle style{25.0f, 0.92f, 3.5f};
    const float room = kW - 2.0f * kWordMargin, natural = font.measure(label, style).width();
    if (natural > room) { // half of it smaller, half of it narrower
        const float shrink = std::sqrt(room / natural);
        style.capHeight *= shrink;
        style.condense *= shrink;
        style.tracking *= shrink;
    }
    Mask word(MenuItemArt::kWidth, MenuItemArt::kHeight);
    font.drawCentred(word, label, kW * 0.5f, kH * 0.5f, style);
    if (hover) {
        canvas.glow(word.dilated(2.0f).blurred(8), Color::hex(0xff9a2a, 0.9f));
        const float half = font.measure(label, style).width() * 0.5f;
        Mask arrows = chevron(kW * 0.5f - half - 16.0f, kH * 0.5f, 1.0f);
        arrows.unite(chevron(kW * 0.5f + half + 16.0f, kH * 0.5f, -1.0f));
        canvas.paint(arrows.shifted(1, 2).blurred(1), Color::hex(0x000000, 0.6f));
        canvas.paint(arrows, Color::hex(0xffc060));
    }
    canvas.paint(word.shifted(1, 2).blurred(1), Color::hex(0x000000, 0.75f));
    const Gradient ink = hover ? Gradient{{0.0f, Color::hex(0xffffff)}, {1.0f, Color::hex(0xffe2a8)}}
                               : Gradient{{0.0f, Color::hex(0xf0ead2)}, {1.0f, Color::hex(0xc4bc9c)}};
    canvas.paint(word, [&](int, int y) { return ink(static_cast<float>(y - 18) / 28.0f); });

    canvas.hardenAlpha(0.5f);
    canvas.bleedIntoTransparent(4);
    return canvas;
}

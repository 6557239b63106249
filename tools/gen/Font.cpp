#include "Font.h"

#include <stb/stb_truetype.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

Font::Font() : info(std::make_unique<stbtt_fontinfo>()) {}

Font::~Font() = default;

bool Font::load(const std::string &path, std::string &error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open the font file";
        return false;
    }
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    const int offset = data.empty() ? -1 : stbtt_GetFontOffsetForIndex(data.data(), 0);
    if (offset < 0 || !stbtt_InitFont(info.get(), data.data(), offset)) {
        error = "not a TrueType font";
        data.clear();
        return false;
    }
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    if (!stbtt_GetCodepointBox(info.get(), 'H', &x0, &y0, &x1, &y1) || y1 <= 0) {
        error = "the font has no capital H to size text by";
        data.clear();
        return false;
    }
    capUnits = static_cast<float>(y1);
    return true;
}

std::vector<Font::Glyph> Font::layout(const std::string &text, const TextStyle &style, float &scaleX,
                                      float &scaleY) const {
    scaleY = style.capHeight / capUnits;
    scaleX = scaleY * style.condense;
    std::vector<Glyph> glyphs;
    float pen = 0.0f;
    for (size_t i = 0; i < text.size(); ++i) {
        const int cp = static_cast<unsigned char>(text[i]);
        glyphs.push_back({cp, pen});
        int advance = 0, bearing = 0;
        stbtt_GetCodepointHMetrics(info.get(), cp, &advance, &bearing);
        pen += static_cast<float>(advance) * scaleX + style.tracking;
        if (i + 1 < text.size())
            pen += static_cast<float>(stbtt_GetCodepointKernAdvance(
                       info.get(), cp, static_cast<unsigned char>(text[i + 1]))) *
                   scaleX;
    }
    return glyphs;
}

InkBox Font::measure(const std::string &text, const TextStyle &style) const {
    InkBox box;
    if (data.empty())
        return box;
    float scaleX = 0.0f, scaleY = 0.0f;
    bool first = true;
    for (const Glyph &g : layout(text, style, scaleX, scaleY)) {
        const float shift = g.penX - std::floor(g.penX);
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        stbtt_GetCodepointBitmapBoxSubpixel(info.get(), g.codepoint, scaleX, scaleY, shift, 0.0f, &x0, &y0,
                                            &x1, &y1);
        if (x1 <= x0 || y1 <= y0)
            continue; // a space
        const float left = std::floor(g.penX) + static_cast<float>(x0);
        const float right = std::floor(g.penX) + static_cast<float>(x1);
        if (first) {
            box = {left, static_cast<float>(y0), right, static_cast<float>(y1)};
            first = false;
        } else {
            box.left = std::min(box.left, left);
            box.right = std::max(box.right, right);
            box.top = std::min(box.top, static_cast<float>(y0));
            box.bottom = std::max(box.bottom, static_cast<float>(y1));
        }
    }
    return box;
}

void Font::draw(Mask &target, const std::string &text, float x, float baseline,
                const TextStyle &style) const {
    if (data.empty())
        return;
    float scaleX = 0.0f, scaleY = 0.0f;
    const float baseRow = std::floor(baseline);
    const float shiftY = baseline - baseRow;
    std::vector<unsigned char> bitmap;
    for (const Glyph &g : layout(text, style, scaleX, scaleY)) {
        const float penX = x + g.penX;
        const float column = std::floor(penX);
        const float shiftX = penX - column;
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        stbtt_GetCodepointBitmapBoxSubpixel(info.get(), g.codepoint, scaleX, scaleY, shiftX, shiftY, &x0, &y0,
                                            &x1, &y1);
        const int w = x1 - x0, h = y1 - y0;
        if (w <= 0 || h <= 0)
            continue;
        bitmap.assign(static_cast<size_t>(w) * h, 0);
        stbtt_MakeCodepointBitmapSubpixel(info.get(), bitmap.data(), w, h, w, scaleX, scaleY, shiftX, shiftY,
                                          g.codepoint);
        const int left = static_cast<int>(column) + x0, top = static_cast<int>(baseRow) + y0;
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                const float c = static_cast<float>(bitmap[static_cast<size_t>(j) * w + i]) / 255.0f;
                if (c <= 0.0f)
                    continue;
                const float a = target.at(left + i, top + j);
                target.set(left + i, top + j, a + c * (1.0f - a));
            }
    }
}

void Font::drawCentred(Mask &target, const std::string &text, float centreX, float centreY,
                       const TextStyle &style) const {
    const InkBox box = measure(text, style);
    // Whole-pixel placement keeps the glyphs' own sub-pixel layout and therefore crisp stems.
    const float x = std::round(centreX - (box.left + box.right) * 0.5f);
    const float baseline = std::round(centreY - (box.top + box.bottom) * 0.5f);
    draw(target, text, x, baseline, style);
}

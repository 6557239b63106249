#pragma once

#include "Mask.h"

#include <memory>
#include <string>
#include <vector>

struct stbtt_fontinfo;

// How a line of text is set: size by the height of its capitals, optional narrowing and
// extra space between letters.
struct TextStyle {
    float capHeight = 32.0f; // pixels from the baseline to the top of a flat capital
    float condense = 1.0f;   // horizontal scale of the glyphs (1 = as designed, 0.85 = narrower)
    float tracking = 0.0f;   // extra pixels after every letter
};

// The box that the inked pixels of a line of text cover, relative to its pen start
// and baseline (y down, so the top is negative).
struct InkBox {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
    float width() const { return right - left; }
    float height() const { return bottom - top; }
};

// A TrueType font file, rendered glyph by glyph with anti-aliasing into masks.
class Font {
  public:
    Font();
    ~Font();
    Font(const Font &) = delete;
    Font &operator=(const Font &) = delete;

    // Reads and parses the file; false with a reason in `error` when that fails.
    bool load(const std::string &path, std::string &error);

    // The box the text's ink covers when set with its pen at (0, 0) on the baseline.
    InkBox measure(const std::string &text, const TextStyle &style) const;
    // Renders the text with its pen starting at (x, baseline), united with the mask.
    void draw(Mask &target, const std::string &text, float x, float baseline, const TextStyle &style) const;
    // Renders the text so that its ink box is centred on (centreX, centreY).
    void drawCentred(Mask &target, const std::string &text, float centreX, float centreY,
                     const TextStyle &style) const;

  private:
    struct Glyph {
        int codepoint; // the character
        float penX;    // pen position, pixels from the start of the line
    };
    std::vector<Glyph> layout(const std::string &text, const TextStyle &style, float &scaleX,
                              float &scaleY) const;

    std::vector<unsigned char> data;      // the whole font file; stb_truetype reads from it
    std::unique_ptr<stbtt_fontinfo> info; // parsed tables, points into `data`
    float capUnits = 1.0f;                // height of "H" in font units
};

#pragma once

#include <vector>

// A point in pixel coordinates (x right, y down; pixel (i, j) covers [i, i+1) x [j, j+1)).
struct Point {
    float x = 0.0f; // pixels from the left edge
    float y = 0.0f; // pixels from the top edge
};

// One closed outline; the last point joins the first.
using Contour = std::vector<Point>;

// A grey-scale coverage picture (0 empty .. 1 full) that shapes are drawn into with
// anti-aliased edges and that a Canvas then paints through.
class Mask {
  public:
    Mask() = default;
    Mask(int width, int height, float value = 0.0f);

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    float at(int x, int y) const; // 0 outside the mask
    void set(int x, int y, float value);
    float sum() const; // total coverage, in pixels

    // Shapes. New coverage c is united with the old a as a + c (1 - a).
    void fillContours(const std::vector<Contour> &contours); // non-zero winding over all outlines
    void fillPolygon(const Contour &points);
    void fillRect(float x0, float y0, float x1, float y1);
    void fillRoundedRect(float x0, float y0, float x1, float y1, float radius);
    void fillEllipse(float cx, float cy, float rx, float ry);
    void fillLine(float x0, float y0, float x1, float y1,
                  float thickness); // a straight stroke with flat ends

    // Whole-mask operations.
    Mask blurred(int radius) const;     // soft spread over about `radius` pixels (three box passes)
    Mask dilated(float radius) const;   // grown by `radius` pixels with a soft edge
    Mask shifted(int dx, int dy) const; // content moved by (dx, dy); what moves in is empty
    void unite(const Mask &other);      // a + b (1 - a)
    void subtract(const Mask &other);   // a (1 - b)
    void intersect(const Mask &other);  // a b
    void multiply(float factor);        // every value times `factor`, clamped to 0..1
    void invert();                      // 1 - a

  private:
    void boxBlurRows(int radius);
    void boxBlurColumns(int radius);

    int width = 0;             // pixels
    int height = 0;            // pixels
    std::vector<float> values; // row-major coverage, 0..1
};

// Points of an ellipse outline, enough of them that the chords stay within a tenth of a pixel.
Contour ellipseContour(float cx, float cy, float rx, float ry);
// A rectangle with quarter-circle corners.
Contour roundedRectContour(float x0, float y0, float x1, float y1, float radius);

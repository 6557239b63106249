#include "Mask.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr int kSubScanlines = 16; // samples per pixel row for polygon coverage
constexpr double kPi = 3.14159265358979323846;

struct Edge {
    float x0, y0, x1, y1; // y0 < y1
    int winding;          // +1 downwards in the original outline, -1 upwards
};

// Adds `weight` times the covered part of [xa, xb) to the row, pixel by pixel.
void addSpan(std::vector<float> &row, int width, float xa, float xb, float weight) {
    xa = std::max(xa, 0.0f);
    xb = std::min(xb, static_cast<float>(width));
    if (xb <= xa)
        return;
    int ia = static_cast<int>(std::floor(xa));
    int ib = static_cast<int>(std::floor(xb));
    if (ia == ib) {
        row[ia] += (xb - xa) * weight;
        return;
    }
    row[ia] += (static_cast<float>(ia + 1) - xa) * weight;
    for (int i = ia + 1; i < ib; ++i)
        row[i] += weight;
    if (ib < width)
        row[ib] += (xb - static_cast<float>(ib)) * weight;
}

} // namespace

Mask::Mask(int width, int height, float value)
    : width(std::max(width, 0)), height(std::max(height, 0)),
      values(static_cast<size_t>(this->width) * static_cast<size_t>(this->height), value) {}

float Mask::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height)
        return 0.0f;
    return values[static_cast<size_t>(y) * width + x];
}

void Mask::set(int x, int y, float value) {
    if (x < 0 || y < 0 || x >= width || y >= height)
        return;
    values[static_cast<size_t>(y) * width + x] = value;
}

float Mask::sum() const {
    double total = 0.0;
    for (float v : values)
        total += v;
    return static_cast<float>(total);
}

void Mask::fillContours(const std::vector<Contour> &contours) {
    std::vector<Edge> edges;
    float top = 1e30f, bottom = -1e30f;
    for (const Contour &c : contours) {
        for (size_t i = 0; i < c.size(); ++i) {
            Point a = c[i], b = c[(i + 1) % c.size()];
            if (a.y == b.y)
                continue; // horizontal edges never cross a scanline
            if (a.y < b.y)
                edges.push_back({a.x, a.y, b.x, b.y, 1});
            else
                edges.push_back({b.x, b.y, a.x, a.y, -1});
            top = std::min(top, std::min(a.y, b.y));
            bottom = std::max(bottom, std::max(a.y, b.y));
        }
    }
    if (edges.empty())
        return;
    int firstRow = std::max(0, static_cast<int>(std::floor(top)));
    int lastRow = std::min(height - 1, static_cast<int>(std::floor(bottom)));

    std::vector<float> row(static_cast<size_t>(width) + 1);
    std::vector<const Edge *> rowEdges;
    std::vector<std::pair<float, int>> crossings;
    const float weight = 1.0f / kSubScanlines;
    for (int py = firstRow; py <= lastRow; ++py) {
        const float rowTop = static_cast<float>(py), rowBottom = static_cast<float>(py + 1);
        rowEdges.clear();
        for (const Edge &e : edges)
            if (e.y1 > rowTop && e.y0 < rowBottom)
                rowEdges.push_back(&e);
        if (rowEdges.empty())
            continue;
        std::fill(row.begin(), row.end(), 0.0f);
        for (int s = 0; s < kSubScanlines; ++s) {
            const float sy = rowTop + (static_cast<float>(s) + 0.5f) * weight;
            crossings.clear();
            for (const Edge *e : rowEdges)
                if (sy >= e->y0 && sy < e->y1)
                    crossings.emplace_back(e->x0 + (sy - e->y0) * (e->x1 - e->x0) / (e->y1 - e->y0),
                                           e->winding);
            std::sort(crossings.begin(), crossings.end());
            int winding = 0;
            float spanStart = 0.0f;
            for (const auto &[x, dir] : crossings) {
                const int before = winding;
                winding += dir;
                if (before == 0 && winding != 0)
                    spanStart = x;
                else if (before != 0 && winding == 0)
                    addSpan(row, width, spanStart, x, weight);
            }
        }
        float *dst = &values[static_cast<size_t>(py) * width];
        for (int x = 0; x < width; ++x) {
            const float c = std::min(row[x], 1.0f);
            dst[x] = dst[x] + c * (1.0f - dst[x]);
        }
    }
}

void Mask::fillPolygon(const Contour &points) {
    fillContours({points});
}

void Mask::fillRect(float x0, float y0, float x1, float y1) {
    fillPolygon({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

void Mask::fillRoundedRect(float x0, float y0, float x1, float y1, float radius) {
    fillPolygon(roundedRectContour(x0, y0, x1, y1, radius));
}

void Mask::fillEllipse(float cx, float cy, float rx, float ry) {
    fillPolygon(ellipseContour(cx, cy, rx, ry));
}

void Mask::fillLine(float x0, float y0, float x1, float y1, float thickness) {
    const double dx = x1 - x0, dy = y1 - y0;
    const double len = std::sqrt(dx * dx + dy * dy);
    if (len <= 0.0)
        return;
    const float nx = static_cast<float>(-dy / len * thickness * 0.5);
    const float ny = static_cast<float>(dx / len * thickness * 0.5);
    fillPolygon({{x0 + nx, y0 + ny}, {x1 + nx, y1 + ny}, {x1 - nx, y1 - ny}, {x0 - nx, y0 - ny}});
}

void Mask::boxBlurRows(int radius) {
    std::vector<float> line(width);
    const double norm = 1.0 / (2 * radius + 1);
    for (int y = 0; y < height; ++y) {
        float *src = &values[static_cast<size_t>(y) * width];
        double acc = 0.0;
        for (int x = -radius; x <= radius; ++x)
            acc += (x >= 0 && x < width) ? src[x] : 0.0f;
        for (int x = 0; x < width; ++x) {
            line[x] = static_cast<float>(acc * norm);
            const int out = x - radius, in = x + radius + 1;
            acc -= (out >= 0) ? src[out] : 0.0f;
            acc += (in < width) ? src[in] : 0.0f;
        }
        std::copy(line.begin(), line.end(), src);
    }
}

void Mask::boxBlurColumns(int radius) {
    std::vector<float> line(height);
    const double norm = 1.0 / (2 * radius + 1);
    for (int x = 0; x < width; ++x) {
        auto src = [&](int y) {
            return (y >= 0 && y < height) ? values[static_cast<size_t>(y) * width + x] : 0.0f;
        };
        double acc = 0.0;
        for (int y = -radius; y <= radius; ++y)
            acc += src(y);
        for (int y = 0; y < height; ++y) {
            line[y] = static_cast<float>(acc * norm);
            acc -= src(y - radius);
            acc += src(y + radius + 1);
        }
        for (int y = 0; y < height; ++y)
            values[static_cast<size_t>(y) * width + x] = line[y];
    }
}

Mask Mask::blurred(int radius) const {
    Mask result = *this;
    if (radius <= 0)
        return result;
    // Three passes of a box half the radius wide: close to a Gaussian of sigma ~ radius / 2,
    // reaching about `radius` pixels each way.
    const int box = std::max(1, (radius + 1) / 2);
    for (int pass = 0; pass < 3; ++pass) {
        result.boxBlurRows(box);
        result.boxBlurColumns(box);
    }
    for (float &v : result.values)
        v = std::min(std::max(v, 0.0f), 1.0f); // running sums may leave a tiny negative rest
    return result;
}

Mask Mask::dilated(float radius) const {
    Mask result(width, height);
    const int reach = static_cast<int>(std::ceil(radius + 0.5f));
    // Each source pixel spreads its value over a disc; the disc's rim is faded over one pixel.
    std::vector<int> kdx, kdy;
    std::vector<float> kw;
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx) {
            const float d = std::sqrt(static_cast<float>(dx * dx + dy * dy));
            const float w = std::min(1.0f, std::max(0.0f, radius + 0.5f - d));
            if (w > 0.0f) {
                kdx.push_back(dx);
                kdy.push_back(dy);
                kw.push_back(w);
            }
        }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            float best = 0.0f;
            for (size_t k = 0; k < kw.size(); ++k) {
                const float v = at(x + kdx[k], y + kdy[k]) * kw[k];
                best = std::max(best, v);
            }
            result.values[static_cast<size_t>(y) * width + x] = best;
        }
    return result;
}

Mask Mask::shifted(int dx, int dy) const {
    Mask result(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            result.values[static_cast<size_t>(y) * width + x] = at(x - dx, y - dy);
    return result;
}

void Mask::unite(const Mask &other) {
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            float &a = values[static_cast<size_t>(y) * width + x];
            a = a + other.at(x, y) * (1.0f - a);
        }
}

void Mask::subtract(const Mask &other) {
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            values[static_cast<size_t>(y) * width + x] *= 1.0f - other.at(x, y);
}

void Mask::intersect(const Mask &other) {
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            values[static_cast<size_t>(y) * width + x] *= other.at(x, y);
}

void Mask::multiply(float factor) {
    for (float &v : values)
        v = std::min(std::max(v * factor, 0.0f), 1.0f);
}

void Mask::invert() {
    for (float &v : values)
        v = 1.0f - v;
}

Contour ellipseContour(float cx, float cy, float rx, float ry) {
    const double r = std::max(std::fabs(rx), std::fabs(ry));
    // Chord error r (1 - cos(pi / n)) stays below 0.1 pixel with this many segments.
    int segments = 12;
    while (r * (1.0 - std::cos(kPi / segments)) > 0.1 && segments < 1024)
        segments *= 2;
    // Vertices sit slightly outside the curve so that the polygon has the ellipse's area.
    const double step = 2.0 * kPi / segments;
    const double grow = std::sqrt(step / std::sin(step));
    Contour points;
    for (int i = 0; i < segments; ++i) {
        const double angle = step * i;
        points.push_back({cx + static_cast<float>(rx * grow * std::cos(angle)),
                          cy + static_cast<float>(ry * grow * std::sin(angle))});
    }
    return points;
}

Contour roundedRectContour(float x0, float y0, float x1, float y1, float radius) {
    radius = std::max(0.0f, std::min(radius, std::min(x1 - x0, y1 - y0) * 0.5f));
    if (radius <= 0.0f)
        return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    int steps = 2; // per quarter circle, until the chords stay within a twentieth of a pixel
    while (radius * (1.0 - std::cos(kPi / (4.0 * steps))) > 0.05 && steps < 256)
        steps *= 2;
    const Point centres[4] = {{x1 - radius, y0 + radius},
                              {x1 - radius, y1 - radius},
                              {x0 + radius, y1 - radius},
                              {x0 + radius, y0 + radius}};
    const double step = kPi / 2 / steps;
    const double grow = std::sqrt(step / std::sin(step)); // keeps the area of the quarter circles
    Contour points;
    for (int corner = 0; corner < 4; ++corner) {
        const double start = -kPi / 2 + corner * kPi / 2; // clockwise on screen: top-right first
        for (int i = 0; i <= steps; ++i) {
            const double angle = start + step * i;
            const double r =
                (i == 0 || i == steps) ? radius : radius * grow; // the ends meet the straight sides
            points.push_back({centres[corner].x + static_cast<float>(r * std::cos(angle)),
                              centres[corner].y + static_cast<float>(r * std::sin(angle))});
        }
    }
    return points;
}

#include "IconArt.h"

#include "Gradient.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

namespace {

constexpr float kDegToRad = 0.017453292519943295f;

// The olive and sand of the menu's plaques, a little more saturated so that the tank reads as
// green against any desktop.
const Color kInk = Color::hex(0x15170f);   // outlines and the seams between parts
const Color kTrack = Color::hex(0x2a2e24); // the track belt
const Color kTread = Color::hex(0x4e5447); // track links
const Color kSand = Color::hex(0xf0ead2);  // highlights and the turret marking
const Gradient kHullPaint{
    {0.0f, Color::hex(0x8a9760)}, {0.5f, Color::hex(0x627040)}, {1.0f, Color::hex(0x3d4528)}};
const Gradient kTurretPaint{
    {0.0f, Color::hex(0xa2ae72)}, {0.45f, Color::hex(0x73804a)}, {1.0f, Color::hex(0x4a5330)}};
const Gradient kWheelPaint{{0.0f, Color::hex(0xd6cfae)}, {1.0f, Color::hex(0x7a7660)}};
const Gradient kMarkingPaint{{0.0f, kSand}, {1.0f, Color::hex(0xc4bc9c)}};

// How much of the tank a size can show.
enum class Detail {
    Bold,  // 16 to 24 pixels: silhouette, turret, gun and three wheels
    Plain, // 32 to 64 pixels: wheels with hubs, hatch, mantlet, fenders, shadow and lit edges
    Fine,  // 128 pixels and more: track links, antenna and bolts as well
};

constexpr float kMiddle = 0.58f; // icon units: the tank's vertical middle, turret roof to tracks
constexpr float kRaise = 0.05f;  // icon units the drawing moves up, so that the tank sits in the middle

// Places the tank's shapes, given in icon units (0 .. 1 across the square, y down), on the
// pixels of one size. Small sizes round to whole pixels so that level edges stay crisp.
struct IconFrame {
    int size;      // pixels
    float margin;  // pixels kept clear at each side for the outline
    bool snap;     // round coordinates to whole pixels
    float stretch; // vertical scale about the tank's middle; above 1 makes a chunkier tank

    float scale() const { return static_cast<float>(size) - 2.0f * margin; }
    float px(float u) const {
        const float v = margin + u * scale();
        return snap ? std::round(v) : v;
    }
    float py(float v) const { return px(kMiddle - kRaise + (v - kMiddle) * stretch); }
    float len(float u) const { return u * scale(); }
    Point at(float u, float v) const { return {px(u), py(v)}; }
    Contour contour(std::initializer_list<std::pair<float, float>> points) const {
        Contour c;
        for (const auto &[u, v] : points)
            c.push_back(at(u, v));
        return c;
    }
    Mask empty() const { return Mask(size, size); }
};

// The edge of a shape that faces up (or down, for negative `pixels`): the shape less itself moved.
Mask edgeOf(const Mask &shape, int pixels) {
    Mask edge = shape;
    edge.subtract(shape.shifted(0, pixels));
    return edge;
}

// A five-pointed star centred at (cx, cy) with the outer radius r, one point up.
Contour star(float cx, float cy, float r) {
    Contour points;
    for (int i = 0; i < 10; ++i) {
        const float radius = i % 2 == 0 ? r : r * 0.42f;
        const float angle = (-90.0f + 36.0f * static_cast<float>(i)) * kDegToRad;
        points.push_back({cx + radius * std::cos(angle), cy + radius * std::sin(angle)});
    }
    return points;
}

} // namespace

const std::vector<int> &IconArt::sizes() {
    static const std::vector<int> hicolor = {16, 22, 24, 32, 48, 64, 128, 256, 512};
    return hicolor;
}

std::string IconArt::relativePath(int size) {
    const std::string n = std::to_string(size);
    return "icons/hicolor/" + n + "x" + n + "/apps/panzerfeld.png";
}

bool IconArt::generate(ArtContext &context) {
    bool ok = true;
    for (int size : sizes())
        ok = context.savePicture(paint(size), relativePath(size), 4, false) && ok;
    return ok;
}

Canvas IconArt::paint(int size) {
    const Detail detail = size <= 24 ? Detail::Bold : (size <= 64 ? Detail::Plain : Detail::Fine);
    const bool bold = detail == Detail::Bold;
    const float s = static_cast<float>(size);
    // The outline around the whole tank and the seams between its parts, in pixels.
    const float outline = bold ? 1.0f : std::max(1.2f, s * 0.02f);
    const float seam = bold ? 0.8f : std::max(1.0f, s * 0.011f);
    // Up to 32 pixels the tank is taller for its length and its edges sit on whole pixels.
    const bool small = size <= 32;
    const float stretch = bold ? 1.3f : (small ? 1.15f : 1.0f);
    const IconFrame f{size, std::ceil(outline) + (bold ? 0.0f : s * 0.01f), small, stretch};
    Canvas canvas(size, size);

    // The tank faces right. Tracks from the rear (left) to the front, wheels inside them.
    const float trackTop = f.py(0.62f), trackBottom = f.py(0.84f);
    const Contour trackOutline =
        roundedRectContour(f.px(0.05f), trackTop, f.px(0.91f), trackBottom, (trackBottom - trackTop) * 0.5f);
    Mask tracks = f.empty();
    tracks.fillPolygon(trackOutline);

    // Upper hull with a sloped front plate, resting on the tracks; the fenders overhang them.
    Mask hull = f.empty();
    hull.fillPolygon(f.contour(
        {{0.02f, 0.64f}, {0.02f, 0.575f}, {0.08f, 0.50f}, {0.76f, 0.50f}, {0.96f, 0.585f}, {0.96f, 0.64f}}));
    const float hullTop = f.py(0.50f), hullBottom = f.py(0.64f);

    // Turret with a sloped face, the gun's mantlet in front of it.
    Mask turret = f.empty();
    turret.fillPolygon(f.contour(
        {{0.25f, 0.51f}, {0.27f, 0.395f}, {0.36f, 0.325f}, {0.60f, 0.325f}, {0.69f, 0.38f}, {0.71f, 0.51f}}));
    const float turretTop = f.py(0.325f), turretBottom = f.py(0.51f);
    Mask mantlet = f.empty();
    const float mantletTop = f.py(0.375f), mantletBottom = f.py(0.475f);
    if (!bold)
        mantlet.fillRoundedRect(f.px(0.66f), mantletTop, f.px(0.76f), mantletBottom, f.len(0.025f));

    // The gun, raised a little; at the small sizes level and at least two pixels thick, so that it
    // stays one clean bar.
    const float elevation = small ? 0.0f : std::tan(4.0f * kDegToRad);
    const float gunFrom = 0.70f, gunTo = 1.0f;
    const float gunThickness = small ? std::max(2.0f, std::round(f.len(0.07f))) : f.len(0.05f);
    // A bar of even thickness has its axis on a pixel edge, an odd one on a pixel's middle.
    const float gunY =
        small ? std::round(f.py(0.43f) - gunThickness * 0.5f) + gunThickness * 0.5f : f.py(0.425f);
    auto gunAt = [&](float u) { return Point{f.px(u), gunY - f.len((u - gunFrom) * elevation)}; };
    Mask gun = f.empty();
    const Point breech = gunAt(gunFrom), muzzle = gunAt(gunTo);
    gun.fillLine(breech.x, breech.y, muzzle.x, muzzle.y, gunThickness);
    if (!bold) {
        const Point brake = gunAt(gunTo - 0.075f);
        gun.fillLine(brake.x, brake.y, muzzle.x, muzzle.y,
                     small ? gunThickness + 2.0f : f.len(0.075f)); // muzzle brake
    }

    Mask hatch = f.empty();
    if (!bold)
        hatch.fillRoundedRect(f.px(0.38f), f.py(0.285f), f.px(0.52f), f.py(0.34f), f.len(0.02f));
    Mask turretBody = turret;
    turretBody.unite(hatch);

    Mask body = tracks;
    for (const Mask *part : {&hull, &turretBody, &mantlet, &gun})
        body.unite(*part);

    // A soft shadow on the ground sets the tank down without reaching the corners.
    if (!bold) {
        Mask shadow = f.empty();
        shadow.fillEllipse(f.px(0.48f), trackBottom + f.len(0.005f), f.len(0.47f), f.len(0.045f));
        canvas.paint(shadow.blurred(std::max(1, static_cast<int>(s * 0.02f))), Color::hex(0x000000, 0.35f));
    }

    // One dark outline around the silhouette.
    canvas.paint(body.dilated(outline), kInk);

    // Tracks: the belt, its links, and the road wheels inside.
    canvas.paint(tracks, kTrack);
    const float belt = small ? std::max(1.0f, std::round(f.len(0.05f)))
                             : f.len(0.05f); // pixels between the belt's rim and the wheels
    if (detail == Detail::Fine) {
        Mask links = f.empty();
        const int count = 26;
        for (int i = 0; i < count; ++i) {
            const float x = f.px(0.05f) + f.len(0.86f) * (static_cast<float>(i) + 0.5f) / count;
            links.fillRect(x - f.len(0.006f), trackTop, x + f.len(0.006f), trackTop + belt * 0.7f);
            links.fillRect(x - f.len(0.006f), trackBottom - belt * 0.7f, x + f.len(0.006f), trackBottom);
        }
        links.intersect(tracks);
        canvas.paint(links, kTread);
    }
    const float wheelY = (trackTop + trackBottom) * 0.5f;
    const float wheelR = (trackBottom - trackTop) * 0.5f - belt;
    const int wheelCount = bold ? 3 : (small ? 4 : 5);
    const float wheelFrom = small ? 0.22f : 0.17f, wheelTo = small ? 0.74f : 0.79f;
    Mask wheels = f.empty(), hubs = f.empty();
    for (int i = 0; i < wheelCount; ++i) {
        const float x = f.px(wheelFrom + (wheelTo - wheelFrom) * static_cast<float>(i) / (wheelCount - 1));
        if (wheelR < 1.5f)
            wheels.fillRect(x - wheelR, wheelY - wheelR, x + wheelR, wheelY + wheelR); // a crisp dot
        else
            wheels.fillEllipse(x, wheelY, wheelR, wheelR);
        hubs.fillEllipse(x, wheelY, wheelR * 0.35f, wheelR * 0.35f);
    }
    canvas.paint(wheels, [&](int, int y) {
        return kWheelPaint((static_cast<float>(y) + 0.5f - (wheelY - wheelR)) / (2.0f * wheelR));
    });
    if (!bold) {
        Mask rims = wheels;
        rims.subtract(wheels.shifted(0, -std::max(1, static_cast<int>(wheelR * 0.25f))));
        canvas.darken(rims, Color::hex(0x000000, 0.35f)); // the lower rims turn away from the light
        canvas.paint(hubs, detail == Detail::Fine ? Color::hex(0x3a3d30) : Color::hex(0x55574a));
    }

    // Hull, gun, turret and mantlet, back to front, each with a dark seam where it meets what lies
    // behind and a sand edge on top where the light from the upper left catches it.
    const int lit = std::max(1, static_cast<int>(std::round(s * 0.012f)));
    const float litStrength = bold ? 0.3f : 0.55f;
    canvas.paint(hull.dilated(seam), kInk);
    canvas.paint(hull, [&](int, int y) {
        return kHullPaint((static_cast<float>(y) + 0.5f - hullTop) / (hullBottom - hullTop));
    });
    canvas.glow(edgeOf(hull, lit), kSand.withAlpha(litStrength));
    if (!bold) {
        // The fenders: a darker band along the hull's foot.
        Mask fender = f.empty();
        fender.fillRect(f.px(0.02f), f.py(0.605f), f.px(0.96f), f.py(0.64f));
        fender.intersect(hull);
        canvas.darken(fender, Color::hex(0x000000, 0.3f));
    }

    canvas.paint(gun.dilated(seam), kInk);
    if (small)
        canvas.paint(gun, Color::hex(0x8a9760));
    else
        canvas.paint(gun, [&](int x, int y) {
            // Round: lit along the top of the tube, dark underneath.
            const float axis = breech.y + (muzzle.y - breech.y) * (static_cast<float>(x) + 0.5f - breech.x) /
                                              (muzzle.x - breech.x);
            const float across = (static_cast<float>(y) + 0.5f - axis) / (gunThickness * 0.5f);
            return mix(Color::hex(0x9aa66a), Color::hex(0x3a4226), smoothstep(-1.2f, 1.0f, across));
        });

    canvas.paint(turretBody.dilated(seam), kInk);
    canvas.paint(turretBody, [&](int, int y) {
        return kTurretPaint((static_cast<float>(y) + 0.5f - turretTop) / (turretBottom - turretTop));
    });
    if (!bold) {
        // The hatch sits on the roof, its seam drawn over the turret.
        Mask hatchSeam = edgeOf(hatch, -std::max(1, static_cast<int>(seam)));
        hatchSeam.intersect(turret);
        canvas.paint(hatchSeam, kInk);
    }
    canvas.glow(edgeOf(turretBody, lit), kSand.withAlpha(litStrength));

    if (!bold) {
        canvas.paint(mantlet.dilated(seam), kInk);
        canvas.paint(mantlet, [&](int, int y) {
            return kTurretPaint(0.2f + 0.8f * (static_cast<float>(y) + 0.5f - mantletTop) /
                                           (mantletBottom - mantletTop));
        });
        canvas.glow(edgeOf(mantlet, lit), kSand.withAlpha(litStrength));
    }

    // The marking on the turret's side, where it is large enough to be a star and not a speck.
    if (size >= 48) {
        Mask marking = f.empty();
        const float r = f.len(0.058f), cy = f.py(0.425f);
        marking.fillPolygon(star(f.px(0.47f), cy, r));
        canvas.paint(marking, [&](int, int y) {
            return kMarkingPaint((static_cast<float>(y) + 0.5f - (cy - r)) / (2.0f * r));
        });
    }

    if (detail == Detail::Fine) {
        // A whip antenna at the turret's rear, bent back by the wind.
        Mask antenna = f.empty();
        Point prev = f.at(0.31f, 0.36f);
        for (int i = 1; i <= 10; ++i) {
            const float t = static_cast<float>(i) / 10.0f;
            const Point next = f.at(0.31f - 0.08f * t * t, 0.36f - 0.26f * t);
            antenna.fillLine(prev.x, prev.y, next.x, next.y, std::max(1.0f, s * 0.008f));
            prev = next;
        }
        antenna.subtract(turretBody);
        canvas.paint(antenna.dilated(seam * 0.6f), kInk);
        canvas.paint(antenna, Color::hex(0x4a5330));
        // Bolts along the turret's foot and the hull's front plate.
        Mask bolts = f.empty();
        for (int i = 0; i < 4; ++i) {
            const Point b = f.at(0.31f + 0.12f * static_cast<float>(i), 0.485f);
            bolts.fillEllipse(b.x, b.y, f.len(0.008f), f.len(0.008f));
        }
        for (int i = 0; i < 3; ++i) {
            const Point b =
                f.at(0.80f + 0.05f * static_cast<float>(i), 0.55f + 0.021f * static_cast<float>(i));
            bolts.fillEllipse(b.x, b.y, f.len(0.008f), f.len(0.008f));
        }
        canvas.paint(bolts.shifted(1, 1), Color::hex(0x000000, 0.5f));
        canvas.paint(bolts, Color::hex(0xb8bc8e));
    }

    // Transparent pixels take the colour of the shape's edge, so that a desktop that scales the
    // icon does not pull in black.
    canvas.bleedIntoTransparent(2);
    return canvas;
}

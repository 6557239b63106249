#include "render/LightMap.h"

#include "model/Md2Model.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr float kFullBrightness = 5000.0f;                  // q below which a point is fully lit (100 units)
constexpr int kMaxRasterSpan = 4 * LightMap::kModelMapSide; // texels a triangle may span per axis

void subtract(const float *a, const float *b, float *out) {
    out[0] = a[0] - b[0];
    out[1] = a[1] - b[1];
    out[2] = a[2] - b[2];
}

// Length of v, and v scaled to unit length; a zero (or non-finite) vector
// stays zero instead of becoming NaN.
float normalizeSafe(float *v) {
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (!(length > 0.0f) || !std::isfinite(length)) {
        v[0] = v[1] = v[2] = 0.0f;
        return 0.0f;
    }
    VectorOperations::normalize(v);
    return length;
}

// A surface's edges: u from uFrom to uTo, v from p0 to p1, each scaled to unit
// length with its length kept, and the normal u x v.
template <class Surface> void setEdges(Surface &s, const float *uTo, const float *uFrom) {
    subtract(uTo, uFrom, s.u);
    subtract(s.p1, s.p0, s.v);
    s.lengthU = normalizeSafe(s.u);
    s.lengthV = normalizeSafe(s.v);
    VectorOperations::cross_product(s.u, s.v, s.normal);
}

unsigned char toByte(float value) {
    if (!(value > 0.0f)) {
        return 0;
    }
    return value >= 255.0f ? 255 : static_cast<unsigned char>(value);
}

int wrap(int index, int side) {
    const int m = index % side;
    return m < 0 ? m + side : m;
}
} // namespace

LightMap::LightMap() : quadScratch(new surface4()), triangleScratch(new surface3()) {}

LightMap::~LightMap() {
    freeLightMapIDs();
}

void LightMap::initial() {
    initialised = true;
    surfaceIndex = 0;
    if (frameStep == -1) {
        newLightMap(true);
        frameStep = 0;
    } else {
        newLightMap(false);
    }
}

void LightMap::newLightMap(bool flag) {
    if (flag) {
        freeLightMapIDs();
    }
    recompute = flag;
}

void LightMap::freeLightMapIDs() {
    for (const auto &entry : surfaceTextures) {
        const GLuint name = entry.second;
        if (name != 0) {
            glDeleteTextures(1, &name);
        }
    }
    surfaceTextures.clear();
}

unsigned int LightMap::getSurfaceTexture(int index) const {
    const auto found = surfaceTextures.find(index);
    return found == surfaceTextures.end() ? 0 : found->second;
}

void LightMap::setLightPosition(float x, float y, float z) {
    lightPosition[0] = x;
    lightPosition[1] = y;
    lightPosition[2] = z;
}

void LightMap::setLightColor(float r, float g, float b) {
    lightColor[0] = r;
    lightColor[1] = g;
    lightColor[2] = b;
}

MultiTexWrapper &LightMap::multiTex() {
    if (!multiTexWrapper) {
        multiTexWrapper = std::make_unique<MultiTexWrapper>();
    }
    return *multiTexWrapper;
}

surface4 *LightMap::new_surface4(const float v[4][3]) {
    if (!quadScratch) {
        std::fprintf(stderr, "Error: Couldn't allocate memory for surface\n");
        return nullptr;
    }
    surface4 &s = *quadScratch;
    std::memcpy(s.p0, v[0], sizeof s.p0);
    std::memcpy(s.p1, v[1], sizeof s.p1);
    std::memcpy(s.p2, v[2], sizeof s.p2);
    std::memcpy(s.p3, v[3], sizeof s.p3);
    setEdges(s, s.p3, s.p0);
    return &s;
}

surface3 *LightMap::new_surface3(const float v[3][3]) {
    if (!triangleScratch) {
        std::fprintf(stderr, "Error: Couldn't allocate memory for surface\n");
        return nullptr;
    }
    surface3 &s = *triangleScratch;
    std::memcpy(s.p0, v[0], sizeof s.p0);
    std::memcpy(s.p1, v[1], sizeof s.p1);
    std::memcpy(s.p2, v[2], sizeof s.p2);
    setEdges(s, s.p1, s.p2);
    return &s;
}

float LightMap::lightIntensity(const float *point) const {
    float d[3];
    subtract(point, lightPosition, d);
    float q = VectorOperations::dot_product(d, d) * 0.5f;
    if (!(q >= 1.0f)) {
        q = 1.0f; // also at the light itself: no division by zero
    }
    return std::min(1.0f, kFullBrightness / q);
}

void LightMap::texel(const float *point, unsigned char *rgb) const {
    const float intensity = lightIntensity(point);
    for (int c = 0; c < 3; ++c) {
        rgb[c] = toByte(255.0f * intensity * lightColor[c]);
    }
}

void LightMap::generateLightmap4(const surface4 &s, unsigned char *rgb) const {
    float axes[9];
    std::memcpy(axes, s.u, sizeof s.u);
    std::memcpy(axes + 3, s.v, sizeof s.v);
    std::memcpy(axes + 6, s.normal, sizeof s.normal);
    // Texel centres: neighbouring quads then meet at the same light value, so
    // no seam shows along the cell borders.
    for (int i = 0; i < kQuadMapSide; ++i) {
        for (int j = 0; j < kQuadMapSide; ++j) {
            float point[3] = {s.lengthU * (j + 0.5f) / kQuadMapSide, s.lengthV * (i + 0.5f) / kQuadMapSide,
                              0.0f};
            VectorOperations::multiply_vector_by_matrix(axes, point);
            point[0] += s.p0[0];
            point[1] += s.p0[1];
            point[2] += s.p0[2];
            texel(point, rgb + (i * kQuadMapSide + j) * 3);
        }
    }
}

void LightMap::computeQuadMap(const float v[4][3], unsigned char *rgb) {
    const surface4 *surface = new_surface4(v);
    if (surface == nullptr) {
        std::memset(rgb, 0, kQuadMapSide * kQuadMapSide * 3);
        return;
    }
    generateLightmap4(*surface, rgb);
    ++computations;
}

unsigned int LightMap::uploadQuadMap(const surface4 &surface) {
    unsigned char rgb[kQuadMapSide * kQuadMapSide * 3];
    generateLightmap4(surface, rgb);
    ++computations;
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    // Clamped rather than repeated: a repeating map would blend each border
    // texel with the opposite side of the quad and draw a seam.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, kQuadMapSide, kQuadMapSide, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    glPopClientAttrib();
    return name;
}

void LightMap::RenderLMOnPoly4(const float v[4][3], unsigned int texture, bool flag,
                               const float (*normals)[3]) {
    const surface4 *surface = new_surface4(v);
    if (surface == nullptr) {
        return;
    }
    unsigned int lightTexture = getSurfaceTexture(surfaceIndex);
    // A quad beyond the first frame's count gets its map now instead of none.
    if (recompute || lightTexture == 0) {
        if (lightTexture != 0) {
            const GLuint old = lightTexture;
            glDeleteTextures(1, &old);
        }
        lightTexture = uploadQuadMap(*surface);
        surfaceTextures[surfaceIndex] = lightTexture;
    }

    MultiTexWrapper &units = multiTex();
    const bool multi = MultiTexWrapper::isAvailable();
    if (multi) {
        units.glActiveTextureARB1();
        if (flag) {
            glEnable(GL_TEXTURE_2D);
            glBindTexture(GL_TEXTURE_2D, lightTexture);
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        } else {
            glDisable(GL_TEXTURE_2D);
        }
        units.glActiveTextureARB0();
    }
    if (texture != 0) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture);
    } else if (!multi && flag) {
        glEnable(GL_TEXTURE_2D); // one unit only: the light map alone
        glBindTexture(GL_TEXTURE_2D, lightTexture);
    }

    static const float kCoords[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    static const float kUp[3] = {0, 1, 0};
    // Two triangles split along v0-v2, where the physics splits the cell too
    // (a quad would leave the split to the driver).
    static const int kTriangleCorners[6] = {0, 1, 2, 0, 2, 3};
    glBegin(GL_TRIANGLES);
    for (int corner : kTriangleCorners) {
        setCoords(kCoords[corner][0], kCoords[corner][1]);
        glNormal3fv(normals != nullptr ? normals[corner] : kUp);
        glVertex3fv(v[corner]);
    }
    glEnd();
    ++surfaceIndex;
}

void LightMap::finishSurfaces() {
    if (MultiTexWrapper::isAvailable()) {
        MultiTexWrapper &units = multiTex();
        units.glActiveTextureARB1();
        glDisable(GL_TEXTURE_2D);
        units.glActiveTextureARB0();
    }
}

void LightMap::setCoords(float s, float t) {
    if (MultiTexWrapper::isAvailable()) {
        const MultiTexWrapper &units = multiTex();
        units.glMultiTexCoord2fARB0(s, t);
        units.glMultiTexCoord2fARB1(s, t);
    } else {
        glTexCoord2f(s, t);
    }
}

DevilImageDefinition LightMap::generateTexture(int width, int height) {
    DevilImageDefinition image;
    image.allocateImageData(width, height, 3);
    return image;
}

DevilImageDefinition LightMap::calcModelLightMapTexture(const std::vector<LightMapTriangle> &triangles,
                                                        const float *pos, float rotY, float scale) {
    constexpr int side = kModelMapSide;
    // Per texel: summed intensity and sample count of triangles that cover its
    // centre, and of triangles too small to cover any centre (used only where
    // nothing else lands).
    std::vector<float> sum(side * side, 0.0f), weakSum(side * side, 0.0f);
    std::vector<int> count(side * side, 0), weakCount(side * side, 0);

    for (const LightMapTriangle &triangle : triangles) {
        // World corners, transformed as the object is drawn: scale, turn the
        // z-up model upright (-90 degrees about x), turn by the heading about
        // y, move to the position.
        float world[3][3];
        for (int c = 0; c < 3; ++c) {
            float *p = world[c];
            std::memcpy(p, triangle.corner[c], sizeof world[c]);
            VectorOperations::scale(p, scale);
            VectorOperations::rotationX(p, kPi / 2.0); // these turn by -angle
            VectorOperations::rotationY(p, -rotY * kPi / 180.0);
            VectorOperations::translate(p, pos[0], pos[1], pos[2]);
        }
        const float(*st)[2] = triangle.texCoord;
        const float x0 = st[0][0] * side, y0 = st[0][1] * side;
        const float x1 = st[1][0] * side, y1 = st[1][1] * side;
        const float x2 = st[2][0] * side, y2 = st[2][1] * side;
        const float area = (x1 - x0) * (y2 - y0) - (x2 - x0) * (y1 - y0);

        bool covered = false;
        const float minX = std::min({x0, x1, x2}), maxX = std::max({x0, x1, x2});
        const float minY = std::min({y0, y1, y2}), maxY = std::max({y0, y1, y2});
        const bool rasterizable = std::isfinite(area) && std::fabs(area) > 1e-6f &&
                                  maxX - minX <= kMaxRasterSpan && maxY - minY <= kMaxRasterSpan;
        if (rasterizable) {
            for (int ty = static_cast<int>(std::floor(minY)); ty <= static_cast<int>(std::ceil(maxY)); ++ty) {
                for (int tx = static_cast<int>(std::floor(minX)); tx <= static_cast<int>(std::ceil(maxX));
                     ++tx) {
                    const float cx = tx + 0.5f, cy = ty + 0.5f;
                    const float w0 = ((x1 - cx) * (y2 - cy) - (x2 - cx) * (y1 - cy)) / area;
                    const float w1 = ((x2 - cx) * (y0 - cy) - (x0 - cx) * (y2 - cy)) / area;
                    const float w2 = 1.0f - w0 - w1;
                    constexpr float kEdge = -1e-4f; // texel centres on a shared edge count for both
                    if (w0 < kEdge || w1 < kEdge || w2 < kEdge) {
                        continue;
                    }
                    float point[3];
                    for (int a = 0; a < 3; ++a) {
                        point[a] = w0 * world[0][a] + w1 * world[1][a] + w2 * world[2][a];
                    }
                    const int index = wrap(ty, side) * side + wrap(tx, side);
                    sum[index] += lightIntensity(point);
                    ++count[index];
                    covered = true;
                }
            }
        }
        if (!covered) {
            const float cx = (x0 + x1 + x2) / 3.0f, cy = (y0 + y1 + y2) / 3.0f;
            if (std::isfinite(cx) && std::isfinite(cy) && std::fabs(cx) < 1e6f && std::fabs(cy) < 1e6f) {
                float centroid[3];
                for (int a = 0; a < 3; ++a) {
                    centroid[a] = (world[0][a] + world[1][a] + world[2][a]) / 3.0f;
                }
                const int index = wrap(static_cast<int>(std::floor(cy)), side) * side +
                                  wrap(static_cast<int>(std::floor(cx)), side);
                weakSum[index] += lightIntensity(centroid);
                ++weakCount[index];
            }
        }
    }

    std::vector<float> value(side * side, 0.0f);
    std::vector<bool> known(side * side, false);
    bool any = false;
    for (int i = 0; i < side * side; ++i) {
        if (count[i] > 0) {
            value[i] = sum[i] / static_cast<float>(count[i]);
        } else if (weakCount[i] > 0) {
            value[i] = weakSum[i] / static_cast<float>(weakCount[i]);
        } else {
            continue;
        }
        known[i] = true;
        any = true;
    }
    if (!any) {
        // No triangles: the whole object takes the light at its position.
        std::fill(value.begin(), value.end(), lightIntensity(pos));
        std::fill(known.begin(), known.end(), true);
    }
    // Texels between the triangles take the mean of their known neighbours,
    // growing outwards, so that filtering at a triangle's border never pulls
    // in black.
    for (bool grew = true; grew;) {
        grew = false;
        std::vector<bool> next = known;
        std::vector<float> nextValue = value;
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                const int index = y * side + x;
                if (known[index]) {
                    continue;
                }
                float total = 0.0f;
                int n = 0;
                const int neighbours[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
                for (const auto &nb : neighbours) {
                    const int other = wrap(nb[1], side) * side + wrap(nb[0], side);
                    if (known[other]) {
                        total += value[other];
                        ++n;
                    }
                }
                if (n > 0) {
                    nextValue[index] = total / static_cast<float>(n);
                    next[index] = true;
                    grew = true;
                }
            }
        }
        known.swap(next);
        value.swap(nextValue);
    }

    modelImage = generateTexture(side, side);
    unsigned char *rgb = modelImage.getIlImageData();
    for (int i = 0; i < side * side; ++i) {
        for (int c = 0; c < 3; ++c) {
            rgb[i * 3 + c] = toByte(255.0f * value[i] * lightColor[c]);
        }
    }
    return modelImage;
}

std::vector<LightMapTriangle> LightMap::modelTriangles(const Md2Model &model) {
    std::vector<LightMapTriangle> result;
    const Md2Frame *frame = model.getPoseFrame();
    if (frame == nullptr) {
        return result;
    }
    const std::vector<Md2TexCoord> &texCoords = model.getTexCoords();
    const float skinWidth = model.getSkinWidth() > 0 ? static_cast<float>(model.getSkinWidth()) : 1.0f;
    const float skinHeight = model.getSkinHeight() > 0 ? static_cast<float>(model.getSkinHeight()) : 1.0f;
    result.reserve(model.getTriangles().size());
    for (const Md2Triangle &triangle : model.getTriangles()) {
        LightMapTriangle out{};
        bool valid = true;
        for (int c = 0; c < 3; ++c) {
            const std::size_t vertex = triangle.vertexIndex[c];
            const std::size_t coord = triangle.texCoordIndex[c];
            if (vertex >= frame->vertices.size() || coord >= texCoords.size()) {
                valid = false; // the reader rejects such files; an empty model has none
                break;
            }
            for (int a = 0; a < 3; ++a) {
                out.corner[c][a] = frame->scale[a] * frame->vertices[vertex].v[a] + frame->translate[a];
            }
            out.texCoord[c][0] = texCoords[coord].s / skinWidth;
            out.texCoord[c][1] = texCoords[coord].t / skinHeight;
        }
        if (valid) {
            result.push_back(out);
        }
    }
    return result;
}

DevilImageDefinition LightMap::calcModelLightMapTexture(const Md2Model *model, const std::string & /*name*/,
                                                        const float *pos, float rotY, float scale) {
    const std::vector<LightMapTriangle> triangles =
        model != nullptr ? modelTriangles(*model) : std::vector<LightMapTriangle>();
    return calcModelLightMapTexture(triangles, pos, rotY, scale);
}

#include "level/LandBorder.h"

#include "render/GlExtensions.h"
#include "render/HorizonFog.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {
float smoothStep(float from, float to, float value) {
    const float t = std::clamp((value - from) / (to - from), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// Rolling hills from a few long waves, 0..1; the same for every level.
float hills(float x, float z) {
    return 0.5f + 0.25f * std::sin(0.013f * x + 0.7f) * std::cos(0.011f * z - 0.3f) +
           0.15f * std::sin(0.031f * x + 0.023f * z + 1.1f) + 0.1f * std::cos(0.057f * x - 0.041f * z);
}

// Line positions along one axis: the terrain's own, then outwards on both sides in growing steps.
std::vector<float> axisLines(const std::vector<float> &inner, float reach) {
    std::vector<float> lines;
    float offset = 0.0f, step = LandBorder::kFirstStep;
    std::vector<float> outward;
    while (offset < reach) {
        offset = std::min(offset + step, reach);
        outward.push_back(offset);
        step *= LandBorder::kStepGrowth;
    }
    for (auto it = outward.rbegin(); it != outward.rend(); ++it) {
        lines.push_back(inner.front() - *it);
    }
    lines.insert(lines.end(), inner.begin(), inner.end());
    for (float o : outward) {
        lines.push_back(inner.back() + o);
    }
    return lines;
}
} // namespace

float LandBorder::fogStart(const Area &area) {
    return std::max(kMinFogStart, 0.75f * std::max(area.right - area.left, area.back - area.front));
}

float LandBorder::fogEnd(const Area &area) {
    return fogStart(area) + kFogLength;
}

float LandBorder::rimStart(const Area &area) {
    return fogEnd(area) + kCameraReach + kFogToRim;
}

float LandBorder::reach(const Area &area) {
    return rimStart(area) + kRimWidth;
}

float LandBorder::heightAt(float x, float z) const {
    const float cx = std::clamp(x, area.left, area.right), cz = std::clamp(z, area.front, area.back);
    const float dx = x - cx, dz = z - cz;
    const float edge = edgeHeight ? edgeHeight(cx, cz) : 0.0f;
    const float blend = smoothStep(0.0f, kBlendDistance, std::sqrt(dx * dx + dz * dz));
    const float rim =
        kRimHeight * smoothStep(rimStart(area), reachUnits, std::max(std::fabs(dx), std::fabs(dz)));
    return edge + blend * (kHillHeight * hills(x, z) - edge) + rim;
}

void LandBorder::build(const Area &newArea, const std::vector<float> &edgeLinesX,
                       const std::vector<float> &edgeLinesZ, HeightFunction newEdgeHeight,
                       LightFunction light, float cellSize) {
    release();
    vertices.clear();
    indices.clear();
    chunks.clear();
    area = newArea;
    edgeHeight = std::move(newEdgeHeight);
    reachUnits = reach(area);
    built = true;
    if (edgeLinesX.size() < 2 || edgeLinesZ.size() < 2 || !(cellSize > 0.0f)) {
        return;
    }
    // The mean light along the edge: the far land's even light.
    float meanLight = 1.0f;
    if (light) {
        float sum = 0.0f;
        int count = 0;
        auto sample = [&](float x, float z) {
            const float point[3] = {x, edgeHeight ? edgeHeight(x, z) : 0.0f, z};
            sum += std::clamp(light(point), 0.0f, 1.0f);
            ++count;
        };
        for (float x : edgeLinesX) {
            sample(x, area.front);
            sample(x, area.back);
        }
        for (float z : edgeLinesZ) {
            sample(area.left, z);
            sample(area.right, z);
        }
        meanLight = sum / static_cast<float>(count);
    }
    const std::vector<float> xs = axisLines(edgeLinesX, reachUnits);
    const std::vector<float> zs = axisLines(edgeLinesZ, reachUnits);
    const int columns = static_cast<int>(xs.size()), rows = static_cast<int>(zs.size());
    vertices.reserve(static_cast<std::size_t>(columns) * rows);
    for (int i = 0; i < columns; ++i) {
        for (int j = 0; j < rows; ++j) {
            Vertex v;
            const float x = xs[i], z = zs[j];
            v.position[0] = x;
            v.position[1] = heightAt(x, z);
            v.position[2] = z;
            // The slope over a few units either way.
            const float d = 2.0f;
            float n[3] = {heightAt(x - d, z) - heightAt(x + d, z), 2.0f * d,
                          heightAt(x, z - d) - heightAt(x, z + d)};
            const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            for (int a = 0; a < 3; ++a) {
                v.normal[a] = n[a] / length;
            }
            v.ground[0] = (z - area.front) / cellSize; // s along z, t along x, as the terrain
            v.ground[1] = (x - area.left) / cellSize;
            // The light map's value at the nearest edge point, fading into the edge's mean
            // over the blend distance, so that the edge's light runs on without streaks.
            const float cx = std::clamp(x, area.left, area.right), cz = std::clamp(z, area.front, area.back);
            const float edgePoint[3] = {cx, edgeHeight ? edgeHeight(cx, cz) : 0.0f, cz};
            const float here = light ? std::clamp(light(edgePoint), 0.0f, 1.0f) : 1.0f;
            const float blend = smoothStep(0.0f, kBlendDistance, std::hypot(x - cx, z - cz));
            v.brightness = here + blend * (meanLight - here);
            vertices.push_back(v);
        }
    }
    // Cells outside the area, split along A-C as the terrain's.
    const int firstX = static_cast<int>(std::find(xs.begin(), xs.end(), edgeLinesX.front()) - xs.begin());
    const int lastX = firstX + static_cast<int>(edgeLinesX.size()) - 1;
    const int firstZ = static_cast<int>(std::find(zs.begin(), zs.end(), edgeLinesZ.front()) - zs.begin());
    const int lastZ = firstZ + static_cast<int>(edgeLinesZ.size()) - 1;
    auto at = [rows](int i, int j) { return static_cast<unsigned int>(i * rows + j); };
    for (int bi = 0; bi + 1 < columns; bi += kChunkLines) {
        for (int bj = 0; bj + 1 < rows; bj += kChunkLines) {
            Chunk chunk;
            chunk.firstIndex = indices.size();
            for (int i = bi; i < std::min(bi + kChunkLines, columns - 1); ++i) {
                for (int j = bj; j < std::min(bj + kChunkLines, rows - 1); ++j) {
                    if (i >= firstX && i < lastX && j >= firstZ && j < lastZ) {
                        continue; // the terrain's own cell
                    }
                    const unsigned int a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
                    indices.insert(indices.end(), {a, b, c, a, c, d});
                }
            }
            chunk.indexCount = indices.size() - chunk.firstIndex;
            if (chunk.indexCount == 0) {
                continue;
            }
            for (std::size_t k = chunk.firstIndex; k < indices.size(); ++k) {
                const float *p = vertices[indices[k]].position;
                for (int axis = 0; axis < 3; ++axis) {
                    chunk.min[axis] = k == chunk.firstIndex ? p[axis] : std::min(chunk.min[axis], p[axis]);
                    chunk.max[axis] = k == chunk.firstIndex ? p[axis] : std::max(chunk.max[axis], p[axis]);
                }
            }
            chunks.push_back(chunk);
        }
    }
}

void LandBorder::compile(Chunk &chunk, bool withLight) const {
    if (chunk.displayList == 0) {
        chunk.displayList = glGenLists(1);
    }
    glNewList(chunk.displayList, GL_COMPILE);
    glBegin(GL_TRIANGLES);
    for (std::size_t k = chunk.firstIndex; k < chunk.firstIndex + chunk.indexCount; ++k) {
        const Vertex &v = vertices[indices[k]];
        // The material's usual diffuse 0.8, darkened as the light map darkens the terrain.
        const float shade = 0.8f * (withLight ? v.brightness : 1.0f);
        glColor3f(shade, shade, shade);
        glNormal3fv(v.normal);
        glTexCoord2fv(v.ground);
        glVertex3fv(v.position);
    }
    glEnd();
    glEndList();
}

void LandBorder::draw(unsigned int ground, bool withLight, const ChunkFilter &visible,
                      const ChunkFilter &fogFree) {
    lastChunksDrawn = 0;
    if (chunks.empty()) {
        return;
    }
    const bool recompile = chunks.front().displayList == 0 || withLight != listsWithLight;
    listsWithLight = withLight;
    GLint minFilter = GL_LINEAR;
    if (ground != 0) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, ground);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        // The far land is fogged anyway: one mipmap level per pixel is enough there.
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
        if (minFilter == GL_LINEAR_MIPMAP_LINEAR) {
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
        }
    }
    // The vertex shade stands in for the light map: it scales the lit colour as the map does.
    static const float kDefaultDiffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
    glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    if (recompile) {
        for (Chunk &chunk : chunks) {
            compile(chunk, withLight);
        }
    }
    HorizonFog::drawSplit(visible, fogFree, [this](const ChunkFilter &take) {
        for (const Chunk &chunk : chunks) {
            if (!take || take(chunk.min, chunk.max)) {
                glCallList(chunk.displayList);
                ++lastChunksDrawn;
            }
        }
    });
    glDisable(GL_COLOR_MATERIAL);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, kDefaultDiffuse);
    glColor3f(1.0f, 1.0f, 1.0f);
    if (ground != 0) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
        glDisable(GL_TEXTURE_2D);
    }
}

void LandBorder::release() {
    if (glWindowCurrent()) {
        for (const Chunk &chunk : chunks) {
            if (chunk.displayList != 0) {
                glDeleteLists(chunk.displayList, 1);
            }
        }
    }
    for (Chunk &chunk : chunks) {
        chunk.displayList = 0;
    }
}

#pragma once

#include "level/LightData.h"
#include "math/VectorOperations.h"
#include "render/DevilImageDefinition.h"
#include "render/MultiTexWrapper.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class Md2Model;

// A quad prepared for light-map sampling: corners, the unit axes along
// p0->p3 (u) and p0->p1 (v), their lengths and the normal u x v. The rows
// u, v, normal form a row-major 3x3 matrix.
struct surface4 {
    float p0[3], p1[3], p2[3], p3[3]; // corners in drawing order
    float u[3];                       // unit axis p0 -> p3
    float v[3];                       // unit axis p0 -> p1
    float normal[3];                  // u x v
    float lengthU;                    // |p3 - p0|
    float lengthV;                    // |p1 - p0|
};

// A triangle prepared the same way: u along p2->p1, v along p0->p1.
struct surface3 {
    float p0[3], p1[3], p2[3]; // corners
    float u[3];                // unit axis p1 - p2
    float v[3];                // unit axis p1 - p0
    float normal[3];           // u x v
    float lengthU;             // |p1 - p2|
    float lengthV;             // |p1 - p0|
};

// One model triangle for a light map: corners in model space and the
// texture coordinates (skin space, 0..1) the object is drawn with.
struct LightMapTriangle {
    float corner[3][3];   // x, y, z of each corner
    float texCoord[3][2]; // s, t of each corner
};

// Second texture layer that darkens the terrain and the level objects with
// distance from one point light. Terrain quads get a 16x16 texture each,
// computed while the first frame is drawn and reused afterwards; level objects
// get one 32x32 image each at level start, laid out in their skin's texture
// coordinates so that it follows the object's surface.
class LightMap {
  public:
    static constexpr int kQuadMapSide = 16;  // texels per side of a terrain quad's map
    static constexpr int kModelMapSide = 32; // texels per side of a level object's map

    LightMap();
    ~LightMap(); // deletes the terrain textures it made
    LightMap(const LightMap &) = delete;
    LightMap &operator=(const LightMap &) = delete;

    // Start of every terrain frame: the first call throws away old maps and
    // computes new ones while drawing, later calls reuse them.
    void initial();
    void newLightMap(bool flag);
    void activatePreStepping() { preStepping = true; }

    // Draws one terrain quad (corners v[0..3]) with `texture` on unit 0 and,
    // when `flag`, its light map on unit 1. Texture coordinates: v0 (0,0),
    // v1 (0,1), v2 (1,1), v3 (1,0) on both units. `normals` (four, may be
    // null) shade the corners; without them the quad faces straight up.
    void RenderLMOnPoly4(const float v[4][3], unsigned int texture, bool flag,
                         const float (*normals)[3] = nullptr);

    // After the last quad of a frame: unit 1 off, unit 0 active.
    void finishSurfaces();

    // Texture coordinate (s, t) on units 0 and 1 at once, so a model's skin
    // and its light map share coordinates.
    void setCoords(float s, float t);

    // A 32x32 RGB light map for a level object drawn at `pos`, turned `rotY`
    // degrees about y and scaled by `scale` (the object transform of the
    // drawing code). Register it as name + "light".
    DevilImageDefinition calcModelLightMapTexture(const std::vector<LightMapTriangle> &triangles,
                                                  const float *pos, float rotY, float scale);

    // The same for a level object's MD2 model, from its drawn pose (frame 1)
    // and skin coordinates; `name` is the object's name. A model without that
    // frame gives a map lit evenly by the light at `pos`.
    DevilImageDefinition calcModelLightMapTexture(const Md2Model *model, const std::string &name,
                                                  const float *pos, float rotY, float scale);
    // Frame 1 of `model` as light-map triangles: model-space corners and skin
    // coordinates (s / skin width, t / skin height).
    static std::vector<LightMapTriangle> modelTriangles(const Md2Model &model);

    // A black RGB image of width x height texels (depth 3, GL_RGB).
    static DevilImageDefinition generateTexture(int width, int height);
    void freeLightMapIDs();
    void setLight(const LightData &light) { lights[static_cast<int>(lights.size())] = light; }

    surface4 *new_surface4(const float v[4][3]);
    surface3 *new_surface3(const float v[3][3]);

    // Brightness 0..1 of a world point: full within 100 units of the light,
    // then falling with the square of the distance.
    float lightIntensity(const float *point) const;
    // The 16x16 RGB texels of a quad prepared by new_surface4, rows along v
    // (p0->p1), columns along u (p0->p3), each sampled at its texel centre.
    void generateLightmap4(const surface4 &surface, unsigned char *rgb) const;
    // The same for the quad with corners v[0..3], counted as one computation
    // (the terrain's atlas gathers its maps so, without a texture each).
    void computeQuadMap(const float v[4][3], unsigned char *rgb);

    void setLightPosition(float x, float y, float z);
    const float *getLightPosition() const { return lightPosition; }
    void setLightColor(float r, float g, float b);

    unsigned int getSurfaceTexture(int index) const; // 0 when there is none
    int getSurfaceTextureCount() const { return static_cast<int>(surfaceTextures.size()); }
    int getSurfaceIndex() const { return surfaceIndex; }
    bool isRecompute() const { return recompute; }
    bool isPreStepping() const { return preStepping; }
    int getLightMapComputations() const { return computations; }

  private:
    unsigned int uploadQuadMap(const surface4 &surface);
    MultiTexWrapper &multiTex();
    void texel(const float *point, unsigned char *rgb) const;

    std::map<int, LightData> lights;                  // filled by setLight; not used by the computation
    std::map<int, unsigned int> surfaceTextures;      // terrain quad index -> GL texture
    std::map<int, int> secondTextures;                // kept for symmetry with the terrain table; unused
    VectorOperations vectorOperations;                // axis and matrix helpers
    std::unique_ptr<surface4> quadScratch;            // reused for every quad
    std::unique_ptr<surface3> triangleScratch;        // reused for every triangle
    bool initialised = false;                         // initial() has run
    bool recompute = true;                            // compute maps while drawing
    bool preStepping = false;                         // set after the first terrain frame
    int surfaceIndex = 0;                             // index of the next quad drawn this frame
    int frameStep = -1;                               // -1 until the first initial()
    float lightPosition[3] = {-75.0f, -50.0f, 75.0f}; // world position of the light
    float lightColor[3] = {1.0f, 1.0f, 1.0f};         // RGB 0..1
    std::unique_ptr<MultiTexWrapper> multiTexWrapper; // looked up on the first draw, when GL is up
    DevilImageDefinition modelImage;                  // the image last computed for a level object
    int computations = 0;                             // terrain maps computed so far
};

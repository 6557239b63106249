#include "objects/SpielObject.h"

#include "objects/ObjectHost.h"
#include "particles/ParticleEngine.h"
#include "render/DisplayListHolder.h"
#include "render/Md2Renderer.h"
#include "render/VertexBufferHandler.h"
#include "render/MultiTexWrapper.h"
#include "render/TextureGenerator.h"
#include "render/TextureHolder.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr float kDegToRad = 0.017453292f; // the heading's conversion factor

// Two open intervals overlap. Testing only whether one interval's edges lie inside the other would
// miss an interval that covers the other one, or two equal intervals.
bool overlaps(float centreA, float halfA, float centreB, float halfB) {
    return centreA - halfA < centreB + halfB && centreB - halfB < centreA + halfA;
}

} // namespace

SpielObject::SpielObject() = default;

SpielObject::~SpielObject() {
    for (ParticleEngine *effect : particleEngines) {
        delete effect;
    }
}

void SpielObject::setPos(const float *xyz) {
    std::copy(xyz, xyz + 3, pos);
}

void SpielObject::setRotY(float angle) {
    rotY = angle;
    if (rotY > 360.0f) {
        rotY -= 360.0f;
    } else if (rotY < 0.0f) {
        rotY += 360.0f;
    }
    moveDirection[0] = std::sin(rotY * kDegToRad);
    moveDirection[2] = std::cos(rotY * kDegToRad);
}

void SpielObject::setPosWC(const float *xyz) {
    std::copy(xyz, xyz + 3, posWC);
}

void SpielObject::setColor4f(const float *rgba) {
    std::copy(rgba, rgba + 4, color);
}

void SpielObject::addPertikleEffekt(ParticleEngine *effect) {
    if (effect != nullptr) {
        particleEngines.push_back(effect);
    }
}

void SpielObject::setPhysicsPose(const float *matrix) {
    std::copy(matrix, matrix + 16, physicsPose);
}

void SpielObject::move(float dt) {
    for (int i = 0; i < 3; ++i) {
        pos[i] += moveDirection[i] * speed * dt;
    }
    for (ParticleEngine *effect : particleEngines) {
        effect->doAction(dt, pos);
    }
}

bool SpielObject::detectCollison(const SpielObject *objA) const {
    if (objA == nullptr) {
        return false;
    }
    const float *mine = getRect();
    const float *theirs = objA->getRect();
    const float myScale = modell.getScale();
    const float theirScale = objA->modell.getScale();
    const float myHalfX = (mine[1] - mine[0]) * myScale / 2.0f;
    const float myHalfZ = (mine[5] - mine[4]) * myScale / 2.0f;
    const float theirHalfX = (theirs[1] - theirs[0]) * theirScale / 2.0f;
    const float theirHalfZ = (theirs[5] - theirs[4]) * theirScale / 2.0f;
    return overlaps(pos[0], myHalfX, objA->pos[0], theirHalfX) &&
           overlaps(pos[2], myHalfZ, objA->pos[2], theirHalfZ);
}

namespace {

// The filters of the bound texture for the session's quality settings. The magnification filter
// cannot take a mipmap mode, so it gets the matching plain one.
void applyTextureFilter(int iTextureMode, int iMipMappingMode) {
    GLint minFilter = GL_LINEAR_MIPMAP_LINEAR;
    GLint magFilter = GL_LINEAR;
    if (iMipMappingMode == 0) {
        minFilter = iTextureMode == 0 ? GL_LINEAR : GL_NEAREST;
        magFilter = minFilter;
    } else if (iMipMappingMode == 1) {
        minFilter = GL_NEAREST_MIPMAP_NEAREST;
        magFilter = GL_NEAREST;
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
}

// The driver's multitexture entry points, looked up once a context exists.
const MultiTexWrapper &textureUnits() {
    static const MultiTexWrapper units;
    return units;
}

} // namespace

void SpielObject::markTick() {
    std::copy(pos, pos + 3, tickPos);
    tickRotY = rotY;
    ticked = true;
}

void SpielObject::blendedPos(float blend, float out[3]) const {
    for (int i = 0; i < 3; ++i)
        out[i] = ticked ? tickPos[i] + (pos[i] - tickPos[i]) * blend : pos[i];
}

float SpielObject::blendedRotY(float blend) const {
    if (!ticked)
        return rotY;
    const float turn = std::remainder(rotY - tickRotY, 360.0f); // in [-180, 180]
    return tickRotY + turn * blend;
}

void SpielObject::draw(float, float, bool, bool lightmap, int iDrawMode, int iTextureMode,
                       int iMipMappingMode) const {
    Md2Model *model = modell.getModel();
    if (model == nullptr || model->getNumFrames() < 2) {
        return;
    }
    const MultiTexWrapper &units = textureUnits();
    const bool multiTexture = MultiTexWrapper::isAvailable();

    const float blend = game != nullptr ? game->getViewBlend() : 1.0f;
    float at[3];
    blendedPos(blend, at);
    glPushMatrix();
    glTranslatef(at[0], at[1], at[2]);
    glRotatef(blendedRotY(blend), 0.0f, 1.0f, 0.0f);
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f); // MD2 models are z-up
    glScalef(modell.getScale(), modell.getScale(), modell.getScale());
    glColor3f(0.0f, 0.0f, 0.0f);

    if (game != nullptr && !game->isDrawingDepthOnly()) { // a depth pass needs no texels
        TextureHolder *textures = game->getTextureHolder();
        TextureGenerator::setMipmapGeneration(true);
        units.glActiveTextureARB0();
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, textures->getTextureIDByString(model->getSkinTextureName()));
        applyTextureFilter(iTextureMode, iMipMappingMode);
        // Only level objects have a light map; a vehicle asked for one keeps its plain skin instead of
        // a black placeholder.
        const std::string lightName = objectName + "light";
        if (lightmap && multiTexture && textures->hasTexture(lightName)) {
            units.glActiveTextureARB1();
            glEnable(GL_TEXTURE_2D);
            glBindTexture(GL_TEXTURE_2D, textures->getTextureIDByString(lightName));
            applyTextureFilter(iTextureMode, iMipMappingMode);
        }
        TextureGenerator::setMipmapGeneration(false);
    }

    switch (iDrawMode) {
    case 0:
        Md2Renderer::drawImmediate(*model);
        break;
    case 1:
        if (game != nullptr) {
            DisplayListHolder *lists = game->getDisplayListHolder();
            const std::string &key = model->getName();
            if (lists->Contains(key)) {
                glCallList(lists->getDisplayListIDByString(key));
            } else {
                const unsigned int list = lists->generateDisplayListId(key);
                if (list != 0) {
                    game->createList(list, model);
                    glCallList(list);
                }
            }
        }
        break;
    case 3: // buffers uploaded once per model by the level's handler
        if (game != nullptr && game->getVertexBufferHandler() != nullptr) {
            game->getVertexBufferHandler()->drawModel(*model);
            break;
        }
        Md2Renderer::drawArrays(*model);
        break;
    case 2:
        Md2Renderer::drawArrays(*model);
        break;
    default:
        break;
    }

    glPopMatrix();
    if (multiTexture) {
        units.glActiveTextureARB1();
        glDisable(GL_TEXTURE_2D);
        units.glActiveTextureARB0();
    }
    glDisable(GL_TEXTURE_2D);
}

void SpielObject::drawParticleEngine(float fRotX, float fRotY) const {
    for (ParticleEngine *effect : particleEngines) {
        effect->draw(fRotX, fRotY, 0.0f);
    }
}

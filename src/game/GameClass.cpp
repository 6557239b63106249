#include "game/GameClass.h"

#include "level/Level.h"
#include "math/MathConstants.h"
#include "objects/ComputerSpieler.h"
#include "objects/Fahrzeug.h"
#include "objects/LvlObject.h"
#include "objects/PowerUpObject.h"
#include "objects/Projektil.h"
#include "objects/Spieler.h"
#include "render/ShadowMap.h"
#include "render/VertexBufferHandler.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

GameClass::GameClass() {
    fahrzeugTypes = ConfigReader::ReadFahrzeuge();
    weaponTypes = ConfigReader::ReadWeapons();
}

GameClass::~GameClass() {
    clearWorld();
}

bool GameClass::importTextures(const std::string &strDirName) {
    namespace fs = std::filesystem;
    std::error_code error;
    std::vector<std::string> names;
    for (const fs::directory_entry &entry : fs::directory_iterator(strDirName, error)) {
        const std::string name = entry.path().filename().string();
        if (!name.empty() && name[0] != '.' && entry.is_regular_file(error))
            names.push_back(name);
    }
    // Directory order is arbitrary; a sorted scan makes start-up repeatable.
    std::sort(names.begin(), names.end());
    for (const std::string &name : names)
        textures.setTextureByString(strDirName + name);
    return true;
}

const CFahrzeugTypDaten *GameClass::getFahrzeugDatenTyp(const std::string &name) const {
    auto found = fahrzeugTypes->find(name);
    return found == fahrzeugTypes->end() ? nullptr : &found->second;
}

void GameClass::resetCameras(float pitch, float distance) {
    for (OrbitCamera &camera : cameras) {
        camera.setAngleX(pitch);
        camera.setAngleY(0);
        camera.setCamDistance(distance);
    }
}

void GameClass::liftAboveGround(OrbitCamera &camera) const {
    const Level *currentLevel = world.getCurrentLevel();
    if (currentLevel == nullptr)
        return;
    // The highest ground within a few units of the eye, so that no slope reaches the near plane.
    const std::array<float, 3> eye = camera.eye();
    static const float kAround[5][2] = {{0, 0}, {2, 0}, {-2, 0}, {0, 2}, {0, -2}};
    float ground = -1.0e9f;
    for (const auto &offset : kAround)
        ground = std::max(ground, currentLevel->getGroundHeight(eye[0] + offset[0], eye[2] + offset[1]));
    if (eye[1] < ground + kCamClearance)
        camera.moveViewPos(1, ground + kCamClearance - eye[1]);
}

void GameClass::setResolution(int width, int height) {
    iWidth = width;
    iHeight = height;
    font.init(width, height);
}

void GameClass::setStatusMessage(const std::string &text) {
    statusMessage = text;
    statusMessageTime = kStatusMessageSeconds;
}

void GameClass::countDownStatusMessage(float dt) {
    if (statusMessageTime <= 0)
        return;
    statusMessageTime -= dt;
    if (statusMessageTime < 0)
        statusMessage.clear();
}

void GameClass::setOption(bool &option, bool on, const char *onText, const char *offText, bool showStatus) {
    option = on;
    const char *text = on ? onText : offText;
    std::printf("%s\n", text);
    if (showStatus)
        setStatusMessage(text);
}

void GameClass::setUseShadowmap(bool on) {
    setOption(useShadowmap, on, "Use Shadowmap on", "Use Shadowmap off", true);
}
void GameClass::setUseLightmap(bool on) {
    setOption(useLightmap, on, "Use Lightmap on", "Use Lightmap off", true);
}
void GameClass::setUseParticleEngine(bool on) {
    setOption(useParticleEngine, on, "Use ParticleEngine on", "Use ParticleEngine off", false);
}
void GameClass::setUseComplexParticleEngine(bool on) {
    setOption(useComplexParticleEngine, on, "Use ComplexParticleEngine on", "Use ComplexParticleEngine off",
              false);
}
void GameClass::setUseMipMapping(bool on) {
    setOption(useMipMapping, on, "Use MipMapping on", "Use MipMapping off", false);
}
void GameClass::setUseDisplayLists(bool on) {
    setOption(useDisplayLists, on, "Use DisplayLists on", "Use DisplayLists off", true);
}
void GameClass::setDrawMiniMap(bool on) {
    setOption(drawMiniMap, on, "Minimap on", "Minimap off", false);
}
void GameClass::setDisplayHelp(bool on) {
    setOption(displayHelp, on, "Display Help", "Hide Help", false);
}
void GameClass::setDisplayFPS(bool on) {
    setOption(displayFPS, on, "Display FPS", "Disable FPS", true);
}
void GameClass::setShowWireFrame(bool on) {
    setOption(showWireFrame, on, "Show Wireframe", "Disable Wireframe", true);
}
void GameClass::setUseFrustumCulling(bool on) {
    setOption(useFrustumCulling, on, "Enable FrustumCulling", "Disable FrustumCulling", true);
}
void GameClass::setTransparenz(bool on) {
    setOption(transparenz, on, "Enable Transparency", "Disable Transparency", true);
}

void GameClass::changeTextureQuality() {
    textureQuality = (textureQuality + 1) % 2;
    const char *text =
        textureQuality == 1 ? "change Texturequality to GL_NEAREST" : "change Texturequality to GL_LINEAR";
    std::printf("%s\n", text);
    setStatusMessage(text);
}

void GameClass::changeMipMappingQuality() {
    static const char *const kMessages[] = {"change MipMappingMode to AUS",
                                            "change MipMappingMode to NEAREST",
                                            "change MipMappingMode to LINEAR"};
    mipMappingMode = (mipMappingMode + 1) % 3;
    std::printf("change MipMappingMode\n");
    setStatusMessage(kMessages[mipMappingMode]);
}

void GameClass::changeRenderMode() {
    static const char *const kMessages[] = {
        "change RenderMode to ImediateMode", "change RenderMode to DisplayLists",
        "change RenderMode to VertexArrays", "change RenderMode to VBO's"};
    renderMode = (renderMode + 1) % 4;
    std::printf("change RenderMode\n");
    setStatusMessage(kMessages[renderMode]);
}

void GameClass::applyRenderOptions(bool shadows, bool lightMaps, int renderPath, int texture, int mipmap) {
    useShadowmap = shadows;
    useLightmap = lightMaps;
    renderMode = renderPath >= 0 && renderPath < 4 ? renderPath : kDisplayLists;
    textureQuality = texture == 1 ? 1 : 0;
    mipMappingMode = mipmap >= 0 && mipmap < 3 ? mipmap : 1;
}

void GameClass::toggleOption(int functionKey) {
    switch (functionKey) {
    case 1:
        setDisplayHelp(!displayHelp);
        break;
    case 2:
        setDisplayFPS(!displayFPS);
        break;
    case 3:
        setShowWireFrame(!showWireFrame);
        break;
    case 4:
        changeTextureQuality();
        break;
    case 5:
        changeMipMappingQuality();
        break;
    case 6:
        changeRenderMode();
        break;
    case 7:
        setUseDisplayLists(!useDisplayLists);
        break;
    case 8:
        setUseFrustumCulling(!useFrustumCulling);
        break;
    case 9:
        setTransparenz(!transparenz);
        break;
    case 10:
        setUseLightmap(!useLightmap);
        break;
    case 11:
        setUseShadowmap(!useShadowmap);
        break;
    case 12:
        setDrawObstacleMap(!drawObstacleMap);
        break;
    default:
        break;
    }
}

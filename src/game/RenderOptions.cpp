#include "game/RenderOptions.h"

#include <cstdio>

void RenderOptions::setStatusMessage(const std::string &text) {
    statusMessage = text;
    statusMessageTime = kStatusMessageSeconds;
}

void RenderOptions::countDownStatusMessage(float dt) {
    if (statusMessageTime <= 0)
        return;
    statusMessageTime -= dt;
    if (statusMessageTime < 0)
        statusMessage.clear();
}

void RenderOptions::setOption(bool &option, bool on, const char *onText, const char *offText, bool showStatus) {
    option = on;
    const char *text = on ? onText : offText;
    std::printf("%s\n", text);
    if (showStatus)
        setStatusMessage(text);
}

void RenderOptions::setDrawObstacleMap(bool on) {
    setOption(drawObstacleMap, on, "Obstacle map on", "Obstacle map off", true);
}
void RenderOptions::setUseShadowmap(bool on) {
    setOption(useShadowmap, on, "Use Shadowmap on", "Use Shadowmap off", true);
}
void RenderOptions::setUseLightmap(bool on) {
    setOption(useLightmap, on, "Use Lightmap on", "Use Lightmap off", true);
}
void RenderOptions::setUseParticleEngine(bool on) {
    setOption(useParticleEngine, on, "Use ParticleEngine on", "Use ParticleEngine off", false);
}
void RenderOptions::setUseComplexParticleEngine(bool on) {
    setOption(useComplexParticleEngine, on, "Use ComplexParticleEngine on", "Use ComplexParticleEngine off",
              false);
}
void RenderOptions::setUseMipMapping(bool on) {
    setOption(useMipMapping, on, "Use MipMapping on", "Use MipMapping off", false);
}
void RenderOptions::setUseDisplayLists(bool on) {
    setOption(useDisplayLists, on, "Use DisplayLists on", "Use DisplayLists off", true);
}
void RenderOptions::setDrawMiniMap(bool on) {
    setOption(drawMiniMap, on, "Minimap on", "Minimap off", false);
}
void RenderOptions::setDisplayHelp(bool on) {
    setOption(displayHelp, on, "Display Help", "Hide Help", false);
}
void RenderOptions::setDisplayFPS(bool on) {
    setOption(displayFPS, on, "Display FPS", "Disable FPS", true);
}
void RenderOptions::setShowWireFrame(bool on) {
    setOption(showWireFrame, on, "Show Wireframe", "Disable Wireframe", true);
}
void RenderOptions::setUseFrustumCulling(bool on) {
    setOption(useFrustumCulling, on, "Enable FrustumCulling", "Disable FrustumCulling", true);
}
void RenderOptions::setTransparenz(bool on) {
    setOption(transparenz, on, "Enable Transparency", "Disable Transparency", true);
}

void RenderOptions::changeTextureQuality() {
    textureQuality = (textureQuality + 1) % 2;
    const char *text =
        textureQuality == 1 ? "change Texturequality to GL_NEAREST" : "change Texturequality to GL_LINEAR";
    std::printf("%s\n", text);
    setStatusMessage(text);
}

void RenderOptions::changeMipMappingQuality() {
    static const char *const kMessages[] = {"change MipMappingMode to AUS",
                                            "change MipMappingMode to NEAREST",
                                            "change MipMappingMode to LINEAR"};
    mipMappingMode = (mipMappingMode + 1) % 3;
    std::printf("change MipMappingMode\n");
    setStatusMessage(kMessages[mipMappingMode]);
}

void RenderOptions::changeRenderMode() {
    static const char *const kMessages[] = {
        "change RenderMode to ImediateMode", "change RenderMode to DisplayLists",
        "change RenderMode to VertexArrays", "change RenderMode to VBO's"};
    renderMode = (renderMode + 1) % 4;
    std::printf("change RenderMode\n");
    setStatusMessage(kMessages[renderMode]);
}

void RenderOptions::applyRenderOptions(bool shadows, bool lightMaps, int renderPath, int texture, int mipmap) {
    useShadowmap = shadows;
    useLightmap = lightMaps;
    renderMode = renderPath >= 0 && renderPath < 4 ? renderPath : kDisplayLists;
    textureQuality = texture == 1 ? 1 : 0;
    mipMappingMode = mipmap >= 0 && mipmap < 3 ? mipmap : 1;
}

void RenderOptions::toggleOption(int functionKey) {
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

#pragma once

#include <string>

// The display and render options the function keys toggle, and the status message that tells of a
// change for two seconds. Each setter prints its console line; most also show the status message.
// The draw code reads the options as they stand; the shadow pass may switch some off for itself.
struct RenderOptions {
    // Render paths handed to every draw call.
    enum RenderMode { kImmediate = 0, kDisplayLists = 1, kVertexArrays = 2, kVertexBufferObjects = 3 };
    static constexpr float kStatusMessageSeconds = 2.0f;

    void setUseShadowmap(bool on);
    bool getUseShadowmap() const { return useShadowmap; }
    void setUseLightmap(bool on);
    bool getUseLightmap() const { return useLightmap; }
    void setUseParticleEngine(bool on);
    bool getUseParticleEngine() const { return useParticleEngine; }
    void setUseComplexParticleEngine(bool on);
    bool getUseComplexParticleEngine() const { return useComplexParticleEngine; }
    void setUseMipMapping(bool on);
    bool getUseMipMapping() const { return useMipMapping; }
    void setUseDisplayLists(bool on);
    bool getUseDisplayLists() const { return useDisplayLists; }
    void setDrawMiniMap(bool on);
    bool getDrawMiniMap() const { return drawMiniMap; }
    void setDisplayHelp(bool on);
    bool getDisplayHelp() const { return displayHelp; }
    void setDisplayFPS(bool on);
    bool getDisplayFPS() const { return displayFPS; }
    void setShowWireFrame(bool on);
    bool getShowWireFrame() const { return showWireFrame; }
    void setUseFrustumCulling(bool on);
    bool getUseFrustumCulling() const { return useFrustumCulling; }
    void setTransparenz(bool on);
    bool getTransparenz() const { return transparenz; }
    // The computer player's obstacle grid drawn over the minimap (F12).
    void setDrawObstacleMap(bool on);
    bool getDrawObstacleMap() const { return drawObstacleMap; }
    void changeTextureQuality();    // linear <-> nearest
    void changeMipMappingQuality(); // off -> nearest -> linear -> off
    void changeRenderMode();        // immediate -> lists -> arrays -> buffers -> immediate
    int getRenderMode() const { return renderMode; }
    int getTextureQuality() const { return textureQuality; }
    int getMipMappingMode() const { return mipMappingMode; }
    // Sets the render options at once and without messages (start-up settings, the Options screen).
    void applyRenderOptions(bool shadows, bool lightMaps, int renderPath, int texture, int mipmap);
    // Dispatches a function key (1 = F1 ... 12 = F12) to its option toggle.
    void toggleOption(int functionKey);

    // A line shown for a moment: what a function key changed, or the network's news.
    void setStatusMessage(const std::string &text);
    const std::string &getStatusMessage() const { return statusMessage; }
    float getStatusMessageTime() const { return statusMessageTime; }
    void countDownStatusMessage(float dt);

    bool useShadowmap = true;
    bool useLightmap = true;
    bool useParticleEngine = true;
    bool useComplexParticleEngine = true;
    bool useMipMapping = true;
    bool useDisplayLists = true;
    bool drawMiniMap = false;
    bool drawObstacleMap = false; // F12: the computer player's obstacle grid
    bool displayHelp = false;
    bool displayFPS = false; // the frame-rate line, for those who ask for it (F2)
    bool showWireFrame = false;
    bool useFrustumCulling = true;
    bool transparenz = false;
    int renderMode = kDisplayLists;
    int textureQuality = 0; // 0 linear, 1 nearest
    int mipMappingMode = 1; // 0 off, 1 nearest, 2 linear

  private:
    void setOption(bool &option, bool on, const char *onText, const char *offText, bool showStatus);

    std::string statusMessage;   // shown while statusMessageTime > 0
    float statusMessageTime = 0; // seconds left
};

// panzer_bench_particles: what N smoke trails of 200 particles cost per frame,
// stepping and drawing, for N = 1, 10 and 50.
//
//   panzer_bench_particles [data dir] [rounds]
//
// Drawing needs an X display (run under xvfb-run). The machine is shared and
// noisy, so every figure is a median over interleaved rounds, and the results
// are given as ratios measured in the same run: cost per emitter relative to
// a single emitter, and drawing relative to stepping.
#include "particles/CPeRauch.h"
#include "particles/ParticleRandom.h"
#include "render/TextureHolder.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kParticles = 200;             // per smoke trail, as the game gives each vehicle
constexpr int kCounts[] = {1, 10, 50};      // emitters per frame
constexpr int kParticlesPerMeasure = 60000; // particle updates per measurement, whatever N
constexpr float kFrameTime = 1.0f / 60.0f;  // seconds per simulated frame
constexpr int kWidth = 640;                 // window, pixels
constexpr int kHeight = 480;

using Clock = std::chrono::steady_clock;

struct Scene {
    std::vector<std::unique_ptr<CPeRauch>> emitters;
    std::vector<std::vector<float>> positions; // where each trail's vehicle stands
};

// N vehicles in rows in front of the camera, each with its trail, warmed up
// until the trails are in their steady state of respawning.
Scene makeScene(int n, TextureHolder &textures, ParticleRandom &random) {
    Scene s;
    const float colour[4] = {0.5f, 1.0f, 0.5f, 1.0f};
    for (int i = 0; i < n; ++i) {
        const float pos[3] = {static_cast<float>(i % 10) * 3.0f - 13.5f, 0.0f,
                              -static_cast<float>(i / 10) * 4.0f};
        s.positions.emplace_back(pos, pos + 3);
        s.emitters.push_back(
            std::make_unique<CPeRauch>(pos, colour, kParticles, 1.0f, 5.0f, 1.0f, &textures, &random));
    }
    for (int frame = 0; frame < 400; ++frame) {
        for (int i = 0; i < n; ++i) {
            s.emitters[i]->doAction(kFrameTime, s.positions[i].data());
        }
    }
    return s;
}

int framesFor(int n) {
    return std::max(1, kParticlesPerMeasure / (n * kParticles));
}

// Microseconds per frame of stepping every emitter, the vehicles driving slowly.
double timeStep(Scene &s) {
    const int frames = framesFor(static_cast<int>(s.emitters.size()));
    const auto start = Clock::now();
    for (int frame = 0; frame < frames; ++frame) {
        for (std::size_t i = 0; i < s.emitters.size(); ++i) {
            s.positions[i][2] -= 0.05f;
            s.emitters[i]->doAction(kFrameTime, s.positions[i].data());
        }
    }
    const std::chrono::duration<double, std::micro> spent = Clock::now() - start;
    return spent.count() / frames;
}

// Microseconds per frame of drawing every emitter with the camera swinging a
// few degrees to and fro (so the depth sorts run as in play, and every
// measurement sees the same views), finished on the GPU.
double timeDraw(Scene &s, bool sorted) {
    const int frames = framesFor(static_cast<int>(s.emitters.size()));
    const float pitch = -20.0f;
    glFinish();
    const auto start = Clock::now();
    for (int frame = 0; frame < frames; ++frame) {
        const float yaw = 8.0f * std::sin(static_cast<float>(frame) * 0.1f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        const float a = pitch * 0.017453292f, b = yaw * 0.017453292f, d = 30.0f;
        gluLookAt(d * std::cos(a) * std::sin(b), -d * std::sin(a) + 2.0f,
                  d * std::cos(a) * std::cos(b) - 6.0f, 0.0, 2.0, -6.0, 0.0, 1.0, 0.0);
        for (auto &e : s.emitters) {
            if (sorted) {
                e->drawSorted(pitch, yaw + 180.0f, 0.0f);
            } else {
                e->draw(pitch, yaw + 180.0f, 0.0f);
            }
        }
    }
    glFinish();
    const std::chrono::duration<double, std::micro> spent = Clock::now() - start;
    return spent.count() / frames;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

bool openWindow(int &argc, char **argv) {
    const char *display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        std::fprintf(stderr, "Error: DISPLAY is not set: drawing needs an X server, run under "
                             "xvfb-run -a -s \"-screen 0 1280x1024x24\"\n");
        return false;
    }
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGBA | GLUT_DEPTH);
    glutInitWindowSize(kWidth, kHeight);
    if (glutCreateWindow("panzer_bench_particles") <= 0) {
        std::fprintf(stderr, "Error: could not open an OpenGL window on display %s\n", display);
        return false;
    }
    glutDisplayFunc([] {});
    for (int i = 0; i < 5; ++i) {
        glutMainLoopEvent();
    }
    glViewport(0, 0, kWidth, kHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(80.0, 1.0, 1.0, 5000.0); // the scene's projection
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    return true;
}

} // namespace

int main(int argc, char **argv) {
    if (!openWindow(argc, argv)) {
        return 1;
    }
    const std::string dataDir = argc > 1 ? argv[1] : "data";
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    const std::string cloud = (std::filesystem::path(dataDir) / "textures" / "Cloud.jpg").string();
    if (!std::filesystem::exists(cloud)) {
        std::fprintf(stderr, "Error: %s: file not found (give the data folder as the first argument)\n",
                     cloud.c_str());
        return 1;
    }

    TextureHolder textures;
    textures.setTextureByString(cloud);
    ParticleRandom random(1);
    std::vector<Scene> scenes;
    for (int n : kCounts) {
        scenes.push_back(makeScene(n, textures, random));
    }
    timeDraw(scenes[0], true); // uploads the texture outside the measurement

    const std::size_t kinds = scenes.size();
    std::vector<std::vector<double>> step(kinds), sorted(kinds), plain(kinds);
    for (int r = 0; r < rounds; ++r) {
        // Interleaved, so a burst of load on the machine hits every count alike.
        for (std::size_t k = 0; k < kinds; ++k) {
            step[k].push_back(timeStep(scenes[k]));
            sorted[k].push_back(timeDraw(scenes[k], true));
            plain[k].push_back(timeDraw(scenes[k], false));
        }
    }

    const GLubyte *renderer = glGetString(GL_RENDERER);
    std::printf("Smoke trails of %d particles, %d interleaved rounds, medians; renderer: %s\n", kParticles,
                rounds, renderer != nullptr ? reinterpret_cast<const char *>(renderer) : "unknown");
    std::printf("%9s | %12s %12s %8s | %12s %12s %8s | %10s %12s\n", "emitters", "step us/fr", "us/emitter",
                "vs N=1", "draw us/fr", "us/emitter", "vs N=1", "draw/step", "sorted/plain");
    const double step1 = median(step[0]);
    const double draw1 = median(sorted[0]);
    for (std::size_t k = 0; k < kinds; ++k) {
        const double n = kCounts[k];
        const double s = median(step[k]);
        const double d = median(sorted[k]);
        const double p = median(plain[k]);
        std::printf("%9d | %12.1f %12.2f %8.2f | %12.1f %12.2f %8.2f | %10.1f %12.2f\n", kCounts[k], s, s / n,
                    (s / n) / step1, d, d / n, (d / n) / draw1, d / s, d / p);
    }
    std::printf("(\"vs N=1\": cost per emitter relative to one emitter alone; \"draw/step\": sorted drawing "
                "per frame over stepping per frame; \"sorted/plain\": sorted over list-order drawing)\n");
    return 0;
}

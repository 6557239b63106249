#include "BenchSupport.h"

#include "config/ConfigReader.h"
#include "config/GamePaths.h"
#include "level/Level.h"
#include "level/LevelIndex.h"
#include "objects/Spieler.h"
#include "render/ShadowMap.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glu.h>
#include <stb/stb_image_write.h>

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <numeric>
#include <random>
#include <unistd.h>

namespace fs = std::filesystem;

namespace bench {

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 == 1 ? values[mid] : (values[mid - 1] + values[mid]) / 2.0;
}

double mean(const std::vector<double> &values) {
    return values.empty() ? 0.0 : std::accumulate(values.begin(), values.end(), 0.0) / values.size();
}

std::vector<std::string> offeredLevelFiles() {
    std::vector<LevelIndex::Entry> index;
    std::vector<std::string> files;
    if (LevelIndex::read(LevelIndex::file(), index)) {
        for (const LevelIndex::Entry &entry : index)
            files.push_back(entry.file);
        return files;
    }
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator(GamePaths::current().data("level"), error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("lvl", 0) == 0 && entry.path().extension() == ".lvl")
            files.push_back(name);
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool openWindow(int &argc, char **argv, const char *title) {
    const char *display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        std::fprintf(stderr, "Error: DISPLAY is not set: drawing needs an X server, run under "
                             "xvfb-run -a -s \"-screen 0 1280x1024x24 -noreset\"\n");
        return false;
    }
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGBA | GLUT_DEPTH);
    glutInitWindowSize(kWindowWidth, kWindowHeight);
    if (glutCreateWindow(title) <= 0) {
        std::fprintf(stderr, "Error: could not open an OpenGL window on display %s\n", display);
        return false;
    }
    glutDisplayFunc([] {});
    for (int i = 0; i < 5; ++i)
        glutMainLoopEvent();
    // The fixed state of the shipped glutconfig.ini.
    glShadeModel(GL_SMOOTH);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glClearColor(0.04f, 0.04f, 0.07f, 1.0f);
    return true;
}

QuietConsole::QuietConsole() {
    std::fflush(stdout);
    savedStdout = dup(STDOUT_FILENO);
    results = savedStdout >= 0 ? fdopen(savedStdout, "w") : stdout;
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
        dup2(null, STDOUT_FILENO);
        close(null);
    }
}

QuietConsole::~QuietConsole() {
    std::fflush(stdout);
    if (results != stdout) {
        std::fflush(results);
        dup2(fileno(results), STDOUT_FILENO);
        std::fclose(results);
    }
}

DataTree::DataTree(const fs::path &sourceData) : previous(fs::current_path()) {
    std::error_code error;
    if (!fs::is_directory(sourceData / "config", error)) {
        std::fprintf(stderr, "Error: %s: no data tree there (give the data folder as the first argument)\n",
                     sourceData.string().c_str());
        return;
    }
    std::random_device random;
    dir = fs::temp_directory_path() / ("panzer-bench-" + std::to_string(random()));
    for (const char *folder : {"config", "level", "model", "textures"}) {
        fs::create_directories(dir / "data");
        fs::copy(sourceData / folder, dir / "data" / folder, fs::copy_options::recursive, error);
        if (error) {
            std::fprintf(stderr, "Error: %s: cannot copy it: %s\n", (sourceData / folder).string().c_str(),
                         error.message().c_str());
            return;
        }
    }
    clearCookedCache();
    fs::current_path(dir);
    copied = true;
}

DataTree::~DataTree() {
    std::error_code ignored;
    fs::current_path(previous, ignored);
    if (!dir.empty())
        fs::remove_all(dir, ignored);
}

void DataTree::write(const std::string &relative, const std::string &contents) const {
    const fs::path file = dir / "data" / relative;
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << contents;
}

void DataTree::clearCookedCache() const {
    for (const char *folder : {"data/model_cooked", "data/config/cookedmodel_config"}) {
        std::error_code ignored;
        fs::remove_all(dir / folder, ignored);
        fs::create_directories(dir / folder, ignored);
    }
}

std::string flatHeightmapPng(int side) {
    const std::vector<unsigned char> black(static_cast<std::size_t>(side) * side * 3, 0);
    std::string png;
    stbi_write_png_to_func(
        [](void *context, void *data, int size) {
            static_cast<std::string *>(context)->append(static_cast<const char *>(data),
                                                        static_cast<std::size_t>(size));
        },
        &png, side, side, 3, black.data(), side * 3);
    return png;
}

std::string vehicleSection(const std::string &name, const std::string &owner, float x, float z,
                           float heading) {
    // A tank's position is the bottom of its hull.
    return "[VEHICLE]\nname=" + name + "\nmodel=tank1.md2\nowner=" + owner +
           "\nfahrzeugtyp=tank\nweapon=cannon\npos_x=" + std::to_string(x) +
           "\npos_y=0.05\npos_z=" + std::to_string(z) + "\nrotation=" + std::to_string(heading) +
           "\nsize=1\nlife=100\n\n";
}

Session::Session() : players(ConfigReader::ReadPlayerConfig()) {
    gc.getWorld().setSpieler1(new Spieler(players.getUpButton1(), players.getDownButton1(), players.getLeftButton1(),
                               players.getRightButton1(), players.getShootButton1()));
    gc.getWorld().setSpieler2(new Spieler(players.getUpButton2(), players.getDownButton2(), players.getLeftButton2(),
                               players.getRightButton2(), players.getShootButton2()));
    gc.setPlayerConfig(&players);
    gc.importTextures("data/textures/");
    gc.getData().importLevels("data/level/");
    gc.getData().importModells("data/model/");
    gc.importPowerUps(); // as the game does: the levels' power-ups are placed
    gc.getView().setResolution(kWindowWidth, kWindowHeight);
}

std::vector<Session::BenchLevel> Session::offeredLevels() const {
    std::vector<BenchLevel> levels;
    for (const std::string &file : offeredLevelFiles()) {
        if (const Level *level = gc.getData().getLevelOfFile(file))
            levels.push_back({file, level->getLvlName()});
        else
            std::fprintf(stderr, "Error: %s: %s did not load; left out\n", LevelIndex::file().c_str(),
                         GamePaths::current().data("level/" + file).c_str());
    }
    return levels;
}

bool Session::startLevel(const std::string &name) {
    if (!gc.loadLevel(name))
        return false;
    gc.resetCameras(-45, 70);
    gc.getView().initGL();
    gc.getView().setResolution(kWindowWidth, kWindowHeight);
    glViewport(0, 0, kWindowWidth, kWindowHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(80, static_cast<double>(kWindowWidth) / kWindowHeight, 1, 5000);
    if (ShadowMap *shadowMap = gc.getView().getShadowMap())
        shadowMap->setCameraProjectionMatrix();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    return true;
}

} // namespace bench

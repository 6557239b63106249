// Checks of the picture generator as a whole: fonts, PNG output, the command line, and that
// rerunning it reproduces the committed pictures byte for byte.
#include "ArtContext.h"
#include "ArtFamilies.h"
#include "Font.h"
#include "IniPairs.h"
#include "PngWriter.h"
#include "SkyArt.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kFontDir = "/usr/share/fonts/truetype/dejavu";

int runGenerator(const std::string &arguments) {
    const std::string command = std::string("\"") + PANZER_ARTGEN + "\" " + arguments + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(FontCheck, SizesTextByItsCapitals) {
    Font font;
    std::string error;
    ASSERT_TRUE(font.load(kFontDir + "/DejaVuSans-Bold.ttf", error)) << error;

    const TextStyle style{40.0f, 1.0f, 0.0f};
    const InkBox h = font.measure("H", style);
    EXPECT_NEAR(h.top, -40.0f, 1.0f); // the capital reaches cap height above the baseline
    EXPECT_NEAR(h.bottom, 0.0f, 1.0f);
    EXPECT_GT(font.measure("HH", style).width(), 1.8f * h.width());
    EXPECT_LT(font.measure("HH", TextStyle{40.0f, 0.8f, 0.0f}).width(), font.measure("HH", style).width());
    EXPECT_NEAR(font.measure("HH", TextStyle{40.0f, 1.0f, 10.0f}).width(),
                font.measure("HH", style).width() + 10.0f, 1.0f);

    Mask m(200, 100);
    font.drawCentred(m, "HELP", 100.0f, 50.0f, style);
    float left = 200, right = 0, top = 100, bottom = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            if (m.at(x, y) > 0.5f) {
                left = std::min(left, static_cast<float>(x));
                right = std::max(right, static_cast<float>(x + 1));
                top = std::min(top, static_cast<float>(y));
                bottom = std::max(bottom, static_cast<float>(y + 1));
            }
    EXPECT_NEAR((left + right) * 0.5f, 100.0f, 1.5f);
    EXPECT_NEAR((top + bottom) * 0.5f, 50.0f, 1.5f);
    EXPECT_NEAR(bottom - top, 40.0f, 1.5f);
}

TEST(FontCheck, ReportsUnreadableFonts) {
    TempDir dir;
    Font font;
    std::string error;
    EXPECT_FALSE(font.load((dir.path() / "missing.ttf").string(), error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(font.load(dir.write("junk.ttf", "this is not a font"), error));
    Mask m(10, 10);
    font.draw(m, "A", 0.0f, 8.0f, TextStyle{}); // an unloaded font draws nothing and does not crash
    EXPECT_EQ(m.sum(), 0.0f);
}

TEST(PngWriterCheck, WritesPixelsThatReadBackUnchanged) {
    TempDir dir;
    Canvas c(3, 2);
    c.set(0, 0, Color::hex(0xff0000));
    c.set(2, 1, Color::hex(0x20c040, 0.5f));
    std::string error;
    const std::string path = (dir.path() / "t.png").string();
    ASSERT_TRUE(PngWriter::write(path, c, 4, false, error)) << error;
    int w = 0, h = 0, n = 0;
    unsigned char *pixels = stbi_load(path.c_str(), &w, &h, &n, 4);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(n, 4);
    EXPECT_EQ(pixels[0], 255);
    EXPECT_EQ(pixels[3], 255);
    EXPECT_EQ(pixels[4 * 5 + 1], 0xc0);
    EXPECT_EQ(pixels[4 * 5 + 3], 128);
    EXPECT_EQ(pixels[4 * 1 + 3], 0); // untouched pixels stay transparent
    stbi_image_free(pixels);

    const std::string rgb = (dir.path() / "rgb.png").string();
    ASSERT_TRUE(PngWriter::write(rgb, c, 3, false, error));
    ASSERT_TRUE(stbi_info(rgb.c_str(), &w, &h, &n));
    EXPECT_EQ(n, 3);

    EXPECT_FALSE(PngWriter::write((dir.path() / "no" / "such" / "t.png").string(), c, 4, false, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(PngWriter::write(path, c, 2, false, error));
}

TEST(ArtContextCheck, SavesIntoTheTextureFolderAndCachesFonts) {
    TempDir dir;
    ArtContext context(dir.path().string(), kFontDir);
    const Font *font = context.font("DejaVuSans-Bold.ttf");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(context.font("DejaVuSans-Bold.ttf"), font);
    EXPECT_EQ(context.font("NoSuchFont.ttf"), nullptr);

    ASSERT_TRUE(context.saveTexture(Canvas(4, 4, Color::hex(0x808080)), "grey.png", 3, true));
    EXPECT_TRUE(fs::is_regular_file(dir.path() / "textures" / "grey.png"));
    ASSERT_EQ(context.getWrittenFiles().size(), 1u);
    EXPECT_EQ(context.getWrittenFiles()[0], "textures/grey.png");

    // A data "folder" that is a file cannot take a textures folder.
    ArtContext blocked(dir.write("plain-file", "x"), kFontDir);
    EXPECT_FALSE(blocked.saveTexture(Canvas(1, 1), "x.png", 4, false));
}

TEST(ArtContextCheck, SavesElsewhereInTheDataTreeCreatingTheFolders) {
    TempDir dir;
    ArtContext context(dir.path().string(), kFontDir);
    ASSERT_TRUE(
        context.savePicture(Canvas(2, 2, Color::hex(0x808080)), "icons/hicolor/2x2/apps/grey.png", 4, false));
    EXPECT_TRUE(fs::is_regular_file(dir.path() / "icons" / "hicolor" / "2x2" / "apps" / "grey.png"));
    EXPECT_FALSE(fs::exists(dir.path() / "textures"));
    ASSERT_TRUE(context.saveTexture(Canvas(2, 2), "t.png", 4, false));
    ASSERT_EQ(context.getWrittenFiles().size(), 2u);
    EXPECT_EQ(context.getWrittenFiles()[0], "icons/hicolor/2x2/apps/grey.png");
    EXPECT_EQ(context.getWrittenFiles()[1], "textures/t.png");

    // A folder on the way that is a file stops it with an error.
    dir.write("icons/hicolor/8x8", "x");
    EXPECT_FALSE(context.savePicture(Canvas(8, 8), "icons/hicolor/8x8/apps/x.png", 4, false));
    EXPECT_EQ(context.getWrittenFiles().size(), 2u);
}

TEST(ArtgenCheck, CommandLineRejectsBadUse) {
    TempDir dir;
    EXPECT_EQ(runGenerator(""), 2);
    EXPECT_EQ(runGenerator("\"" + dir.path().string() + "\" no-such-family"), 2);
    EXPECT_FALSE(fs::exists(dir.path() / "textures"));
    EXPECT_EQ(runGenerator("\"" + dir.path().string() + "\" all no-such-family"), 2);
    EXPECT_EQ(runGenerator("--list"), 0);
    EXPECT_EQ(runGenerator("--fonts \"" + dir.path().string() + "\" \"" + dir.path().string() + "\" menu"),
              1);
    EXPECT_EQ(runGenerator("--fonts"), 2);
}

// Runs the generator once for all checks that look at its complete output.
class GeneratedData : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        output = std::make_unique<TempDir>();
        status = runGenerator("\"" + output->path().string() + "\"");
    }
    static void TearDownTestSuite() { output.reset(); }

    static std::unique_ptr<TempDir> output; // the generated data tree
    static int status;                      // the generator's exit status
};

std::unique_ptr<TempDir> GeneratedData::output;
int GeneratedData::status = -1;

TEST_F(GeneratedData, RegeneratingReproducesTheCommittedPictures) {
    ASSERT_EQ(status, 0);
    const fs::path committed = fs::path(PANZER_SOURCE_DIR) / "data";
    int files = 0;
    for (const auto &entry : fs::recursive_directory_iterator(output->path())) {
        if (!entry.is_regular_file())
            continue;
        const fs::path relative = fs::relative(entry.path(), output->path());
        const std::string fresh = TempDir::read(entry.path());
        const std::string stored = TempDir::read(committed / relative);
        EXPECT_FALSE(stored.empty()) << relative << " is generated but not committed under data/";
        EXPECT_TRUE(fresh == stored) << relative << " differs from the committed file; rerun "
                                     << "build/tools/panzer_artgen data and commit the result";
        ++files;
    }
    EXPECT_GT(files, 0);

    // data/icons/ holds only what the generator makes: an icon left over from an earlier
    // version, or committed without its code, fails here as well.
    const fs::path icons = committed / "icons";
    ASSERT_TRUE(fs::is_directory(icons)) << "data/icons/ is missing; run build/tools/panzer_artgen data icon";
    int iconFiles = 0;
    for (const auto &entry : fs::recursive_directory_iterator(icons)) {
        if (!entry.is_regular_file())
            continue;
        const fs::path relative = fs::relative(entry.path(), committed);
        EXPECT_TRUE(fs::is_regular_file(output->path() / relative))
            << relative << " is committed but no longer generated";
        ++iconFiles;
    }
    EXPECT_GT(iconFiles, 0);

    // Each family alone writes a subset of the same files with the same bytes.
    for (const ArtFamily &family : artFamilies()) {
        TempDir single;
        EXPECT_EQ(runGenerator("\"" + single.path().string() + "\" " + family.name), 0);
        for (const auto &entry : fs::recursive_directory_iterator(single.path())) {
            if (!entry.is_regular_file())
                continue;
            EXPECT_TRUE(TempDir::read(entry.path()) ==
                        TempDir::read(output->path() / fs::relative(entry.path(), single.path())))
                << entry.path();
        }
    }
}

TEST_F(GeneratedData, EveryPictureALevelNamesIsGenerated) {
    // Heightmaps, ground pictures and sky boxes of the shipped levels all come from the
    // generator, so the byte-for-byte check above covers them.
    ASSERT_EQ(status, 0);
    const std::vector<std::string> keys = {
        "bgpicture=", "heightmap=", "skyup=", "skydown=", "skyfront=", "skyleft=", "skyback=", "skyright="};
    int named = 0;
    for (const auto &entry : fs::directory_iterator(fs::path(PANZER_SOURCE_DIR) / "data/level")) {
        std::istringstream lines(TempDir::read(entry.path()));
        for (std::string line; std::getline(lines, line);) {
            for (const std::string &key : keys) {
                if (line.rfind(key, 0) == 0) {
                    const std::string picture = line.substr(key.size());
                    EXPECT_TRUE(fs::is_regular_file(output->path() / "textures" / picture))
                        << entry.path().filename() << " names " << picture
                        << ", which the generator does not make";
                    ++named;
                }
            }
        }
    }
    EXPECT_GE(named, 4 * 2 + 3 * 6) << "four levels with ground and heightmap, three with their own sky";
}

TEST(SkyArtCheck, EachSkyShowsItsSunWhereItsLevelsSceneLightStands) {
    // A level that names a sky box of its own puts its scene light (sun_x, sun_y, sun_z) where
    // that sky paints the sun; a level without one keeps the default sky and the default sun.
    int matched = 0;
    for (const auto &entry : fs::directory_iterator(fs::path(PANZER_SOURCE_DIR) / "data/level")) {
        std::istringstream lines(TempDir::read(entry.path()));
        std::string skyUp = "up.png";
        float sun[3] = {-5.0f, 100.0f, -100.0f};
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("skyup=", 0) == 0)
                skyUp = line.substr(6);
            for (int axis = 0; axis < 3; ++axis)
                if (line.rfind(std::string("sun_") + "xyz"[axis] + "=", 0) == 0)
                    sun[axis] = std::strtof(line.c_str() + 6, nullptr);
        }
        for (int i = 0; i < SkyArt::styleCount(); ++i) {
            const SkyArt::Style &style = SkyArt::style(i);
            if (style.prefix + "up.png" != skyUp)
                continue;
            for (int axis = 0; axis < 3; ++axis)
                EXPECT_FLOAT_EQ(sun[axis], style.sun[axis]) << entry.path().filename() << " axis " << axis;
            ++matched;
        }
    }
    EXPECT_GE(matched, 4);
}

TEST_F(GeneratedData, MenuLayoutMatchesThePictures) {
    ASSERT_EQ(status, 0);
    const auto layout = readIniPairs(fs::path(PANZER_SOURCE_DIR) / "data/config/mainmenu.ini");
    const fs::path textures = output->path() / "textures";
    int w = 0, h = 0, n = 0;
    ASSERT_TRUE(stbi_info((textures / layout.at("backimg")).string().c_str(), &w, &h, &n));
    EXPECT_EQ(std::to_string(w), layout.at("definitionresx"));
    EXPECT_EQ(std::to_string(h), layout.at("definitionresy"));
    const double screenHeight = std::stod(layout.at("definitionresy"));
    std::vector<std::pair<double, double>> spans; // top and bottom of each item, pixels
    for (int item = 1; item <= 6; ++item) {       // the shipped menu has the network item too
        const std::string k = "item" + std::to_string(item);
        for (const std::string &picture : {layout.at(k + "img"), layout.at(k + "imgover")}) {
            ASSERT_TRUE(stbi_info((textures / picture).string().c_str(), &w, &h, &n)) << picture;
            EXPECT_EQ(n, 4) << picture << " needs an alpha channel";
            // Pictures are drawn at their own size at the definition resolution, so they stay sharp.
            EXPECT_EQ(std::to_string(w), layout.at(k + "imgx")) << picture;
            EXPECT_EQ(std::to_string(h), layout.at(k + "imgy")) << picture;
        }
        EXPECT_NE(layout.at(k + "img"), layout.at(k + "imgover"));
        const double top = std::stod(layout.at(k + "y")) * screenHeight;
        EXPECT_GE(top, 0.0);
        EXPECT_LE(top + h, screenHeight);
        spans.emplace_back(top, top + h);
    }
    // No two items overlap, or one would hide the other and steal its clicks.
    for (size_t i = 0; i < spans.size(); ++i)
        for (size_t j = i + 1; j < spans.size(); ++j)
            EXPECT_TRUE(spans[i].second <= spans[j].first || spans[j].second <= spans[i].first)
                << "items " << i + 1 << " and " << j + 1 << " overlap";
}

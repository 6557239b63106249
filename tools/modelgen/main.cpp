// panzer_modelgen: writes every MD2 model of the game and its skin into a data
// tree. Usage: panzer_modelgen [data-dir]   (default "data")
//   <data-dir>/model/<name>.md2 and <data-dir>/textures/<skin>.png
// The output is the same, byte for byte, on every run.
#include "GeneratedModel.h"
#include "Md2Writer.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

namespace {
bool writeFile(const std::filesystem::path &path, const std::vector<std::uint8_t> &bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}
} // namespace

int main(int argc, char **argv) {
    if (argc > 2 || (argc == 2 && std::string(argv[1]).rfind("-", 0) == 0)) {
        std::fprintf(stderr, "Usage: %s [data-dir]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path root = argc == 2 ? argv[1] : "data";
    const std::filesystem::path modelDir = root / "model";
    const std::filesystem::path textureDir = root / "textures";
    std::error_code ec;
    std::filesystem::create_directories(modelDir, ec);
    std::filesystem::create_directories(textureDir, ec);

    try {
        for (const GeneratedModel &model : makeAllModels()) {
            Md2Writer::Summary summary;
            const auto bytes = Md2Writer::pack(model.mesh, "data/textures/" + model.skinFile,
                                               model.skin.getWidth(), model.skin.getHeight(), &summary);
            const std::filesystem::path md2 = modelDir / model.modelFile;
            if (!writeFile(md2, bytes)) {
                std::fprintf(stderr, "Error: cannot write \"%s\"\n", md2.string().c_str());
                return 1;
            }
            const std::filesystem::path png = textureDir / model.skinFile;
            if (!model.skin.savePng(png.string())) {
                std::fprintf(stderr, "Error: cannot write \"%s\"\n", png.string().c_str());
                return 1;
            }
            std::printf(
                "%s: %d vertices, %d triangles, %.3f x %.3f x %.3f units (x, z, y), origin shifted by "
                "(%.3f, %.3f, %.3f)\n",
                md2.string().c_str(), summary.vertices, summary.triangles, summary.steps[0] * 0.048,
                summary.steps[1] * 0.048, summary.steps[2] * 0.048, summary.shift[0], summary.shift[1],
                summary.shift[2]);
            std::printf("%s\n", png.string().c_str());
            if (!model.notes.empty()) {
                std::printf("  %s\n", model.notes.c_str());
            }
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "Error: model generation failed: %s\n", e.what());
        return 1;
    }
    return 0;
}

// The one translation unit that compiles the image writer the tests use to
// make real PNG and JPEG files. It is third-party code whose JPEG encoder
// shifts negative values, so the build compiles this file without the
// undefined-behaviour checks (see tests/CMakeLists.txt).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

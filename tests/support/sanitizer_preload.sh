#!/usr/bin/env bash
# sanitizer_preload.sh PROGRAM: prints what a program built with
# AddressSanitizer is started with preloaded (nothing for a plain build), or
# fails with one "Error: " line when Mesa's software driver is missing.
#
# Mesa's OpenGL driver (swrast_dri.so, with the libraries it needs) is
# normally opened with dlopen once a window is made, and its thread-local
# variables then live in dynamic TLS blocks, which the sanitizer runtime
# tracks separately and LeakSanitizer walks in its exit-time scan; a process
# that had the driver opened this way now and then crashed that scan
# ("Tracer caught signal 11") after its test had passed. Preloaded, the driver
# and its libraries are part of the program from its start: their
# thread-local variables sit in the static TLS block, and the driver is never
# unloaded, so its own leaks keep the name the suppressions match.
#
# gcc links the sanitizer runtime as a library (libasan.so), which must then
# come first in the preload. clang (the build of tools/setup.sh asan) links
# it into the program itself, where it is part of the program before any
# preload and must not be loaded a second time: such a program shows no
# libasan.so to ldd but defines __asan_init among its exported symbols.
runtime=$(ldd "$1" | awk '$1 ~ /^libasan\.so/ { print $3 }')
if [[ -z "$runtime" ]]; then
    nm -D --defined-only "$1" 2>/dev/null | grep -q ' __asan_init$' || exit 0
fi
driver_dir=${LIBGL_DRIVERS_PATH:-$(dirname "$("$(command -v ldconfig || echo /sbin/ldconfig)" -p |
    awk '$1 == "libGLX_mesa.so.0" && !found { print $NF; found = 1 }')")/dri}
driver="$driver_dir/swrast_dri.so"
if [[ ! -f "$driver" ]]; then
    echo "Error: no Mesa software driver at $driver (package libgl1-mesa-dri)" >&2
    exit 1
fi
echo "${runtime:+$runtime }$driver"

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
# unloaded, so its own leaks keep the name the suppressions match. The
# sanitizer runtime must come first.
runtime=$(ldd "$1" | awk '$1 ~ /^libasan\.so/ { print $3 }')
[[ -n "$runtime" ]] || exit 0
driver_dir=${LIBGL_DRIVERS_PATH:-$(dirname "$("$(command -v ldconfig || echo /sbin/ldconfig)" -p |
    awk '$1 == "libGLX_mesa.so.0" && !found { print $NF; found = 1 }')")/dri}
driver="$driver_dir/swrast_dri.so"
if [[ ! -f "$driver" ]]; then
    echo "Error: no Mesa software driver at $driver (package libgl1-mesa-dri)" >&2
    exit 1
fi
echo "$runtime $driver"

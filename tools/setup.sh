#!/usr/bin/env bash
# Installs the Debian packages the game and its tests need, then configures
# and builds. Packages already present are skipped; the package lists are
# refreshed only when something has to be installed.
#
#   tools/setup.sh            release build in build/ (gcc)
#   tools/setup.sh asan       AddressSanitizer + UBSan build in build-asan/ (clang): the game,
#                             its tests and the fuzz targets of fuzz/ (tools/fuzz.sh runs them)
#   tools/setup.sh asan fuzz_all   the same folder, with only the targets named built
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    build-essential cmake pkg-config
    libgtest-dev libgmock-dev
    freeglut3-dev libglu1-mesa-dev libgl1-mesa-dri
    libdevil-dev libbullet-dev libstb-dev zlib1g-dev fonts-dejavu-core
    xvfb xauth xdotool imagemagick x11-utils python3 libx11-dev
    clang libclang-rt-14-dev
    libopenal-dev libasound2 libpulse0 libsndfile1-dev sox
    libsdl2-dev libenet-dev
    file desktop-file-utils appstream
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [[ $(id -u) -eq 0 ]] || SUDO="sudo"
    $SUDO apt-get update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

variant=${1:-release}
compiler=()
case "$variant" in
    release) dir=build; flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
    asan)
        # One clang build serves the sanitizer tests, the soak and the fuzz targets: libFuzzer
        # comes with clang, and the fuzz targets' coverage hooks in every object are what lets
        # them share their objects with the game and the tests.
        dir=build-asan
        flags=(-DCMAKE_BUILD_TYPE=Debug -DPANZER_SANITIZE=ON -DPANZER_FUZZ=ON)
        compiler=(CC=clang CXX=clang++)
        # A build-asan/ of gcc's making, from before: CMake keeps the compiler a folder was
        # first configured with, so it starts afresh.
        if [[ -f "$dir/CMakeCache.txt" ]] && ! grep -q '^CMAKE_CXX_COMPILER:[A-Z]*=.*clang++' "$dir/CMakeCache.txt"; then
            rm -rf "$dir"
        fi
        ;;
    *) echo "Error: unknown build variant '$variant' (use release or asan)" >&2; exit 2 ;;
esac

# tools/test.sh builds both folders before its first test and then runs the soak and the fuzz
# run side by side, each of which calls this: they use the folders as built (PANZER_PREBUILT=1)
# rather than configure and build one folder twice at once, and compile nothing while they run.
if [[ "${PANZER_PREBUILT:-}" == 1 && -f "$dir/CMakeCache.txt" ]]; then
    exit 0
fi

# ccache, where a developer has it, makes rebuilds after a switch of branches cheap; nothing
# needs it (a fresh machine's cache would be empty).
if command -v ccache >/dev/null; then
    flags+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

targets=()
for target in "${@:2}"; do
    targets+=(--target "$target")
done

env "${compiler[@]}" cmake -S . -B "$dir" "${flags[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)" "${targets[@]}"

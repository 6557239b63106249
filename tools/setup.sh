#!/usr/bin/env bash
# Installs the Debian packages the game and its tests need, then configures
# and builds. Packages already present are skipped; the package lists are
# refreshed only when something has to be installed.
#
#   tools/setup.sh            release build in build/
#   tools/setup.sh asan       AddressSanitizer + UBSan build in build-asan/
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
case "$variant" in
    release) dir=build; flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
    asan)    dir=build-asan; flags=(-DCMAKE_BUILD_TYPE=Debug -DPANZER_SANITIZE=ON) ;;
    *) echo "Error: unknown build variant '$variant' (use release or asan)" >&2; exit 2 ;;
esac

cmake -S . -B "$dir" "${flags[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"

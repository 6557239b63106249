#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it from the repository
# root, where its data/ tree lives.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh release
exec ./build/panzerfeld "$@"

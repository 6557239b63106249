#!/usr/bin/env bash
# run_sanitized.sh PROGRAM [ARGS...]: runs a test program of the sanitizer
# build with what sanitizer_preload.sh names preloaded (ctest starts every
# unit test of that build through this).
set -euo pipefail
preload=$(bash "$(dirname "$0")/sanitizer_preload.sh" "$1")
[[ -z "$preload" ]] || export LD_PRELOAD="$preload"
exec "$@"

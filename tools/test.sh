#!/usr/bin/env bash
# Builds the game twice, both builds whole before the first test so that no test, soak or fuzz
# run shares the processors with a compiler: build/ plain (gcc), and build-asan/ with
# AddressSanitizer + UBSan (clang), which also holds the fuzz targets. Then it runs every test:
# unit and end-to-end tests in both builds (the fault-injection table, which starts the game
# some two hundred times, the horizon, two-player, pad and network checks, which judge pixels of
# the picture, the computer tanks on the obstacle map and the menu's hovering, in the plain one
# alone), then a short run of every fuzz target (tools/fuzz.sh, 15 seconds each, as many at once
# as there are processors) and, beside it, a three-minute soak of the sanitizer build that plays
# every level of levels.ini once (tools/soak.sh).
# Everything that needs OpenGL runs under a private Xvfb display. No test is run twice: one that
# fails by chance is a fault to fix.
#
#   tools/test.sh            everything
#   tools/test.sh --quick    the plain build alone, its unit tests and the scripted end-to-end
#                            tests (ctest labels unit and scripted): at most three minutes once built
set -euo pipefail
cd "$(dirname "$0")/.."
# The tests find the game's data as a checkout does, whatever the developer's shell points at.
unset PANZERFELD_DATA

quick=0
case "${1:-}" in
    "") ;;
    --quick) quick=1 ;;
    *) echo "Error: unknown option '$1' (use --quick, or nothing)" >&2; exit 2 ;;
esac

# phase NAME: a heading with the seconds since the start, and the time of the phase before it
# kept for the closing line (docs/testing.md's table of the command's time takes them from there).
phases=()
phase_name="" phase_start=$SECONDS
phase() {
    [[ -z "$phase_name" ]] || phases+=("$phase_name $((SECONDS - phase_start)) s")
    phase_name=$1 phase_start=$SECONDS
    [[ -z "${2:-}" ]] || echo "== $2 (at $SECONDS s)"
}
phase builds
tools/setup.sh release
jobs=$(nproc)
xvfb=(xvfb-run -a -s "-screen 0 1280x1024x24 -noreset")
if ((quick)); then
    echo "== Unit tests and scripted end-to-end tests (build/)"
    exec "${xvfb[@]}" ctest --test-dir build --output-on-failure -j "$jobs" -L '^(unit|scripted)$'
fi
tools/setup.sh asan
# The soak and the fuzz run call tools/setup.sh themselves, side by side: both builds are done.
export PANZER_PREBUILT=1

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/support/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

status=0
phase plain "Unit and end-to-end tests (build/)"
"${xvfb[@]}" ctest --test-dir build --output-on-failure -j "$jobs" || status=1
phase sanitizer "Unit and end-to-end tests under AddressSanitizer and UBSan (build-asan/)"
# Left to the plain build (docs/testing.md says why for each): checks of pixels, the fault table,
# the network, the menu's hovering, the world's rounds (the soak plays them) and the regeneration
# of the committed pictures (the generators' output, not the game).
"${xvfb[@]}" ctest --test-dir build-asan --output-on-failure -j "$jobs" \
    -E '^(e2e\.(faults|horizon|players|pads|network|ai|menu|world|install)|artgen\.GeneratedData\..*)$' || status=1
# The fuzz run and the soak are both measured in time, not in work: they run side by side (each
# gets fewer runs or frames than alone, and both still look for what they look for), and the
# soak's lines follow the fuzz run's.
phase "fuzz and soak" "Every fuzz target for 15 seconds (build-asan/fuzz/), beside three minutes of play on every level under AddressSanitizer and UBSan (build-asan/)"
soak_log=$(mktemp /tmp/panzer-soak.XXXXXX)
tools/soak.sh 3 >"$soak_log" 2>&1 &
soak_pid=$!
tools/fuzz.sh 15 || status=1
soak_status=0
wait "$soak_pid" || soak_status=$?
echo "== The soak"
cat "$soak_log"
rm -f "$soak_log"
((soak_status == 0)) || status=1
phase end
echo "== Time: ${SECONDS} s in all; $(IFS=,; echo "${phases[*]}" | sed 's/,/, /g')"
exit $status

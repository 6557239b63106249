#!/usr/bin/env bash
# Builds the game twice (plain, and with AddressSanitizer + UBSan) and runs
# every test: unit tests in both builds, end-to-end tests (the fault-injection
# table among them) in the plain one, then a short run of every fuzz target
# (tools/fuzz.sh, 20 seconds each) and a three-minute soak of the sanitizer
# build (tools/soak.sh). Everything that needs OpenGL runs under a private Xvfb
# display.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh release
tools/setup.sh asan

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/support/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
jobs=$(nproc)
# A test that fails gets one more run: under load, Mesa's render threads now
# and then crash LeakSanitizer's exit-time scan, which is no fault of the test.

status=0
echo "== Unit and end-to-end tests (build/)"
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
    ctest --test-dir build --output-on-failure -j "$jobs" --repeat until-pass:2 || status=1
echo "== Unit tests under AddressSanitizer and UBSan (build-asan/)"
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
    ctest --test-dir build-asan --output-on-failure -j "$jobs" --repeat until-pass:2 -E '^e2e\.' || status=1
echo "== Every fuzz target for 20 seconds (build-fuzz/)"
tools/fuzz.sh 20 || status=1
echo "== Three minutes of play under AddressSanitizer and UBSan (build-asan/)"
tools/soak.sh 3 || status=1
exit $status

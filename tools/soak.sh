#!/usr/bin/env bash
# Soak test: the real game, built with AddressSanitizer + UBSan, plays
# "lvl1.lvl" for a long stretch under its own Xvfb and must stay healthy.
#
#   tools/soak.sh [MINUTES]     default 30, at least 3
#
# Both players drive forward and back, turn and fire in a varied pattern that
# is the same on every run (a fixed pseudo-random sequence). Every 3 minutes
# (halfway through a run shorter than 10 minutes, so a 3-minute run restarts
# once) Escape returns to the menu and the menu's game item starts the level
# again.
#
# Memory: the game's resident memory (VmRSS) is read after every stretch of
# play, a few seconds apart. Once a minute, and at the end, a line goes to
# build-asan/soak/rss-<MINUTES>min.csv and to the terminal:
#   minute,rss_kib,low_kib,high_kib
# rss_kib is the reading at the full minute, low_kib and high_kib the lowest
# and highest reading of the minute before it. The game's whole output is kept
# beside it as game-<MINUTES>min.log.
#
# The run passes when
#   - the game never ends on its own (no crash, no signal, no sanitizer abort);
#   - its output holds no AddressSanitizer, LeakSanitizer or UBSan report;
#   - it leaves cleanly: Escape to the menu, Escape to exit, status 0, which
#     includes LeakSanitizer's scan at exit finding nothing unsuppressed;
#   - resident memory grows by less than 5 % after the warm-up. The warm-up
#     is the first 5 minutes for runs of 10 minutes or more and the first
#     half (in whole minutes) of shorter runs, so that it includes the first
#     level restart: level loading, driver caches and the sanitizer's
#     quarantine of freed memory fill up early and would otherwise read as
#     growth. The growth is that of the least-squares line through each
#     minute's lowest reading after the warm-up, from its first minute to its
#     last, against its value at the first (in a 3-minute run simply the last
#     minute's lowest reading against the second's). Within a minute resident
#     memory swings by some 10 % with what is on screen (the software
#     renderer's per-frame memory, up to 100 MB), and from minute to minute
#     the lowest reading still moves by a few percent with what the
#     sanitizer's allocator keeps mapped, so single readings would judge the
#     view, not the trend; a leak lifts the lowest readings steadily.
# Otherwise it prints a "FAIL: ..." line and ends with a non-zero status.
#
# Leaks at exit: Mesa loads its software driver (swrast_dri.so) with dlopen
# and unloads it while the program ends, before LeakSanitizer scans. The
# driver's own allocations then show as frames of "<unknown module>", which
# no suppression by library name can match. The game is therefore started
# with the driver preloaded (LD_PRELOAD, the sanitizer runtime first as it
# requires): a preloaded library is never unloaded, its frames keep the name
# "swrast_dri" and the suppressions in tests/support/lsan.supp apply (all but
# the one for libglut, see below). Leak detection at exit stays on, and so do
# all ASan and UBSan error checks. Freed pages go back to the system every
# second (allocator_release_to_os_interval_ms), so that resident memory
# follows what the game holds rather than the allocator's high-water mark;
# the quarantine of freed blocks, and with it use-after-free detection, keeps
# its default size.
# shellcheck source=../tests/e2e/lib/common.bash
source "$(dirname "$0")/../tests/e2e/lib/common.bash"

minutes=${1:-30}
# One minute to warm up, two to compare.
if [[ ! "$minutes" =~ ^[0-9]+$ ]] || ((minutes < 3)); then
    echo "Error: the soak takes a whole number of minutes, at least 3 (got \"$minutes\")" >&2
    exit 2
fi
cd "$E2E_ROOT" || exit 1
tools/setup.sh asan

out_dir="$E2E_ROOT/build-asan/soak"
mkdir -p "$out_dir"
csv="$out_dir/rss-${minutes}min.csv"
log="$out_dir/game-${minutes}min.log"
warmup=$((minutes >= 10 ? 5 : minutes / 2))
round_s=$((minutes >= 10 ? 180 : minutes * 30)) # play time between two level starts
max_growth=5                                    # percent after the warm-up

# The sanitizer runtime the game links (none to preload when it is static) and
# Mesa's software driver, found beside Mesa's GLX library unless the driver
# folder is set explicitly.
asan_runtime=$(ldd build-asan/panzerfeld | awk '$1 ~ /^libasan\.so/ { print $3 }')
driver_dir=${LIBGL_DRIVERS_PATH:-$(dirname "$("$(command -v ldconfig || echo /sbin/ldconfig)" -p | awk '$1 == "libGLX_mesa.so.0" && !found { print $NF; found = 1 }')")/dri}
driver="$driver_dir/swrast_dri.so"
if [[ ! -f "$driver" ]]; then
    echo "Error: no Mesa software driver at $driver (package libgl1-mesa-dri)" >&2
    exit 1
fi

e2e_init build-asan/panzerfeld
# The game runs inside GLUT's callbacks, so below every allocation it makes
# lie frames of libglut: the list's entry for libglut would hide all of the
# game's own leaks. The soak takes the list without that entry.
suppressions="$E2E_WORK/lsan.supp"
grep -v '^leak:libglut$' tests/support/lsan.supp >"$suppressions"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:allocator_release_to_os_interval_ms=1000
export LSAN_OPTIONS=suppressions=$suppressions:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
soak_keep_log() {
    [[ -f "$E2E_WORK/game.out" ]] && cp "$E2E_WORK/game.out" "$log"
    return 0
}
trap 'soak_keep_log; e2e_cleanup' EXIT
game=$(e2e_data_tree)
data="$game/data"

# Each player's keys, by index 1 and 2.
up=("" "$(e2e_player_key "$data" buttonup1)" "$(e2e_player_key "$data" buttonup2)")
down=("" "$(e2e_player_key "$data" buttondown1)" "$(e2e_player_key "$data" buttondown2)")
left=("" "$(e2e_player_key "$data" buttonleft1)" "$(e2e_player_key "$data" buttonleft2)")
right=("" "$(e2e_player_key "$data" buttonright1)" "$(e2e_player_key "$data" buttonright2)")
fire=("" "$(e2e_player_key "$data" shoot1)" "$(e2e_player_key "$data" shoot2)")
durations=(0.5 1 1.5 2 3)

# soak_random N: the next number of a fixed pseudo-random sequence, 0..N-1, in R.
rng=20240601
soak_random() {
    rng=$(((rng * 1103515245 + 12345) % 2147483648))
    R=$(((rng >> 16) % $1))
}

# soak_report: fails naming the first sanitizer report in the game's output.
soak_report() {
    local line
    line=$(grep -n -m1 -E 'AddressSanitizer|LeakSanitizer|runtime error:' "$E2E_WORK/game.out" | cut -d: -f1 || true)
    [[ -z "$line" ]] && return 0
    echo "--- sanitizer report (full output in $log):" >&2
    sed -n "$line,$((line + 40))p" "$E2E_WORK/game.out" >&2
    e2e_fail "sanitizer report $phase: $(sed -n "${line}p" "$E2E_WORK/game.out")"
}

# soak_check: the game must still run and have reported nothing.
soak_check() {
    soak_report
    kill -0 "$GAME_PID" 2>/dev/null && return 0
    local status=0 how
    wait "$GAME_PID" || status=$?
    GAME_PID=""
    soak_report
    how="status $status"
    ((status > 128)) && how="signal $(kill -l $((status - 128)))"
    e2e_fail "the game died on its own $phase ($how; full output in $log)"
}

# soak_step: one stretch of play, each player's keys chosen afresh.
soak_step() {
    local held=() p
    for p in 1 2; do
        soak_random 8 # forward most of the time, so the tanks get about
        if ((R < 4)); then
            held+=("${up[p]}")
        elif ((R < 6)); then
            held+=("${down[p]}")
        fi
        soak_random 6
        if ((R < 2)); then
            held+=("${left[p]}")
        elif ((R < 4)); then
            held+=("${right[p]}")
        fi
        soak_random 3
        ((R == 0)) || held+=("${fire[p]}")
    done
    soak_random ${#durations[@]}
    if ((${#held[@]})); then
        e2e_hold_keys "${durations[R]}" "${held[@]}"
    else
        sleep "${durations[R]}"
    fi
}

# soak_read: one reading of the resident memory, into the minute's range.
low=""
high=""
soak_read() {
    local kib
    kib=$(e2e_rss)
    [[ -z "$low" ]] || ((kib < low)) && low=$kib
    [[ -z "$high" ]] || ((kib > high)) && high=$kib
    last=$kib
}

# soak_sample MINUTE: a reading at the full minute; records and prints it
# with the range of the minute before, then starts a new range.
lows=()
soak_sample() {
    soak_check
    soak_read
    lows[$1]=$low
    echo "$1,$last,$low,$high" >>"$csv"
    local bar
    bar=$(printf '%*s' $((last / 20480)) '' | tr ' ' '#')
    printf 'soak: minute %3d  (%4ds)  rss %7d KiB  (minute before: %7d .. %7d)  %s\n' \
        "$1" "$elapsed" "$last" "$low" "$high" "$bar"
    low=""
    high=""
}

# soak_start_level: clicks the menu's game item until the level reports its start.
soak_start_level() {
    local count
    count=$(($(e2e_count InitGL) + 1))
    for _ in 1 2; do
        e2e_start_game "$data"
        if e2e_wait_for_count InitGL "$count" 60; then
            sleep 3 # first frames: light maps, physics settling
            soak_check
            return 0
        fi
        soak_check
    done
    e2e_fail "the level did not start (no InitGL within 120 s of clicking the game item)"
}

# soak_to_menu: Escape, then waits for the menu's picture.
soak_to_menu() {
    e2e_key Escape
    e2e_wait_menu "$data" 60 || { soak_check; e2e_fail "Escape did not return to the menu within 60 s"; }
    soak_check
}

echo "soak: $minutes min of lvl1.lvl under ASan + UBSan, warm-up $warmup min, level restart every ${round_s}s"
echo "soak: memory curve in $csv"
echo "minute,rss_kib,low_kib,high_kib" >"$csv"
elapsed=0
phase="at the first level start"
preload=("$driver")
[[ -n "$asan_runtime" ]] && preload=("$asan_runtime" "$driver")
e2e_start "$game" "LD_PRELOAD=${preload[*]}"
soak_start_level

start=$SECONDS
minute=0
soak_sample 0
next_restart=$round_s
restarts=0
while :; do
    elapsed=$((SECONDS - start))
    phase="after ${elapsed}s of play"
    ((elapsed >= minutes * 60)) && break
    if ((elapsed >= (minute + 1) * 60)); then
        minute=$((minute + 1))
        soak_sample "$minute"
        continue
    fi
    if ((elapsed >= next_restart)); then
        soak_to_menu
        soak_start_level
        restarts=$((restarts + 1))
        next_restart=$((next_restart + round_s))
        ((next_restart < minutes * 60)) || next_restart=$((minutes * 60 + 1))
        echo "soak: level started again ($restarts) after ${elapsed}s"
        continue
    fi
    soak_step
    soak_check
    soak_read
done
minute=$minutes
soak_sample "$minute"

phase="on the way out"
soak_to_menu
e2e_key Escape
phase="at exit"
e2e_wait_exit 300
soak_report
[[ "$GAME_STATUS" == 0 ]] || e2e_fail "leaving from the menu ended the program with status $GAME_STATUS (full output in $log)"

# Row k of the curve holds the range of minute k-1 .. k.
# The trend of the lowest readings after the warm-up: "first last growth".
read -r first final growth < <(
    for ((m = warmup + 1; m <= minutes; ++m)); do echo "$m ${lows[m]}"; done | awk '
        { n++; x[n] = $1; y[n] = $2; sx += $1; sy += $2 }
        END {
            mx = sx / n; my = sy / n
            for (i = 1; i <= n; i++) { sxy += (x[i] - mx) * (y[i] - my); sxx += (x[i] - mx) ^ 2 }
            b = sxy / sxx; a = my - b * mx
            first = a + b * x[1]; last = a + b * x[n]
            printf "%d %d %.2f\n", first, last, (last - first) * 100 / first
        }')
echo "soak: lowest rss of each minute after the warm-up, fitted line: $first KiB at minute $((warmup + 1)), $final KiB at minute $minutes: $growth %"
awk -v g="$growth" -v m="$max_growth" 'BEGIN { exit !(g < m) }' ||
    e2e_fail "resident memory grew by $growth % after the warm-up (limit $max_growth %); curve in $csv"
echo "PASS soak ($minutes min, $restarts level restarts, memory $growth % after the warm-up)"

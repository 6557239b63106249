#!/usr/bin/env bash
# Soak test: the real game, built with AddressSanitizer + UBSan, plays
# "lvl1.lvl" for a long stretch under its own Xvfb and must stay healthy.
#
#   tools/soak.sh [MINUTES]     default 30, at least 3
#
# Both players drive forward and back, turn and fire in a varied pattern that
# is the same on every run (a fixed pseudo-random sequence). Every 3 minutes
# (every minute in runs shorter than 10 minutes, so that a 3-minute run plays
# three rounds; SOAK_ROUND_S sets another number of seconds) Escape returns to
# the menu and the menu's game item starts the level again.
#
# Memory is watched two ways, both only while a level is played:
#   - resident memory (VmRSS), read after every stretch of play, a few
#     seconds apart;
#   - the live heap, as the sanitizer's allocator counts it, read every 5 ms
#     by a small library preloaded into the game (tools/soak/heap_probe.c;
#     SOAK_HEAP_PROFILE=<seconds> makes it print the stacks that hold most of
#     the heap into the game's output that often).
# Once a minute, and at the end, a line goes to the terminal and to
# build-asan/soak/rss-<MINUTES>min.csv:
#   minute,rss_kib,low_kib,high_kib,heap_low_kib,heap_high_kib
# rss_kib is the reading at the full minute, the others the lowest and highest
# readings of the minute before it. At the end of every round (level start to
# Escape) a line goes to the terminal and to rounds-<MINUTES>min.csv:
#   round,start_s,rss_low_kib,heap_low_kib
# with the lowest readings of the round. The game's whole output is kept
# beside them as game-<MINUTES>min.log, and the probe's own record (lowest and
# highest live heap in KiB of every half second, from the program's start) as
# heap-<MINUTES>min.txt.
#
# The run passes when
#   - the game never ends on its own (no crash, no signal, no sanitizer abort);
#   - its output holds no AddressSanitizer, LeakSanitizer or UBSan report;
#   - it leaves cleanly: Escape to the menu, Escape to exit, status 0, which
#     includes LeakSanitizer's scan at exit finding nothing unsuppressed;
#   - neither resident memory nor the live heap grows by 5 % or more after the
#     warm-up. The warm-up is the first 5 minutes for runs of 10 minutes or
#     more and the first half (in whole minutes) of shorter runs, so that it
#     includes a level restart: level loading, driver caches and the
#     sanitizer's quarantine of freed memory fill up early and would otherwise
#     read as growth. Each measure is judged on the lowest reading of every
#     round that starts after the warm-up: the least-squares line through
#     them, from the first such round to the last, against its value at the
#     first (with two rounds, simply the last round's low against the
#     other's).
# Why the lowest readings, and why rounds: the software renderer allocates
# each frame's geometry on the heap, up to some hundred megabytes with much
# on screen, and frees it once the frame is drawn, so single readings judge
# the view. The soak has it rasterize in the game's own thread
# (LP_NUM_THREADS=0), so that the heap empties after every frame: the
# lowest live heap of any half second is then what the game holds, steady to
# a megabyte through any number of restarts, and the sharp test for a leak.
# Each round starts from a fresh level, so the lows of whole rounds compare
# like with like. Resident memory adds what the allocator keeps mapped and
# the quarantine of freed blocks; it is what the player's machine pays, but
# it moves by a few percent from one round to the next, so a run shorter
# than 10 minutes, with two short rounds to compare, prints its growth but
# judges the live heap alone.
# Otherwise it prints a "FAIL: ..." line and ends with a non-zero status.
#
# The sanitizer build runs as every end-to-end run of it does (see
# e2e_sanitizer_env in tests/e2e/lib/common.bash): Mesa's driver preloaded so
# that its leaks keep a name the suppressions match, libglut's suppression
# left out, leak detection at exit and every ASan and UBSan check on. Freed
# pages go back to the system every second (allocator_release_to_os_interval_ms),
# so that resident memory follows what the game holds rather than the
# allocator's high-water mark; the quarantine of freed blocks, and with it
# use-after-free detection, keeps its default size.
# shellcheck source=../tests/e2e/lib/common.bash
source "$(dirname "$0")/../tests/e2e/lib/common.bash"

minutes=${1:-30}
# One minute to warm up, two rounds to compare.
if [[ ! "$minutes" =~ ^[0-9]+$ ]] || ((minutes < 3)); then
    echo "Error: the soak takes a whole number of minutes, at least 3 (got \"$minutes\")" >&2
    exit 2
fi
round_s=${SOAK_ROUND_S:-$((minutes >= 10 ? 180 : 60))} # play time between two level starts
max_growth=5 # percent after the warm-up
if [[ ! "$round_s" =~ ^[1-9][0-9]*$ ]]; then
    echo "Error: SOAK_ROUND_S takes a whole number of seconds (got \"$round_s\")" >&2
    exit 2
fi
cd "$E2E_ROOT" || exit 1
tools/setup.sh asan

out_dir="$E2E_ROOT/build-asan/soak"
mkdir -p "$out_dir"
csv="$out_dir/rss-${minutes}min.csv"
rounds_csv="$out_dir/rounds-${minutes}min.csv"
log="$out_dir/game-${minutes}min.log"
warmup=$((minutes >= 10 ? 5 : minutes / 2))

e2e_init build-asan/panzerfeld
# The heap probe, preloaded beside the driver (see tools/soak/heap_probe.c).
probe="$E2E_WORK/heap_probe.so"
heap_file="$E2E_WORK/heap"
cc -shared -fPIC -O2 -o "$probe" tools/soak/heap_probe.c -ldl -pthread ||
    e2e_fail "the heap probe tools/soak/heap_probe.c does not build"
# e2e_init has set up the sanitizer build's runs (see e2e_sanitizer_env in
# tests/e2e/lib/common.bash): the renderer rasterizes in the game's thread,
# the driver is preloaded, the suppressions leave out libglut.
((${#E2E_PRELOAD[@]})) || e2e_fail "build-asan/panzerfeld is not built with AddressSanitizer"
soak_keep_log() {
    [[ -f "$E2E_WORK/game.out" ]] && cp "$E2E_WORK/game.out" "$log"
    [[ -f "$heap_file" ]] && cp "$heap_file" "$out_dir/heap-${minutes}min.txt"
    return 0
}
trap 'status=$?; soak_keep_log; e2e_cleanup "$status"' EXIT
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
    soak_lower low "$kib"
    soak_raise high "$kib"
    soak_lower round_low "$kib"
    last=$kib
}

# soak_lower NAME VALUE, soak_raise NAME VALUE: NAME takes VALUE when it is
# empty or VALUE is lower (higher).
soak_lower() {
    local -n bound=$1
    [[ -z "$bound" ]] || (($2 < bound)) && bound=$2
    return 0
}
soak_raise() {
    local -n bound=$1
    [[ -z "$bound" ]] || (($2 > bound)) && bound=$2
    return 0
}

# soak_heap_take KEEP: reads the lines the probe wrote since the last call;
# with KEEP 1 their lowest and highest live heap (KiB) widen the minute's
# range in heap_low and heap_high, with KEEP 0 they are dropped (time in the
# menu and loading a level, when the level's memory is not all there).
heap_lines=0
heap_low=""
heap_high=""
soak_heap_take() {
    local range lines
    [[ -s "$heap_file" ]] || e2e_fail "the heap probe (tools/soak/heap_probe.c) wrote nothing to $heap_file"
    read -r range lines < <(awk -v from="$heap_lines" '
        NR > from { if (low == "" || $1 < low) low = $1; if ($2 > high) high = $2 }
        END { print (low == "" ? "-" : low "," high), NR }' "$heap_file")
    heap_lines=$lines
    [[ $1 == 1 && "$range" != - ]] || return 0
    soak_lower heap_low "${range%,*}"
    soak_raise heap_high "${range#*,}"
    soak_lower round_heap_low "${range%,*}"
}

# soak_sample MINUTE: a reading at the full minute; records and prints it
# with the range of the minute before, then starts a new range.
soak_sample() {
    soak_check
    soak_read
    soak_heap_take 1
    [[ -n "$heap_low" ]] || { sleep 1 && soak_heap_take 1; }
    echo "$1,$last,$low,$high,$heap_low,$heap_high" >>"$csv"
    local bar
    bar=$(printf '%*s' $((last / 20480)) '' | tr ' ' '#')
    printf 'soak: minute %3d  (%4ds)  rss %7d KiB (%7d .. %7d)  heap %7d .. %7d KiB  %s\n' \
        "$1" "$elapsed" "$last" "$low" "$high" "$heap_low" "$heap_high" "$bar"
    low=""
    high=""
    heap_low=""
    heap_high=""
}

# soak_end_round: records the lows of the round that just ended.
round_low=""
round_heap_low=""
round_start=0
round_starts=()
round_lows=()
round_heap_lows=()
soak_end_round() {
    round_starts+=("$round_start")
    round_lows+=("$round_low")
    round_heap_lows+=("$round_heap_low")
    echo "${#round_lows[@]},$round_start,$round_low,$round_heap_low" >>"$rounds_csv"
    printf 'soak: round %2d  (from %4ds)  lowest rss %7d KiB, lowest heap %7d KiB\n' \
        "${#round_lows[@]}" "$round_start" "$round_low" "$round_heap_low"
    round_low=""
    round_heap_low=""
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
            soak_heap_take 0
            return 0
        fi
        soak_check
    done
    e2e_fail "the level did not start (no InitGL within 120 s of clicking the game item)"
}

# soak_to_menu: Escape, and Escape again past each name entry (a decided
# battle asks for a name for every score that enters the table), then waits
# for the menu's picture.
soak_to_menu() {
    local asked
    soak_heap_take 1
    soak_end_round
    asked=$(e2e_count "Highscore name entry")
    e2e_key Escape
    for _ in $(seq 600); do
        if (($(e2e_count "Highscore name entry") > asked)); then
            asked=$((asked + 1))
            e2e_key Escape
            continue
        fi
        [[ "$(e2e_last_screen)" == Menu ]] && break
        sleep 0.1
    done
    e2e_wait_menu "$data" 60 || { soak_check; e2e_fail "Escape did not return to the menu within 60 s"; }
    soak_check
}

echo "soak: $minutes min of lvl1.lvl under ASan + UBSan, warm-up $warmup min, level restart every ${round_s}s"
echo "soak: memory curve in $csv"
echo "minute,rss_kib,low_kib,high_kib,heap_low_kib,heap_high_kib" >"$csv"
echo "round,start_s,rss_low_kib,heap_low_kib" >"$rounds_csv"
elapsed=0
phase="at the first level start"
E2E_PRELOAD+=("$probe")
e2e_start "$game" "SOAK_HEAP_FILE=$heap_file"
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
        round_start=$((SECONDS - start))
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

# soak_trend VALUES...: the least-squares line through the values of the
# rounds that start after the warm-up, as
# "value-at-first value-at-last growth-percent".
soak_trend() {
    local values=("$@") r
    for r in "${!values[@]}"; do
        ((round_starts[r] >= warmup * 60)) && echo "$r ${values[r]}"
    done | awk '
        { n++; x[n] = $1; y[n] = $2; sx += $1; sy += $2 }
        END {
            if (n < 2) { print "- - -"; exit }
            mx = sx / n; my = sy / n
            for (i = 1; i <= n; i++) { sxy += (x[i] - mx) * (y[i] - my); sxx += (x[i] - mx) ^ 2 }
            b = sxy / sxx; a = my - b * mx
            first = a + b * x[1]; last = a + b * x[n]
            printf "%d %d %.2f\n", first, last, (last - first) * 100 / first
        }'
}

read -r first final growth < <(soak_trend "${round_lows[@]}")
read -r heap_first heap_final heap_growth < <(soak_trend "${round_heap_lows[@]}")
[[ "$growth" != - ]] || e2e_fail "fewer than two rounds started after the warm-up of $warmup min (rounds of ${round_s}s)"
echo "soak: lowest rss of each round after the warm-up, fitted line: $first KiB in the first, $final KiB in the last: $growth %"
echo "soak: lowest live heap of each round after the warm-up, fitted line: $heap_first KiB in the first, $heap_final KiB in the last: $heap_growth %"
((minutes < 10)) || awk -v g="$growth" -v m="$max_growth" 'BEGIN { exit !(g < m) }' ||
    e2e_fail "resident memory grew by $growth % after the warm-up (limit $max_growth %); rounds in $rounds_csv"
awk -v g="$heap_growth" -v m="$max_growth" 'BEGIN { exit !(g < m) }' ||
    e2e_fail "the live heap grew by $heap_growth % after the warm-up (limit $max_growth %); rounds in $rounds_csv"
echo "PASS soak ($minutes min, $((restarts + 1)) rounds, memory $growth % after the warm-up, live heap $heap_growth %)"

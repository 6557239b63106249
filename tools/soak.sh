#!/usr/bin/env bash
# Soak test: the real game, built with AddressSanitizer + UBSan, goes round
# the battlefields of data/level/levels.ini for a long stretch under its own
# Xvfb and must stay healthy.
#
#   tools/soak.sh [MINUTES]     default 30, at least 3
#
# The run is cut into rounds. Each round clicks the menu's game item, takes
# the next battlefield of the level choice (Right, then Enter; the first
# round the first one), checks from the game's "Level: ..." line that this
# level started, with two players, and plays it; then Escape returns to the
# menu. So the rounds go round the levels in the order of levels.ini, lap
# after lap, and a leak that only switching levels shows adds up. Both players
# drive forward and back, turn and fire in a varied pattern that is the same on
# every run (a fixed pseudo-random sequence).
#
# The length of a round (from one level start to the next, loading included)
# follows from the run's length and the number of levels L:
#   - runs of 10 minutes or more: short enough that the time after the
#     warm-up holds 2 L + 1 of them and the whole run 3 L + 1, so that every
#     level plays at least two judged rounds (see below), and at most
#     3 minutes (`tools/soak.sh 20` with four levels: 92 s, 13 rounds);
#   - shorter runs: short enough that every level is played once (3 minutes
#     with four levels: 40 s);
#   - SOAK_ROUND_S sets another number of seconds.
# A round is only begun with at least half a round of time left.
#
# Memory is watched two ways, both only while a level is played (its first
# 3 seconds after the first frame left out):
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
#   round,start_s,level,rss_low_kib,heap_low_kib
# with the level's file and the lowest readings of the round. The game's whole
# output is kept beside them as game-<MINUTES>min.log, and the probe's own
# record (lowest and highest live heap in KiB of every half second, from the
# program's start) as heap-<MINUTES>min.txt.
#
# The run passes when
#   - every round starts the level it chose, and the game never ends on its
#     own (no crash, no signal, no sanitizer abort);
#   - its output holds no AddressSanitizer, LeakSanitizer or UBSan report;
#   - it leaves cleanly: Escape to the menu, Escape to exit, status 0, which
#     includes LeakSanitizer's scan at exit finding nothing unsuppressed;
#   - no level's memory grows by 5 % or more after the warm-up: the live heap
#     always, resident memory in runs of 10 minutes or more. The warm-up is
#     the first 5 minutes for runs of 10 minutes or more and the first half
#     (in whole minutes) of shorter runs: level loading, driver caches and the
#     sanitizer's quarantine of freed memory fill up early and would otherwise
#     read as growth. Levels differ in what they hold, so each level is judged
#     on its own rounds alone: those that start after the warm-up, less the
#     level's first round (the game keeps some megabytes of each level it has
#     played, so the heap steps up during the first lap and stays level
#     after it). On the lowest reading of each judged round: the
#     least-squares line through them, from the level's first judged round to
#     its last, against its value at the first (with two rounds, simply the
#     last round's low against the other's). A run of 10 minutes or more in
#     which a level has fewer than two judged rounds fails; in a shorter run
#     such a level's growth is not judged, and the run says so (a 3-minute
#     run, as the test command makes, plays each level once: it judges the
#     sanitizer reports and a clean exit, and visits every level).
# Why the lowest readings, and why rounds: the software renderer allocates
# each frame's geometry on the heap, up to some hundred megabytes with much
# on screen, and frees it once the frame is drawn, so single readings judge
# the view. The soak has it rasterize in the game's own thread
# (LP_NUM_THREADS=0), so that the heap empties after every frame: the
# lowest live heap of any half second is then what the game holds, steady to
# a megabyte through any number of restarts, and the sharp test for a leak.
# Each round starts from a fresh level, so the lows of one level's rounds
# compare like with like. Resident memory adds what the allocator keeps mapped
# and the quarantine of freed blocks; it is what the player's machine pays,
# but it moves by a few percent from one round to the next, so a run shorter
# than 10 minutes prints its growth but judges the live heap alone.
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
if [[ ! "$minutes" =~ ^[0-9]+$ ]] || ((minutes < 3)); then
    echo "Error: the soak takes a whole number of minutes, at least 3 (got \"$minutes\")" >&2
    exit 2
fi
if [[ -n "${SOAK_ROUND_S:-}" && ! "${SOAK_ROUND_S}" =~ ^[1-9][0-9]*$ ]]; then
    echo "Error: SOAK_ROUND_S takes a whole number of seconds (got \"$SOAK_ROUND_S\")" >&2
    exit 2
fi
cd "$E2E_ROOT" || exit 1

# The battlefields, in the order of the level choice.
mapfile -t levels < <(sed -n 's/^\([^#= ][^= ]*\.lvl\).*/\1/p' data/level/levels.ini)
count=${#levels[@]}
if ((count == 0)); then
    echo "Error: data/level/levels.ini lists no level" >&2
    exit 2
fi
total=$((minutes * 60))
warmup=$((minutes >= 10 ? 5 : minutes / 2))
min_round=30 # loading a level under the sanitizers, and some play
if [[ -n "${SOAK_ROUND_S:-}" ]]; then
    round_s=$SOAK_ROUND_S
elif ((minutes >= 10)); then
    round_s=$(((total - warmup * 60) / (2 * count + 1)))
    ((round_s <= total / (3 * count + 1))) || round_s=$((total / (3 * count + 1)))
    ((round_s <= 180)) || round_s=180
    if ((round_s < min_round)); then
        needed=$((warmup * 60 + (2 * count + 1) * min_round))
        ((needed >= (3 * count + 1) * min_round)) || needed=$(((3 * count + 1) * min_round))
        echo "Error: $count levels, a lap before two judged laps, need rounds of at least ${min_round}s:" \
            "at least $(((needed + 59) / 60)) minutes" >&2
        exit 2
    fi
else
    round_s=$((2 * total / (2 * count + 1)))
fi
max_growth=5 # percent after the warm-up
tools/setup.sh asan

out_dir="$E2E_ROOT/build-asan/soak"
mkdir -p "$out_dir"
csv="$out_dir/rss-${minutes}min.csv"
rounds_csv="$out_dir/rounds-${minutes}min.csv"
log="$out_dir/game-${minutes}min.log"

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

# soak_wait PATTERN COUNT SECONDS WHAT: waits until PATTERN has occurred COUNT
# times in the game's output, checking all the while that the game runs;
# fails saying that WHAT did not happen within SECONDS.
soak_wait() {
    local deadline=$((SECONDS + $3))
    until (($(e2e_count "$1") >= $2)); do
        soak_check
        ((SECONDS < deadline)) || e2e_fail "$4 within $3 s $phase (full output in $log)"
        sleep 0.1
    done
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

# soak_end_round: records the level and the lows of the round that just ended.
round_low=""
round_heap_low=""
round_start=0
round_starts=()
round_levels=()
round_lows=()
round_heap_lows=()
soak_end_round() {
    [[ -n "$round_low" && -n "$round_heap_low" ]] ||
        e2e_fail "round $((${#round_lows[@]} + 1)) ($level) ended without a memory reading"
    round_starts+=("$round_start")
    round_levels+=("$level")
    round_lows+=("$round_low")
    round_heap_lows+=("$round_heap_low")
    echo "${#round_lows[@]},$round_start,$level,$round_low,$round_heap_low" >>"$rounds_csv"
    printf 'soak: round %2d  (from %4ds)  %-12s lowest rss %7d KiB, lowest heap %7d KiB\n' \
        "${#round_lows[@]}" "$round_start" "$level" "$round_low" "$round_heap_low"
    round_low=""
    round_heap_low=""
}

# soak_start_level: clicks the menu's game item once, takes the next level of
# the level choice (the first one in the first round) and waits until that
# level has drawn its first frame; fails saying which step did not happen.
rounds=0
soak_start_level() {
    local choices started inits line
    level=${levels[rounds % count]}
    started=$(($(e2e_count 'Level: .* (data/level/') + 1))
    inits=$(($(e2e_count InitGL) + 1))
    choices=$(($(e2e_count 'Screen: Level choice') + 1))
    e2e_click_item "$data" 1
    soak_wait 'Screen: Level choice' "$choices" 60 "clicking the menu's game item did not open the level choice"
    ((rounds == 0)) || e2e_key Right
    e2e_key Return
    soak_wait 'Level: .* (data/level/' "$started" 60 "Enter on the level choice (for $level) started no level"
    line=$(grep -o 'Level: .* (data/level/[^)]*)' "$E2E_WORK/game.out" | tail -n 1)
    [[ "$line" == *"(data/level/$level, 2 players)" ]] ||
        e2e_fail "round $((rounds + 1)) should play $level with two players, but the game started \"$line\""
    soak_wait InitGL "$inits" 120 "$level did not set up its battle (no InitGL)"
    soak_wait 'Battle frame drawn' "$inits" 120 "$level drew no battle frame"
    rounds=$((rounds + 1))
    sleep 3 # not measured: the first frames make light maps, the tanks settle
    soak_check
    soak_heap_take 0
}

# soak_to_menu: Escape, and Escape again past each name entry (a decided
# battle asks for a name for every score that enters the table), then waits
# for the menu's picture.
soak_to_menu() {
    local asked
    soak_heap_take 1
    soak_end_round
    asked=$(e2e_count "Highscore name entry")
    # A battle decided during the round may already have gone through its result and a name entry
    # (the players' keys type into it, and player two's fire key is Enter) back to the menu, where
    # Escape would end the program.
    [[ "$(e2e_last_screen)" == Menu ]] || e2e_key Escape
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

echo "soak: $minutes min under ASan + UBSan, round after round of the $count levels of levels.ini" \
    "(${levels[*]}), a new round every ${round_s}s, warm-up $warmup min"
echo "soak: memory curve in $csv"
echo "minute,rss_kib,low_kib,high_kib,heap_low_kib,heap_high_kib" >"$csv"
echo "round,start_s,level,rss_low_kib,heap_low_kib" >"$rounds_csv"
elapsed=0
phase="at the start"
E2E_PRELOAD+=("$probe")
e2e_start "$game" "SOAK_HEAP_FILE=$heap_file"
offered=$(grep -o 'Level choice: [0-9]* battlefield' "$E2E_WORK/game.out" | tail -n 1 | grep -o '[0-9]*' || true)
[[ "$offered" == "$count" ]] ||
    e2e_fail "the level choice offers ${offered:-an unknown number of} battlefields, levels.ini lists $count"
phase="at the first level start"
soak_start_level

start=$SECONDS
minute=0
soak_sample 0
# soak_schedule: the next level start, if at least half a round is left after it.
next_restart=0
soak_schedule() {
    next_restart=$((next_restart + round_s))
    ((next_restart + round_s / 2 < total)) || next_restart=$((total + 1))
}
soak_schedule
played=0 # stretches of play in this round
while :; do
    elapsed=$((SECONDS - start))
    phase="after ${elapsed}s of play"
    ((elapsed >= total)) && break
    if ((elapsed >= (minute + 1) * 60)); then
        minute=$((minute + 1))
        soak_sample "$minute"
        continue
    fi
    if ((elapsed >= next_restart && played > 0)); then
        soak_to_menu
        phase="at the start of round $((rounds + 1))"
        soak_start_level
        round_start=$((SECONDS - start))
        soak_schedule
        played=0
        echo "soak: round $rounds, $level, started after ${elapsed}s"
        continue
    fi
    soak_step
    soak_check
    soak_read
    played=$((played + 1))
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

# soak_trend LEVEL VALUES...: the least-squares line through the values of
# LEVEL's judged rounds (those that start after the warm-up, its first round
# left out), as "rounds value-at-first value-at-last growth-percent" (the last
# three "-" with fewer than two rounds).
soak_trend() {
    local level=$1 r first=yes
    shift
    local values=("$@")
    for r in "${!values[@]}"; do
        [[ "${round_levels[r]}" == "$level" ]] || continue
        if [[ -z "$first" ]] && ((round_starts[r] >= warmup * 60)); then
            echo "$r ${values[r]}"
        fi
        first=""
    done | awk '
        { n++; x[n] = $1; y[n] = $2; sx += $1; sy += $2 }
        END {
            if (n < 2) { print n + 0, "- - -"; exit }
            mx = sx / n; my = sy / n
            for (i = 1; i <= n; i++) { sxy += (x[i] - mx) * (y[i] - my); sxx += (x[i] - mx) ^ 2 }
            b = sxy / sxx; a = my - b * mx
            first = a + b * x[1]; last = a + b * x[n]
            printf "%d %d %d %.2f\n", n, first, last, (last - first) * 100 / first
        }'
}

visited=()
judged=()
failures=()
for level in "${levels[@]}"; do
    played_rounds=0
    for r in "${!round_levels[@]}"; do
        if [[ "${round_levels[r]}" == "$level" ]]; then
            played_rounds=$((played_rounds + 1))
        fi
    done
    ((played_rounds > 0)) || e2e_fail "$level was never played (${#round_levels[@]} rounds of ${round_s}s)"
    visited+=("$level: $played_rounds")
    read -r n first final growth < <(soak_trend "$level" "${round_lows[@]}")
    read -r _ heap_first heap_final heap_growth < <(soak_trend "$level" "${round_heap_lows[@]}")
    if ((n < 2)); then
        ((minutes < 10)) ||
            e2e_fail "$level played $n round(s) to judge (after the warm-up of $warmup min and its first round), not two (rounds of ${round_s}s)"
        echo "soak: $level: $n round(s) to judge of $played_rounds played (its first, and those before the warm-up, are not judged): its growth is not judged"
        continue
    fi
    echo "soak: $level, $n judged rounds, lowest rss, fitted line: $first KiB in the first, $final KiB in the last: $growth %"
    echo "soak: $level, $n judged rounds, lowest live heap, fitted line: $heap_first KiB in the first, $heap_final KiB in the last: $heap_growth %"
    judged+=("$level heap $heap_growth %, rss $growth %")
    ((minutes < 10)) || awk -v g="$growth" -v m="$max_growth" 'BEGIN { exit !(g < m) }' ||
        failures+=("$level: resident memory grew by $growth % after the warm-up")
    awk -v g="$heap_growth" -v m="$max_growth" 'BEGIN { exit !(g < m) }' ||
        failures+=("$level: the live heap grew by $heap_growth % after the warm-up")
done
if ((${#failures[@]})); then
    for f in "${failures[@]:1}"; do
        echo "FAIL: $f (limit $max_growth %)" >&2
    done
    e2e_fail "${failures[0]} (limit $max_growth %); rounds in $rounds_csv"
fi
visits=$(printf '%s, ' "${visited[@]}")
if ((${#judged[@]} == 0)); then
    echo "soak: growth is not judged: no level played two rounds after the warm-up of $warmup min and its own first one" \
        "(rounds of ${round_s}s); judged are the sanitizer reports and a clean exit"
    echo "PASS soak ($minutes min, ${#round_levels[@]} rounds: ${visits%, }; growth not judged)"
else
    growths=$(printf '%s; ' "${judged[@]}")
    echo "PASS soak ($minutes min, ${#round_levels[@]} rounds: ${visits%, }; growth after the warm-up: ${growths%; })"
fi

#!/usr/bin/env bash
# Soak test: the real game, built with AddressSanitizer + UBSan, goes round
# the battlefields of data/level/levels.ini for a long stretch under its own
# Xvfb and must stay healthy.
#
#   tools/soak.sh [MINUTES]     default 30, at least 3 (at least 1 when
#                               SOAK_LEVELS names one level)
#
# The run is cut into rounds. Each round clicks the menu's game item, takes
# its battlefield on the level choice (Right as often as it lies after the
# one chosen last, then Enter), checks from the game's "Level: ..." line that
# this level started, with two players, and plays it; then Escape returns to
# the menu. Both players drive forward and back, turn and fire in a varied
# pattern that is the same on every run (a fixed pseudo-random sequence);
# once the game says the battle is decided ("Battle over: ..."), their keys
# rest for the rest of the round (keys pressed after it would walk the result,
# the menu and the screens behind it). Leaving a round, the soak presses
# Escape once for every screen between it and the menu (a result, the name
# entries of a decided battle), each only after the game has announced the
# screen the one before led to, and never in the menu, where Escape ends the
# program.
#
# Which rounds, and how long each is (from one level start to the next,
# loading included), follows from the run's length and the number of levels L:
#   - runs of 10 minutes or more go round the levels in the order of
#     levels.ini, lap after lap, so that a leak that only switching levels
#     shows adds up; the rounds are short enough that the time after the
#     warm-up holds 2 L + 1 of them and the whole run 3 L + 1, so that every
#     level plays at least two judged rounds (see below), and at most
#     3 minutes (`tools/soak.sh 20` with four levels: 92 s, 13 rounds);
#   - shorter runs play one lap, every level once, and then the first level
#     again and again in short rounds of 12 s (in levels.ini the first, River
#     Valley, is the quickest to load: some 4 s under the sanitizers): the
#     judged rounds, at least five of them (three for a single level) and
#     as many as fill a third of the run. The lap shares the rest
#     (3 minutes with four levels: rounds of 30 s, then five judged rounds).
#   - SOAK_ROUND_S sets another number of seconds for the rounds (in shorter
#     runs for the lap's; the judged rounds then fill what is left).
#   - SOAK_LEVELS=lvl4.lvl,lvl2.lvl plays only these levels of levels.ini, in
#     this order; naming one level, a run may be as short as a minute (one
#     round, then three rounds of it, too few to judge growth: for watching
#     one level's battles end in many short runs).
# A round ends once its time is up and it has been played for at least 3 s
# after its start, so a slow load makes the run longer, never a round fewer;
# in runs of 10 minutes or more a round is only begun with at least half a
# round of time left.
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
#   - memory does not grow with play. Levels differ in what they hold, so each
#     level is judged on its own rounds alone, and never on its first round:
#     the game keeps some megabytes of each level it has played, so the heap
#     steps up during the first lap and stays level after it. The verdict
#     rests on the lowest reading of each judged round:
#       - in runs of 10 minutes or more, a level's rounds that start after the
#         warm-up of 5 minutes (level loading, driver caches and the
#         sanitizer's quarantine of freed memory fill up early), its first
#         left out; the least-squares line through them, from the level's
#         first judged round to its last, must rise by less than 5 % of its
#         value at the first (with two rounds, simply the last round's low
#         against the other's), in live heap and in resident memory. A level with fewer than two judged
#         rounds fails the run.
#       - in shorter runs, the first level's rounds after the lap, in which
#         the game has already held every level once, when there are at
#         least five of them (a one-level run of a minute or two has three
#         or four, and says that its growth is not judged): the median of the
#         slopes between every two of them must be under 512 KiB per round,
#         in live heap alone. A leak of 1 MiB per round moves every slope by
#         1,024; rounds of one level, back to back, mostly agree to some
#         KiB, but now and then a round holds 1 MiB or more that its load or
#         its battle kept (for that round alone, or from then on), which
#         moves only the slopes of its own pairs. Resident memory moves by a
#         few percent from one round to the next, so there it is printed,
#         not judged.
#     The last line names what was judged: the level, its number of judged
#     rounds, the growth and the limit.
# Why the lowest readings, and why rounds: the software renderer allocates
# each frame's geometry on the heap, up to some hundred megabytes with much
# on screen, and frees it once the frame is drawn, so single readings judge
# the view. The soak has it rasterize in the game's own thread
# (LP_NUM_THREADS=0), so that the heap empties after every frame: the
# lowest live heap of any half second is then what the game holds, steady to
# a megabyte through any number of restarts, and the sharp test for a leak.
# Each round starts from a fresh level, so the lows of one level's rounds
# compare like with like. Resident memory adds what the allocator keeps mapped
# and the quarantine of freed blocks; it is what the player's machine pays.
# Otherwise it prints a "FAIL: ..." line and ends with a non-zero status.
#
# SOAK_TEST_LEAK_MIB=<MiB> checks the judgement itself: the heap probe then
# holds that much more heap at every round start (tools/soak/heap_probe.c),
# and the run must fail on growth. SOAK_NO_BUILD=1 leaves out building the
# sanitizer build first (tools/setup.sh asan), for runs one after another on a
# build that is already up to date.
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
if [[ ! "$minutes" =~ ^[0-9]+$ ]]; then
    echo "Error: the soak takes a whole number of minutes (got \"$minutes\")" >&2
    exit 2
fi
for setting in SOAK_ROUND_S SOAK_TEST_LEAK_MIB; do
    if [[ -n "${!setting:-}" && ! "${!setting}" =~ ^[0-9]+$ ]]; then
        echo "Error: $setting takes a whole number (got \"${!setting}\")" >&2
        exit 2
    fi
done
cd "$E2E_ROOT" || exit 1

# The battlefields, in the order of the level choice, and those this run plays.
mapfile -t offered_levels < <(sed -n 's/^\([^#= ][^= ]*\.lvl\).*/\1/p' data/level/levels.ini)
if ((${#offered_levels[@]} == 0)); then
    echo "Error: data/level/levels.ini lists no level" >&2
    exit 2
fi
if [[ -n "${SOAK_LEVELS:-}" ]]; then
    read -r -a levels <<<"${SOAK_LEVELS//,/ }"
else
    levels=("${offered_levels[@]}")
fi
declare -A choice_index # a level's place on the level choice, from 0
for i in "${!offered_levels[@]}"; do
    choice_index[${offered_levels[i]}]=$i
done
for level in "${levels[@]}"; do
    if [[ -z "${choice_index[$level]+set}" ]]; then
        echo "Error: SOAK_LEVELS names $level, which data/level/levels.ini does not list (${offered_levels[*]})" >&2
        exit 2
    fi
done
count=${#levels[@]}
if ((count == 0)); then
    echo "Error: SOAK_LEVELS names no level" >&2
    exit 2
fi
least=$((count == 1 ? 1 : 3))
if ((minutes < least)); then
    echo "Error: a soak of $count level(s) takes at least $least minute(s) (got $minutes)" >&2
    exit 2
fi
total=$((minutes * 60))
min_round=30  # loading a level under the sanitizers, and some play
judged_s=12   # a judged round of a shorter run: loading the first level, 3 s to settle, some play
min_play=3    # seconds of measured play in every round, however late it started
max_growth=5  # percent after the warm-up, in runs of 10 minutes or more
max_slope=512 # KiB per judged round, in shorter runs
min_judged=5  # judged rounds for a verdict on them, in shorter runs
long=$((minutes >= 10))
warmup=$((long ? 5 : 0))

# The plan: the level of every round, and when (in seconds from the first level's start) each
# gives way to the next; the last one's end is the end of the run. In shorter runs the rounds
# from lap_rounds on are the judged ones.
plan=()
plan_end=()
if ((long)); then
    if [[ -n "${SOAK_ROUND_S:-}" ]]; then
        round_s=$SOAK_ROUND_S
    else
        round_s=$(((total - warmup * 60) / (2 * count + 1)))
        ((round_s <= total / (3 * count + 1))) || round_s=$((total / (3 * count + 1)))
        ((round_s <= 180)) || round_s=180
    fi
    if ((round_s < min_round)); then
        needed=$((warmup * 60 + (2 * count + 1) * min_round))
        ((needed >= (3 * count + 1) * min_round)) || needed=$(((3 * count + 1) * min_round))
        echo "Error: $count levels, a lap before two judged laps, need rounds of at least ${min_round}s:" \
            "at least $(((needed + 59) / 60)) minutes" >&2
        exit 2
    fi
    # A round is only begun with at least half a round of time left.
    for ((r = 0; r == 0 || r * round_s + round_s / 2 < total; r++)); do
        plan+=("${levels[r % count]}")
        plan_end+=($(((r + 1) * round_s)))
    done
    lap_rounds=${#plan[@]}
else
    judged_level=${levels[0]}
    if [[ -n "${SOAK_ROUND_S:-}" ]]; then
        round_s=$SOAK_ROUND_S
        judged_rounds=$(((total - count * round_s) / judged_s))
    else
        judged_rounds=$((total / 3 / judged_s))
        ((judged_rounds >= min_judged || count == 1)) || judged_rounds=$min_judged
        ((judged_rounds >= 3)) || judged_rounds=3
        round_s=$(((total - judged_rounds * judged_s) / count))
    fi
    if ((judged_rounds < 3 || round_s < (count == 1 ? judged_s : min_round))); then
        echo "Error: one lap of $count level(s) in rounds of at least $((count == 1 ? judged_s : min_round))s" \
            "and three judged rounds of ${judged_s}s do not fit into $minutes minute(s)" >&2
        exit 2
    fi
    for ((r = 0; r < count; r++)); do
        plan+=("${levels[r]}")
        plan_end+=($(((r + 1) * round_s)))
    done
    lap_rounds=$count
    for ((r = 1; r <= judged_rounds; r++)); do
        plan+=("$judged_level")
        plan_end+=($((count * round_s + r * judged_s)))
    done
fi
plan_end[-1]=$total

[[ -n "${SOAK_NO_BUILD:-}" ]] || tools/setup.sh asan

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

# soak_decided: true once the battle of this round is decided. The game's
# "Battle over: ..." comes in the tick that decides it, the result screen
# right after: from then on the players' keys would work the result, the name
# entry and the menu.
decided_before=0
soak_decided() {
    (($(e2e_count 'Battle over:') > decided_before))
}

# soak_hold SECONDS KEY...: holds the keys down together (both players at
# once) for SECONDS, or until the battle is decided, then lets them all go.
soak_hold() {
    local tenths i
    tenths=$(awk -v s="$1" 'BEGIN { print int(s * 10 + 0.5) }')
    shift
    e2e_retry xdotool keydown --window "$GAME_WID" "$@"
    for ((i = 0; i < tenths; i++)); do
        soak_decided && break
        sleep 0.1
    done
    e2e_retry xdotool keyup --window "$GAME_WID" "$@"
}

# soak_step: one stretch of play, each player's keys chosen afresh; once the
# battle is decided, a second without keys.
resting=""
soak_step() {
    local held=() p
    if soak_decided; then
        if [[ -z "$resting" ]]; then
            resting=yes
            echo "soak: round $rounds ($level): $(grep -o 'Battle over: [^(]*[^ (]' "$E2E_WORK/game.out" | tail -n 1)," \
                "the players' keys rest until the round ends"
        fi
        sleep 1
        return 0
    fi
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
        soak_hold "${durations[R]}" "${held[@]}"
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

# soak_start_level: tells the heap probe that a round begins, clicks the
# menu's game item once, takes the plan's next level on the level choice (which
# keeps the one chosen last; its list goes round) and waits until that level
# has drawn its first frame; fails saying which step did not happen.
rounds=0
chosen=0 # the level choice's own: the first level, until a round chooses another
soak_start_level() {
    local choices started inits line target
    level=${plan[rounds]}
    printf x >>"$round_file"
    started=$(($(e2e_count 'Level: .* (data/level/') + 1))
    inits=$(($(e2e_count InitGL) + 1))
    choices=$(($(e2e_count 'Screen: Level choice') + 1))
    e2e_click_item "$data" 1
    soak_wait 'Screen: Level choice' "$choices" 60 "clicking the menu's game item did not open the level choice"
    target=${choice_index[$level]}
    for ((; chosen != target; chosen = (chosen + 1) % ${#offered_levels[@]})); do
        e2e_key Right
    done
    e2e_key Return
    soak_wait 'Level: .* (data/level/' "$started" 60 "Enter on the level choice (for $level) started no level"
    line=$(grep -o 'Level: .* (data/level/[^)]*)' "$E2E_WORK/game.out" | tail -n 1)
    [[ "$line" == *"(data/level/$level, 2 players)" ]] ||
        e2e_fail "round $((rounds + 1)) should play $level with two players, but the game started \"$line\""
    soak_wait InitGL "$inits" 120 "$level did not set up its battle (no InitGL)"
    soak_wait 'Battle frame drawn' "$inits" 120 "$level drew no battle frame"
    rounds=$((rounds + 1))
    decided_before=$(e2e_count 'Battle over:')
    resting=""
    sleep 3 # not measured: the first frames make light maps, the tanks settle
    soak_check
    soak_heap_take 0
    round_start=$((SECONDS - ${start:-$SECONDS}))
    round_play_from=$SECONDS
}

# soak_to_menu: ends the round and goes back to the menu: one Escape for every
# screen on the way (the battle, or its result and one name entry for every
# score that enters the table), each sent only once the screen before has
# been announced, and none in the menu, where Escape ends the program.
soak_to_menu() {
    local screen screens escapes=0
    soak_heap_take 1
    soak_end_round
    screen=$(e2e_last_screen)
    while [[ "$screen" != Menu ]]; do
        ((escapes < 10)) || e2e_fail "ten Escapes did not lead from the battle to the menu (now \"$screen\")"
        screens=$(e2e_count 'Screen: ')
        e2e_key Escape
        escapes=$((escapes + 1))
        soak_wait 'Screen: ' $((screens + 1)) 60 "Escape on the screen \"$screen\" led to no other screen"
        screen=$(e2e_last_screen)
    done
    e2e_wait_menu "$data" 60 || { soak_check; e2e_fail "the menu was announced, but not drawn within 60 s"; }
    soak_check
}

if ((long)); then
    echo "soak: $minutes min under ASan + UBSan, round after round of the $count levels (${levels[*]})," \
        "a new round every ${round_s}s, ${#plan[@]} rounds, warm-up $warmup min"
else
    echo "soak: $minutes min under ASan + UBSan, a lap of the $count level(s) (${levels[*]}) in rounds of ${round_s}s," \
        "then $judged_rounds judged rounds of $judged_level of ${judged_s}s"
fi
if ((${SOAK_TEST_LEAK_MIB:-0} > 0)); then
    echo "soak: SOAK_TEST_LEAK_MIB=$SOAK_TEST_LEAK_MIB: the heap probe holds $SOAK_TEST_LEAK_MIB MiB more" \
        "at every round start; this run must fail on growth"
fi
echo "soak: memory curve in $csv"
echo "minute,rss_kib,low_kib,high_kib,heap_low_kib,heap_high_kib" >"$csv"
echo "round,start_s,level,rss_low_kib,heap_low_kib" >"$rounds_csv"
elapsed=0
start=""
phase="at the start"
round_file="$E2E_WORK/rounds"
: >"$round_file"
E2E_PRELOAD+=("$probe")
e2e_start "$game" "SOAK_HEAP_FILE=$heap_file" "SOAK_ROUND_FILE=$round_file" "SOAK_TEST_LEAK_MIB=${SOAK_TEST_LEAK_MIB:-0}"
offered=$(grep -o 'Level choice: [0-9]* battlefield' "$E2E_WORK/game.out" | tail -n 1 | grep -o '[0-9]*' || true)
[[ "$offered" == "${#offered_levels[@]}" ]] ||
    e2e_fail "the level choice offers ${offered:-an unknown number of} battlefields, levels.ini lists ${#offered_levels[@]}"
phase="at the first level start"
soak_start_level

start=$SECONDS
round_start=0
minute=0
soak_sample 0
while :; do
    elapsed=$((SECONDS - start))
    phase="after ${elapsed}s of play"
    # The round gives way once its time is up and it has been played a little.
    over=$((elapsed >= plan_end[rounds - 1] && SECONDS - round_play_from >= min_play))
    ((!over || rounds < ${#plan[@]})) || break
    if ((elapsed >= (minute + 1) * 60)); then
        minute=$((minute + 1))
        soak_sample "$minute"
        continue
    fi
    if ((over)); then
        soak_to_menu
        phase="at the start of round $((rounds + 1))"
        soak_start_level
        echo "soak: round $rounds, $level, started after ${elapsed}s"
        continue
    fi
    soak_step
    soak_check
    soak_read
done
final=$(((elapsed + 59) / 60))
((final > minute)) || final=$((minute + 1))
soak_sample "$final"

phase="on the way out"
soak_to_menu
e2e_key Escape
phase="at exit"
e2e_wait_exit 300
soak_report
[[ "$GAME_STATUS" == 0 ]] || e2e_fail "leaving from the menu ended the program with status $GAME_STATUS (full output in $log)"

# soak_fit: the least-squares line through the values on its input, one a
# line and a round, as "rounds value-at-first value-at-last growth-percent
# KiB-per-round" (all but the first "-" with fewer than two values).
soak_fit() {
    awk '
        NF { n++; y[n] = $1; sx += n; sy += $1 }
        END {
            if (n < 2) { print n + 0, "- - - -"; exit }
            mx = sx / n; my = sy / n
            for (i = 1; i <= n; i++) { sxy += (i - mx) * (y[i] - my); sxx += (i - mx) ^ 2 }
            b = sxy / sxx; a = my - b * mx
            first = a + b; last = a + b * n
            printf "%d %d %d %.2f %d\n", n, first, last, (last - first) * 100 / first, b
        }'
}

# soak_slope: the median of the slopes between every two of the values on its
# input (one a line and a round), in KiB per round, as "rounds slope" ("-" with
# fewer than two values). A leak moves every round's low, and with it every
# slope; a level's load or its battle now and then holds a MiB or a few more
# for that round alone, which moves the slopes of its own pairs only, and a
# mean (the least-squares line) would follow them.
soak_slope() {
    awk '
        NF { n++; y[n] = $1 }
        END {
            if (n < 2) { print n + 0, "-"; exit }
            m = 0
            for (i = 1; i < n; i++)
                for (j = i + 1; j <= n; j++) {
                    v = (y[j] - y[i]) / (j - i)
                    for (k = ++m; k > 1 && s[k - 1] > v; k--) s[k] = s[k - 1]
                    s[k] = v
                }
            median = m % 2 ? s[(m + 1) / 2] : (s[m / 2] + s[m / 2 + 1]) / 2
            printf "%d %d\n", n, median
        }'
}

# soak_judged LEVEL VALUES...: the values of LEVEL's judged rounds, one a line:
# in runs of 10 minutes or more those that start after the warm-up, its first
# round left out; in shorter runs the rounds after the lap.
soak_judged() {
    local level=$1 r first=yes
    shift
    local values=("$@")
    for r in "${!values[@]}"; do
        [[ "${round_levels[r]}" == "$level" ]] || continue
        if ((long)) && [[ -z "$first" ]] && ((round_starts[r] >= warmup * 60)); then
            echo "${values[r]}"
        elif ((!long && r >= lap_rounds)); then
            echo "${values[r]}"
        fi
        first=""
    done
}

# soak_verdict FAILURE...: the last line of a run that played to its end.
soak_verdict() {
    local f
    if (($#)); then
        for f in "$@"; do
            echo "FAIL: $f; rounds in $rounds_csv" >&2
        done
        exit 1
    fi
}

visited=()
for level in "${levels[@]}"; do
    played_rounds=0
    for r in "${!round_levels[@]}"; do
        [[ "${round_levels[r]}" != "$level" ]] || played_rounds=$((played_rounds + 1))
    done
    ((played_rounds > 0)) || e2e_fail "$level was never played (${#round_levels[@]} rounds)"
    visited+=("$level: $played_rounds")
done
visits=$(printf '%s, ' "${visited[@]}")
judged=()
failures=()
if ((long)); then
    for level in "${levels[@]}"; do
        read -r n first final growth _ < <(soak_judged "$level" "${round_lows[@]}" | soak_fit)
        read -r _ heap_first heap_final heap_growth _ < <(soak_judged "$level" "${round_heap_lows[@]}" | soak_fit)
        if ((n < 2)); then
            failures+=("$level played $n round(s) to judge (after the warm-up of $warmup min and its first round), not two (rounds of ${round_s}s)")
            continue
        fi
        echo "soak: $level, $n judged rounds, lowest rss, fitted line: $first KiB in the first, $final KiB in the last: $growth %"
        echo "soak: $level, $n judged rounds, lowest live heap, fitted line: $heap_first KiB in the first, $heap_final KiB in the last: $heap_growth %"
        judged+=("$level over $n rounds: heap $heap_growth %, rss $growth %")
        awk -v g="$growth" -v m="$max_growth" 'BEGIN { exit !(g < m) }' ||
            failures+=("$level: resident memory grew by $growth % over its $n rounds after the warm-up (limit $max_growth %)")
        awk -v g="$heap_growth" -v m="$max_growth" 'BEGIN { exit !(g < m) }' ||
            failures+=("$level: the live heap grew by $heap_growth % over its $n rounds after the warm-up (limit $max_growth %)")
    done
    soak_verdict "${failures[@]}"
    growths=$(printf '%s; ' "${judged[@]}")
    echo "PASS soak ($minutes min, ${#round_levels[@]} rounds: ${visits%, }; growth after the warm-up of $warmup min," \
        "limit $max_growth %: ${growths%; })"
else
    read -r n slope < <(soak_judged "$judged_level" "${round_lows[@]}" | soak_slope)
    read -r _ heap_slope < <(soak_judged "$judged_level" "${round_heap_lows[@]}" | soak_slope)
    # The plan never drops a round, so this only fails when the plan itself is wrong.
    ((n == judged_rounds)) || e2e_fail "$judged_level played $n judged round(s) after the lap, not $judged_rounds"
    lows=$(soak_judged "$judged_level" "${round_heap_lows[@]}" | paste -sd ' ')
    echo "soak: $judged_level, $n judged rounds, lowest rss: $slope KiB per round (not judged)"
    echo "soak: $judged_level, $n judged rounds, lowest live heap ($lows KiB): $heap_slope KiB per round"
    if ((n < min_judged)); then
        echo "PASS soak ($minutes min, ${#round_levels[@]} rounds: ${visits%, }; growth not judged:" \
            "$n rounds of $judged_level after the lap, a verdict takes $min_judged)"
        exit 0
    fi
    ((heap_slope < max_slope)) ||
        failures+=("$judged_level: the live heap grew by $heap_slope KiB per round over its $n judged rounds after the lap (limit $max_slope KiB per round)")
    soak_verdict "${failures[@]}"
    echo "PASS soak ($minutes min, ${#round_levels[@]} rounds: ${visits%, }; live heap of $judged_level over $n judged rounds" \
        "after the lap: $heap_slope KiB per round, limit $max_slope)"
fi

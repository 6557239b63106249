#!/usr/bin/env bash
# Battles without a window (--headless), run with no X display at all: a
# battle with a fixed seed and both tanks on the autopilot ends the same,
# to the last bit of its state hash, whether the cooked-mesh cache starts
# empty or warm; another seed is another battle; the harbour level runs its
# two minutes on the hard autopilot; and wrong command lines stop with one
# "Error: " line and status 2.
source "$(dirname "$0")/lib/common.bash"
e2e_init_work "$1"
game=$(e2e_data_tree)
cooked="$game/data/model_cooked"
sizes="$game/data/config/cookedmodel_config"
rm -rf "$cooked" "$sizes"
mkdir -p "$cooked" "$sizes"

# headless NAME ARG...: runs the game in the scratch tree with no display and
# waits for it to end. Its standard output and error are kept as NAME.out and
# NAME.err (and as game.out and game.err, which e2e_fail shows); its exit
# status lands in RUN_STATUS.
headless() {
    local name=$1 preload=()
    shift
    ((${#E2E_PRELOAD[@]})) && preload=("LD_PRELOAD=${E2E_PRELOAD[*]}")
    RUN_STATUS=0
    (cd "$game" && exec timeout 250 env -u DISPLAY "${preload[@]}" "${E2E_GAME_ENV[@]}" "$GAME_BIN" "$@") \
        >"$E2E_WORK/game.out" 2>"$E2E_WORK/game.err" || RUN_STATUS=$?
    cp "$E2E_WORK/game.out" "$E2E_WORK/$name.out"
    cp "$E2E_WORK/game.err" "$E2E_WORK/$name.err"
    e2e_sanitizer_clean "$E2E_WORK/game.out" "$E2E_WORK/game.err" || e2e_fail "$name: a sanitizer report (above)"
}

# result NAME: the lines that say how the battle went and where it ended.
result() {
    grep -E '^(Headless battle|Battle over|Time ran out|Ticks|Scores|State hash): ' "$E2E_WORK/$1.out" || true
}

# check_battle NAME SECONDS: the run ended with status 0 and nothing on
# standard error, named its battle, and either was decided within SECONDS
# game seconds or ran out of time exactly at SECONDS; then the ticks, the
# scores and a state hash.
check_battle() {
    local name=$1 seconds=$2 lines limit ticks
    limit=$((seconds * 60))
    [[ $RUN_STATUS -eq 0 ]] || e2e_fail "$name: status $RUN_STATUS"
    [[ ! -s "$E2E_WORK/$name.err" ]] || e2e_fail "$name: standard error: $(head -n 3 "$E2E_WORK/$name.err")"
    lines=$(result "$name")
    grep -q '^Headless battle: ' <<<"$lines" || e2e_fail "$name: no \"Headless battle\" line"
    ticks=$(sed -n 's/^Ticks: \([0-9]*\) ([0-9.]* game seconds)$/\1/p' <<<"$lines")
    [[ "$ticks" =~ ^[0-9]+$ ]] || e2e_fail "$name: no \"Ticks: N (S game seconds)\" line"
    if grep -q '^Battle over: ' <<<"$lines"; then
        ((ticks > 0 && ticks <= limit)) || e2e_fail "$name: decided after $ticks ticks, limit $limit"
    elif grep -qx "Time ran out: no result after $seconds.00 game seconds" <<<"$lines"; then
        ((ticks == limit)) || e2e_fail "$name: time ran out after $ticks ticks, not $limit"
    else
        e2e_fail "$name: neither \"Battle over\" nor \"Time ran out\" after $seconds game seconds"
    fi
    grep -qE '^Scores: -?[0-9]+ and -?[0-9]+$' <<<"$lines" || e2e_fail "$name: no \"Scores\" line"
    grep -qE '^State hash: [0-9a-f]{16}$' <<<"$lines" || e2e_fail "$name: no \"State hash\" line"
    echo "$name: $(grep -v '^Headless battle' <<<"$lines" | paste -sd ';' | sed 's/;/; /g')"
}

# 1. A fixed seed, both tanks on the autopilot, an empty mesh cache: the run
# cooks every hull it needs; the same command on the cache it left ends in
# the same state.
battle=(--headless --level lvl1.lvl --players 2 --autopilot normal --seconds 30)
headless cold "${battle[@]}" --seed 4711
check_battle cold 30
[[ -n "$(ls -A "$cooked")" && -n "$(ls -A "$sizes")" ]] || e2e_fail "cold: the run left no cooked meshes behind"
headless warm "${battle[@]}" --seed 4711
check_battle warm 30
if [[ "$(result cold)" != "$(result warm)" ]]; then
    diff <(result cold) <(result warm) >&2 || true
    e2e_fail "the battle on a warm mesh cache ended unlike the one on an empty cache"
fi

# 2. Another seed, everything else the same: the computer's brains draw other
# numbers, so the battle ends in another state.
headless other "${battle[@]}" --seed 4712
check_battle other 30
[[ "$(result other | grep '^State hash: ')" != "$(result warm | grep '^State hash: ')" ]] ||
    e2e_fail "seeds 4711 and 4712 ended in the same state"

# 3. The harbour level, two minutes on the hard autopilot, a seed the game draws.
start=$SECONDS
headless harbour --headless --level lvl4.lvl --autopilot hard --seconds 120
check_battle harbour 120
echo "harbour: $((SECONDS - start)) s of wall time"

# 4. Wrong command lines: one "Error: " line naming the problem on standard
# error, nothing else, status 2, no battle.
check_usage() {
    local expect=$1
    shift
    headless usage "$@"
    [[ $RUN_STATUS -eq 2 ]] || e2e_fail "$*: status $RUN_STATUS, not 2"
    [[ $(wc -l <"$E2E_WORK/usage.err") -eq 1 ]] || e2e_fail "$*: not exactly one line on standard error"
    grep -q "^Error: .*$expect" "$E2E_WORK/usage.err" || e2e_fail "$*: no Error line naming $expect"
    ! grep -q 'Headless battle: ' "$E2E_WORK/usage.out" || e2e_fail "$*: a battle started"
    echo "$*: status 2, $(cat "$E2E_WORK/usage.err")"
}
check_usage "--level" --headless
check_usage "--seed" --headless --level lvl1.lvl --seed abc
check_usage "--headless" --level lvl1.lvl --autopilot hard
check_usage "data/level/nosuch.lvl" --headless --level nosuch.lvl
echo "PASS headless"

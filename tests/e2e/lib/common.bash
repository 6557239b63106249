# Shared helpers of the end-to-end tests: a private X display, starting the
# real game in a data tree, finding its window, screenshots and comparisons.
# Each test script sources this file and calls `e2e_init "$1"` with the path
# of the panzerfeld binary.

set -Eeuo pipefail
unset PANZERFELD_DATA # the game finds the data of the folder each test starts it in

E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
E2E_WORK=""
E2E_XVFB_PID=""
GAME_PID=""
GAME_WID=""
E2E_GAME_ENV=()  # settings every start of the game gets (see e2e_sanitizer_env)
E2E_PRELOAD=()   # libraries the game is started with preloaded, in order

e2e_fail() {
    echo "FAIL: $*" >&2
    if [[ -n "$GAME_PID" ]] && ! kill -0 "$GAME_PID" 2>/dev/null; then
        local status=0
        wait "$GAME_PID" || status=$?
        echo "(the game had ended with status $status)" >&2
        GAME_PID=""
    fi
    if [[ -n "$E2E_WORK" && -f "$E2E_WORK/game.out" ]]; then
        echo "--- game output:" >&2
        tail -n 40 "$E2E_WORK/game.out" >&2 || true
        if [[ -f "$E2E_WORK/game.err" ]]; then
            echo "--- its standard error:" >&2
            tail -n 20 "$E2E_WORK/game.err" >&2 || true
        fi
        [[ -f "$E2E_WORK/xdotool.err" ]] && tail -n 5 "$E2E_WORK/xdotool.err" >&2
    fi
    exit 1
}

# e2e_cleanup [STATUS]: ends the game and the X server, removes the work
# folder and exits with STATUS (default: the script's own), or with 1 when
# the game's output holds a sanitizer report.
e2e_cleanup() {
    local status=${1:-$?}
    [[ -n "$GAME_PID" ]] && kill "$GAME_PID" 2>/dev/null || true
    if ((${#E2E_PRELOAD[@]})) && [[ -n "$E2E_WORK" ]] && ! e2e_sanitizer_clean; then
        status=1
    fi
    [[ -n "$E2E_XVFB_PID" ]] && kill "$E2E_XVFB_PID" 2>/dev/null || true
    [[ -n "$E2E_WORK" ]] && rm -rf "$E2E_WORK"
    exit "$status"
}

# e2e_init_work BINARY: the game binary, a work folder of our own and the
# sanitizer settings, but no X display: enough for runs that open no window
# (--headless battles, wrong command lines).
e2e_init_work() {
    GAME_BIN=$(realpath "$1")
    [[ -x "$GAME_BIN" ]] || e2e_fail "no game binary at $1"
    E2E_WORK=$(mktemp -d /tmp/panzer-e2e.XXXXXX)
    trap e2e_cleanup EXIT
    e2e_sanitizer_env
    trap 'e2e_fail "line $LINENO: \"$BASH_COMMAND\" failed"' ERR
}

# e2e_init BINARY: a work folder and an X display of our own, so tests never
# share a window stack or a pointer.
e2e_init() {
    e2e_init_work "$1"
    # The server picks a free display number itself and writes it, with a line end, once it
    # takes connections: tests started side by side can never end up on the same display.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$E2E_WORK/display" >/dev/null 2>&1 &
    E2E_XVFB_PID=$!
    local number=""
    for _ in $(seq 100); do
        if (($(wc -l <"$E2E_WORK/display" 2>/dev/null || echo 0) > 0)); then
            number=$(head -n 1 "$E2E_WORK/display")
            break
        fi
        kill -0 "$E2E_XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    [[ "$number" =~ ^[0-9]+$ ]] || e2e_fail "could not start Xvfb"
    export DISPLAY=":$number"
    xdpyinfo >/dev/null 2>&1 || e2e_fail "Xvfb on $DISPLAY does not answer"
}

# e2e_sanitizer_env: when the game binary is built with AddressSanitizer,
# fills E2E_PRELOAD and E2E_GAME_ENV so that its runs are deterministic and
# every report names its source (nothing for a plain build):
#   - Mesa's software renderer rasterizes in the game's own thread
#     (LP_NUM_THREADS=0) and keeps no shader cache on disk, whose writer is a
#     thread too (MESA_SHADER_CACHE_DISABLE). LeakSanitizer stops and scans
#     every thread at exit, and a driver thread caught between states can
#     crash that scan; rasterizing in one thread also frees each frame's
#     geometry before the next, so the heap shows what the game holds.
#   - Mesa's driver is preloaded (tests/support/sanitizer_preload.sh says
#     why): its thread-local variables sit in the static TLS block, and it is
#     never unloaded, so its own leaks keep a name the suppressions match.
#   - The suppressions of tests/support/lsan.supp less the one for libglut:
#     the game runs inside GLUT's callbacks, so libglut lies under every
#     allocation it makes and would hide all of its leaks.
# A run whose output holds a sanitizer report fails (see e2e_sanitizer_clean).
e2e_sanitizer_env() {
    local preload
    preload=$(bash "$E2E_ROOT/tests/support/sanitizer_preload.sh" "$GAME_BIN") || e2e_fail "no preload for $GAME_BIN"
    [[ -n "$preload" ]] || return 0
    grep -v '^leak:libglut$' "$E2E_ROOT/tests/support/lsan.supp" >"$E2E_WORK/lsan.supp"
    read -r -a E2E_PRELOAD <<<"$preload"
    E2E_GAME_ENV=(
        LP_NUM_THREADS=0
        MESA_SHADER_CACHE_DISABLE=true
        "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:allocator_release_to_os_interval_ms=1000"
        "LSAN_OPTIONS=suppressions=$E2E_WORK/lsan.supp:print_suppressions=0"
        "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
    )
}

# e2e_sanitizer_clean [FILE...]: true unless the game's output (by default
# $E2E_WORK/game.out; else the FILEs) holds a sanitizer report, which it then
# prints.
e2e_sanitizer_clean() {
    local out
    (($#)) || set -- "$E2E_WORK/game.out"
    for out in "$@"; do
        [[ -f "$out" ]] || continue
        grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:' "$out" || continue
        echo "FAIL: the sanitizers reported a fault in the game ($(basename "$out")):" >&2
        grep -E -A 30 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:' "$out" | head -n 60 >&2
        return 1
    done
    return 0
}

# e2e_data_tree: a copy of the shipped data tree to run the game in.
e2e_data_tree() {
    local dir="$E2E_WORK/game"
    mkdir -p "$dir"
    cp -r "$E2E_ROOT/data" "$dir/"
    echo "$dir"
}

# e2e_tank NAME OWNER X Z HEADING [LIFE] [TYPE]: a vehicle record as a level file writes it (life
# 100 and the type "tank" unless given), for tests that place their own tanks.
e2e_tank() {
    printf '[VEHICLE]\nname=%s\nmodel=tank1.md2\nowner=%s\nfahrzeugtyp=%s\nweapon=cannon\n' "$1" "$2" "${7:-tank}"
    printf 'pos_x=%s\npos_y=2\npos_z=%s\nrotation=%s\nsize=1\nlife=%s\n' "$3" "$4" "$5" "${6:-100}"
}

# e2e_launch DIR [NAME=VALUE...] [-- ARG...]: starts the game in DIR in the
# background (GAME_PID), its output in $E2E_WORK/game.out; see e2e_start.
e2e_launch() {
    local dir=$1 preload=() settings=()
    shift
    while (($#)) && [[ "$1" != "--" ]]; do
        settings+=("$1")
        shift
    done
    (($#)) && shift
    ((${#E2E_PRELOAD[@]})) && preload=("LD_PRELOAD=${E2E_PRELOAD[*]}")
    (cd "$dir" && exec env "${preload[@]}" "${E2E_GAME_ENV[@]}" "${settings[@]}" "$GAME_BIN" "$@") >"$E2E_WORK/game.out" 2>&1 &
    GAME_PID=$!
}

# e2e_start DIR [NAME=VALUE...] [-- ARG...]: starts the game in DIR, waits
# for its window and then for its first frame (e2e_wait_first_frame). The
# settings go into the game's environment alone (a preload meant for the game
# must not reach the helpers the test runs); E2E_PRELOAD and E2E_GAME_ENV come
# first, so a setting named here wins. What follows "--" is the game's command
# line.
e2e_start() {
    e2e_launch "$@"
    for _ in $(seq 150); do
        GAME_WID=$(xdotool search --name '^Panzerfeld$' 2>/dev/null || true)
        GAME_WID=${GAME_WID%%$'\n'*}
        if [[ -n "$GAME_WID" ]]; then
            e2e_wait_first_frame 120
            return 0
        fi
        kill -0 "$GAME_PID" 2>/dev/null || e2e_fail "the game ended before its window opened"
        sleep 0.1
    done
    e2e_fail "no game window after 15 s"
}

# e2e_wait_first_frame SECONDS: waits until the game says it has drawn its
# first frame ("First frame drawn", once a run): until then the window shows
# what lay under it. A start with --level loads the level before its first
# frame, so this may take a while under the sanitizers. Fails after SECONDS.
e2e_wait_first_frame() {
    local deadline=$((SECONDS + $1))
    until grep -q '^First frame drawn$' "$E2E_WORK/game.out" 2>/dev/null; do
        kill -0 "$GAME_PID" 2>/dev/null || e2e_fail "the game ended before it drew its first frame"
        ((SECONDS < deadline)) || e2e_fail "the game drew no first frame within $1 s of its window opening"
        sleep 0.1
    done
}

# e2e_wait_exit SECONDS: waits for the game to end; its status lands in GAME_STATUS.
e2e_wait_exit() {
    local limit=$1
    for _ in $(seq $((limit * 10))); do
        if ! kill -0 "$GAME_PID" 2>/dev/null; then
            GAME_STATUS=0
            wait "$GAME_PID" || GAME_STATUS=$?
            GAME_PID=""
            e2e_sanitizer_clean || e2e_fail "a sanitizer report (above)"
            return 0
        fi
        sleep 0.1
    done
    e2e_fail "the game did not end within $limit s"
}

# e2e_shot FILE: a screenshot of the game window.
e2e_shot() {
    # import waits on for a window that has gone: a game that ended must fail the test, not hang it.
    timeout 30 import -window "$GAME_WID" "$1" || e2e_fail "no screenshot of the game window (has the game ended?)"
}

# e2e_rmse A B: normalised root-mean-square difference of two pictures (0..1).
e2e_rmse() {
    { compare -metric RMSE "$1" "$2" null: 2>&1 || true; } | sed -n 's/.*(\(.*\)).*/\1/p'
}

# e2e_region_rmse A B REGION...: the difference of two screenshots in each
# region (ImageMagick geometry WxH+X+Y), on one line, in the regions' order.
e2e_region_rmse() {
    local a=$1 b=$2 region
    shift 2
    for region in "$@"; do
        convert "$a" -crop "$region" +repage "$E2E_WORK/region-a.png"
        convert "$b" -crop "$region" +repage "$E2E_WORK/region-b.png"
        echo "$(e2e_rmse "$E2E_WORK/region-a.png" "$E2E_WORK/region-b.png")"
    done | paste -sd ' '
}

# e2e_pointer X Y: moves the pointer to window coordinates X, Y and waits
# until the server reports it there (a busy server may lag behind).
e2e_pointer() {
    local geometry x0 y0 target location
    geometry=$(xdotool getwindowgeometry --shell "$GAME_WID")
    x0=$(echo "$geometry" | sed -n 's/^X=//p')
    y0=$(echo "$geometry" | sed -n 's/^Y=//p')
    target="x:$((x0 + $1)) y:$((y0 + $2)) "
    for _ in $(seq 20); do
        location=$(xdotool getmouselocation 2>/dev/null || true)
        # A pointer already in place never sends the motion that "--sync" waits for.
        if [[ "$location" != "$target"* ]]; then
            xdotool mousemove --sync $((x0 + $1)) $((y0 + $2)) 2>/dev/null || true
            location=$(xdotool getmouselocation 2>/dev/null || true)
        fi
        if [[ "$location" == "$target"* ]]; then
            sleep 0.3
            return 0
        fi
        sleep 0.2
    done
    e2e_fail "the pointer did not reach $target (at $location)"
}

# e2e_click X Y: a left click at window coordinates X, Y.
e2e_click() {
    e2e_pointer "$1" "$2"
    e2e_retry xdotool click --window "$GAME_WID" 1
}

# e2e_retry COMMAND...: xdotool sometimes fails transiently on a busy X
# server; try a few times before giving up. A game that ended on the event
# (the press of an exit click) leaves its release nowhere to go: that is no
# failure of the event.
e2e_retry() {
    local attempt
    for attempt in 1 2 3 4 5; do
        "$@" 2>>"$E2E_WORK/xdotool.err" && return 0
        kill -0 "$GAME_PID" 2>/dev/null || return 0
        sleep 0.2
    done
    e2e_fail "\"$*\" failed five times"
}

# e2e_key KEY...: key presses sent to the game window.
e2e_key() {
    e2e_retry xdotool key --window "$GAME_WID" "$@"
}

# e2e_bright_pixels FILE X Y W H: how many pixels of the region are near white.
e2e_bright_pixels() {
    convert "$1" -crop "$4x$5+$2+$3" +repage -colorspace Gray -threshold 92% -format '%[fx:int(mean*w*h+0.5)]' info:
}

# e2e_start_game DATA_DIR: clicks the menu's game item (the layout's item 1)
# and starts the level that the level choice offers first (or chose last).
e2e_start_game() {
    e2e_click_item "$1" 1
    e2e_choose_level "$1"
}

# e2e_choose_level DATA_DIR: waits for the level choice that the menu's game
# item opens, leaves its picture in $E2E_WORK/level-choice.png (e2e_wait_scene
# waits for a picture unlike it) and presses Enter on it.
e2e_choose_level() {
    local menu="$E2E_WORK/menu-hover1-expected.png"
    [[ -f "$menu" ]] || python3 "$E2E_ROOT/tests/e2e/lib/menu_layout.py" "$1" 1024 768 compose "$menu" 1
    e2e_wait_screen "Level choice" 20
    e2e_wait_shot "$E2E_WORK/level-choice.png" "$menu" ">" 0.05 20 || e2e_fail "the level choice is not drawn"
    e2e_key Return
}

# e2e_click_item DATA_DIR ITEM: clicks a menu item (1 game, 2 options, 3 help,
# 4 exit, 5 highscores, 6 network game).
e2e_click_item() {
    local _item x1 y1 x2 y2
    read -r _item x1 y1 x2 y2 < <(python3 "$E2E_ROOT/tests/e2e/lib/menu_layout.py" "$1" 1024 768 rects "$2")
    e2e_click $(((x1 + x2) / 2)) $(((y1 + y2) / 2))
}

# e2e_last_screen: the last screen the game has announced ("Menu" before any).
e2e_last_screen() {
    local last
    last=$({ grep -o 'Screen: [A-Za-z ]*' "$E2E_WORK/game.out" || true; } | tail -n 1)
    echo "${last:-Screen: Menu}" | sed 's/^Screen: //'
}

# e2e_wait_screen NAMES SECONDS: waits until the last screen the game has
# announced is NAME ("Menu", "Options", "Battle", "Paused", "Result", ...) or,
# given "A|B", one of them.
e2e_wait_screen() {
    local last
    for _ in $(seq $(($2 * 10))); do
        last=$(e2e_last_screen)
        [[ "|$1|" == *"|$last|"* ]] && return 0
        sleep 0.1
    done
    e2e_fail "the screen is \"$last\", not \"$1\", after $2 s"
}

# e2e_wait_not_menu DATA_DIR FILE: waits until the window no longer shows the
# plain menu (a screen of its own is drawn) and leaves that picture in FILE.
e2e_wait_not_menu() {
    local expected="$E2E_WORK/menu-plain-expected.png"
    [[ -f "$expected" ]] || python3 "$E2E_ROOT/tests/e2e/lib/menu_layout.py" "$1" 1024 768 compose "$expected"
    e2e_wait_shot "$2" "$expected" ">" 0.05 20 || e2e_fail "the window still shows the menu"
}

# e2e_keep_shot FILE NAME: keeps a screenshot under $PANZER_SHOT_DIR (for the
# README) when that is set.
e2e_keep_shot() {
    [[ -n "${PANZER_SHOT_DIR:-}" ]] && cp "$1" "$PANZER_SHOT_DIR/$2" || true
}

# e2e_hold KEY SECONDS: holds a key down in the game window.
e2e_hold() {
    e2e_retry xdotool keydown --window "$GAME_WID" "$1"
    sleep "$2"
    e2e_retry xdotool keyup --window "$GAME_WID" "$1"
}

# e2e_wait_for PATTERN SECONDS: waits for a line of the game's output.
e2e_wait_for() {
    e2e_wait_for_count "$1" 1 "$2" ||
        e2e_fail "no \"$1\" from the game within $2 s"
}

# e2e_count PATTERN: how many times PATTERN occurs in the game's output so far
# (the game does not end every message with a newline).
e2e_count() {
    { grep -o "$1" "$E2E_WORK/game.out" || true; } | wc -l
}

# e2e_wait_for_count PATTERN COUNT SECONDS: waits until PATTERN has occurred
# COUNT times; returns non-zero after SECONDS, leaving the verdict to the caller.
e2e_wait_for_count() {
    for _ in $(seq $(($3 * 10))); do
        (($(e2e_count "$1") >= $2)) && return 0
        sleep 0.1
    done
    return 1
}

# e2e_player_key DATA_DIR NAME: the key bound to NAME in playerconfig.ini
# ("buttonup1", "shoot2", ...) as xdotool names it: a letter or digit, or one
# of the key names the game knows ("space", "up", "rctrl", "f5", ...).
e2e_player_key() {
    local key
    key=$(sed -n "s/^$2 *= *\([^ #]*\).*/\1/p" "$1/config/playerconfig.ini")
    key=${key,,}
    if [[ "$key" =~ ^[a-z0-9]$ ]]; then
        echo "$key"
        return 0
    fi
    case "$key" in
    up | down | left | right | home | end | insert) echo "${key^}" ;;
    pageup) echo Prior ;;
    pagedown) echo Next ;;
    space) echo space ;;
    enter) echo Return ;;
    tab) echo Tab ;;
    backspace) echo BackSpace ;;
    lshift) echo Shift_L ;;
    rshift) echo Shift_R ;;
    lctrl) echo Control_L ;;
    rctrl) echo Control_R ;;
    lalt) echo Alt_L ;;
    ralt) echo Alt_R ;;
    f[1-9] | f1[0-2]) echo "F${key#f}" ;;
    *) e2e_fail "player key $2 is \"$key\", which no test knows how to press" ;;
    esac
}

# e2e_hold_keys SECONDS KEY...: holds several keys down together (both players
# at once), then lets them all go.
e2e_hold_keys() {
    local seconds=$1
    shift
    e2e_retry xdotool keydown --window "$GAME_WID" "$@"
    sleep "$seconds"
    e2e_retry xdotool keyup --window "$GAME_WID" "$@"
}

# e2e_rss: the game's resident memory in KiB.
e2e_rss() {
    awk '/^VmRSS:/ { print $2 }' "/proc/$GAME_PID/status"
}

# e2e_wait_shot FILE REFERENCE OP LIMIT SECONDS: takes screenshots into FILE
# until their difference from REFERENCE (e2e_rmse) is OP ("<" or ">") LIMIT;
# returns non-zero after SECONDS, leaving the verdict to the caller.
e2e_wait_shot() {
    local deadline=$((SECONDS + $5)) rmse
    while :; do
        e2e_shot "$1"
        rmse=$(e2e_rmse "$1" "$2")
        awk -v a="$rmse" -v b="$4" -v op="$3" 'BEGIN { exit !(op == "<" ? a < b : a > b) }' && return 0
        ((SECONDS < deadline)) || return 1
        sleep 0.3
    done
}

# e2e_wait_menu DATA_DIR SECONDS: parks the pointer on no item and waits until
# the window shows the plain main menu; returns non-zero after SECONDS.
e2e_wait_menu() {
    local expected="$E2E_WORK/menu-plain-expected.png"
    [[ -f "$expected" ]] || python3 "$E2E_ROOT/tests/e2e/lib/menu_layout.py" "$1" 1024 768 compose "$expected"
    e2e_pointer 5 5
    e2e_wait_shot "$E2E_WORK/menu-now.png" "$expected" "<" 0.03 "$2"
}

# e2e_wait_battle_frame SECONDS: waits until the battle started last has drawn
# its first frame; until then the window shows whatever lay under it.
e2e_wait_battle_frame() {
    e2e_wait_for_count "Battle frame drawn" "$(e2e_count InitGL)" "$1" ||
        e2e_fail "the battle drew no frame within $1 s"
}

# e2e_wait_scene DATA_DIR FILE SECONDS: after a level start, waits for the
# battle's first frame and until the window shows something other than the
# menu and the level choice, leaving that screenshot in FILE; fails after SECONDS.
e2e_wait_scene() {
    local menu="$E2E_WORK/menu-hover1-expected.png"
    e2e_wait_battle_frame "$3"
    [[ -f "$menu" ]] || python3 "$E2E_ROOT/tests/e2e/lib/menu_layout.py" "$1" 1024 768 compose "$menu" 1
    e2e_wait_shot "$2" "$menu" ">" 0.1 "$3" || e2e_fail "still the menu on screen $3 s after the game item"
    if [[ -f "$E2E_WORK/level-choice.png" ]]; then
        e2e_wait_shot "$2" "$E2E_WORK/level-choice.png" ">" 0.1 "$3" ||
            e2e_fail "still the level choice on screen $3 s after Enter"
    fi
}

# e2e_script DIR SCRIPT [NAME=VALUE...] [-- ARG...]: runs the game in DIR
# driven by SCRIPT (`panzerfeld --script`, see docs/testing.md: inputs at
# ticks, pictures written by the game itself, the battle as fast as the
# machine goes) on the test's X display, and waits until it ends; its status
# lands in GAME_STATUS, its output in $E2E_WORK/game.out. The settings go into
# the game's environment alone, as with e2e_start; what follows "--" is the
# rest of the game's command line. A script that cannot reach a step fails
# by its own `limit`; SECONDS_LIMIT (default 300) guards against a game that hangs.
e2e_script() {
    local dir=$1 script=$2 settings=()
    shift 2
    while (($#)) && [[ "$1" != "--" ]]; do
        settings+=("$1")
        shift
    done
    (($#)) && shift
    e2e_launch "$dir" "${settings[@]}" -- --script "$script" "$@"
    e2e_wait_exit "${SECONDS_LIMIT:-300}"
}

# e2e_script_ok DIR SCRIPT [NAME=VALUE...] [-- ARG...]: e2e_script, failing
# the test unless the run went through the whole script (status 0).
e2e_script_ok() {
    e2e_script "$@"
    [[ "$GAME_STATUS" == 0 ]] || e2e_fail "the scripted run $(basename "$2") ended with status $GAME_STATUS"
    grep -q '^Script over at tick' "$E2E_WORK/game.out" || e2e_fail "the scripted run $(basename "$2") did not end"
}

# e2e_config_key DATA_DIR NAME: the key bound to NAME in playerconfig.ini
# ("buttonup1", "shoot2", ...) as the file and a script name it ("w", "space",
# "rctrl", ...).
e2e_config_key() {
    local key
    key=$(sed -n "s/^$2 *= *\([^ #]*\).*/\1/p" "$1/config/playerconfig.ini")
    [[ -n "$key" ]] || e2e_fail "no key $2 in playerconfig.ini"
    echo "${key,,}"
}

# e2e_crops_rmse A B REGION...: e2e_region_rmse's numbers, the same crops read
# straight from the files (one ImageMagick run a region instead of three).
e2e_crops_rmse() {
    local a=$1 b=$2 region
    shift 2
    for region in "$@"; do
        echo "$(e2e_rmse "$a[$region]" "$b[$region]")"
    done | paste -sd ' '
}

# e2e_expect_rmse A B OP LIMIT WHAT: prints the difference of two pictures
# (e2e_rmse) and fails saying WHAT unless it is OP ("<", ">" or "==") LIMIT.
e2e_expect_rmse() {
    local rmse
    rmse=$(e2e_rmse "$1" "$2")
    echo "$(basename "$1") against $(basename "$2"): $rmse"
    awk -v a="$rmse" -v b="$4" -v op="$3" 'BEGIN { exit !(op == "<" ? a < b : op == ">" ? a > b : a == b) }' ||
        e2e_fail "$5 ($rmse)"
}

# e2e_script_quits DIR SCRIPT [NAME=VALUE...] [-- ARG...]: e2e_script, failing
# unless the game ended itself with status 0 before the script did (Escape in
# the menu ends the program).
e2e_script_quits() {
    e2e_script "$@"
    [[ "$GAME_STATUS" == 0 ]] || e2e_fail "the game ended with status $GAME_STATUS"
    ! grep -q '^Script over' "$E2E_WORK/game.out" || e2e_fail "Escape in the menu did not end the program"
}

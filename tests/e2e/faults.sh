#!/usr/bin/env bash
# Fault injection end to end, scripted: every file the game reads at start-up
# or at the start of a level is, in turn, missing, empty, cut in half and
# replaced by as many random bytes. Each time the real game must either stop
# with a failure status or go on with a safe fallback (through a level start
# where the file is used, a short drive with a shot, back to the menu and out
# with status 0), never die of a signal or hang, and say what is wrong in one
# "Error: " line naming the file. The runs that go on are scripted runs of the
# game (--script): the same inputs at the same ticks every time, and only the
# frames the script asks for are drawn.
source "$(dirname "$0")/lib/common.bash"

# The cases take a while (each starts the game, many play a level): two workers,
# each with its own X display, share them, and each game renders in its own
# thread rather than with Mesa's threads on every core. A scripted run never
# waits for the clock, and what it costs is almost all its start-up and the
# pictures it draws, so two of them keep two cores busy (FAULTS_WORKERS=n for
# another count; FAULTS_SHARD=k/n runs every n-th case from the k-th;
# FAULTS_ONLY=regex picks table rows by file).
export LP_NUM_THREADS=0
if [[ -z "${FAULTS_SHARD:-}" ]]; then
    workers=${FAULTS_WORKERS:-2}
    logs=$(mktemp -d /tmp/panzer-faults.XXXXXX)
    pids=()
    for ((k = 0; k < workers; ++k)); do
        FAULTS_SHARD="$k/$workers" bash "$0" "$1" >"$logs/$k.log" 2>&1 &
        pids+=($!)
    done
    status=0
    for k in "${!pids[@]}"; do
        wait "${pids[$k]}" || status=1
        sed "s/^/[$k] /" "$logs/$k.log"
    done
    rm -rf "$logs"
    exit $status
fi
e2e_init "$1"

# The table: a file under data/, when the game first needs it, and what a missing
# file means.
#   start  read before the menu shows; a broken file stops start-up
#   menu   read at start-up, used (if at all) by the menu
#   level  read at start-up or level start and used by the level, so the run
#          starts the level, drives, fires, and leaves it again
# missing=error: the game needs the file and must say so when it is gone.
# missing=quiet: nothing asks for it by name, or it is rebuilt (a cooked mesh; a
# cooked mesh without its size file, though, is a broken pair and said so).
# The first level is the small arena, so that a level start takes a second, not
# half a minute; the shipped first level stays on as "other.lvl".
read -r -d '' TABLE <<'EOF' || true
config/glutconfig.ini              start error
config/playerconfig.ini            start error
config/mainmenu.ini                start error
config/fahrzeugconfig.ini          start error
config/fahrzeuge/tank.ini          start error
config/weaponconfig.ini            start error
config/weapons/cannon.ini          start error
level/lvl1.lvl                     level error
level/levels.ini                   level error
level/other.lvl                    menu  quiet
model/tank1.md2                    level error
model/crate.md2                    level error
model/rock.md2                     level error
model/bullet.md2                   level error
model/house.md2                    menu  quiet
model/tree.md2                     menu  quiet
model/wall.md2                     menu  quiet
textures/heightmap_small.png       level error
textures/ground.png                level error
textures/up.png                    level error
textures/bottom.png                level error
textures/front.png                 level error
textures/back.png                  level error
textures/left.png                  level error
textures/right.png                 level error
textures/tank1_skin.png            level error
textures/crate_skin.png            level error
textures/rock_skin.png             level error
textures/bullet_skin.png           level error
textures/Cloud.jpg                 level error
textures/Blow.jpg                  level quiet
textures/menu_background.png       menu  error
textures/menu_newgame.png          menu  error
textures/menu_newgame_hover.png    menu  error
textures/menu_options.png          menu  error
textures/menu_options_hover.png    menu  error
textures/menu_help.png             menu  error
textures/menu_help_hover.png       menu  error
textures/menu_highscores.png       menu  error
textures/menu_highscores_hover.png menu  error
textures/menu_exit.png             menu  error
textures/menu_exit_hover.png       menu  error
textures/heightmap.png             menu  quiet
textures/house_skin.png            menu  quiet
textures/tree_skin.png             menu  quiet
textures/wall_skin.png             menu  quiet
model_cooked/CM_player1.bin        level quiet
config/cookedmodel_config/CM_player1.ini level error
EOF
# A menu run points at the item whose hover picture it spoils (elsewhere for
# other files), so that the menu is drawn with it. "Blow.jpg" is the muzzle
# flash of a render mode the runs do not switch to.

# The pristine tree: the small arena as "lvl1.lvl", the shipped first level as
# "other.lvl", and a warm mesh cache from one level start with a shot fired. Its
# window is a quarter of the shipped one: what a run costs is mostly the pictures
# it draws and writes, and what is drawn, and so read, is the same at any size.
base="$E2E_WORK/base"
mkdir -p "$base"
cp -r "$E2E_ROOT/data" "$base/"
rm -rf "$base/data/model_cooked" "$base/data/config/cookedmodel_config"
sed 's/^name=lvl1\.lvl/name=other.lvl/' "$E2E_ROOT/data/level/lvl1.lvl" >"$base/data/level/other.lvl"
sed 's/^name=test_small\.lvl/name=lvl1.lvl/' "$E2E_ROOT/data/level/test_small.lvl" >"$base/data/level/lvl1.lvl"
rm "$base/data/level/test_small.lvl"
sed -i -e 's/^reswidth *=.*/reswidth = 512/' -e 's/^resheight *=.*/resheight = 384/' "$base/data/config/glutconfig.ini"
(($(grep -cE '^(reswidth = 512|resheight = 384)$' "$base/data/config/glutconfig.ini") == 2)) ||
    e2e_fail "no window size in glutconfig.ini"

# Where the menu's items lie in that window: the centre of each, by its number.
centres=()
while read -r item x1 y1 x2 y2; do
    centres[item]="$(((x1 + x2) / 2)) $(((y1 + y2) / 2))"
done < <(python3 "$E2E_ROOT/tests/e2e/lib/menu_layout.py" "$base/data" 512 384 rects)
[[ -n "${centres[1]:-}" ]] || e2e_fail "no game item on the menu"
forward=$(e2e_config_key "$base/data" buttonup1)
fire=$(e2e_config_key "$base/data" shoot1)

# spoil MODE FILE: breaks FILE the MODE way.
spoil() {
    local size
    size=$(stat -c %s "$2")
    rm -f "$2" # a new file: the tree shares the pristine copy's inodes
    case $1 in
    missing) ;;
    empty) : >"$2" ;;
    truncated) head -c $((size / 2)) "$base/data/${2#"$tree/data/"}" >"$2" ;;
    random) head -c "$size" /dev/urandom >"$2" ;;
    esac
}

# write_script PHASE POINT: the run's script. A start-up run needs no input: should
# it go on, it ends at once with status 0, which fails the case. A menu run points
# at POINT ("X Y") and draws the menu (a scripted run draws only its shots), with
# the picture of the item pointed at. A level run clicks the menu's game item, draws the level
# choice (its battlefields' pictures are made from their ground and height map) and
# starts its first level: a short drive with a shot, drawn with the shell in flight
# (a tank's gun is ready a second after the level start), then Escape to the menu.
# A level that cannot start leaves the game in the level choice, where neither
# drive nor gun keys do anything and Escape leads to the menu as well; the output
# tells afterwards which way it went. Every run that goes on ends in the menu.
write_script() {
    case $1 in
    start) echo end ;;
    menu) printf 'limit 600\npoint %s\nshot menu.png\nend\n' "$2" ;;
    level) cat <<SCRIPT ;;
limit 3600
click ${centres[1]}
on "Level choice"
shot choice.png
key enter
+12 down $forward
down $fire
+90 shot fire.png
up $forward
up $fire
key escape
on Menu
end
SCRIPT
    esac >"$E2E_WORK/case.script"
}

# run_game DIR PHASE NAME [WRAPPER...]: runs the game in DIR (through WRAPPER, if
# given) on PHASE's script. A game that stops must do so with a failure status, and
# only for a start-up file; one that goes on points at the item whose hover picture
# NAME is (if any; else nowhere), plays the level for PHASE level, and must leave
# with status 0. Sets `outcome`.
run_game() {
    local dir=$1 phase=$2 name=$3 item point="5 5"
    shift 3
    item=$(sed -n "s/^item\([0-9]\)imgover *= *${name%.png}\.png\$/\1/p" "$base/data/config/mainmenu.ini")
    [[ -z "$item" ]] || point=${centres[item]}
    write_script "$phase" "$point"
    rm -f "$E2E_WORK"/*.png
    # The error lines are counted on standard error alone: the game's own progress words on
    # standard output carry no line ends.
    (cd "$dir" && exec "$@" "$GAME_BIN" --script "$E2E_WORK/case.script") >"$E2E_WORK/game.out" 2>"$E2E_WORK/game.err" &
    GAME_PID=$!
    GAME_STATUS=0
    # A hang is what this guards against: a case takes a few seconds.
    local waited
    for ((waited = 0; waited < 1200; ++waited)); do
        kill -0 "$GAME_PID" 2>/dev/null || break
        sleep 0.05
    done
    ((waited < 1200)) || e2e_fail "$case_name: the game did not end within 60 s"
    wait "$GAME_PID" || GAME_STATUS=$?
    GAME_PID=""
    ((GAME_STATUS < 128)) || e2e_fail "$case_name: the game died of signal $((GAME_STATUS - 128))"
    if [[ "$phase" == start ]]; then
        ((GAME_STATUS != 0)) || e2e_fail "$case_name: start-up went on without its file"
        outcome="stopped with status $GAME_STATUS"
        return 0
    fi
    ((GAME_STATUS == 0)) || e2e_fail "$case_name: ended with status $GAME_STATUS (a file the game can do without stopped it)"
    grep -q 'Script over at tick [0-9]* (Menu)$' "$E2E_WORK/game.out" ||
        e2e_fail "$case_name: the run did not end in the menu"
    outcome="went on"
    if [[ "$phase" == menu ]]; then
        grep -q 'Script shot: menu.png' "$E2E_WORK/game.out" || e2e_fail "$case_name: the menu was not drawn"
        return 0
    fi
    grep -q 'Script shot: choice.png (tick [0-9]*, Level choice)$' "$E2E_WORK/game.out" ||
        e2e_fail "$case_name: the level choice was not drawn"
    if grep -q 'InitGL' "$E2E_WORK/game.out"; then
        # (A level cut short may hold no tank of player one: its battle is lost at once.)
        grep -q 'Script shot: fire.png (tick [0-9]*, \(Battle\|Result\))$' "$E2E_WORK/game.out" ||
            e2e_fail "$case_name: the battle was left before the drive and the shot"
        outcome="went on through a level"
    elif ! grep -qsE 'Level choice: 0 battlefields|Error: no level|did not load; staying' \
        "$E2E_WORK/game.out" "$E2E_WORK/game.err"; then
        e2e_fail "$case_name: the level neither started nor said why"
    fi
}

# check_errors MIN MAX TEXT: MIN to MAX "Error: " lines, each naming TEXT (a fixed
# string; a regular expression if it holds a "|"), and no crash report.
check_errors() {
    local errors
    errors=$(grep -c '^Error: ' "$E2E_WORK/game.err" || true)
    ((errors >= $1 && errors <= $2)) || e2e_fail "$case_name: $errors error lines, not $1 to $2"
    local match=-F
    [[ "$3" == *"|"* ]] && match=-E
    ! grep '^Error: ' "$E2E_WORK/game.err" | grep -vq "$match" "$3" || e2e_fail "$case_name: an error that does not name $3"
    ! grep -qE 'AddressSanitizer|runtime error:|Segmentation|Aborted' "$E2E_WORK/game.err" ||
        e2e_fail "$case_name: a crash report"
}

# report LABEL MODE STARTED: one line per case.
report() {
    printf '%-42s %-9s %4.1f s  %s; %s\n' "$1" "$2" "$((($(date +%s%N) - $3) / 100000000))e-1" "$outcome" \
        "$(grep -m1 '^Error: ' "$E2E_WORK/game.err" | cut -c1-110 || echo 'no error line')"
}

tree="$E2E_WORK/tree" # each case's own copy of the pristine tree
fresh_tree() {
    rm -rf "$tree"
    cp -al "$base" "$tree"
}

# run_case FILE PHASE EXPECT MODE
run_case() {
    local file=$1 phase=$2 expect=$3 mode=$4 name started
    case_name="$file $mode"
    name=$(basename "$file")
    started=$(date +%s%N)
    fresh_tree
    [[ -f "$tree/data/$file" ]] || e2e_fail "$case_name: no such file in the pristine tree"
    spoil "$mode" "$tree/data/$file"
    run_game "$tree" "$phase" "$name"
    if [[ "$mode" == missing && "$expect" == quiet ]]; then
        check_errors 0 0 "$name"
    elif [[ "$file" == *.lvl && "$mode" == truncated ]]; then
        # A level file has no end marker: cut between sections it is a smaller level that
        # loads. Nothing may break, and what is reported must be one line naming it.
        check_errors 0 1 "$name"
    else
        check_errors 1 1 "$name"
    fi
    report "$file" "$mode" "$started"
}

# storage_case LABEL FOLDER MOUNT-OPTIONS...: the game on a cold mesh cache whose
# FOLDER (under data/) is mounted read-only or as a tiny file system that fills
# up: the meshes are cooked in memory, the level plays, one error says so, and
# one more if the battle's replay cannot be written either (ERRORS lines, each
# naming one of the regular expression NAMES).
storage_case() {
    local label=$1 folder=$2 errors=$3 names=$4 started
    shift 4
    case_name="$label"
    started=$(date +%s%N)
    fresh_tree
    rm -rf "$tree/data/model_cooked" "$tree/data/config/cookedmodel_config"
    mkdir -p "$tree/data/model_cooked"
    # In the namespace: mount (the words before "--"), then run the game (the words after it).
    # shellcheck disable=SC2016
    run_game "$tree" level "" "${namespace[@]}" bash -c \
        'mounting=(); while [[ "$1" != -- ]]; do mounting+=("$1"); shift; done; shift; mount "${mounting[@]}" && exec "$@"' \
        mount-then-play "$@" "$tree/data/$folder" --
    check_errors "$errors" "$errors" "$names"
    report "$label" "" "$started"
}

# Warm the mesh cache of the pristine tree, so the cache files exist to be spoiled.
case_name="warm-up"
run_game "$base" level ""
[[ "$outcome" == "went on through a level" ]] || e2e_fail "warm-up: the first level did not start"
! grep -q 'Error: ' "$E2E_WORK/game.out" "$E2E_WORK/game.err" || e2e_fail "warm-up: the pristine tree gives errors"

shard=${FAULTS_SHARD%/*}
shards=${FAULTS_SHARD#*/}
index=0
cases=0
while read -r file phase expect; do
    [[ -n "$file" ]] || continue
    [[ -z "${FAULTS_ONLY:-}" || "$file" =~ $FAULTS_ONLY ]] || continue
    for mode in missing empty truncated random; do
        if ((index++ % shards == shard)); then
            run_case "$file" "$phase" "$expect" "$mode"
            cases=$((cases + 1))
        fi
    done
done <<<"$TABLE"
# A data folder that cannot take the mesh cache. Mounting needs a mount namespace of our own:
# root's, or one of a user namespace where the kernel allows it.
if [[ "$shard" == 0 && ( -z "${FAULTS_ONLY:-}" || "storage" =~ $FAULTS_ONLY ) ]]; then
    namespace=()
    if unshare -m true 2>/dev/null; then
        namespace=(unshare -m --)
    elif unshare -rm true 2>/dev/null; then
        namespace=(unshare -rm --)
    fi
    if ((${#namespace[@]})); then
        storage_case "read-only data folder" "" 2 'mesh cache|replay was not saved' --bind -o ro "$tree/data"
        storage_case "full mesh cache folder" model_cooked 1 'mesh cache' -t tmpfs -o size=8k tmpfs
        cases=$((cases + 2))
    else
        echo "SKIP: no mount namespace here for the read-only and full data folder cases"
    fi
fi
echo "PASS faults ($cases cases)"

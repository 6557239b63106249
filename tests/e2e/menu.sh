#!/usr/bin/env bash
# The main menu end to end: the real game under Xvfb shows the background and
# the six items where the layout puts them, hovering switches an item to its
# hover picture, Escape and the exit item end the program with status 0, and a
# broken data tree or command line stops it with an "Error: " line and a
# failure status.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$1"
layout="$E2E_ROOT/tests/e2e/lib/menu_layout.py"

# The tolerance allows for texture filtering (pictures are resampled to
# power-of-two textures); a layout off by a few pixels exceeds it.
max_rmse=0.03

game=$(e2e_data_tree)
e2e_start "$game"
e2e_pointer 5 5 # away from every item

# A menu nobody touches rests: well under half a core, not a busy loop.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$GAME_PID/stat"; }
before=$(cpu_ticks)
sleep 3
used=$(($(cpu_ticks) - before))
echo "idle menu: $used of $((3 * $(getconf CLK_TCK))) clock ticks"
((used < 3 * $(getconf CLK_TCK) / 2)) || e2e_fail "the idle menu keeps a core busy ($used ticks in 3 s)"
e2e_shot "$E2E_WORK/menu.png"
python3 "$layout" "$game/data" 1024 768 compose "$E2E_WORK/expected.png"
python3 "$layout" "$game/data" 1024 768 compose "$E2E_WORK/shifted.png" 0 12
rmse=$(e2e_rmse "$E2E_WORK/menu.png" "$E2E_WORK/expected.png")
shifted=$(e2e_rmse "$E2E_WORK/menu.png" "$E2E_WORK/shifted.png")
echo "menu vs layout: $rmse; vs items shifted 12 px: $shifted"
awk -v a="$rmse" -v m="$max_rmse" 'BEGIN { exit !(a < m) }' || e2e_fail "menu differs from its layout ($rmse)"
awk -v a="$rmse" -v b="$shifted" 'BEGIN { exit !(a < b) }' || e2e_fail "a shifted layout matches as well"

# Hover each item in turn: only the one under the pointer changes picture.
while read -r item x1 y1 x2 y2; do
    e2e_pointer $(((x1 + x2) / 2)) $(((y1 + y2) / 2))
    python3 "$layout" "$game/data" 1024 768 compose "$E2E_WORK/expected$item.png" "$item"
    e2e_wait_shot "$E2E_WORK/hover$item.png" "$E2E_WORK/expected$item.png" "<" "$max_rmse" 10 || true
    with=$(e2e_rmse "$E2E_WORK/hover$item.png" "$E2E_WORK/expected$item.png")
    without=$(e2e_rmse "$E2E_WORK/hover$item.png" "$E2E_WORK/expected.png")
    echo "hover $item: $with (plain layout: $without)"
    awk -v a="$with" -v b="$without" 'BEGIN { exit !(a < b) }' || e2e_fail "item $item shows no hover picture"
done < <(python3 "$layout" "$game/data" 1024 768 rects)

# The game item without a first level keeps the menu and says why.
read -r _ gx1 gy1 gx2 gy2 < <(python3 "$layout" "$game/data" 1024 768 rects 1)
if [[ ! -f "$game/data/level/lvl1.lvl" ]]; then
    e2e_click $(((gx1 + gx2) / 2)) $(((gy1 + gy2) / 2))
    e2e_wait_for 'lvl1.lvl' 10
    kill -0 "$GAME_PID" 2>/dev/null || e2e_fail "the game item ended the program"
fi

# Escape ends the program cleanly.
e2e_key Escape
e2e_wait_exit 10
[[ "$GAME_STATUS" == 0 ]] || e2e_fail "Escape ended the program with status $GAME_STATUS"

# So does the exit item.
e2e_start "$game"
read -r _ x1 y1 x2 y2 < <(python3 "$layout" "$game/data" 1024 768 rects 4)
e2e_click $(((x1 + x2) / 2)) $(((y1 + y2) / 2))
e2e_wait_exit 10
[[ "$GAME_STATUS" == 0 ]] || e2e_fail "the exit item ended the program with status $GAME_STATUS"

# A broken data tree: one "Error: " line naming the problem, a failure status, no window.
check_broken() {
    local what=$1 expect=$2 status=0
    (cd "$game" && timeout 20 "$GAME_BIN") >"$E2E_WORK/broken.out" 2>&1 || status=$?
    [[ $status -ne 0 && $status -lt 124 ]] || e2e_fail "$what: status $status"
    grep -q "^Error: .*$expect" "$E2E_WORK/broken.out" || e2e_fail "$what: no Error line naming $expect"
    [[ $(grep -c '^Error: ' "$E2E_WORK/broken.out") -eq 1 ]] || e2e_fail "$what: more than one Error line"
    echo "$what: status $status, $(grep '^Error: ' "$E2E_WORK/broken.out")"
}
mv "$game/data/config/mainmenu.ini" "$game/data/config/mainmenu.ini.bak"
check_broken "missing mainmenu.ini" "mainmenu.ini"
grep -v '^definitionresy' "$game/data/config/mainmenu.ini.bak" >"$game/data/config/mainmenu.ini"
check_broken "mainmenu.ini without definitionresy" "definitionresy"
mv "$game/data/config/mainmenu.ini.bak" "$game/data/config/mainmenu.ini"
sed -i 's/^windowname.*//' "$game/data/config/glutconfig.ini"
check_broken "glutconfig.ini without windowname" "windowname"
rm "$game/data/config/playerconfig.ini"
check_broken "missing playerconfig.ini" "playerconfig.ini"
rm "$game/data/config/fahrzeugconfig.ini"
check_broken "missing fahrzeugconfig.ini" "fahrzeugconfig.ini"

# A wrong command line: one "Error: " line naming it and status 2, before any window.
check_usage() {
    local expect=$1 status=0
    shift
    (cd "$E2E_ROOT" && DISPLAY= timeout 20 "$GAME_BIN" "$@") >"$E2E_WORK/usage.out" 2>&1 || status=$?
    [[ $status -eq 2 ]] || e2e_fail "$*: status $status, not 2"
    grep -q "^Error: .*$expect" "$E2E_WORK/usage.out" || e2e_fail "$*: no Error line naming $expect"
    [[ $(grep -c '^Error: ' "$E2E_WORK/usage.out") -eq 1 ]] || e2e_fail "$*: more than one Error line"
    echo "$*: status $status, $(grep '^Error: ' "$E2E_WORK/usage.out")"
}
check_usage "data/level/nosuch.lvl" --level nosuch.lvl
check_usage "--players" --level lvl1.lvl --players 5
check_usage "--level" --level

# No display at all.
status=0
(cd "$E2E_ROOT" && DISPLAY= timeout 20 "$GAME_BIN") >"$E2E_WORK/nodisplay.out" 2>&1 || status=$?
[[ $status -ne 0 && $status -lt 124 ]] || e2e_fail "no display: status $status"
grep -q '^Error: .*display' "$E2E_WORK/nodisplay.out" || e2e_fail "no display: no Error line"
echo "PASS menu"

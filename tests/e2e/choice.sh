#!/usr/bin/env bash
# The level choice end to end: the menu's game item opens it with the
# battlefields of levels.ini (a listed file that is missing gives one error
# line at start-up); an arrow chooses the next level and its picture changes;
# "1 player" is kept in settings.ini; Escape returns to the menu and the
# choice stays; Enter starts the chosen level with the chosen players.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$1"
game=$(e2e_data_tree)
levels="$game/data/level"
# A second battlefield on another ground, and an index that names a file that is not there.
sed -e 's/^name=lvl1.lvl/name=second.lvl/' -e 's/^bgpicture=.*/bgpicture=wall_skin.png/' \
    "$levels/lvl1.lvl" >"$levels/second.lvl"
cp "$levels/levels.ini" "$E2E_WORK/levels.ini"
printf '%s\n' 'lvl1.lvl = River Valley' 'gone.lvl' 'second.lvl = Second Field' >"$levels/levels.ini"

e2e_start "$game"
errors=$(grep -c 'Error: ' "$E2E_WORK/game.out" || true)
[[ "$errors" == 1 ]] || e2e_fail "$errors error lines at start-up, not one for gone.lvl"
grep 'Error: ' "$E2E_WORK/game.out" | grep -q 'gone.lvl' || e2e_fail "the error line does not name gone.lvl"

# The picture sits in the right half: compare that square alone.
picture() {
    convert "$1" -crop 230x230+632+260 +repage "$2"
}

e2e_click_item "$game/data" 1
e2e_wait_screen "Level choice" 20
python3 "$E2E_ROOT/tests/e2e/lib/menu_layout.py" "$game/data" 1024 768 compose "$E2E_WORK/menu-hover1.png" 1
e2e_wait_shot "$E2E_WORK/first.png" "$E2E_WORK/menu-hover1.png" ">" 0.05 20 || e2e_fail "the level choice is not drawn"
e2e_key Right
e2e_wait_shot "$E2E_WORK/second.png" "$E2E_WORK/first.png" ">" 0.01 10 || e2e_fail "Right changed nothing"
picture "$E2E_WORK/first.png" "$E2E_WORK/first-picture.png"
picture "$E2E_WORK/second.png" "$E2E_WORK/second-picture.png"
changed=$(e2e_rmse "$E2E_WORK/first-picture.png" "$E2E_WORK/second-picture.png")
echo "the level's picture after Right: $changed"
awk -v a="$changed" 'BEGIN { exit !(a > 0.1) }' || e2e_fail "the picture did not change with the level"

e2e_key 1 Escape
e2e_wait_screen Menu 10
e2e_wait_for "Players saved: 1" 10
grep -q '^players = 1$' "$game/data/config/settings.ini" || e2e_fail "settings.ini does not keep 1 player"
kill -0 "$GAME_PID" 2>/dev/null || e2e_fail "Escape on the level choice ended the program"

e2e_click_item "$game/data" 1
e2e_wait_screen "Level choice" 20
e2e_key Return
e2e_wait_for "Level: second.lvl (data/level/second.lvl, 1 player)" 30
e2e_wait_screen Battle 30
e2e_key Escape
e2e_wait_screen Menu 10
e2e_key Escape
e2e_wait_exit 10
[[ "$GAME_STATUS" == 0 ]] || e2e_fail "the game ended with status $GAME_STATUS"

# The README's screenshot shows the shipped battlefields.
if [[ -n "${PANZER_SHOT_DIR:-}" ]]; then
    cp "$E2E_WORK/levels.ini" "$levels/levels.ini"
    rm -f "$game/data/config/settings.ini" # two players, as a first start shows it
    e2e_start "$game"
    e2e_click_item "$game/data" 1
    e2e_wait_screen "Level choice" 20
    e2e_wait_shot "$E2E_WORK/shipped.png" "$E2E_WORK/menu-hover1.png" ">" 0.05 20 || e2e_fail "no level choice"
    e2e_keep_shot "$E2E_WORK/shipped.png" screen-level-choice.png
    e2e_key Escape
    e2e_wait_screen Menu 10
    e2e_key Escape
    e2e_wait_exit 10
fi
echo "PASS choice"

#!/usr/bin/env bash
# The level choice end to end, scripted: the menu's game item opens it with
# the battlefields of levels.ini (a listed file that is missing gives one
# error line at start-up); an arrow chooses the next level and its picture
# changes; "1 player" is kept in settings.ini; Escape returns to the menu and
# the choice stays; Enter starts the chosen level with the chosen players.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$1"
game=$(e2e_data_tree)
levels="$game/data/level"
# A second battlefield on another ground, and an index that names a file that is not there.
sed -e 's/^name=lvl1.lvl/name=second.lvl/' -e 's/^bgpicture=.*/bgpicture=wall_skin.png/' \
    "$levels/lvl1.lvl" >"$levels/second.lvl"
cp "$levels/levels.ini" "$E2E_WORK/levels.ini"
printf '%s\n' 'lvl1.lvl = River Valley' 'gone.lvl' 'second.lvl = Second Field' >"$levels/levels.ini"
python3 "$E2E_ROOT/tests/e2e/lib/menu_layout.py" "$game/data" 1024 768 compose "$E2E_WORK/menu-hover1.png" 1

# changed LIMIT A B: the pictures differ by more than LIMIT.
changed() {
    local rmse
    rmse=$(e2e_rmse "$2" "$3")
    echo "$(basename "$2") against $(basename "$3"): $rmse"
    awk -v a="$rmse" -v b="$1" 'BEGIN { exit !(a > b) }'
}

# The pointer stays where the game item's click left it, as a hand leaves it.
item=$(python3 "$E2E_ROOT/tests/e2e/lib/menu_layout.py" "$game/data" 1024 768 rects 1 |
    awk '{ printf "%d %d", ($2 + $4) / 2, ($3 + $5) / 2 }')
cat >"$E2E_WORK/choice.script" <<SCRIPT
limit 3600
on Menu
point $item
click 1
on "Level choice"
shot first.png
key right
shot second.png
key 1
+1 key escape
on Menu
click 1
on "Level choice"
key enter
on Battle
key escape
on Menu
key escape
+60 end # not reached: Escape in the menu ends the program
SCRIPT
e2e_script_quits "$game" "$E2E_WORK/choice.script"

# Start-up: everything the game wrote before it announced its first screen.
sed '/Screen: /q' "$E2E_WORK/game.out" >"$E2E_WORK/start-up.out"
errors=$(grep -c 'Error: ' "$E2E_WORK/start-up.out" || true)
[[ "$errors" == 1 ]] || e2e_fail "$errors error lines at start-up, not one for gone.lvl"
grep 'Error: ' "$E2E_WORK/start-up.out" | grep -q 'gone.lvl' || e2e_fail "the error line does not name gone.lvl"

changed 0.05 "$E2E_WORK/first.png" "$E2E_WORK/menu-hover1.png" || e2e_fail "the level choice is not drawn"
changed 0.01 "$E2E_WORK/second.png" "$E2E_WORK/first.png" || e2e_fail "Right changed nothing"
# The picture sits in the right half: compare that square alone.
convert "$E2E_WORK/first.png" -crop 230x230+632+260 +repage "$E2E_WORK/first-picture.png"
convert "$E2E_WORK/second.png" -crop 230x230+632+260 +repage "$E2E_WORK/second-picture.png"
changed 0.1 "$E2E_WORK/first-picture.png" "$E2E_WORK/second-picture.png" ||
    e2e_fail "the picture did not change with the level"

# "1 player" is saved as the choice is left, before the second visit starts a battle.
saved=$(grep -n -m 1 'Players saved: 1' "$E2E_WORK/game.out" | cut -d: -f1)
[[ -n "$saved" ]] || e2e_fail "no \"Players saved: 1\" from the game"
started=$(grep -n -m 1 '^Level: ' "$E2E_WORK/game.out" | cut -d: -f1)
((saved < ${started:-0})) || e2e_fail "the players were not saved when the choice was left"
grep -q '^players = 1$' "$game/data/config/settings.ini" || e2e_fail "settings.ini does not keep 1 player"
grep -q '^Level: second.lvl (data/level/second.lvl, 1 player)$' "$E2E_WORK/game.out" ||
    e2e_fail "Enter did not start the level chosen before with one player"
((started == $(grep -n '^Level: ' "$E2E_WORK/game.out" | cut -d: -f1 | tail -n 1))) || e2e_fail "more than one battle started"

# The README's screenshot shows the shipped battlefields.
if [[ -n "${PANZER_SHOT_DIR:-}" ]]; then
    cp "$E2E_WORK/levels.ini" "$levels/levels.ini"
    rm -f "$game/data/config/settings.ini" # two players, as a first start shows it
    cat >"$E2E_WORK/shipped.script" <<SCRIPT
limit 600
on Menu
point $item
click 1
on "Level choice"
shot shipped.png
end
SCRIPT
    e2e_script_ok "$game" "$E2E_WORK/shipped.script"
    changed 0.05 "$E2E_WORK/shipped.png" "$E2E_WORK/menu-hover1.png" || e2e_fail "no level choice"
    e2e_keep_shot "$E2E_WORK/shipped.png" screen-level-choice.png
fi
echo "PASS choice"

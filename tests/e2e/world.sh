#!/usr/bin/env bash
# The world end to end, scripted: the menu's game item opens the level
# choice, whose Enter starts "lvl1.lvl" (the first battlefield of
# levels.ini), the scene is drawn, player one's keys drive the tank (the
# following camera sees the world move), Escape returns to the menu, and a
# second game starts and runs as well as the first; Escape in the menu then
# ends the program cleanly.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$1"
layout="$E2E_ROOT/tests/e2e/lib/menu_layout.py"
game=$(e2e_data_tree)
forward=$(e2e_config_key "$game/data" buttonup1)
turn=$(e2e_config_key "$game/data" buttonright1)
python3 "$layout" "$game/data" 1024 768 compose "$E2E_WORK/menu-hover1.png" 1
python3 "$layout" "$game/data" 1024 768 compose "$E2E_WORK/menu-plain.png"

# above LIMIT A B / below LIMIT A B: the pictures' difference is above or below LIMIT.
above() {
    local rmse
    rmse=$(e2e_rmse "$2" "$3")
    echo "$(basename "$2") against $(basename "$3"): $rmse"
    awk -v a="$rmse" -v b="$1" 'BEGIN { exit !(a > b) }'
}
below() {
    local rmse
    rmse=$(e2e_rmse "$2" "$3")
    echo "$(basename "$2") against $(basename "$3"): $rmse"
    awk -v a="$rmse" -v b="$1" 'BEGIN { exit !(a < b) }'
}

# Each round: the game item with the pointer on it, the level choice, its
# Enter; the battle's first picture, two seconds forward and one to the right,
# half a second more and a picture; Escape and the menu with the pointer on
# no item. After the second round Escape leaves the program.
{
    echo "limit 3600"
    for round in 1 2; do
        echo "on Menu"
        echo "$(python3 "$layout" "$game/data" 1024 768 rects 1 | awk '{ printf "point %d %d", ($2 + $4) / 2, ($3 + $5) / 2 }')"
        echo "click 1"
        echo 'on "Level choice"'
        echo "shot choice$round.png"
        echo "key enter"
        echo "on Battle"
        echo "shot start$round.png"
        echo "down $forward"
        echo "+120 up $forward"
        echo "down $turn"
        echo "+60 up $turn"
        echo "+30 shot driven$round.png"
        echo "key escape"
        echo "on Menu"
        echo "point 5 5"
        echo "shot menu$round.png"
    done
    echo "key escape"
    echo "+60 end # not reached: Escape in the menu ends the program"
} >"$E2E_WORK/world.script"
e2e_script_quits "$game" "$E2E_WORK/world.script"
for round in 1 2; do
    shot=$(grep -c "^Script shot: menu$round.png" "$E2E_WORK/game.out" || true)
    ((shot == 1)) || e2e_fail "round $round did not come back to the menu"
    level=$(grep '^Level: ' "$E2E_WORK/game.out" | sed -n "${round}p")
    [[ "$level" == "Level: lvl1.lvl "* ]] || e2e_fail "round $round: the level choice started \"$level\", not lvl1.lvl"
    above 0.05 "$E2E_WORK/choice$round.png" "$E2E_WORK/menu-hover1.png" || e2e_fail "round $round: the level choice is not drawn"
    above 0.1 "$E2E_WORK/start$round.png" "$E2E_WORK/menu-hover1.png" || e2e_fail "round $round: still the menu on screen at the start"
    above 0.1 "$E2E_WORK/start$round.png" "$E2E_WORK/choice$round.png" ||
        e2e_fail "round $round: still the level choice on screen at the start"
    above 0.02 "$E2E_WORK/start$round.png" "$E2E_WORK/driven$round.png" || e2e_fail "round $round: driving changed nothing"
    below 0.03 "$E2E_WORK/menu$round.png" "$E2E_WORK/menu-plain.png" || e2e_fail "round $round: Escape did not return to the menu"
    echo "round $round: back in the menu"
done
echo "PASS world"

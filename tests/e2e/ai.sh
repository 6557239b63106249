#!/usr/bin/env bash
# The computer tanks on the first level, scripted: with the obstacle map shown
# (F12), the computer tanks' marks on it move between pictures, and player
# one's tank, standing still in the open, loses life (its life bar at the top
# left changes), both within 90 s of the battle.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$1"
game=$(e2e_data_tree)
python3 "$E2E_ROOT/tests/e2e/lib/menu_layout.py" "$game/data" 1024 768 compose "$E2E_WORK/menu-expected.png" 1

# The obstacle map lies over the minimap: a square of a quarter of the
# window's height, 10 pixels from the bottom-right corner.
side=$((768 / 4))
map="${side}x${side}+$((1024 - side - 10))+$((768 - side - 10))"
# Player one's life bar at the top left.
stats="186x12+19+60"
rounds=30 # pictures 3 s of the battle apart

# marks FILE OUT: the magenta marks of the computer tanks on the map, as a black and white picture.
marks() {
    convert "$1" -crop "$map" +repage -fx 'r>0.9 && g<0.45 && b>0.9 ? 1 : 0' "$2"
}

# The battle's first picture, the map half a second after F12, then one picture every
# 3 s of the battle for 90 s.
{
    echo "limit $((600 + 30 + rounds * 180))"
    echo "on Battle"
    echo "shot first.png"
    echo "key f12"
    echo "+30 shot start.png"
    for round in $(seq "$rounds"); do
        echo "+180 shot now$round.png"
    done
    echo "end"
} >"$E2E_WORK/ai.script"
# At hard, where the computer sends the most tanks at a player and fires soonest: the point here
# is that they move and fire at all, not how hard each difficulty is (bench/BalanceBench.cpp).
printf 'difficulty = hard\n' >"$game/data/config/settings.ini"
e2e_script_ok "$game" "$E2E_WORK/ai.script" -- --level lvl1.lvl
grep -q 'Battle frame drawn' "$E2E_WORK/game.out" || e2e_fail "the battle drew no frame"
scene=$(e2e_rmse "$E2E_WORK/first.png" "$E2E_WORK/menu-expected.png")
awk -v a="$scene" 'BEGIN { exit !(a > 0.1) }' || e2e_fail "the battle's first picture is the menu ($scene)"
marks "$E2E_WORK/start.png" "$E2E_WORK/marks-start.png"
count=$(convert "$E2E_WORK/marks-start.png" -format '%[fx:int(mean*w*h+0.5)]' info:)
((count > 0)) || e2e_fail "no computer tank on the obstacle map after F12"
convert "$E2E_WORK/start.png" -crop "$stats" +repage "$E2E_WORK/life-start.png"

moved="" hurt=""
for round in $(seq "$rounds"); do
    now="$E2E_WORK/now$round.png"
    grep -q "Script shot: now$round.png (tick [0-9]*, Battle)" "$E2E_WORK/game.out" ||
        e2e_fail "the battle was over before picture $round"
    if [[ -z "$moved" ]]; then
        marks "$now" "$E2E_WORK/marks-now.png"
        change=$(e2e_rmse "$E2E_WORK/marks-start.png" "$E2E_WORK/marks-now.png")
        awk -v a="$change" 'BEGIN { exit !(a > 0.01) }' && moved=$round
    fi
    if [[ -z "$hurt" ]]; then
        convert "$now" -crop "$stats" +repage "$E2E_WORK/life-now.png"
        change=$(e2e_rmse "$E2E_WORK/life-start.png" "$E2E_WORK/life-now.png")
        awk -v a="$change" 'BEGIN { exit !(a > 0.05) }' && hurt=$round
    fi
    [[ -n "$moved" && -n "$hurt" ]] && break
done
[[ -n "$moved" ]] || e2e_fail "the computer tanks did not move in 90 s"
[[ -n "$hurt" ]] || e2e_fail "player one lost no life in 90 s"
echo "computer tanks moved after $((moved * 3)) s, player one hit after $((hurt * 3)) s"
echo "PASS ai"

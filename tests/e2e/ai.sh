#!/usr/bin/env bash
# The computer tanks on the first level: with the obstacle map shown (F12),
# the computer tanks' marks on it move between screenshots, and player one's
# tank, standing still in the open, loses life (its life bar at the top
# left changes).
source "$(dirname "$0")/lib/common.bash"
e2e_init "$1"
game=$(e2e_data_tree)

# The obstacle map lies over the minimap: a square of a quarter of the
# window's height, 10 pixels from the bottom-right corner.
side=$((768 / 4))
map="${side}x${side}+$((1024 - side - 10))+$((768 - side - 10))"
# Player one's life bar at the top left.
stats="186x12+19+60"

# marks FILE OUT: the magenta marks of the computer tanks on the map, as a black and white picture.
marks() {
    convert "$1" -crop "$map" +repage -fx 'r>0.9 && g<0.45 && b>0.9 ? 1 : 0' "$2"
}

e2e_start "$game" -- --level lvl1.lvl
e2e_wait_screen Battle 30
e2e_wait_for "InitGL" 30
e2e_wait_scene "$game/data" "$E2E_WORK/first.png" 60
e2e_key F12
count=0
for _ in $(seq 20); do
    sleep 0.5
    e2e_shot "$E2E_WORK/start.png"
    marks "$E2E_WORK/start.png" "$E2E_WORK/marks-start.png"
    count=$(convert "$E2E_WORK/marks-start.png" -format '%[fx:int(mean*w*h+0.5)]' info:)
    ((count > 0)) && break
done
((count > 0)) || e2e_fail "no computer tank on the obstacle map after F12"
convert "$E2E_WORK/start.png" -crop "$stats" +repage "$E2E_WORK/life-start.png"

moved="" hurt=""
for round in $(seq 30); do
    sleep 3
    kill -0 "$GAME_PID" 2>/dev/null || e2e_fail "the game ended during the battle"
    e2e_shot "$E2E_WORK/now.png"
    if [[ -z "$moved" ]]; then
        marks "$E2E_WORK/now.png" "$E2E_WORK/marks-now.png"
        change=$(e2e_rmse "$E2E_WORK/marks-start.png" "$E2E_WORK/marks-now.png")
        awk -v a="$change" 'BEGIN { exit !(a > 0.01) }' && moved=$round
    fi
    if [[ -z "$hurt" ]]; then
        convert "$E2E_WORK/now.png" -crop "$stats" +repage "$E2E_WORK/life-now.png"
        change=$(e2e_rmse "$E2E_WORK/life-start.png" "$E2E_WORK/life-now.png")
        awk -v a="$change" 'BEGIN { exit !(a > 0.05) }' && hurt=$round && cp "$E2E_WORK/now.png" "$E2E_WORK/hurt.png"
    fi
    [[ -n "$moved" && -n "$hurt" ]] && break
done
[[ -n "$moved" ]] || e2e_fail "the computer tanks did not move in 90 s"
[[ -n "$hurt" ]] || e2e_fail "player one lost no life in 90 s"
echo "computer tanks moved after $((moved * 3)) s, player one hit after $((hurt * 3)) s"
e2e_key Escape
echo "PASS ai"

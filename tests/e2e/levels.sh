#!/usr/bin/env bash
# Every shipped battlefield (data/level/lvl*.lvl) starts for four players with
# --level without an error line, runs with four views, and looks like a place
# of its own: no two of them show the same first picture; and every battlefield
# of levels.ini starts for three players from the level choice, one after the
# other in one run of the game. (Two players start every level in horizon.sh.)
source "$(dirname "$0")/lib/common.bash"
e2e_init "$1"
game=$(e2e_data_tree)

shots=()
for file in "$game"/data/level/lvl*.lvl; do
    level=$(basename "$file")
    e2e_start "$game" -- --level "$level" --players 4
    e2e_wait_screen Battle 30
    e2e_wait_for "InitGL" 60
    e2e_wait_for "Human players: 4, views: 4" 30
    e2e_wait_scene "$game/data" "$E2E_WORK/$level.png" 120
    sleep 1
    kill -0 "$GAME_PID" 2>/dev/null || e2e_fail "$level: the game ended after its start"
    if grep -q "Error: " "$E2E_WORK/game.out"; then
        e2e_fail "$level: $(grep -o 'Error: .*' "$E2E_WORK/game.out" | head -n 1)"
    fi
    e2e_shot "$E2E_WORK/$level.png"
    e2e_keep_shot "$E2E_WORK/$level.png" "level-${level%.lvl}.png"
    shots+=("$E2E_WORK/$level.png")
    e2e_key Escape
    e2e_wait_menu "$game/data" 30 || e2e_fail "$level: Escape did not return to the menu"
    e2e_key Escape
    e2e_wait_exit 10
    echo "$level: started for four players and ran without an error line"
done
((${#shots[@]} >= 4)) || e2e_fail "only ${#shots[@]} battlefields in data/level/"

for ((i = 0; i < ${#shots[@]}; i++)); do
    for ((j = i + 1; j < ${#shots[@]}; j++)); do
        difference=$(e2e_rmse "${shots[i]}" "${shots[j]}")
        echo "$(basename "${shots[i]}") / $(basename "${shots[j]}"): $difference"
        awk -v d="$difference" 'BEGIN { exit !(d > 0.08) }' ||
            e2e_fail "$(basename "${shots[i]}") and $(basename "${shots[j]}") look alike"
    done
done
# From the level choice: each entry in its order, Right moving on from the one chosen last.
e2e_start "$game"
first=yes
started=0
while read -r file; do
    e2e_click_item "$game/data" 1
    e2e_wait_screen "Level choice" 20
    if [[ -n "$first" ]]; then
        e2e_key 3 # three players, kept for the next battles
    else
        e2e_key Right
    fi
    first=""
    e2e_key Return
    e2e_wait_for "Level: $file (data/level/$file, 3 players)" 60
    e2e_wait_screen Battle 30
    started=$((started + 1))
    e2e_wait_for_count "InitGL" "$started" 60 || e2e_fail "$file from the level choice did not start"
    e2e_wait_for_count "Human players: 3, views: 3" "$started" 30 || e2e_fail "$file: not three views"
    if grep -q "Error: " "$E2E_WORK/game.out"; then
        e2e_fail "$file from the level choice: $(grep -o 'Error: .*' "$E2E_WORK/game.out" | head -n 1)"
    fi
    e2e_key Escape
    e2e_wait_screen Menu 20
    echo "$file: started from the level choice without an error line"
done < <(sed -n 's/^\([^#= ][^= ]*\.lvl\).*/\1/p' "$game/data/level/levels.ini")
((started >= 4)) || e2e_fail "only $started battlefields started from the level choice"
e2e_key Escape
e2e_wait_exit 10
echo "PASS levels"

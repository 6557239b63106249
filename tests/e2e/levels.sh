#!/usr/bin/env bash
# Every shipped battlefield (data/level/lvl*.lvl) starts for four players with
# --level without an error line, runs with four views, and looks like a place
# of its own: no two of them show the same picture a second into the battle;
# and every battlefield of levels.ini starts for three players from the level
# choice, one after the other in one run of the game. Scripted: each run
# drives itself and draws its own pictures. (Two players start every level in
# horizon.sh.)
source "$(dirname "$0")/lib/common.bash"
e2e_init "$1"
game=$(e2e_data_tree)
python3 "$E2E_ROOT/tests/e2e/lib/menu_layout.py" "$game/data" 1024 768 compose "$E2E_WORK/menu-expected.png"

# no_error WHAT: fails when the game's output holds an error line.
no_error() {
    if grep -q "Error: " "$E2E_WORK/game.out"; then
        e2e_fail "$1: $(grep -o 'Error: .*' "$E2E_WORK/game.out" | head -n 1)"
    fi
}

# A second of the battle, its picture, then Escape to the menu with the
# pointer parked on no item.
cat >"$E2E_WORK/level.script" <<SCRIPT
limit 1800
on Battle
+60 shot level.png
key escape
on Menu
point 5 5
shot menu.png
end
SCRIPT
shots=()
for file in "$game"/data/level/lvl*.lvl; do
    level=$(basename "$file")
    e2e_script_ok "$game" "$E2E_WORK/level.script" -- --level "$level" --players 4
    grep -q "^Human players: 4, views: 4" "$E2E_WORK/game.out" || e2e_fail "$level: not four views"
    no_error "$level"
    mv "$E2E_WORK/level.png" "$E2E_WORK/$level.png"
    e2e_keep_shot "$E2E_WORK/$level.png" "level-${level%.lvl}.png"
    shots+=("$E2E_WORK/$level.png")
    menu=$(e2e_rmse "$E2E_WORK/menu.png" "$E2E_WORK/menu-expected.png")
    awk -v a="$menu" 'BEGIN { exit !(a < 0.03) }' || e2e_fail "$level: Escape did not return to the menu ($menu)"
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
mapfile -t files < <(sed -n 's/^\([^#= ][^= ]*\.lvl\).*/\1/p' "$game/data/level/levels.ini")
((${#files[@]} >= 4)) || e2e_fail "only ${#files[@]} battlefields in levels.ini"
{
    echo "limit $((1800 * ${#files[@]}))"
    for ((i = 0; i < ${#files[@]}; i++)); do
        echo "on Menu"
        echo "click 1"
        echo 'on "Level choice"'
        # Three players the first time, kept for the next battles.
        ((i == 0)) && echo "key 3" || echo "key right"
        echo "+1 key enter"
        echo "on Battle"
        echo "key escape"
    done
    echo "on Menu"
    echo "end"
} >"$E2E_WORK/choice.script"
e2e_script_ok "$game" "$E2E_WORK/choice.script"
no_error "from the level choice"
mapfile -t started < <(sed -n 's/^Level: \(.*\)$/\1/p' "$E2E_WORK/game.out")
for ((i = 0; i < ${#files[@]}; i++)); do
    file=${files[i]}
    [[ "${started[i]:-}" == "$file (data/level/$file, 3 players)" ]] ||
        e2e_fail "battle $((i + 1)) from the level choice is \"${started[i]:-none}\", not $file for three players"
    echo "$file: started from the level choice without an error line"
done
((${#started[@]} == ${#files[@]})) || e2e_fail "${#started[@]} battles started for ${#files[@]} choices"
inits=$(e2e_count "InitGL")
views=$(e2e_count "Human players: 3, views: 3")
((inits == ${#files[@]})) || e2e_fail "$inits of ${#files[@]} battlefields from the level choice started"
((views == ${#files[@]})) || e2e_fail "$views of ${#files[@]} battlefields from the level choice had three views"
echo "PASS levels"

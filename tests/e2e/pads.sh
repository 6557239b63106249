#!/usr/bin/env bash
# Four players in one window, two of them on scripted virtual pads (the game
# attaches them itself when PANZERFELD_VIRTUAL_PADS names a pad script):
# settings.ini gives the first script pad to player two and the second to
# player four, and each pad holds its stick to one side from the start. The
# window splits in four; the quarters of players two and four turn with their
# tanks while the quarters of players one and three stay nearly still; player
# one's key turns player one's quarter alone.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$1"
game=$(e2e_data_tree)
arena="$E2E_ROOT/data/level/test_small.lvl"

# The arena without its tanks, on flat ground, and a tank in each corner.
sed -n '/^\[VEHICLE\]/q;p' "$arena" | sed 's/^name=test_small.lvl/name=quad.lvl/' >"$game/data/level/quad.lvl"
convert -size 60x60 xc:black PNG24:"$game/data/textures/heightmap_flat.png"
sed -i 's/^heightmap=.*/heightmap=heightmap_flat.png/' "$game/data/level/quad.lvl"
{
    e2e_tank player1 spieler1 -25 -25 0
    e2e_tank player2 spieler2 25 -25 0
    e2e_tank player3 spieler3 -25 25 180
    e2e_tank player4 spieler4 25 25 180
} >>"$game/data/level/quad.lvl"

# Both script pads are one model: their index among equal pads tells them apart.
guid=ff00dbdc091200006770000000007601
printf 'pad2 = %s#0\npad4 = %s#1\nEndConfigFile\n' "$guid" "$guid" >"$game/data/config/settings.ini"
cat >"$E2E_WORK/pads.txt" <<'SCRIPT'
# seconds  pad  what
0  1  attach leftx=1
0  2  attach leftx=-1
SCRIPT

left1=$(e2e_player_key "$game/data" buttonleft1)
quarters=("512x330+0+50" "512x330+512+50" "512x330+0+434" "512x330+512+434")
# changes A B: the difference of two screenshots in each quarter.
changes() { e2e_region_rmse "$1" "$2" "${quarters[@]}"; }
# moving QUARTERS... : over three pairs of screenshots a second apart,
# the least change of each listed quarter is more than twice the most change
# of every other quarter (and clearly more than nothing).
moving() {
    local i all=()
    for i in 1 2 3; do
        e2e_shot "$E2E_WORK/s0.png"
        sleep 1
        e2e_shot "$E2E_WORK/s1.png"
        all+=("$(changes "$E2E_WORK/s0.png" "$E2E_WORK/s1.png")")
    done
    echo "quarter changes: ${all[*]}"
    printf '%s\n' "${all[@]}" | awk -v moving="$*" '
        BEGIN { n = split(moving, m, " "); for (i = 1; i <= n; i++) want[m[i] + 1] = 1 }
        { for (q = 1; q <= 4; q++) { if (!(q in lo) || $q < lo[q]) lo[q] = $q; if ($q > hi[q]) hi[q] = $q } }
        END {
            still = 0; turned = 1
            for (q = 1; q <= 4; q++) if (!(q in want) && hi[q] > still) still = hi[q]
            for (q = 1; q <= 4; q++) if (q in want && lo[q] < turned) turned = lo[q]
            exit !(turned > 2 * still && turned > 0.02)
        }'
}

e2e_start "$game" PANZERFELD_VIRTUAL_PADS="$E2E_WORK/pads.txt" -- --level quad.lvl --players 4
e2e_wait_screen Battle 30
e2e_wait_for "Human players: 4, views: 4" 60
e2e_wait_for "Pad connected: Panzerfeld script pad ($guid#0), player 2" 10
e2e_wait_for "Pad connected: Panzerfeld script pad ($guid#1), player 4" 10
e2e_wait_scene "$game/data" "$E2E_WORK/first.png" 60
sleep 2 # the tanks settle on the ground
grep -q "Error: " "$E2E_WORK/game.out" && e2e_fail "$(grep -o 'Error: .*' "$E2E_WORK/game.out" | head -n 1)"
moving 1 3 || e2e_fail "the pads did not turn the views of players two and four alone"
e2e_keep_shot "$E2E_WORK/s1.png" screen-four.png
e2e_retry xdotool keydown --window "$GAME_WID" "$left1"
moving 0 1 3 || e2e_fail "player one's key did not turn player one's view as well, or turned player three's"
e2e_retry xdotool keyup --window "$GAME_WID" "$left1"
echo "PASS pads"

#!/usr/bin/env bash
# Four players in one window, scripted, two of them on virtual pads (the game
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

left1=$(e2e_config_key "$game/data" buttonleft1)
quarters=("512x330+0+50" "512x330+512+50" "512x330+0+434" "512x330+512+434")
# changes A B: the difference of two pictures in each quarter.
changes() { e2e_crops_rmse "$1" "$2" "${quarters[@]}"; }
# moving NAME QUARTERS... : over the three pairs of NAME's pictures a second
# apart (NAME0 and NAME1, NAME1 and NAME2, NAME2 and NAME3), the least change of
# each listed quarter is more than twice the most change of every other
# quarter (and clearly more than nothing).
moving() {
    local i all=() name=$1
    shift
    for i in 0 1 2; do
        all+=("$(changes "$E2E_WORK/$name$i.png" "$E2E_WORK/$name$((i + 1)).png")")
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

# The pads turn their tanks from the start (the pad script's seconds are the
# run's ticks / 60). The tanks, set down 2 above the ground, get five seconds
# to come to rest: in the first four the quarters of players one and three,
# which see them, change twice as much as later. Then four pictures
# a second apart, and four more while player one's key is held.
cat >"$E2E_WORK/four.script" <<SCRIPT
limit 3600
on Battle
+300 shot pads0.png
+60 shot pads1.png
+60 shot pads2.png
+60 shot pads3.png
down $left1
shot key0.png
+60 shot key1.png
+60 shot key2.png
+60 shot key3.png
up $left1
end
SCRIPT
e2e_script_ok "$game" "$E2E_WORK/four.script" PANZERFELD_VIRTUAL_PADS="$E2E_WORK/pads.txt" -- --level quad.lvl --players 4
grep -q "Human players: 4, views: 4" "$E2E_WORK/game.out" || e2e_fail "the battle is not four views"
grep -qF "Pad connected: Panzerfeld script pad ($guid#0), player 2" "$E2E_WORK/game.out" ||
    e2e_fail "the first script pad was not given to player two"
grep -qF "Pad connected: Panzerfeld script pad ($guid#1), player 4" "$E2E_WORK/game.out" ||
    e2e_fail "the second script pad was not given to player four"
grep -q "Error: " "$E2E_WORK/game.out" && e2e_fail "$(grep -o 'Error: .*' "$E2E_WORK/game.out" | head -n 1)"
moving pads 1 3 || e2e_fail "the pads did not turn the views of players two and four alone"
e2e_keep_shot "$E2E_WORK/pads3.png" screen-four.png
moving key 0 1 3 || e2e_fail "player one's key did not turn player one's view as well, or turned player three's"
echo "PASS pads"

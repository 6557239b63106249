#!/usr/bin/env bash
# Pause and defeat end to end: the pause key freezes the battle (two pictures
# a second apart are equal, even with a drive key held) and resumes it; a
# battle without player two in which player one's tank is destroyed ends with
# "MISSION FAILED", and Escape leaves the result for the menu.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$1"
game=$(e2e_data_tree)
forward=$(e2e_player_key "$game/data" buttonup1)
pause=$(e2e_player_key "$game/data" buttonpause)
# The minimap always on (a setting of the Options screen), so the frozen
# picture holds its markers too.
printf 'minimap = always\nEndConfigFile\n' >"$game/data/config/settings.ini"

e2e_start "$game" -- --level lvl1.lvl
e2e_wait_screen Battle 30
e2e_wait_for "InitGL" 30
e2e_hold "$forward" 1
e2e_key "$pause"
e2e_wait_screen Paused 10
e2e_wait_for "Paused frame drawn" 10
e2e_shot "$E2E_WORK/paused1.png"
e2e_keep_shot "$E2E_WORK/paused1.png" "screen-paused.png"
e2e_hold "$forward" 1
e2e_shot "$E2E_WORK/paused2.png"
still=$(e2e_rmse "$E2E_WORK/paused1.png" "$E2E_WORK/paused2.png")
echo "paused pictures a second apart: $still"
awk -v a="$still" 'BEGIN { exit !(a == 0) }' || e2e_fail "the paused picture changed ($still)"

e2e_key "$pause"
e2e_wait_screen Battle 10
e2e_hold "$forward" 1
e2e_shot "$E2E_WORK/resumed.png"
moved=$(e2e_rmse "$E2E_WORK/paused2.png" "$E2E_WORK/resumed.png")
echo "after resuming: $moved"
awk -v a="$moved" 'BEGIN { exit !(a > 0.02) }' || e2e_fail "the battle did not resume"
e2e_keep_shot "$E2E_WORK/resumed.png" "screen-battle.png"
e2e_key Escape
e2e_wait_screen Menu 10
e2e_wait_menu "$game/data" 10 # the battle of the command line leaves for the menu
e2e_key Escape
e2e_wait_exit 10

# The small arena as the first level: no player two, player one's tank with a
# single point of life, moved within the computer tank's reach.
sed -e 's/^name=test_small.lvl/name=lvl1.lvl/' -e '/^name=player1/,/^life=/ s/^life=.*/life=1/' \
    -e '/^name=player1/,/^life=/ s/^pos_z=.*/pos_z=4/' \
    "$E2E_ROOT/data/level/test_small.lvl" >"$game/data/level/lvl1.lvl"
rm "$game/data/level/test_small.lvl"
e2e_start "$game" -- --level lvl1.lvl
e2e_wait_screen Battle 30
e2e_wait_for "Battle over: MISSION FAILED" 90
e2e_wait_screen Result 10
# The result stands in the middle of the window from the next frame on.
deadline=$((SECONDS + 20))
text=0
while ((text <= 150 && SECONDS < deadline)); do
    e2e_shot "$E2E_WORK/failed.png"
    text=$(e2e_bright_pixels "$E2E_WORK/failed.png" 380 300 264 80)
done
echo "result text pixels: $text"
((text > 150)) || e2e_fail "no result text in the middle of the window"
e2e_keep_shot "$E2E_WORK/failed.png" "screen-result.png"
e2e_key Escape
e2e_wait_screen Menu 10
e2e_wait_menu "$game/data" 20 || e2e_fail "Escape on the result did not return to the menu"
echo "PASS pause"

#!/usr/bin/env bash
# Pause and defeat end to end, scripted: the pause key freezes the battle (two
# pictures a second apart are equal, even with a drive key held) and resumes
# it; a battle without player two in which player one's tank is destroyed
# ends with "MISSION FAILED", and Escape leaves the result for the menu.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$1"
game=$(e2e_data_tree)
forward=$(e2e_config_key "$game/data" buttonup1)
pause=$(e2e_config_key "$game/data" buttonpause)
# The minimap always on (a setting of the Options screen), so the frozen
# picture holds its markers too.
printf 'minimap = always\nEndConfigFile\n' >"$game/data/config/settings.ini"
python3 "$E2E_ROOT/tests/e2e/lib/menu_layout.py" "$game/data" 1024 768 compose "$E2E_WORK/menu-expected.png"

cat >"$E2E_WORK/pause.script" <<SCRIPT
on Battle
down $forward
+60 up $forward
key $pause
on Paused
shot paused1.png
down $forward
+60 up $forward
shot paused2.png
key $pause
on Battle
down $forward
+60 up $forward
shot resumed.png
key escape
on Menu
shot menu1.png
end
SCRIPT
e2e_script_ok "$game" "$E2E_WORK/pause.script" -- --level lvl1.lvl
grep -q '^Paused frame drawn$' "$E2E_WORK/game.out" || e2e_fail "no paused frame was drawn"
e2e_keep_shot "$E2E_WORK/paused1.png" "screen-paused.png"
# The paused pictures are a second of ticks apart, with a drive key held between them.
e2e_expect_rmse "$E2E_WORK/paused1.png" "$E2E_WORK/paused2.png" "==" 0 "the paused picture changed"
e2e_expect_rmse "$E2E_WORK/paused2.png" "$E2E_WORK/resumed.png" ">" 0.02 "the battle did not resume"
e2e_keep_shot "$E2E_WORK/resumed.png" "screen-battle.png"
e2e_expect_rmse "$E2E_WORK/menu1.png" "$E2E_WORK/menu-expected.png" "<" 0.03 \
    "the battle of the command line did not leave for the menu"

# The small arena as the first level: no player two, player one's tank with a
# single point of life, moved within the computer tank's reach.
sed -e 's/^name=test_small.lvl/name=lvl1.lvl/' -e '/^name=player1/,/^life=/ s/^life=.*/life=1/' \
    -e '/^name=player1/,/^life=/ s/^pos_z=.*/pos_z=4/' \
    "$E2E_ROOT/data/level/test_small.lvl" >"$game/data/level/lvl1.lvl"
rm "$game/data/level/test_small.lvl"
cat >"$E2E_WORK/defeat.script" <<SCRIPT
limit 5400 # a minute and a half of the battle
on Result
shot failed.png
key escape
on Menu
shot menu2.png
end
SCRIPT
e2e_script_ok "$game" "$E2E_WORK/defeat.script" -- --level lvl1.lvl
grep -q "Battle over: MISSION FAILED" "$E2E_WORK/game.out" || e2e_fail "the battle did not end in a defeat"
# The result stands in the middle of the window.
text=$(e2e_bright_pixels "$E2E_WORK/failed.png" 380 300 264 80)
echo "result text pixels: $text"
((text > 150)) || e2e_fail "no result text in the middle of the window"
e2e_keep_shot "$E2E_WORK/failed.png" "screen-result.png"
e2e_expect_rmse "$E2E_WORK/menu2.png" "$E2E_WORK/menu-expected.png" "<" 0.03 "Escape on the result did not return to the menu"
echo "PASS pause"

#!/usr/bin/env bash
# A short battle by keyboard, scripted: on a small arena started as the first
# level, player one fires at the tank facing it until it explodes and is
# removed, the game shows "MISSION COMPLETE!", the score goes into the
# highscore table under the name typed, and the table shows it.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$1"
game=$(e2e_data_tree)
# The arena becomes the level the menu starts; its computer tank is handed to
# player two, whom nobody plays, so that it stands still in the line of fire
# (a computer tank would dodge, take cover and shoot back), and is weakened so
# that a few hits decide the battle.
sed -e 's/^name=test_small.lvl/name=lvl1.lvl/' -e '/^name=cpu1/,/^life=/ s/^life=.*/life=20/' \
    -e '/^name=cpu1/,/^owner=/ s/^owner=.*/owner=spieler2/' \
    "$E2E_ROOT/data/level/test_small.lvl" >"$game/data/level/lvl1.lvl"
rm "$game/data/level/test_small.lvl"
fire=$(e2e_config_key "$game/data" shoot1)
python3 "$E2E_ROOT/tests/e2e/lib/menu_layout.py" "$game/data" 1024 768 compose "$E2E_WORK/menu-plain.png"
read -r _ x1 y1 x2 y2 < <(python3 "$E2E_ROOT/tests/e2e/lib/menu_layout.py" "$game/data" 1024 768 rects 5)

# Player two's tank falls first ("DESTROYED" across its view) and is removed
# three seconds later: then the battle is decided. Escape leaves the result;
# the score enters the empty table, so the game asks for a name, with player
# one's name typed in already: twelve Backspaces take it back, Up spells the
# first letter of an empty name (a capital A: a script's keys type small
# letters), the rest is typed. Then the pointer parks on no item for the
# menu's picture, and the highscores item opens the table.
cat >"$E2E_WORK/battle.script" <<SCRIPT
limit 3600 # a minute of the battle, the menus included
on Battle
shot before.png
down $fire
on Result
up $fire
shot won.png
key escape
on "Name entry"
shot name.png
$(for _ in $(seq 12); do echo "+1 key backspace"; done)
+1 key up
+1 key c
+1 key e
+1 key enter
on Menu
point 5 5
shot menu.png
click $(((x1 + x2) / 2)) $(((y1 + y2) / 2))
on Highscores
shot table.png
end
SCRIPT
e2e_script_ok "$game" "$E2E_WORK/battle.script" -- --level lvl1.lvl --players 2
grep -q "Battle over: MISSION COMPLETE" "$E2E_WORK/game.out" || e2e_fail "the battle ended, but not in a win"
# The mission text stands at 40 % of the window's width and height.
before=$(e2e_bright_pixels "$E2E_WORK/before.png" 400 295 220 60)
after=$(e2e_bright_pixels "$E2E_WORK/won.png" 400 295 220 60)
echo "mission text pixels: $before before, $after after the battle"
((after > before + 150)) || e2e_fail "no mission-complete text on the screen"
e2e_keep_shot "$E2E_WORK/won.png" screen-won.png

grep -q "^Highscore name entry" "$E2E_WORK/game.out" || e2e_fail "the game asked for no name"
# The prompt replaces the battle's picture.
e2e_expect_rmse "$E2E_WORK/name.png" "$E2E_WORK/won.png" ">" 0.1 "no name prompt on the screen"
e2e_keep_shot "$E2E_WORK/name.png" screen-name.png
grep -q "Highscore saved: Ace" "$E2E_WORK/game.out" || e2e_fail "no highscore saved for Ace"
grep -q '^name1=Ace' "$game/data/config/highscore.ini" || e2e_fail "no entry for Ace in highscore.ini"
score=$(sed -n 's/^score1=\([0-9]*\).*/\1/p' "$game/data/config/highscore.ini")
((score > 0)) || e2e_fail "the new entry has no score"
echo "highscore entry: Ace $score"
e2e_expect_rmse "$E2E_WORK/menu.png" "$E2E_WORK/menu-plain.png" "<" 0.03 "the name entry did not return to the menu"
e2e_expect_rmse "$E2E_WORK/table.png" "$E2E_WORK/menu-plain.png" ">" 0.05 "the highscores item still shows the menu"
e2e_keep_shot "$E2E_WORK/table.png" screen-highscores.png
echo "PASS battle"

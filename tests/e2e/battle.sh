#!/usr/bin/env bash
# A short battle by keyboard: on a small arena started as the first level,
# player one fires at the tank facing it until it explodes and is removed, the
# game shows "MISSION COMPLETE!", and Escape returns to the menu.
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
fire=$(e2e_player_key "$game/data" shoot1)

e2e_start "$game" -- --level lvl1.lvl --players 2
e2e_wait_screen Battle 30
e2e_wait_for "InitGL" 30
e2e_wait_scene "$game/data" "$E2E_WORK/before.png" 60
# The mission text stands at 40 % of the window's width and height.
before=$(e2e_bright_pixels "$E2E_WORK/before.png" 400 295 220 60)

# Player two's tank falls first ("DESTROYED" across its view) and is removed
# three seconds later: then the battle is decided.
for _ in $(seq 12); do
    e2e_hold "$fire" 2
    [[ $(e2e_last_screen) == Result ]] && break
done
e2e_wait_screen Result 10
grep -q "Battle over: MISSION COMPLETE" "$E2E_WORK/game.out" || e2e_fail "the battle ended, but not in a win"
after=0
for _ in $(seq 50); do
    e2e_shot "$E2E_WORK/battle.png"
    after=$(e2e_bright_pixels "$E2E_WORK/battle.png" 400 295 220 60)
    ((after > before + 150)) && break
done
((after > before + 150)) || e2e_fail "no mission-complete text on the screen"
cp "$E2E_WORK/battle.png" "$E2E_WORK/won.png"
e2e_keep_shot "$E2E_WORK/won.png" screen-won.png
echo "mission text pixels: $before before, $after after the battle"

# Escape leaves the result; the score enters the empty table, so the game
# asks for a name, with player one's name typed in already.
e2e_key Escape
e2e_wait_for "Highscore name entry" 20
# The prompt replaces the battle's picture from the next frame on.
e2e_wait_shot "$E2E_WORK/name.png" "$E2E_WORK/won.png" ">" 0.1 20 || e2e_fail "no name prompt on the screen"
e2e_keep_shot "$E2E_WORK/name.png" screen-name.png
for _ in $(seq 12); do e2e_key BackSpace; done
e2e_key A c e Return
e2e_wait_for "Highscore saved: Ace" 20
grep -q '^name1=Ace' "$game/data/config/highscore.ini" || e2e_fail "no entry for Ace in highscore.ini"
score=$(sed -n 's/^score1=\([0-9]*\).*/\1/p' "$game/data/config/highscore.ini")
((score > 0)) || e2e_fail "the new entry has no score"
echo "highscore entry: Ace $score"
e2e_wait_menu "$game/data" 20 || e2e_fail "the name entry did not return to the menu"
e2e_click_item "$game/data" 5
e2e_wait_screen Highscores 10
e2e_wait_not_menu "$game/data" "$E2E_WORK/table.png"
e2e_keep_shot "$E2E_WORK/table.png" screen-highscores.png
echo "PASS battle"

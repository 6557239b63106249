#!/usr/bin/env bash
# A short battle by keyboard: on a small arena started as the first level,
# player one fires at the tank facing it until it explodes and is removed, the
# game shows "MISSION COMPLETE!", and Escape returns to the menu.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$1"
layout="$E2E_ROOT/tests/e2e/lib/menu_layout.py"
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

e2e_start "$game"
e2e_start_game "$game/data"
e2e_wait_for "InitGL" 30
sleep 3
# The mission text stands at 40 % of the window's width and height.
e2e_shot "$E2E_WORK/before.png"
before=$(e2e_bright_pixels "$E2E_WORK/before.png" 400 295 220 60)

won=""
for _ in $(seq 12); do
    e2e_hold "$fire" 2
    sleep 1
    e2e_shot "$E2E_WORK/battle.png"
    after=$(e2e_bright_pixels "$E2E_WORK/battle.png" 400 295 220 60)
    if ((after > before + 150)); then
        won=yes
        break
    fi
done
[[ -n "$won" ]] || e2e_fail "no mission-complete text after 36 s of firing"
cp "$E2E_WORK/battle.png" "$E2E_WORK/won.png"
echo "mission text pixels: $before before, $after after the battle"

e2e_key Escape
sleep 1
e2e_pointer 5 5
e2e_shot "$E2E_WORK/menu.png"
python3 "$layout" "$game/data" 1024 768 compose "$E2E_WORK/expected.png"
back=$(e2e_rmse "$E2E_WORK/menu.png" "$E2E_WORK/expected.png")
awk -v a="$back" 'BEGIN { exit !(a < 0.03) }' || e2e_fail "Escape did not return to the menu ($back)"
echo "PASS battle"

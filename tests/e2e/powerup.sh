#!/usr/bin/env bash
# A repair power-up, scripted: player one's damaged tank drives over the kit
# lying just ahead of it, gains life (its stdout line and a longer life bar in the HUD),
# the kit is gone, and comes back after the short respawn time of the test's
# own type file.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$1"
game=$(e2e_data_tree)
# The small arena with player one at 40 of 100 life, facing -z, and the other
# tank handed to player two, whom nobody plays, so that nothing shoots.
sed -e 's/^name=test_small.lvl/name=powerup.lvl/' -e '/^name=player1/,/^life=/ s/^life=.*/life=40/' \
    -e '/^name=cpu1/,/^owner=/ s/^owner=.*/owner=spieler2/' \
    "$E2E_ROOT/data/level/test_small.lvl" >"$game/data/level/powerup.lvl"
printf '\nPOWERUP\nPowerUpName=kit\nPowerUpTyp=repair\npos_x=0\npos_z=8\n' >>"$game/data/level/powerup.lvl"
sed -i -e 's/^respawn = .*/respawn = 3/' "$game/data/config/powerups/repair.ini"
drive=$(e2e_config_key "$game/data" buttonup1)

# The share of player one's life bar that is lit: the bar lies at 2 % of the
# window's width and 8 % of its height, 18 % of the width long (1024 x 768).
life_share() {
    convert "$1" -crop 180x5+23+63 +repage -colorspace Gray -threshold 20% -format '%[fx:mean]' info:
}
# life FILE LOW HIGH: the lit share of the picture's life bar lies between LOW and HIGH (in `share`).
life() {
    share=$(life_share "$E2E_WORK/$1")
    awk -v s="$share" -v l="$2" -v h="$3" 'BEGIN { exit !(s > l && s < h) }'
}

# The kit lies 6 ahead: the tank reaches it within the first second of
# driving and drives on for about a second and a half, away from the kit's
# place, so that it is not taken again when it is back. A hash line at every
# tick marks the battle's ticks in the output, which tells when the kit's
# lines came.
drive_ticks=130
window=480 # ticks of the battle in which the kit must be taken and back
{
    echo "limit 3600"
    echo "on Battle"
    echo "shot before.png"
    echo "down $drive"
    for _ in $(seq "$drive_ticks"); do echo "+1 hash"; done
    echo "up $drive"
    echo "shot after.png"
    for _ in $(seq $((window - drive_ticks))); do echo "+1 hash"; done
    echo "end"
} >"$E2E_WORK/powerup.script"
e2e_script_ok "$game" "$E2E_WORK/powerup.script" -- --level powerup.lvl
grep -q '^Error: ' "$E2E_WORK/game.out" && e2e_fail "an error line: $(grep -m 1 '^Error: ' "$E2E_WORK/game.out")"
life before.png 0.3 0.5 || e2e_fail "the life bar did not show 40 % at the battle's start (lit: $share)"
before=$share

# tick_of PATTERN: the battle's tick when the line PATTERN came (the hash line
# before it says how many ticks had gone); nothing when it did not come.
tick_of() {
    awk -v pattern="$1" '/^Script hash: .* at battle tick / { tick = $NF }
        index($0, pattern) { print tick + 0; exit }' "$E2E_WORK/game.out"
}
taken=$(tick_of "Power-up repair taken by player1: life 40 -> 70")
[[ -n "$taken" ]] && ((taken < drive_ticks)) || e2e_fail "the tank did not take the kit while it drove"
life after.png 0.6 0.8 || e2e_fail "the life bar did not grow from 40 % to 70 % after the kit ($before -> $share)"
echo "life bar lit: $before before, $share after the kit (taken at tick $taken)"
e2e_keep_shot "$E2E_WORK/after.png" screen-powerup.png

# Gone for its respawn time of 3 s, then back.
back=$(tick_of "Power-up repair back at 0.0, 8.0")
[[ -n "$back" ]] || e2e_fail "the kit was not back within $window ticks of the battle"
echo "the kit was back $((back - taken)) ticks after it was taken"
((back - taken >= 180)) || e2e_fail "the kit was back after $((back - taken)) ticks, not 180"
(($(e2e_count "Power-up repair taken") == 1)) || e2e_fail "the kit was taken again"
echo "PASS powerup"

#!/usr/bin/env bash
# One and two players on the small arena, started with --level, scripted.
#  --players 1: one view; player two's tank is left out, so player two's keys
#  change nothing on the screen (winning a battle, and its result in the
#  middle of the window, is battle.sh's).
#  --players 2: the window split in two views; holding one player's forward key
#  changes that player's half while the other half stays within its idle noise.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$1"
game=$(e2e_data_tree)
arena="$E2E_ROOT/data/level/test_small.lvl"
rm "$game/data/level/test_small.lvl"


# A tank that cannot drive: the computer tank stays where it stands instead of
# moving through the picture.
config="$game/data/config"
sed -e 's/^accel *=.*/accel = 0.0/' -e 's/^turningrate *=.*/turningrate = 0.0/' \
    -e 's/^maxspeedforward *=.*/maxspeedforward = 0.0/' -e 's/^maxspeedreturn *=.*/maxspeedreturn = 0.0/' \
    "$config/fahrzeuge/tank.ini" >"$config/fahrzeuge/post.ini"
sed -i 's|^EndConfigFile|fahrzeugname2 = post\nfahrzeugpath2 = data/config/fahrzeuge/post.ini\nEndConfigFile|' \
    "$config/fahrzeugconfig.ini"

# The arena without its tanks: ground, light and the two obstacles.
sed -n '/^\[VEHICLE\]/q;p' "$arena" | sed 's/^name=test_small.lvl/name=alone.lvl/' >"$game/data/level/alone.lvl"
cp "$game/data/level/alone.lvl" "$game/data/level/pair.lvl"
sed -i 's/^name=alone.lvl/name=pair.lvl/' "$game/data/level/pair.lvl"
# Alone: player one faces a computer tank that cannot drive; player two's tank stands
# beside player one, in the picture, were it placed.
{
    e2e_tank player1 spieler1 0 14 180 100
    e2e_tank player2 spieler2 8 20 180 100
    e2e_tank cpu1 cpu 0 -14 0 10 post
} >>"$game/data/level/alone.lvl"
# A pair, no computer tank, on flat ground (in the bowl the tanks would slide
# to its middle): each tank at a side of the arena, facing away from the
# other's camera, so that neither shows in the other's view.
convert -size 60x60 xc:black PNG24:"$game/data/textures/heightmap_flat.png"
sed -i 's/^heightmap=.*/heightmap=heightmap_flat.png/' "$game/data/level/pair.lvl"
{
    e2e_tank player1 spieler1 -27 0 180 100
    e2e_tank player2 spieler2 27 0 0 100
} >>"$game/data/level/pair.lvl"

up1=$(e2e_config_key "$game/data" buttonup1)
up2=$(e2e_config_key "$game/data" buttonup2)

# The scene's halves without the frame-rate line (its numbers change every second).
halves=("512x740+0+28" "512x740+512+28")

# halves_rmse A B: the difference of two pictures in each half.
halves_rmse() { e2e_crops_rmse "$1" "$2" "${halves[@]}"; }
# hold_steps NAME KEY TICKS: the script's steps that take three pictures half
# a second apart without a key (NAME-idle0..3.png), then hold KEY for TICKS and
# take NAME-held.png before letting it go.
hold_steps() {
    printf 'shot %s-idle0.png\n' "$1"
    printf '+30 shot %s-idle%s.png\n' "$1" 1 "$1" 2 "$1" 3
    printf 'down %s\n+%s shot %s-held.png\nup %s\n' "$2" "$3" "$1" "$2"
}
# judge NAME: the idle noise of each half over NAME's idle pictures and the
# change of each half in its held picture; sets `idle` and `held` (left, right).
judge() {
    local i shots=()
    for i in 1 2 3; do
        shots+=("$(halves_rmse "$E2E_WORK/$1-idle0.png" "$E2E_WORK/$1-idle$i.png")")
    done
    read -r -a idle < <(printf '%s\n' "${shots[@]}" |
        awk '{ if ($1 > l) l = $1; if ($2 > r) r = $2 } END { print l + 0, r + 0 }')
    read -r -a held < <(halves_rmse "$E2E_WORK/$1-idle0.png" "$E2E_WORK/$1-held.png")
    echo "$1: halves changed ${held[*]}, idle noise ${idle[*]}"
}
# changed HALF: the half (0 left, 1 right) changed well beyond its idle noise.
changed() { awk -v c="${held[$1]}" -v n="${idle[$1]}" 'BEGIN { exit !(c > n * 2 && c > n + 0.008) }'; }
# still HALF: the half changed no more than its idle noise allows.
still() { awk -v c="${held[$1]}" -v n="${idle[$1]}" 'BEGIN { exit !(c <= n * 1.5 + 0.004) }'; }
# divider FILE: the middle pixel columns of the picture are the black line between two views.
divider() {
    awk -v b="$(convert "$1" -crop 2x700+511+34 +repage -colorspace Gray -format '%[fx:maxima]' info:)" \
        'BEGIN { exit !(b < 0.05) }'
}

# ---- One player ----
# The tanks settle on the ground for two seconds first; player two's key, which
# should do nothing, is held for two.
{
    echo "limit 3600"
    echo "on Battle"
    echo "+120"
    hold_steps alone "$up2" 120
    echo "end"
} >"$E2E_WORK/one.script"
e2e_script_ok "$game" "$E2E_WORK/one.script" -- --level alone.lvl --players 1
grep -q "Human players: 1, views: 1" "$E2E_WORK/game.out" || e2e_fail "the one-player battle is not one view"
judge alone
still 0 && still 1 || e2e_fail "player two's forward key changed the one-player picture"
divider "$E2E_WORK/alone-held.png" && e2e_fail "a one-player battle shows a split window"

# ---- Two players ----
# Each forward key held for three seconds (the view changes most by then: the
# sky drifts in the idle pictures too); player two's tank rolls to a stop before
# player one's turn.
{
    echo "limit 3600"
    echo "on Battle"
    echo "+120"
    hold_steps p2 "$up2" 180
    echo "+120"
    hold_steps p1 "$up1" 180
    echo "end"
} >"$E2E_WORK/two.script"
e2e_script_ok "$game" "$E2E_WORK/two.script" -- --level pair.lvl --players 2
grep -q "Human players: 2, views: 2" "$E2E_WORK/game.out" || e2e_fail "the two-player battle is not two views"
judge p2
changed 1 || e2e_fail "player two's forward key did not change the right half"
still 0 || e2e_fail "player two's forward key changed player one's half"
divider "$E2E_WORK/p2-held.png" || e2e_fail "no line between the two views"
judge p1
changed 0 || e2e_fail "player one's forward key did not change the left half"
still 1 || e2e_fail "player one's forward key changed player two's half"
e2e_keep_shot "$E2E_WORK/p1-held.png" screen-split.png
echo "PASS players"

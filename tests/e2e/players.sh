#!/usr/bin/env bash
# One and two players on the small arena, started with --level.
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

up1=$(e2e_player_key "$game/data" buttonup1)
up2=$(e2e_player_key "$game/data" buttonup2)

# The scene's halves without the frame-rate line (its numbers change every second).
halves=("512x740+0+28" "512x740+512+28")

# halves_rmse A B: the difference of two screenshots in each half.
halves_rmse() { e2e_region_rmse "$1" "$2" "${halves[@]}"; }
# hold KEY [HALF]: the idle noise of each half over three screenshots without
# a key, then the change of each half while KEY is held: until HALF (0 left,
# 1 right) has changed well beyond its noise (at most 15 s, however slow the
# build), or for two seconds when no half should change; sets `idle` and
# `held` (left, right).
hold() {
    local i shots=() deadline
    e2e_shot "$E2E_WORK/idle0.png"
    for i in 1 2 3; do
        sleep 0.5
        e2e_shot "$E2E_WORK/idle$i.png"
        shots+=("$(halves_rmse "$E2E_WORK/idle0.png" "$E2E_WORK/idle$i.png")")
    done
    read -r -a idle < <(printf '%s\n' "${shots[@]}" |
        awk '{ if ($1 > l) l = $1; if ($2 > r) r = $2 } END { print l + 0, r + 0 }')
    e2e_retry xdotool keydown --window "$GAME_WID" "$1"
    deadline=$((SECONDS + 15))
    [[ -n "${2:-}" ]] || sleep 2
    while :; do
        e2e_shot "$E2E_WORK/held.png"
        read -r -a held < <(halves_rmse "$E2E_WORK/idle0.png" "$E2E_WORK/held.png")
        [[ -z "${2:-}" ]] || changed "$2" || ((SECONDS >= deadline)) || continue
        break
    done
    e2e_retry xdotool keyup --window "$GAME_WID" "$1"
    echo "holding $1: halves changed ${held[*]}, idle noise ${idle[*]}"
}
# changed HALF: the half (0 left, 1 right) changed well beyond its idle noise.
changed() { awk -v c="${held[$1]}" -v n="${idle[$1]}" 'BEGIN { exit !(c > n * 2 && c > n + 0.008) }'; }
# still HALF: the half changed no more than its idle noise allows.
still() { awk -v c="${held[$1]}" -v n="${idle[$1]}" 'BEGIN { exit !(c <= n * 1.5 + 0.004) }'; }
# divider: the middle pixel columns of held.png are the black line between two views.
divider() {
    awk -v b="$(convert "$E2E_WORK/held.png" -crop 2x700+511+34 +repage -colorspace Gray -format '%[fx:maxima]' info:)" \
        'BEGIN { exit !(b < 0.05) }'
}

# ---- One player ----
e2e_start "$game" -- --level alone.lvl --players 1
e2e_wait_screen Battle 30
e2e_wait_for "Human players: 1, views: 1" 30
e2e_wait_scene "$game/data" "$E2E_WORK/first.png" 60
sleep 2 # the tanks settle
hold "$up2"
still 0 && still 1 || e2e_fail "player two's forward key changed the one-player picture"
divider && e2e_fail "a one-player battle shows a split window"
kill "$GAME_PID"
wait "$GAME_PID" || true
GAME_PID=""

# ---- Two players ----
e2e_start "$game" -- --level pair.lvl --players 2
e2e_wait_screen Battle 30
e2e_wait_for "Human players: 2, views: 2" 30
e2e_wait_scene "$game/data" "$E2E_WORK/first2.png" 60
sleep 2
hold "$up2" 1
changed 1 || e2e_fail "player two's forward key did not change the right half"
still 0 || e2e_fail "player two's forward key changed player one's half"
divider || e2e_fail "no line between the two views"
sleep 2 # player two's tank rolls to a stop
hold "$up1" 0
changed 0 || e2e_fail "player one's forward key did not change the left half"
still 1 || e2e_fail "player one's forward key changed player two's half"
e2e_keep_shot "$E2E_WORK/held.png" screen-split.png
echo "PASS players"

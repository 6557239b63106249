#!/usr/bin/env bash
# One and two players on the small arena, started with --level.
#  --players 1: one view; player two's tank is left out, so player two's keys
#  change nothing on the screen; player one destroys the computer tank with
#  its fire key, which ends in "MISSION COMPLETE!".
#  --players 2: the window split in two views; holding one player's forward key
#  changes that player's half while the other half stays within its idle noise.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$1"
game=$(e2e_data_tree)
arena="$E2E_ROOT/data/level/test_small.lvl"
rm "$game/data/level/test_small.lvl"

# tank NAME OWNER X Z HEADING LIFE [TYPE]: a vehicle record as the level file writes it.
tank() {
    printf '[VEHICLE]\nname=%s\nmodel=tank1.md2\nowner=%s\nfahrzeugtyp=%s\nweapon=cannon\n' "$1" "$2" "${7:-tank}"
    printf 'pos_x=%s\npos_y=2\npos_z=%s\nrotation=%s\nsize=1\nlife=%s\n' "$3" "$4" "$5" "$6"
}

# A tank that cannot drive: the computer tank stays in the line of fire
# instead of taking cover behind the rock.
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
# Alone: player one faces a weakened computer tank; player two's tank stands
# beside player one, in the picture, were it placed.
{
    tank player1 spieler1 0 14 180 100
    tank player2 spieler2 8 20 180 100
    tank cpu1 cpu 0 -14 0 10 post
} >>"$game/data/level/alone.lvl"
# A pair, no computer tank, on flat ground (in the bowl the tanks would slide
# to its middle): each tank at a side of the arena, facing away from the
# other's camera, so that neither shows in the other's view.
convert -size 60x60 xc:black PNG24:"$game/data/textures/heightmap_flat.png"
sed -i 's/^heightmap=.*/heightmap=heightmap_flat.png/' "$game/data/level/pair.lvl"
{
    tank player1 spieler1 -27 0 180 100
    tank player2 spieler2 27 0 0 100
} >>"$game/data/level/pair.lvl"

up1=$(e2e_player_key "$game/data" buttonup1)
up2=$(e2e_player_key "$game/data" buttonup2)
fire=$(e2e_player_key "$game/data" shoot1)

# region_rmse A B GEOMETRY: the difference of two screenshots within a region.
region_rmse() {
    convert "$1" -crop "$3" +repage "$E2E_WORK/a.png"
    convert "$2" -crop "$3" +repage "$E2E_WORK/b.png"
    e2e_rmse "$E2E_WORK/a.png" "$E2E_WORK/b.png"
}
# larger A B: whether the number A exceeds B.
larger() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
# changed CHANGE IDLE: a change well beyond the idle noise of the same region.
changed() { awk -v c="$1" -v n="$2" 'BEGIN { limit = n * 3; if (n + 0.008 > limit) limit = n + 0.008; exit !(c > limit) }'; }
# within_idle CHANGE IDLE: a change no larger than the idle noise allows.
within_idle() { awk -v c="$1" -v n="$2" 'BEGIN { exit !(c <= n * 1.5 + 0.004) }'; }
# divider FILE: whether the middle pixel column is the black line between two views.
divider() {
    local bright
    bright=$(convert "$1" -crop 2x700+511+34 +repage -colorspace Gray -format '%[fx:maxima]' info:)
    ! larger "$bright" 0.05
}
# idle_noise GEOMETRY...: the largest change of each region over three idle
# screenshots, in the order given; the first shot is left in idle0.png.
idle_noise() {
    e2e_shot "$E2E_WORK/idle0.png"
    local i region worst=()
    for i in 1 2 3; do
        sleep 0.5
        e2e_shot "$E2E_WORK/idle$i.png"
    done
    for region in "$@"; do
        local most=0 r
        for i in 1 2 3; do
            r=$(region_rmse "$E2E_WORK/idle0.png" "$E2E_WORK/idle$i.png" "$region")
            larger "$r" "$most" && most=$r
        done
        worst+=("$most")
    done
    echo "${worst[*]}"
}
# hold_and_compare KEY GEOMETRY...: holds KEY for two seconds and prints the
# change of each region from idle0.png to the picture taken while it is held.
hold_and_compare() {
    local key=$1 region out=()
    shift
    e2e_retry xdotool keydown --window "$GAME_WID" "$key"
    sleep 2
    e2e_shot "$E2E_WORK/held.png"
    e2e_retry xdotool keyup --window "$GAME_WID" "$key"
    for region in "$@"; do
        out+=("$(region_rmse "$E2E_WORK/idle0.png" "$E2E_WORK/held.png" "$region")")
    done
    echo "${out[*]}"
}
# The scene without the frame-rate line (its numbers change every second).
whole="1024x740+0+28"
left="512x740+0+28" right="512x740+512+28"

# ---- One player ----
e2e_start "$game" -- --level alone.lvl --players 1
e2e_wait_screen Battle 30
e2e_wait_for "Human players: 1, views: 1" 30
e2e_wait_scene "$game/data" "$E2E_WORK/first.png" 60
sleep 2 # the tanks settle
read -r noise < <(idle_noise "$whole")
read -r moved2 < <(hold_and_compare "$up2" "$whole")
echo "one player: idle noise $noise, player two's forward key $moved2"
within_idle "$moved2" "$noise" ||
    e2e_fail "player two's forward key changed the one-player picture ($moved2, idle $noise)"
divider "$E2E_WORK/held.png" && e2e_fail "a one-player battle shows a split window"
won=""
for _ in $(seq 12); do
    e2e_hold "$fire" 2
    e2e_wait_for_count "Battle over: MISSION COMPLETE!" 1 1 && won=yes && break
done
[[ -n "$won" ]] || e2e_fail "no \"MISSION COMPLETE!\" after 36 s of firing"
sleep 0.5
e2e_shot "$E2E_WORK/won.png"
# The result stands in the middle of the window.
(($(e2e_bright_pixels "$E2E_WORK/won.png" 400 295 220 60) > 150)) || e2e_fail "no result text on the screen"
kill "$GAME_PID"
wait "$GAME_PID" || true
GAME_PID=""

# ---- Two players ----
e2e_start "$game" -- --level pair.lvl --players 2
e2e_wait_screen Battle 30
e2e_wait_for "Human players: 2, views: 2" 30
e2e_wait_scene "$game/data" "$E2E_WORK/first2.png" 60
sleep 2
for round in two one; do
    read -r noiseLeft noiseRight < <(idle_noise "$left" "$right")
    if [[ $round == two ]]; then
        read -r changedLeft changedRight < <(hold_and_compare "$up2" "$left" "$right")
        mine=$changedRight mineIdle=$noiseRight other=$changedLeft otherIdle=$noiseLeft
    else
        read -r changedLeft changedRight < <(hold_and_compare "$up1" "$left" "$right")
        mine=$changedLeft mineIdle=$noiseLeft other=$changedRight otherIdle=$noiseRight
    fi
    echo "player $round forward: own half $mine (idle $mineIdle), other half $other (idle $otherIdle)"
    changed "$mine" "$mineIdle" ||
        e2e_fail "player $round's forward key did not change its half ($mine, idle $mineIdle)"
    within_idle "$other" "$otherIdle" ||
        e2e_fail "player $round's forward key changed the other half ($other, idle $otherIdle)"
    divider "$E2E_WORK/held.png" || e2e_fail "no line between the two views"
done
e2e_keep_shot "$E2E_WORK/held.png" screen-split.png
echo "PASS players"

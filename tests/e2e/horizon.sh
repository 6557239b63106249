#!/usr/bin/env bash
# Land to the horizon, scripted: under a test sky of one marker colour
# (magenta, with a grey band just above its horizon, which the fog takes as
# its colour), every level of data/level starts for two players, both drive
# from their start towards the field's nearest edge with their cameras zoomed
# fully out, player one's raised to its highest pitch, and in four directions
# no marker pixel shows below the horizon line in either view: wherever a
# camera can be, land (fogged towards the horizon) fills everything below it.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$1"
game=$(e2e_data_tree)
data="$game/data"
forward=$(e2e_config_key "$data" buttonup1)
forward2=$(e2e_config_key "$data" buttonup2)
# Player one's zoom keys are written as decimal key codes: the script names the character.
zoomout=$(e2e_config_key "$data" zoomout)
[[ "$zoomout" =~ ^[0-9]+$ ]] && zoomout=$(printf "\\$(printf '%03o' "$zoomout")")
zoomout2=$(e2e_config_key "$data" zoomout2)

for face in front back left right; do
    convert -size 64x64 xc:'#ff00ff' -fill '#808080' -draw 'rectangle 0,28 63,31' "$data/textures/$face.png"
done
for face in up bottom; do
    convert -size 64x64 xc:'#ff00ff' "$data/textures/$face.png"
done
# Levels that name their own sky pictures or horizon colour get the test sky,
# and the computer tanks stay away (an unknown owner leaves a vehicle out), so
# that player one's tank lives to reach the edge.
sed -i -E -e '/^[[:space:]]*(sky[^=]*|horizon_[rgb])[[:space:]]*=/Id' \
    -e 's/^([[:space:]]*owner[[:space:]]*=[[:space:]]*)cpu/\1nobody/' "$data"/level/lvl*.lvl

# magenta_pixels FILE TOP BOTTOM: marker pixels in the rows TOP..BOTTOM-1.
magenta_pixels() {
    local width
    width=$(identify -format '%w' "$1")
    convert "$1" -crop "${width}x$(($3 - $2))+0+$2" +repage -alpha off -fuzz 20% \
        -fill black +opaque '#ff00ff' -fill white -opaque '#ff00ff' -colorspace Gray \
        -format '%[fx:int(mean*w*h+0.5)]' info:
}

# edge_turn LEVEL_FILE N: the key ("buttonleftN", "buttonrightN" or "none")
# and the ticks it is held that turn player N's tank from its start heading
# towards the nearest edge of the field (headings: 0 faces +z, 90 faces +x;
# left turns up, right down, at the tank's 60 degrees a second: a degree a tick).
edge_turn() {
    awk -F= -v n="$2" '
        function trim(s) { gsub(/[[:space:]]/, "", s); return s }
        function close_section() { if (owner == "spieler" n) { x = px; z = pz; heading = rot } owner = "" }
        /^\[/ { close_section(); next }
        { key = trim($1); value = trim($2) }
        key == "x1" { x1 = value } key == "x2" { x2 = value } key == "y1" { z1 = value } key == "y2" { z2 = value }
        key == "owner" { owner = value } key == "pos_x" { px = value } key == "pos_z" { pz = value }
        key == "rotation" { rot = value }
        END {
            close_section()
            half_x = (x2 - x1) / 2; half_z = (z2 - z1) / 2
            best = half_x - x; want = 90
            if (x + half_x < best) { best = x + half_x; want = 270 }
            if (half_z - z < best) { best = half_z - z; want = 0 }
            if (z + half_z < best) { best = z + half_z; want = 180 }
            turn = want - heading
            while (turn > 180) turn -= 360
            while (turn <= -180) turn += 360
            if (turn > 3) printf "buttonleft%d %d\n", n, turn + 0.5
            else if (turn < -3) printf "buttonright%d %d\n", n, -turn + 0.5
            else print "none 0"
        }' "$1"
}

# level_script LEVEL: the run of one level. From the battle's start the
# cameras zoom fully out (70 more units at 5 a second: 900 ticks), player
# one's goes up to its highest pitch meanwhile (-45 to -10 degrees in drags
# the camera takes, the last one past the limit is refused), and each tank
# turns to the nearest edge and drives into it (540 ticks: the walls hold the
# tanks there). Then the camera turns a quarter round four times, a picture
# after each turn.
level_script() {
    local level=$1 player turnkey turnticks used=540 turn
    echo "limit 3600 # a minute of the battle"
    echo "on Battle"
    echo "down $zoomout"
    echo "down $zoomout2"
    for _ in 1 2 3 4 5 6 7 8; do
        echo "drag 0 -5"
    done
    for player in 1 2; do
        read -r turnkey turnticks < <(edge_turn "$data/level/$level" "$player")
        [[ "$turnkey" == none ]] && continue
        turnkey=$(e2e_config_key "$data" "$turnkey")
        echo "down $turnkey"
        echo "+$turnticks up $turnkey"
        used=$((used + turnticks))
    done
    ((used <= 900)) || e2e_fail "$level: the tanks' turns take longer than the zoom"
    echo "down $forward"
    echo "down $forward2"
    echo "+540 up $forward"
    echo "up $forward2"
    echo "+$((900 - used)) up $zoomout"
    echo "up $zoomout2"
    for turn in 1 2 3 4; do
        echo "drag 90 0"
        echo "shot $level-$turn.png"
    done
    echo "end"
}

check_level() {
    local level=$1 height horizon shot below above turn
    level_script "$level" >"$E2E_WORK/$level.script"
    e2e_script_ok "$game" "$E2E_WORK/$level.script" -- --level "$level" --players 2
    height=$(identify -format '%h' "$E2E_WORK/$level-1.png")
    # At a pitch of 10 degrees under a vertical field of view of 80 the
    # horizon lies tan(10)/tan(40) of the half height above the middle.
    horizon=$(awk -v h="$height" 'BEGIN { printf "%d", h / 2 - h / 2 * sin(10 / 57.29578) / cos(10 / 57.29578) * cos(40 / 57.29578) / sin(40 / 57.29578) }')
    for turn in 1 2 3 4; do
        shot="$E2E_WORK/$level-$turn.png"
        below=$(magenta_pixels "$shot" $((horizon + 3)) "$height")
        above=$(magenta_pixels "$shot" 0 $((horizon - 3)))
        echo "$level, view $turn: $below marker pixels below the horizon line (row $horizon), $above above it"
        # Plenty of sky above the line: the camera has its highest pitch.
        ((above > 1000)) || e2e_fail "$level: the test sky is not on screen above the horizon"
        ((below == 0)) || {
            e2e_keep_shot "$shot" "horizon-fail-$level-$turn.png"
            e2e_fail "$level, view $turn: the sky shows below the horizon"
        }
    done
    e2e_keep_shot "$shot" "horizon-$level.png"
}

levels=$(cd "$data/level" && ls lvl*.lvl)
[[ -n "$levels" ]] || e2e_fail "no level files lvl*.lvl in data/level"
for level in $levels; do
    check_level "$level"
done
echo "PASS horizon"

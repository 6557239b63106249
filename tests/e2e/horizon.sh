#!/usr/bin/env bash
# Land to the horizon: under a test sky of one marker colour (magenta, with a
# grey band just above its horizon, which the fog takes as its colour), every
# level of data/level starts for two players, both drive from their start
# towards the field's nearest edge with their cameras zoomed fully out,
# player one's raised to its highest pitch, and in four directions no marker
# pixel shows below the horizon line in either view: wherever a camera can
# be, land (fogged towards the horizon) fills everything below it.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$1"
game=$(e2e_data_tree)
data="$game/data"
forward=$(e2e_player_key "$data" buttonup1)
forward2=$(e2e_player_key "$data" buttonup2)
xdrag="$E2E_WORK/xdrag"
cc -O1 -o "$xdrag" "$E2E_ROOT/tests/e2e/lib/xdrag.c" -lX11 || e2e_fail "could not build the drag helper"

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

# fps_pixels FILE: yellow pixels of the frame-rate line in the top-left corner.
fps_pixels() {
    convert "$1" -crop 300x30+0+0 +repage -alpha off -fuzz 25% \
        -fill black +opaque '#ffff00' -fill white -opaque '#ffff00' -colorspace Gray \
        -format '%[fx:int(mean*w*h+0.5)]' info:
}

# turn_view: turns the camera a quarter round with a right-button drag, then
# switches the frame-rate line (F2) and waits until a picture shows the
# switch: the game takes its events in order, so that picture is drawn after
# the turn. The new view is left in $E2E_WORK/view.png.
turn_view() {
    local shown now
    shown=$(fps_pixels "$E2E_WORK/view.png")
    "$xdrag" "$GAME_WID" 1 90 0 || e2e_fail "the camera drag could not be sent"
    e2e_key F2
    for _ in $(seq 60); do
        e2e_shot "$E2E_WORK/view.png"
        now=$(fps_pixels "$E2E_WORK/view.png")
        (((shown > 20) != (now > 20))) && return 0
    done
    e2e_fail "the frame-rate line did not switch after a camera turn"
}

# edge_turn LEVEL_FILE N: the key ("buttonleftN", "buttonrightN" or "none")
# and the seconds it is held that turn player N's tank from its start
# heading towards the nearest edge of the field (headings: 0 faces +z, 90
# faces +x; left turns up, right down, at the tank's 60 degrees a second).
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
            if (turn > 3) printf "buttonleft%d %.2f\n", n, turn / 60
            else if (turn < -3) printf "buttonright%d %.2f\n", n, -turn / 60
            else print "none 0"
        }' "$1"
}

check_level() {
    local level=$1 height horizon shot below above zoomed turnkey turnsecs
    start_level "$level"
    # While the camera zooms fully out (70 more units at 5 a second), it
    # goes up to its highest pitch (-10 degrees; the drag goes up in steps
    # the camera takes, the last one past the limit is refused), and the tank
    # turns to the nearest edge and drives into it.
    e2e_retry xdotool keydown --window "$GAME_WID" minus Next
    zoomed=$((SECONDS + 15))
    "$xdrag" "$GAME_WID" 8 0 -5 || e2e_fail "the camera drag could not be sent"
    for player in 1 2; do
        read -r turnkey turnsecs < <(edge_turn "$data/level/$level" "$player")
        [[ "$turnkey" == none ]] || e2e_hold "$(e2e_player_key "$data" "$turnkey")" "$turnsecs"
    done
    e2e_retry xdotool keydown --window "$GAME_WID" "$forward" "$forward2"
    sleep 9 # driving into the edge: the walls hold the tanks there
    e2e_retry xdotool keyup --window "$GAME_WID" "$forward" "$forward2"
    ((SECONDS >= zoomed)) || sleep $((zoomed - SECONDS))
    e2e_retry xdotool keyup --window "$GAME_WID" minus Next
    e2e_shot "$E2E_WORK/view.png"
    height=$(identify -format '%h' "$E2E_WORK/view.png")
    # At a pitch of 10 degrees under a vertical field of view of 80 the
    # horizon lies tan(10)/tan(40) of the half height above the middle.
    horizon=$(awk -v h="$height" 'BEGIN { printf "%d", h / 2 - h / 2 * sin(10 / 57.29578) / cos(10 / 57.29578) * cos(40 / 57.29578) / sin(40 / 57.29578) }')
    for turn in 1 2 3 4; do
        turn_view
        shot="$E2E_WORK/$level-$turn.png"
        cp "$E2E_WORK/view.png" "$shot"
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
    kill "$GAME_PID" 2>/dev/null || true
    wait "$GAME_PID" 2>/dev/null || true
    GAME_PID=""
}

start_level() {
    e2e_start "$game" -- --level "$1" --players 2
    e2e_wait_screen Battle 30
    e2e_wait_for "InitGL" 30
    e2e_wait_scene "$data" "$E2E_WORK/scene.png" 60
}

levels=$(cd "$data/level" && ls lvl*.lvl)
[[ -n "$levels" ]] || e2e_fail "no level files lvl*.lvl in data/level"
for level in $levels; do
    check_level "$level"
done
echo "PASS horizon"

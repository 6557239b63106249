#!/usr/bin/env bash
# Two games on one machine, each in a window of its own, play one battle over 127.0.0.1: the host
# (--host) and a joining game (--join). On a duel level without computer tanks, facing each other:
#  - the joining player's forward key moves its tank in the host's window;
#  - a shot by the host appears in the joining window, destroys the joining player's weak tank, and
#    the result shows on both;
#  - the joining game, killed, is reported by the host ("Player two's connection is interrupted");
#    started again and joined, it takes its place back in the running battle; then the host,
#    killed, is reported by it ("Connection interrupted").
source "$(dirname "$0")/lib/common.bash"
e2e_init "$1"
game=$(e2e_data_tree)
arena="$E2E_ROOT/data/level/test_small.lvl"

# Player one faces player two across the arena, on flat ground (in the arena's bowl a tank driving
# off would slide aside, out of the line of fire); two hits end player two.
sed -n '/^\[VEHICLE\]/q;p' "$arena" | sed 's/^name=test_small.lvl/name=duel.lvl/' >"$game/data/level/duel.lvl"
convert -size 60x60 xc:black PNG24:"$game/data/textures/heightmap_flat.png"
sed -i 's/^heightmap=.*/heightmap=heightmap_flat.png/' "$game/data/level/duel.lvl"
{
    e2e_tank player1 spieler1 0 14 180 100
    e2e_tank player2 spieler2 0 -14 0 10
} >>"$game/data/level/duel.lvl"

# The joining game gets an X display of its own: a window covered by another is not drawn.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$E2E_WORK/display2" >/dev/null 2>&1 &
second_xvfb=$!
trap 'status=$?; kill "$second_xvfb" ${HOST_PID:-} ${CLIENT_PID:-} 2>/dev/null; e2e_cleanup "$status"' EXIT
for _ in $(seq 100); do
    (($(wc -l <"$E2E_WORK/display2") > 0)) && break
    sleep 0.1
done
HOST_DISPLAY=$DISPLAY
CLIENT_DISPLAY=":$(head -n 1 "$E2E_WORK/display2")"
[[ "$CLIENT_DISPLAY" =~ ^:[0-9]+$ ]] || e2e_fail "could not start a second Xvfb"

up=$(e2e_player_key "$game/data" buttonup1) # a joining player drives with player one's keys
fire=$(e2e_player_key "$game/data" shoot1)
port=$(python3 -c 'import socket; s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')

# side NAME ARG...: starts a game on NAME's display whose output goes to NAME.out and waits for
# its first frame; its pid and window land in NAME_PID and NAME_WID.
side() {
    local name=$1 pid wid=""
    shift
    export DISPLAY=$(on "$name")
    (cd "$game" && exec env "${E2E_GAME_ENV[@]}" "$GAME_BIN" "$@") >"$E2E_WORK/$name.out" 2>&1 &
    pid=$!
    for _ in $(seq 150); do
        wid=$(xdotool search --pid "$pid" --name '^Panzerfeld$' 2>/dev/null | head -n 1 || true)
        [[ -n "$wid" ]] && break
        kill -0 "$pid" 2>/dev/null || { cat "$E2E_WORK/$name.out" >&2; e2e_fail "the $name ended before its window opened"; }
        sleep 0.1
    done
    [[ -n "$wid" ]] || e2e_fail "no window of the $name after 15 s"
    printf -v "${name^^}_PID" '%s' "$pid"
    printf -v "${name^^}_WID" '%s' "$wid"
    awaits "$name" '^First frame drawn$' 60
}
# on NAME: the X display of the host or the client.
on() { [[ "$1" == host ]] && echo "$HOST_DISPLAY" || echo "$CLIENT_DISPLAY"; }
# awaits NAME PATTERN SECONDS [FROM]: waits for a line of NAME's output (from line FROM on).
awaits() {
    local deadline=$((SECONDS + $3))
    until tail -n "+${4:-1}" "$E2E_WORK/$1.out" 2>/dev/null | grep -q -- "$2"; do
        if ((SECONDS >= deadline)); then
            tail -n 30 "$E2E_WORK/$1.out" >&2
            e2e_fail "the $1 did not print \"$2\" within $3 s"
        fi
        sleep 0.1
    done
}
# noise NAME REGION: the idle noise of REGION of NAME's window over three shots.
noise() {
    local wid i shots=()
    export DISPLAY=$(on "$1")
    wid=$(window "$1")
    timeout 30 import -window "$wid" "$E2E_WORK/base.png"
    for i in 1 2 3; do
        sleep 0.4
        timeout 30 import -window "$wid" "$E2E_WORK/noise.png"
        shots+=("$(e2e_region_rmse "$E2E_WORK/base.png" "$E2E_WORK/noise.png" "$2")")
    done
    idle=$(printf '%s\n' "${shots[@]}" | sort -g | tail -n 1)
}
# changes NAME REGION SECONDS: waits until REGION of NAME's window changed well beyond its noise.
changes() {
    local wid deadline=$((SECONDS + $3)) now
    export DISPLAY=$(on "$1")
    wid=$(window "$1")
    while :; do
        timeout 30 import -window "$wid" "$E2E_WORK/now.png"
        now=$(e2e_region_rmse "$E2E_WORK/base.png" "$E2E_WORK/now.png" "$2")
        awk -v c="$now" -v n="$idle" 'BEGIN { exit !(c > n * 2 && c > n + 0.008) }' && break
        if ((SECONDS >= deadline)); then
            [[ -n "${PANZER_KEEP_NETWORK_SHOTS:-}" ]] && cp "$E2E_WORK"/{base,noise,now}.png "$PANZER_KEEP_NETWORK_SHOTS/"
            tail -n 12 "$E2E_WORK/host.out" "$E2E_WORK/client.out" >&2
            e2e_fail "the $1's window did not change (change $now, idle noise $idle)"
        fi
        sleep 0.2
    done
    echo "the $1's window changed by $now (idle noise $idle)"
}
# window NAME: the game window of the host or the client.
window() { [[ "$1" == host ]] && echo "$HOST_WID" || echo "$CLIENT_WID"; }
# press NAME ACTION KEY: keydown, keyup or key on NAME's window.
press() { DISPLAY=$(on "$1") e2e_retry xdotool "$2" --window "$(window "$1")" "$3"; }
scene="320x320+352+180" # the middle of the battle view, where the two tanks stand
map="196x196+820+564"   # the minimap, while the map key is held: a dot for each tank, no smoke

side host --host --port "$port" --level duel.lvl --seed 7
awaits host "^Network: hosting data/level/duel.lvl for 2 players on port $port$" 10
side client --join "127.0.0.1:$port"
awaits client '^Network: Joined the battle on duel.lvl as player two$' 30
awaits host '^Network: Player two joined$' 30
awaits host '^Battle frame drawn$' 60
awaits client '^Battle frame drawn$' 60
sleep 2 # the tanks settle on the ground

# The joining player drives a few units: on the host's map, player two's dot moves.
mapkey=$(e2e_player_key "$game/data" buttonmap)
press host keydown "$mapkey"
sleep 1 # the map is drawn from the next frame on
noise host "$map"
press client keydown "$up"
sleep 1 # how long the key is held, not a wait for the game
press client keyup "$up"
changes host "$map" 20
press host keyup "$mapkey"
e2e_keep_shot "$E2E_WORK/now.png" screen-network-host.png
sleep 2 # player two's tank rolls to a stop

# The host fires: the shell, then player two's tank bursting, in the joining window.
noise client "$scene"
press host keydown "$fire" # held: the host's tank fires whenever it has reloaded
changes client "$scene" 20
awaits host '^Battle over: ' 30
press host keyup "$fire"
e2e_keep_shot "$E2E_WORK/now.png" screen-network-client.png
awaits host '^Screen: Result$' 30
awaits client '^Screen: Result$' 30

# The joining game vanishes: after a second of silence the host says that its connection is out.
said=$(($(wc -l <"$E2E_WORK/host.out") + 1))
kill -9 "$CLIENT_PID"
wait "$CLIENT_PID" 2>/dev/null || true
awaits host "^Network: Player two's connection is interrupted$" 20 "$said"
# Started again, it joins the running battle in its old place; then the host vanishes.
side client --join "127.0.0.1:$port"
awaits host '^Network: Player two is back$' 30
awaits client '^Network: The battle starts$' 30
sleep 2 # a host that went quiet after the result would show here
! grep -q 'Connection interrupted' "$E2E_WORK/client.out" || e2e_fail "the client saw an interruption before the host went"
said=$(($(wc -l <"$E2E_WORK/client.out") + 1))
kill -9 "$HOST_PID"
wait "$HOST_PID" 2>/dev/null || true
awaits client '^Network: Connection interrupted$' 20 "$said"
kill "$CLIENT_PID" 2>/dev/null || true
echo "PASS network"

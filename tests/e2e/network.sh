#!/usr/bin/env bash
# Two games on one machine, each in a window of its own, play one battle over 127.0.0.1: the host
# (--host) and a joining game (--join). On a duel level without computer tanks, facing each other:
#  - the joining player's forward key moves its tank in the host's window;
#  - a shot by the host appears in the joining window, destroys the joining player's weak tank, and
#    the result shows on both;
#  - the joining game, killed, is reported by the host ("Player two lost the connection"); joined
#    again, it is let into the running battle; then the host, killed, is reported by it
#    ("Connection lost").
source "$(dirname "$0")/lib/common.bash"
e2e_init "$1"
game=$(e2e_data_tree)
arena="$E2E_ROOT/data/level/test_small.lvl"

tank() {
    printf '[VEHICLE]\nname=%s\nmodel=tank1.md2\nowner=%s\nfahrzeugtyp=tank\nweapon=cannon\n' "$1" "$2"
    printf 'pos_x=%s\npos_y=2\npos_z=%s\nrotation=%s\nsize=1\nlife=%s\n' "$3" "$4" "$5" "$6"
}
# Player one faces player two across the arena; one hit ends player two.
sed -n '/^\[VEHICLE\]/q;p' "$arena" | sed 's/^name=test_small.lvl/name=duel.lvl/' >"$game/data/level/duel.lvl"
{
    tank player1 spieler1 0 14 180 100
    tank player2 spieler2 0 -14 0 10
} >>"$game/data/level/duel.lvl"

up=$(e2e_player_key "$game/data" buttonup1) # a joining player drives with player one's keys
fire=$(e2e_player_key "$game/data" shoot1)
port=$(python3 -c 'import socket; s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')

# side NAME ARG...: starts a game whose output goes to NAME.out and waits for its first frame;
# its pid and window land in NAME_PID and NAME_WID.
side() {
    local name=$1 pid wid=""
    shift
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
# awaits NAME PATTERN SECONDS: waits for a line of NAME's output.
awaits() {
    local deadline=$((SECONDS + $3))
    until grep -q -- "$2" "$E2E_WORK/$1.out" 2>/dev/null; do
        if ((SECONDS >= deadline)); then
            tail -n 30 "$E2E_WORK/$1.out" >&2
            e2e_fail "the $1 did not print \"$2\" within $3 s"
        fi
        sleep 0.1
    done
}
# changes WID REGION SECONDS: the idle noise of the window's REGION over three shots, then (after
# the caller's action, run by `act`) waits until the region changed well beyond it.
noise() {
    local wid=$1 i shots=()
    import -window "$wid" "$E2E_WORK/base.png"
    for i in 1 2 3; do
        sleep 0.4
        import -window "$wid" "$E2E_WORK/noise.png"
        shots+=("$(e2e_region_rmse "$E2E_WORK/base.png" "$E2E_WORK/noise.png" "$2")")
    done
    idle=$(printf '%s\n' "${shots[@]}" | sort -g | tail -n 1)
}
changes() {
    local wid=$1 deadline=$((SECONDS + $3)) now
    while :; do
        import -window "$wid" "$E2E_WORK/now.png"
        now=$(e2e_region_rmse "$E2E_WORK/base.png" "$E2E_WORK/now.png" "$2")
        awk -v c="$now" -v n="$idle" 'BEGIN { exit !(c > n * 2 && c > n + 0.008) }' && break
        ((SECONDS < deadline)) || e2e_fail "the window $wid did not change (change $now, idle noise $idle)"
        sleep 0.2
    done
    echo "window $wid changed by $now (idle noise $idle)"
}
scene="1024x740+0+28" # the battle view without the frame-rate line

side host -- --host --port "$port" --level duel.lvl --seed 7
awaits host "^Network: hosting data/level/duel.lvl for 2 players on port $port$" 10
side client -- --join "127.0.0.1:$port"
awaits client '^Network: Joined the battle on duel.lvl as player two$' 30
awaits host '^Network: Player two joined$' 30
awaits host '^Battle frame drawn$' 60
awaits client '^Battle frame drawn$' 60
sleep 2 # the tanks settle on the ground

# The joining player drives: the host's window shows player two's tank coming closer.
noise "$HOST_WID" "$scene"
e2e_retry xdotool keydown --window "$CLIENT_WID" "$up"
changes "$HOST_WID" "$scene" 20
e2e_retry xdotool keyup --window "$CLIENT_WID" "$up"
e2e_keep_shot "$E2E_WORK/now.png" screen-network-host.png
sleep 2 # player two's tank rolls to a stop

# The host fires: the shell, then player two's tank bursting, in the joining window.
noise "$CLIENT_WID" "$scene"
e2e_retry xdotool key --window "$HOST_WID" "$fire"
changes "$CLIENT_WID" "$scene" 20
e2e_keep_shot "$E2E_WORK/now.png" screen-network-client.png
awaits host '^Battle over: PLAYER ONE WINS' 30
awaits host '^Screen: Result$' 30
awaits client '^Screen: Result$' 30

# The joining game vanishes: the host says so once its five seconds of silence are up.
kill -9 "$CLIENT_PID"
wait "$CLIENT_PID" 2>/dev/null || true
awaits host '^Network: Player two lost the connection$' 20
# It joins the running battle again; then the host vanishes.
side client -- --join "127.0.0.1:$port"
awaits host '^Network: Player two is back$' 30
awaits client '^Network: The battle starts$' 30
kill -9 "$HOST_PID"
wait "$HOST_PID" 2>/dev/null || true
awaits client 'Connection lost' 20
kill "$CLIENT_PID" 2>/dev/null || true
echo "PASS network"

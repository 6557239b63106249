#!/usr/bin/env bash
# Replays, scripted: a battle played in the window with keys held down is
# recorded in data/replays/; checked without a window it ends in the state the
# window run ended in; watched in the window (a scripted run with --replay, on
# the script's clock) it plays to its end without diverging, the tanks moving
# as recorded; a cut file is refused with one error line and status 2, and a
# file whose inputs were changed (with its checksum written anew) is reported
# as diverging.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$1"
game=$(e2e_data_tree)
drive=$(e2e_config_key "$game/data" buttonup1)
turn=$(e2e_config_key "$game/data" buttonleft1)
fire=$(e2e_config_key "$game/data" shoot1)

# headless ARG...: the game without a window or display in the data tree; its
# output in headless.out, its status in `status`.
headless() {
    status=0
    (cd "$game" && exec env -u DISPLAY "${E2E_GAME_ENV[@]}" "$GAME_BIN" --headless "$@") \
        >"$E2E_WORK/headless.out" 2>"$E2E_WORK/headless.err" || status=$?
}

# Play: drive, turn and fire for two seconds of the battle, then leave for the
# menu by Escape (which saves the replay).
cat >"$E2E_WORK/play.script" <<SCRIPT
limit 1800
on Battle
down $drive
down $turn
down $fire
+120 up $drive
up $turn
up $fire
key escape
on Menu
end
SCRIPT
e2e_script "$game" "$E2E_WORK/play.script" -- --level test_small.lvl --seed 11
[[ "$GAME_STATUS" == 0 ]] || e2e_fail "the played battle ended with status $GAME_STATUS"
grep -q '^Screen: Menu' "$E2E_WORK/game.out" || e2e_fail "the battle did not leave for the menu"
saved=$(sed -n 's/^Replay saved: \([^ ]*\) (\([0-9]*\) ticks, state hash \([0-9a-f]*\))$/\1 \2 \3/p' "$E2E_WORK/game.out")
read -r file ticks hash <<<"$saved"
[[ -n "$hash" && -f "$game/$file" ]] || e2e_fail "no replay file named by \"Replay saved\" (${saved:-no line})"
((ticks > 60)) || e2e_fail "the replay holds $ticks ticks of play, not the seconds played"
cp "$E2E_WORK/game.out" "$E2E_WORK/played.out"
echo "recorded $file: $ticks ticks, state hash $hash"

# Checked without a window: the same end, the same result.
headless --replay "$file"
((status == 0)) || e2e_fail "the headless check ended with status $status: $(cat "$E2E_WORK/headless.err")"
grep -qx "State hash: $hash" "$E2E_WORK/headless.out" ||
    e2e_fail "the headless check ended in another state: $(grep 'State hash' "$E2E_WORK/headless.out")"
grep -qx "Ticks: $ticks (.*" "$E2E_WORK/headless.out" || e2e_fail "the headless check ran other ticks"
diff <(grep '^Battle over' "$E2E_WORK/played.out") <(grep '^Battle over' "$E2E_WORK/headless.out") ||
    e2e_fail "the headless check came to another result"
grep -q 'diverged' "$E2E_WORK/headless.out" && e2e_fail "the headless check diverged"

# Watched in the window: the recorded battle plays to its end as it was played. The late
# picture is taken a little after the last recorded tick, where the picture stands.
cat >"$E2E_WORK/watch.script" <<SCRIPT
limit $((ticks + 1800))
on Battle
shot early.png
+$((ticks + 10)) shot late.png
key escape
on Menu
end
SCRIPT
e2e_script "$game" "$E2E_WORK/watch.script" -- --replay "$file"
[[ "$GAME_STATUS" == 0 ]] || e2e_fail "the watched replay ended with status $GAME_STATUS"
over=$(grep -n -m1 -x "Replay over: $ticks ticks, state hash $hash" "$E2E_WORK/game.out" | cut -d: -f1) ||
    e2e_fail "the watched replay did not end as recorded: $(grep 'Replay over' "$E2E_WORK/game.out")"
late=$(grep -n -m1 '^Script shot: late.png' "$E2E_WORK/game.out" | cut -d: -f1) || e2e_fail "no late picture"
((over < late)) || e2e_fail "the late picture was taken before the replay was over"
grep -q '^Screen: Menu' "$E2E_WORK/game.out" || e2e_fail "the watched replay did not leave for the menu"
grep -q 'diverged' "$E2E_WORK/game.out" && e2e_fail "the replay diverged in the window"
moved=$(e2e_rmse "$E2E_WORK/early.png" "$E2E_WORK/late.png")
echo "picture change while the replay played: $moved"
awk -v d="$moved" 'BEGIN { exit !(d > 0.02) }' || e2e_fail "the picture hardly changed while the replay played ($moved)"
e2e_keep_shot "$E2E_WORK/late.png" screen-replay.png

# A cut file: one error line naming it, status 2.
head -c $(($(stat -c %s "$game/$file") / 2)) "$game/$file" >"$game/cut.pzr"
headless --replay cut.pzr
((status == 2)) || e2e_fail "a cut replay ended with status $status, not 2"
(($(grep -c '^Error: cut.pzr: ' "$E2E_WORK/headless.err") == 1 && $(wc -l <"$E2E_WORK/headless.err") == 1)) ||
    e2e_fail "a cut replay gave not one error line: $(cat "$E2E_WORK/headless.err")"

# Changed inputs under a checksum written anew: well formed, but another battle.
python3 - "$game/$file" "$game/changed.pzr" <<'PY'
import struct, sys, zlib
data = bytearray(open(sys.argv[1], 'rb').read())
at = 8 + 2
for _ in range(2):  # build id, level file
    at += 2 + struct.unpack_from('<H', data, at)[0]
at += 8 + 1 + 1 + 4 + 4 + 4 + 4  # data hash, players, skill, seed, tick length, ticks, changes
while data[at] & 0x80:  # the first change's tick
    at += 1
at += 2  # past the varint's last byte and the player: its throttle
data[at] = (256 - data[at]) & 0xff if data[at] else 127  # the other way
data[-4:] = struct.pack('<I', zlib.crc32(bytes(data[:-4])))
open(sys.argv[2], 'wb').write(data)
PY
headless --replay changed.pzr
grep -q '^Replay diverged at tick [0-9]*$' "$E2E_WORK/headless.out" ||
    e2e_fail "a changed replay did not say it diverged: $(cat "$E2E_WORK/headless.out" "$E2E_WORK/headless.err" | tail -5)"
(($(grep -c 'diverged' "$E2E_WORK/headless.out") == 1)) || e2e_fail "the divergence was said more than once"
echo "PASS replay"

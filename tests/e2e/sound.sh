#!/usr/bin/env bash
# The game heard through OpenAL Soft's wave-file output: a shot is a burst in the recording where
# the game said it fired, driving raises the engine's pitch, mute in the settings records silence;
# without any audio device the game says once that sound is off and plays on exactly as before.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$1"
command -v sox >/dev/null || e2e_fail "sox is not installed (tools/setup.sh)"
game=$(e2e_data_tree)
# The small arena as the first level with player one's tank alone in it: one engine to listen to,
# and no shots but player one's (the mission is complete at once; its sting is over before the
# test listens, and leaving the result skips the name entry for the score).
sed -e 's/^name=test_small.lvl/name=lvl1.lvl/' "$E2E_ROOT/data/level/test_small.lvl" |
    awk -v RS= -v ORS='\n\n' '!/name=cpu1/' >"$game/data/level/lvl1.lvl"
rm "$game/data/level/test_small.lvl"
up=$(e2e_player_key "$game/data" buttonup1)
fire=$(e2e_player_key "$game/data" shoot1)
recording="$E2E_WORK/battle.wav"
printf '[general]\ndrivers = wave\n[wave]\nfile = %s\n' "$recording" >"$E2E_WORK/record.conf"

# shot_at N: the recording time (seconds) at which the game started its Nth shot.
shot_at() {
    # The game ends some lines without a line break, so the report may follow other text.
    grep -o 'Sound shot\.wav at [0-9.]* s' "$E2E_WORK/game.out" | sed -n "$1s/.* at \([0-9.]*\) s/\1/p"
}

# burst_onset T: where, within half a second around T, the recording first turns loud in the
# high band a gun's crack fills and an engine does not; empty when nothing does.
burst_onset() {
    local from
    from=$(awk -v t="$1" 'BEGIN { printf "%.3f", (t > 0.3 ? t - 0.3 : 0) }')
    sox "$recording" -t dat - remix - trim "$from" 0.8 highpass 2500 2>/dev/null | awk -v from="$from" '
        /^;/ { next }
        {   # 5 ms windows; the first 0.2 s set the floor.
            w = int($1 / 0.005); sum[w] += $2 * $2; n[w]++; if (w > last) last = w }
        END {
            for (i = 0; i <= last; i++) rms[i] = (n[i] ? sqrt(sum[i] / n[i]) : 0)
            for (i = 0; i < 40; i++) floor = (rms[i] > floor ? rms[i] : floor)
            for (i = 0; i <= last; i++) if (rms[i] > 0.003 && rms[i] > 4 * floor) { printf "%.3f", from + i * 0.005; exit }
        }'
}

# leave_battle [WHERE]: Escape from the result (once it is up), Escape from the name entry, and
# back in the menu.
leave_battle() {
    e2e_wait_screen "Result" 20
    e2e_key Escape
    e2e_wait_screen "Name entry" 20
    e2e_key Escape
    e2e_wait_menu "$game/data" 20 || e2e_fail "Escape did not return to the menu$1"
}

# pitch FROM LENGTH: rough fundamental of the engines (Hz) in that stretch of the recording.
pitch() {
    sox "$recording" -n remix - trim "$1" "$2" lowpass 250 lowpass 250 stat 2>&1 | awk '/Rough/ { print $3 }'
}

e2e_start "$game" ALSOFT_CONF="$E2E_WORK/record.conf" -- --level lvl1.lvl
e2e_wait_screen "Battle|Result" 30 # no computer tank: decided at once
e2e_wait_for "InitGL" 30
sleep 4 # the engine idling
e2e_hold "$fire" 0.3
e2e_wait_for_count "Sound shot.wav at" 1 10 || e2e_fail "the game fired no shot"
sleep 2 # the shell's hit has died away
e2e_retry xdotool keydown --window "$GAME_WID" "$up"
sleep 3
# The shot while driving is the first one after this point: on a busy machine the short press
# above may have lasted into a second shot of its own.
fired=$(e2e_count "Sound shot.wav at")
e2e_retry xdotool keydown --window "$GAME_WID" "$fire"
e2e_wait_for_count "Sound shot.wav at" $((fired + 1)) 10 || e2e_fail "no shot while driving"
e2e_retry xdotool keyup --window "$GAME_WID" "$fire" "$up"
leave_battle ""
e2e_key Escape
e2e_wait_exit 20
((GAME_STATUS == 0)) || e2e_fail "the game ended with status $GAME_STATUS"
[[ -s "$recording" ]] || e2e_fail "nothing was recorded"
grep -q "Error" "$E2E_WORK/game.out" && e2e_fail "errors while recording"

standing=$(shot_at 1)
driving=$(shot_at $((fired + 1)))
for t in "$standing" "$driving"; do
    onset=$(burst_onset "$t")
    [[ -n "$onset" ]] || e2e_fail "no burst in the recording near the shot at $t s"
    echo "shot at $t s, burst from $onset s"
    awk -v a="$onset" -v b="$t" 'BEGIN { d = a - b; exit !(d > -0.2 && d < 0.2) }' ||
        e2e_fail "the burst at $onset s is not within 0.2 s of the shot at $t s"
done

idle=$(pitch "$(awk -v t="$standing" 'BEGIN { print t - 1.5 }')" 1.3)
moving=$(pitch "$(awk -v t="$driving" 'BEGIN { print t - 1.5 }')" 1.3)
echo "engine pitch standing $idle Hz, driving $moving Hz"
awk -v a="$idle" -v b="$moving" 'BEGIN { exit !(a > 0 && b > 1.15 * a) }' ||
    e2e_fail "driving did not raise the engine's pitch ($idle Hz -> $moving Hz)"

# Without any audio device: one line says so, nothing else about sound, and the battle goes on.
cp "$E2E_WORK/game.out" "$E2E_WORK/recorded.out"
printf '[general]\ndrivers = no-such-output\n' >"$E2E_WORK/silent.conf"
e2e_start "$game" ALSOFT_CONF="$E2E_WORK/silent.conf" -- --level lvl1.lvl
e2e_wait_screen "Battle|Result" 30 # no computer tank: decided at once
e2e_wait_for "InitGL" 30
e2e_hold "$fire" 0.3
sleep 2
e2e_retry xdotool keydown --window "$GAME_WID" "$up"
sleep 3
e2e_retry xdotool keydown --window "$GAME_WID" "$fire"
sleep 1
e2e_retry xdotool keyup --window "$GAME_WID" "$fire" "$up"
leave_battle " without sound"
e2e_key Escape
e2e_wait_exit 20
((GAME_STATUS == 0)) || e2e_fail "without sound the game ended with status $GAME_STATUS"
(($(e2e_count "No audio device: sound is off") == 1)) || e2e_fail "not exactly one line saying that sound is off"
grep -qiE "error|alsa|alsoft|Sound [a-z_]+\.wav" "$E2E_WORK/game.out" && e2e_fail "more than one line about sound"
# Apart from that line and the recording's reports, the two runs said the same (the game ends
# some lines without a break, so the reports may have split a line: line breaks do not count;
# the score counts the seconds the battle took, which no two runs share, nor their battle seeds and
# so their replays).
said() {
    sed -E -e "s/$1//g" -e 's/scores [0-9]+ and [0-9]+/scores/' -e 's/Battle seed: [0-9]+/Battle seed/' \
        -e 's/Replay saved: .*\)/Replay saved/' "$2" | tr -d '\n'
    echo
}
diff <(said 'Sound [a-z_]+\.wav at [0-9.]+ s' "$E2E_WORK/recorded.out") \
    <(said 'No audio device: sound is off' "$E2E_WORK/game.out") >"$E2E_WORK/said.diff" ||
    e2e_fail "the game without sound said other things than with sound: $(cat "$E2E_WORK/said.diff")"

# Mute in the settings: the same battle (menu sounds, the result's sting, the engine, a shot) is
# recorded as silence.
printf 'mute = 1\n' >"$game/data/config/settings.ini"
muted="$E2E_WORK/muted.wav"
printf '[general]\ndrivers = wave\n[wave]\nfile = %s\n' "$muted" >"$E2E_WORK/muted.conf"
e2e_start "$game" ALSOFT_CONF="$E2E_WORK/muted.conf" -- --level lvl1.lvl
e2e_wait_screen "Battle|Result" 30 # no computer tank: decided at once
e2e_wait_for "InitGL" 30
e2e_retry xdotool keydown --window "$GAME_WID" "$up" "$fire"
sleep 2
e2e_retry xdotool keyup --window "$GAME_WID" "$fire" "$up"
leave_battle " with mute on"
e2e_key Escape
e2e_wait_exit 20
((GAME_STATUS == 0)) || e2e_fail "with mute on the game ended with status $GAME_STATUS"
rm "$game/data/config/settings.ini"
[[ -s "$muted" ]] || e2e_fail "nothing was recorded with mute on"
loudest=$(sox "$muted" -n stat 2>&1 | awk '/Maximum amplitude/ { print $3 }')
echo "loudest sample with mute on: $loudest"
awk -v a="$loudest" 'BEGIN { exit !(a != "" && a < 0.001) }' || e2e_fail "mute is not silent (loudest sample $loudest)"

# A broken sound file: one error naming it, that sound silent, the others playing.
head -c 30 "$E2E_ROOT/data/sounds/shot.wav" >"$game/data/sounds/shot.wav"
e2e_start "$game" ALSOFT_CONF="$E2E_WORK/record.conf" -- --level lvl1.lvl
e2e_wait_screen "Battle|Result" 30 # no computer tank: decided at once
e2e_wait_for "InitGL" 30
e2e_hold "$fire" 0.3
leave_battle " with a broken sound"
e2e_key Escape
e2e_wait_exit 20
((GAME_STATUS == 0)) || e2e_fail "with a broken sound the game ended with status $GAME_STATUS"
(($(e2e_count "Error: ") == 1)) || e2e_fail "not exactly one error for the broken sound"
e2e_count "Error: data/sounds/shot.wav: " | grep -qx 1 || e2e_fail "the error does not name data/sounds/shot.wav"
(($(e2e_count "Sound shot.wav at") == 0)) || e2e_fail "the broken shot sound was played"
(($(e2e_count "Sound mission_complete.wav at") >= 1)) || e2e_fail "the other sounds fell silent too"
echo "PASS sound"

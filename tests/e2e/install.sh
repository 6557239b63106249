#!/usr/bin/env bash
# The game as a player installs it. `cmake --install` of the build folder into
# a prefix of our own, which is then read-only (mounted so where we may, and
# without write permission anyway), with HOME and the XDG folders in the work
# folder: a headless battle of the installed game started from another folder;
# a battle in the window that is won (on an arena an admin installed beside the
# shipped levels), with the frame-rate line switched on, a screenshot, a
# highscore and its replay, which the installed game then watches in the
# window and checks headless, and which a checkout's game plays alike (the two
# agree on the data). The player's files must be in the XDG folders, nothing
# new under the prefix. The menu entries and the software-centre entry pass
# Debian's validators, and the .deb that CPack makes holds what it should.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$1"
build=$(dirname "$GAME_BIN")
checkout_bin=$GAME_BIN
prefix=$E2E_WORK/prefix
home=$E2E_WORK/home
elsewhere=$E2E_WORK/elsewhere
mkdir -p "$home" "$elsewhere"
xdg=(HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/share" XDG_CACHE_HOME="$home/cache")

cmake --install "$build" --prefix "$prefix" >"$E2E_WORK/install.out" || e2e_fail "cmake --install failed"
[[ -x "$prefix/bin/panzerfeld" && -f "$prefix/share/panzerfeld/config/mainmenu.ini" ]] ||
    e2e_fail "the install holds no game or no data"
# The arena of the battle test, installed as an admin would add a level: player two's tank stands
# weakened in player one's line of fire, so that a few shots win the battle.
sed -e '/^name=cpu1/,/^life=/ s/^life=.*/life=20/' -e '/^name=cpu1/,/^owner=/ s/^owner=.*/owner=spieler2/' \
    "$prefix/share/panzerfeld/level/test_small.lvl" >"$prefix/share/panzerfeld/level/arena.lvl"
sed -i 's/^name=test_small.lvl/name=arena.lvl/' "$prefix/share/panzerfeld/level/arena.lvl"
listing() { (cd "$prefix" && find . -printf '%p %s %m %T@\n' | sort); }
listing >"$E2E_WORK/prefix.before"
chmod -R a-w "$prefix"

# The installed game, started through a mount namespace of its own in which the prefix is mounted
# read-only (where the kernel lets us make one): as root, the missing write permission alone would
# stop nothing. unshare and bash exec one another, so the game keeps the process id started.
GAME_BIN=$prefix/bin/panzerfeld
if unshare -m true 2>/dev/null || unshare -rm true 2>/dev/null; then
    namespace=(unshare -m)
    unshare -m true 2>/dev/null || namespace=(unshare -rm)
    cat >"$E2E_WORK/installed" <<WRAPPER
#!/usr/bin/env bash
exec ${namespace[*]} -- bash -c 'mount --bind -o ro "\$0" "\$0" && exec "\$0/bin/panzerfeld" "\$@"' "$prefix" "\$@"
WRAPPER
    chmod +x "$E2E_WORK/installed"
    GAME_BIN=$E2E_WORK/installed
else
    echo "SKIP: no mount namespace here; the prefix is read-only by its permissions alone"
fi

# headless DIR BINARY ARG...: a battle without a window; output in headless.out, status in `status`.
headless() {
    local dir=$1 binary=$2
    shift 2
    status=0
    (cd "$dir" && exec env -u DISPLAY "${E2E_GAME_ENV[@]}" "${xdg[@]}" "$binary" --headless "$@") \
        >"$E2E_WORK/headless.out" 2>"$E2E_WORK/headless.err" || status=$?
    ((status == 0)) || e2e_fail "headless $*: status $status: $(tail -n 3 "$E2E_WORK/headless.err")"
}

headless "$elsewhere" "$GAME_BIN" --level lvl1.lvl --seconds 2 --seed 5
grep -q '^Headless battle: /.*/share/panzerfeld/level/lvl1.lvl,' "$E2E_WORK/headless.out" ||
    e2e_fail "the headless battle does not name the installed level: $(head -n 1 "$E2E_WORK/headless.out")"
grep -q '^Error: ' "$E2E_WORK/headless.err" && e2e_fail "the installed game reports errors: $(cat "$E2E_WORK/headless.err")"
ls "$home/cache/panzerfeld/model_cooked/"*.bin >/dev/null 2>&1 || e2e_fail "no mesh cache under XDG_CACHE_HOME"

fire=$(e2e_config_key "$prefix/share/panzerfeld" shoot1)
cat >"$E2E_WORK/battle.script" <<SCRIPT
limit 3600
on Battle
key f2
down $fire
on Result
up $fire
key insert
key escape
on "Name entry"
$(for _ in $(seq 12); do echo "+1 key backspace"; done)
+1 key up
+1 key enter
on Menu
end
SCRIPT
e2e_script_ok "$elsewhere" "$E2E_WORK/battle.script" "${xdg[@]}" -- --level arena.lvl --players 2
grep -q "Battle over: MISSION COMPLETE" "$E2E_WORK/game.out" || e2e_fail "the battle ended, but not in a win"
grep -q '^Error: ' "$E2E_WORK/game.out" && e2e_fail "the window run reports errors: $(grep '^Error: ' "$E2E_WORK/game.out")"

# The player's files, each where the XDG folders say.
grep -qx 'framerate = 1' "$home/config/panzerfeld/settings.ini" 2>/dev/null ||
    e2e_fail "F2's frame-rate line is not kept in XDG_CONFIG_HOME/panzerfeld/settings.ini"
grep -qE $'^name1=A\r?$' "$home/share/panzerfeld/highscore.ini" 2>/dev/null ||
    e2e_fail "no highscore in XDG_DATA_HOME/panzerfeld/highscore.ini"
shot=$(sed -n 's/^Screenshot saved: //p' "$E2E_WORK/game.out")
[[ "$shot" == "$home/share/panzerfeld/screenshots/panzerfeld-"*.png ]] || e2e_fail "no screenshot saved (${shot:-no line})"
[[ "$(identify -format '%w %h' "$shot")" == "1024 768" ]] || e2e_fail "the screenshot is no picture of the window"
saved=$(sed -n 's/^Replay saved: \([^ ]*\) (\([0-9]*\) ticks, state hash \([0-9a-f]*\))$/\1 \2 \3/p' "$E2E_WORK/game.out")
read -r replay ticks hash <<<"$saved"
[[ "$replay" == "$home/share/panzerfeld/replays/replay-"*.pzr && -f "$replay" ]] ||
    e2e_fail "no replay saved in XDG_DATA_HOME/panzerfeld/replays (${saved:-no line})"

# The replay played back: in the window, headless, and by a checkout's game with the same level.
cat >"$E2E_WORK/watch.script" <<SCRIPT
limit $((ticks + 1800))
on Battle
+$((ticks + 10)) key escape
on Menu
end
SCRIPT
e2e_script_ok "$elsewhere" "$E2E_WORK/watch.script" "${xdg[@]}" -- --replay "$replay"
grep -qx "Replay over: $ticks ticks, state hash $hash" "$E2E_WORK/game.out" ||
    e2e_fail "the watched replay did not end as recorded: $(grep 'Replay\|Error' "$E2E_WORK/game.out")"
headless "$elsewhere" "$GAME_BIN" --replay "$replay"
grep -qx "State hash: $hash" "$E2E_WORK/headless.out" || e2e_fail "the installed game's check ended elsewhere"
checkout=$(e2e_data_tree)
cp "$prefix/share/panzerfeld/level/arena.lvl" "$checkout/data/level/"
headless "$checkout" "$checkout_bin" --replay "$replay"
grep -qx "State hash: $hash" "$E2E_WORK/headless.out" ||
    e2e_fail "a checkout's game plays the installed game's replay otherwise: $(cat "$E2E_WORK/headless.out" | tail -n 2)"

chmod -R u+w "$prefix"
diff "$E2E_WORK/prefix.before" <(listing) >"$E2E_WORK/prefix.diff" ||
    e2e_fail "the game changed its prefix: $(head -n 5 "$E2E_WORK/prefix.diff")"

# What menus and software centres read.
for entry in "$prefix"/share/applications/*.desktop; do
    desktop-file-validate "$entry" || e2e_fail "desktop-file-validate: $(basename "$entry")"
done
appstreamcli validate --no-net "$prefix"/share/metainfo/*.metainfo.xml >"$E2E_WORK/appstream.out" 2>&1 ||
    e2e_fail "appstreamcli validate: $(cat "$E2E_WORK/appstream.out")"
for size in 16 22 24 32 48 64 128 256 512; do
    [[ "$(identify -format '%w %h' "$prefix/share/icons/hicolor/${size}x${size}/apps/panzerfeld.png")" == "$size $size" ]] ||
        e2e_fail "no ${size}x${size} icon"
done
grep -qx "ExecStart=$prefix/bin/panzerfeld --headless --host --level lvl1.lvl" \
    "$prefix/lib/systemd/system/panzerfeld-host.service" || e2e_fail "the host's unit does not start the installed game"

# The .deb, built into the work folder (gzip: faster than the package's own xz, same contents).
(cd "$E2E_WORK" && cpack --config "$build/CPackConfig.cmake" -B "$E2E_WORK/deb" -G DEB \
    -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip) >"$E2E_WORK/cpack.out" 2>&1 || e2e_fail "cpack: $(tail -n 5 "$E2E_WORK/cpack.out")"
version=$(sed -n 's/^panzerfeld \([^ ]*\) .*/\1/p' <(env "${xdg[@]}" "$prefix/bin/panzerfeld" --version))
deb=$E2E_WORK/deb/panzerfeld_${version}_amd64.deb
[[ -f "$deb" ]] || e2e_fail "no $(basename "$deb"): $(ls "$E2E_WORK/deb")"
[[ "$(dpkg-deb -f "$deb" Section)" == games ]] || e2e_fail "the package is not in section games"
[[ "$(dpkg-deb -f "$deb" Depends)" == *libc6* ]] || e2e_fail "no dependencies found by shlibdeps"
dpkg-deb -c "$deb" | awk '{ print $6 }' >"$E2E_WORK/deb.files"
for file in ./usr/games/panzerfeld ./usr/share/panzerfeld/config/mainmenu.ini ./usr/share/panzerfeld/level/lvl1.lvl \
    ./usr/share/applications/org.panzerfeld.panzerfeld.desktop \
    ./usr/share/applications/org.panzerfeld.panzerfeld.replay.desktop \
    ./usr/share/metainfo/org.panzerfeld.panzerfeld.metainfo.xml ./usr/share/mime/packages/panzerfeld.xml \
    ./usr/share/icons/hicolor/48x48/apps/panzerfeld.png ./usr/share/man/man6/panzerfeld.6.gz \
    ./usr/lib/systemd/system/panzerfeld-host.service ./usr/share/doc/panzerfeld/copyright; do
    grep -qxF "$file" "$E2E_WORK/deb.files" || e2e_fail "the package lacks $file"
done
grep -E 'config/(settings|highscore)\.ini|model_cooked|cookedmodel_config|/replays|/screenshots|\.tmp$' "$E2E_WORK/deb.files" &&
    e2e_fail "the package holds a player's files"
# Debian keeps its games' programs in /usr/games.
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/lib/systemd/system/panzerfeld-host.service |
    grep -qx 'ExecStart=/usr/games/panzerfeld --headless --host --level lvl1.lvl' ||
    e2e_fail "the package's unit does not start /usr/games/panzerfeld"
echo "PASS install ($(wc -l <"$E2E_WORK/deb.files") entries in $(basename "$deb"))"

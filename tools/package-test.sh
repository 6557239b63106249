#!/usr/bin/env bash
# The Debian package as a player gets it: installed with apt into a throwaway Debian 12 (bookworm)
# root, its dependencies fetched from the mirror, played there by an ordinary user, then purged,
# after which the root must be as it was before. Not part of tools/test.sh: it needs root and the
# network, and takes minutes. See docs/packaging.md.
#
#   tools/package-test.sh              builds build/ (tools/setup.sh), makes the .deb there with cpack
#                                      and tests it
#   tools/package-test.sh FILE.deb     tests that package
#
# Needs root (debootstrap, chroot, mounts), the packages debootstrap, xvfb and x11-utils (Xvfb and
# xwininfo run here; the game in the root draws into this Xvfb), and deb.debian.org (or the mirror
# in PANZER_DEBIAN_MIRROR).
#
# The first run makes the root with `debootstrap --variant=minbase` and keeps it, as a tarball, in
# build/package-test/ (PANZER_PACKAGE_CACHE names another folder), with the packages apt fetched;
# later runs unpack the tarball and bring it up to date, which takes seconds rather than minutes.
# Delete the folder to start afresh. The logs of the last run are in its logs/.
#
# Steps (each reported PASS or FAIL at the end):
#   root       the root, up to date, with the user "player" (home /home/player); its file list and
#              package list recorded
#   install    apt-get install ./panzerfeld_*.deb; dpkg --verify; `panzerfeld` on the player's PATH
#   headless   a 5-second battle as the player from his home: exit status 0, the installed level
#              played, no error, the mesh cache written under ~/.cache/panzerfeld
#   window     the menu, as the player, in a window on an Xvfb: the "Panzerfeld" window appears and
#              is shown, and the game is still running then; ended, the game takes its window along
#   purge      apt-get purge panzerfeld, apt-get autoremove --purge: no file of the package left,
#              the packages and the file list as recorded before the install
set -euo pipefail
caller=$PWD
cd "$(dirname "$0")/.."
repo=$PWD
self=$repo/tools/package-test.sh

die() {
    echo "Error: $*" >&2
    exit 1
}

suite=bookworm
mirror=${PANZER_DEBIAN_MIRROR:-http://deb.debian.org/debian}
cache=${PANZER_PACKAGE_CACHE:-$repo/build/package-test}
logs=$cache/logs

# Outside: check, build the package if none is given, and go on in a mount namespace of our own, so
# that no mount of the test can outlive it or be seen elsewhere.
if [[ "${PANZER_PACKAGE_TEST_INSIDE:-}" != 1 ]]; then
    (($# <= 1)) || die "usage: tools/package-test.sh [PACKAGE.deb]"
    [[ $(id -u) -eq 0 ]] || die "the package test needs root (debootstrap, chroot, mounts): sudo tools/package-test.sh"
    for tool in debootstrap chroot unshare mount umount findmnt Xvfb xwininfo tar dpkg-deb timeout; do
        command -v "$tool" >/dev/null || die "$tool is missing (apt-get install debootstrap xvfb x11-utils)"
    done
    rm -rf "$logs"
    mkdir -p "$logs"
    if (($# == 1)); then
        deb=$(cd "$caller" && realpath -e -- "$1" 2>/dev/null) || die "no such package: $1"
    else
        # Under sudo the build stays the developer's: build/ keeps its owner.
        as_developer=()
        [[ -n "${SUDO_USER:-}" && "$SUDO_USER" != root ]] && as_developer=(runuser -u "$SUDO_USER" --)
        echo "Building the package in build/ (log: $logs/build.log)"
        { "${as_developer[@]}" tools/setup.sh release &&
            (cd build && "${as_developer[@]}" cpack -G DEB); } >"$logs/build.log" 2>&1 ||
            die "the build failed: $(tail -n 3 "$logs/build.log" | tr '\n' ' ')"
        deb=$(sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' "$logs/build.log" | tail -n 1)
        [[ -f "$deb" ]] || die "cpack named no package (log: $logs/build.log)"
    fi
    [[ "$(dpkg-deb -f "$deb" Package 2>/dev/null)" == panzerfeld ]] || die "$deb is no panzerfeld package"
    exec env PANZER_PACKAGE_TEST_INSIDE=1 unshare --mount --propagation private -- "$self" "$deb"
fi

deb=$1
started=$SECONDS
mkdir -p "$logs" "$cache/apt-archives"
tarball=$cache/$suite-root.tar
work=$(mktemp -d "${TMPDIR:-/var/tmp}/panzerfeld-package-test.XXXXXX")
root=$work/root
mkdir "$root"
mounts=()   # mount points in the root, in the order mounted
xvfb_pid=""
game_pid=""

# stop PID: ends a process this script started and waits for it (ten seconds, then SIGKILL).
stop() {
    local pid=$1 tries=0
    kill "$pid" 2>/dev/null || return 0
    while kill -0 "$pid" 2>/dev/null && ((tries++ < 100)); do
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

unmount_all() {
    local i
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        umount -R "${mounts[i]}" 2>/dev/null || umount -R -l "${mounts[i]}" 2>/dev/null || true
    done
    mounts=()
}

cleanup() {
    local status=$?
    set +e # every part of the clean-up is tried
    [[ -n "$game_pid" ]] && stop "$game_pid"
    [[ -n "$xvfb_pid" ]] && stop "$xvfb_pid"
    unmount_all
    # Whatever else is still mounted there (debootstrap, stopped half-way, may leave its /proc).
    findmnt -rn -o TARGET | grep "^$work/" | LC_ALL=C sort -r | while IFS= read -r target; do
        umount -l "$target" 2>/dev/null || true
    done
    # Nothing is deleted while anything is still mounted in the root (its /dev is the machine's).
    if findmnt -rn -o TARGET | grep -q "^$work/"; then
        echo "Error: mounts are left under $work, which stays; unmount them and delete it" >&2
        status=1
    else
        rm -rf --one-file-system "$work"
    fi
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# in_root COMMAND...: runs a command in the root as its root user.
in_root() {
    chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
        DEBIAN_FRONTEND=noninteractive "$@"
}

# player_command SHELL-COMMAND [NAME=VALUE...]: sets `player` to the command line that runs a shell
# command in the root as the player, through a login shell (his PATH, with /usr/games, comes from
# the root's /etc/profile). chroot, env and a shell that execs the game: one process id throughout,
# the game's, when "${player[@]}" runs as a simple command in the background.
player_uid=""
player_gid=""
player=()
player_command() {
    local command=$1
    shift
    player=(chroot --userspec="$player_uid:$player_gid" "$root" /usr/bin/env -i HOME=/home/player USER=player
        LOGNAME=player SHELL=/bin/bash LANG=C.UTF-8 "$@" /bin/bash -lc "$command")
}

# apt_in_root LOG ARG...: apt-get in the root, its output appended to the log.
apt_in_root() {
    local log=$1
    shift
    echo "# apt-get $*" >>"$log"
    timeout --foreground 1800 chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
        DEBIAN_FRONTEND=noninteractive apt-get -q -o Dpkg::Use-Pty=0 "$@" >>"$log" 2>&1
}

why=""
fail() {
    why=$*
    return 1
}

mount_in() { # mount_in TARGET MOUNT-ARGUMENT...
    local target=$1
    shift
    mkdir -p "$target"
    mount "$@" "$target" || return 1
    mounts+=("$target")
}

# The root's file list: type, mode, owner and name of everything except the places that change by
# themselves whatever is installed (the list in docs/packaging.md says why each):
#   /tmp                        scratch, and where the X socket folder is mounted
#   /var/cache                  apt's package archives and caches, man-db's index
#   /var/lib/apt, /var/lib/dpkg the package database: lists, status, the packages' records
#   /var/log                    apt's, dpkg's and alternatives' logs
#   /home/player                the player's own files: a purge leaves them, as it should
#   /run                        run-time state (a tmpfs on a booted system): adduser's lock file
listing() {
    (cd "$root" && find . -xdev \( -path ./tmp -o -path ./run -o -path ./var/cache -o -path ./var/lib/apt \
        -o -path ./var/lib/dpkg -o -path ./var/log -o -path ./home/player \) -prune \
        -o -printf '%y %m %U:%G %p\n') | LC_ALL=C sort
}
packages() {
    in_root dpkg-query -W -f '${binary:Package} ${Version} ${db:Status-Abbrev}\n' | LC_ALL=C sort
}

step_root() {
    local log=$logs/root.log
    if [[ -f "$tarball" ]]; then
        tar -C "$root" --numeric-owner -xpf "$tarball" || fail "cannot unpack $tarball" || return 1
    else
        echo "Making the $suite root with debootstrap (first run; log: $log)"
        timeout --foreground 1800 debootstrap --variant=minbase "$suite" "$root" "$mirror" >"$log" 2>&1 ||
            fail "debootstrap failed: $(tail -n 2 "$log" | tr '\n' ' ')" || return 1
        in_root useradd --create-home --home-dir /home/player --shell /bin/bash player >>"$log" 2>&1 ||
            fail "useradd failed in the root" || return 1
        # No service of a package installed in the root may start (the usual guard of a chroot).
        printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
        chmod 755 "$root/usr/sbin/policy-rc.d"
        in_root apt-get clean
        tar -C "$root" --numeric-owner -cpf "$tarball.tmp" . && mv "$tarball.tmp" "$tarball" ||
            fail "cannot keep the root in $tarball" || return 1
    fi
    player_uid=$(in_root id -u player) && player_gid=$(in_root id -g player) || fail "no user player in the root" || return 1

    mount_in "$root/proc" -t proc proc || mount_in "$root/proc" --rbind /proc || fail "cannot mount /proc" || return 1
    mount_in "$root/sys" --rbind /sys || fail "cannot mount /sys" || return 1
    mount_in "$root/dev" --rbind /dev || fail "cannot mount /dev" || return 1
    mount --make-rslave "$root/sys" && mount --make-rslave "$root/dev" || fail "cannot make the mounts slaves" || return 1
    # What apt fetches is kept between runs (/var/cache is not compared).
    mount_in "$root/var/cache/apt/archives" --bind "$cache/apt-archives" || fail "cannot mount apt's archives" || return 1
    cp -L /etc/resolv.conf "$root/etc/resolv.conf" || fail "cannot give the root /etc/resolv.conf" || return 1

    apt_in_root "$log" update && apt_in_root "$log" -y dist-upgrade && apt_in_root "$log" -y autoremove --purge ||
        fail "apt-get could not bring the root up to date: $(tail -n 2 "$log" | tr '\n' ' ')" || return 1
    listing >"$work/files.before"
    packages >"$work/packages.before"
    [[ -s "$work/files.before" && -s "$work/packages.before" ]] || fail "cannot list the root" || return 1
    echo "  $(wc -l <"$work/packages.before") packages, $(wc -l <"$work/files.before") files" >"$work/root.note"
}

step_install() {
    local log=$logs/install.log name
    name=$(basename "$deb")
    mkdir -p "$root/tmp/package"
    cp "$deb" "$root/tmp/package/$name" || fail "cannot copy $deb into the root" || return 1
    chmod 755 "$root/tmp/package" && chmod 644 "$root/tmp/package/$name"
    apt_in_root "$log" install -y "/tmp/package/$name" ||
        fail "apt-get install failed: $(grep -E '^(E:|dpkg)' "$log" | head -n 3 | tr '\n' ' ')" || return 1
    [[ "$(in_root dpkg-query -W -f '${db:Status-Status}' panzerfeld 2>/dev/null)" == installed ]] ||
        fail "panzerfeld is not installed after apt-get install" || return 1
    in_root dpkg --verify panzerfeld >"$logs/verify.out" 2>&1 && [[ ! -s "$logs/verify.out" ]] ||
        fail "dpkg --verify: $(head -n 3 "$logs/verify.out" | tr '\n' ' ')" || return 1
    local found
    player_command 'command -v panzerfeld'
    found=$("${player[@]}" 2>/dev/null) || true
    [[ "$found" == /usr/games/panzerfeld ]] || fail "the player's PATH finds ${found:-no panzerfeld}, not /usr/games/panzerfeld" || return 1
    packages >"$work/packages.installed"
    echo "  $(comm -13 "$work/packages.before" "$work/packages.installed" | wc -l) packages installed, with dependencies from $mirror" >"$work/install.note"
}

step_headless() {
    local out=$logs/headless.out err=$logs/headless.err status=0
    player_command 'cd ~ && exec timeout --foreground 300 panzerfeld --headless --level lvl1.lvl --seconds 5 --seed 1'
    "${player[@]}" >"$out" 2>"$err" || status=$?
    ((status == 0)) || fail "exit status $status: $(tail -n 2 "$err" | tr '\n' ' ')" || return 1
    grep -q '^Headless battle: /usr/share/panzerfeld/level/lvl1.lvl' "$out" ||
        fail "the battle did not play the installed level: $(head -n 1 "$out")" || return 1
    ! grep -q '^Error: ' "$err" || fail "the game reported: $(grep -m 1 '^Error: ' "$err")" || return 1
    local cached
    cached=$(find "$root/home/player/.cache/panzerfeld" -type f 2>/dev/null | wc -l)
    ((cached > 0)) || fail "nothing under ~player/.cache/panzerfeld" || return 1
    echo "  $(grep -m 1 '^Headless battle: ' "$out"); $cached files in ~/.cache/panzerfeld" >"$work/headless.note"
}

step_window() {
    local display_file=$work/display tries=0 display wid=""
    : >"$display_file"
    Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp 9>"$display_file" >"$logs/xvfb.log" 2>&1 &
    xvfb_pid=$!
    while [[ ! -s "$display_file" ]]; do
        kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb did not start: $(tail -n 1 "$logs/xvfb.log")" || return 1
        ((tries++ < 300)) || fail "Xvfb did not get ready in 30 seconds" || return 1
        sleep 0.1
    done
    display=:$(head -n 1 "$display_file")
    mount_in "$root/tmp/.X11-unix" --bind /tmp/.X11-unix || fail "cannot mount /tmp/.X11-unix" || return 1

    player_command 'cd ~ && exec panzerfeld' DISPLAY="$display"
    "${player[@]}" >"$logs/window.out" 2>"$logs/window.err" &
    game_pid=$!
    tries=0
    while [[ -z "$wid" ]]; do
        kill -0 "$game_pid" 2>/dev/null ||
            fail "the game ended before its window appeared: $(tail -n 2 "$logs/window.err" | tr '\n' ' ')" || return 1
        ((tries++ < 1200)) || fail "no Panzerfeld window in 120 seconds" || return 1
        wid=$(xwininfo -display "$display" -root -tree 2>/dev/null | awk '$2 == "\"Panzerfeld\":" { print $1; exit }')
        [[ -n "$wid" ]] || sleep 0.1
    done
    tries=0
    until xwininfo -display "$display" -id "$wid" 2>/dev/null | grep -q 'Map State: IsViewable'; do
        ((tries++ < 300)) || fail "the Panzerfeld window was never shown" || return 1
        sleep 0.1
    done
    kill -0 "$game_pid" 2>/dev/null ||
        fail "the game ended once its window appeared: $(tail -n 2 "$logs/window.err" | tr '\n' ' ')" || return 1
    xwininfo -display "$display" -root -tree >"$logs/window.tree" 2>&1 || true
    ! grep -q '^Error: ' "$logs/window.err" || fail "the game reported: $(grep -m 1 '^Error: ' "$logs/window.err")" || return 1
    echo "  window $wid \"Panzerfeld\" $(xwininfo -display "$display" -id "$wid" | awk '/geometry/ { print $2 }') shown, game (pid $game_pid) running" >"$work/window.note"
    stop "$game_pid"
    game_pid=""
    # The window was the game's own: it goes with the game.
    tries=0
    while xwininfo -display "$display" -id "$wid" >/dev/null 2>&1; do
        ((tries++ < 100)) || fail "the Panzerfeld window outlived the game" || return 1
        sleep 0.1
    done
    stop "$xvfb_pid"
    xvfb_pid=""
    umount "$root/tmp/.X11-unix" && unset 'mounts[${#mounts[@]}-1]'
}

step_purge() {
    local log=$logs/purge.log
    in_root dpkg-query -L panzerfeld >"$work/package.files" 2>/dev/null || fail "dpkg -L panzerfeld failed" || return 1
    apt_in_root "$log" purge -y panzerfeld && apt_in_root "$log" autoremove --purge -y ||
        fail "apt-get purge/autoremove failed: $(grep -E '^(E:|dpkg)' "$log" | head -n 3 | tr '\n' ' ')" || return 1
    local state
    state=$(in_root dpkg-query -W -f '${db:Status-Status}' panzerfeld 2>/dev/null) || true
    [[ -z "$state" || "$state" == not-installed ]] || fail "dpkg still knows panzerfeld as $state" || return 1

    # Each file of the package gone, unless it was in the root before (a shared folder like /usr/games).
    awk '{ print substr($4, 2) }' "$work/files.before" | LC_ALL=C sort >"$work/names.before"
    while IFS= read -r path; do
        [[ -n "$path" && "$path" != /. ]] && [[ -e "$root$path" || -L "$root$path" ]] && echo "$path"
    done <"$work/package.files" | LC_ALL=C sort | LC_ALL=C comm -23 - "$work/names.before" >"$logs/package.left"
    [[ ! -s "$logs/package.left" ]] ||
        fail "$(wc -l <"$logs/package.left") files of the package are left: $(head -n 5 "$logs/package.left" | tr '\n' ' ')" || return 1

    packages >"$work/packages.after"
    diff "$work/packages.before" "$work/packages.after" >"$logs/packages.diff" ||
        fail "the packages differ from before the install: $(head -n 6 "$logs/packages.diff" | tr '\n' ' ')" || return 1
    listing >"$work/files.after"
    diff "$work/files.before" "$work/files.after" >"$logs/files.diff" ||
        fail "the root's files differ from before the install: $(head -n 6 "$logs/files.diff" | tr '\n' ' ')" || return 1
    echo "  $(grep -c . "$work/package.files") paths of the package gone; packages and $(wc -l <"$work/files.after") files as before" >"$work/purge.note"
}

results=()
failed=0
# run NAME: runs step_NAME and records its result; a step that needs an earlier one is skipped
# when that failed.
run() {
    local name=$1 begin=$SECONDS
    why=""
    echo "== $name"
    if "step_$name"; then
        results+=("PASS  $name ($((SECONDS - begin)) s)")
        [[ -f "$work/$name.note" ]] && results+=("$(cat "$work/$name.note")")
        return 0
    fi
    results+=("FAIL  $name ($((SECONDS - begin)) s): $why")
    failed=1
    return 1
}
skip() {
    results+=("SKIP  $1 (an earlier step failed)")
    failed=1
}

echo "Package: $deb"
if run root; then
    if run install; then
        run headless || true
        run window || true
        run purge || true
    else
        skip headless
        skip window
        skip purge
    fi
else
    skip install
    skip headless
    skip window
    skip purge
fi

echo
echo "Package test of $(basename "$deb") in Debian $suite ($((SECONDS - started)) s; logs in $logs):"
printf '%s\n' "${results[@]}"
if ((failed)); then
    echo "FAIL"
    echo "Error: the package test failed" >&2
    exit 1
fi
echo "PASS"

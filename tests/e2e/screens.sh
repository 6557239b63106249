#!/usr/bin/env bash
# The menu's screens end to end, scripted: Options, Help, Highscores and
# Network each open from a click on their item and Escape comes back to the
# menu without ending the program; a key rebound in Options is written into
# playerconfig.ini (its comments kept) and drives the tank after a restart; a
# playerconfig.ini that binds one key twice starts with the default keys and
# one error line.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$1"
game=$(e2e_data_tree)
python3 "$E2E_ROOT/tests/e2e/lib/menu_layout.py" "$game/data" 1024 768 compose "$E2E_WORK/menu-plain.png"
python3 "$E2E_ROOT/tests/e2e/lib/menu_layout.py" "$game/data" 1024 768 compose "$E2E_WORK/menu-hover1.png" 1

# item_click ITEM: a script's click in the middle of the menu item's picture,
# where the layout of mainmenu.ini puts it (a click at pixels goes through the
# menu's own hit test, as a player's does).
item_click() {
    local _item x1 y1 x2 y2
    read -r _item x1 y1 x2 y2 < <(python3 "$E2E_ROOT/tests/e2e/lib/menu_layout.py" "$game/data" 1024 768 rects "$1")
    echo "click $(((x1 + x2) / 2)) $(((y1 + y2) / 2))"
}
# differs FILE REFERENCE OP LIMIT: the picture's difference from REFERENCE is OP ("<" or ">") LIMIT.
differs() {
    local rmse
    rmse=$(e2e_rmse "$1" "$2")
    echo "$(basename "$1") against $(basename "$2"): $rmse"
    awk -v a="$rmse" -v b="$4" -v op="$3" 'BEGIN { exit !(op == "<" ? a < b : a > b) }'
}

# Each screen and back, the pointer parked on no item for the menu's picture;
# then Options again: the cursor starts on the first setting, the key rows
# follow the fifteen settings and the six pad buttons, on the screen's second
# page; a key in use (d turns right already) is refused. Escape in the menu
# ends the program, so the script's own end is never reached.
screens=(2:Options 3:Help 5:Highscores 6:Network)
{
    echo "limit 3600"
    for pair in "${screens[@]}"; do
        item_click "${pair%%:*}"
        echo "on ${pair#*:}"
        echo "shot screen${pair%%:*}.png"
        echo "key escape"
        echo "on Menu"
        echo "point 5 5"
        echo "shot menu${pair%%:*}.png"
    done
    item_click 2
    echo "on Options"
    for _ in $(seq 21); do echo "+1 key down"; done
    printf '+1 key %s\n' enter d enter i escape
    echo "on Menu"
    echo "+1 key escape"
    echo "+60 end # not reached"
} >"$E2E_WORK/screens.script"
e2e_script_quits "$game" "$E2E_WORK/screens.script"
seen=$(grep -o 'Screen: [A-Za-z ]*' "$E2E_WORK/game.out" | sed 's/^Screen: //' | paste -sd ,)
echo "screens: $seen"
for pair in "${screens[@]}"; do
    item=${pair%%:*}
    name=${pair#*:}
    [[ -f "$E2E_WORK/screen$item.png" ]] || e2e_fail "item $item did not open $name"
    differs "$E2E_WORK/screen$item.png" "$E2E_WORK/menu-plain.png" ">" 0.05 || e2e_fail "$name still shows the menu"
    [[ "$name" == Highscores ]] || e2e_keep_shot "$E2E_WORK/screen$item.png" "screen-${name,,}.png"
    differs "$E2E_WORK/menu$item.png" "$E2E_WORK/menu-plain.png" "<" 0.03 ||
        e2e_fail "Escape on $name did not return to the menu"
    echo "$name opens and closes"
done
[[ "$seen" == "Options,Menu,Help,Menu,Highscores,Menu,Network,Menu,Options,Menu" ]] ||
    e2e_fail "the screens came in another order (an Escape that ended the program or went elsewhere)"
grep -q '^Keys saved' "$E2E_WORK/game.out" || e2e_fail "leaving Options saved no keys"
grep -q '^buttonup1 = i$' "$game/data/config/playerconfig.ini" || e2e_fail "buttonup1 was not rebound to i"
grep -q '^buttonright1 = d$' "$game/data/config/playerconfig.ini" || e2e_fail "buttonright1 changed"
grep -q '^# Player 1, left hand' "$game/data/config/playerconfig.ini" || e2e_fail "the file lost its comments"
[[ -f "$game/data/config/settings.ini" ]] || e2e_fail "leaving Options wrote no settings.ini"

# drives KEY NAME: a script that starts a battle from the menu's game item and
# holds KEY for two seconds once the tank has settled on the ground for two.
drives() {
    item_click 1
    echo "on \"Level choice\""
    echo "shot $2-choice.png"
    echo "key enter"
    echo "on Battle"
    echo "+120 shot $2-before.png"
    echo "down $1"
    echo "+120 up $1"
    echo "shot $2-after.png"
    echo "key escape"
    echo "on Menu"
}
# moved KEY NAME: the level choice was drawn, and holding KEY moved the picture.
moved() {
    differs "$E2E_WORK/$2-choice.png" "$E2E_WORK/menu-hover1.png" ">" 0.05 || e2e_fail "the level choice is not drawn"
    differs "$E2E_WORK/$2-before.png" "$E2E_WORK/$2-after.png" ">" 0.02 || e2e_fail "holding $1 did not drive the tank"
}

{
    echo "limit 3600"
    drives i rebound
    echo "+1 key escape"
    echo "+60 end # not reached"
} >"$E2E_WORK/rebound.script"
e2e_script_quits "$game" "$E2E_WORK/rebound.script"
moved i rebound

# A key bound twice: one error line naming the file, the key and both actions; the default keys.
sed -i -e 's/^buttonup1 = .*/buttonup1 = x/' -e 's/^buttondown1 = .*/buttondown1 = X/' \
    "$game/data/config/playerconfig.ini"
cp "$game/data/config/playerconfig.ini" "$E2E_WORK/conflict.ini"
{
    echo "limit 3600"
    drives w conflict
    echo "end"
} >"$E2E_WORK/conflict.script"
e2e_script_ok "$game" "$E2E_WORK/conflict.script"
errors=$(grep -c 'Error: ' "$E2E_WORK/game.out" || true)
[[ "$errors" == 1 ]] || e2e_fail "$errors error lines for a key bound twice"
grep 'Error: ' "$E2E_WORK/game.out" | grep 'playerconfig.ini' | grep '"x"' | grep buttonup1 | grep -q buttondown1 ||
    e2e_fail "the error line does not name the file, the key and both actions"
cmp -s "$game/data/config/playerconfig.ini" "$E2E_WORK/conflict.ini" || e2e_fail "the file was changed"
moved w conflict
echo "PASS screens"

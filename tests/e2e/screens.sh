#!/usr/bin/env bash
# The menu's screens end to end: Options, Help, Highscores and Network each
# open from their item and Escape comes back to the menu without ending the
# program; a key rebound in Options is written into playerconfig.ini (its
# comments kept) and drives the tank after a restart; a playerconfig.ini that
# binds one key twice starts with the default keys and one error line.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$1"
game=$(e2e_data_tree)

e2e_start "$game"
for pair in 2:Options 3:Help 5:Highscores 6:Network; do
    item=${pair%%:*}
    name=${pair#*:}
    e2e_click_item "$game/data" "$item"
    e2e_wait_screen "$name" 10
    e2e_wait_not_menu "$game/data" "$E2E_WORK/screen$item.png"
    [[ "$name" == Highscores ]] || e2e_keep_shot "$E2E_WORK/screen$item.png" "screen-${name,,}.png"
    e2e_key Escape
    e2e_wait_screen Menu 10
    e2e_wait_menu "$game/data" 20 || e2e_fail "Escape on $name did not return to the menu"
    kill -0 "$GAME_PID" 2>/dev/null || e2e_fail "Escape on $name ended the program"
    echo "$name opens and closes"
done

# Rebind player one's forward key: the cursor starts on the first setting;
# the key rows follow the fifteen settings and the six pad buttons, on the
# screen's second page. A key in use is refused.
e2e_click_item "$game/data" 2
e2e_wait_screen Options 10
for _ in $(seq 21); do e2e_key Down; done
e2e_key Return d  # d turns right already
e2e_key Return i
e2e_key Escape
e2e_wait_for "Keys saved" 10
e2e_wait_screen Menu 10
grep -q '^buttonup1 = i$' "$game/data/config/playerconfig.ini" || e2e_fail "buttonup1 was not rebound to i"
grep -q '^buttonright1 = d$' "$game/data/config/playerconfig.ini" || e2e_fail "buttonright1 changed"
grep -q '^# Player 1, left hand' "$game/data/config/playerconfig.ini" || e2e_fail "the file lost its comments"
[[ -f "$game/data/config/settings.ini" ]] || e2e_fail "leaving Options wrote no settings.ini"
e2e_key Escape
e2e_wait_exit 10

# drives KEY: starts a battle and checks that holding KEY moves the picture.
drives() {
    e2e_start_game "$game/data"
    e2e_wait_screen Battle 30
    e2e_wait_for "InitGL" 30
    e2e_wait_battle_frame 30
    sleep 2 # the tank settles on the ground
    e2e_shot "$E2E_WORK/before.png"
    e2e_hold "$1" 2
    e2e_shot "$E2E_WORK/after.png"
    moved=$(e2e_rmse "$E2E_WORK/before.png" "$E2E_WORK/after.png")
    echo "holding $1: $moved"
    awk -v a="$moved" 'BEGIN { exit !(a > 0.02) }' || e2e_fail "holding $1 did not drive the tank"
}

e2e_start "$game"
drives i
e2e_key Escape
e2e_wait_screen Menu 10
e2e_key Escape
e2e_wait_exit 10

# A key bound twice: one error line naming the file, the key and both actions; the default keys.
sed -i -e 's/^buttonup1 = .*/buttonup1 = x/' -e 's/^buttondown1 = .*/buttondown1 = X/' \
    "$game/data/config/playerconfig.ini"
cp "$game/data/config/playerconfig.ini" "$E2E_WORK/conflict.ini"
e2e_start "$game"
errors=$(grep -c 'Error: ' "$E2E_WORK/game.out" || true)
[[ "$errors" == 1 ]] || e2e_fail "$errors error lines for a key bound twice"
grep 'Error: ' "$E2E_WORK/game.out" | grep 'playerconfig.ini' | grep '"x"' | grep buttonup1 | grep -q buttondown1 ||
    e2e_fail "the error line does not name the file, the key and both actions"
cmp -s "$game/data/config/playerconfig.ini" "$E2E_WORK/conflict.ini" || e2e_fail "the file was changed"
drives w
echo "PASS screens"

#!/usr/bin/env bash
# The world end to end: the menu's game item opens the level choice, whose
# Enter starts "lvl1.lvl" (the first battlefield of levels.ini), the scene is
# drawn, player one's keys drive the tank (the following camera sees the world
# move), Escape returns to the menu, and a second game starts and runs as well
# as the first.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$1"
layout="$E2E_ROOT/tests/e2e/lib/menu_layout.py"
game=$(e2e_data_tree)
forward=$(e2e_player_key "$game/data" buttonup1)
turn=$(e2e_player_key "$game/data" buttonright1)

e2e_start "$game"
python3 "$layout" "$game/data" 1024 768 compose "$E2E_WORK/menu-hover1.png" 1

play_once() {
    local round=$1 moved menu
    e2e_start_game "$game/data"
    e2e_wait_for "InitGL" 30
    e2e_wait_scene "$game/data" "$E2E_WORK/start$round.png" 60
    kill -0 "$GAME_PID" 2>/dev/null || e2e_fail "round $round: the game ended at the start"
    menu=$(e2e_rmse "$E2E_WORK/start$round.png" "$E2E_WORK/menu-hover1.png")
    echo "round $round: game vs menu picture $menu"

    e2e_hold "$forward" 2
    e2e_hold "$turn" 1
    sleep 0.5
    e2e_shot "$E2E_WORK/driven$round.png"
    moved=$(e2e_rmse "$E2E_WORK/start$round.png" "$E2E_WORK/driven$round.png")
    echo "round $round: after driving $moved"
    awk -v a="$moved" 'BEGIN { exit !(a > 0.02) }' || e2e_fail "round $round: driving changed nothing"

    e2e_key Escape
    e2e_wait_menu "$game/data" 30 || e2e_fail "round $round: Escape did not return to the menu"
    echo "round $round: back in the menu"
}

play_once 1
play_once 2
e2e_key Escape
e2e_wait_exit 10
[[ "$GAME_STATUS" == 0 ]] || e2e_fail "Escape in the menu ended the program with status $GAME_STATUS"
echo "PASS world"

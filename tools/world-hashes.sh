#!/usr/bin/env bash
# Prints the final state hash of a 60-second headless battle (seed 7, the normal autopilot) on every
# shipped level, for one player and for two. A change that must leave the battle's ticks alone,
# such as moving code between the world and the view, leaves these alone; compare with the record
# in docs/architecture.md (the same compiler and Bullet give the same hashes).
#
#   tools/world-hashes.sh [game binary]     default build/panzerfeld
set -euo pipefail
cd "$(dirname "$0")/.."
game=${1:-build/panzerfeld}
[[ -x "$game" ]] || { echo "Error: $game: no game binary (build it first)" >&2; exit 2; }
for level in lvl1.lvl lvl2.lvl lvl3.lvl lvl4.lvl; do
    for players in 1 2; do
        hash=$("$game" --headless --level "$level" --players "$players" --autopilot normal --seed 7 --seconds 60 |
            sed -n 's/^State hash: //p')
        [[ -n "$hash" ]] || { echo "Error: $level, $players players: no state hash" >&2; exit 1; }
        echo "$level $players $hash"
    done
done

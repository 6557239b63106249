#!/usr/bin/env bash
# Runs the libFuzzer targets in fuzz/ for a while each, from seeds made of the shipped data, as
# many side by side as there are processors. They are built in the clang sanitizer build
# (build-asan/, AddressSanitizer and UBSan, made by tools/setup.sh asan), which this brings up to
# date first; their corpora, logs and crashes stay under build-asan/fuzz/.
# Fails when a target crashes or hangs; the input is left in build-asan/fuzz/crashes/<target>/.
#
#   tools/fuzz.sh                  20 seconds per target
#   tools/fuzz.sh 3600             the long run: an hour per target
#   tools/fuzz.sh 600 image_check  only the targets named (config_file level_file md2_model
#                                  image_check cooked_mesh highscore sound_file replay
#                                  pad_script net_packet net_session game_script)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
[[ "$seconds" =~ ^[0-9]+$ ]] || { echo "Error: seconds per target must be a whole number, not '$seconds'" >&2; exit 2; }
targets=(config_file level_file md2_model image_check cooked_mesh highscore sound_file replay pad_script net_packet net_session game_script)
if (($# > 1)); then
    shift
    for name in "$@"; do
        [[ " ${targets[*]} " == *" $name "* ]] || { echo "Error: no fuzz target '$name' (${targets[*]})" >&2; exit 2; }
    done
    targets=("$@")
fi

dir=build-asan/fuzz # the targets themselves, and everything a run leaves
root=$PWD # the fuzzers get absolute paths: the highscore target works in a folder of its own
tools/setup.sh asan fuzz_all

# Seed corpora: copies of the shipped data, fresh each run (the fuzzer adds what it finds).
corpus=$dir/corpus
rm -rf "$corpus"
mkdir -p "$corpus"/{config_file,level_file,md2_model,image_check,cooked_mesh,highscore,sound_file,replay,pad_script,net_packet,net_session,game_script}
find data/config -name '*.ini' -exec cp {} "$corpus/config_file/" \;
cp data/level/*.lvl "$corpus/level_file/"
cp data/model/*.md2 "$corpus/md2_model/"
# The short sounds whole; of the long ones the fuzzer reads the first 64 KiB.
cp data/sounds/*.wav "$corpus/sound_file/"
# Large pictures only slow every run down; the small ones cover the same structures.
find data/textures -type f -size -64k -exec cp {} "$corpus/image_check/" \;
PANZER_FUZZ_WRITE_SEEDS=$corpus/cooked_mesh "$dir/fuzz_cooked_mesh"
PANZER_FUZZ_WRITE_SEEDS=$corpus/replay "$dir/fuzz_replay"
PANZER_FUZZ_WRITE_SEEDS=$corpus/pad_script "$dir/fuzz_pad_script"
PANZER_FUZZ_WRITE_SEEDS=$corpus/net_packet "$dir/fuzz_net_packet"
PANZER_FUZZ_WRITE_SEEDS=$corpus/net_session "$dir/fuzz_net_session"
PANZER_FUZZ_WRITE_SEEDS=$corpus/game_script "$dir/fuzz_game_script"
printf 'name1=Anna\r\nscore1=1200\r\n\r\nname2=Bert\r\nscore2=800\r\n\r\n' >"$corpus/highscore/highscore.ini"
for f in fuzz/regressions/*/*; do
    if [[ -f "$f" ]]; then
        cp "$f" "$corpus/$(basename "$(dirname "$f")")/"
    fi
done

# Scratch files of the targets stay inside the build folder.
export TMPDIR=$PWD/$dir/tmp
mkdir -p "$TMPDIR"

# One target per processor at a time, each for its full time; each writes its
# own log and leaves its exit status beside it.
run_target() {
    local name=$1 crashes=$dir/crashes/$1 log=$dir/fuzz_$1.log status=0
    mkdir -p "$crashes"
    # close_fd_mask=3: the readers' own "Error: " lines go nowhere; crash reports still show.
    # timeout=10: an input that takes seconds is a hang (the game would freeze at start-up on it).
    "$dir/fuzz_$name" "$root/$corpus/$name" -dict="$root/fuzz/$name.dict" -max_total_time="$seconds" \
        -max_len=65536 -timeout=10 -close_fd_mask=3 -print_final_stats=1 -artifact_prefix="$root/$crashes/" \
        >"$log" 2>&1 || status=$?
    echo "$status" >"$dir/fuzz_$name.status"
}
parallel=$(nproc)
for name in "${targets[@]}"; do
    rm -f "$dir/fuzz_$name.status"
    while (($(jobs -rp | wc -l) >= parallel)); do
        wait -n || true
    done
    run_target "$name" &
done
wait

failed=()
for name in "${targets[@]}"; do
    log=$dir/fuzz_$name.log
    echo "== fuzz_$name: $seconds s"
    if [[ "$(cat "$dir/fuzz_$name.status" 2>/dev/null)" == 0 ]]; then
        grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$log" | sed 's/^/   /'
    else
        failed+=("fuzz_$name")
        tail -n 40 "$log"
    fi
done

if ((${#failed[@]})); then
    echo "Error: crashes in ${failed[*]}; inputs in $dir/crashes/" >&2
    exit 1
fi
echo "All fuzz targets ran clean."

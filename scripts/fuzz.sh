#!/usr/bin/env bash
# Builds the fuzz targets, replays each target's committed corpus (fuzz/corpus/<target>/:
# seeds and every input that ever failed), then fuzzes each for a while (default 20 s; a
# longer run: `scripts/fuzz.sh 3600`). New inputs go to build/fuzz/corpus/, failures to
# build/fuzz/artifacts/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
seconds=${1:-20}
targets=(pe jpeg exif_orientation picture_reader title_list command_line saver_name stored_numbers text_rules utf)
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
mkdir -p build/fuzz/artifacts

failed() {
  tail -n 40 "$2"
  echo "fuzz $1: an input fails (build/fuzz/artifacts/). Fix it, and commit the input to"
  echo "fuzz/corpus/$1/ so that every run replays it."
  exit 1
}

for target in "${targets[@]}"; do
  echo "replaying fuzz/corpus/${target} ($(ls "fuzz/corpus/${target}" | wc -l) inputs)"
  log=build/fuzz/${target}-replay.log
  "build/fuzz/bin/${target}_fuzz" -runs=0 -rss_limit_mb=2048 \
    -artifact_prefix=build/fuzz/artifacts/ "fuzz/corpus/${target}" >"$log" 2>&1 ||
    failed "$target" "$log"
done

for target in "${targets[@]}"; do
  echo "fuzzing ${target} for ${seconds}s"
  log=build/fuzz/${target}.log
  mkdir -p "build/fuzz/corpus/${target}"
  # New inputs are written to the first folder only; the committed corpus is read.
  "build/fuzz/bin/${target}_fuzz" -max_total_time="$seconds" -max_len=65536 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=build/fuzz/artifacts/ \
    "build/fuzz/corpus/${target}" "fuzz/corpus/${target}" >"$log" 2>&1 ||
    failed "$target" "$log"
  grep -E '^(Done|stat::number_of_executed_units)' "$log"
done

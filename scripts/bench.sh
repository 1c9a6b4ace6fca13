#!/usr/bin/env bash
# The speed goals, measured: decoding against djpeg and a bare libjpeg loop, the resampler
# against pixman and the reduced decode against a whole one, packing 40 photographs against
# vipsthumbnail and ImageMagick and the pack's memory, SIMD on and
# off (in both builds), listing a 500-picture Tessel against reading it whole, the reads of
# the screen saver descriptions and naming a large .scr against reading it whole, and the
# picture show's start and memory: its rules over 200 full-HD pictures natively, and the
# real Quorvanes.scr under Wine (QV_BENCH_PICTURES pictures, a second each), and how quickly
# it comes up and answers a key (QV_BENCH_RUNS runs). Not part of the tests.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash scripts/setup.sh >/dev/null
cmake --preset native >/dev/null
cmake --build --preset native --target jpeg_bench show_bench saver_name_bench resize_bench \
  tip_bench >/dev/null
build/native/bin/jpeg_bench "$@"
build/native/bin/show_bench
build/native/bin/show_bench 200 1920 1080 two-monitors
build/native/bin/saver_name_bench "$@"
build/native/bin/resize_bench "$@"
build/native/bin/tip_bench "$@"
# Making a Tessel of 40 photographs against vipsthumbnail and ImageMagick, and its memory.
cmake --build --preset native --target tessel >/dev/null
bash bench/pack_bench.sh build/native/bin/tessel

# The Windows build's decoder, under Wine: SIMD on against JSIMD_FORCENONE=1.
. scripts/common.sh
preset=$(runnable_windows_preset)
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target simd_bench show_process_bench show_cpu_bench show_response_bench \
  settings_open_bench >/dev/null
bash scripts/wine-session.sh start >/dev/null
trap 'bash scripts/wine-session.sh stop >/dev/null' EXIT
eval "$(scripts/wine-session.sh env)"
# One pair of processes swings with the machine's load (0.29 to 0.53 within minutes): the
# ratio is the median of QV_BENCH_SIMD_PAIRS pairs, each pair's own ratio, the two runs of a
# pair back to back and their order alternated.
simd_on() { scripts/wine-run "build/$preset/bin/simd_bench.exe" | tr -d '\r'; }
simd_off() {
  JSIMD_FORCENONE=1 WINEDLLOVERRIDES= scripts/wine-run "build/$preset/bin/simd_bench.exe" |
    tr -d '\r'
}
pairs=${QV_BENCH_SIMD_PAIRS:-7}
results=()
for k in $(seq "$pairs"); do
  if [ $((k % 2)) -eq 1 ]; then
    with=$(simd_on); without=$(simd_off)
  else
    without=$(simd_off); with=$(simd_on)
  fi
  results+=("$with:$without")
done
python3 - "$preset" "${results[@]}" <<'PY'
import statistics, sys
preset, pairs = sys.argv[1], [tuple(map(float, p.split(":"))) for p in sys.argv[2:]]
ratios = sorted(on / off for on, off in pairs)
ratio = statistics.median(ratios)
on = statistics.median(p[0] for p in pairs)
off = statistics.median(p[1] for p in pairs)
verdict = "ok" if ratio <= 0.5 else "MISSED"
print(f"Windows build ({preset}) under Wine, 1920 x 1080: {on:.2f} ms, without SIMD {off:.2f} ms"
      f" (medians of {len(pairs)} pairs)")
print(f"  our decode / our decode without SIMD (Windows)  {ratio:.3f}  (goal <= 0.500) {verdict}"
      f"  [pairs {ratios[0]:.3f} to {ratios[-1]:.3f}]")
PY

# The saver host as a process: start to the first picture, and its memory over the show.
scripts/wine-run "build/$preset/bin/show_process_bench.exe" "${QV_BENCH_PICTURES:-40}" | tr -d '\r'

# The saver host's start and answer: against a bare window program, and while a picture at
# the decoder's caps decodes; in each build this machine runs (the 64-bit one always), the
# start's steps beside the bare program's.
for build in $(runnable_windows_presets); do
  [ "$build" = "$preset" ] || cmake --preset "$build" >/dev/null
  [ "$build" = "$preset" ] || cmake --build --preset "$build" --target show_response_bench >/dev/null
  echo "Windows build ($build):"
  scripts/wine-run "build/$build/bin/show_response_bench.exe" "${QV_BENCH_RUNS:-7}" | tr -d '\r'
done

# The show's share of a core over QV_BENCH_CPU_SECONDS (60 by default) with 5-second pictures,
# the crossfade off and on.
scripts/wine-run "build/$preset/bin/show_cpu_bench.exe" "${QV_BENCH_CPU_SECONDS:-60}" | tr -d '\r'

# The settings dialog opened on a full installation against an empty one.
scripts/wine-run "build/$preset/bin/settings_open_bench.exe" "${QV_BENCH_RUNS:-5}" | tr -d '\r'

# The show's start on two monitors against one, in one run on the same X server: the
# two-monitor display, then its secondary switched off and Wine's server started again,
# since Wine reads the layout when its server starts.
bash scripts/wine-session.sh stop >/dev/null
QV_MONITORS=2 bash scripts/wine-session.sh start >/dev/null
eval "$(scripts/wine-session.sh env)"
two=$(scripts/wine-run "build/$preset/bin/show_response_bench.exe" --start-only "${QV_BENCH_RUNS:-5}" | tr -d '\r')
xrandr --output DUMMY1 --off
wineserver -k 2>/dev/null || true
QV_MONITORS=2 bash scripts/wine-session.sh start >/dev/null
one=$(scripts/wine-run "build/$preset/bin/show_response_bench.exe" --start-only "${QV_BENCH_RUNS:-5}" | tr -d '\r')
python3 - "$two" "$one" <<'PY'
import sys
two, one = sys.argv[1].split(), sys.argv[2].split()
ratio = float(two[1]) / float(one[1])
verdict = "ok" if ratio <= 1.10 else "MISSED"
print(f"the show's window: {two[1]} ms on {two[3]} monitors, {one[1]} ms on {one[3]}")
print(f"  start to the show's window, two monitors / one  {ratio:.3f}  (goal <= 1.100) {verdict}")
PY

# The show's start to its first picture filling a 3840 x 2160 monitor, against the same start
# at the picture's own size, with the steps of both.
bash scripts/wine-session.sh stop >/dev/null
QV_SCREEN_SIZE=3840x2160 bash scripts/wine-session.sh start >/dev/null
eval "$(scripts/wine-session.sh env)"
scripts/wine-run "build/$preset/bin/show_response_bench.exe" --fitted "${QV_BENCH_RUNS:-7}" | tr -d '\r'

#!/usr/bin/env bash
# Builds the fuzz targets and runs each for a while (default 20 s; a longer run:
# `scripts/fuzz.sh 3600`). Seeds are made fresh: a sample JPEG and a Tessel holding it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
seconds=${1:-20}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
corpus=build/fuzz/corpus
mkdir -p "$corpus/jpeg" "$corpus/pe"
if [ ! -f "$corpus/jpeg/seed.jpg" ]; then
  convert -size 48x32 gradient:red-blue "$corpus/jpeg/seed.jpg"
  convert -size 40x24 gradient:white-black -interlace JPEG "$corpus/jpeg/progressive.jpg"
  cmake --build --preset native --target tessel >/dev/null
  build/native/bin/tessel pack "$corpus/pe/seed.tsl" "$corpus/jpeg/seed.jpg" --link 1=http://a.invalid/ >/dev/null
fi
# A 16-bit saver's headers, "SCRNSAVE : Marbles" in its name table; the Tessel is a PE seed.
mkdir -p "$corpus/saver_name"
[ -f "$corpus/saver_name/ne.scr" ] || python3 -c '
import struct, sys
b = bytearray(0x300); b[0:2] = b"MZ"; struct.pack_into("<I", b, 0x3C, 0x80)
b[0x80:0x82] = b"NE"; struct.pack_into("<I", b, 0x80 + 44, 0x100)
d = b"SCRNSAVE : Marbles"; b[0x100] = len(d); b[0x101:0x101 + len(d)] = d
sys.stdout.buffer.write(b)' >"$corpus/saver_name/ne.scr"
cp -n "$corpus/pe/seed.tsl" "$corpus/saver_name/pe.scr"
mkdir -p build/fuzz/artifacts
for target in pe jpeg saver_name; do
  echo "fuzzing ${target} for ${seconds}s"
  log=build/fuzz/${target}.log
  if ! "build/fuzz/bin/${target}_fuzz" -max_total_time="$seconds" -max_len=65536 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=build/fuzz/artifacts/ \
      "$corpus/$target" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz ${target}: a failing input was found (build/fuzz/artifacts/)"
    exit 1
  fi
  grep -E '^(Done|stat::number_of_executed_units)' "$log"
done

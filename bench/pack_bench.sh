#!/usr/bin/env bash
# Making a Tessel of photographs: `tessel pack --fit 1920x1080` of 40 pictures of
# 4000 x 3000 against vipsthumbnail and ImageMagick writing the same 40 fitted JPEGs at the
# same quality, and the pack's peak memory against an empty pack's.
#   bench/pack_bench.sh TESSEL [RUNS]
# Prints the medians and each ratio beside its goal, with "ok" or "MISSED".
set -euo pipefail
tessel=${1:?usage: pack_bench.sh TESSEL [RUNS]}
runs=${2:-3}
top=$(cd "$(dirname "$0")/.." && pwd)
work=${QV_PACK_BENCH_DIR:-$top/build/pack-bench}
count=40
quality=90

say() { printf '[pack-bench] %s\n' "$*" >&2; }

# The yardsticks, from Debian, where they are missing.
missing=()
command -v vipsthumbnail >/dev/null || missing+=(libvips-tools)
command -v convert >/dev/null || missing+=(imagemagick)
if [ ${#missing[@]} -gt 0 ]; then
  say "installing ${missing[*]}"
  as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    "${missing[@]}" >&2
fi

# The pictures: one photograph-like 4000 x 3000 JPEG (a fractal plasma, smooth and busy as
# photographs are), made once and copied under 40 names.
mkdir -p "$work/pictures" "$work/one"
if [ ! -f "$work/pictures/photo40.jpg" ]; then
  say "making $count pictures of 4000 x 3000"
  convert -size 1000x750 -seed 7 plasma:fractal -resize 4000x3000! -quality 92 "$work/base.jpg"
  for i in $(seq -w 1 $count); do cp "$work/base.jpg" "$work/pictures/photo$i.jpg"; done
fi
[ -f "$work/one/tiny.jpg" ] || convert -size 16x16 xc:gray -quality 90 "$work/one/tiny.jpg"

pack() { "$tessel" pack "$work/out.tsl" "$work/pictures" --fit 1920x1080 --quality $quality >/dev/null 2>&1; }
vips() {
  rm -rf "$work/vips" && mkdir -p "$work/vips"
  vipsthumbnail "$work"/pictures/*.jpg --size 1920x1080 -o "$work/vips/%s.jpg[Q=$quality]"
}
magick() {
  rm -rf "$work/magick" && mkdir -p "$work/magick"
  for f in "$work"/pictures/*.jpg; do
    convert "$f" -resize 1920x1080 -quality $quality "$work/magick/$(basename "$f")"
  done
}
# Milliseconds of one run.
milliseconds() { local start end; start=$(date +%s%N); "$@"; end=$(date +%s%N); echo $(((end - start) / 1000000)); }
# Peak resident memory in kB, from the kernel's own count.
peak() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; }

# In turns, so that all three meet the same state of the shared machine.
ours=() theirs_vips=() theirs_magick=()
for _ in $(seq "$runs"); do
  ours+=("$(milliseconds pack)")
  theirs_vips+=("$(milliseconds vips)")
  theirs_magick+=("$(milliseconds magick)")
done
full=$(peak "$tessel" pack "$work/out.tsl" "$work/pictures" --fit 1920x1080 --quality $quality)
empty=$(peak "$tessel" pack "$work/empty.tsl" "$work/one" --fit 1920x1080 --quality $quality)

python3 - "$count" "$full" "$empty" "${ours[*]}" "${theirs_vips[*]}" "${theirs_magick[*]}" <<'PY'
import statistics, sys
count, full, empty = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3])
ours, vips, magick = (statistics.median(map(float, a.split())) / 1000 for a in sys.argv[4:7])
def line(name, ratio, goal, at_most=True):
    ok = ratio <= goal if at_most else ratio >= goal
    print(f"  {name}  {ratio:.3f}  (goal {'<=' if at_most else '>='} {goal:.3f}) {'ok' if ok else 'MISSED'}")
print(f"tessel pack --fit 1920x1080 of {count} pictures of 4000 x 3000: {ours:.2f} s,"
      f" vipsthumbnail {vips:.2f} s, convert -resize {magick:.2f} s (medians)")
line("pack / vipsthumbnail                       ", ours / vips, 1.0)
line("pack / convert -resize                     ", ours / magick, 0.3)
picture = 4000 * 3000 * 3 / 1024  # kB
above = full - empty
print(f"peak memory: {full / 1024:.1f} MB, a pack of one 16 x 16 picture {empty / 1024:.1f} MB, above it"
      f" {above / 1024:.1f} MB")
line("above an empty pack / one 4000 x 3000 picture", above / picture, 3.0)
PY

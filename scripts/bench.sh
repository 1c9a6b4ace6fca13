#!/usr/bin/env bash
# The speed goals, measured: decoding against djpeg and a bare libjpeg loop, SIMD on and
# off, listing a 500-picture Tessel against reading it whole, and the picture show's start
# and memory over 200 full-HD pictures. Not part of the tests.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash scripts/setup.sh >/dev/null
cmake --preset native >/dev/null
cmake --build --preset native --target jpeg_bench show_bench >/dev/null
build/native/bin/jpeg_bench "$@"
build/native/bin/show_bench

#!/usr/bin/env bash
# The speed goals, measured: decoding against djpeg and a bare libjpeg loop, SIMD on and
# off, and listing a 500-picture Tessel against reading it whole. Not part of the tests.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash scripts/setup.sh >/dev/null
cmake --preset native >/dev/null
cmake --build --preset native --target jpeg_bench >/dev/null
build/native/bin/jpeg_bench "$@"

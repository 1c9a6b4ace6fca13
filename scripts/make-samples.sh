#!/usr/bin/env bash
# Makes the sample pictures and the sample Tessels of the demo and the scenarios, with
# ImageMagick and the project's own `tessel` tool (native build):
#   build/samples/Harbour Lights.tsl   four 640 x 480 pictures, links 1, 4, 5 and 8
#   build/samples/Meadow.tsl           three pictures, no links
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
out=build/samples
tessel=build/native/bin/tessel
[ -x "$tessel" ] || { cmake --preset native >/dev/null && cmake --build --preset native --target tessel >/dev/null; }
mkdir -p "$out/pictures"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf

# Each picture: a gradient, a title in the middle, and the link bands marked faintly, so a
# viewer sees where the hot spots are.
picture() {  # file, from colour, to colour, title
  convert -size 640x480 "gradient:$2-$3" \
    -fill '#ffffff30' -draw 'rectangle 0,0 639,39' -draw 'rectangle 0,440 639,479' \
    -font "$font" -fill white -gravity center -pointsize 40 -annotate +0+0 "$4" \
    -pointsize 14 -gravity north -annotate +0+12 'links along this edge' \
    -gravity south -annotate +0+12 'and along this one' \
    -quality 88 "$1"
}
picture "$out/pictures/harbour1.jpg" '#0b132b' '#3a506b' 'Harbour Lights 1'
picture "$out/pictures/harbour2.jpg" '#1c2541' '#5bc0be' 'Harbour Lights 2'
picture "$out/pictures/harbour3.jpg" '#3a0ca3' '#f72585' 'Harbour Lights 3'
picture "$out/pictures/harbour4.jpg" '#003049' '#fcbf49' 'Harbour Lights 4'
picture "$out/pictures/meadow_a.jpg" '#2d6a4f' '#b7e4c7' 'Meadow A'
picture "$out/pictures/meadow_b.jpg" '#40916c' '#d8f3dc' 'Meadow B'
picture "$out/pictures/meadow_c.jpg" '#1b4332' '#95d5b2' 'Meadow C'

"$tessel" pack "$out/Harbour Lights.tsl" "$out"/pictures/harbour?.jpg \
  --link 1=https://example.org/harbour/one --link 4=https://example.org/harbour/four \
  --link 5=https://example.org/harbour/five --link 8=https://example.org/harbour/eight
"$tessel" pack "$out/Meadow.tsl" "$out"/pictures/meadow_?.jpg

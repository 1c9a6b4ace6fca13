#!/usr/bin/env bash
# Writes the deb-src twin of apt sources: every enabled deb (or deb-src) entry becomes a
# deb-src entry for the same archive, suites, components and options.
#   scripts/apt-deb-src.sh OUT_DIR SOURCE...
# A SOURCE is a file or a folder of them, in either of apt's two forms: one-line entries
# ("sources.list", "*.list") or deb822 stanzas ("*.sources"); a folder counts the files apt
# reads from it. OUT_DIR receives an empty "sources.list" and a "sources.list.d" with one
# file per source file, each in its own form, ready for apt's Dir::Etc::SourceList and
# Dir::Etc::SourceParts. The sources themselves are only read.
set -euo pipefail

say() { printf '[apt-deb-src] %s\n' "$*" >&2; }

out=${1:?usage: apt-deb-src.sh OUT_DIR SOURCE...}
shift
[ $# -gt 0 ] || { say "usage: apt-deb-src.sh OUT_DIR SOURCE..."; exit 2; }
mkdir -p "$out/sources.list.d"
: > "$out/sources.list"

# One-line form: "deb [options] URI suite component...". apt ignores what follows '#'. A
# deb line with its deb-src line next to it gives one entry, not two.
one_line() {
  awk '{ sub(/#.*/, "") }
    ($1 == "deb" || $1 == "deb-src") { $1 = "deb-src"; if (!seen[$0]++) print }' "$1"
}

# deb822 form: stanzas separated by blank lines. A stanza that is enabled and whose Types
# hold deb or deb-src is written again with "Types: deb-src"; every other field (Signed-By
# with its continuation lines too) is kept as it is.
deb822() {
  awk '
    BEGIN { RS = ""; FS = "\n" }
    {
      fields = ""; types = ""; enabled = 1
      for (i = 1; i <= NF; i++) {
        line = $i
        if (line ~ /^#/) continue
        name = tolower(line); sub(/:.*/, "", name); sub(/[ \t]+$/, "", name)
        value = line; sub(/^[^:]*:[ \t]*/, "", value); sub(/[ \t]+$/, "", value)
        if (line !~ /^[ \t]/ && name == "types") { types = " " value " "; continue }
        if (line !~ /^[ \t]/ && name == "enabled") {
          value = tolower(value)
          if (value ~ /^(no|false|off|0|disable|without)$/) enabled = 0
          continue
        }
        fields = fields line "\n"
      }
      if (!enabled || types !~ /[ \t]deb(-src)?[ \t]/) next
      printf "%sTypes: deb-src\n%s", (written++ ? "\n" : ""), fields
    }' "$1"
}

# The files apt reads from a folder: *.list and *.sources of plain names only.
folder_files() {
  local f
  for f in "$1"/*.list "$1"/*.sources; do
    [ -f "$f" ] || continue
    case ${f##*/} in *[!A-Za-z0-9_.-]*) continue ;; esac
    printf '%s\n' "$f"
  done
}

files=()
for source in "$@"; do
  if [ -d "$source" ]; then
    while IFS= read -r f; do files+=("$f"); done < <(folder_files "$source")
  elif [ -f "$source" ]; then
    files+=("$source")
  fi  # a source apt does not have here (a missing sources.list) is no entry
done

entries=0
n=0
for f in "${files[@]}"; do
  n=$((n + 1))
  base=${f##*/}
  case $base in
    *.sources) target="$out/sources.list.d/$n-$base"; deb822 "$f" > "$target" ;;
    *) target="$out/sources.list.d/$n-${base%.list}.list"; one_line "$f" > "$target" ;;
  esac
  if [ -s "$target" ]; then
    count=$(grep -c -i -E '^(deb-src|types:)' "$target" || true)
    entries=$((entries + count))
  else
    rm -f "$target"
  fi
done

if [ "$entries" -eq 0 ]; then
  say "no enabled deb entries in: $*"
  say "add a Debian mirror, e.g. the line 'deb http://deb.debian.org/debian bookworm main' in /etc/apt/sources.list"
  exit 1
fi
say "$entries deb-src entries from ${#files[@]} files"

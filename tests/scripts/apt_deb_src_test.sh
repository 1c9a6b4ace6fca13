#!/usr/bin/env bash
# scripts/apt-deb-src.sh on prepared copies of apt sources in both forms (never the
# machine's own), with apt itself reading the result: the deb-src targets must be exactly
# those of the enabled entries. Prints one PASS or FAIL line; exits 1 on a failure.
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=()
fail() { failures+=("$*"); }

# The classic form, as the Debian installer writes it, with what people add to it.
classic=$work/classic
mkdir -p "$classic/sources.list.d"
cat > "$classic/sources.list" <<'EOF'
# deb cdrom:[Debian GNU/Linux 12.5.0 _Bookworm_ - Official amd64 DVD Binary-1]/ bookworm main

deb http://deb.debian.org/debian/ bookworm main non-free-firmware
deb-src http://deb.debian.org/debian/ bookworm main non-free-firmware
# deb http://disabled.example/debian bookworm main
deb [arch=amd64 signed-by=/usr/share/keyrings/vendor.gpg] https://vendor.example/apt stable main # the vendor
EOF
echo 'deb http://security.debian.org/debian-security bookworm-security main' \
  > "$classic/sources.list.d/security.list"
echo 'deb http://ignored.example/debian bookworm main' > "$classic/sources.list.d/notes.txt"

# The deb822 form of newer installations.
modern=$work/modern
mkdir -p "$modern/sources.list.d"
cat > "$modern/sources.list.d/debian.sources" <<'EOF'
# Debian's mirror
Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb deb-src
URIs: http://deb.debian.org/debian-security
# a comment inside the stanza
Suites: bookworm-security
Components: main contrib

Enabled: no
Types: deb
URIs: http://disabled.example/debian
Suites: bookworm
Components: main
EOF
cat > "$modern/sources.list.d/vendor.sources" <<'EOF'
Types: deb
URIs: https://other-vendor.example/apt
Suites: stable
Components: main
Signed-By:
 -----BEGIN PGP PUBLIC KEY BLOCK-----
 .
 mDMEZZZZZhYJKwYBBAHaRw8BAQdA
 -----END PGP PUBLIC KEY BLOCK-----
EOF

# The deb-src targets apt sees in OUT, one "type site suite component" a line; apt's
# errors go to $work/apt-errors.
targets() {
  mkdir -p "$work/state/lists/partial" "$work/state/cache"
  apt-get 2>"$work/apt-errors" -o Dir::Etc::SourceList="$1/sources.list" -o Dir::Etc::SourceParts="$1/sources.list.d" \
    -o Dir::State::Lists="$work/state/lists" -o Dir::Cache="$work/state/cache" \
    indextargets --no-release-info --format '$(TARGET_OF) $(REPO_URI) $(RELEASE) $(COMPONENT)' |
    sort -u
}

expect() {  # NAME OUT EXPECTED
  local got
  got=$(targets "$2")
  ! grep -q '^E:' "$work/apt-errors" || fail "$1: apt cannot read it: $(cat "$work/apt-errors")"
  grep -q '^W:' "$work/apt-errors" && fail "$1: apt warns: $(cat "$work/apt-errors")"
  [ "$got" = "$3" ] || fail "$1: apt sees
$got
instead of
$3"
}

checksum() { find "$classic" "$modern" -type f -exec sha256sum {} + | sort; }
before=$(checksum)

bash "$top/scripts/apt-deb-src.sh" "$work/out-classic" "$classic/sources.list" \
  "$classic/sources.list.d" 2>/dev/null || fail "classic: the script failed"
expect classic "$work/out-classic" "deb-src http://deb.debian.org/debian/ bookworm main
deb-src http://deb.debian.org/debian/ bookworm non-free-firmware
deb-src http://security.debian.org/debian-security/ bookworm-security main
deb-src https://vendor.example/apt/ stable main"
grep -q -F 'deb-src [arch=amd64 signed-by=/usr/share/keyrings/vendor.gpg] https://vendor.example/apt' \
  -r "$work/out-classic" || fail "classic: the vendor entry lost its options"

bash "$top/scripts/apt-deb-src.sh" "$work/out-modern" "$modern/sources.list" \
  "$modern/sources.list.d" 2>/dev/null || fail "modern: the script failed"
expect modern "$work/out-modern" "deb-src http://deb.debian.org/debian-security/ bookworm-security contrib
deb-src http://deb.debian.org/debian-security/ bookworm-security main
deb-src http://deb.debian.org/debian/ bookworm main
deb-src http://deb.debian.org/debian/ bookworm-updates main
deb-src https://other-vendor.example/apt/ stable main"
grep -q -F ' mDMEZZZZZhYJKwYBBAHaRw8BAQdA' -r "$work/out-modern" ||
  fail "modern: the embedded key was lost"

# Both forms on one machine.
bash "$top/scripts/apt-deb-src.sh" "$work/out-both" "$classic/sources.list" \
  "$classic/sources.list.d" "$modern/sources.list.d/vendor.sources" 2>/dev/null ||
  fail "both: the script failed"
expect both "$work/out-both" "deb-src http://deb.debian.org/debian/ bookworm main
deb-src http://deb.debian.org/debian/ bookworm non-free-firmware
deb-src http://security.debian.org/debian-security/ bookworm-security main
deb-src https://other-vendor.example/apt/ stable main
deb-src https://vendor.example/apt/ stable main"

# Nothing enabled: a failure that says what to add.
mkdir -p "$work/empty"
echo '# deb http://deb.debian.org/debian bookworm main' > "$work/empty/sources.list"
if message=$(bash "$top/scripts/apt-deb-src.sh" "$work/out-empty" "$work/empty/sources.list" \
  "$work/empty/missing.d" 2>&1); then
  fail "empty: the script succeeded without entries"
fi
grep -q 'deb http://deb.debian.org/debian' <<<"$message" || fail "empty: no advice in: $message"

[ "$before" = "$(checksum)" ] || fail "the sources given were changed"

if [ ${#failures[@]} -eq 0 ]; then
  echo "PASS apt sources: deb-src entries from one-line, deb822 and mixed sources"
else
  printf '%s\n' "${failures[@]}" >&2
  echo "FAIL apt sources: ${#failures[@]} checks failed (above)"
  exit 1
fi

#!/usr/bin/env bash
# Signed builds: a throwaway code-signing certificate (openssl) is given to the second
# build of tests/scripts/second_tree.sh, as docs/building.md says (QV_SIGN_PKCS12,
# QV_SIGN_PASSWORD, QV_SIGN_TIMESTAMP_URL); every program, advert.dll, the NSIS installer,
# its uninstaller and the MSI must then carry a signature by it that `osslsigncode verify`
# accepts. The timestamp server is one of this test's own, on the loopback address
# (tests/scripts/timestamp_server.py). An unsigned build's programs must carry none.
# Only the packaging is redone: the programs are signed as staged copies, so none is
# compiled again.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
cd "$top"
. scripts/common.sh
. tests/scripts/second_tree.sh

bash scripts/setup.sh >/dev/null

work=$(mktemp -d)
server_pid=
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

say "signing: a throwaway certificate and a timestamp authority"
cat >"$work/openssl.cnf" <<'CNF'
[req]
distinguished_name = dn
prompt = no
[dn]
CN = Quorvanes Test Signing
[signing]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = critical, codeSigning
subjectKeyIdentifier = hash
[timestamping]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature, nonRepudiation
extendedKeyUsage = critical, timeStamping
subjectKeyIdentifier = hash
CNF
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -config "$work/openssl.cnf" -extensions signing \
  -keyout "$work/signing.key" -out "$work/signing.pem" 2>/dev/null
password="throwaway $(date +%s)"
openssl pkcs12 -export -inkey "$work/signing.key" -in "$work/signing.pem" \
  -passout "pass:$password" -out "$work/signing.p12"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -config "$work/openssl.cnf" -extensions timestamping \
  -subj "/CN=Quorvanes Test Timestamps" -keyout "$work/tsa.key" -out "$work/tsa.pem" 2>/dev/null
python3 tests/scripts/timestamp_server.py "$work" >"$work/port" 2>"$work/server.log" &
server_pid=$!
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(cat "$work/port")
[ -n "$port" ] || { cat "$work/server.log"; echo "FAIL: the timestamp server did not start"; exit 1; }

say "signing: the second build, signed"
[ -f "$second_top/CMakeLists.txt" ] || second_tree_copy
QV_SIGN_PKCS12="$work/signing.p12" QV_SIGN_PASSWORD="$password" \
  QV_SIGN_TIMESTAMP_URL="http://127.0.0.1:$port/" second_tree_build

passed=0 failed=0
verify() {  # FILE: signed by the throwaway certificate, with a timestamp
  local file=$1 out
  if out=$(osslsigncode verify -in "$file" -CAfile "$work/signing.pem" -TSA-CAfile "$work/tsa.pem" 2>&1) &&
     grep -q 'Quorvanes Test Signing' <<<"$out" && grep -q 'Quorvanes Test Timestamps' <<<"$out"; then
    echo "signed: ${file#"$second_build"/}"; passed=$((passed + 1))
  else
    echo "FAIL: ${file#"$second_build"/}: not signed as it should be"; echo "$out" | tail -n 15
    failed=$((failed + 1))
  fi
}
while IFS= read -r file; do verify "$file"; done < \
  <(find "$second_build/installer/files" -type f \( -name '*.exe' -o -name '*.scr' -o -name '*.dll' \) | sort)
verify "$second_build/installer/Uninstall.exe"
# The installers: every file SHA256SUMS lists (QuorvanesSetup.exe, Quorvanes.msi).
while read -r _ name; do verify "$second_build/bin/$name"; done <"$second_build/bin/SHA256SUMS"
grep -q 'unsigned build' "$second_build.build.log" &&
  { echo "FAIL: the signed build says it is unsigned"; failed=$((failed + 1)); }
if (cd "$second_build/bin" && sha256sum -c --quiet SHA256SUMS); then
  echo "SHA256SUMS lists the signed installers"; passed=$((passed + 1))
else
  echo "FAIL: SHA256SUMS does not match the signed installers"; failed=$((failed + 1))
fi

say "signing: an unsigned build carries no signature"
for file in bin/Quorvanes.scr installer/files/Tessels/QVTIcon.exe installer/Uninstall.exe bin/QuorvanesSetup.exe; do
  if osslsigncode verify -in "$top/build/windows/$file" >/dev/null 2>&1; then
    echo "FAIL: $file of the unsigned build is signed"; failed=$((failed + 1))
  else
    passed=$((passed + 1))
  fi
done
echo "signing: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

#!/usr/bin/env bash
# Lays out a sample installation in the Wine prefix the way an installer would: the
# programs in C:\Quorvanes, the sample Tessels, a system screen saver of the rotation (the
# test build's recording saver, installed as "QV Recording.scr"), the machine values
# TesselsDir and InstallLocation, a user rotation that starts with the Tessels, and
# system.ini pointing at the saver host's short path.
#   scripts/sample-install.sh BIN_DIR     (run with the Wine session's environment)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:?usage: sample-install.sh BIN_DIR}
eval "$("$top/scripts/wine-session.sh" env)"
root=$WINEPREFIX/drive_c/Quorvanes

# In a 64-bit prefix a 32-bit program sees the 32-bit views: C:\windows\system32 is
# syswow64 to it, and HKLM\Software its 32-bit branch. Install where the programs look,
# as a 32-bit installer would.
system_dir=$WINEPREFIX/drive_c/windows/system32
view=/reg:64
if python3 - "$bin/Quorvanes.scr" <<'PY'; then
import struct, sys
data = open(sys.argv[1], 'rb').read(4096)
pe = struct.unpack_from('<I', data, 0x3C)[0]
sys.exit(0 if struct.unpack_from('<H', data, pe + 4)[0] == 0x14C else 1)  # i386
PY
  view=/reg:32
  [ -d "$WINEPREFIX/drive_c/windows/syswow64" ] && system_dir=$WINEPREFIX/drive_c/windows/syswow64
fi

mkdir -p "$root/Tessels/Preshows"
cp "$bin/Quorvanes.scr" "$root/"
for program in QVTIcon.exe QVBrowserLink.exe advert.dll; do
  if [ -f "$bin/$program" ]; then cp "$bin/$program" "$root/"; fi
done
if [ -f "$bin/RecordingSaver.scr" ]; then
  cp "$bin/RecordingSaver.scr" "$system_dir/QV Recording.scr"
fi
samples=("$top"/build/samples/*.tsl)
if [ ! -f "${samples[0]}" ]; then
  echo "sample-install.sh: no sample Tessels in build/samples (run scripts/make-samples.sh)" >&2
  exit 1
fi
cp "${samples[@]}" "$root/Tessels/"

reg() { "$top/scripts/wine-run" "$WINEPREFIX/drive_c/windows/system32/reg.exe" "$@" "$view" >/dev/null; }
key='HKLM\Software\Quorvanes\Tessels'
reg add "$key" /v TesselsDir /t REG_SZ /d 'C:\Quorvanes\Tessels' /f
reg add "$key" /v InstallLocation /t REG_SZ /d 'C:\Quorvanes\Quorvanes.scr' /f
user='HKCU\Software\Quorvanes\Tessels'
reg delete "$user" /f 2>/dev/null || true
reg add "$user" /v Tessel /t REG_SZ /d '"Harbour Lights",Meadow' /f
reg add "$user" /v Saver /t REG_SZ /d '"1QV Recording"' /f
# A Tessel "ran last": the next start asks the Tessel list first.
reg add "$user" /v ScreenSaverType /t REG_SZ /d 0 /f
reg add "$user" /v TrayIconOn /t REG_SZ /d 1 /f
# The system screen saver is the short form of InstallLocation, as Wine names it.
short=$(/usr/lib/wine/wine64 winepath -s 'C:\Quorvanes\Quorvanes.scr' 2>/dev/null | tr -d '\r')
ini=$WINEPREFIX/drive_c/windows/system.ini
python3 - "$ini" "$short" <<'PY'
import re, sys
path, value = sys.argv[1], sys.argv[2]
try:
    text = open(path, newline='').read()
except FileNotFoundError:
    text = ''
line = 'SCRNSAVE.EXE=' + value
if re.search(r'(?im)^SCRNSAVE\.EXE=.*$', text):
    text = re.sub(r'(?im)^SCRNSAVE\.EXE=.*?(?=\r?$)', lambda m: line, text)
elif re.search(r'(?im)^\[boot\]\r?$', text):
    text = re.sub(r'(?im)^(\[boot\]\r?\n)', lambda m: m.group(1) + line + '\r\n', text, count=1)
else:
    text += '[boot]\r\n' + line + '\r\n'
open(path, 'w', newline='').write(text)
PY
echo "installed in C:\\Quorvanes (TesselsDir C:\\Quorvanes\\Tessels, SCRNSAVE.EXE $short)"

# Shared by the project's scripts: messages, and which Windows build runs here.
say() { printf '\n==> %s\n' "$*"; }

# The Windows build Wine can run on this machine: the 32-bit deliverable where the kernel
# runs 32-bit programs, else the 64-bit build of the same tree.
wine_runs_32bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
# Every Windows build this machine runs: the 64-bit one always, the 32-bit one first where
# the kernel runs it.
runnable_windows_presets() {
  if wine_runs_32bit; then echo windows windows-x64; else echo windows-x64; fi
}

runnable_windows_preset() {
  if wine_runs_32bit; then echo windows; else echo windows-x64; fi
}

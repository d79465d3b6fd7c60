#!/usr/bin/env bash
# The shipped .scr must be a 64-bit GUI program that loads only DLLs every Windows has.
set -euo pipefail
scr=$1
info=$(x86_64-w64-mingw32-objdump -p "$scr")
fail=0
grep -q 'Magic.*(PE32+)' <<<"$info" || { echo "not PE32+"; fail=1; }
grep -q 'Subsystem.*(Windows GUI)' <<<"$info" || { echo "not a GUI program"; fail=1; }
allowed='^(ADVAPI32|COMCTL32|COMDLG32|GDI32|KERNEL32|msvcrt|OLE32|OLEAUT32|SHELL32|SHLWAPI|USER32|WINMM|d3dxof|VERSION)\.dll$'
while read -r dll; do
  if ! grep -qiE "$allowed" <<<"$dll"; then echo "needs $dll"; fail=1; fi
done < <(sed -n 's/^\s*DLL Name: //p' <<<"$info")
[ $fail -eq 0 ] && echo "ok: $(basename "$scr") is a PE32+ GUI program with system DLLs only"
exit $fail

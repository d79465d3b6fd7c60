#!/usr/bin/env bash
# The installer as a user meets it, in a fresh Wine prefix: a silent install, the installed
# saver showing the default pictures, installing again over itself, and the uninstaller.
#   installer_test.sh BUILD_DIR        (needs DISPLAY: scripts/test provides an Xvfb)
set -uo pipefail
build=$(cd "$1" && pwd)
top=$(cd "$(dirname "$0")/../.." && pwd)
setup="$build/Solvane7-setup.exe"
export SOLVANE_WINEPREFIX="$build/installer-test-prefix"
export WINEPREFIX="$SOLVANE_WINEPREFIX"
run() { "$top/cmake/wine-run" "$@"; }
reg_value() { run reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"; }

failures=0
passes=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then
    echo "ok: $what"; passes=$((passes + 1))
  else
    echo "FAILED: $what"; failures=$((failures + 1))
  fi
}

[ -n "${DISPLAY:-}" ] || { echo "installer_test: needs DISPLAY"; exit 1; }
[ -f "$setup" ] || { echo "installer_test: $setup was not built"; exit 1; }
wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX" "$WINEPREFIX.lock"
trap 'wineserver -k 2>/dev/null || true' EXIT

install_dir="$WINEPREFIX/drive_c/Program Files/Korrin Software/Solvane 7.0"
key='HKLM\Software\Korrin Software\Solvane 7.0'

# Another screen saver is the user's choice before ours is installed.
run reg add 'HKCU\Control Panel\Desktop' /v SCRNSAVE.EXE /t REG_SZ /d 'C:\windows\system32\other.scr' /f >/dev/null 2>&1

run "$setup" /S
check "silent install exits with 0" test $? -eq 0
check "the saver is installed" test -f "$install_dir/Solvane7.scr"
check "the default pictures are installed" test -f "$install_dir/data/defpics/defpic14.jpg"
check "the meshes are installed" test -f "$install_dir/data/objects/coffeemug.x"
check "the built-in themes are installed" test -f "$install_dir/data/tdef/app.thm"
check "InstallPath names the folder without a trailing separator" \
  test "$(reg_value "$key" InstallPath)" = 'C:\Program Files\Korrin Software\Solvane 7.0'
scrnsave=$(reg_value 'HKCU\Control Panel\Desktop' SCRNSAVE.EXE)
check "the saver became the screen saver (short path)" \
  bash -c "[[ '$scrnsave' == *'Solvane7.scr' || '$scrnsave' == *'SOLVAN~1.SCR' ]] && [[ '$scrnsave' != *' '* ]]"
check "an uninstaller is registered" \
  test -n "$(reg_value 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Solvane7' UninstallString)"
check "the settings entry is in the Start menu" \
  test -f "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Solvane 7/Solvane 7 Settings.lnk"

run "$setup" /S
check "installing again over itself works" test $? -eq 0 -a -f "$install_dir/Solvane7.scr"

# The installed saver, started as the system starts it, shows the gallery.
shot="$build/installer-test-gallery.png"
run "$install_dir/Solvane7.scr" /s &
pid=$!
sleep "${INSTALLER_TEST_SECONDS:-12}"
import -window root "$shot" 2>/dev/null
# A gallery has many colours; the fallback or an error box over black has few.
colours=$(convert "$shot" -resize 256x192 -colors 256 -format '%k' info: 2>/dev/null || echo 0)
check "the installed saver draws the gallery ($colours colours on screen)" test "${colours:-0}" -gt 60
xdotool key space 2>/dev/null
for _ in $(seq 1 30); do kill -0 $pid 2>/dev/null || break; sleep 0.5; done
if kill -0 $pid 2>/dev/null; then
  check "a key ends the installed saver" false
  kill $pid
else
  wait $pid
  check "a key ends the installed saver with exit code 0" test $? -eq 0
fi

# The uninstaller copies itself away and returns at once: wait for it to finish.
run "$install_dir/Uninstall.exe" /S
for _ in $(seq 1 60); do [ -e "$install_dir" ] || break; sleep 0.5; done
check "the uninstaller removes the installation folder" test ! -e "$install_dir"
check "the uninstaller removes the machine-wide settings" \
  bash -c "! '$top/cmake/wine-run' reg query '$key' >/dev/null 2>&1"
check "the uninstaller unregisters itself" \
  test -z "$(reg_value 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Solvane7' UninstallString)"
check "the uninstaller forgets the screen-saver choice that was ours" \
  test -z "$(reg_value 'HKCU\Control Panel\Desktop' SCRNSAVE.EXE)"

# A choice that is not ours survives an uninstall.
run "$setup" /S
run reg add 'HKCU\Control Panel\Desktop' /v SCRNSAVE.EXE /t REG_SZ /d 'C:\windows\system32\other.scr' /f >/dev/null 2>&1
run "$install_dir/Uninstall.exe" /S
for _ in $(seq 1 60); do [ -e "$install_dir" ] || break; sleep 0.5; done
check "another screen-saver choice is left alone" \
  test "$(reg_value 'HKCU\Control Panel\Desktop' SCRNSAVE.EXE)" = 'C:\windows\system32\other.scr'

echo "$passes passed, $failures failed"
[ $failures -eq 0 ]

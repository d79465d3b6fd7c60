# Private X servers for Wine: Xvfb (Mesa's software GL), and Xorg's dummy driver with two
# monitors.
# start_xvfb [WxHxD] sets DISPLAY to a new one-screen Xvfb, by default 1024x768x24.
XVFB_PID=""
start_xvfb() {
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 "${1:-1024x768x24}" -nolisten tcp +extension GLX +render -noreset >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  export LIBGL_ALWAYS_SOFTWARE=1
  for _ in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && return 0
    sleep 0.1
  done
  echo "display: Xvfb did not start" >&2
  return 1
}
stop_xvfb() { stop_server XVFB_PID; }

# Ends a server started here; $1 names the variable that holds its process id.
stop_server() {
  local pid=${!1}
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  printf -v "$1" '%s' ""
}

# Starting and stopping Xorg's dummy driver with two monitors side by side (1024x768 each,
# \\.\DISPLAY1 at 0,0 and \\.\DISPLAY2 at 1024,0 for Wine, one Direct3D adapter each): Xvfb in
# any form, and two dummy screens under Xinerama, show Wine one monitor.
# start_xorg_two_heads FOLDER writes the configuration and the server's log there, sets DISPLAY.
XORG_PID=""
start_xorg_two_heads() {
  local folder=$1 n=190
  mkdir -p "$folder"
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  # The server takes none of the machine's keyboards and mice; Mon1 takes no 85 Hz modes, so
  # the two adapters list different modes.
  cat >"$folder/xorg-two-heads.conf" <<'CONF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
EndSection
Section "Device"
  Identifier "Card0"
  Driver "dummy"
  VideoRam 256000
  Option "Monitor-DUMMY0" "Mon0"
  Option "Monitor-DUMMY1" "Mon1"
EndSection
Section "Monitor"
  Identifier "Mon0"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
EndSection
Section "Monitor"
  Identifier "Mon1"
  HorizSync 5.0-1000.0
  VertRefresh 50.0-75.0
  Option "RightOf" "Mon0"
  Option "Enable" "true"
EndSection
Section "Screen"
  Identifier "Screen0"
  Device "Card0"
  Monitor "Mon0"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 2048 768
    Modes "1024x768"
  EndSubSection
EndSection
CONF
  local xorg=(Xorg ":$n" -config "$folder/xorg-two-heads.conf" -noreset -nolisten tcp
              -logfile "$folder/xorg-two-heads.log")
  # Only root may name a configuration by its full path.
  [ "$(id -u)" -eq 0 ] || xorg=(sudo -n "${xorg[@]}")
  "${xorg[@]}" >/dev/null 2>&1 &
  XORG_PID=$!
  export DISPLAY=":$n"
  export LIBGL_ALWAYS_SOFTWARE=1
  for _ in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && xdpyinfo >/dev/null 2>&1 && return 0
    kill -0 "$XORG_PID" 2>/dev/null || break
    sleep 0.1
  done
  echo "display: Xorg with two dummy monitors did not start (see $folder/xorg-two-heads.log)" >&2
  return 1
}
stop_xorg_two_heads() { stop_server XORG_PID; }

# Starting and stopping a private Xvfb (24-bit, 1024x768, Mesa's software GL).
# start_xvfb [screens...] sets DISPLAY; with no argument one 1024x768 screen.
XVFB_PID=""
start_xvfb() {
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  local screens=("$@")
  [ ${#screens[@]} -gt 0 ] || screens=("1024x768x24")
  local opts=()
  local i=0
  for s in "${screens[@]}"; do opts+=(-screen "$i" "$s"); i=$((i + 1)); done
  [ ${#screens[@]} -gt 1 ] && opts+=(+xinerama)
  Xvfb ":$n" "${opts[@]}" -nolisten tcp +extension GLX +render -noreset >/dev/null 2>&1 &
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
stop_xvfb() {
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
  fi
}

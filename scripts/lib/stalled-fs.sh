# A folder whose reads never answer (tests/support/stalled_fs.py), standing in for a network
# share whose server stopped responding. start_stalled_fs FOLDER mounts it there and exports
# SOLVANE_STALLED_DIR; stop_stalled_fs unmounts it and ends the file system.
STALLED_PID=""
start_stalled_fs() {
  local folder=$1
  mkdir -p "$folder"
  fusermount3 -u -z "$folder" 2>/dev/null || true
  /usr/bin/python3 "$top/tests/support/stalled_fs.py" "$folder" >/dev/null 2>&1 &
  STALLED_PID=$!
  for _ in $(seq 1 50); do
    if [ -e "$folder/stalled.jpg" ]; then
      export SOLVANE_STALLED_DIR="$folder"
      return 0
    fi
    sleep 0.1
  done
  echo "stalled-fs: the file system did not mount" >&2
  return 1
}
stop_stalled_fs() {
  if [ -n "${SOLVANE_STALLED_DIR:-}" ]; then
    fusermount3 -u -z "$SOLVANE_STALLED_DIR" 2>/dev/null || true
    rmdir "$SOLVANE_STALLED_DIR" 2>/dev/null || true
  fi
  if [ -n "$STALLED_PID" ]; then
    # It has a thread inside a read that never returns: nothing short of KILL ends it.
    kill -9 "$STALLED_PID" 2>/dev/null || true
    wait "$STALLED_PID" 2>/dev/null || true
  fi
  STALLED_PID=""
}

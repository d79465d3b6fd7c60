# The native sanitizer build of the readers and their libFuzzer targets, shared by scripts/fuzz
# and scripts/test. Needs $top; the Windows build's installation data comes from $build.
native="$top/build/fuzz-native"
native_targets=(jpeg png webp bmp tga dds exif scale xfile tsl thm)
testdata="$top/../shared/testdata"

build_native_fuzz() {
  cmake -S "$top/tests/fuzz/native" -B "$native" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
  cmake --build "$native" >/dev/null
}

# Seed folders of a target: the test data, the installation data and the made seeds.
native_seeds() {
  local dir
  for dir in $(native_seed_candidates "$1"); do
    [ -d "$dir" ] && echo "$dir"
  done
}

native_seed_candidates() {
  local data="$top/${build:-build}/install_root/data" made="$native/made"
  case "$1" in
    jpeg|exif) echo "$testdata/jpeg" "$data/defpics" ;;
    png) echo "$testdata/png" ;;
    webp) echo "$made/webp" ;;
    bmp) echo "$testdata/bmp" "$data/grad" ;;
    tga) echo "$testdata/tga" ;;
    dds) echo "$testdata/dds" "$data/env" ;;
    scale) echo "$made/scale" ;;
    xfile) echo "$testdata/xfile" "$data/objects" "$made/xfile" ;;
    tsl) echo "$made/tsl" ;;
    thm) echo "$data/tdef" "$made/thm" ;;
  esac
}

# The saved crashers a target replays, by the prefix of their names.
native_regression_prefix() {
  case "$1" in
    jpeg|png|webp|bmp|tga|dds|exif) echo image- ;;
    xfile) echo xfile- ;;
    tsl) echo list- ;;
    thm) echo theme- ;;
    scale) echo scale- ;;
  esac
}

make_native_seeds() {
  mkdir -p "$native/made"/{xfile,tsl,thm,scale,webp}
  "$native/make_seeds" "$native/made" "$testdata"/xfile/*.x
}

# One folder of a target's saved crashers (libFuzzer takes folders or files, not both).
native_regressions() {
  local dir="$native/regressions/$1" prefix
  prefix=$(native_regression_prefix "$1")
  rm -rf "$dir"
  mkdir -p "$dir"
  for f in "$top/tests/fuzz/regressions/$prefix"*; do
    [ -f "$f" ] && ln -s "$f" "$dir/"
  done
  echo "$dir"
}

# The longest mutant: enough for several blocks, chunks or lines, short enough to run fast.
native_max_len() {
  case "$1" in
    xfile|tsl) echo 16384 ;;
    thm|scale) echo 4096 ;;
    *) echo 65536 ;;
  esac
}

native_dict() {
  local dict="$top/tests/fuzz/native/dict/$1.dict"
  [ -f "$dict" ] && echo "-dict=$dict"
}

# Every seed and saved crasher once through the target; fails on any finding.
replay_native_target() {
  local name=$1
  # shellcheck disable=SC2046
  nice -n 10 "$native/${name}_fuzzer" -runs=0 -timeout=60 -rss_limit_mb=2560 $(native_dict "$name") \
    $(native_seeds "$name") "$(native_regressions "$name")"
}

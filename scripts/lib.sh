# Shell pieces shared by scripts/demo, scripts/try and their tests (sourced, not run): Windows
# paths for Wine, the sample update's files and medium, and one run of the click-through robot
# under Wine in its own Xvfb.
kit_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
kit_lib=$kit_root/scripts/lib.sh

# A step's heading in the output.
step() { printf '\n======== %s ========\n' "$*"; }

# The Windows path of a Linux path, through Wine's drive Z:.
winpath() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }

# The sample update's own files in DIR/work (tag files, files/, data/), from scripts/sample/,
# with the splash picture drawn and the data file written.
sample_update_files() {
  local work=$1/work
  mkdir -p "$work/files" "$work/data"
  cp "$kit_root"/scripts/sample/UPDATE.TAG "$kit_root"/scripts/sample/GAMEDATA.TAG "$work/"
  cp "$kit_root/scripts/sample/UPDATE.ENV" "$work/files/"
  cp "$kit_root"/scripts/sample/TEXT01.DAT "$kit_root"/scripts/sample/MAP01.DAT "$work/data/"
  # The splash picture: 8 bits per pixel, at most 220 colours, uncompressed; 480 x 280 shows
  # above the title band.
  convert -size 480x280 gradient:'#0c1830'-'#3a6aa8' \
    -fill '#fff4c0' -draw 'circle 372,70 380,70' -draw 'point 60,40' -draw 'point 140,90' \
    -draw 'point 250,30' -draw 'point 300,120' -draw 'point 90,150' \
    -fill '#1c2a18' -draw 'ellipse 240,300 330,90 180,360' \
    -colors 200 -type Palette -compress None BMP3:"$work/files/update.bmp"
  # The data file: a 134-byte record (payload size at offset 4) and its payload.
  python3 - "$work/files/update.itw" <<'PY'
import struct, sys
payload = "星の見える丘 1.02".encode("cp932")
record = bytearray(134)
struct.pack_into("<H", record, 4, len(payload))
open(sys.argv[1], "wb").write(bytes(record) + payload)
PY
}

# Packs DIR/work's two tag files with the Linux gleaner; the archives go to DIR/medium (the
# tag files say so). Prints the end of each run; fails with gleaner's exit code.
sample_pack() {
  local dir=$1 tag rc
  mkdir -p "$dir/medium"
  for tag in UPDATE.TAG GAMEDATA.TAG; do
    set +e
    (cd "$dir/work" && "$kit_root/build/native/gleaner/gleaner" "$tag") |
      iconv -f CP932 -t UTF-8 | tail -2
    rc=${PIPESTATUS[0]}
    set -e
    echo "gleaner $tag: exit code $rc"
    [ "$rc" = 0 ] || return "$rc"
  done
}

# The rest of the sample medium DIR/medium: updater.exe, the read-me and the extra manual.
sample_medium_rest() {
  local medium=$1/medium
  mkdir -p "$medium/EXTRA"
  cp "$kit_root/build/win64/updater/updater.exe" "$medium/"
  cp "$kit_root/scripts/sample/ReadMe.txt" "$medium/"
  cp "$kit_root/scripts/sample/MANUAL.TXT" "$medium/EXTRA/"
}

# Runs click_through.exe with ARGS under Wine ($WINEPREFIX) in an Xvfb of its own, with a
# persistent wineserver for the run; what the robot prints goes to standard output and its
# exit code into the file RC_FILE ("?" when it did not run).
robot_run() {
  local rc_file=$1
  shift
  echo "?" >"$rc_file"
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '. "$0"; robot_session "$@"' "$kit_lib" \
    "$rc_file" "$@" </dev/null
}
robot_session() {
  local rc_file=$1 wine_run=$kit_root/scripts/wine-run
  shift
  "$wine_run" cmd /c exit >/dev/null 2>&1
  /usr/lib/wine/wineserver -k 2>/dev/null
  /usr/lib/wine/wineserver -p 30
  "$wine_run" cmd /c exit >/dev/null 2>&1  # Wine's helpers start here, not with the robot
  "$wine_run" "$kit_root/build/win64/tests/e2e/click_through.exe" "$@"
  echo "$?" >"$rc_file"
  /usr/lib/wine/wineserver -k 2>/dev/null || true
}

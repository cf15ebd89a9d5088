#!/bin/bash
# Packs the same members with the same tag file twice, with the Linux gleaner and with
# GLEANER.exe under Wine, and checks that both write the same archive bytes and print the
# same console text (apart from line ends). Prints PASS or FAIL and exits accordingly.
set -uo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/wineprefix}
linux_tool=$here/build/native/gleaner/gleaner
windows_tool=$here/build/win64/gleaner/GLEANER.exe

# Alone, this script makes its own Wine session (scripts/test runs it inside its own).
if [ -z "${KIT_WINE_SESSION:-}" ]; then
  export KIT_WINE_SESSION=own
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
if [ "$KIT_WINE_SESSION" = own ]; then
  "$here/scripts/wine-run" cmd /c exit </dev/null >/dev/null 2>&1 || true  # makes the prefix if needed
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  /usr/lib/wine/wineserver -p 60
  trap '/usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
  "$here/scripts/wine-run" cmd /c exit </dev/null >/dev/null 2>&1 || true  # starts Wine's helpers
fi

fail() { echo "same_archive: $*"; echo "FAIL"; exit 1; }
for tool in "$linux_tool" "$windows_tool"; do [ -f "$tool" ] || fail "missing $tool (build it first)"; done

scratch=$(mktemp -d "${TMPDIR:-/tmp}/same-archive.XXXXXX")
[ -n "${KEEP_SCRATCH:-}" ] || trap 'rm -rf "$scratch"; [ "$KIT_WINE_SESSION" != own ] || /usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT

# Two input trees with the same content: linux/ with Shift-JIS file names for the Linux tool,
# windows/ with UTF-8 names, which is how Wine (LC_ALL=ja_JP.UTF-8) stores a Windows
# program's names on the Linux side. The tag file and its name are Shift-JIS in both.
python3 - "$scratch" <<'PY' || fail "could not make the input trees"
import os, sys
root = sys.argv[1]
tag_name = "更新.TAG"
tag_lines = [
    ">out",
    "README.TXT\t\t// a tab starts a comment",
    "A_B.DAT", "AAB.DAT", "aac.dat",                         # "_" sorts before letters
    "ABCDEFGHIJKLMNOPQRSTUVWXY1.DAT",                        # 30 bytes, the first 25 shared:
    "abcdefghijklmnopqrstuvwxy2.dat",                        # told apart by the CRC only
    "ABCDEFGHIJKLMNOPQRSTUVWXY3.DAT",
    "ｚ.txt", "Ｚ.txt",                                       # same name field order, other CRC
    "ａ.dat", "b.dat",                                        # full-width a sorts after ASCII
    "表ソ.DAT", "ｶﾅ.DAT", "EMPTY.DAT", "BIG.BIN",
    "<srcソ",                                                 # trail byte 0x5C ends the folder
    "十.TXT",
    "ignored\\path\\ポート.DAT",                              # only the file name part is read
    "..END",
    "NOT_LISTED.DAT",
]
def content(name, i):
    if name == "EMPTY.DAT": return b""
    if name == "BIG.BIN": return bytes((j * 7 + j // 251) & 0xFF for j in range(70000))
    return ("%d %s\r\n" % (i, name)).encode("cp932") * (i + 1)
files = {}
for i, line in enumerate(tag_lines):
    name = line.split("\t")[0]
    if name[0] in "<>" or name == "..END" or name == "NOT_LISTED.DAT": continue
    folder = "srcソ" if i > tag_lines.index("<srcソ") else ""
    files[os.path.join(folder, name.split("\\")[-1])] = content(name, i)
tag = ("\r\n".join(tag_lines) + "\r\n").encode("cp932")
for side, encoding in (("linux", "cp932"), ("windows", "utf-8")):
    top = os.path.join(root, side, "work").encode()
    def path(rel): return os.path.join(top, rel.encode(encoding))
    os.makedirs(path("srcソ"))
    os.makedirs(path("out"))
    for rel, data in files.items():
        with open(path(rel), "wb") as f: f.write(data)
    with open(path(tag_name), "wb") as f: f.write(tag)
PY

tag_cp932=$(printf '更新.TAG' | iconv -f UTF-8 -t CP932)
pak_cp932=$(printf '更新.PAK' | iconv -f UTF-8 -t CP932)
(cd "$scratch/linux/work" && "$linux_tool" "$tag_cp932" </dev/null >"$scratch/linux.out" 2>&1)
linux_rc=$?
(cd "$scratch/windows/work" &&
  timeout 120 "$here/scripts/wine-run" "$windows_tool" '更新.TAG' </dev/null >"$scratch/windows.out" 2>"$scratch/windows.err")
windows_rc=$?

linux_pak=$scratch/linux/work/out/$pak_cp932
windows_pak=$scratch/windows/work/out/更新.PAK
status=0
[ "$linux_rc" = 0 ] || { echo "same_archive: Linux gleaner exited $linux_rc"; status=1; }
[ "$windows_rc" = 0 ] || { echo "same_archive: GLEANER.exe exited $windows_rc"; cat "$scratch/windows.err"; status=1; }
if [ -f "$linux_pak" ] && [ -f "$windows_pak" ]; then
  if cmp "$linux_pak" "$windows_pak"; then
    echo "same_archive: archives identical ($(stat -c %s "$linux_pak") bytes, $(($(od -An -tu4 -j12 -N4 "$linux_pak") - 1)) members)"
  else
    status=1
  fi
else
  echo "same_archive: archive missing (Linux: $([ -f "$linux_pak" ] && echo yes || echo no)," \
       "Windows: $([ -f "$windows_pak" ] && echo yes || echo no))"
  status=1
fi
if diff <(tr -d '\r' <"$scratch/linux.out") <(tr -d '\r' <"$scratch/windows.out") >"$scratch/console.diff"; then
  echo "same_archive: console output identical apart from line ends ($(wc -l <"$scratch/linux.out") lines)"
else
  echo "same_archive: console output differs (Linux <, Windows >, as UTF-8):"
  iconv -f CP932 -t UTF-8 -c <"$scratch/console.diff" | head -20
  status=1
fi
[ "$status" = 0 ] && echo "PASS" || echo "FAIL"
exit "$status"

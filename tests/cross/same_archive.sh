#!/bin/bash
# Packs the same members with the same tag file three times, with the Linux gleaner on
# Shift-JIS names and on UTF-8 names and with GLEANER.exe under Wine, and checks that all
# three write the same archive bytes and print the same console text (apart from line ends).
# Prints PASS or FAIL and exits accordingly.
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

# Three input trees with the same content: linux/ with Shift-JIS file names, as older tools
# left them, which the Linux tool still finds; utf8/ with UTF-8 names for the Linux tool; and
# windows/ with UTF-8 names, which is how Wine (LC_ALL=ja_JP.UTF-8) stores a Windows program's
# names on the Linux side. The tag file is Shift-JIS in all three. utf8/ and windows/ lie in
# a folder named "jürgen", which cp932 cannot hold, and the tools are given the tag file's
# whole path there (the archive's name comes from the tag file's name, so the console texts
# do not show that folder).
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
    "波～①髙.DAT",                                           # 81 60, a NEC and an IBM character
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
for side, encoding in (("linux", "cp932"), ("utf8", "utf-8"), ("windows", "utf-8")):
    top = os.path.join(root, side, "" if side == "linux" else "jürgen", "work").encode()
    def path(rel): return os.path.join(top, rel.encode(encoding))
    os.makedirs(path("srcソ"))
    os.makedirs(path("out"))
    for rel, data in files.items():
        with open(path(rel), "wb") as f: f.write(data)
    with open(path(tag_name), "wb") as f: f.write(tag)
PY

# The Shift-JIS tree gets the tag file's name as its cp932 bytes (what older scripts pass);
# the UTF-8 tree gets the whole path in UTF-8; Wine gets it as a Windows path on drive Z:.
tag_cp932=$(printf '更新.TAG' | iconv -f UTF-8 -t CP932)
utf8_work=$scratch/utf8/jürgen/work
windows_work=$scratch/windows/jürgen/work
(cd "$scratch/linux/work" && "$linux_tool" "$tag_cp932" </dev/null >"$scratch/linux.out" 2>&1)
linux_rc=$?
(cd "$utf8_work" && LC_ALL=C "$linux_tool" "$utf8_work/更新.TAG" </dev/null >"$scratch/utf8.out" 2>&1)
utf8_rc=$?
(cd "$windows_work" &&
  timeout 120 "$here/scripts/wine-run" "$windows_tool" "Z:${windows_work//\//\\}\\更新.TAG" \
    </dev/null >"$scratch/windows.out" 2>"$scratch/windows.err")
windows_rc=$?

# A new archive is named in the form the tag file's name had on the command line.
pak_cp932=$(printf '更新.PAK' | iconv -f UTF-8 -t CP932)
linux_pak=$scratch/linux/work/out/$pak_cp932
utf8_pak=$utf8_work/out/更新.PAK
windows_pak=$windows_work/out/更新.PAK
status=0
[ "$linux_rc" = 0 ] || { echo "same_archive: Linux gleaner (Shift-JIS names) exited $linux_rc"; status=1; }
[ "$utf8_rc" = 0 ] || { echo "same_archive: Linux gleaner (UTF-8 names) exited $utf8_rc"; status=1; }
[ "$windows_rc" = 0 ] || { echo "same_archive: GLEANER.exe exited $windows_rc"; cat "$scratch/windows.err"; status=1; }
for run in "Shift-JIS names:$linux_pak" "UTF-8 names:$utf8_pak"; do
  what=${run%%:*} pak=${run#*:}
  if [ -f "$pak" ] && [ -f "$windows_pak" ]; then
    if cmp "$pak" "$windows_pak"; then
      echo "same_archive: archives identical, Linux on $what and Windows" \
           "($(stat -c %s "$pak") bytes, $(($(od -An -tu4 -j12 -N4 "$pak") - 1)) members)"
    else
      status=1
    fi
  else
    echo "same_archive: archive missing (Linux on $what: $([ -f "$pak" ] && echo yes || echo no)," \
         "Windows: $([ -f "$windows_pak" ] && echo yes || echo no))"
    status=1
  fi
done
for run in "Shift-JIS names:linux" "UTF-8 names:utf8"; do
  what=${run%%:*} out=$scratch/${run#*:}.out
  if diff <(tr -d '\r' <"$out") <(tr -d '\r' <"$scratch/windows.out") >"$scratch/console.diff"; then
    echo "same_archive: console output identical apart from line ends, Linux on $what and Windows ($(wc -l <"$out") lines)"
  else
    echo "same_archive: console output differs (Linux on $what <, Windows >, as UTF-8):"
    iconv -f CP932 -t UTF-8 -c <"$scratch/console.diff" | head -20
    status=1
  fi
done
[ "$status" = 0 ] && echo "PASS" || echo "FAIL"
exit "$status"

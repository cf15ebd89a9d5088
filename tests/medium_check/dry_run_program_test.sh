#!/bin/sh
# medium-check --game on real folders: the report's lines, the prediction file and the exit
# codes. Usage: dry_run_program_test.sh PROGRAM [EMULATOR]; run in the folder that holds the
# splash pictures. With an emulator (Wine) the folders are given as Windows paths (Z:\...).
set -u
program=$1
emulator=${2:-}
failed=0
fail() { echo "FAIL: $*"; failed=1; }
run() {
  if [ -n "$emulator" ]; then "$emulator" "$program" "$@"; else "$program" "$@"; fi
}
p() {  # a path as the program takes it
  if [ -n "$emulator" ]; then printf 'Z:%s' "$1" | tr '/' '\\'; else printf '%s' "$1"; fi
}
expect() {  # expect CODE TEXT ARGS...: the exit code and a text the output must hold
  code=$1 text=$2
  shift 2
  run "$@" >"$work/out" 2>&1
  got=$?
  out=$(tr -d '\r' <"$work/out")
  [ "$got" = "$code" ] || { fail "$* gave exit $got, not $code"; echo "$out"; }
  case $out in *"$text"*) ;; *) fail "$* printed no \"$text\""; echo "$out" ;; esac
}
work=$(mktemp -d "$PWD/dry-run.XXXXXX")
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
medium=$work/medium game=$work/ゲーム
mkdir -p "$medium" "$game/Data"
cp sound.bmp "$medium/update.bmp"
head -c 134 /dev/zero >"$medium/update.itw"
printf 'read me\r\n' >"$medium/ReadMe.txt"
printf 'new\n' >"$medium/New.dat"
printf 'APPTITLE T\nCOPY1_F NEW.DAT\nCOPY1_T data\\新.DAT\nDELETE_1 old.dat\nDELSAVE 1\nSAVENAME SV\n' \
  | iconv -f UTF-8 -t CP932 >"$medium/UPDATE.ENV"
printf 'old' >"$game/OLD.DAT"
printf 'ro' >"$game/SV00.SAV"
chmod a-w "$game/SV00.SAV"

expect 2 "  COPY1      NEW.DAT -> data\\新.DAT: new (4 bytes)" "$(p "$medium")" --game "$(p "$game")" --predict "$(p "$work/p")"
expect 2 "  DELETE_1   delete old.dat: deleted" "$(p "$medium")" --game "$(p "$game")"
expect 2 "delete SV00.SAV: kept: read-only (DeleteFile refuses read-only files)" "$(p "$medium")" --game "$(p "$game")"
expect 2 'End: "MINIOK"' "$(p "$medium")" --game "$(p "$game")"
hash=$(printf 'new\n' | python3 -c 'import sys
h=0xCBF29CE484222325
for b in sys.stdin.buffer.read(): h=((h^b)*0x100000001B3)&0xFFFFFFFFFFFFFFFF
print("%016X"%h)')
want="medium-check prediction 1
end MINIOK
folder 00000010 - - Data
file 00000020 4 $hash Data\\新.DAT
file 00000021 2 $(printf ro | python3 -c 'import sys
h=0xCBF29CE484222325
for b in sys.stdin.buffer.read(): h=((h^b)*0x100000001B3)&0xFFFFFFFFFFFFFFFF
print("%016X"%h)') SV00.SAV"
[ "$(tr -d '\r' <"$work/p")" = "$want" ] || { fail "prediction"; cat "$work/p"; echo "wanted:"; echo "$want"; }
rm "$medium/New.dat"
expect 1 'End: "アップデートに失敗しました", failed: COPY1' "$(p "$medium")" --game "$(p "$game")"
expect 1 "delete SV00.SAV: not deleted: the update failed" "$(p "$medium")" --game "$(p "$game")"
expect 3 "not a folder" "$(p "$medium")" --game "$(p "$work/none")"
expect 3 "no value for --game" "$(p "$medium")" --game
expect 3 "--predict needs --game" "$(p "$medium")" --predict "$(p "$work/p")"
rm "$medium/UPDATE.ENV"
expect 1 "Dry run: UPDATE.ENV is found nowhere, so the updater ends before the update" \
  "$(p "$medium")" --game "$(p "$game")" --predict "$(p "$work/p")"
[ "$(sed -n 2p "$work/p" | tr -d '\r')" = "end STOPPED" ] || fail "no STOPPED prediction"
grep -q "OLD.DAT" "$work/p" || fail "the unchanged folder is not predicted"
[ -e "$game/OLD.DAT" ] || fail "the dry run changed the game folder"
exit $failed

#!/bin/sh
# medium-check --game on real folders: the report's lines, the prediction file and the exit
# codes. Usage: dry_run_program_test.sh PROGRAM [EMULATOR]; run in the folder that holds the
# splash pictures. With an emulator (Wine) the folders are given as Windows paths (Z:\...).
set -u
program=$1
emulator=${2:-}
failed=0
. "$(dirname "$0")/program_lib.sh"
work=$(mktemp -d "$PWD/dry-run.XXXXXX")
out_file=$work/out
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

expect 2 "  COPY1      NEW.DAT -> data\\新.DAT: new (4 bytes)" "$(arg_path "$medium")" --game "$(arg_path "$game")" --predict "$(arg_path "$work/p")"
expect 2 "  DELETE_1   delete old.dat: deleted" "$(arg_path "$medium")" --game "$(arg_path "$game")"
expect 2 "delete SV00.SAV: kept: read-only (DeleteFile refuses read-only files)" "$(arg_path "$medium")" --game "$(arg_path "$game")"
expect 2 'End: "MINIOK"' "$(arg_path "$medium")" --game "$(arg_path "$game")"
# 64-bit FNV-1a of standard input, worked out here independently of the program.
fnv1a() {
  python3 -c 'import sys
h=0xCBF29CE484222325
for b in sys.stdin.buffer.read(): h=((h^b)*0x100000001B3)&0xFFFFFFFFFFFFFFFF
print("%016X"%h)'
}
want="medium-check prediction 1
end MINIOK
folder 00000010 - - Data
file 00000020 4 $(printf 'new\n' | fnv1a) Data\\新.DAT
file 00000021 2 $(printf ro | fnv1a) SV00.SAV"
[ "$(tr -d '\r' <"$work/p")" = "$want" ] || { fail "prediction"; cat "$work/p"; echo "wanted:"; echo "$want"; }
rm "$medium/New.dat"
expect 1 'End: "アップデートに失敗しました", failed: COPY1' "$(arg_path "$medium")" --game "$(arg_path "$game")"
expect 1 "delete SV00.SAV: not deleted: the update failed" "$(arg_path "$medium")" --game "$(arg_path "$game")"
expect 3 "not a folder" "$(arg_path "$medium")" --game "$(arg_path "$work/none")"
expect 3 "no value for --game" "$(arg_path "$medium")" --game
expect 3 "--predict needs --game" "$(arg_path "$medium")" --predict "$(arg_path "$work/p")"
rm "$medium/UPDATE.ENV"
expect 1 "Dry run: UPDATE.ENV is found nowhere, so the updater ends before the update" \
  "$(arg_path "$medium")" --game "$(arg_path "$game")" --predict "$(arg_path "$work/p")"
[ "$(sed -n 2p "$work/p" | tr -d '\r')" = "end STOPPED" ] || fail "no STOPPED prediction"
grep -q "OLD.DAT" "$work/p" || fail "the unchanged folder is not predicted"
[ -e "$game/OLD.DAT" ] || fail "the dry run changed the game folder"
exit $failed

#!/bin/bash
# scripts/try on the demo's sample medium: the robot shows the confirmation and "MINIOK" line
# by line, the changed files stand with their sizes beside the dry run's prediction, which
# holds; a prediction that differs is marked; with --game on a folder of the preparer's (a
# Japanese name, a read-only file named for deletion, which the updater keeps) neither that
# folder nor the medium is changed; a record that says "not installed" stops the updater
# before the update. Prints PASS or FAIL and exits accordingly.
set -uo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
. "$here/scripts/lib.sh"
failed=0
fail() { echo "sample_try: $*"; failed=1; }
scratch=$(mktemp -d "${TMPDIR:-/tmp}/sample-try.XXXXXX")
[ -n "${KEEP_SCRATCH:-}" ] || trap 'chmod -R u+w "$scratch"; rm -rf "$scratch"' EXIT
export KIT_TRY_DIR=$scratch/try

# The box that begins with the line "  box: CAPTION", up to its buttons' line.
box() { awk -v head="  box: $1" '$0 == head {on = 1; next} on && /^    buttons:/ {exit} on' "$2"; }
# Whether a line matching the extended regular expression is in the file.
has() { grep -Eq -- "$1" "$2" || fail "no line /$1/ in $2"; }
# A state of a folder that any change shows: names, sizes, modes and contents.
state() { (cd "$1" && find . -printf '%p %s %m\n' | sort && find . -type f -print0 | sort -z |
           xargs -0 sha1sum); }

set -e
sample_update_files "$scratch" >/dev/null
sample_pack "$scratch" >/dev/null
sample_medium_rest "$scratch"
set +e
medium=$scratch/medium
state "$medium" >"$scratch/medium.before"

"$here/scripts/try" "$medium" >"$scratch/sample.out" 2>&1
rc=$?
out=$scratch/sample.out
[ "$rc" = 0 ] || fail "scripts/try on the sample medium: exit code $rc"
want=$'    「星の見える丘」のアップデートを開始します。\n    アップデートを行うと、セーブデータは削除されます。\n\n    [OK]を押すとアップデートを開始します。'
[ "$(box アップデート確認 "$out")" = "$want" ] || fail "the confirmation is not shown whole"
want=$'    アップデートは正常に終了しました。\n\n    次回の起動時からは、アップデート済みの\n    プログラムが実行されます。'
[ "$(box アップデート終了 "$out")" = "$want" ] || fail "MINIOK's text is not shown whole"
has '^    buttons: \[ｷｬﾝｾﾙ\] \*\[OK\] \(\* pressed\)$' "$out"
has "^  GAMEDATA\.PAK +replaced, 18 -> $(stat -c %s "$medium/GAMEDATA.PAK") bytes +same\$" "$out"
has "^  MANUAL\.TXT +new, $(stat -c %s "$here/scripts/sample/MANUAL.TXT") bytes +same\$" "$out"
has '^  OLD\.DAT +deleted \(21 bytes\) +same$' "$out"
has '^  CONFIG\.SAV +deleted \(10 bytes\) +same$' "$out"
has '^  end +MINIOK +MINIOK$' "$out"
has '^  unchanged: GAME\.EXE, SAVE00\.SAV$' "$out"
has '^The prediction held' "$out"
[ "$failed" = 0 ] || cat "$out"

# The same run against a prediction with another size for MANUAL.TXT and another end.
run=$KIT_TRY_DIR/run
sed -e 's/^\(file [0-9A-F]* \)[0-9]*\( [0-9A-F]* MANUAL\.TXT\)$/\1999\2/' \
  -e 's/^end MINIOK$/end FAILED/' "$run/prediction.txt" >"$scratch/wrong.txt"
python3 "$here/scripts/try-compare.py" "$run/sample/HoshiNoOka" \
  "$KIT_TRY_DIR/wineprefix/drive_c/Games/HoshiNoOka" "$scratch/wrong.txt" "$run/boxes.txt" \
  >"$scratch/wrong.out"
[ "$?" = 1 ] || fail "a wrong prediction did not give exit code 1"
has '^! MANUAL\.TXT +new, [0-9]+ bytes +new, 999 bytes$' "$scratch/wrong.out"
has '^! end +MINIOK +FAILED$' "$scratch/wrong.out"
has 'differs from what the updater did in 2 place' "$scratch/wrong.out"
has '^  GAMEDATA\.PAK .* same$' "$scratch/wrong.out"

# A folder of the preparer's: the copy is updated, the folder itself is not.
game=$scratch/ゲーム
bash "$here/scripts/sample-game" "$game"
chmod a-w "$game/OLD.DAT"
state "$game" >"$scratch/game.before"
"$here/scripts/try" --game "$game" "$medium" >"$scratch/game.out" 2>&1
rc=$?
out=$scratch/game.out
[ "$rc" = 0 ] || fail "scripts/try --game: exit code $rc"
has '^registry HKCU\\Software\\HOSHIOKA\.INI\\HOSHIOKA_SEC: Installed=1, SaveDir=C:\\Games\\ゲーム$' \
  "$out"
has 'DELETE_1 +delete OLD\.DAT: kept' "$out"
has '^  unchanged: GAME\.EXE, OLD\.DAT, SAVE00\.SAV$' "$out"
has '^The prediction held' "$out"
state "$game" | cmp -s - "$scratch/game.before" || fail "scripts/try changed the preparer's folder"
state "$medium" | cmp -s - "$scratch/medium.before" || fail "scripts/try changed the medium"
[ "$failed" = 0 ] || cat "$out"

# A record that says the game is not installed: the updater stops before the update, and the
# prediction is not held against the run.
"$here/scripts/try" --installed 0 "$medium" >"$scratch/stop.out" 2>&1
rc=$?
out=$scratch/stop.out
[ "$rc" = 0 ] || fail "scripts/try --installed 0: exit code $rc"
has '^    「星の見える丘」が見つかりません$' "$out"
has '^The updater did not reach the update procedure' "$out"
has '^  unchanged: CONFIG\.SAV, GAME\.EXE, GAMEDATA\.PAK, OLD\.DAT, SAVE00\.SAV$' "$out"
[ "$failed" = 0 ] || cat "$out"

"$here/scripts/try" --no-record --game "$scratch/none" "$medium" >/dev/null 2>&1
[ "$?" = 2 ] || fail "a game folder that does not exist did not give exit code 2"
[ "$failed" = 0 ] && echo PASS || echo FAIL
exit "$failed"

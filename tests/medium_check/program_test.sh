#!/bin/sh
# The medium-check program's command line and exit codes on a medium of plain files:
# usage: program [emulator...]; run in the folder that holds the splash pictures.
set -u
program=$1
failed=0
expect() {  # expect CODE TEXT ARGS...: the exit code and a text the output must hold
  code=$1 text=$2
  shift 2
  out=$("$program" "$@" 2>&1)
  got=$?
  if [ "$got" != "$code" ]; then echo "FAIL: $* gave exit $got, not $code"; echo "$out"; failed=1; fi
  case $out in *"$text"*) ;; *) echo "FAIL: $* printed no \"$text\""; echo "$out"; failed=1 ;; esac
}
medium=$(mktemp -d "$PWD/program-medium.XXXXXX")
trap 'rm -rf "$medium"' EXIT
cp sound.bmp "$medium/update.bmp"
head -c 134 /dev/zero >"$medium/update.itw"
printf 'read me\r\n' >"$medium/ReadMe.txt"
printf 'APPTITLE Program|Test\nAPPNAME Test\n' >"$medium/UPDATE.ENV"

expect 0 "Exit codes: 0 no findings; 1 errors; 2 warnings only" --help
expect 3 "no MEDIUM_FOLDER given"
expect 3 "takes MEDIUM_FOLDER only" "$medium" extra
expect 3 "cannot enter the folder" "$medium/none"
expect 0 "  APPTITLE      Program Test  (line 1)" "$medium"
printf 'DELSAVE=1\n' >>"$medium/UPDATE.ENV"
expect 1 "UPDATE.ENV:3: error: \"DELSAVE=1\" is one token" "$medium"
printf 'APPNAME Test\nDELSAVE 1\n' >"$medium/UPDATE.ENV"
expect 2 "DELSAVE is 1 but there is no SAVENAME" "$medium"
exit $failed

#!/bin/sh
# The medium-check program's command line and exit codes on a medium of plain files.
# Usage: program_test.sh PROGRAM [EMULATOR]; run in the folder that holds the splash
# pictures. With an emulator (Wine) the folders are given as Windows paths (Z:\...).
set -u
program=$1
emulator=${2:-}
failed=0
. "$(dirname "$0")/program_lib.sh"
medium=$(mktemp -d "$PWD/program-medium.XXXXXX")  # absolute, as Z:\ needs
out_file=$medium.out
trap 'rm -rf "$medium" "$medium.out"' EXIT
cp sound.bmp "$medium/update.bmp"
head -c 134 /dev/zero >"$medium/update.itw"
printf 'read me\r\n' >"$medium/ReadMe.txt"
printf 'APPTITLE Program|Test\nAPPNAME Test\n' >"$medium/UPDATE.ENV"

expect 0 "Exit codes: 0 no findings; 1 errors; 2 warnings only" --help
expect 3 "no MEDIUM_FOLDER given"
folder=$(arg_path "$medium")
expect 3 "takes MEDIUM_FOLDER only" "$folder" extra
expect 3 "cannot enter the folder" "$(arg_path "$medium/none")"
expect 0 "  APPTITLE      Program Test  (line 1)" "$folder"
printf 'DELSAVE=1\n' >>"$medium/UPDATE.ENV"
expect 1 "UPDATE.ENV:3: error: \"DELSAVE=1\" is one token" "$folder"
printf 'APPNAME Test\nDELSAVE 1\n' >"$medium/UPDATE.ENV"
expect 2 "DELSAVE is 1 but there is no SAVENAME" "$folder"
# A folder whose name cp932 cannot hold, and a Japanese name shown from the file.
mkdir "$medium/Jürgen"
cp "$medium/update.bmp" "$medium/update.itw" "$medium/ReadMe.txt" "$medium/Jürgen/"
printf 'APPNAME \220\257\202\314\213\165\n' >"$medium/Jürgen/UPDATE.ENV"
expect 0 "  APPNAME       星の丘  (line 1)" "$(arg_path "$medium/Jürgen")"
exit $failed

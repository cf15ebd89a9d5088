# Shared by the medium-check program tests (sourced): runs the program, natively or under an
# emulator, and compares its exit code and output. The sourcing script sets $program,
# $emulator, $failed and $out_file (where each run's output goes).
run() {
  if [ -n "$emulator" ]; then "$emulator" "$program" "$@"; else "$program" "$@"; fi
}
# A path as the program takes it: under an emulator (Wine) a Windows path Z:\...
arg_path() {
  if [ -n "$emulator" ]; then printf 'Z:%s' "$1" | tr '/' '\\'; else printf '%s' "$1"; fi
}
fail() { echo "FAIL: $*"; failed=1; }
expect() {  # expect CODE TEXT ARGS...: the exit code and a text the output must hold
  code=$1 text=$2
  shift 2
  run "$@" >"$out_file" 2>&1
  got=$?
  out=$(tr -d '\r' <"$out_file")
  [ "$got" = "$code" ] || { fail "$* gave exit $got, not $code"; echo "$out"; }
  case $out in *"$text"*) ;; *) fail "$* printed no \"$text\""; echo "$out" ;; esac
}

# Shared by the tests that stop the real save before each of its calls (sourced): by a kill
# (kill_every_call.sh), by a power cut (power_cut.sh) and under Wine (tests/win32/kill_every_step.sh).
# It gives the two texts they save over each other, the driver's runs with what each said, the
# checks after each stop, the run stopped before each call in turn, and the count of failures.
# The caller sets `work` (its folder), and defines
#   driver_command ARG...   prints nothing; runs the driver (save_driver) with ARG in the current
#                           folder, as the platform runs it (natively, or under Wine)
#   native PATH             the name of a file as the driver takes it (a Windows name under Wine)
# and may set rerun_unstarted=1: a run that the driver never began (it says "running" first) is
# made once more, as Wine was once seen not to start a program on a loaded machine. The driver's
# own failures are never run again.

# A command that fails unguarded ends the script: it says which, so that no test fails unexplained.
set -o errtrace
trap 'echo "stopped at line $LINENO of $(basename "$0"): $BASH_COMMAND (status $?)"' ERR

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
rerun_unstarted=0

# write_save_texts FOLDER: FOLDER/small and FOLDER/large, which a save grows or shrinks the file to.
write_save_texts() {
  printf '[/CONFIG_CATEGORY_USER]\n"mine"=dword:00000001\n' > "$1/small"
  { printf '[]\n\n[/CONFIG_CATEGORY_MACHINE/Audio/Driver]\n'
    for i in $(seq 40); do printf '"value %d"=dword:%08x\n' "$i" "$i"; done
    printf '\n[/CONFIG_CATEGORY_USER]\n"mine"=dword:00000002\n\n'; } > "$1/large"
}

# drive FOLDER ARG...: the driver run in FOLDER; its status in $status, what it said in
# $work/said, what its platform said (Wine) in $work/system.said.
drive() {
  local folder=$1 again=0
  shift
  while :; do
    status=0
    (cd "$folder" && driver_command "$@" >"$work/said" 2>"$work/system.said") || status=$?
    grep -q '^running' "$work/said" && return 0
    if [ "$rerun_unstarted" -eq 1 ] && [ "$again" -eq 0 ]; then
      echo "  the driver did not begin \"$1\" (status $status; $(system_said)); again"
      again=1
      continue
    fi
    return 0
  done
}

# What the last run said, for a failure's account.
system_said() { echo "the system said: $(grep -v fixme "$work/system.said" | head -n 5 | tr '\n' ' ')"; }
said() { echo "the driver said: $(head -n 5 "$work/said" | tr '\n' ' '); $(system_said)"; }

# after_stop WHAT GAME STATE: after a save of $work/$new over $work/$old ("-": no file before)
# was stopped in folder GAME (its journals in the player's state folder STATE): the next start,
# and the checks every test that stops a save makes (after_stop.h, run by the driver).
after_stop() {
  local what=$1 game=$2 state=$3 oldfile=-
  [ "$old" = - ] || oldfile=$(native "$work/$old")
  drive "$game" after-stop "$oldfile" "$(native "$work/$new")" "$(native "$state")"
  [ "$status" -eq 0 ] || fail "$what: $(said)"
}

# stop_at_each_call NAME SAVED STOPPED GAME STATE: the save of the text in SAVED (as the driver
# names it) over $work/$old in GAME, stopped before its call 1, 2, ... in turn (KOV_STOP_AT, with
# the caller's `stopping` settings) until it comes to its end, each run in a GAME that the
# caller's `prepare` makes afresh; a stopped save ends with status STOPPED. After each stop, the
# checks (journals in STATE); at the end, the new text in kov.ini.
stopping=()
stop=()
stop_at_each_call() {
  local name=$1 saved=$2 stopped=$3 game=$4 state=$5 n=1
  while :; do
    prepare
    stop=(KOV_STOP_AT=$n "${stopping[@]}")
    drive "$game" save "$saved"
    stop=()
    [ "$status" -eq 0 ] && break  # the save came to its end before call n
    if [ "$status" -ne "$stopped" ]; then fail "$name: the save ended with status $status at call $n; $(said)"; break; fi
    after_stop "$name, stopped before call $n" "$game" "$state"
    n=$((n + 1))
  done
  cmp -s "$game/kov.ini" "$work/$new" || fail "$name: the save that ran to its end did not save; $(said)"
  echo "ok: $name: stopped before each of $((n - 1)) calls"
}

# Shared by the tests that end a save at every call (sourced): the two texts they save over each
# other, a small one and a large one (so that a save grows or shrinks the file), and the count of
# failures.

# write_save_texts FOLDER: FOLDER/small and FOLDER/large.
write_save_texts() {
  printf '[/CONFIG_CATEGORY_USER]\n"mine"=dword:00000001\n' > "$1/small"
  { printf '[]\n\n[/CONFIG_CATEGORY_MACHINE/Audio/Driver]\n'
    for i in $(seq 40); do printf '"value %d"=dword:%08x\n' "$i" "$i"; done
    printf '\n[/CONFIG_CATEGORY_USER]\n"mine"=dword:00000002\n\n'; } > "$1/large"
}

# A command that fails unguarded ends the script: it says which, so that no test fails unexplained.
set -o errtrace
trap 'echo "stopped at line $LINENO of $(basename "$0"): $BASH_COMMAND (status $?)"' ERR

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

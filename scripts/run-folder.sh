# Sourced by run.sh and run-second.sh: a fresh folder for one run of the program, with
# a copy of the program folder and the program's per-user folders (XDG) inside it, so
# that nothing a run writes (saved logon, chat font, logs) reaches build/program.
#
#   new_run_folder <folder of the runs> <program folder>
# sets `run` (the new folder, never an earlier run's) and `program` (the copy's
# executable), links the newest run as <folder of the runs>/latest and exports the
# XDG folders.
new_run_folder() {
  local runs=$1 source=$2 name n=1
  mkdir -p "$runs"
  runs=$(cd "$runs" && pwd)
  name=$(date +%Y%m%d-%H%M%S)
  while ! mkdir "$runs/$name" 2>/dev/null; do
    n=$((n + 1))
    name=$(date +%Y%m%d-%H%M%S)-$n
  done
  run=$runs/$name
  ln -sfn "$name" "$runs/latest"
  cp -a "$source" "$run/program"
  program=$run/program/mivora
  mkdir -p "$run/config" "$run/data" "$run/Documents" "$run/Desktop"
  printf 'XDG_DOCUMENTS_DIR="%s"\nXDG_DESKTOP_DIR="%s"\n' "$run/Documents" "$run/Desktop" \
    > "$run/config/user-dirs.dirs"
  export XDG_CONFIG_HOME=$run/config XDG_DATA_HOME=$run/data
}

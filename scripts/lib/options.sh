# Sourced by the scripts: their --help and the one-line messages of a bad command line.

# The calling script's leading comment, without its "# ": the text of --help.
print_help() { awk 'NR > 1 { if (!/^#/) exit; sub(/^# ?/, ""); print }' "$0"; }

# One line naming what is wrong with the command line, and where to look; exit status 1.
usage_error() {
  echo "$(basename "$0"): $*; see --help" >&2
  exit 1
}

# Fails unless option NAME has a value: there is one more argument and it is no option.
# usage: need_value NAME "$@" (the arguments after NAME)
need_value() {
  [[ $# -ge 2 && $2 != --* ]] || usage_error "$1 needs a value"
}

# Fails unless VALUE of option NAME is a whole number, at least MINIMUM (default 0).
# usage: need_whole_number NAME VALUE [MINIMUM]
need_whole_number() {
  [[ $2 =~ ^[0-9]+$ ]] && (( 10#$2 >= ${3:-0} )) ||
    usage_error "$1 needs a whole number of at least ${3:-0}, not $2"
}

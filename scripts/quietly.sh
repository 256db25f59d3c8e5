# Sourced by the set-up scripts: runs a step with its output in a log, printing one line for it;
# when it fails, the end of the log and where the whole log is.
# Usage: quietly "what it does" command [arguments...]
setup_logs="${TAVELIN_SETUP_LOGS:-${TMPDIR:-/tmp}/tavelin-setup}"
mkdir -p "$setup_logs"

quietly() {
  local what=$1
  shift
  local log
  log="$setup_logs/$(echo "$what" | tr -c 'A-Za-z0-9\n' '-' | tr 'A-Z' 'a-z').log"
  echo "$what..."
  if ! "$@" >"$log" 2>&1; then
    echo "$what failed. The end of its log:" >&2
    tail -n 40 "$log" >&2
    echo "The whole log: $log" >&2
    return 1
  fi
}

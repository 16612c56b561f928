# Waiting for windows on a virtual display, for the desktop tests (sourced).
# `xdotool search` reads every window's name; a window that goes away while
# it does so (GTK makes and drops windows as a program starts) ends it with
# an X error and no answer. Such an answer is asked again, never taken for
# "no window".

# Waits up to 20 s for `$@` to succeed, asking again at once each time.
wait_until() {
  local end=$((SECONDS + 20))
  until "$@"; do [ "$SECONDS" -lt "$end" ] || return 1; done
}

# True when the search's answer is whole: window ids only, or nothing.
whole_answer() { [[ $1 != *[!0-9$'\n']* ]]; }

# Prints the windows `xdotool search ARGS` finds, asking again while the
# search breaks off (for up to 20 s).
list_windows() {
  local out end=$((SECONDS + 20))
  until out=$(xdotool search "$@" 2>&1) || true; whole_answer "$out"; do
    [ "$SECONDS" -lt "$end" ] || return 1
  done
  [ -z "$out" ] || echo "$out"
}

# True when `xdotool search ARGS` finds no window.
no_window() {
  local out
  out=$(list_windows "$@") && [ -z "$out" ]
}

# Waits up to 20 s for a window `xdotool search ARGS` finds; prints its id.
find_window() {
  local out end=$((SECONDS + 20))
  while [ "$SECONDS" -lt "$end" ]; do
    out=$(timeout $((end - SECONDS)) xdotool search --sync "$@" 2>&1)
    if [ -n "$out" ] && whole_answer "$out"; then
      echo "${out%%$'\n'*}"
      return 0
    fi
  done
  return 1
}

# Waits up to 10 s for process $1 to end; kills it when it does not, so that
# a later `wait` cannot hang. True when it ended by itself.
ends_by_itself() {
  timeout 10 tail --pid="$1" -f /dev/null
  kill -0 "$1" 2>/dev/null || return 0
  kill -9 "$1" 2>/dev/null
  return 1
}

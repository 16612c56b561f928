# Sourced by the desktop benchmarks.
# wait_window PATTERN SECONDS: true as soon as a window whose title matches
# PATTERN is shown (xdotool sees it), false when SECONDS have gone by first.
wait_window() {
  for _ in $(seq $(($2 * 100))); do
    xdotool search --name "$1" >/dev/null 2>&1 && return 0
    sleep 0.01
  done
  return 1
}

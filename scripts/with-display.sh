#!/usr/bin/env bash
# Runs a command with an X display: the current one if DISPLAY is set, else a private Xvfb.
# The server must not reset when its last client goes (its default): a test that connects while
# it resets between two tests is refused ("failed to open display").
set -euo pipefail
if [ -n "${DISPLAY:-}" ]; then exec "$@"; fi
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp -noreset" "$@"

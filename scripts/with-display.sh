#!/usr/bin/env bash
# Runs a command with an X display: the current one if DISPLAY is set, else a private Xvfb.
set -euo pipefail
if [ -n "${DISPLAY:-}" ]; then exec "$@"; fi
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$@"

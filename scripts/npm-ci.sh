#!/usr/bin/env bash
# Installs the browser tests' driver (puppeteer-core, exactly as the lockfile pins it; it
# downloads no browser: the tests use Debian's Chromium) into FOLDER/node_modules, again only
# when the lockfile has changed since.
set -euo pipefail
folder=${1:?usage: scripts/npm-ci.sh FOLDER}
stamp="$folder/node_modules/.installed-lock"
if [ -f "$stamp" ] && cmp -s "$stamp" "$folder/package-lock.json"; then exit 0; fi
(cd "$folder" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
cp "$folder/package-lock.json" "$stamp"

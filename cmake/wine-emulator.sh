#!/usr/bin/env bash
# Runs a Windows program under wine in a prefix of its own:
#   wine-emulator.sh PREFIX PROGRAM.exe [ARGUMENTS...]
# The first run creates PREFIX without any dialog (wineboot, no Mono or Gecko
# installers); concurrent first runs wait for the one that creates it.
# Without DISPLAY wine runs console programs only, which is all the module
# tests need.
set -euo pipefail
prefix=$1
shift

if ! command -v wine >/dev/null; then
    echo "wine-emulator: wine is not installed (scripts/setup installs it)" >&2
    exit 127
fi
export WINEPREFIX=$prefix
export WINEDEBUG=-all

if [[ ! -e "$prefix/.vl-ready" ]]; then
    mkdir -p "$(dirname "$prefix")"
    (
        flock 9
        if [[ ! -e "$prefix/.vl-ready" ]]; then
            rm -rf "$prefix"
            if ! env -u DISPLAY WINEDLLOVERRIDES="mscoree,mshtml=" timeout 300 wineboot --init >/dev/null 2>&1; then
                echo "wine-emulator: creating the wine prefix $prefix failed or timed out" >&2
                exit 1
            fi
            touch "$prefix/.vl-ready"
        fi
    ) 9>"$prefix.lock"
fi
# A wine server outlives its last program by a few seconds, and its desktop
# keeps the display it started with: none after wineboot or a console run, a
# closed one after an earlier Xvfb. A program that opens windows waits for it
# to go, so that its own server starts on this display.
if [[ -n "${DISPLAY:-}" ]]; then
    wineserver -w
fi
exec wine "$@"

#!/bin/sh
# Starts the program on a virtual X display, waits for its window, saves a screenshot, closes
# the window and expects the program to end with exit code 0.
# Usage: smoke_xvfb.sh PROGRAM PROBE TITLE SCREENSHOT.png
set -u
# A settings folder of its own: a window place kept by an earlier run would not be maximized.
XDG_CONFIG_HOME=$(mktemp -d)
export XDG_CONFIG_HOME
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
xvfb-run -a -s "-screen 0 1280x800x24" sh -c '
    "$1" &
    program=$!
    "$2" "$3" "$4"
    probe=$?
    wait $program
    status=$?
    echo "probe: $probe, program exit code: $status"
    [ $probe -eq 0 ] && [ $status -eq 0 ]
' smoke "$1" "$2" "$3" "$4"

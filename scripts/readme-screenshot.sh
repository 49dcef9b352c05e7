#!/bin/sh
# Takes the README's screenshot: the real window on a virtual X display with the m = 3 graphs.
set -eu
cd "$(dirname "$0")/.."
make build
xvfb-run -a -s "-screen 0 1280x800x24" env QT_QPA_PLATFORM=xcb \
    ./build/splinewave_screenshot docs/screenshot.png

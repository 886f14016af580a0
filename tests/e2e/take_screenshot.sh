#!/usr/bin/env bash
# Runs the screenshot program in Wine's virtual desktop, which draws the frames and captions that
# a bare X display without a window manager does not, and checks the picture was made.
#   take_screenshot.sh SCREENSHOT.exe OUTPUT.png [DURING.png]
set -euo pipefail
program="$1"
shift
windows_path() { echo "Z:$(realpath -m "$1" | sed 's#/#\\#g')"; }
arguments=()
for output in "$@"; do
    rm -f "$output"
    mkdir -p "$(dirname "$output")"
    arguments+=("$(windows_path "$output")")
done
/usr/lib/wine/wine64 explorer /desktop=fennimark_e2e,800x600 "$(windows_path "$program")" "${arguments[@]}"
for output in "$@"; do
    for _ in $(seq 300); do
        [ -s "$output" ] && break
        sleep 0.2
    done
    [ -s "$output" ] || { echo "no screenshot was made: $output" >&2; exit 1; }
    echo "screenshot: $output"
done

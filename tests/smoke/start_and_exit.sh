#!/usr/bin/env bash
# Starts the real program under a virtual X display with a private settings folder, waits for
# the main window titled "Orvello v1.5", chooses File > Exit with its shortcut (Ctrl+X) and
# checks that closing wrote the settings file with the "Common" options.
#   start_and_exit.sh PATH_TO_ORVELLO [SCREENSHOT.png]
set -euo pipefail
program=$(realpath "$1")
shot=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
export PROGRAM=$program SHOT=$shot
unset QT_QPA_PLATFORM

xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    set -u
    "$PROGRAM" & pid=$!
    win=""
    for _ in $(seq 150); do
        win=$(xdotool search --name "^Orvello v1\.5$" 2>/dev/null | head -n 1 || true)
        [ -n "$win" ] && break
        sleep 0.1
    done
    if [ -z "$win" ]; then echo "no window titled Orvello v1.5 appeared"; kill "$pid"; exit 1; fi
    sleep 0.5
    [ -n "$SHOT" ] && import -window "$win" "$SHOT"
    xdotool windowfocus --sync "$win"
    xdotool key ctrl+x
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$pid" 2>/dev/null; then echo "Ctrl+X did not close the main window"; kill "$pid"; exit 1; fi
    wait "$pid"
'
ini=$XDG_CONFIG_HOME/Orvello/WINORVEL.INI
test -f "$ini" || { echo "closing did not write $ini"; exit 1; }
for key in "Save ROMs" "AutoPreview" "X" "Y" "OnFly_X" "OnFly_Y" "Info type" "Show preview"; do
    grep -q "^$key=" "$ini" || { echo "$ini lacks $key"; cat "$ini"; exit 1; }
done
echo "main window shown and closed; $ini written"

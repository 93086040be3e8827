#!/usr/bin/env bash
# Starts a Windows program under Wine on a virtual display, waits for its window by caption and
# takes a screenshot: show.sh PROGRAM.exe ARGUMENT CAPTION SCREENSHOT.png. Fails when no window
# with that caption appears within two minutes.
set -euo pipefail
program=$1 argument=$2 caption=$3 shot=$4
display=:$((90 + RANDOM % 9))
Xvfb $display -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; wineserver -k 2>/dev/null || true' EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.2; done
# A window manager draws the caption. Wine's desktop process, when one is left from headless
# runs, knows no display: a fresh one starts with this one.
openbox >/dev/null 2>&1 &
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
# The argument as Windows spells it, so the program sees a Windows path.
wine "$program" "$(winepath -w "$argument")" >/dev/null 2>&1 &
window=
for _ in $(seq 120); do
  window=$(xdotool search --name "^$caption" 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 1
done
if [ -z "$window" ]; then
  echo "show.sh: no window captioned \"$caption\" appeared" >&2
  exit 1
fi
sleep 3  # the first paint
import -window root "$shot"
echo "window \"$(xdotool getwindowname "$window")\" shown; screenshot $shot"

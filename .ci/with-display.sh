#!/usr/bin/env bash
# Runs a Windows test program under wine64 on a virtual X display of its own,
# in a wine prefix of its own (so its windows reach that display whatever other
# wine programs run at the time). Usage: with_display.sh program.exe prefix-dir [args...]
# Exits 77 (skipped) when there is no Xvfb. ctest runs the dialog test through it.
set -euo pipefail
program=$1
export WINEPREFIX=$2
shift 2
command -v xvfb-run >/dev/null || { echo "xvfb-run not installed: skipped"; exit 77; }
export WINEDEBUG=${WINEDEBUG:--all}
# The dialog is Russian: wine takes the ANSI code page (1251) from the locale name.
export LC_ALL=ru_RU.UTF-8
# No installers for the .NET and HTML runtimes: they would wait for a click.
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  xvfb-run -a wineboot -i >/dev/null 2>&1 || true
  # There is no window manager on the display: wine draws the title bars itself.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 || true
  wineserver -w || true
fi
# xvfb-run stops its server when the program ends; wineserver follows on its own.
xvfb-run -a -s "-screen 0 1024x768x24" wine "$program" "$@"

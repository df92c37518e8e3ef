#!/usr/bin/env bash
# Runs a program on a virtual X display of its own (the tivorn play window test).
# Usage: with-xvfb.sh program [args...]. Exits 77 (skipped) when there is no Xvfb.
set -euo pipefail
command -v xvfb-run >/dev/null || { echo "xvfb-run not installed: skipped"; exit 77; }
command -v xauth >/dev/null || { echo "xauth not installed: skipped"; exit 77; }
exec xvfb-run -a -s "-screen 0 1024x768x24" "$@"

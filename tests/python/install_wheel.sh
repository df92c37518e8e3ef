#!/bin/sh
# Builds the wheel around this build's library and installs it into a fresh
# virtual environment that also sees the system's packages (Debian's numpy,
# Pillow, pytest, distributed), offline: the Python tests then run against it.
#   install_wheel.sh PYTHON LIBRARY VENV SOURCE_DIR
set -eu
python=$1 library=$2 venv=$3 source=$4
rm -rf "$venv"
"$python" -m venv --system-site-packages --without-pip "$venv"
wheel=$("$python" "$source/python/build_wheel.py" --library "$library" --out "$venv/dist")
# The system's pip, run by the environment's interpreter, installs into the environment.
"$venv/bin/python" -m pip install --quiet --no-index --no-deps --no-build-isolation "$wheel"
echo "installed $wheel into $venv"

#!/usr/bin/env bash
# Checks that tivorn.dll carries the properties dialog: template 170 of 329 x 335
# dialog units in "MS Sans Serif" 8, titled "Свойства рисунка", with one control
# for every id of resources/dialog_ids.h, the two track bars among them.
set -euo pipefail
dll=$1
windres=${WINDRES:-i686-w64-mingw32-windres}
cd "$(dirname "$0")/.."
fail() { echo "dialog 170 of $dll: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The whole listing goes to a file before anything reads it: a reader that stops
# at the end of the dialog must not cut windres off mid-write (SIGPIPE).
"$windres" -J coff -O rc -i "$dll" >"$work/resources.rc" || fail "windres cannot list the resources"
dialog=$(awk '/^170 DIALOG/{on=1} on{print} on&&/^END/{exit}' "$work/resources.rc")
[ -n "$dialog" ] || fail "missing"
grep -qx '170 DIALOG 0, 0, 329, 335' <<<"$dialog" || fail "not 329 x 335"
grep -qx 'FONT 8, "MS Sans Serif"' <<<"$dialog" || fail "font is not MS Sans Serif 8"
# windres prints non-ASCII characters of a caption as \xNNNN escapes.
caption=$(python3 -c 'print("".join(c if ord(c) < 128 else "\\x%04x" % ord(c) for c in "Свойства рисунка"))')
grep -qxF "CAPTION L\"$caption\"" <<<"$dialog" || fail "caption is not Свойства рисунка"
ids=$(sed -nE 's/^#define IDC_PROP_[A-Z_]+ ([0-9]+)$/\1/p' resources/dialog_ids.h)
[ "$(wc -w <<<"$ids")" -eq 28 ] || fail "resources/dialog_ids.h does not list 28 controls"
for id in $ids; do
  grep -qE "^  [A-Z]+ (L?\"[^\"]*\", )?$id, " <<<"$dialog" || fail "no control $id"
done
for id in 1007 1013; do
  grep -qE "^  CONTROL \"\", $id, \"MSCTLS_TRACKBAR32\"" <<<"$dialog" || fail "control $id is not a track bar"
done
echo "dialog 170: 329 x 335, MS Sans Serif 8, 28 controls"

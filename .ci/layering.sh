#!/usr/bin/env bash
# The include rules that keep the folders layered. Library code writes every
# quoted include from the repository root ("pixel/heap.h"; public headers as
# "tivorn/..."), so a path names one file wherever it appears. Each include is
# resolved (root, then include/, then - for tools/ only - the including folder)
# and checked against the rules of the including folder:
#   library folders write includes from the root, never "../x.h" or "x.h"
#   codecs/    never includes resample/, alpha/ or image/
#   resample/  never includes codecs/, alpha/ or image/
#   alpha/     never includes image/
#   sequence/, cache/ never include image/image_access.h
#   sequence/  never includes cache/ (cache/ may include sequence/)
#   capi/      includes the public headers, platform/message_record.h and platform/threads.h only
#   tools/     includes only tivorn.h of the library (and its own headers)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
status=0

# Prints "including-file<TAB>resolved-path" for every quoted include under $1.
includes_of() {
  local dir=$1 file target
  [ -d "$dir" ] || return 0
  find "$dir" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.inc' \) | sort | while read -r file; do
    sed -nE 's/^\s*#\s*include\s*"([^"]+)".*/\1/p' "$file" | while read -r target; do
      if [[ "$target" != *../* && -f "$target" ]]; then
        :
      elif [[ "$target" != *../* && -f "include/$target" ]]; then
        target="include/$target"
      elif [ -e "$(dirname "$file")/$target" ]; then
        target="unrooted:$(realpath -m --relative-to="$root" "$(dirname "$file")/$target")"
      fi
      printf '%s\t%s\n' "$file" "$target"
    done
  done
}

# forbid DIR REGEX WHY: no include from DIR may resolve to a path matching REGEX.
# Paths written from the including folder are marked "unrooted:".
forbid() {
  local hits
  hits=$(includes_of "$1" | awk -F'\t' -v re="$2" '{t = $2; sub(/^unrooted:/, "", t)} t ~ re {print "  " $1 " includes " $2}')
  if [ -n "$hits" ]; then
    echo "$1/ $3:" >&2
    echo "$hits" >&2
    status=1
  fi
}

# unrooted DIR: every include from DIR is written from the repository root.
unrooted() {
  local hits
  hits=$(includes_of "$1" | awk -F'\t' '$2 ~ /^unrooted:/ {print "  " $1 " includes " $2}')
  if [ -n "$hits" ]; then
    echo "$1/ writes includes from the repository root, not from its own folder:" >&2
    echo "$hits" >&2
    status=1
  fi
}

for dir in pixel image codecs resample alpha sequence cache platform; do
  unrooted "$dir"
done
forbid codecs '^(resample|alpha|image)/' "must not include resample/, alpha/ or image/"
forbid resample '^(codecs|alpha|image)/' "must not include codecs/, alpha/ or image/"
forbid alpha '^image/' "must not include image/ (the modes work on planes, the dialog on the public class)"
forbid sequence '^image/image_access\.h$' "must not include image/image_access.h"
forbid cache '^image/image_access\.h$' "must not include image/image_access.h"
forbid sequence '^cache/' "must not include cache/"
forbid capi '^(pixel|image|codecs|resample|alpha|sequence|cache|resources)/|^platform/([^mt]|m[^e]|me[^s]|t[^h]|th[^r])' \
  "must reach the core only through the public classes (and the message record and locks)"
forbid tools '^(include/tivorn/|pixel/|image/|codecs/|resample/|alpha/|sequence/|cache/|platform/|resources/)' \
  "must include only tivorn.h of the library"

if [ "$status" -eq 0 ]; then echo "include layering holds"; fi
exit "$status"

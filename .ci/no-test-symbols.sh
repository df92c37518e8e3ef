#!/usr/bin/env bash
# The shipped libraries carry no test seams: test-only behaviour comes from the
# test kit's environment (platform/testing), which only tests, benches and
# fuzzers link. Checks every symbol (not only the exported ones) of each library.
# Usage: no-test-symbols.sh LIBRARY...
set -euo pipefail
status=0
for lib in "$@"; do
  case "$lib" in
    *.dll) nm_tool=i686-w64-mingw32-nm ;;
    *) nm_tool=nm ;;
  esac
  symbols=$(mktemp)
  if ! "$nm_tool" -C "$lib" >"$symbols"; then
    echo "$nm_tool could not read $lib" >&2
    rm -f "$symbols"
    exit 1
  fi
  hits=$(grep -E 'testing::|failNthCall|failEveryCall|faultInjected|failAllocation|FileHook|capLevel|memoryFile|AllocationLimit|FailWriteAfter|TestEnvironment' "$symbols" || true)
  rm -f "$symbols"
  if [ -n "$hits" ]; then
    echo "$lib carries test symbols:" >&2
    echo "$hits" >&2
    status=1
  fi
done
[ "$status" -eq 0 ] && echo "no test symbols in: $*"
exit "$status"

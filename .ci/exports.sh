#!/usr/bin/env bash
# Compares what libtivorn.so and tivorn.dll export: the same functions, classes,
# members and data on both, with unsigned long (Windows DWORD) read as the
# 32-bit unsigned int it is on Linux. Then checks the C interface against its list
# (include/tivorn/c_functions.inc): every function the list always has is
# exported, and every C function exported under the tvn prefix is listed.
set -euo pipefail
export LC_ALL=C
so=$1
dll=$2
root=$(cd "$(dirname "$0")/.." && pwd)
objdump_win=${OBJDUMP_WIN:-i686-w64-mingw32-objdump}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The library's own names (functions, classes and vtables), demangled.
ours() { { grep -E '^(tvn|_ZN[0-9]+C|_ZTV[0-9]+C|_Z[0-9]*tvn)' || true; } | c++filt \
  | sed -e 's/unsigned long/unsigned int/g' -e 's/( cdecl\*)/(*)/g' -e 's/ \[clone.*//' | sort -u; }

# Each tool's whole output goes to a file first, so a failing tool is named
# rather than ending the script silently under pipefail.
nm -D --defined-only "$so" >"$work/so.nm" || { echo "nm cannot read $so" >&2; exit 1; }
"$objdump_win" -p "$dll" >"$work/dll.objdump" || { echo "$objdump_win cannot read $dll" >&2; exit 1; }
awk '{print $3}' "$work/so.nm" | ours > "$work/so.exports"
sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' "$work/dll.objdump" | awk '/\]/{print $NF}' | ours > "$work/dll.exports"

if ! diff -u "$work/so.exports" "$work/dll.exports"; then
  echo "exports differ between $so and $dll" >&2
  exit 1
fi
for name in tvnRGBA tvnSetWorkerCount 'CRGBAImage::m_strPath' 'CRGBAImage::setSize' 'CRGBAImage::BoxFilter' tvn2PassBlur \
    'CKACReaderWriter::openFile' 'CKACReaderWriter::getNumCacheEntries' 'CKACReaderWriter::CKACReaderWriter(CKACReaderWriter const&)' \
    'CKACReaderWriter::operator=' 'CKACReaderWriter::saveCacheFile' \
    'CRGBAVideo::m_pVideoPreloader' 'CRGBAVideo::keepReady' 'vtable for CRGBAVideo' \
    'CRGBAImageSet::CRGBAImageSet(char const' 'CRGBAImageSet::getFrame' 'vtable for CRGBAImageSet'; do
  grep -q "$name" "$work/dll.exports" || { echo "tivorn.dll does not export $name" >&2; exit 1; }
done

# The C functions: unmangled names (the C++ ones demangle with their parameters).
"${PYTHON:-python3}" "$root/python/generate_prototypes.py" --list >"$work/listed" ||
  { echo "cannot read the C interface's list" >&2; exit 1; }
awk '$2 == "ALWAYS" {print $1}' "$work/listed" | sort >"$work/always"
awk '{print $1}' "$work/listed" | sort >"$work/all"
grep -E '^tvn[A-Za-z0-9_]*$' "$work/dll.exports" | sort >"$work/c.exports" || true
missing=$(comm -23 "$work/always" "$work/c.exports")
unlisted=$(comm -13 "$work/all" "$work/c.exports")
if [ -n "$missing" ]; then
  echo "listed in c_functions.inc but not exported:" $missing >&2
  exit 1
fi
if [ -n "$unlisted" ]; then
  echo "exported but not in c_functions.inc:" $unlisted >&2
  exit 1
fi
absent=$(comm -23 "$work/all" "$work/c.exports")
echo "exports agree: $(wc -l < "$work/dll.exports") names, $(wc -l < "$work/c.exports") of them the C interface's" \
  "($(wc -l < "$work/all") listed${absent:+; optional, not exported: $(echo $absent)})"

#!/usr/bin/env bash
# Compares what libtivorn.so and tivorn.dll export: the same functions, classes,
# members and data on both, with unsigned long (Windows DWORD) read as the
# 32-bit unsigned int it is on Linux.
set -euo pipefail
so=$1
dll=$2
objdump_win=${OBJDUMP_WIN:-i686-w64-mingw32-objdump}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

normalise() { c++filt | sed -e 's/unsigned long/unsigned int/g' -e 's/( cdecl\*)/(*)/g' -e 's/ \[clone.*//' | sort -u; }

nm -D --defined-only "$so" | awk '{print $3}' | grep -E '^(tvn|_ZN[0-9]+C|_ZTV[0-9]+C|_Z[0-9]*tvn)' | normalise > "$work/so.exports"
"$objdump_win" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/\]/{print $NF}' \
  | grep -E '^(tvn|_ZN[0-9]+C|_ZTV[0-9]+C|_Z[0-9]*tvn)' | normalise > "$work/dll.exports"

if ! diff -u "$work/so.exports" "$work/dll.exports"; then
  echo "exports differ between $so and $dll" >&2
  exit 1
fi
for name in tvnRGBA tvnSetWorkerCount 'CRGBAImage::m_strPath' 'CRGBAImage::setSize' 'CRGBAImage::BoxFilter' tvn2PassBlur \
    'CKACReaderWriter::openFile' 'CKACReaderWriter::getNumCacheEntries' 'CKACReaderWriter::CKACReaderWriter(CKACReaderWriter const&)' \
    'CKACReaderWriter::operator=' 'CKACReaderWriter::saveCacheFile' \
    'CRGBAVideo::m_pVideoPreloader' 'CRGBAVideo::keepReady' 'vtable for CRGBAVideo' \
    'CRGBAImageSet::CRGBAImageSet(char const' 'CRGBAImageSet::getFrame' 'vtable for CRGBAImageSet' \
    tvn_abi_version tvn_image_create tvn_image_set_size tvn_image_last_error tvn_image_save_tga \
    tvn_image_set_frame tvn_cache_open tvn_cache_frame_data; do
  grep -q "$name" "$work/dll.exports" || { echo "tivorn.dll does not export $name" >&2; exit 1; }
done
echo "exports agree: $(wc -l < "$work/dll.exports") names"

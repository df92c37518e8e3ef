// The parts of path handling that load needs beyond the platform's rules.
#ifndef TIVORN_FILE_NAMES_H
#define TIVORN_FILE_NAMES_H

#include <cstddef>

#include "pixel/names.h"

namespace tvn::image {

using pixel::copyName;

enum FileKind { FileUnknown, FileBMP, FileTGA, FileGIF, FileJPEG };

// Lower-cases the extension of path in place (ASCII letters only, so the
// result does not depend on the locale) and returns it.
char* lowerCaseExtension(char* path);

// The reader of an extension, compared exactly (lower case, dot included).
FileKind fileKindOf(const char* extension);

// Sets folder to path up to, without, its last separator; the whole path when
// it has none.
void folderOf(const char* path, char* folder);

} // namespace tvn::image

#endif

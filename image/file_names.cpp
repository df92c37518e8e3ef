#include "image/file_names.h"
#include "platform/platform.h"

#include <cstring>

namespace tvn::image {

char* lowerCaseExtension(char* path) {
    char* ext = plat::pathFindExtension(path);
    for (char* p = ext; *p; ++p)
        if (*p >= 'A' && *p <= 'Z') *p = static_cast<char>(*p - 'A' + 'a');
    return ext;
}

FileKind fileKindOf(const char* extension) {
    struct Entry {
        const char* ext;
        FileKind kind;
    };
    static const Entry kReaders[] = {{".bmp", FileBMP}, {".tga", FileTGA},  {".targa", FileTGA},
                                     {".gif", FileGIF}, {".jpg", FileJPEG}, {".jpeg", FileJPEG}};
    for (const Entry& e : kReaders)
        if (std::strcmp(extension, e.ext) == 0) return e.kind;
    return FileUnknown;
}

void folderOf(const char* path, char* folder) {
    std::size_t end = std::strlen(path);
    std::size_t cut = end;
    for (std::size_t i = 0; i < end; ++i)
        if (plat::isPathSeparator(path[i])) cut = i;
    if (cut > TVN_MAX_PATH - 1) cut = TVN_MAX_PATH - 1;
    std::memmove(folder, path, cut);
    folder[cut] = 0;
}

} // namespace tvn::image

// Reading through the library's loader, writing through its TGA writer or libpng.
#include <cctype>
#include <cstdio>

#include "cli.h"
#include "png_writer.h"

namespace cli {

std::string extensionOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::string();
    std::string ext = path.substr(dot);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

std::string formatOf(const std::string& path) {
    const std::string ext = extensionOf(path);
    if (ext == ".bmp")
        return "BMP";
    if (ext == ".tga" || ext == ".targa")
        return "TGA";
    if (ext == ".gif")
        return "GIF";
    if (ext == ".jpg" || ext == ".jpeg")
        return "JPEG";
    return std::string();
}

bool loadPicture(CRGBAImage& image, const std::string& path) {
    if (formatOf(path).empty()) {
        error(path + ": not a picture tivorn reads (.bmp, .tga, .gif, .jpg)");
        return false;
    }
    const unsigned mark = messageCount();
    if (image.load(path.c_str(), 0))
        return true;
    // The loader names most failures itself (message box through our proc).
    reportOnce(mark, path + ": cannot be read as " + formatOf(path));
    return false;
}

bool isWritableName(const std::string& path, std::string& why) {
    const std::string ext = extensionOf(path);
    if (ext == ".tga" || ext == ".png")
        return true;
    why = path + ": output must be a .tga or a .png file";
    return false;
}

bool savePicture(CRGBAImage& image, const std::string& path) {
    std::string why;
    bool ok;
    if (extensionOf(path) == ".png") {
        ok = writePng(path, image.getBuffer(), image.getWidth(), image.getHeight(), false, why);
    } else {
        ok = image.saveTGA(path.c_str()) != 0;
        why = "cannot create or write the file";
    }
    if (!ok) {
        std::remove(path.c_str()); // no half-written output
        error(path + ": " + why);
    }
    return ok;
}

} // namespace cli
